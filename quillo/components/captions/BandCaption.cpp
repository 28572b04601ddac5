#include "quillo/components/captions/BandCaption.h"

#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"
#include "platform/user/Menu.h"
#include "platform/user/SysParams.h"
#include "platform/user/User.h"
#include "platform/vcl/Application.h"
#include "quillo/components/captions/CaptionIcon.h"

using namespace captions;

QUILLO_DEFINE_ENUM_TYPE(TBandCaptionSystemButtonKind, "sbClose", "sbMinimize", "sbMaximize", "sbHelp")

namespace {

constexpr UINT SC_CONTEXTHELP_COMMAND = 0xF180;
constexpr UINT SWP_FRAME_ONLY = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

LPARAM CursorParam() {
  POINT p{};
  GetCursorPos(&p);
  return MAKELPARAM(p.x, p.y);
}

}  // namespace

// ---- TBandCaptionSystemButton

QUILLO_DEFINE_PUBLISHED_CLASS(TBandCaptionSystemButton, TSpeedButton)

const TPropTable* TBandCaptionSystemButton::PublishedProperties() {
  using B = TBandCaptionSystemButton;
  static const TPropTable table = TPublisher<B>().Property("Kind", &B::GetKind, &B::SetKind).Table();
  return &table;
}

TBandCaptionSystemButton::TBandCaptionSystemButton(TComponent* owner, TCustomForm* form,
                                                   TBandCaptionSystemButtonKind kind)
    : TSpeedButton(owner), form_(form), kind_(kind) {
  // Drawn in the caption, never in the client area.
  SetBounds(0, 0, 0, 0);
  SetVisible(false);
  SetParent(form);
  OnClick = [this](TObject*) { SystemButtonClick(); };
}

TCaptionButtonKind TBandCaptionSystemButton::PlaceKind() const {
  switch (kind_) {
    case sbClose: return cbClose;
    case sbMinimize: return cbMinimize;
    case sbMaximize: return cbMaximize;
    default: return cbHelp;
  }
}

TRect TBandCaptionSystemButton::HitRect() const { return BandButtonHitRect(rect_, PlaceKind()); }

bool TBandCaptionSystemButton::CursorInside() const {
  POINT p{};
  GetCursorPos(&p);
  RECT wr{};
  GetWindowRect(form_->GetHandle(), &wr);
  TRect hit = HitRect();
  int x = p.x - wr.left, y = p.y - wr.top;
  return x >= hit.left && x < hit.right && y >= hit.top && y < hit.bottom;
}

void TBandCaptionSystemButton::Draw(HDC dc) {
  const HWND window = form_->GetHandle();
  UINT state = DFCS_CAPTIONHELP;
  switch (kind_) {
    case sbClose: state = DFCS_CAPTIONCLOSE; break;
    case sbMinimize: state = IsIconic(window) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN; break;
    case sbMaximize: state = IsZoomed(window) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX; break;
    case sbHelp: break;
  }
  if (pushed_) state |= DFCS_PUSHED;
  if (!buttonEnabled_) state |= DFCS_INACTIVE;
  RECT r = rect_;
  DrawFrameControl(dc, &r, DFC_CAPTION, state);
}

void TBandCaptionSystemButton::Redraw() {
  HWND window = form_->GetHandle();
  HDC dc = GetWindowDC(window);
  if (!dc) return;
  Draw(dc);
  ReleaseDC(window, dc);
}

void TBandCaptionSystemButton::PressLeft() {
  if (!buttonEnabled_) return;
  pushed_ = tracking_ = true;
  Redraw();
}

void TBandCaptionSystemButton::TrackMove() {
  if (!tracking_) return;
  bool inside = CursorInside();
  if (inside != pushed_) {
    pushed_ = inside;
    Redraw();
  }
}

void TBandCaptionSystemButton::ReleaseLeft() {
  if (!tracking_) return;
  pushed_ = tracking_ = false;
  Redraw();
  if (CursorInside()) Click();
}

void TBandCaptionSystemButton::SystemButtonClick() {
  HWND window = form_->GetHandle();
  switch (kind_) {
    case sbClose: SendMessage(window, WM_SYSCOMMAND, SC_CLOSE, CursorParam()); break;
    case sbMinimize:
      SendMessage(window, WM_SYSCOMMAND, IsIconic(window) ? SC_RESTORE : SC_MINIMIZE, CursorParam());
      break;
    case sbMaximize:
      SendMessage(window, WM_SYSCOMMAND, IsZoomed(window) ? SC_RESTORE : SC_MAXIMIZE, CursorParam());
      break;
    case sbHelp: SendMessage(window, WM_SYSCOMMAND, SC_CONTEXTHELP_COMMAND, CursorParam()); break;
  }
}

