#include "quillo/document/ImageView.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "platform/user/User.h"
#include "platform/vcl/TypInfo.h"

namespace {

// More update rectangles than this are painted as their bounding box: one large blit is
// cheaper than many small ones.
constexpr int kMostRectangles = 10;

// 2.30 fixed point of a chromaticity coordinate.
constexpr FXPT2DOT30 Fixed230(double v) { return static_cast<FXPT2DOT30>(v * (1 << 30)); }

constexpr std::uint32_t kCheckerLight = 0xFFFFFF;
constexpr std::uint32_t kCheckerDark = 0xC0C0C0;

// Fills a buffer that shows the device rectangle starting at (left, top) with 8 x 8 cells
// fixed to device coordinates, so that neighbouring update rectangles meet seamlessly.
void FillCheckerboard(Buffer& target, int left, int top) {
  for (int y = 0; y < target.Height(); ++y) {
    uint* p = target.At(0, y);
    const int dy = top + y;
    for (int x = left, end = left + target.Width(); x < end; ++x) *p++ = ((x ^ dy) & 8) ? kCheckerDark : kCheckerLight;
  }
}

RECT Intersection(const RECT& a, const RECT& b) {
  return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

// One axis of a zoomed image: which device pixels show it and how its cells split.
// A cell is d image pixels shown on n device pixels; the last cell may be partial.
struct ZoomAxis {
  int n, d;
  int imagePixels;   // source pixels on this axis
  int devicePixels;  // imagePixels * n / d: the device extent the image covers
  int fullCells() const { return imagePixels / d; }
};

// A run of cells on one axis: device span [dev0, dev1) shows source span [src0, src1).
struct CellSpan {
  int dev0, dev1, src0, src1;
  int cells;  // whole cells in the span; 0 for the partial last cell
};

// The cells of [first, last] split into whole cells and the partial last cell of the image.
std::vector<CellSpan> SplitCells(const ZoomAxis& a, int first, int last) {
  std::vector<CellSpan> spans;
  const int full = a.fullCells();
  if (first < full) {
    const int end = std::min(last, full - 1);
    spans.push_back({first * a.n, (end + 1) * a.n, first * a.d, (end + 1) * a.d, end - first + 1});
  }
  if (last >= full && a.imagePixels > full * a.d && full * a.n < a.devicePixels)
    spans.push_back({full * a.n, a.devicePixels, full * a.d, a.imagePixels, 0});
  return spans;
}

}  // namespace

int ZoomNumerator(int packedZoom) {
  const int n = packedZoom & 0xFFFF;
  return n > 0 ? n : 1;
}

int ZoomDenominator(int packedZoom) {
  const int d = static_cast<std::int16_t>(static_cast<std::uint32_t>(packedZoom) >> 16);
  // A negative denominator has no meaning for a view; it shows the image unreduced.
  return d > 0 ? d : 1;
}

int PackZoom(int numerator, int denominator) {
  const std::uint32_t high = denominator == 1 ? 0 : static_cast<std::uint32_t>(denominator) & 0xFFFF;
  return static_cast<int>((static_cast<std::uint32_t>(numerator) & 0xFFFF) | (high << 16));
}

int ReducePackedZoom(int packedZoom) {
  int n = packedZoom & 0xFFFF;
  int d = static_cast<std::int16_t>(static_cast<std::uint32_t>(packedZoom) >> 16);
  if (d != 0) {
    // On magnitudes: a negative part must not keep the divisor search from ending.
    const int g = std::gcd(n, d);
    n /= g;
    d /= g;
  }
  return PackZoom(n, d);
}

std::uint8_t TBuffer::GlobalICM = 0;
std::uint8_t TBuffer::GlobalGammaCorr = 0;
std::int32_t TBuffer::GlobalGammaRed = 144179;
std::int32_t TBuffer::GlobalGammaGreen = 144179;
std::int32_t TBuffer::GlobalGammaBlue = 144179;
CIEXYZ TBuffer::ciexyzRed{Fixed230(0.64), Fixed230(0.33), Fixed230(0.03)};
CIEXYZ TBuffer::ciexyzGreen{Fixed230(0.30), Fixed230(0.60), Fixed230(0.10)};
CIEXYZ TBuffer::ciexyzBlue{Fixed230(0.15), Fixed230(0.06), Fixed230(0.79)};
std::uint8_t TBuffer::StretchPatch = 0;
std::int32_t TBuffer::StretchPatchMin = 32;
std::int32_t TBuffer::StretchPatchMax = 32;

QUILLO_DEFINE_PUBLISHED_CLASS(TBuffer, TCustomControl)

const TPropTable* TBuffer::PublishedProperties() {
  using P = TBuffer;
  static const TPropTable table = TPublisher<P>()
                                      .Property("Zoom", &P::GetZoom, &P::SetZoom)
                                      .Property("Refresh", &P::GetRefresh, &P::SetRefresh)
                                      .Property("Alpha", &P::GetAlpha, &P::SetAlpha)
                                      .Property("ShowHint", &P::GetShowHint, &P::SetShowHint)
                                      .Property("ICM", &P::GetICM, &P::SetICM)
                                      .Property("UseGlobalICM", &P::GetUseGlobalICM, &P::SetUseGlobalICM)
                                      .Property("GammaCorr", &P::GetGammaCorr, &P::SetGammaCorr)
                                      .Property("UseGlobalGammaCorr", &P::GetUseGlobalGammaCorr,
                                                &P::SetUseGlobalGammaCorr)
                                      .Property("Align", &P::GetAlign, &P::SetAlign)
                                      .Property("Visible", &P::GetVisible, &P::SetVisible)
                                      .Table();
  return &table;
}

TBuffer::TBuffer(TComponent* owner)
    : TCustomControl(owner), GammaRed(GlobalGammaRed), GammaGreen(GlobalGammaGreen), GammaBlue(GlobalGammaBlue) {
  header_ = BITMAPV4HEADER{};
  header_.bV4Size = sizeof(BITMAPINFOHEADER);
  header_.bV4Planes = 1;
  header_.bV4BitCount = 32;
  header_.bV4V4Compression = BI_RGB;
}

TBuffer::~TBuffer() = default;

void TBuffer::SetBuffer(Buffer* buffer) {
  if (buffer == buffer_) return;
  buffer_ = buffer;
  Invalidate();
}

void TBuffer::SetZoom(int packedZoom) {
  const int reduced = ReducePackedZoom(packedZoom);
  if (reduced == zoom_) return;
  zoom_ = reduced;
  Invalidate();
}

bool TBuffer::ColourManaged() const { return useGlobalICM_ ? GlobalICM != 0 : icm_; }

bool TBuffer::GammaCorrected() const { return useGlobalGammaCorr_ ? GlobalGammaCorr != 0 : gammaCorr_; }

void TBuffer::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT: WMPaint(m); return;
    case WM_ERASEBKGND: m.Result = 1; return;  // every pixel is painted: no flicker
    case CM_MOUSEENTER: MouseEnterLeave(m, OnMouseEnter); return;
    case CM_MOUSELEAVE: MouseEnterLeave(m, OnMouseLeave); return;
  }
  TCustomControl::Dispatch(m);
}

