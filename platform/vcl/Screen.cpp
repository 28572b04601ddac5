#include "platform/vcl/Screen.h"

#include <algorithm>

#include "platform/gdi/FontEngine.h"
#include "platform/rtl/SysUtils.h"

namespace {

TOwnedPtr<TScreen>& Holder() {
  static const bool desktop = (GetDesktopWindow(), true);  // the window manager outlives the screen
  (void)desktop;
  static TOwnedPtr<TScreen> screen;
  return screen;
}

LPCSTR StandardCursor(TCursor index) {
  switch (index) {
    case crCross: return IDC_CROSS;
    case crIBeam: return IDC_IBEAM;
    case crSizeNESW: return IDC_SIZENESW;
    case crSizeNS: case crVSplit: return IDC_SIZENS;
    case crSizeNWSE: return IDC_SIZENWSE;
    case crSizeWE: case crHSplit: return IDC_SIZEWE;
    case crUpArrow: return IDC_UPARROW;
    case crHourGlass: return IDC_WAIT;
    case crNoDrop: case crNo: return IDC_NO;
    case crAppStart: return IDC_APPSTARTING;
    case crHelp: return IDC_HELP;
    case crHandPoint: return IDC_HAND;
    case crSizeAll: return IDC_SIZEALL;
    default: return IDC_ARROW;
  }
}

}  // namespace

TScreen* Screen() {
  auto& holder = Holder();
  if (!holder) holder = MakeObject<TScreen>(nullptr);
  return holder.get();
}

QUILLO_DEFINE_CLASS(TScreen, TComponent)

TScreen::TScreen(TComponent* owner) : TComponent(owner), hintFont_(MakeObject<TFont>()) {}

TScreen::~TScreen() = default;

TCustomForm* TScreen::Forms(int index) const {
  if (index < 0 || index >= FormCount()) throw EListError(Format(RtlText::ListIndexError, index));
  return forms_[static_cast<size_t>(index)];
}

void TScreen::AddForm(TCustomForm* form) { forms_.push_back(form); }

void TScreen::RemoveForm(TCustomForm* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
  if (focusedForm_ == form) focusedForm_ = nullptr;
  if (activeForm_ == form) {
    activeForm_ = nullptr;
    activeControl_ = nullptr;
    if (OnActiveFormChange) OnActiveFormChange(this);
  }
  if (activeControl_ && GetParentForm(activeControl_) == form) activeControl_ = nullptr;
}

void TScreen::FocusChanged(TCustomForm* form, TWinControl* control) {
  auto it = std::find(forms_.begin(), forms_.end(), form);
  if (it != forms_.end()) std::rotate(forms_.begin(), it, it + 1);
  if (activeControl_ != control) {
    activeControl_ = control;
    if (OnActiveControlChange) OnActiveControlChange(this);
  }
  if (activeForm_ != form) {
    activeForm_ = form;
    if (OnActiveFormChange) OnActiveFormChange(this);
  }
}

void TScreen::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  if (cursor != crDefault) {
    ::SetCursor(Cursors(cursor));
    return;
  }
  // Back to each control's own: the window under the mouse sets it again.
  POINT p;
  GetCursorPos(&p);
  if (HWND w = WindowFromPoint(p)) {
    LRESULT hit = SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    SendMessage(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(hit, WM_MOUSEMOVE));
  }
}

HCURSOR TScreen::Cursors(TCursor index) const {
  auto it = cursors_.find(index);
  if (it != cursors_.end() && it->second) return it->second;
  if (index == crNone) return nullptr;
  return LoadCursor(nullptr, StandardCursor(index));
}

void TScreen::SetCursors(TCursor index, HCURSOR cursor) {
  if (cursor) cursors_[index] = cursor;
  else cursors_.erase(index);
}

TStrings* TScreen::Fonts() {
  if (!fonts_) {
    fonts_ = MakeObject<TStringList>();
    fonts_->SetSorted(true);
    fonts_->SetDuplicates(dupIgnore);
    for (const std::string& name : InstalledFontFamilies()) fonts_->Add(name);
    for (const char* name : {"Arial", "Courier New", "MS Sans Serif", "Times New Roman"}) fonts_->Add(name);
  }
  return fonts_.get();
}

int TScreen::GetWidth() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::GetHeight() const { return GetSystemMetrics(SM_CYSCREEN); }

TRect TScreen::GetWorkAreaRect() const {
  RECT r{0, 0, GetWidth(), GetHeight()};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}