// ---- TBandCaption

QUILLO_DEFINE_PUBLISHED_CLASS(TBandCaption, TComponent)

const TPropTable* TBandCaption::PublishedProperties() {
  using C = TBandCaption;
  static const TPropTable table =
      TPublisher<C>()
          .Property("ActiveBeginColor", &C::GetActiveBeginColor, &C::SetActiveBeginColor)
          .Property("ActiveEndColor", &C::GetActiveEndColor, &C::SetActiveEndColor)
          .Property("ActiveFontColor", &C::GetActiveFontColor, &C::SetActiveFontColor)
          .Property("InactiveBeginColor", &C::GetInactiveBeginColor, &C::SetInactiveBeginColor)
          .Property("InactiveEndColor", &C::GetInactiveEndColor, &C::SetInactiveEndColor)
          .Property("InactiveFontColor", &C::GetInactiveFontColor, &C::SetInactiveFontColor)
          .Property("ApplicationName", &C::GetApplicationName, &C::SetApplicationName)
          .Property("ApplicationNameFont", &C::GetApplicationNameFont, &C::SetApplicationNameFont)
          .Property("NumColors", &C::GetNumColors, &C::SetNumColors)
          .Property("AutoSize", &C::GetAutoSize, &C::SetAutoSize)
          .Table();
  return &table;
}

TBandCaption::TBandCaption(TComponent* owner)
    : TComponent(owner), form_(dynamic_cast<TForm*>(owner)), applicationNameFont_(MakeObject<TFont>()) {
  if (!form_) throw Exception(BandCaptionText::OwnerMustBeForm);
  static constexpr TBandCaptionSystemButtonKind kinds[4] = {sbClose, sbMinimize, sbMaximize, sbHelp};
  for (TBandCaptionSystemButtonKind kind : kinds) {
    buttons_[kind] = NewComponent<TBandCaptionSystemButton>(this, form_, kind);
    buttons_[kind]->FreeNotification(this);
  }
  HookWindowProc();
  caption_ = form_->GetCaption();
  applicationNameFont_->Assign(form_->GetFont());
  applicationNameFont_->SetStyle(fsBold);
  savedStyle_ = static_cast<DWORD>(GetWindowLongPtr(form_->GetHandle(), GWL_STYLE));
  if (!ComponentState().Contains(csDesigning) &&
      !(form_->GetFormStyle() == fsMDIChild && IsZoomed(form_->GetHandle())))
    DeleteSysmenuStyle();
  CalculateCaption();
  Repaint();
  oldFormProc_ = form_->WindowProc;
  form_->WindowProc = [this](TMessage& m) { FormWindowProc(m); };
}

TBandCaption::~TBandCaption() = default;

void TBandCaption::BeforeDestruction() {
  if (form_ && !form_->ComponentState().Contains(csDestroying)) {
    UnHookWindowProc();
    if (oldFormProc_) form_->WindowProc = oldFormProc_;
    if (form_->HandleAllocated()) {
      SetWindowLongPtr(form_->GetHandle(), GWL_STYLE, static_cast<LONG_PTR>(savedStyle_));
      SetWindowPos(form_->GetHandle(), nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    }
  } else {
    UnHookWindowProc();
  }
  TComponent::BeforeDestruction();
}

void TBandCaption::Loaded() {
  TComponent::Loaded();
  if (form_->GetFormStyle() == fsMDIChild) PostMessage(form_->GetHandle(), WM_NCPAINT, 1, 0);
}

void TBandCaption::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  for (auto*& button : buttons_)
    if (button == component) button = nullptr;
}

void TBandCaption::HookWindowProc() {
  hook_ = MakeObject<TExWindowHook>(nullptr);
  hook_->BeforeMessage = [this](TObject*, TMessage& m, bool& handled) { BeforeWindowMessage(m, handled); };
  hook_->AfterMessage = [this](TObject*, TMessage& m, bool&) { AfterWindowMessage(m); };
  hook_->SetWinControl(form_);
  hook_->SetActive(true);
}

