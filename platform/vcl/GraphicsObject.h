#pragma once
// The drawing tools of the framework: TGraphicsObject (a tool that tells its owner when it
// changes), TPen and TBrush. Each makes its GDI object on first use, owns it, and remakes it
// after a change; a canvas deselects a tool's object before the tool frees it.

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Color.h"
#include "platform/vcl/Object.h"
#include "platform/vcl/TypInfo.h"
#include "platform/vcl/Types.h"

class TBitmap;

class TGraphicsObject : public TPersistent {
  QUILLO_DECLARE_CLASS()

public:
  TNotifyEvent OnChange;

protected:
  virtual void Changed();
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// How a pen combines with the pixels under it (the binary raster operations).
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
// The SetROP2 code of a pen mode.
int PenModeToRop2(TPenMode mode);
QUILLO_DECLARE_ENUM_TYPE(TPenStyle)
QUILLO_DECLARE_ENUM_TYPE(TPenMode)

// Publishes Color, Mode, Style and Width.
class TPen : public TGraphicsObject {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  TPen();
  ~TPen() override;
  void Assign(const TPersistent* source) override;

  TColor GetColor() const { return color_; }
  void SetColor(TColor colour);
  int GetWidth() const { return width_; }
  void SetWidth(int width);
  TPenStyle GetStyle() const { return style_; }
  void SetStyle(TPenStyle style);
  // The mode is applied by the canvas (SetROP2), not part of the GDI pen.
  TPenMode GetMode() const { return mode_; }
  void SetMode(TPenMode mode);
  HPEN GetHandle();
  // Takes over a pen made elsewhere: its colour, width and style become the pen's.
  void SetHandle(HPEN pen);

private:
  void FreeHandle();

  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
  HPEN handle_ = nullptr;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
QUILLO_DECLARE_ENUM_TYPE(TBrushStyle)

// Publishes Color and Style.
class TBrush : public TGraphicsObject {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  TBrush();
  ~TBrush() override;
  void Assign(const TPersistent* source) override;

  TColor GetColor() const { return color_; }
  // A clear brush given a colour becomes solid, as the framework does.
  void SetColor(TColor colour);
  TBrushStyle GetStyle() const { return style_; }
  void SetStyle(TBrushStyle style);
  // A pattern brush from a bitmap (not owned; its top-left 8 x 8 pixels are used), or none.
  TBitmap* GetBitmap() const { return bitmap_; }
  void SetBitmap(TBitmap* bitmap);
  HBRUSH GetHandle();

private:
  void FreeHandle();

  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  TBitmap* bitmap_ = nullptr;
  HBRUSH handle_ = nullptr;
};
