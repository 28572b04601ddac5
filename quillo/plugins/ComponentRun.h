#pragma once
// Running a component through the two component tools: loading it when its tool becomes
// current, the effect applied with one undo step (at once for a component without options, by
// Preview and Apply on its option page otherwise), the brush's dabs, abandoning or keeping the
// result when the tool goes, and the requests components post to the main window.

#include "platform/gdi/WinDefs.h"
#include "platform/rtl/WinTypes.h"

class P_ql_component;

// Runs the component on the active image (Preview; with ComponentApply an undo step first).
// False when the run did not happen (no undo step could be made, the component failed).
bool ApplyComponent(P_ql_component& tool);
// The option page's buttons, and the messages 0x1575 to 0x1577.
void ComponentPreviewClick();
void ComponentApplyClick();
void ComponentCancelClick();
// The component's CMD_POINT, from a click on the image (source 0) or the instant preview (1).
void SendComponentPoint(int x, int y, int width, int height, bool right, int source);
// The main window's handler of 0x1575 to 0x157D; the result of 0x1578 is the destination's
// first pixel.
LRESULT ComponentRequest(UINT message, WPARAM wParam, LPARAM lParam);
// True while one of the two component tools is current.
bool ComponentToolCurrent();
// Installs the tools' driver (the main window does at start-up; tests too).
void InstallComponentToolDriver();