void TBandCaption::UnHookWindowProc() {
  if (!hook_) return;
  hook_->BeforeMessage = nullptr;
  hook_->AfterMessage = nullptr;
  hook_->SetActive(false);
  hook_.reset();
}

void TBandCaption::DeleteSysmenuStyle() {
  HWND window = form_->GetHandle();
  LONG_PTR style = GetWindowLongPtr(window, GWL_STYLE);
  SetWindowLongPtr(window, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_SYSMENU));
}

void TBandCaption::RestoreSysmenuStyle() {
  HWND window = form_->GetHandle();
  LONG_PTR style = GetWindowLongPtr(window, GWL_STYLE);
  SetWindowLongPtr(window, GWL_STYLE, style | WS_SYSMENU);
}

void TBandCaption::BandGetMenu(HMENU& menu) {
  HWND window = form_->GetHandle();
  // The window keeps its system menu while the style that shows it is taken away.
  const LONG_PTR style = GetWindowLongPtr(window, GWL_STYLE);
  SetWindowLongPtr(window, GWL_STYLE, style | WS_SYSMENU);
  menu = GetSystemMenu(window, FALSE);
  SetWindowLongPtr(window, GWL_STYLE, style);
  if (!menu) return;
  auto enable = [&](UINT id, bool on) { EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
  for (UINT id : {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE}) enable(id, true);
  SetMenuDefaultItem(menu, SC_CLOSE, FALSE);
  const bool maximised = IsZoomed(window) != FALSE, minimised = IsIconic(window) != FALSE;
  if (!maximised && !minimised) {
    enable(SC_RESTORE, false);
  } else {
    if (minimised || form_->GetFormStyle() != fsMDIChild) SetMenuDefaultItem(menu, SC_RESTORE, FALSE);
    enable(SC_MOVE, false);
    enable(SC_SIZE, false);
    enable(maximised ? SC_MAXIMIZE : SC_MINIMIZE, false);
  }
  TBandCaptionSystemButton* maximise = buttons_[sbMaximize];
  TBandCaptionSystemButton* minimise = buttons_[sbMinimize];
  if (!maximise || !maximise->ShownInCaption() || !maximise->ButtonEnabled()) enable(SC_MAXIMIZE, false);
  if (!minimise || !minimise->ButtonEnabled()) enable(SC_MINIMIZE, false);
}

void TBandCaption::ShowSystemMenu(int x, int y, UINT flags, const RECT& exclude) {
  HMENU menu = nullptr;
  BandGetMenu(menu);
  if (!menu) return;
  TPMPARAMS params;
  params.rcExclude = exclude;
  TrackPopupMenuEx(menu, flags, x, y, form_->GetHandle(), &params);
}

void TBandCaption::Repaint() {
  if (form_ && form_->HandleAllocated()) SetWindowPos(form_->GetHandle(), nullptr, 0, 0, 0, 0, SWP_FRAME_ONLY);
}

#define BAND_CAPTION_SETTER(Name, Type, field) \
  void TBandCaption::Set##Name(Type value) {   \
    if (value == field) return;                \
    field = value;                             \
    Repaint();                                 \
  }
BAND_CAPTION_SETTER(ActiveBeginColor, TColor, activeBegin_)
BAND_CAPTION_SETTER(ActiveEndColor, TColor, activeEnd_)
BAND_CAPTION_SETTER(ActiveFontColor, TColor, activeFont_)
BAND_CAPTION_SETTER(InactiveBeginColor, TColor, inactiveBegin_)
BAND_CAPTION_SETTER(InactiveEndColor, TColor, inactiveEnd_)
BAND_CAPTION_SETTER(InactiveFontColor, TColor, inactiveFont_)
BAND_CAPTION_SETTER(ApplicationName, const AnsiString&, applicationName_)
BAND_CAPTION_SETTER(NumColors, int, numColors_)
BAND_CAPTION_SETTER(AutoSize, bool, autoSize_)
#undef BAND_CAPTION_SETTER

void TBandCaption::SetApplicationNameFont(TFont* value) {
  if (value) applicationNameFont_->Assign(value);
  Repaint();
}

bool TBandCaption::WindowIsActive() const {
  HWND active = GetActiveWindow();
  if (form_->HandleAllocated() && active == form_->GetHandle()) return true;
  TCustomForm* main = Application()->GetMainForm();
  return main && main->HandleAllocated() && active == main->GetHandle() && main->ActiveMDIChild() == form_;
}

