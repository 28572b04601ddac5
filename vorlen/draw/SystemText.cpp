// Text in the framework's fonts, drawn and measured through GDI. One memory device context,
// made on first use and kept, serves every call under a lock. Text is drawn hard-edged by
// asking GDI for a non-smoothed copy of the caller's font; the system-wide font smoothing is
// never touched. The text goes into a 32-bit DIB section filled with a key colour and lands
// in the buffer through a keyed copy, so only its own pixels change the buffer.

#include <algorithm>
#include <mutex>

#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Font.h"
#include "platform/gdi/Gdi.h"
#include "vorlen/core/Buffer.h"

namespace {

constexpr const char* kNoContext = "Cannot create device context.";
constexpr int kPixelsPerMetre = 100;

struct SharedText {
  std::mutex lock;
  HDC dc = nullptr;
};

SharedText& Shared() {
  static SharedText shared;
  return shared;
}

// The shared context, made on first use.
HDC SharedContext() {
  SharedText& shared = Shared();
  std::lock_guard<std::mutex> guard(shared.lock);
  if (shared.dc == nullptr) shared.dc = CreateCompatibleDC(nullptr);
  if (shared.dc == nullptr) throw Exception(kNoContext);
  return shared.dc;
}

// A copy of the caller's font that GDI renders without smoothing, selected into dc for the
// guard's lifetime.
class HardEdgedFont {
public:
  HardEdgedFont(HDC dc, TFont& font) : dc_(dc) {
    LOGFONT log{};
    GetObject(font.GetHandle(), sizeof(log), &log);
    log.lfQuality = NONANTIALIASED_QUALITY;
    handle_ = CreateFontIndirect(&log);
    previous_ = SelectObject(dc_, handle_);
  }
  ~HardEdgedFont() {
    SelectObject(dc_, previous_);
    DeleteObject(handle_);
  }
  HardEdgedFont(const HardEdgedFont&) = delete;
  HardEdgedFont& operator=(const HardEdgedFont&) = delete;

private:
  HDC dc_;
  HFONT handle_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

struct TextBox {
  int width = 0;
  int height = 0;
  int lead = 0;  // the first character's overhang to the left
};

// A negative A or C width of the floating-point kind, as a whole number of pixels.
int Overhang(float width) { return width < 0 ? static_cast<int>(0.5f - width) : 0; }

// The text's extent widened by the overhangs of its first and last characters.
TextBox MeasureText(HDC dc, const AnsiString& text) {
  SIZE size;
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  TextBox box{size.cx, size.cy, 0};
  if (text.empty()) return box;
  const UINT first = static_cast<unsigned char>(text.front());
  const UINT last = static_cast<unsigned char>(text.back());
  ABC a, c;
  if (GetCharABCWidthsA(dc, first, first, &a) && GetCharABCWidthsA(dc, last, last, &c)) {
    if (a.abcA < 0) box.lead = -a.abcA;
    box.width += box.lead + (c.abcC < 0 ? -c.abcC : 0);
    return box;
  }
  ABCFLOAT fa, fc;
  if (GetCharABCWidthsFloatA(dc, first, first, &fa) && GetCharABCWidthsFloatA(dc, last, last, &fc)) {
    box.lead = Overhang(fa.abcfA);
    box.width += box.lead + Overhang(fc.abcfC);
  }
  return box;
}

BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biXPelsPerMeter = kPixelsPerMetre;
  info.bmiHeader.biYPelsPerMeter = kPixelsPerMetre;
  return info;
}

COLORREF FrameworkColour(uint colour) {
  return ((colour >> 16) & 0xFF) | (colour & 0xFF00) | ((colour & 0xFF) << 16);
}

// Draws the visible part of the text box into a fresh section; the section's bits, keyed,
// end up in `section` (a view), the handle in `bitmap`. False when no section could be made.
bool RenderText(HDC dc, TFont& font, const AnsiString& text, uint colour, Pair<int> pos,
                Rect& visible, const Rect& limits, HBITMAP& bitmap, Buffer& section) {
  HardEdgedFont hard(dc, font);
  SetTextColor(dc, FrameworkColour(colour));
  SetBkMode(dc, TRANSPARENT);
  const TextBox box = MeasureText(dc, text);
  visible = Intersect(Rect(pos.x, pos.y, pos.x + box.width - 1, pos.y + box.height - 1), limits);
  if (visible.Empty()) return false;
  const BITMAPINFO info = TopDownInfo(visible.Width(), visible.Height());
  void* bits = nullptr;
  bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) return false;
  section.Alloc(Pair<int>(visible.Width(), visible.Height()), static_cast<uint*>(bits), 0);
  const uint key = colour ^ 0x00FFFFFF;
  for (int y = 0; y < visible.Height(); ++y) std::fill_n(section.At(0, y), visible.Width(), key);
  const HGDIOBJ previous = SelectObject(dc, bitmap);
  const int left = visible.left - pos.x, top = visible.top - pos.y;
  TextOutA(dc, box.lead - left, -top, text.c_str(), static_cast<int>(text.size()));
  GdiFlush();
  SelectObject(dc, previous);
  if ((colour >> 24) != 0) section.ChColor(colour & 0x00FFFFFF, colour);
  // Address the section in the text box's own coordinates.
  section.rect = Rect(left, top, left + visible.Width() - 1, top + visible.Height() - 1);
  return true;
}

}  // namespace

// Without a font there is no text: nothing is drawn and the extent is empty, as for an
// empty string.
void Buffer::OutText(TFont* font, Pair<int> pos, AnsiString text, uint colour) {
  if (pixels == nullptr || font == nullptr || text.empty()) return;
  const HDC dc = SharedContext();
  HBITMAP bitmap = nullptr;
  Buffer section;
  Rect visible;
  bool drawn = false;
  {
    std::lock_guard<std::mutex> guard(Shared().lock);
    drawn = RenderText(dc, *font, text, colour, pos, visible, rect, bitmap, section);
  }
  if (drawn) Copy(section, pos, colour ^ 0x00FFFFFF);
  section.Free();
  if (bitmap != nullptr) DeleteObject(bitmap);
}

Pair<int> Buffer::GetTextExtent(TFont* font, AnsiString text) {
  if (font == nullptr || text.empty()) return Pair<int>(0, 0);
  const HDC dc = SharedContext();
  std::lock_guard<std::mutex> guard(Shared().lock);
  HardEdgedFont hard(dc, *font);
  const TextBox box = MeasureText(dc, text);
  return Pair<int>(box.width, box.height);
}
