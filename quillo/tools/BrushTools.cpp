#include "quillo/tools/BrushTools.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <numbers>

#include "platform/rtl/FloatFormat.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/tools/BrushCommands.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/BrushTransforms.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/SizeStatus.h"
#include "vorlen/transform/SampleWriters.h"

namespace {

constexpr char kDegreeSign = '\xB0';  // in the program's 8-bit character set

// The brush's top-left image position when its hot spot lies on p.
Pair<int> BrushCornerAt(Pair<int> p) {
  const Pair<int> hot = BrushHotSpot();
  return {p.x - hot.x, p.y - hot.y};
}

// Copies strip i of source (its column when vertical, else its row) into target, the strip's
// first pixel at `at` (target coordinates), in the copy mode; clipped to target.
void CopyStrip(const Buffer& source, Buffer& target, int i, bool vertical, Pair<int> at, std::uint32_t mode) {
  const int length = vertical ? source.Height() : source.Width();
  WithWriter(mode, [&](const auto& writer) {
    for (int j = 0; j < length; ++j) {
      const int tx = vertical ? at.x : at.x + j, ty = vertical ? at.y + j : at.y;
      if (tx < target.rect.left || ty < target.rect.top || tx > target.rect.right || ty > target.rect.bottom) continue;
      const int sx = vertical ? i : j, sy = vertical ? j : i;
      writer.Put(target.At(tx, ty), *source.At(source.rect.left + sx, source.rect.top + sy));
    }
  });
}

// The feedback of the brush tools: the plain brush at the pointer, or the changed brush drawn
// over a saved image rectangle.
void ShowPlainBrush(bool& stamped) {
  StampBrush(ToolPoint.x, ToolPoint.y);
  stamped = true;
}

void HideShown(bool& stamped, Rect& shown) {
  if (stamped) HideBrushAt(ToolPoint.x, ToolPoint.y);
  else if (!shown.Empty()) RestoreImageRect(shown.left, shown.top, shown.right, shown.bottom);
  stamped = false;
  shown = Rect();
}

// Saves r for feedback about to be drawn there; an empty shown rectangle when it cannot.
bool SaveForFeedback(const Rect& r, Rect& shown) {
  shown = Rect();
  if (!SaveImageRect(r.left, r.top, r.right, r.bottom)) return false;
  shown = r;
  SetDrawViewClip();
  return true;
}

void RepaintNow(const Rect& r) {
  RepaintImageRect(r.left, r.top, r.right + 1, r.bottom + 1);
  if (ImageForm && ImageForm->ShowBuf) ImageForm->ShowBuf->Update();
}

// The commit of a tool's result, built in BrushShape by build, as one brush step; the pointer
// then goes to the hot spot of the result (BrushShape) over its top-left corner at corner(),
// and the brush is the result, cropped when OptimBrush is on.
template <class Build, class Corner>
void CommitBrush(const AnsiString& key, Build build, Corner corner) {
  // The brush gets the result's pixels, never a change in its own: the step takes them.
  BrushStep step(key, BrushStep::Pixels::Replaced);
  // Without its step the brush stays as it was.
  if (!step.Opened()) {
    UpdateBrushShape(false);
    return;
  }
  try {
    build();
    const Pair<int> at = corner();
    const Pair<int> hot = BrushHotSpot();
    MoveCursorToImagePoint(at.x + hot.x, at.y + hot.y);
    BrushFromShapeTrimmed();
    UseCustomBrushShape();
  } catch (const std::exception&) {
    step.TakeBack();
    UpdateBrushShape(false);
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Bend and shear

int BendSplit(int p, int origin, int count) {
  const int k = p <= origin ? 1 : p < origin + count ? p - origin : count - 2;
  return std::clamp(k, 0, count);
}

int BendOffset(int i, int count, int k, int d, int s) {
  const long double quarter = std::numbers::pi_v<long double> / 2;
  const long double f = i < k ? std::sin(quarter * i / (k + 1)) : std::cos(quarter * (i - k) / (count - k + 1));
  return static_cast<int>((s - f) * d);
}

int P_bend_brush::BrushW() const { return Brush.Width(); }
int P_bend_brush::BrushH() const { return Brush.Height(); }

void P_bend_brush::Activate() {
  SetStatusText(firstKey_);
  stamped_ = false;
  shown_ = Rect();
}

void P_bend_brush::MoveToHotSpot() {
  const Pair<int> hot = BrushHotSpot();
  MoveCursorToImagePoint(ResultLeftX + hot.x, ResultTopY + hot.y);
}

void P_bend_brush::AddPoint() {
  ToolPoint = MousePoint;
  if (ToolPhase == 0) {
    SetStatusText(secondKey_);
    const Pair<int> corner = BrushCornerAt(ToolPoint);
    OriginX = corner.x;
    OriginY = corner.y;
    MoveToHandle();
    return;
  }
  const int x = ToolPoint.x, y = ToolPoint.y;
  ResultLeftX = ResultLeft(x);
  ResultTopY = ResultTop(y);
  CommitBrush(
      Key,
      [&] {
        AllocOrThrow(BrushShape, ResultWidth(x), ResultHeight(y));
        BrushShape.Box(BrushShape.rect, BrushOutside);
        Apply(x, y, Brush, BrushShape, {BrushShape.rect.left, BrushShape.rect.top}, BrushOutside);
      },
      [&] { return Pair<int>{ResultLeftX, ResultTopY}; });
}

void P_bend_brush::ShowFeedback() {
  if (ToolPhase == 0 || PlainFeedback()) {
    ShowPlainBrush(stamped_);
    return;
  }
  stamped_ = false;
  const int x = ToolPoint.x, y = ToolPoint.y;
  const Rect r(ResultLeft(x), ResultTop(y), ResultLeft(x) + ResultWidth(x) - 1, ResultTop(y) + ResultHeight(y) - 1);
  if (!SaveForFeedback(r, shown_)) return;
  Apply(x, y, BrushShape, DrawView, {r.left, r.top}, Buffer::kComposite);
  RepaintNow(r);
}

void P_bend_brush::HideFeedback() { HideShown(stamped_, shown_); }

void P_bend_brush_UnD::MoveToHandle() { MoveCursorToImagePoint(OriginX + BrushW() / 2, OriginY + BrushH() / 2); }
int P_bend_brush_UnD::ResultTop(int y) { return std::min(y - BrushH() / 2, OriginY); }
int P_bend_brush_UnD::ResultHeight(int y) { return std::abs(OriginY - y + BrushH() / 2) + BrushH(); }

void P_bend_brush_UnD::Apply(int x, int y, const Buffer& source, Buffer& target, Pair<int> corner, std::uint32_t mode) {
  const int w = source.Width(), h = source.Height();
  const int k = BendSplit(x, OriginX, w);
  const int d = OriginY - y + h / 2;
  const int s = y - h / 2 < OriginY ? 1 : 0;
  for (int i = 0; i < w; ++i) CopyStrip(source, target, i, true, {corner.x + i, corner.y + BendOffset(i, w, k, d, s)}, mode);
}

void P_bend_brush_LnR::MoveToHandle() { MoveCursorToImagePoint(OriginX + BrushW() / 2, OriginY + BrushH() / 2); }
int P_bend_brush_LnR::ResultLeft(int x) { return std::min(x - BrushW() / 2, OriginX); }
int P_bend_brush_LnR::ResultWidth(int x) { return std::abs(OriginX - x + BrushW() / 2) + BrushW(); }

void P_bend_brush_LnR::Apply(int x, int y, const Buffer& source, Buffer& target, Pair<int> corner, std::uint32_t mode) {
  const int w = source.Width(), h = source.Height();
  const int k = BendSplit(y, OriginY, h);
  const int d = OriginX - x + w / 2;
  const int s = x - w / 2 < OriginX ? 1 : 0;
  for (int i = 0; i < h; ++i) CopyStrip(source, target, i, false, {corner.x + BendOffset(i, h, k, d, s), corner.y + i}, mode);
}

void P_shear_brush_UnD::MoveToHandle() { MoveCursorToImagePoint(OriginX + BrushW() - 1, OriginY + BrushH() - 1); }
int P_shear_brush_UnD::ResultTop(int y) { return y < OriginY + BrushH() - 1 ? y - BrushH() + 1 : OriginY; }
int P_shear_brush_UnD::ResultHeight(int y) { return std::abs(OriginY + BrushH() - 1 - y) + BrushH(); }

void P_shear_brush_UnD::Apply(int, int y, const Buffer& source, Buffer& target, Pair<int> corner, std::uint32_t mode) {
  const int d = y - OriginY - source.Height() + 1;
  ShearWalk(source.Width() - 1, d, OriginY - ResultTop(y),
            [&](int column, int row) { CopyStrip(source, target, column, true, {corner.x + column, corner.y + row}, mode); });
}

void P_shear_brush_LnR::MoveToHandle() { MoveCursorToImagePoint(OriginX + BrushW() - 1, OriginY + BrushH() - 1); }
int P_shear_brush_LnR::ResultLeft(int x) { return x < OriginX + BrushW() - 1 ? x - BrushW() + 1 : OriginX; }
int P_shear_brush_LnR::ResultWidth(int x) { return std::abs(OriginX + BrushW() - 1 - x) + BrushW(); }

void P_shear_brush_LnR::Apply(int x, int, const Buffer& source, Buffer& target, Pair<int> corner, std::uint32_t mode) {
  const int d = x - OriginX - source.Width() + 1;
  ShearWalk(source.Height() - 1, d, OriginX - ResultLeft(x),
            [&](int row, int column) { CopyStrip(source, target, row, false, {corner.x + column, corner.y + row}, mode); });
}

// ---------------------------------------------------------------------------------------
// Rotate

int P_rotate_brush::CentreX() const { return OriginX + Brush.Width() / 2; }
int P_rotate_brush::CentreY() const { return OriginY + Brush.Height() / 2; }

int P_rotate_brush::RotatedWidth() const { return RotatedSize(Brush.Width(), Brush.Height(), Angle).x; }
int P_rotate_brush::RotatedHeight() const { return RotatedSize(Brush.Width(), Brush.Height(), Angle).y; }

double P_rotate_brush::AngleAt(int x, int y) const {
  const int cx = CentreX(), cy = CentreY();
  if (x == cx && y == cy) return 0;
  return std::atan2(static_cast<double>(cy - y), static_cast<double>(x - cx));
}

AnsiString P_rotate_brush::AngleText(double angle) {
  return FormatFloat("0.00", angle * 180.0 / std::numbers::pi) + AnsiString(1, kDegreeSign);
}

Rect P_rotate_brush::TurnedBox() const {
  const int w = RotatedWidth(), h = RotatedHeight();
  const int left = CentreX() - w / 2, top = CentreY() - h / 2;
  return Rect(left, top, left + w - 1, top + h - 1);
}

void P_rotate_brush::Activate() {
  SetStatusText("RotateBrush");
  stamped_ = false;
  shown_ = Rect();
}

void P_rotate_brush::AddPoint() {
  ToolPoint = MousePoint;
  if (ToolPhase == 0) {
    SetStatusText("RotateBrush2");
    const Pair<int> corner = BrushCornerAt(ToolPoint);
    OriginX = corner.x;
    OriginY = corner.y;
    Angle = 0;
    // One pixel right of the brush on its middle row: the angle starts at 0.
    MoveCursorToImagePoint(OriginX + Brush.Width(), CentreY());
    return;
  }
  CommitTurn(AngleAt(ToolPoint.x, ToolPoint.y));
}

void P_rotate_brush::CommitTurn(double angle) {
  Angle = angle;
  const int cx = CentreX(), cy = CentreY();
  CommitBrush(
      Key, [&] { TurnBrushIntoShape(static_cast<float>(Angle)); },
      [&] { return Pair<int>{cx - BrushShape.Width() / 2, cy - BrushShape.Height() / 2}; });
}

void P_rotate_brush::ShowFeedback() {
  if (ToolPhase == 0) {
    ShowPlainBrush(stamped_);
    return;
  }
  stamped_ = false;
  Angle = AngleAt(ToolPoint.x, ToolPoint.y);
  const Rect box = TurnedBox();
  if (!SaveForFeedback(box, shown_)) return;
  DrawRotated(DrawView, BrushShape, Angle, {box.left, box.top}, {box.Width(), box.Height()});
  if (ImageForm) ImageForm->SetPanelText(spSizes, AngleText(Angle));
  RepaintNow(box);
}

void P_rotate_brush::HideFeedback() { HideShown(stamped_, shown_); }

// ---------------------------------------------------------------------------------------
// Stretch

int P_stretch_brush::NewWidth(int x) {
  const int n = x - AnchorX;
  return n >= 0 ? n + 1 : n - 1;
}

int P_stretch_brush::NewHeight(int y) {
  const int n = y - AnchorY;
  return n >= 0 ? n + 1 : n - 1;
}

int P_stretch_brush_X::NewHeight(int) { return Brush.Height(); }
int P_stretch_brush_Y::NewWidth(int) { return Brush.Width(); }

void P_stretch_brush::Activate() {
  SetStatusText("StretchBrush");
  stamped_ = false;
  shown_ = Rect();
}

void P_stretch_brush::AddPoint() {
  ToolPoint = MousePoint;
  if (ToolPhase == 0) {
    SetStatusText("StretchBrush2");
    const Pair<int> corner = BrushCornerAt(ToolPoint);
    AnchorX = corner.x;
    AnchorY = corner.y;
    // The drag starts at the present size, on the brush's bottom-right pixel.
    MoveCursorToImagePoint(AnchorX + Brush.Width() - 1, AnchorY + Brush.Height() - 1);
    return;
  }
  const int w = NewWidth(ToolPoint.x), h = NewHeight(ToolPoint.y);
  const int aw = std::abs(w), ah = std::abs(h);
  CommitBrush(
      Key,
      [&] {
        const std::uint32_t transparent = BrushTransparentColor & 0xFFFFFFu;
        AllocOrThrow(BrushShape, aw, ah);
        BrushShape.Box(BrushShape.rect, transparent);
        // The brush's outside is skipped, shows the transparent colour and is outside again.
        BrushShape.Scale(Brush, {w, h}, {BrushShape.rect.left, BrushShape.rect.top}, BrushOutside, 0);
        BrushShape.ChColor(transparent, BrushOutside);
      },
      [&] { return Pair<int>{w < 0 ? AnchorX - (aw - 1) : AnchorX, h < 0 ? AnchorY - (ah - 1) : AnchorY}; });
}

void P_stretch_brush::ShowFeedback() {
  if (ToolPhase == 0) {
    ShowPlainBrush(stamped_);
    return;
  }
  stamped_ = false;
  const int w = NewWidth(ToolPoint.x), h = NewHeight(ToolPoint.y);
  const int left = w >= 0 ? AnchorX : AnchorX + w + 1, top = h >= 0 ? AnchorY : AnchorY + h + 1;
  const Rect r(left, top, left + std::abs(w) - 1, top + std::abs(h) - 1);
  if (!SaveForFeedback(r, shown_)) return;
  DrawView.Scale(BrushShape, {w, h}, {left, top}, Buffer::kComposite, 0);
  RepaintNow(r);
  ShowSizeInStatus(w, h);
}

void P_stretch_brush::HideFeedback() { HideShown(stamped_, shown_); }