void TBuffer::MouseEnterLeave(TMessage& m, const TNotifyEvent& event) {
  if (event) {
    event(this);
    return;
  }
  if (TWinControl* parent = GetParent()) parent->Perform(m.Msg, 0, reinterpret_cast<LPARAM>(this));
}

void TBuffer::Paint() {
  if (!buffer_ || !buffer_->pixels || buffer_->Empty()) {
    TCanvas* canvas = GetCanvas();
    const int w = GetClientWidth(), h = GetClientHeight();
    canvas->GetBrush()->SetColor(clBlack);
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->FillRect(TRect(0, 0, w, h));
    canvas->GetPen()->SetColor(clWhite);
    canvas->GetPen()->SetStyle(psSolid);
    canvas->GetPen()->SetWidth(1);
    canvas->MoveTo(0, 0);
    canvas->LineTo(w - 1, 0);
    canvas->LineTo(w - 1, h - 1);
    canvas->LineTo(0, h - 1);
    canvas->LineTo(0, 0);
    canvas->LineTo(w - 1, h - 1);
    canvas->MoveTo(w - 1, 0);
    canvas->LineTo(0, h - 1);
  }
  if (OnPaint) OnPaint(this);
}

namespace {

// What one paint needs to blit: the context, the shown pixels and the header.
class TBufferPainter {
public:
  TBufferPainter(HDC dc, const Buffer& image, BITMAPV4HEADER& header, int n, int d, bool software, bool alpha,
                 HBRUSH outside)
      : dc_(dc), image_(image), header_(header), n_(n), d_(d), software_(software), alpha_(alpha), outside_(outside) {
    x_ = ZoomAxis{n, d, image.Width(), static_cast<int>(static_cast<long long>(image.Width()) * n / d)};
    y_ = ZoomAxis{n, d, image.Height(), static_cast<int>(static_cast<long long>(image.Height()) * n / d)};
  }

