#pragma once
// The kinds shared by docks, tool windows, toolbars and their buttons.

#include "platform/vcl/SetOf.h"
#include "platform/vcl/TypInfo.h"

namespace tbx {

enum TDockPosition { dpTop, dpBottom, dpLeft, dpRight };
using TDockableTo = SetOf<TDockPosition>;
enum TDockType { dtNotDocked, dtTopBottom, dtLeftRight };
enum TDockBoundLinesValues { blTop, blBottom, blLeft, blRight };
using TDockBoundLines = SetOf<TDockBoundLinesValues>;
enum TToolWindowDockMode { dmCanFloat, dmCannotFloat, dmCannotFloatOrChangeDocks };
enum TToolWindowFloatingMode { fmOnTopOfParentForm, fmOnTopOfAllForms };
enum TDragHandleStyle { dhDouble, dhNone, dhSingle };

// What the dock holding a control's tool window is, as a toolbar button asks to place its
// drop-down menu: its position, or 4 when floating or on none.
inline constexpr int tbxNotDocked = 4;

}  // namespace tbx

QUILLO_DECLARE_ENUM_TYPE(tbx::TDockPosition)
QUILLO_DECLARE_SET_TYPE(tbx::TDockPosition)
QUILLO_DECLARE_ENUM_TYPE(tbx::TDockBoundLinesValues)
QUILLO_DECLARE_SET_TYPE(tbx::TDockBoundLinesValues)
QUILLO_DECLARE_ENUM_TYPE(tbx::TToolWindowDockMode)
QUILLO_DECLARE_ENUM_TYPE(tbx::TToolWindowFloatingMode)
QUILLO_DECLARE_ENUM_TYPE(tbx::TDragHandleStyle)
