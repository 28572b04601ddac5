#pragma once
// The program's image object: the library's pixel buffer with everything the editor keeps
// about one image (its file, its change counter, its selection, the parameters it was loaded
// with, its undo history, its resolution), the five pictures that live for the whole run, and
// three drawing helpers for round brushes and dotted previews.

#include <cstdint>
#include <memory>

#include "platform/rtl/AnsiString.h"
#include "quillo/document/OutlineBands.h"
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
  // As Alloc, but a picture that owns a block holding enough pixels (and not more than twice
  // as many) keeps it, its pixels as they were: for a picture rebuilt again and again, where
  // fresh memory would cost more to touch for the first time than the old block to reuse.
  void Reshape(int width, int height);
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
  // False when the undo step asked for could not be opened: the selection then stays.
  bool ClearSelection(bool recordUndo);
  // Takes over PreviewPicture (the open dialog's loaded preview) into this picture, asking
  // first when the preview was damaged; extra receives the preview's kept extra data. The
  // preview is emptied either way.
  void Assign(GFXtra32* extra);

  // --- Selection outline (SelectionOutline.cpp) ---
  // Traces Mask inside the selection bounds (bring them up to date first) into Outline, a
  // run-length chain code of every region's and hole's boundary; null when nothing is
  // selected. With waitCursor the hourglass shows while it runs. Stops the activity timer.
  void BuildSelectionOutline(bool waitCursor);
  // ViewOutline from Outline at the active document's zoom; invalidates the active view and
  // starts the activity timer.
  void ScaleSelectionOutline();
  // Draws the marching outline's changing pixels on the view of the window that shows this
  // picture; with advance the dash pattern first moves on one step.
  void PaintSelectionOutline(bool advance);
  // After the mask changed: the bounds recomputed, the outline traced with the hourglass and
  // scaled. Without memory for the tracing "NoMem" is shown and nothing stays selected, so
  // that no selection is at work unseen.
  void RebuildSelectionOutline();
  // Both outline blocks and the view outline's index gone: nothing is selected to show.
  void DropOutlines();

  // --- Undo history (UndoEngine.cpp) ---
  // x1 of PushUndo asking for the whole image.
  static constexpr int kWholeImage = -1;
  // Opens a step over (x1, y1)-(x2, y2) of this picture (clipped to it), or over the whole
  // image when x1 is kWholeImage, at the head of owner's undo chain (null: this picture's),
  // after emptying owner's redo chain. False after the message "NoMem" when there was neither
  // room nor a swap file for it; both chains then stay as they were.
  bool PushUndo(const AnsiString& description, UDBuffer* owner = nullptr, int x1 = kWholeImage,
                int y1 = 0, int x2 = 0, int y2 = 0);
  // As PushUndo over the whole image, for an operation that gives the picture new pixels
  // (Alloc or an assignment) and never writes into its present ones: the step takes the
  // present pixels and mask themselves, nothing copied, and the picture is left a view of them
  // to read from until it gets its new ones. Nothing may open another step before that. A
  // picture that is itself a view, or a step that goes to a swap file, is copied as PushUndo
  // does.
  bool PushReplacedUndo(const AnsiString& description);
  // As PushUndo over the whole image, but the pixels are copied only as KeepRowsForUndo asks
  // (the mask at once): for an operation that changes the picture only where it says first.
  // Every other use of the step (narrowing, undoing, a newer step, swapping it out) copies
  // the rest first. A step that goes to a swap file is copied whole at once.
  bool PushDeferredUndo(const AnsiString& description);
  // Before rows y1..y2 change: the newest step, when deferred, copies those rows it lacks.
  void KeepRowsForUndo(int y1, int y2);
  // Narrows the newest undo step to its part inside (x1, y1)-(x2, y2) in image coordinates
  // (a stroke's dirty rectangle); a rectangle that misses the step drops it. Nothing without
  // a step.
  void ExtendUndo(int x1, int y1, int x2, int y2);
  enum class RedoRecord { Keep, Skip };
  // Undoes the newest step; with RedoRecord::Keep the present state goes to the redo chain
  // first (Edit/Undo), without it the step is only taken back (a tool giving up its half-done
  // operation). When the step cannot be restored (no memory, swap file unreadable) a message
  // says so and picture and chains stay as they were. True when the step was undone.
  bool Undo(RedoRecord redo = RedoRecord::Skip);
  // Redoes the newest redo step, the present state going to the undo chain; on failure as
  // Undo. True when it was redone.
  bool Redo();
  // Remove and destroy the newest step of a chain (its swap file too).
  void DropUndoStep();
  void DropRedoStep();
  // Destroy a whole chain.
  void FreeUndo();
  void FreeRedo();
  // Fills dest with (x1, y1)-(x2, y2) as it was before the newest undo step; the part the
  // step does not cover repeats its edge pixels. False (dest untouched) without a step or when
  // it cannot be read.
  bool CopyFromUndo(UDBuffer& dest, int x1, int y1, int x2, int y2);

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
  outline::OutlineBands ViewBands;       // ViewOutline by bands of rows, for the painter
  int SelLeft = kNoSelectionLow;
  int SelRight = kNoSelectionHigh;
  int SelTop = kNoSelectionLow;
  int SelBottom = kNoSelectionHigh;
  // The undo history, newest first, and the KB of its steps in memory and in swap files.
  // The picture owns the steps; the destructor frees both chains.
  UndoEntry* UndoChain = nullptr;
  std::int64_t UndoMemKB = 0;
  std::int64_t UndoDiskKB = 0;
  UndoEntry* RedoChain = nullptr;
  std::int64_t RedoMemKB = 0;
  std::int64_t RedoDiskKB = 0;
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

// The smallest rectangle holding every set bit of the mask; without one, left and top are
// UDBuffer::kNoSelectionLow and right and bottom UDBuffer::kNoSelectionHigh (an empty rectangle).
Rect MaskBounds(const BitBuffer& mask);

// A filled disc of radius r around (cx, cy), in horizontal spans.
void FillDisc(Buffer& buffer, int cx, int cy, int r, uint colour);
// A dotted XOR line, both ends included; a dot every `period` pixels, the first after `phase`
// pixels. Returns the phase for the next segment (a period of 1 draws a solid line).
float DrawDottedLine(Buffer& buffer, int x1, int y1, int x2, int y2, float period, float phase);
// The dotted preview of a quadratic curve through start, bent towards control, to end, with
// an arrow head at the end for styles 1 to 4 (0: none). Returns the rectangle the arrow head
// covers, inclusive (empty without one), for the caller to repaint.
Rect DrawCurvePreview(Buffer& buffer, int startX, int startY, int controlX, int controlY,
                      int endX, int endY, float period, int arrowStyle);

// A curve is drawn as this many chords.
constexpr int CurveChords = 16;
// The point of chord end i (0 to CurveChords) of the quadratic curve from start bent towards
// control to end, each coordinate truncated.
Pair<int> CurveChordPoint(Pair<int> start, Pair<int> control, Pair<int> end, int i);

// The barb lengths of arrow heads 1 to 4.
constexpr int ArrowSizes[4] = {6, 16, 35, 60};
// The barb end of an arrow head at tip, pointing back towards from, turned by angle degrees,
// length pixels long (the tip itself when from equals tip).
Pair<int> ArrowHeadPoint(Pair<int> tip, Pair<int> from, double angleDegrees, int length);
