#include "quillo/components/persistence/PlacementRecord.h"

#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/Registry.h"
#include "platform/vcl/Screen.h"
#include "quillo/components/persistence/SettingsStore.h"
#include "quillo/components/utilities/StrUtils.h"

namespace {

constexpr UINT kSetMinPosition = 0x0001;  // WPF_SETMINPOSITION
const char* const kFlags = "Flags";
const char* const kShowCmd = "ShowCmd";
const char* const kPixels = "PixelsPerInch";
const char* const kMinMaxPos = "MinMaxPos";
const char* const kNormPos = "NormPos";

AnsiString ScreenSuffix() {
  return Format("(%dx%d)", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

bool IsMainForm(const TCustomForm* form) {
  TCustomForm* main = Application()->GetMainForm();
  return main == nullptr || main == form;
}

// The four numbers of a position string, each keeping its default when missing or not a number.
void ReadNumbers(const AnsiString& text, int (&values)[4]) {
  const TCharSet delimiters{',', ' '};
  for (int i = 0; i < 4; ++i) values[i] = StrToIntDef(ExtractWord(i + 1, text, delimiters), values[i]);
}

// The text of a position, the one written at this screen size first; sameScreen tells which.
AnsiString ReadPosition(TObject* store, const AnsiString& section, const AnsiString& name, bool* sameScreen = nullptr) {
  AnsiString text = IniReadString(store, section, name + ScreenSuffix(), "");
  if (sameScreen) *sameScreen = !text.empty();
  if (text.empty()) text = IniReadString(store, section, name, "");
  return text;
}

// A place stored on a larger screen can lie partly or wholly off this one, where the user
// could not reach the window: it is moved (not resized) back inside the work area. A place
// stored at this screen size is kept as the user left it, unless nothing of it is on screen.
void KeepOnScreen(RECT& r, bool sameScreen) {
  RECT area{};
  if (!SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0))
    area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const bool inside = r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom;
  const bool offScreen = r.right <= area.left || r.left >= area.right || r.bottom <= area.top || r.top >= area.bottom;
  if (inside || (sameScreen && !offScreen)) return;
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int left = std::max<int>(area.left, std::min<int>(r.left, area.right - w));
  const int top = std::max<int>(area.top, std::min<int>(r.top, area.bottom - h));
  r = RECT{left, top, left + w, top + h};
}

}  // namespace

void WriteFormPlacement(TCustomForm* form, TObject* store, const AnsiString& section) {
  WINDOWPLACEMENT placement{};
  GetWindowPlacement(form->GetHandle(), &placement);
  if (form->GetFormStyle() == fsMDIChild && form->GetWindowState() == wsMinimized)
    placement.flags |= kSetMinPosition;
  if (form == Application()->GetMainForm() && Application()->Minimized()) placement.showCmd = SW_SHOWMINIMIZED;
  IniWriteInteger(store, section, kFlags, static_cast<int>(placement.flags));
  IniWriteInteger(store, section, kShowCmd, static_cast<int>(placement.showCmd));
  IniWriteInteger(store, section, kPixels, Screen()->PixelsPerInch());
  const AnsiString minMax = Format("%d,%d,%d,%d", placement.ptMinPosition.x, placement.ptMinPosition.y,
                                   placement.ptMaxPosition.x, placement.ptMaxPosition.y);
  const RECT& r = placement.rcNormalPosition;
  const AnsiString norm = Format("%d,%d,%d,%d", r.left, r.top, r.right, r.bottom);
  IniWriteString(store, section, kMinMaxPos + ScreenSuffix(), minMax);
  IniWriteString(store, section, kMinMaxPos, minMax);
  IniWriteString(store, section, kNormPos + ScreenSuffix(), norm);
  IniWriteString(store, section, kNormPos, norm);
}

void ReadFormPlacement(TCustomForm* form, TObject* store, const AnsiString& section, bool loadState,
                       bool loadPosition) {
  if (!loadState && !loadPosition) return;
  HWND window = form->GetHandle();
  WINDOWPLACEMENT placement{};
  GetWindowPlacement(window, &placement);
  if (!IsWindowVisible(window)) placement.showCmd = SW_HIDE;
  if (loadPosition) {
    bool found = false;
    placement.flags = static_cast<UINT>(IniReadInteger(store, section, kFlags, static_cast<int>(placement.flags)));
    const AnsiString minMax = ReadPosition(store, section, kMinMaxPos);
    if (!minMax.empty()) {
      found = true;
      int v[4] = {0, 0, 0, 0};
      ReadNumbers(minMax, v);
      placement.ptMinPosition = POINT{v[0], v[1]};
      placement.ptMaxPosition = POINT{v[2], v[3]};
    }
    bool sameScreen = true;
    const AnsiString norm = ReadPosition(store, section, kNormPos, &sameScreen);
    if (!norm.empty()) {
      found = true;
      int v[4] = {form->GetLeft(), form->GetTop(), form->GetLeft() + form->GetWidth(),
                  form->GetTop() + form->GetHeight()};
      ReadNumbers(norm, v);
      placement.rcNormalPosition = RECT{v[0], v[1], v[2], v[3]};
    }
    if (IniReadInteger(store, section, kPixels, Screen()->PixelsPerInch()) != Screen()->PixelsPerInch())
      found = false;
    if (found) {
      RECT& r = placement.rcNormalPosition;
      const TFormBorderStyle border = form->GetBorderStyle();
      if (border != bsSizeable && border != bsSizeToolWin) {
        // A fixed-size form keeps its own size; only its place is restored.
        r.right = r.left + form->GetWidth();
        r.bottom = r.top + form->GetHeight();
      }
      if (r.right > r.left) {
        KeepOnScreen(r, sameScreen);
        if ((form->GetPosition() == poScreenCenter || form->GetPosition() == poDesktopCenter) &&
            !form->ComponentState().Contains(csDesigning))
          form->SetPosition(poDesigned);
        SetWindowPlacement(window, &placement);
        form->UpdateBounds();
      }
    }
  }
  if (loadState) {
    TWindowState state = wsNormal;
    if (IsMainForm(form) && (form->GetFormStyle() == fsMDIForm ||
                             (form->GetFormStyle() == fsNormal && form->GetPosition() == poDefault)))
      state = wsMaximized;
    switch (IniReadInteger(store, section, kShowCmd, SW_HIDE)) {
      case SW_SHOWNORMAL: case SW_SHOW: case SW_RESTORE: state = wsNormal; break;
      case SW_SHOWMINIMIZED: case SW_MINIMIZE: case SW_SHOWMINNOACTIVE: state = wsMinimized; break;
      case SW_SHOWMAXIMIZED: state = wsMaximized; break;
      default: break;
    }
    if (state == wsMinimized && IsMainForm(form)) {
      // The main form minimises the whole application instead of itself.
      form->SetWindowState(wsNormal);
      PostMessage(Application()->GetHandle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
      return;
    }
    form->SetWindowState(state);
  }
  form->Update();
}

void SaveFormPlacement(TCustomForm* form, const AnsiString& name, bool useRegistry) {
  TOwnedPtr<TObject> store = useRegistry ? TOwnedPtr<TObject>(MakeObject<TRegIniFile>(name).release())
                                         : TOwnedPtr<TObject>(MakeObject<TIniFile>(name).release());
  WriteFormPlacement(form, store.get(), form->ClassName());
}

void RestoreFormPlacement(TCustomForm* form, const AnsiString& name, bool useRegistry) {
  TOwnedPtr<TObject> store = useRegistry ? TOwnedPtr<TObject>(MakeObject<TRegIniFile>(name).release())
                                         : TOwnedPtr<TObject>(MakeObject<TIniFile>(name).release());
  ReadFormPlacement(form, store.get(), form->ClassName(), true, true);
}
