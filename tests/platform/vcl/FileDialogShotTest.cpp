// FileDialogShot.OpenWithPreview shows an open dialog as the program extends it: a hook and a
// child template below the standard controls with a folder list, a preview of the file under
// the cursor and its image information. With QUILLO_SHOT=<file.bmp> it saves the desktop
// there, and with QUILLO_DEMO_HOLD_MS=<n> it keeps the screen so for n milliseconds
// (scripts/screenshot-open-dialog.sh takes it on the SDL host).

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>

#include "support/FileDialogUser.h"
#include "VclFixture.h"
#include "platform/controls/Button.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Static.h"
#include "platform/user/Desktop.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "support/TempHome.h"

namespace {

constexpr int kFolders = 0x600, kShowPreview = 0x601, kPreview = 0x602, kColour = 0x603, kSize = 0x604,
              kSetDefault = 0x605, kFoldersLabel = 0x606;

// A picture to look at: a sky, a sun and hills.
void WriteLandscape(const std::string& path, int width, int height, TColor sky, TColor hill) {
  TBitmap bitmap;
  bitmap.SetSize(width, height);
  TCanvas* canvas = bitmap.GetCanvas();
  canvas->GetBrush()->SetColor(sky);
  canvas->FillRect(TRect(0, 0, width, height));
  canvas->GetBrush()->SetColor(static_cast<TColor>(0x00FFFF));
  canvas->Ellipse(width * 6 / 10, height / 10, width * 8 / 10, height / 10 + width / 5);
  canvas->GetBrush()->SetColor(hill);
  canvas->Ellipse(-width / 3, height / 2, width * 2 / 3, height * 2);
  canvas->Ellipse(width / 3, height * 6 / 10, width * 4 / 3, height * 2);
  bitmap.SaveToFile(path);
}

DialogTemplate PreviewPanel() {
  DialogTemplate t;
  t.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | DS_CONTROL | DS_3DLOOK;
  t.cx = 326;
  t.cy = 132;
  t.items = {
      {"STATIC", "Folders", kFoldersLabel, WS_VISIBLE | SS_LEFT, 66, 6, 40, 8},
      {"COMBOBOX", "", kFolders, WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, 106, 4, 214, 80},
      {"BUTTON", "Show Preview", kShowPreview, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 66, 20, 100, 10},
      {"STATIC", "", kPreview, WS_VISIBLE | SS_OWNERDRAW, 66, 33, 160, 94},
      {"STATIC", "", kColour, WS_VISIBLE | SS_LEFT, 232, 36, 88, 8},
      {"STATIC", "", kSize, WS_VISIBLE | SS_LEFT, 232, 48, 88, 8},
      {"BUTTON", "Set as default", kSetDefault, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 232, 113, 88, 14},
  };
  return t;
}

TEST(FileDialogShot, OpenWithPreview) {
  UiDriver ui;
  TempHome home;
  home.WriteFile("Holiday 2026/x", "x");
  home.WriteFile("Scans/x", "x");
  WriteLandscape(home.Path() + "/Sunset over the bay.bmp", 160, 100, static_cast<TColor>(0x4080FF),
                 static_cast<TColor>(0x204060));
  WriteLandscape(home.Path() + "/forest.bmp", 120, 90, static_cast<TColor>(0xF0C080), static_cast<TColor>(0x208020));
  WriteLandscape(home.Path() + "/Ünïcödé näme.bmp", 64, 64, static_cast<TColor>(0xFFE0C0),
                 static_cast<TColor>(0x008000));
  home.WriteFile("notes.txt", "x");
  home.WriteFile("photo.png", "x");

  std::unique_ptr<TBitmap> preview;
  HWND hookWindow = nullptr;
  DialogTemplate panel = PreviewPanel();
  std::vector<char> buffer(1024, '\0');
  OPENFILENAME ofn;
  ofn.lpstrFilter = "All pictures\0*.bmp;*.png;*.jpg;*.gif\0Bitmaps (*.bmp)\0*.bmp\0All files (*.*)\0*.*\0";
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = home.Path().c_str();
  ofn.lpstrTitle = "Open Image";
  ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATEHANDLE | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST |
              OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  ofn.hInstance = &panel;
  ofn.lpfnHook = [&](HWND hook, UINT message, WPARAM, LPARAM lParam) -> UINT_PTR {
    switch (message) {
      case WM_INITDIALOG:
        hookWindow = hook;
        SendDlgItemMessage(hook, kFolders, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(home.Path().c_str()));
        SendDlgItemMessage(hook, kFolders, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("/usr/share/pixmaps"));
        CheckDlgButton(hook, kShowPreview, BST_CHECKED);
        return TRUE;
      case WM_NOTIFY:
        if (reinterpret_cast<const OFNOTIFY*>(lParam)->hdr.code == CDN_SELCHANGE) {
          char path[1024] = {};
          SendMessage(GetParent(hook), CDM_GETFILEPATH, sizeof path, reinterpret_cast<LPARAM>(path));
          preview = std::make_unique<TBitmap>();
          try {
            preview->LoadFromFile(path);
          } catch (const Exception&) {
            preview.reset();
          }
          std::string size = preview ? "Size: " + std::to_string(preview->GetWidth()) + "x" +
                                           std::to_string(preview->GetHeight()) + " pixels"
                                     : "";
          SetDlgItemText(hook, kColour, preview ? "Color Image" : "");
          SetDlgItemText(hook, kSize, size.c_str());
          InvalidateRect(GetDlgItem(hook, kPreview), nullptr, TRUE);
        }
        return FALSE;
      case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        RECT r = item.rcItem;
        FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
        if (preview) {
          const int w = r.right - r.left, h = r.bottom - r.top;
          const double scale = std::min(static_cast<double>(w) / preview->GetWidth(),
                                        static_cast<double>(h) / preview->GetHeight());
          const int pw = static_cast<int>(preview->GetWidth() * scale), ph = static_cast<int>(preview->GetHeight() * scale);
          TCanvas canvas;
          TCanvasPaintScope scope(&canvas, item.hDC);
          canvas.StretchDraw(TRect(r.left + (w - pw) / 2, r.top + (h - ph) / 2, r.left + (w + pw) / 2,
                                   r.top + (h + ph) / 2),
                             preview.get());
        }
        return TRUE;
      }
      default: return FALSE;
    }
  };
  FileDialogUser user(ui);
  bool shown = false;
  ui.WhenModalWaits([&] {
    user.ClickItem("Sunset over the bay.bmp");
    FlushDesktop();
    shown = hookWindow && preview != nullptr;
    ui.ShowToViewer();
    user.ClickControl(IDCANCEL);
  });
  EXPECT_FALSE(GetOpenFileName(&ofn));
  EXPECT_TRUE(shown);
}

}  // namespace