  // Paints the device rectangle r (right and bottom exclusive).
  void PaintRect(const RECT& r) {
    const RECT shown = Intersection(r, RECT{0, 0, x_.devicePixels, y_.devicePixels});
    FillOutside(r, shown);
    if (shown.left >= shown.right || shown.top >= shown.bottom) return;
    if (software_) PaintScaled(shown);
    else PaintCells(shown);
  }

private:
  // The parts of r beyond the image show the control's colour: nothing of the buffer lies
  // there to be read.
  void FillOutside(const RECT& r, const RECT& shown) {
    if (shown.left >= shown.right || shown.top >= shown.bottom) {
      FillRect(dc_, &r, outside_);
      return;
    }
    const RECT parts[] = {{r.left, r.top, r.right, shown.top},
                          {r.left, shown.bottom, r.right, r.bottom},
                          {r.left, shown.top, shown.left, shown.bottom},
                          {shown.right, shown.top, r.right, shown.bottom}};
    for (const RECT& part : parts)
      if (part.left < part.right && part.top < part.bottom) FillRect(dc_, &part, outside_);
  }

  // The library scales (and composites) the part of the image under r into a buffer the
  // size of r, which is then set at 1:1.
  void PaintScaled(const RECT& r) {
    Buffer band;
    band.Alloc(Pair<int>(r.right - r.left, r.bottom - r.top));
    if (!band.pixels) return;  // no memory for the band: the rectangle stays as it was
    if (alpha_) FillCheckerboard(band, r.left, r.top);
    const uint mode = alpha_ ? Buffer::kComposite : Buffer::kPlain;
    if (n_ == d_) band.Copy(image_, Pair<int>(-r.left, -r.top), mode);
    else band.Scale(image_, Pair<int>(x_.devicePixels, y_.devicePixels), Pair<int>(-r.left, -r.top), mode, 0);
    BlitRows(r.left, r.top, r.right - r.left, band.Height(), band.pixels, band.stride, 1, 1);
  }

  // GDI sets or stretches the image's own pixels, whole cells at a time; a partial last cell
  // of the image gets a blit of its own, so that nothing beyond the buffer is read.
  void PaintCells(const RECT& r) {
    const int firstCol = r.left / n_, lastCol = (r.right - 1) / n_;
    const int firstRow = r.top / n_, lastRow = (r.bottom - 1) / n_;
    for (const CellSpan& cols : SplitCells(x_, firstCol, lastCol))
      for (const CellSpan& rows : SplitCells(y_, firstRow, lastRow)) {
        const uint* origin = image_.pixels + static_cast<long>(rows.src0) * image_.stride + cols.src0;
        if (rows.cells == 0 || cols.cells == 0) {
          // A partial cell: one stretch of exactly the pixels that are there.
          BlitOnce(cols.dev0, rows.dev0, cols.dev1 - cols.dev0, rows.dev1 - rows.dev0, origin, image_.stride,
                   cols.src1 - cols.src0, rows.src1 - rows.src0);
          continue;
        }
        BlitRows(cols.dev0, rows.dev0, cols.dev1 - cols.dev0, rows.cells, origin, image_.stride, n_, d_);
      }
  }

  // Blits cellRows rows of cells from origin in bands, the first band as high as the span;
  // a band the device refuses is halved, and a single cell row it refuses is drawn a source
  // line at a time.
  void BlitRows(int x, int y, int deviceWidth, int cellRows, const uint* origin, int stride, int n, int d) {
    const int sourceWidth = deviceWidth / n * d;
    int top = 0, band = cellRows;
    while (top < cellRows) {
      const int rows = std::min(cellRows - top, band);
      const int done = BlitOnce(x, y + top * n, deviceWidth, rows * n, origin + static_cast<long>(top) * d * stride,
                                stride, sourceWidth, rows * d);
      if (done > 0) {
        top += (done + d - 1) / d;
        continue;
      }
      band /= 2;
      if (band > 0) continue;
      for (int i = 0; i < d; ++i) {
        const int y0 = i * n / d, y1 = (i + 1) * n / d;
        if (y1 > y0)
          BlitOnce(x, y + top * n + y0, deviceWidth, y1 - y0, origin + (static_cast<long>(top) * d + i) * stride, stride,
                   sourceWidth, 1);
      }
      ++top;
      band = cellRows - top;
    }
  }

