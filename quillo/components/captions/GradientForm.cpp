#include "quillo/components/captions/GradientForm.h"

#include <algorithm>
#include <cstdint>

#include "platform/user/SysParams.h"
#include "platform/user/User.h"
#include "platform/vcl/Application.h"
#include "quillo/components/captions/CaptionGeometry.h"
#include "quillo/components/captions/CaptionIcon.h"

using namespace captions;

QUILLO_DEFINE_ENUM_TYPE(TGFPaintWhen, "gfpAlways", "gfpActive", "gfpNever")
QUILLO_DEFINE_ENUM_TYPE(TGFLogoAlign, "laLeft", "laRight")

QUILLO_DEFINE_PUBLISHED_CLASS(TGradientForm, TForm)

const TPropTable* TGradientForm::PublishedProperties() {
  using F = TGradientForm;
  static const TPropTable table =
      TPublisher<F>()
          .Property("CaptionFont", &F::GetCaptionFont, &F::SetCaptionFont)
          .Property("UseSystemCaptionFont", &F::GetUseSystemCaptionFont, &F::SetUseSystemCaptionFont)
          .Property("GradientColors", &F::GetGradientColors, &F::SetGradientColors)
          .Property("CaptionTextColor", &F::GetCaptionTextColor, &F::SetCaptionTextColor)
          .Property("InactiveCaptionTextColor", &F::GetInactiveCaptionTextColor, &F::SetInactiveCaptionTextColor)
          .Property("GradientStartColor", &F::GetGradientStartColor, &F::SetGradientStartColor)
          .Property("GradientStopColor", &F::GetGradientStopColor, &F::SetGradientStopColor)
          .Property("GradientInactiveStartColor", &F::GetGradientInactiveStartColor,
                    &F::SetGradientInactiveStartColor)
          .Property("GradientInactiveStopColor", &F::GetGradientInactiveStopColor, &F::SetGradientInactiveStopColor)
          .Property("PaintGradient", &F::GetPaintGradient, &F::SetPaintGradient)
          .Property("UseWin98Gradient", &F::GetUseWin98Gradient, &F::SetUseWin98Gradient)
          .Property("UseDithering", &F::GetUseDithering, &F::SetUseDithering)
          .Property("Logo", &F::GetLogo, &F::SetLogo)
          .Property("InactiveLogo", &F::GetInactiveLogo, &F::SetInactiveLogo)
          .Property("LogoAlign", &F::GetLogoAlign, &F::SetLogoAlign)
          .Property("LogoLayered", &F::GetLogoLayered, &F::SetLogoLayered)
          .Property("Version", &F::GetVersion)
          .Table();
  return &table;
}