// ---- Layout and painting

void TBandCaption::CalculateCaption() {
  HWND window = form_->GetHandle();
  RECT wr{};
  GetWindowRect(window, &wr);
  layout_ = LayoutBandCaption(form_->GetBorderStyle(), form_->GetBorderIcons(), IsIconic(window) != FALSE,
                              ComponentState().Contains(csDesigning), wr.right - wr.left, wr.bottom - wr.top);
  LayOutButtons();
}

void TBandCaption::LayOutButtons() {
  static constexpr TCaptionButtonKind places[4] = {cbClose, cbMinimize, cbMaximize, cbHelp};  // by button kind
  for (int kind = sbClose; kind <= sbHelp; ++kind) {
    TBandCaptionSystemButton* button = buttons_[kind];
    if (!button) continue;
    const TCaptionButtonKind place = places[kind];
    button->SetDRect(layout_.buttons[place].rect);
    button->SetButtonEnabled(layout_.buttons[place].enabled);
    button->SetShownInCaption(layout_.visible[place]);
  }
}

void TBandCaption::PaintBackGround(HDC dc, bool active) {
  const COLORREF begin = ColorToRGB(active ? activeBegin_ : inactiveBegin_);
  const COLORREF end = ColorToRGB(active ? activeEnd_ : inactiveEnd_);
  const TRect& c = layout_.caption;
  for (int i = 0; i < numColors_; ++i) {
    TSpan band = MulDivBand(c.left, c.Width(), i, numColors_);
    HBRUSH brush = CreateSolidBrush(BandColor(begin, end, i, numColors_));
    HGDIOBJ old = SelectObject(dc, brush);
    PatBlt(dc, band.left, c.top, band.right - band.left, c.Height(), PATCOPY);
    SelectObject(dc, old);
    DeleteObject(brush);
  }
}

void TBandCaption::PaintMenuIcon(HDC dc) {
  const TRect& m = layout_.menuIcon;
  if (m.Width() <= 0) return;
  DrawCaptionIcon(dc, form_->GetHandle(), form_->GetIcon(), RECT{m.left + 2, m.top + 1, m.right, m.bottom - 1});
}

void TBandCaption::PaintTitle(HDC dc, bool active) {
  SetTextColor(dc, ColorToRGB(active ? activeFont_ : inactiveFont_));
  SetBkMode(dc, TRANSPARENT);
  if (applicationName_.empty()) return;
  TOwnedPtr<TFont> font = MakeObject<TFont>();
  font->Assign(applicationNameFont_.get());
  if (autoSize_) font->SetHeight(-(layout_.title.Height() - 5));
  font->SetColor(active ? activeFont_ : inactiveFont_);
  HGDIOBJ old = SelectObject(dc, font->GetHandle());
  RECT r = layout_.title;
  DrawText(dc, applicationName_.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  SelectObject(dc, old);
}

void TBandCaption::Paint(bool active) {
  if (!form_->HandleAllocated() || !IsWindowVisible(form_->GetHandle())) return;
  CalculateCaption();
  const TRect& c = layout_.caption;
  if (c.Width() <= 0 || c.Height() <= 0) return;
  HWND window = form_->GetHandle();
  HDC windowDC = GetWindowDC(window);
  if (!windowDC) return;
  HDC dc = CreateCompatibleDC(windowDC);
  HBITMAP bitmap = CreateCompatibleBitmap(windowDC, c.right, c.bottom);
  if (dc && bitmap) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    PaintBackGround(dc, active);
    PaintMenuIcon(dc);
    PaintTitle(dc, active);
    for (TBandCaptionSystemButtonKind kind : {sbClose, sbMaximize, sbMinimize, sbHelp})
      if (buttons_[kind] && buttons_[kind]->ShownInCaption()) buttons_[kind]->Draw(dc);
    BitBlt(windowDC, c.left, c.top, c.Width(), c.Height(), dc, c.left, c.top, SRCCOPY);
    SelectObject(dc, old);
  }
  if (bitmap) DeleteObject(bitmap);
  if (dc) DeleteDC(dc);
  ReleaseDC(window, windowDC);
}

// ---- Messages

