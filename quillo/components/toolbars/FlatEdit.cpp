#include "quillo/components/toolbars/FlatEdit.h"

#include "platform/vcl/Color.h"
#include "platform/vcl/Messages.h"
#include "platform/vcl/Screen.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/components/toolbars/ToolbarCommon.h"
#include "quillo/components/toolbars/ToolbarTexts.h"

namespace tbx {

namespace {

int& LiveCount() {
  static int count = 0;
  return count;
}

constexpr int kBorder = 3;

void Frame(HDC dc, const RECT& r, TColor colour) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(colour));
  FrameRect(dc, &r, brush);
  DeleteObject(brush);
}

void Fill(HDC dc, const RECT& r, TColor colour) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(colour));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

}  // namespace

int LiveFlatEdits() { return LiveCount(); }

QUILLO_DEFINE_PUBLISHED_CLASS(TEditX, TCustomEdit)

const TPropTable* TEditX::PublishedProperties() {
  using E = TEditX;
  static const TPropTable table = TPublisher<E>()
                                      .Property("AutoSelect", &E::GetAutoSelect, &E::SetAutoSelect)
                                      .Property("CharCase", &E::GetCharCase, &E::SetCharCase)
                                      .Property("HideSelection", &E::GetHideSelection, &E::SetHideSelection)
                                      .Property("MaxLength", &E::GetMaxLength, &E::SetMaxLength)
                                      .Property("OEMConvert", &E::GetOEMConvert, &E::SetOEMConvert)
                                      .Property("PasswordChar", &E::GetPasswordChar, &E::SetPasswordChar)
                                      .Property("ReadOnly", &E::GetReadOnly, &E::SetReadOnly)
                                      .Property("Text", &E::GetEditText, &E::SetEditText)
                                      .Property("Version", &E::GetVersion)
                                      .Table();
  return &table;
}

TEditX::TEditX(TComponent* owner) : TCustomEdit(owner) {
  SetAutoSize(false);
  SetCtl3D(false);
  SetBorderStyle(bsNone);
  TControlStyle style = ControlStyle();
  SetControlStyle(style >> csFramed);
  SetHeight(19);
  if (LiveCount()++ == 0) RegisterXControlClass(TEditX::StaticClass());
}

TEditX::~TEditX() {
  if (--LiveCount() == 0) UnregisterXControlClass(TEditX::StaticClass());
}

AnsiString TEditX::GetVersion() const { return text::Version; }

void TEditX::Loaded() {
  TCustomEdit::Loaded();
  if (!ComponentState().Contains(csDesigning)) NewAdjustHeight();
}

void TEditX::NewAdjustHeight() {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetFont()->GetHandle());
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  SetHeight(tm.tmHeight + 2 * kBorder);
}

bool TEditX::DrawsFlat() const {
  if (ComponentState().Contains(csDesigning)) return !GetEnabled();
  if (Focused()) return false;
  // Under the mouse it looks sunken, unless another toolbar control is being typed into:
  // one sunken field on a toolbar shows where the keys go.
  return !mouseInControl_ || ControlIsXControl(Screen()->ActiveControl());
}

void TEditX::DrawNCArea(HDC given, HRGN updateRegion) {
  HWND window = GetHandle();
  HDC dc = given;
  if (!dc) {
    dc = GetWindowDC(window);
    SelectNCUpdateRgn(window, dc, updateRegion);
  }
  RECT wr;
  GetWindowRect(window, &wr);
  RECT r{0, 0, wr.right - wr.left, wr.bottom - wr.top};
  // The innermost ring takes the field's own colour, so a disabled edit is grey to its border.
  const TColor field = GetColor();
  if (DrawsFlat()) {
    Frame(dc, r, clBtnFace);
    InflateRect(&r, -1, -1);
    Frame(dc, r, clBtnFace);
    InflateRect(&r, -1, -1);
    Frame(dc, r, field);
  } else {
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    Fill(dc, RECT{r.left, r.top, r.right, r.top + 1}, clBtnFace);
    Fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, clBtnFace);
    DrawEdge(dc, &r, BDR_SUNKENINNER, BF_BOTTOMRIGHT);
    InflateRect(&r, -1, -1);
    Frame(dc, r, field);
  }
  if (!given) ReleaseDC(window, dc);
}

void TEditX::RedrawBorder() {
  if (HandleAllocated()) RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

void TEditX::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_NCCALCSIZE: {
      auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam);
      InflateRect(&params->rgrc[0], -kBorder, -kBorder);
      m.Result = 0;
      return;
    }
    case WM_NCPAINT:
      DrawNCArea(nullptr, reinterpret_cast<HRGN>(m.WParam));
      m.Result = 0;
      return;
    case WM_PRINT: HandleWMPrint(GetHandle(), m, [this](HWND, HDC dc) { DrawNCArea(dc, nullptr); }); return;
    case WM_PRINTCLIENT: HandleWMPrintClient(this, m); return;
    case CM_ENABLEDCHANGED:
      TCustomEdit::WndProc(m);
      SetColor(GetEnabled() ? clWindow : clBtnFace);
      return;
    case CM_FONTCHANGED:
      TCustomEdit::WndProc(m);
      if (!(ComponentState().Contains(csDesigning) && ComponentState().Contains(csLoading))) NewAdjustHeight();
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      TCustomEdit::WndProc(m);
      mouseInControl_ = m.Msg == CM_MOUSEENTER;
      RedrawBorder();
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TCustomEdit::WndProc(m);
      if (!ComponentState().Contains(csDesigning)) RedrawBorder();
      return;
  }
  TCustomEdit::WndProc(m);
}

}  // namespace tbx