namespace {

constexpr UINT SPI_SETNONCLIENTMETRICS_CODE = 42;
constexpr UINT kMdiCalcChildScrollMessage = 0x3F;
constexpr UINT SWP_FRAME_ONLY = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

// Re-entry guard of SetCaptionText: setting the window text from inside it comes back here.
bool settingCaption = false;

// A memory context with a bitmap of a size, selected for as long as it lives.
class TMemoryCanvasScope {
public:
  TMemoryCanvasScope(HDC reference, int width, int height)
      : dc_(CreateCompatibleDC(reference)), bitmap_(CreateCompatibleBitmap(reference, width, height)) {
    if (dc_ && bitmap_) old_ = SelectObject(dc_, bitmap_);
  }
  ~TMemoryCanvasScope() {
    if (dc_ && old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  TMemoryCanvasScope(const TMemoryCanvasScope&) = delete;
  TMemoryCanvasScope& operator=(const TMemoryCanvasScope&) = delete;
  bool Ok() const { return dc_ && bitmap_; }
  HDC Dc() const { return dc_; }

private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_ = nullptr;
};

void PutPixels(HDC dc, int x, int y, int width, int height, const std::vector<std::uint32_t>& pixels,
               int destWidth = -1) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  if (destWidth < 0)
    SetDIBitsToDevice(dc, x, y, width, height, 0, 0, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  else
    StretchDIBits(dc, x, y, destWidth, height, 0, 0, width, height, pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

void FillSolid(HDC dc, const TRect& r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  HGDIOBJ old = SelectObject(dc, brush);
  PatBlt(dc, r.left, r.top, r.Width(), r.Height(), PATCOPY);
  SelectObject(dc, old);
  DeleteObject(brush);
}

bool BitmapEmpty(const TBitmap* b) { return !b || b->GetWidth() <= 0 || b->GetHeight() <= 0; }

}  // namespace

TGradientForm::TGradientForm(TComponent* owner)
    : TForm(owner), captionFont_(MakeObject<TFont>()), logo_(MakeObject<TBitmap>()),
      inactiveLogo_(MakeObject<TBitmap>()) {
  BOOL gradients = FALSE;
  SystemParametersInfo(SPI_GETGRADIENTCAPTIONS, 0, &gradients, 0);
  systemGradients_ = gradients != FALSE;
  screen16_ = Is16ColorScreen();
  UpdateCaptionFont();
  CalculateColors();
}

TGradientForm::~TGradientForm() = default;

AnsiString TGradientForm::GetVersion() const { return "2.0"; }

bool TGradientForm::Designing() const { return ComponentState().Contains(csDesigning); }

bool TGradientForm::Is16ColorScreen() const {
  HDC dc = GetDC(nullptr);
  int colours = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
  ReleaseDC(nullptr, dc);
  return colours == 4;
}

bool TGradientForm::Win98Check() const { return useWin98Gradient_ && systemGradients_; }

bool TGradientForm::InhibitGradient() const { return Win98Check() || (screen16_ && !paint16Color_); }

HWND TGradientForm::Window() const { return const_cast<TGradientForm*>(this)->GetHandle(); }

bool TGradientForm::IsMaximisedMDIChild() const {
  return GetFormStyle() == fsMDIChild && HandleAllocated() && IsZoomed(Window());
}

bool TGradientForm::IsActiveWindow() const {
  if (!HandleAllocated()) return false;
  if (GetFormStyle() == fsMDIChild) {
    TCustomForm* main = Application()->GetMainForm();
    return main && main->HandleAllocated() && GetActiveWindow() == main->GetHandle() &&
           main->ActiveMDIChild() == this;
  }
  return GetActiveWindow() == Window();
}

void TGradientForm::InvalidateCaption() {
  if (HandleAllocated() && !InhibitGradient()) SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0, SWP_FRAME_ONLY);
}

// ---- Properties

void TGradientForm::SetCaptionFont(TFont* font) {
  if (font) captionFont_->Assign(font);
  useSystemCaptionFont_ = false;
  UpdateCaptionFont();
}

void TGradientForm::SetUseSystemCaptionFont(bool value) {
  if (value == useSystemCaptionFont_) return;
  useSystemCaptionFont_ = value;
  UpdateCaptionFont();
}

void TGradientForm::SetGradientColors(int value) {
  if (value < 8 || value > 512 || value == gradientColors_) return;
  gradientColors_ = value;
  CalculateColors();
  InvalidateCaption();
}

#define GRADIENT_FORM_INVALIDATING_SETTER(Name, field) \
  void TGradientForm::Set##Name(decltype(field) value) { \
    if (value == field) return;                         \
    field = value;                                      \
    InvalidateCaption();                                \
  }
GRADIENT_FORM_INVALIDATING_SETTER(CaptionTextColor, captionTextColor_)
GRADIENT_FORM_INVALIDATING_SETTER(InactiveCaptionTextColor, inactiveCaptionTextColor_)
GRADIENT_FORM_INVALIDATING_SETTER(PaintGradient, paintGradient_)
GRADIENT_FORM_INVALIDATING_SETTER(Paint16Color, paint16Color_)
GRADIENT_FORM_INVALIDATING_SETTER(UseDithering, useDithering_)
GRADIENT_FORM_INVALIDATING_SETTER(LogoAlign, logoAlign_)
GRADIENT_FORM_INVALIDATING_SETTER(LogoLayered, logoLayered_)
#undef GRADIENT_FORM_INVALIDATING_SETTER

#define GRADIENT_FORM_COLOUR_SETTER(Name, field) \
  void TGradientForm::Set##Name(TColor value) {  \
    if (value == field) return;                  \
    field = value;                               \
    CalculateColors();                           \
    InvalidateCaption();                         \
  }
GRADIENT_FORM_COLOUR_SETTER(GradientStartColor, startColor_)
GRADIENT_FORM_COLOUR_SETTER(GradientStopColor, stopColor_)
GRADIENT_FORM_COLOUR_SETTER(GradientInactiveStartColor, inactiveStartColor_)
GRADIENT_FORM_COLOUR_SETTER(GradientInactiveStopColor, inactiveStopColor_)
#undef GRADIENT_FORM_COLOUR_SETTER

void TGradientForm::SetUseWin98Gradient(bool value) {
  if (value == useWin98Gradient_) return;
  useWin98Gradient_ = value;
  if (HandleAllocated()) RecreateWnd();
}

void TGradientForm::SetLogo(TBitmap* value) {
  logo_->Assign(value);
  InvalidateCaption();
}

void TGradientForm::SetInactiveLogo(TBitmap* value) {
  inactiveLogo_->Assign(value);
  InvalidateCaption();
}

// ---- Colours and font

void TGradientForm::CalculateColors() {
  // A stop colour left at its system colour is resolved afresh each time, so it follows the
  // system's colours.
  inactiveRamp_ = GradientRamp(ColorToRGB(inactiveStartColor_), ColorToRGB(inactiveStopColor_), gradientColors_);
  activeRamp_ = GradientRamp(ColorToRGB(startColor_), ColorToRGB(stopColor_), gradientColors_);
}

void TGradientForm::UpdateCaptionFont() {
  NONCLIENTMETRICS metrics{};
  SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  const TFormBorderStyle style = GetBorderStyle();
  if (useSystemCaptionFont_) {
    const LOGFONT& lf = metrics.lfCaptionFont;
    captionFont_->SetCharset(static_cast<TFontCharset>(lf.lfCharSet));
    captionFont_->SetName(lf.lfFaceName);
    captionFont_->SetHeight(lf.lfHeight);
    switch (lf.lfPitchAndFamily & 3) {
      case FIXED_PITCH: captionFont_->SetPitch(fpFixed); break;
      case VARIABLE_PITCH: captionFont_->SetPitch(fpVariable); break;
      default: captionFont_->SetPitch(fpDefault); break;
    }
    TFontStyles styles = 0;
    if (lf.lfWeight >= FW_BOLD) styles |= fsBold;
    if (lf.lfItalic) styles |= fsItalic;
    if (lf.lfUnderline) styles |= fsUnderline;
    if (lf.lfStrikeOut) styles |= fsStrikeOut;
    captionFont_->SetStyle(styles);
  } else {
    bool tool = style == bsToolWindow || style == bsSizeToolWin;
    captionFont_->SetHeight(tool ? metrics.lfSmCaptionFont.lfHeight : metrics.lfCaptionFont.lfHeight);
  }
  InvalidateCaption();
}

// ---- Painting

void TGradientForm::GetCaptionRect(TRect& rect) {
  RECT wr{};
  if (HandleAllocated()) GetWindowRect(GetHandle(), &wr);
  else wr = RECT{0, 0, GetWidth(), GetHeight()};
  bool minimised = HandleAllocated() && IsIconic(GetHandle());
  rect = GradientCaptionRect(GetBorderStyle(), minimised, Designing(), wr.right - wr.left, wr.bottom - wr.top);
}

void TGradientForm::FillRectSolid(HDC dc, const TRect& rect, bool active, TColor activeColor, TColor inactiveColor) {
  FillSolid(dc, rect, ColorToRGB(active ? activeColor : inactiveColor));
}

void TGradientForm::FillDithered(HDC dc, const TRect& r, COLORREF start, COLORREF stop) {
  const int w = r.Width(), h = r.Height();
  const TDitherMaskSize mask = ChooseDitherMask(start, stop, w);
  std::vector<std::uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
  auto put = [&](int x, int y, COLORREF c) {
    if (x >= 0 && x < w) pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] = PixelFromColor(c);
  };
  COLORREF previous = start;
  for (const TDitherBand& band : DitherBands(start, stop, w, mask.width)) {
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < mask.width; ++x)
        put(band.left + x, y, DitherMaskBit(x, y % mask.height, mask) ? previous : band.color);
      for (int x = 0; x < band.strip; ++x) put(band.left + mask.width + x, y, band.color);
    }
    previous = band.color;
  }
  PutPixels(dc, r.left, r.top, w, h, pixels);
}

