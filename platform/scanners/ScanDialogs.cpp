#include "platform/scanners/ScanDialogs.h"

#include <cstdio>
#include <cstdlib>

#include "platform/controls/Button.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Edit.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/ProgressBar.h"
#include "platform/scanners/ScannerText.h"
#include "platform/user/Dialog.h"

namespace {

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof(text), "%g", value);
  return text;
}

double ReadNumber(HWND dialog, int id, double fallback) {
  char text[32] = {};
  GetDlgItemText(dialog, id, text, sizeof(text));
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  return end != text ? value : fallback;
}

}  // namespace

int RunSourceDialog(HWND owner, const std::vector<std::string>& sources, int current) {
  DialogTemplate t;
  t.caption = ScannerText::SelectSource;
  t.style |= DS_CENTER;
  t.cx = 200;
  t.cy = 118;
  t.items.push_back({"STATIC", ScannerText::Sources, -1, WS_VISIBLE, 6, 6, 120, 9});
  t.items.push_back({"LISTBOX", "", kScanSourceList, WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 6, 17, 188, 74});
  t.items.push_back({"BUTTON", ScannerText::Select, IDOK, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 88, 98, 50, 14});
  t.items.push_back({"BUTTON", ScannerText::Cancel, IDCANCEL, WS_VISIBLE | WS_TABSTOP, 144, 98, 50, 14});
  int chosen = -1;
  DialogBoxIndirectParam(nullptr, &t, owner,
                         [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
                           if (message == WM_INITDIALOG) {
                             for (const std::string& s : sources)
                               SendDlgItemMessage(dialog, kScanSourceList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
                             SendDlgItemMessage(dialog, kScanSourceList, LB_SETCURSEL, current >= 0 ? current : 0, 0);
                             return TRUE;
                           }
                           if (message != WM_COMMAND) return FALSE;
                           const bool picked = LOWORD(wParam) == IDOK ||
                                               (LOWORD(wParam) == kScanSourceList && HIWORD(wParam) == LBN_DBLCLK);
                           if (picked) {
                             chosen = static_cast<int>(SendDlgItemMessage(dialog, kScanSourceList, LB_GETCURSEL, 0, 0));
                             EndDialog(dialog, IDOK);
                           } else if (LOWORD(wParam) == IDCANCEL) {
                             EndDialog(dialog, IDCANCEL);
                           }
                           return TRUE;
                         },
                         0);
  return chosen;
}

bool RunScanOptionsDialog(HWND owner, ScanOptions& options) {
  DialogTemplate t;
  t.caption = ScannerText::Options;
  t.style |= DS_CENTER;
  t.cx = 180;
  t.cy = 134;
  t.items.push_back({"STATIC", ScannerText::Mode, -1, WS_VISIBLE, 6, 8, 70, 9});
  t.items.push_back({"COMBOBOX", "", kScanModeCombo, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 80, 6, 94, 80});
  t.items.push_back({"STATIC", ScannerText::Resolution, -1, WS_VISIBLE, 6, 26, 70, 9});
  t.items.push_back({"EDIT", "", kScanResolutionEdit, WS_VISIBLE | WS_TABSTOP | WS_BORDER, 80, 24, 40, 12});
  const UINT areaStyle = WS_VISIBLE | WS_TABSTOP | WS_BORDER | (options.hasArea ? 0 : WS_DISABLED);
  t.items.push_back({"BUTTON", ScannerText::Area, -1, WS_VISIBLE | BS_GROUPBOX, 6, 42, 168, 64});
  t.items.push_back({"STATIC", ScannerText::Left, -1, WS_VISIBLE, 12, 58, 30, 9});
  t.items.push_back({"EDIT", "", kScanLeftEdit, areaStyle, 44, 56, 36, 12});
  t.items.push_back({"STATIC", ScannerText::Top, -1, WS_VISIBLE, 92, 58, 30, 9});
  t.items.push_back({"EDIT", "", kScanTopEdit, areaStyle, 128, 56, 36, 12});
  t.items.push_back({"STATIC", ScannerText::Right, -1, WS_VISIBLE, 12, 80, 30, 9});
  t.items.push_back({"EDIT", "", kScanRightEdit, areaStyle, 44, 78, 36, 12});
  t.items.push_back({"STATIC", ScannerText::Bottom, -1, WS_VISIBLE, 92, 80, 30, 9});
  t.items.push_back({"EDIT", "", kScanBottomEdit, areaStyle, 128, 78, 36, 12});
  t.items.push_back({"BUTTON", ScannerText::Scan, IDOK, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 68, 114, 50, 14});
  t.items.push_back({"BUTTON", ScannerText::Cancel, IDCANCEL, WS_VISIBLE | WS_TABSTOP, 124, 114, 50, 14});
  ScanOptions edited = options;
  const INT_PTR ended = DialogBoxIndirectParam(
      nullptr, &t, owner,
      [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
          int selected = 0;
          for (size_t i = 0; i < edited.modes.size(); ++i) {
            SendDlgItemMessage(dialog, kScanModeCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(edited.modes[i].c_str()));
            if (edited.modes[i] == edited.mode) selected = static_cast<int>(i);
          }
          SendDlgItemMessage(dialog, kScanModeCombo, CB_SETCURSEL, selected, 0);
          SetDlgItemText(dialog, kScanResolutionEdit, Number(edited.resolution).c_str());
          SetDlgItemText(dialog, kScanLeftEdit, Number(edited.tlX).c_str());
          SetDlgItemText(dialog, kScanTopEdit, Number(edited.tlY).c_str());
          SetDlgItemText(dialog, kScanRightEdit, Number(edited.brX).c_str());
          SetDlgItemText(dialog, kScanBottomEdit, Number(edited.brY).c_str());
          return TRUE;
        }
        if (message != WM_COMMAND) return FALSE;
        if (LOWORD(wParam) == IDOK) {
          const LRESULT mode = SendDlgItemMessage(dialog, kScanModeCombo, CB_GETCURSEL, 0, 0);
          if (mode >= 0 && static_cast<size_t>(mode) < edited.modes.size()) edited.mode = edited.modes[static_cast<size_t>(mode)];
          edited.resolution = ReadNumber(dialog, kScanResolutionEdit, edited.resolution);
          edited.tlX = ReadNumber(dialog, kScanLeftEdit, edited.tlX);
          edited.tlY = ReadNumber(dialog, kScanTopEdit, edited.tlY);
          edited.brX = ReadNumber(dialog, kScanRightEdit, edited.brX);
          edited.brY = ReadNumber(dialog, kScanBottomEdit, edited.brY);
          EndDialog(dialog, IDOK);
        } else if (LOWORD(wParam) == IDCANCEL) {
          EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
      },
      0);
  if (ended != IDOK) return false;
  options = edited;
  return true;
}

void WithScanProgress(HWND owner, const std::function<void(const std::function<bool(double)>&)>& work) {
  DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | WS_VISIBLE;
  t.caption = ScannerText::Scanning;
  t.cx = 160;
  t.cy = 44;
  t.items.push_back({PROGRESS_CLASS, "", kScanProgressBar, WS_VISIBLE, 6, 6, 148, 10});
  t.items.push_back({"BUTTON", ScannerText::Cancel, IDCANCEL, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 55, 24, 50, 14});
  bool cancelled = false;
  HWND dialog = CreateDialogIndirectParam(nullptr, &t, owner,
                                          [&](HWND, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
                                            if (message == WM_INITDIALOG) return TRUE;
                                            if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) cancelled = true;
                                            return message == WM_COMMAND ? TRUE : FALSE;
                                          },
                                          0);
  if (dialog) SendDlgItemMessage(dialog, kScanProgressBar, PBM_SETRANGE32, 0, 100);
  work([&](double done) {
    if (dialog) SendDlgItemMessage(dialog, kScanProgressBar, PBM_SETPOS, static_cast<WPARAM>(done * 100), 0);
    MSG msg;
    while (!cancelled && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (dialog && IsDialogMessage(dialog, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
    return !cancelled;
  });
  if (dialog) DestroyWindow(dialog);
}
