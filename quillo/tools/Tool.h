#pragma once
// P_icon: the base of every painting tool, selection tool and palette function, and the state
// that the document window's mouse handlers and the tools share. Exactly one tool object is
// current; the mouse handlers drive it through the six operations below, and SelectTool,
// ReselectTool and SuspendTool/ResumeTool change it.

#include <cstdint>

#include "platform/rtl/AnsiString.h"
#include "platform/vcl/Control.h"
#include "vorlen/core/Types.h"

namespace tbx {
class TToolbarButtonX;
}  // namespace tbx

// Bits of P_icon::Flags.
enum ToolFlag : std::uint16_t {
  // When the operation ends, the remembered ordinary tool is selected again.
  tfHandBack = 1 << 0,
  // Selecting the tool keeps the remembered tool; the palette entry is stored instead.
  tfNotRemembered = 1 << 1,
  // A palette function: its Activate does all the work, then the previous tool returns.
  tfOneShot = 1 << 2,
  // An on/off function: PointCount holds the on state (0 off, 1 on).
  tfToggle = 1 << 3,
};

// Mouse cursors registered by the main window.
enum ToolCursor : TCursor {
  crToolCross = -59,
  crPolygonCloses = -56,
  crToolFill = -55,
  crToolMoveHand = -53,
  crToolRotate = -52,
  crToolSpray = -51,
  crToolAirbrush = -50,
  crToolWand = -49,
  crToolPipette = -46,
};

// A tool object's data, as the tool modules give it when they build their objects.
struct ToolTraits {
  int PointCount = 2;
  std::uint16_t Flags = 0;
  std::uint8_t UndoAtFirstPoint = 0;
  std::uint8_t DropSelection = 1;
  std::uint16_t FeedbackKind = 0;
  std::uint8_t Snap = 1;
  int HelpContext = 100;
  const char* BarKey = "";
  const char* Key = "";
  TCursor Cursor = crToolCross;
};

class P_icon {
public:
  P_icon() = default;
  explicit P_icon(const ToolTraits& traits);
  virtual ~P_icon() = default;
  P_icon(const P_icon&) = delete;
  P_icon& operator=(const P_icon&) = delete;

  // The fields, in their order.
  std::uint16_t Flags = 0;
  // 1: the press opens an undo step named by Key before the first point; changing tools
  // while such a tool is mid-operation takes the half-done step back.
  std::uint8_t UndoAtFirstPoint = 0;
  // 1: the active picture's selection is cleared before the first point.
  std::uint8_t DropSelection = 1;
  // 0: feedback only inside the image; 1: also outside once a point is set, the pointer
  // held inside during point-by-point input; 2: the pointer held inside once a point is set.
  std::uint16_t FeedbackKind = 0;
  // 1: entered points snap to the grid while it is on.
  std::uint8_t Snap = 1;
  int HelpContext = 100;
  // Language key of the option bar; empty: none.
  AnsiString BarKey;
  // Points of one operation (1 click, 2 press and release or two clicks, 3 curves); for a
  // toggle, the on state.
  int PointCount = 2;
  // The palette group button that shows the tool; null without a palette entry.
  tbx::TToolbarButtonX* GroupButton = nullptr;
  // Translation key: the palette button's hint and the undo step's name.
  AnsiString Key;
  TCursor Cursor = crToolCross;
  // The prompt RefreshToolStatus shows.
  AnsiString StatusText;

  // The operations, in slot order. The point of an operation is in ToolPoint / MousePoint.
  virtual void ShowFeedback() {}
  virtual void PaintOverlay() {}
  virtual void HideFeedback() {}
  virtual void AddPoint() {}
  virtual void Activate() {}
  // next: the tool that follows, or null when the tool is suspended.
  virtual void Deactivate(P_icon* /*next*/) {}
  // True when the tool changes the picture only through the brush stamps and the feedback
  // helpers, which keep the rows they change for the undo step first, or keeps them itself
  // (the fills): its step at the first point then copies the picture's rows only as the
  // stroke reaches them.
  virtual bool KeepsRowsForUndo() const { return false; }
  // True for a tool that shows its result through a dialog's preview: while it is current the
  // picture under the preview must not be edited by other means.
  virtual bool PreviewsThroughDialog() const { return false; }

  // StatusText := the translation of key.
  void SetStatusText(const AnsiString& key);
  bool Has(ToolFlag flag) const { return (Flags & flag) != 0; }
};

// The tool state.
extern P_icon* CurrentTool;
// 0 no point yet; 1 and 2 the next point of point-by-point input; 3 a drag in progress.
extern std::uint32_t ToolPhase;
constexpr std::uint32_t ToolPhaseDrag = 3;
// The last ordinary tool selected; ReselectTool returns to it.
extern P_icon* RememberedTool;
// The palette entry given with the last hand-back or not-remembered tool.
extern int RememberedPaletteEntry;
// A tool a one-shot function queues to be selected after it; null when none.
extern P_icon* PendingTool;
// The tool held while IdleTool stands in, and how many suspensions are open.
extern P_icon* SuspendedTool;
extern int ToolSuspendDepth;
// A tool with every default: current while the real one is suspended.
extern P_icon IdleTool;
// The point last handed to the tool (image pixels) and whether it lies outside the picture.
extern Pair<int> ToolPoint;
extern std::uint8_t ToolPointOutside;
// The image area changed by the current operation (inclusive); empty is
// (65535, 65535, -1, -1).
extern Rect DirtyRect;
constexpr Rect EmptyDirtyRect{65535, 65535, -1, -1};

// Makes tool current. hideFirst hides the old tool's feedback first; paletteEntry is the
// palette entry clicked, or -1. A one-shot function does its work and hands back; a toggle
// flips its on state and leaves the current tool alone.
void SelectTool(P_icon* tool, bool hideFirst, int paletteEntry);
// SelectTool with RememberedTool.
void ReselectTool(bool hideFirst);
// While a tool previews through its dialog, or an operation runs, the document windows'
// editing keys do nothing.
bool IsDialogToolActive();
// Bracket a menu command that changes the image or the brush. They nest: only the outermost
// pair deactivates and reactivates the tool; a resume without a suspension does nothing.
void SuspendTool();
void ResumeTool();
// The pair for a scope: the tool stands aside while it runs and comes back at every way out.
// Without suspend (an internal call that leaves this to its caller) it does nothing.
class ToolSuspension {
public:
  explicit ToolSuspension(bool suspend = true) : suspended_(suspend) {
    if (suspended_) SuspendTool();
  }
  ~ToolSuspension() {
    if (suspended_) ResumeTool();
  }
  ToolSuspension(const ToolSuspension&) = delete;
  ToolSuspension& operator=(const ToolSuspension&) = delete;

private:
  bool suspended_;
};

void ResetDirtyRect();
// Grows DirtyRect to cover (x1, y1)-(x2, y2), either corner first.
void ExtendDirtyRect(int x1, int y1, int x2, int y2);

// Warps the pointer to an image point of the active document, clamped to the visible part;
// MousePoint gets the clamped point.
void MoveCursorToImagePoint(int x, int y);