void TGradientForm::FillRectGradient(HDC dc, const TRect& r, bool active, bool dither) {
  const int w = r.Width(), h = r.Height();
  if (w <= 0 || h <= 0) return;
  const std::vector<COLORREF>& ramp = active ? activeRamp_ : inactiveRamp_;
  const COLORREF start = ColorToRGB(active ? startColor_ : inactiveStartColor_);
  const COLORREF stop = ColorToRGB(active ? stopColor_ : inactiveStopColor_);
  const bool palette = GetDeviceCaps(dc, SIZEPALETTE) >= 1;
  if (dither && CanDither(w, ChooseDitherMask(start, stop, w), palette)) {
    FillDithered(dc, r, start, stop);
    return;
  }
  const int n = static_cast<int>(ramp.size());
  if (!palette && n >= 2 && n <= w) {
    // The ramp as one row, stretched over the caption from its first n - 1 entries.
    std::vector<std::uint32_t> row;
    for (COLORREF c : ramp) row.push_back(PixelFromColor(c));
    std::vector<std::uint32_t> rows;
    for (int y = 0; y < h; ++y) rows.insert(rows.end(), row.begin(), row.end() - 1);
    PutPixels(dc, r.left, r.top, n - 1, h, rows, w);
    return;
  }
  for (int i = 0; i < n; ++i) {
    TSpan band = RoundedBand(r.left, w, i, n);
    FillSolid(dc, TRect(band.left, r.top, band.right, r.bottom), ramp[static_cast<size_t>(i)]);
  }
}

