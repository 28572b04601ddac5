#pragma once
// The program's image object: the library's pixel buffer with everything the editor keeps
// about one image (its file, its change counter, its selection, the parameters it was loaded
// with, its undo history, its resolution), the five pictures that live for the whole run, and
// three drawing helpers for round brushes and dotted previews.

#include <memory>

#include "platform/rtl/AnsiString.h"
#include "vorlen/core/BitBuffer.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/core/Types.h"
#include "vorlen/formats/GFXFile.h"

class UndoEntry;

class UDBuffer : public Buffer {
public:
  // The empty selection bounds.
  static constexpr int kNoSelectionLow = 0x10000;  // SelLeft, SelTop
  static constexpr int kNoSelectionHigh = -1;      // SelRight, SelBottom
  static constexpr int kDefaultResolution = 200;

  UDBuffer();
  ~UDBuffer();
  UDBuffer(const UDBuffer&) = delete;
  UDBuffer& operator=(const UDBuffer&) = delete;

  // Pixels at the size and a cleared mask of the same size; selection bounds and outline stay.
  // When memory is short the library throws or leaves the pixels null.
  void Alloc(int width, int height);
  // As Alloc at the library's default image size.
  void AllocDefault();
  // Makes this picture a view of r of source (pixels shared, never freed here) and of the
  // whole of source's mask.
  void AllocFrom(UDBuffer& source, Rect r, bool keep);
  // Copies source's pixels plainly at the sum of both origins, and its mask at (0, 0).
  void CopyFrom(UDBuffer& source);
  // Scales source's pixels and mask into this picture (arguments as Buffer::Scale takes them).
  void ScaleFrom(UDBuffer& source, Pair<int> size, Pair<int> position, uint mode, int filter);
  // Frees pixels and mask, nothing else.
  void Free();
  // The non-pixel attributes: Save-As flag, change counter, file name, image number,
  // untitled number, selection bounds and resolution.
  void CopyAttributes(const UDBuffer& source);
  // A thumbnail of source fitted into the box (aspect kept), or with crop filling the box
  // from source's centred part. Returns 0.
  int ScaleToFit(UDBuffer& source, int boxWidth, int boxHeight, bool smooth, bool crop);
  // Loads image imageNumber of the file and makes this picture its ScaleToFit. The library's
  // exceptions pass on; this picture is left as it was when the load fails.
  int LoadScaled(AnsiString path, int boxWidth, int boxHeight, bool smooth, bool crop,
                 int imageNumber);

  // The mask. IsSelected and SetMaskPixel trust the caller's coordinates.
  bool IsSelected(int x, int y) const { return Mask.Test(x, y); }
  void SetMaskPixel(int x, int y, bool on);
  void SetMaskRect(bool on, Rect r);  // clipped to the mask
  void SetMaskAll(bool on);
  // Recomputes SelLeft..SelBottom from the mask.
  void UpdateSelectionBounds();
  bool HasSelectionBounds() const { return SelRight >= 0; }
  // Deselects: outline, mask and bounds. Does nothing when nothing is selected (no outline).
  void ClearSelection(bool recordUndo);
  // Takes over PreviewPicture (the open dialog's loaded preview) into this picture, asking
  // first when the preview was damaged; extra receives the preview's kept extra data. The
  // preview is emptied either way.
  void Assign(GFXtra32* extra);

  uchar SaveAsRequired = 0;  // File/Save must ask for a name
  int ChangeCount = 0;       // changes since the last save
  uchar BlankStart = 0;      // the untouched blank document
  AnsiString FileName;       // full path; empty for an untitled picture
  int ImageNumber = 0;       // the image of a multi-image file it came from
  int UntitledNumber = 0;
  BitBuffer Mask;            // the selection, one bit a pixel
  GFXSaveParams SaveParams;  // how the file it came from was written
  std::unique_ptr<uchar[]> Palette;      // 768 bytes when the loader read a palette
  std::unique_ptr<uchar[]> Outline;      // the selection outline; null exactly when none
  std::unique_ptr<uchar[]> ViewOutline;  // the outline at the view's zoom
  int SelLeft = kNoSelectionLow;
  int SelRight = kNoSelectionHigh;
  int SelTop = kNoSelectionLow;
  int SelBottom = kNoSelectionHigh;
  // The undo history, newest first. The undo engine owns and frees the steps.
  UndoEntry* UndoChain = nullptr;
  uint UndoMemKB = 0;
  uint UndoDiskKB = 0;
  UndoEntry* RedoChain = nullptr;
  uint RedoMemKB = 0;
  uint RedoDiskKB = 0;
  int Resolution = kDefaultResolution;  // dots per inch

private:
  void ClearBounds();
};

// The pictures that live for the whole run, constructed in this order before the main window
// exists: the view through which tools draw, the brush, the brush as stamped, and the open
// dialog's preview with its thumbnail.
extern UDBuffer DrawView;
extern UDBuffer Brush;
extern UDBuffer BrushShape;
extern UDBuffer PreviewPicture;
extern UDBuffer PreviewThumb;

// What the open dialog's preview left for the loader to take over: set when PreviewPicture
// holds the file about to be opened, the load's damaged-file answer (0 sound) and the
// preview's extra data.
extern bool PreviewLoaded;
extern int PreviewInfo;
extern GFXtra32 PreviewDesc;

// A filled disc of radius r around (cx, cy), in horizontal spans.
void FillDisc(Buffer& buffer, int cx, int cy, int r, uint colour);
// A dotted XOR line, both ends included; a dot every `period` pixels, the first after `phase`
// pixels. Returns the phase for the next segment (a period of 1 draws a solid line).
float DrawDottedLine(Buffer& buffer, int x1, int y1, int x2, int y2, float period, float phase);
// The dotted preview of a quadratic curve through start, bent towards control, to end, with
// an arrow head at the end for styles 1 to 4 (0: none).
void DrawCurvePreview(Buffer& buffer, int startX, int startY, int controlX, int controlY,
                      int endX, int endY, float period, int arrowStyle);
