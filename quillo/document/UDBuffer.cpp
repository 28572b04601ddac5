#include "quillo/document/UDBuffer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "platform/user/WinConst.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/base/Language.h"
#include "vorlen/core/PixelBlock.h"

// Constructed in this order, destroyed in the reverse order at exit.
UDBuffer DrawView;
UDBuffer Brush;
UDBuffer BrushShape;
UDBuffer PreviewPicture;
UDBuffer PreviewThumb;

bool PreviewLoaded = false;
int PreviewInfo = 0;
GFXtra32 PreviewDesc;

UDBuffer::UDBuffer() { SaveParams.bits = 24; }

// Redo steps first, then undo steps, each newest first (their swap files go with them); the
// members release the rest.
UDBuffer::~UDBuffer() {
  FreeRedo();
  FreeUndo();
}

void UDBuffer::Alloc(int width, int height) {
  Buffer::Alloc(Pair<int>(width, height));
  Mask.Alloc(width, height);
  // Pixels without a mask would make every mask test read nowhere: both or neither.
  if (pixels != nullptr && Mask.words == nullptr) {
    Buffer::Free();
    return;
  }
  SetMaskAll(false);
}

void UDBuffer::Reshape(int width, int height) {
  const long long want = static_cast<long long>(width) * height + 4;
  const long long have = ownership == kView ? 0 : static_cast<long long>(PixelBlockWords(pixels, ownership));
  if (width <= 0 || height <= 0 || have < want || have > 2 * want) {
    Alloc(width, height);
    return;
  }
  stride = width;
  rect = Rect(0, 0, width - 1, height - 1);
  Mask.Alloc(width, height);
  if (Mask.words == nullptr) {
    Buffer::Free();
    return;
  }
  SetMaskAll(false);
}

void UDBuffer::AllocDefault() { Alloc(Buffer::default_x, Buffer::default_y); }

void UDBuffer::AllocFrom(UDBuffer& source, Rect r, bool keep) {
  Buffer::Alloc(source, r, keep);
  Mask.Alloc(source.Mask);
}

void UDBuffer::CopyFrom(UDBuffer& source) {
  Copy(source, Pair<int>(rect.left + source.rect.left, rect.top + source.rect.top), kPlain);
  Mask.Copy(source.Mask, 0, 0, BitBuffer::kCopy);
}

void UDBuffer::ScaleFrom(UDBuffer& source, Pair<int> size, Pair<int> position, uint mode,
                         int filter) {
  Scale(source, size, position, mode, filter);
  Mask.Scale(source.Mask, false);
}

void UDBuffer::Free() {
  Buffer::Free();
  Mask.Free();
}

void UDBuffer::CopyAttributes(const UDBuffer& source) {
  SaveAsRequired = source.SaveAsRequired;
  ChangeCount = source.ChangeCount;
  FileName = source.FileName;
  ImageNumber = source.ImageNumber;
  UntitledNumber = source.UntitledNumber;
  SelLeft = source.SelLeft;
  SelRight = source.SelRight;
  SelTop = source.SelTop;
  SelBottom = source.SelBottom;
  Resolution = source.Resolution;
}

namespace {

int Rounded(float v) { return static_cast<int>(v + 0.5f); }

}  // namespace

int UDBuffer::ScaleToFit(UDBuffer& source, int boxWidth, int boxHeight, bool smooth, bool crop) {
  const int w = source.Width();
  const int h = source.Height();
  if (source.pixels == nullptr || w <= 0 || h <= 0 || boxWidth <= 0 || boxHeight <= 0) {
    Free();
    return 0;
  }
  const float sx = static_cast<float>(boxWidth) / static_cast<float>(w);
  const float sy = static_cast<float>(boxHeight) / static_cast<float>(h);
  const int filter = smooth ? 1 : 0;
  if (!crop) {
    const float s = std::min(sx, sy);
    // A sliver of an image still gets a thumbnail one pixel across.
    const int tw = std::max(Rounded(static_cast<float>(w) * s), 1);
    const int th = std::max(Rounded(static_cast<float>(h) * s), 1);
    Alloc(tw, th);
    if (pixels != nullptr) ScaleFrom(source, Pair<int>(tw, th), Pair<int>(0, 0), kPlain, filter);
    return 0;
  }
  const float s = std::max(sx, sy);
  const int cw = std::min(Rounded(static_cast<float>(boxWidth) / s), w);
  const int ch = std::min(Rounded(static_cast<float>(boxHeight) / s), h);
  const int left = source.rect.left + (w - cw) / 2;
  const int top = source.rect.top + (h - ch) / 2;
  Alloc(boxWidth, boxHeight);
  if (pixels == nullptr) return 0;
  Buffer part(source, Rect(left, top, left + cw - 1, top + ch - 1), false);
  Scale(part, Pair<int>(boxWidth, boxHeight), Pair<int>(0, 0), kPlain, filter);
  return 0;
}