bool TBandCaption::HandleText(TMessage& m) {
  switch (m.Msg) {
    case WM_SETTEXT:
      caption_ = m.LParam ? reinterpret_cast<const char*>(m.LParam) : "";
      Repaint();
      m.Result = 1;
      return true;
    case WM_GETTEXT:
      m.Result = CopyTextToBuffer(caption_, m.WParam, m.LParam);
      return true;
    case WM_GETTEXTLENGTH:
      m.Result = static_cast<LRESULT>(caption_.size());
      return true;
    default: return false;
  }
}

void TBandCaption::FormWindowProc(TMessage& m) {
  const bool mdi = form_->GetFormStyle() == fsMDIForm;
  if (!mdi && HandleText(m)) return;
  const bool setText = m.Msg == WM_SETTEXT;
  // A released form (and this caption with it) may be gone once the form has the message.
  oldFormProc_(m);
  if (mdi && setText) Repaint();
}

TBandCaptionSystemButton* TBandCaption::TrackingButton() const {
  for (TBandCaptionSystemButton* button : buttons_)
    if (button && button->Tracking()) return button;
  return nullptr;
}

bool TBandCaption::HandleNonClientMouse(TMessage& m) {
  HWND window = form_->GetHandle();
  if (m.Msg == WM_NCLBUTTONDOWN || m.Msg == WM_NCRBUTTONDOWN || m.Msg == WM_NCMBUTTONDOWN ||
      m.Msg == WM_NCLBUTTONDBLCLK) {
    if (m.WParam == HTCAPTION && GetActiveWindow() != window) SetActiveWindow(window);
  }
  CalculateCaption();
  RECT wr{};
  GetWindowRect(window, &wr);
  const TPoint p(static_cast<short>(LOWORD(m.LParam)) - wr.left, static_cast<short>(HIWORD(m.LParam)) - wr.top);
  const int hit = BandCaptionHit(layout_, p);
  TBandCaptionSystemButton* button = nullptr;
  switch (hit) {
    case HTCLOSE: button = buttons_[sbClose]; break;
    case HTMAXBUTTON: button = buttons_[sbMaximize]; break;
    case HTMINBUTTON: button = buttons_[sbMinimize]; break;
    case HTHELP: button = buttons_[sbHelp]; break;
    default: break;
  }
  if (button) {
    if (m.Msg == WM_NCLBUTTONDOWN || m.Msg == WM_NCLBUTTONDBLCLK) {
      button->PressLeft();
      // The release comes to the window as a client message while it holds the mouse.
      if (button->Tracking()) SetCapture(window);
    }
    m.Result = 0;
    return true;
  }
  const bool iconic = IsIconic(window) != FALSE;
  if (iconic) return false;
  if (hit == HTSYSMENU) {
    if (m.Msg == WM_NCLBUTTONDBLCLK) {
      SendMessage(window, WM_SYSCOMMAND, SC_CLOSE, m.LParam);
      return true;
    }
    if (m.Msg == WM_NCLBUTTONDOWN) {
      iconPressTick_ = GetTickCount();
      iconPressed_ = true;
      const int x = wr.left + layout_.frameX, y = wr.top + layout_.frameY + layout_.captionHeight;
      ShowSystemMenu(x, y, TPM_VERTICAL, RECT{x, wr.top + layout_.frameY, x + 1, y});
      // The press that closed the menu on the icon does not open it again.
      MSG pending;
      if (PeekMessage(&pending, window, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_NOREMOVE)) {
        TPoint at(static_cast<short>(LOWORD(pending.lParam)) - wr.left, static_cast<short>(HIWORD(pending.lParam)) - wr.top);
        if (BandCaptionHit(layout_, at) == HTSYSMENU) PeekMessage(&pending, window, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE);
      }
      return true;
    }
    if (m.Msg == WM_NCLBUTTONUP) {
      // A release soon after the press that opened the menu: a double click on the icon.
      if (iconPressed_ && GetTickCount() - iconPressTick_ <= GetDoubleClickTime() && GetActiveWindow() == window &&
          !MenuLoopOwner()) {
        iconPressed_ = false;
        SendMessage(window, WM_SYSCOMMAND, SC_CLOSE, m.LParam);
      }
      return true;
    }
  }
  if (m.Msg == WM_NCRBUTTONDOWN && hit != HTNOWHERE && form_->GetFormStyle() != fsMDIChild) {
    rightMenuPending_ = true;
    return true;
  }
  if (m.Msg == WM_NCRBUTTONUP && rightMenuPending_) {
    rightMenuPending_ = false;
    const int x = static_cast<short>(LOWORD(m.LParam)), y = static_cast<short>(HIWORD(m.LParam));
    ShowSystemMenu(x, y, TPM_LEFTALIGN, RECT{x, y, x, y});
    return true;
  }
  if (m.Msg == WM_NCLBUTTONDBLCLK && hit == HTCAPTION) {
    TBandCaptionSystemButton* maximise = buttons_[sbMaximize];
    if (maximise && maximise->ShownInCaption() && maximise->ButtonEnabled())
      SendMessage(window, WM_SYSCOMMAND, IsZoomed(window) ? SC_RESTORE : SC_MAXIMIZE, m.LParam);
    return true;
  }
  // A maximised window is not dragged by its caption; its menu bar and scroll bars still
  // take their presses.
  if (m.Msg == WM_NCLBUTTONDOWN && m.WParam == HTCAPTION && IsZoomed(window)) m.WParam = HTNOWHERE;
  return false;
}