  // One DIB transfer of a sourceWidth x sourceHeight block at origin onto the device
  // rectangle; answers the source lines done.
  int BlitOnce(int x, int y, int width, int height, const uint* origin, int stride, int sourceWidth,
               int sourceHeight) {
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return sourceHeight;
    header_.bV4Width = stride;
    header_.bV4Height = -sourceHeight;  // top-down
    const auto* info = reinterpret_cast<const BITMAPINFO*>(&header_);
    if (width == sourceWidth && height == sourceHeight)
      return SetDIBitsToDevice(dc_, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                               static_cast<UINT>(height), origin, info, DIB_RGB_COLORS);
    return StretchDIBits(dc_, x, y, width, height, 0, 0, sourceWidth, sourceHeight, origin, info, DIB_RGB_COLORS,
                         SRCCOPY);
  }

  HDC dc_;
  const Buffer& image_;
  BITMAPV4HEADER& header_;
  int n_, d_;
  bool software_, alpha_;
  HBRUSH outside_;
  ZoomAxis x_{}, y_{};
};

}  // namespace

void TBuffer::WMPaint(TMessage& m) {
  HWND window = GetHandle();
  if (!refresh_) {
    ValidateRect(window, nullptr);
    return;
  }
  if (!buffer_ || !buffer_->pixels || buffer_->Empty()) {
    PaintHandler(m);
    return;
  }
  // A context handed in with the message (a copy of the control being drawn elsewhere)
  // gets the whole client area.
  const HDC given = reinterpret_cast<HDC>(m.WParam);
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  if (!update) {
    PaintHandler(m);
    return;
  }
  std::vector<RECT> rects;
  PAINTSTRUCT ps{};
  HDC dc = given;
  if (given) {
    rects.push_back(GetClientRect());
  } else {
    const int kind = GetUpdateRgn(window, update, FALSE);
    dc = BeginPaint(window, &ps);
    if (kind != ERROR && kind != NULLREGION && dc) {
      const DWORD size = GetRegionData(update, 0, nullptr);
      std::vector<RECT> storage(size / sizeof(RECT) + 1);
      auto* data = reinterpret_cast<RGNDATA*>(storage.data());
      if (size && GetRegionData(update, size, data) == size) {
        const RECT* first = reinterpret_cast<const RECT*>(reinterpret_cast<const BYTE*>(data) + sizeof(RGNDATAHEADER));
        if (static_cast<int>(data->rdh.nCount) > kMostRectangles) rects.push_back(ps.rcPaint);
        else rects.assign(first, first + data->rdh.nCount);
      }
    } else {
      dc = nullptr;  // nothing to paint
    }
  }

  if (dc) {
    int n = ZoomNumerator(zoom_), d = ZoomDenominator(zoom_);
    const bool icm = ColourManaged();
    SetICMMode(dc, icm ? ICM_ON : ICM_OFF);
    header_.bV4Size = sizeof(BITMAPINFOHEADER);
    if (icm && GammaCorrected()) {
      header_.bV4Size = sizeof(BITMAPV4HEADER);
      header_.bV4Endpoints = CIEXYZTRIPLE{ciexyzRed, ciexyzGreen, ciexyzBlue};
      const bool global = useGlobalGammaCorr_;
      header_.bV4GammaRed = static_cast<DWORD>(global ? GlobalGammaRed : GammaRed);
      header_.bV4GammaGreen = static_cast<DWORD>(global ? GlobalGammaGreen : GammaGreen);
      header_.bV4GammaBlue = static_cast<DWORD>(global ? GlobalGammaBlue : GammaBlue);
    }
    bool software = alpha_;
    if (n == d) {
      n = d = 1;
    } else {
      SetStretchBltMode(dc, COLORONCOLOR);
      if (StretchPatch && n <= d * StretchPatchMax && d <= n * StretchPatchMin) software = true;
    }
    // Only what shows is painted: a view far larger than its scroll box (a big picture at a
    // high zoom) shows a small part of itself, and the rest would cost time and memory.
    RECT visible{};
    const bool clipped = !given && GetClipBox(dc, &visible) != ERROR;
    HBRUSH outside = CreateSolidBrush(ColorToRGB(GetColor()));
    TBufferPainter painter(dc, *buffer_, header_, n, d, software, alpha_, outside);
    for (RECT r : rects) {
      if (clipped) r = Intersection(r, visible);
      if (r.left < r.right && r.top < r.bottom) painter.PaintRect(r);
    }
    DeleteObject(outside);
    // Then the owner's drawing over the image, on the same context.
    PaintWindow(dc);
  }
  if (!given) EndPaint(window, &ps);
  DeleteObject(update);
}
