#pragma once
// The one clock of the layer: GetTickCount, timers and every timed behaviour read it. A
// test can switch it to manual and move it forward itself.

#include "platform/rtl/WinTypes.h"

DWORD GetTickCount();
// Manual mode freezes the clock at its current reading; AdvanceClock moves it on.
void SetManualClock(bool manual);
bool IsManualClock();
void AdvanceClock(DWORD ms);
void Sleep(DWORD ms);  // in manual mode, advances the clock instead of waiting
