#pragma once
// The 32-bit pixel buffer: an owner of its pixels, a view on someone else's, or empty.
// Pixels are 0xTTRRGGBB with the top byte as transparency (0 opaque). Assignment and copy
// construction hand the ownership of the pixels to the target and leave the source a view.

#include "platform/rtl/AnsiString.h"
#include <memory>

#include "vorlen/core/Types.h"

struct Matrix2D;

class RFont;
class TFont;

class Buffer {
public:
  // Ownership words.
  static constexpr int kOwns = 0;
  static constexpr int kOwnsShifted = -1;  // the block starts one word before pixels
  static constexpr int kView = 1;

  // r.left set to this rebases a view to its own top-left corner.
  static constexpr int kRebaseToView = static_cast<int>(0x80000001);

  Buffer();
  Buffer(Buffer& src);
  Buffer(Buffer&& src);
  Buffer(Buffer& src, Rect r, bool keep);
  ~Buffer();

  Buffer& operator=(Buffer& src);
  Buffer& operator=(Buffer&& src);

  void Free();
  void Alloc(Pair<int> size);
  void Alloc(Buffer& src, Rect r, bool keep);
  void Alloc(Pair<int> size, uint* memory, int memoryStride);

  int Width() const { return rect.Width(); }
  int Height() const { return rect.Height(); }
  bool Empty() const { return rect.Empty(); }
  // The pixel (x, y) in the buffer's own coordinates; the caller keeps (x, y) inside rect.
  uint* At(int x, int y) const {
    return pixels + static_cast<long>(y - rect.top) * stride + (x - rect.left);
  }

  // Copy modes: a plain copy, compositing by transparency, or else the value is a colour key
  // (a source pixel equal to it in all 32 bits is left out).
  static constexpr uint kPlain = 0xFFFFFFFFu;
  static constexpr uint kComposite = 0xFE000000u;

  // Puts src, moved by offset, into this buffer, clipped to its rectangle.
  void Copy(const Buffer& src, Pair<int> offset, uint mode);
  // Exchanges the pixels of the area both rectangles share, at the same coordinates.
  void Swap(Buffer& other);

  // Drawing. A colour whose top byte is exactly kXorTag is not stored: the pixel is XORed with
  // its red, green and blue instead (PutPixel, VLine, Box, Rectangle and Line). Everything
  // clips to the rectangle; nothing is drawn on an empty buffer.
  static constexpr uint kXorTag = 0x8F;
  void PutPixel(Pair<int> p, uint colour);
  void VLine(int x, int y1, int y2, uint colour);  // y1 > y2 draws nothing
  void Box(Rect r, uint colour);
  void Rectangle(Rect r, uint colour);  // the outline, no pixel twice
  void Line(Pair<int> from, Pair<int> to, uint colour);  // both end points included
  // Copies the pixels of src on the line from-to here, each moved by offset.
  void CopyLine(Buffer& src, Pair<int> from, Pair<int> to, Pair<int> offset);

  // Whole-buffer operations; colours are taken literally.
  void ChColor(uint from, uint to);
  void XChColor(uint a, uint b);
  bool CheckMask(uint mask) const;
  // op 1 AND, 2 OR, 3 XOR, 4 shift (left by value > 0, right by -value), others nothing.
  void Bool(int op, uint value);
  // Pixels not colour next to colour (eight neighbours) become outline.
  void OutlineEQ(uint colour, uint outline);
  // Pixels equal to colour next to one neither colour nor outline become outline.
  void OutlineNE(uint colour, uint outline);
  void VClr(int a);  // a test pattern

  // Text in the library's bitmap fonts (vorlen/draw).
  void OutChar(RFont& font, Pair<int> pos, int ch, uint colour);
  void OutText(RFont& font, Pair<int> pos, AnsiString text, uint colour);
  Pair<int> GetTextExtent(RFont& font, AnsiString text);
  // Text in a framework font, hard-edged, the box's top-left corner at pos (vorlen/draw). A
  // null font draws nothing and measures (0, 0).
  void OutText(TFont* font, Pair<int> pos, AnsiString text, uint colour);
  Pair<int> GetTextExtent(TFont* font, AnsiString text);

  // Resampling, in the three copy modes. filter: Scale < 0 chooses, 0 samples once, > 0
  // averages 2 x 2 samples; XFormLin 0 samples once, -1 and > 0 average, < -1 chooses.
  // Draws the whole of src into the rectangle at pos of |size.x| x |size.y| pixels; a negative
  // size mirrors that axis.
  void Scale(const Buffer& src, Pair<int> size, Pair<int> pos, uint mode, int filter);
  // Draws src mapped by m (a source point (x, y) goes to (a x + c y, b x + d y)), moved by pos.
  void XFormLin(const Buffer& src, const Matrix2D& m, Pair<int> pos, uint mode, int filter);
  // The pixel spans of this rectangle covered by a quadrilateral (corners in order around
  // it): first and last column of each row, two rows of half columns a pixel row when
  // supersampling. Columns and half columns count from the rectangle's left edge (0 is
  // rect.left), so they fit in an int wherever the buffer lies. Null when nothing is covered;
  // origin gets the leftmost covered column and the first covered row, in the buffer's own
  // coordinates, rows the number of pixel rows.
  std::unique_ptr<int[]> Render(const Pair<double>* corners, Pair<int>& origin, int& rows, int supersample) const;

  static char* GetConfigFile();
  static int GetDefaultX();
  static int GetDefaultY();
  static void SetDefaultX(int x);
  static void SetDefaultY(int y);

  uint* pixels;
  int stride;
  Rect rect;
  int ownership;

  static char config_file[260];
  static int default_x;
  static int default_y;

private:
  void TakeFrom(Buffer& src);
};

// The most pixels one buffer may hold: its block's byte count stays within a signed 32-bit
// value, so every offset the library computes in 32 bits is sound.
constexpr long long kMaxBufferPixels = 0x7FFFFFFFLL / 4 - 4;