int UDBuffer::LoadScaled(AnsiString path, int boxWidth, int boxHeight, bool smooth, bool crop,
                         int imageNumber) {
  UDBuffer loaded;
  if (!GFXFile::Load(loaded, path, nullptr, imageNumber, nullptr)) return 1;
  loaded.Mask.Alloc(loaded.Width(), loaded.Height());
  loaded.SetMaskAll(false);
  return ScaleToFit(loaded, boxWidth, boxHeight, smooth, crop);
}

void UDBuffer::SetMaskPixel(int x, int y, bool on) { Mask.PutPixel(x, y, on ? 1 : 0); }

void UDBuffer::SetMaskRect(bool on, Rect r) { Mask.PutPixelsSafe(r, on ? 1 : 0); }

void UDBuffer::SetMaskAll(bool on) {
  if (Mask.words == nullptr) return;
  Mask.PutPixels(Rect(0, 0, Mask.width - 1, Mask.height - 1), on ? 1 : 0);
}

void UDBuffer::ClearBounds() {
  SelLeft = SelTop = kNoSelectionLow;
  SelRight = SelBottom = kNoSelectionHigh;
}

namespace {

// The set bits of word i of a row of width bits; the bits past the width are not the mask's.
uint RowWord(const BitBuffer& mask, int y, int i) {
  const uint word = mask.words[long(y) * mask.stride + i];
  const int lastWord = (mask.width - 1) >> 5;
  if (i < lastWord || (mask.width & 31) == 0) return word;
  return word & ((1u << (mask.width & 31)) - 1);
}

// First and last selected column of row y; false when the row has none.
bool RowSpan(const BitBuffer& mask, int y, int& first, int& last) {
  const int words = (mask.width + 31) >> 5;
  int i = 0;
  while (i < words && RowWord(mask, y, i) == 0) ++i;
  if (i == words) return false;
  first = i * 32 + std::countr_zero(RowWord(mask, y, i));
  int j = words - 1;
  while (RowWord(mask, y, j) == 0) --j;
  last = j * 32 + 31 - std::countl_zero(RowWord(mask, y, j));
  return true;
}

}  // namespace

// Every selected pixel lies in the rows from the first to the last that hold one, so the
// columns come from the spans of those rows alone.
Rect MaskBounds(const BitBuffer& mask) {
  Rect box(UDBuffer::kNoSelectionLow, UDBuffer::kNoSelectionLow, UDBuffer::kNoSelectionHigh,
           UDBuffer::kNoSelectionHigh);
  if (mask.words == nullptr || mask.width <= 0) return box;
  for (int y = 0; y < mask.height; ++y) {
    int first = 0, last = 0;
    if (!RowSpan(mask, y, first, last)) continue;
    if (box.top == UDBuffer::kNoSelectionLow) box.top = y;
    box.bottom = y;
    box.left = std::min(box.left, first);
    box.right = std::max(box.right, last);
  }
  return box;
}

void UDBuffer::UpdateSelectionBounds() {
  const Rect box = MaskBounds(Mask);
  SelLeft = box.left;
  SelTop = box.top;
  SelRight = box.right;
  SelBottom = box.bottom;
}

// The pause of the marching outline comes with the selection outline.
bool UDBuffer::ClearSelection(bool recordUndo) {
  if (Outline == nullptr) return true;
  if (recordUndo && !PushUndo("DelSel", nullptr, SelLeft, SelTop, SelRight, SelBottom)) return false;
  DropOutlines();
  SetMaskAll(false);
  ClearBounds();
  if (ImageForm != nullptr) ImageForm->ShowBuf->Invalidate();
  return true;
}

namespace {

// Back to a picture as constructed; the undo chains stay with the undo engine.
void EmptyPicture(UDBuffer& p) {
  p.Free();
  p.SaveAsRequired = 0;
  p.ChangeCount = 0;
  p.BlankStart = 0;
  p.FileName = AnsiString();
  p.ImageNumber = 0;
  p.UntitledNumber = 0;
  p.SaveParams = GFXSaveParams();
  p.SaveParams.bits = 24;
  p.Palette.reset();
  p.DropOutlines();
  p.SelLeft = p.SelTop = UDBuffer::kNoSelectionLow;
  p.SelRight = p.SelBottom = UDBuffer::kNoSelectionHigh;
  p.Resolution = UDBuffer::kDefaultResolution;
}

}  // namespace