void TGradientForm::PaintMenuIcon(HDC dc, TRect& rect, bool active) {
  (void)active;
  const int size = GetSystemMetrics(SM_CXSMICON);
  DrawCaptionIcon(dc, HandleAllocated() ? GetHandle() : nullptr, GetIcon(),
                  RECT{rect.left + 1, rect.top + 1, rect.left + 1 + size, rect.top + 1 + size});
  rect.left += size + 1;
}

void TGradientForm::PaintCaptionButtons(HDC dc, TRect& rect) {
  const bool maximised = HandleAllocated() && IsZoomed(GetHandle());
  const bool minimised = HandleAllocated() && IsIconic(GetHandle());
  TCaptionButtonLayout layout = GradientCaptionButtons(rect, GetBorderStyle(), GetBorderIcons(), Designing());
  static constexpr UINT kinds[4] = {DFCS_CAPTIONCLOSE, DFCS_CAPTIONMAX, DFCS_CAPTIONMIN, DFCS_CAPTIONHELP};
  for (int kind = cbClose; kind <= cbHelp; ++kind) {
    const TCaptionButtonPlace& place = layout.buttons[static_cast<size_t>(kind)];
    if (place.rect.Width() <= 0) continue;
    UINT state = kinds[kind];
    if (kind == cbMaximize && maximised) state = DFCS_CAPTIONRESTORE;
    if (kind == cbMinimize && minimised) state = DFCS_CAPTIONRESTORE;
    if (!place.enabled) state |= DFCS_INACTIVE;
    if (kind == pressedButton_) state |= DFCS_PUSHED;
    RECT r = place.rect;
    DrawFrameControl(dc, &r, DFC_CAPTION, state);
  }
  rect.right = layout.textRight;
}