void TBandCaption::AfterWindowMessage(TMessage& m) {
  if (m.Msg != WM_SYSCOMMAND || form_->GetFormStyle() != fsMDIChild || !form_->HandleAllocated()) return;
  HWND window = form_->GetHandle();
  const UINT command = m.WParam & 0xFFF0;
  if ((command == SC_MINIMIZE && sysCommandWasMaximised_) || (command == SC_RESTORE && !IsZoomed(window)))
    DeleteSysmenuStyle();
}

void TBandCaption::BeforeWindowMessage(TMessage& m, bool& handled) {
  HWND window = form_->GetHandle();
  switch (m.Msg) {
    case WM_SETTEXT: case WM_GETTEXT: case WM_GETTEXTLENGTH:
      handled = HandleText(m);
      return;
    case WM_NCACTIVATE:
      // The default keeps the frame's state; the caption is painted here.
      m.Result = CallWindowProc(WNDPROC(&DefWindowProc), window, m.Msg, m.WParam, m.LParam);
      Paint(m.WParam != 0);
      m.Result = 1;
      handled = true;
      return;
    case WM_ACTIVATE:
      Paint(LOWORD(m.WParam) != WA_INACTIVE);
      return;
    case WM_NCPAINT:
      m.Result = CallWindowProc(WNDPROC(&DefWindowProc), window, m.Msg, m.WParam, m.LParam);
      Paint(WindowIsActive());
      handled = true;
      return;
    case WM_SYSCOMMAND: {
      if (form_->GetFormStyle() != fsMDIChild) return;
      // A maximised MDI child shows its buttons in the frame's menu bar, which wants the
      // system-menu style; a child that is not maximised shows the band caption's buttons.
      const UINT command = m.WParam & 0xFFF0;
      sysCommandWasMaximised_ = IsZoomed(window) != FALSE;
      if (command == SC_MAXIMIZE || (command == SC_RESTORE && IsIconic(window))) RestoreSysmenuStyle();
      return;
    }
    case WM_COMMAND: {
      UINT command = LOWORD(m.WParam) & 0xFFF0;
      if (command == SC_SIZE || command == SC_MOVE || command == SC_MINIMIZE || command == SC_MAXIMIZE ||
          command == SC_CLOSE || command == SC_RESTORE) {
        SendMessage(window, WM_SYSCOMMAND, command, CursorParam());
        handled = true;
      }
      return;
    }
    case WM_MOUSEMOVE:
      if (TBandCaptionSystemButton* button = TrackingButton()) {
        button->TrackMove();
        handled = true;
      }
      return;
    case WM_RBUTTONUP:
      rightMenuPending_ = false;
      return;
    case WM_LBUTTONUP:
      if (TBandCaptionSystemButton* button = TrackingButton()) {
        if (GetCapture() == window) ReleaseCapture();
        button->ReleaseLeft();  // may close the window
        handled = true;
      }
      return;
    case WM_NCLBUTTONUP: case WM_NCMOUSEMOVE: case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK: case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP: case WM_NCRBUTTONDBLCLK: case WM_NCMBUTTONDOWN: case WM_NCMBUTTONUP:
    case WM_NCMBUTTONDBLCLK:
      handled = HandleNonClientMouse(m);
      return;
    default: return;
  }
}