void UDBuffer::Assign(GFXtra32* extra) {
  const bool take =
      PreviewInfo == 0 ||
      LangMessageBox("ErrLoadImg", "Err", MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
  if (take && &PreviewPicture != this) {
    UDBuffer& preview = PreviewPicture;
    Free();
    CopyAttributes(preview);
    BlankStart = preview.BlankStart;
    static_cast<Buffer&>(*this) = static_cast<Buffer&>(preview);
    Mask = preview.Mask;
    SaveParams = preview.SaveParams;
    if (preview.Palette != nullptr) Palette = std::move(preview.Palette);
    if (extra != nullptr) *extra = PreviewDesc;
  }
  EmptyPicture(PreviewPicture);
  PreviewThumb.Free();
  PreviewLoaded = false;
}

void FillDisc(Buffer& buffer, int cx, int cy, int r, uint colour) {
  const auto span = [&](int half, int row) {
    buffer.Line(Pair<int>(cx - half, row), Pair<int>(cx + half, row), colour);
  };
  int x = r, y = 0, d = 3 - 2 * r;
  while (x >= y) {
    if (d < 0) {
      if (y != 0) span(x, cy + y);
      span(x, cy - y);
      ++y;
      d += 4 * y + 6;
    } else {
      span(y, cy + x);
      span(y, cy - x);
      if (x > y) {
        if (y != 0) span(x, cy + y);
        span(x, cy - y);
      }
      ++y;
      d += 4 * (y - x) + 10;
      --x;
    }
  }
}

float DrawDottedLine(Buffer& buffer, int x1, int y1, int x2, int y2, float period, float phase) {
  constexpr int kOne = 65536;
  constexpr uint kXorColour = 0x8F8F8F8Fu;
  long long c = static_cast<long long>(phase * kOne);
  const long long p = static_cast<long long>(period * kOne);
  const int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
  const int sx = x2 >= x1 ? 1 : -1, sy = y2 >= y1 ? 1 : -1;
  const int steps = std::max(dx, dy);
  const bool alongX = dx >= dy;
  const int major = alongX ? dx : dy, minor = alongX ? dy : dx;
  int error = major / 2;
  int x = x1, y = y1;
  for (int i = 0; i <= steps; ++i) {
    c -= kOne;
    if (c <= 0) {
      buffer.PutPixel(Pair<int>(x, y), kXorColour);
      c += p;
    }
    error -= minor;
    if (error < 0) {
      error += major;
      if (alongX) y += sy; else x += sx;
    }
    if (alongX) x += sx; else y += sy;
  }
  return static_cast<float>(c) / kOne;
}

Pair<int> CurveChordPoint(Pair<int> start, Pair<int> control, Pair<int> end, int i) {
  const double t = static_cast<double>(i) / CurveChords;
  const double a = (1 - t) * (1 - t), b = 2 * t * (1 - t), c = t * t;
  return {static_cast<int>(a * start.x + b * control.x + c * end.x),
          static_cast<int>(a * start.y + b * control.y + c * end.y)};
}

Pair<int> ArrowHeadPoint(Pair<int> tip, Pair<int> from, double angleDegrees, int length) {
  const double dx = from.x - tip.x;
  const double dy = from.y - tip.y;
  const double a = angleDegrees * std::numbers::pi / 180.0;
  const double distance = std::sqrt(dx * dx + dy * dy);
  const double scale = distance == 0 ? 0.0 : length / distance;
  return {static_cast<int>((dx * std::cos(a) - dy * std::sin(a)) * scale) + tip.x,
          static_cast<int>((dx * std::sin(a) + dy * std::cos(a)) * scale) + tip.y};
}

Rect DrawCurvePreview(Buffer& buffer, int startX, int startY, int controlX, int controlY,
                      int endX, int endY, float period, int arrowStyle) {
  const Pair<int> start{startX, startY}, control{controlX, controlY}, end{endX, endY};
  Pair<int> previous = start;
  float phase = 1.0f;
  for (int i = 1; i <= CurveChords; ++i) {
    const Pair<int> next = CurveChordPoint(start, control, end, i);
    // The next chord starts on this one's end pixel, which is already counted.
    phase = DrawDottedLine(buffer, previous.x, previous.y, next.x, next.y, period, phase) + 1.0f;
    if (i < CurveChords) previous = next;
  }
  Rect head;
  if (arrowStyle < 1 || arrowStyle > 4) return head;
  // The barbs point back along the last chord.
  head = Rect(end.x, end.y, end.x, end.y);
  for (const double angle : {-30.0, 30.0}) {
    const Pair<int> barb = ArrowHeadPoint(end, previous, angle, ArrowSizes[arrowStyle - 1]);
    DrawDottedLine(buffer, barb.x, barb.y, end.x, end.y, 1.0f, 1.0f);
    head = Rect(std::min(head.left, barb.x), std::min(head.top, barb.y), std::max(head.right, barb.x),
                std::max(head.bottom, barb.y));
  }
  return head;
}