void TGradientForm::PaintCaptionText(HDC dc, TRect& rect, bool active) {
  AnsiString text = caption_;
  if (GetFormStyle() == fsMDIForm) {
    TCustomForm* child = ActiveMDIChild();
    bool maximised = child && child->HandleAllocated() && IsZoomed(child->GetHandle());
    text = FrameCaptionText(caption_, maximised, maximised ? child->GetCaption() : AnsiString());
  }
  rect.left += 2;
  SetTextColor(dc, ColorToRGB(active ? captionTextColor_ : inactiveCaptionTextColor_));
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ old = SelectObject(dc, captionFont_->GetHandle());
  RECT r = rect;
  DrawText(dc, text.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  SelectObject(dc, old);
}

void TGradientForm::PaintLogo(HDC dc, TRect& r, bool active) {
  TBitmap* logo = (active || BitmapEmpty(inactiveLogo_.get())) ? logo_.get() : inactiveLogo_.get();
  const int lw = logo->GetWidth(), lh = logo->GetHeight();
  // At the right end the buttons come first and the logo stands left of them; at the left
  // end the icon comes first and the logo right of it.
  if (logoAlign_ == laRight) PaintCaptionButtons(dc, r);
  else PaintMenuIcon(dc, r, active);
  TRect logoRect = logoAlign_ == laRight ? TRect(r.right - lw, r.top, r.right, r.bottom)
                                         : TRect(r.left, r.top, r.left + lw, r.bottom);
  logoRect.left = std::max(logoRect.left, r.left);
  logoRect.right = std::min(logoRect.right, r.right);
  TRect rest = logoAlign_ == laRight ? TRect(r.left, r.top, logoRect.left, r.bottom)
                                     : TRect(logoRect.right, r.top, r.right, r.bottom);
  if (rest.Width() > 0) FillRectGradient(dc, rest, active, useDithering_);
  const int y = r.top + (r.Height() - lh) / 2;
  if (logoRect.Width() > 0)
    BitBlt(dc, logoRect.left, y, logoRect.Width(), lh, logo->GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
  if (logoAlign_ == laRight) PaintMenuIcon(dc, r, active);
  else PaintCaptionButtons(dc, r);
  if (!logoLayered_) {
    if (logoAlign_ == laRight) r.right = std::min(r.right, logoRect.left);
    else r.left = std::max(r.left, logoRect.right);
  }
}

TRect TGradientForm::DrawCaption(HDC windowDC, bool active) {
  TRect caption;
  GetCaptionRect(caption);
  if (caption.Width() <= 0 || caption.Height() <= 0) return caption;
  TMemoryCanvasScope memory(windowDC, caption.Width(), caption.Height());
  if (!memory.Ok()) return caption;
  HDC dc = memory.Dc();
  TRect r(0, 0, caption.Width(), caption.Height());
  const bool logoMode = !BitmapEmpty(logo_.get());
  const bool gradient = paintGradient_ == gfpAlways || (paintGradient_ == gfpActive && active);
  if (!gradient)
    FillSolid(dc, r, GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
  else if (logoMode)
    FillRectSolid(dc, r, active, startColor_, inactiveStartColor_);
  else
    FillRectGradient(dc, r, active, useDithering_);
  r.left += 1;
  if (!IsMaximisedMDIChild()) {
    if (logoMode && gradient) {
      PaintLogo(dc, r, active);
    } else {
      const TFormBorderStyle style = GetBorderStyle();
      if (Designing() || (GetBorderIcons().Contains(biSystemMenu) && (style == bsSingle || style == bsSizeable)))
        PaintMenuIcon(dc, r, active);
      PaintCaptionButtons(dc, r);
    }
  }
  if (OnCaptionPaint) {
    TOwnedPtr<TCanvas> canvas = MakeObject<TCanvas>();
    canvas->SetHandle(dc);
    canvas->SetFont(captionFont_.get());
    OnCaptionPaint(this, canvas.get(), r);
    canvas->SetHandle(nullptr);
  }
  PaintCaptionText(dc, r, active);
  BitBlt(windowDC, caption.left, caption.top, caption.Width(), caption.Height(), dc, 0, 0, SRCCOPY);
  return caption;
}

void TGradientForm::Draw(bool active) {
  if (ComponentState().Contains(csDestroying) || !HandleAllocated() || InhibitGradient()) return;
  if (!IsWindowVisible(GetHandle())) return;
  HDC dc = GetWindowDC(GetHandle());
  if (!dc) return;
  DrawCaption(dc, active);
  ReleaseDC(GetHandle(), dc);
}

// ---- Caption text

void TGradientForm::SetCaptionText(const AnsiString& text) {
  if (settingCaption) return;
  settingCaption = true;
  caption_ = text;
  if (HandleAllocated() && IsWindowVisible(GetHandle()) && !InhibitGradient()) {
    if (GetFormStyle() == fsMDIChild && IsZoomed(GetHandle())) {
      if (TCustomForm* main = Application()->GetMainForm(); main && main->HandleAllocated())
        SetWindowPos(main->GetHandle(), nullptr, 0, 0, 0, 0, SWP_FRAME_ONLY);
    } else if (GetFormStyle() == fsMDIChild) {
      InvalidateCaption();
    } else {
      Draw(IsActiveWindow());
    }
  }
  settingCaption = false;
}

// ---- Messages

void TGradientForm::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_GETTEXT:
      m.Result = CopyTextToBuffer(caption_, m.WParam, m.LParam);
      return;
    case WM_GETTEXTLENGTH:
      m.Result = static_cast<LRESULT>(caption_.size());
      return;
    case WM_SETTEXT: {
      AnsiString text = m.LParam ? reinterpret_cast<const char*>(m.LParam) : "";
      TForm::WndProc(m);
      if (InhibitGradient()) caption_ = text;
      else SetCaptionText(text);
      return;
    }
    default: break;
  }
  if (InhibitGradient()) {
    TForm::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_NCPAINT: {
      // The window manager paints the frame; the caption is painted over it in one pass.
      TForm::WndProc(m);
      Draw(IsActiveWindow());
      return;
    }
    case WM_NCACTIVATE:
      // The default keeps the frame's active state; the caption is this form's.
      TForm::WndProc(m);
      Draw(m.WParam != 0);
      m.Result = 1;
      return;
    case WM_SIZE:
      TForm::WndProc(m);
      if (m.WParam == SIZE_RESTORED || m.WParam == SIZE_MAXIMIZED) Draw(IsActiveWindow());
      return;
    case WM_NCLBUTTONDOWN:
      if (m.WParam == HTCLOSE || m.WParam == HTMAXBUTTON || m.WParam == HTMINBUTTON) {
        TrackCaptionButton(static_cast<int>(m.WParam));
        m.Result = 0;
        return;
      }
      TForm::WndProc(m);
      Draw(IsActiveWindow());
      return;
    case WM_ENTERIDLE:
      Draw(IsActiveWindow());
      TForm::WndProc(m);
      return;
    case WM_SYSCOMMAND:
      if ((m.WParam & 0xFFF0) == SC_KEYMENU) break;
      Draw(IsActiveWindow());
      TForm::WndProc(m);
      Draw(IsActiveWindow());
      return;
    case WM_SETCURSOR:
      if (LPCSTR cursor = SizingCursorForHit(static_cast<short>(LOWORD(m.LParam)))) {
        ::SetCursor(LoadCursor(nullptr, cursor));
        m.Result = 1;
        return;
      }
      break;
    case WM_SYSCOLORCHANGE:
      screen16_ = Is16ColorScreen();
      CalculateColors();
      if (GetFormStyle() == fsMDIForm)
        for (int i = 0; i < MDIChildCount(); ++i)
          if (auto* child = dynamic_cast<TGradientForm*>(MDIChildren(i))) child->Perform(WM_SYSCOLORCHANGE, 0, 0);
      break;
    case WM_SETTINGCHANGE:
      if (m.WParam == SPI_SETNONCLIENTMETRICS_CODE) UpdateCaptionFont();
      break;
    default: break;
  }
  TForm::WndProc(m);
}

TRect TGradientForm::CaptionButtonRect(int hit) {
  TRect caption;
  GetCaptionRect(caption);
  TCaptionButtonLayout layout =
      GradientCaptionButtons(TRect(1, 0, caption.Width(), caption.Height()), GetBorderStyle(), GetBorderIcons(), Designing());
  const TCaptionButtonPlace& place =
      layout.buttons[hit == HTCLOSE ? cbClose : hit == HTMAXBUTTON ? cbMaximize : cbMinimize];
  if (!place.enabled) return TRect();
  TRect r = place.rect;
  return TRect(r.left + caption.left, r.top + caption.top, r.right + caption.left, r.bottom + caption.top);
}

// A caption button held down is drawn pushed in this form's caption (the window manager
// would paint its own caption meanwhile); released on it, it sends its command.
void TGradientForm::TrackCaptionButton(int hit) {
  const HWND window = GetHandle();
  const TRect button = CaptionButtonRect(hit);
  if (button.Width() <= 0) return;
  auto inside = [&](POINT screen) {
    RECT wr{};
    GetWindowRect(window, &wr);
    const int x = screen.x - wr.left, y = screen.y - wr.top;
    return x >= button.left && x < button.right && y >= button.top && y < button.bottom;
  };
  const TCaptionButtonKind kind = hit == HTCLOSE ? cbClose : hit == HTMAXBUTTON ? cbMaximize : cbMinimize;
  pressedButton_ = kind;
  Draw(IsActiveWindow());
  SetCapture(window);
  bool pressed = true;
  MSG msg;
  while (IsWindow(window) && GetCapture() == window) {
    if (!GetMessage(&msg, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == WM_MOUSEMOVE) {
      const bool now = inside(msg.pt);
      if (now != pressed) {
        pressed = now;
        pressedButton_ = now ? kind : -1;
        Draw(IsActiveWindow());
      }
    } else if (msg.message == WM_LBUTTONUP) {
      pressed = inside(msg.pt);
      break;
    } else if (msg.message < WM_MOUSEFIRST || msg.message > WM_MOUSELAST) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
  if (!IsWindow(window)) return;
  if (GetCapture() == window) ReleaseCapture();
  pressedButton_ = -1;
  Draw(IsActiveWindow());
  if (!pressed) return;
  const WPARAM command = hit == HTCLOSE ? SC_CLOSE : hit == HTMINBUTTON ? SC_MINIMIZE
                                                   : IsZoomed(window) ? SC_RESTORE : SC_MAXIMIZE;
  SendMessage(window, WM_SYSCOMMAND, command, 0);
}

void TGradientForm::CreateWnd() {
  TForm::CreateWnd();
  if (GetFormStyle() == fsMDIForm && !InhibitGradient()) SubclassMDIClient();
}

void TGradientForm::DestroyWnd() {
  RestoreMDIClient();
  TForm::DestroyWnd();
}

void TGradientForm::SubclassMDIClient() {
  if (!ClientHandle() || mdiClient_) return;
  mdiClient_ = ClientHandle();
  WNDPROC previous = GetWindowProc(mdiClient_);
  mdiClientProc_ = previous;
  // The client recalculates its scroll bars (message 0x3F) after each change of its
  // children's layout: a child maximised, restored or switched changes the frame's caption.
  SetWindowProc(mdiClient_, WNDPROC([this, previous](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
    LRESULT result = CallWindowProc(previous, w, msg, wp, lp);
    if (msg == kMdiCalcChildScrollMessage && mdiClient_ == w) Draw(IsActiveWindow());
    return result;
  }));
}

void TGradientForm::RestoreMDIClient() {
  if (mdiClient_ && IsWindow(mdiClient_) && mdiClientProc_) SetWindowProc(mdiClient_, mdiClientProc_);
  mdiClient_ = nullptr;
  mdiClientProc_ = nullptr;
}

void TGradientForm::Activate() {
  inActivation_ = true;
  TForm::Activate();
  inActivation_ = false;
}

void TGradientForm::Deactivate() {
  inActivation_ = true;
  TForm::Deactivate();
  inActivation_ = false;
}

void TGradientForm::DoShow() {
  inActivation_ = true;
  TForm::DoShow();
  inActivation_ = false;
}
