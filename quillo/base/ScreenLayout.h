#pragma once
// The desktop as the program's windows see it, read once at start-up: where windows may go,
// how new document windows cascade, the caption colours of gradient captions, and whether
// the application is in the background.

#include <cstdint>

#include "platform/vcl/Color.h"
#include "platform/vcl/Types.h"

extern TRect WorkArea;
extern int MenuBarHeight;
extern int WindowOffset;  // the step by which new document windows cascade
extern TColor ActiveCaptionEndColor;
extern TColor InactiveCaptionEndColor;
// 1 while the application is deactivated.
extern std::uint8_t AppInactive;
