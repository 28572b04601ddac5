#pragma once
// What the tools need of the main window above them: the timer that tells a click from a
// drag, and the controls that follow the current tool (the palette, the help context, the
// menu's check marks). The main window installs its host at start-up; without one every
// answer is the neutral one below.

#include <cstdint>

#include "platform/vcl/Types.h"
#include "quillo/base/HostSlot.h"

class P_icon;
class TExTimerEvent;
class TTabSheet;

class ToolHost {
public:
  ToolHost() = default;
  virtual ~ToolHost() = default;
  ToolHost(const ToolHost&) = delete;
  ToolHost& operator=(const ToolHost&) = delete;

  // Started at a press: a release while it runs, near the press, is a click, not a drag.
  virtual TExTimerEvent* DragTimer() { return nullptr; }
  // Another tool is about to become current: the undo history's drop-down closes.
  virtual void ToolChanging() {}
  // The tool's palette group shows it (entry: the palette entry chosen, or -1).
  virtual void ShowInPalette(P_icon& /*tool*/, int /*entry*/) {}
  // The tool became current: help on the main window is its help, and the palette fits.
  virtual void ToolSelected(const P_icon& /*tool*/) {}
  // A brush mode was chosen (BrushModes): its menu item shows the check mark.
  virtual void BrushModeChosen(std::uint8_t /*mode*/) {}
  // A sheet of the tool options window was shown or hidden: its View menu item follows.
  virtual void SheetShown(const TTabSheet* /*sheet*/, bool /*shown*/) {}
  // The main window's handlers of the shape and fill tools' option controls: a changed
  // spacing, arrow or dot option redraws the feedback; the fill bar's shade box and tile-origin
  // list; the button that chooses the fill origin. Empty without a main window.
  virtual TNotifyEvent LineParamChange() { return {}; }
  virtual TNotifyEvent FillBarFlagChange() { return {}; }
  virtual TNotifyEvent FillPosModeChange() { return {}; }
  virtual TNotifyEvent SetFillOrigin() { return {}; }
  // The spray and airbrush bars' button that chooses the radius tool.
  virtual TNotifyEvent ResizeSprayClick() { return {}; }
  // The fill variant chosen in the palette's fill group, with which the filled shapes paint;
  // null when there is no palette (the solid fill then paints).
  virtual P_icon* ChosenFillTool() { return nullptr; }
  // A swatch's colour changed: the main window's colour-change handler rebuilds the brush and
  // refreshes the tool.
  virtual void ColourChanged() {}
  // The palette sheet's "Limit Colors": the colour-limiting dialog, shown modally; nothing
  // until the program has one.
  virtual void LimitColors() {}
  // The brush sheet's "Open" and "Save": the main window's open and save-as commands for the
  // brush (their dialogs titled "Open Brush" and "Save Brush").
  virtual void OpenBrush() {}
  virtual void SaveBrush() {}
};

// The installed host, or the neutral one; the main window installs its own at start-up.
inline ToolHost& TheToolHost() { return HostSlot<ToolHost>::Current(); }
