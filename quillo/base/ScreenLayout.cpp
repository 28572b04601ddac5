#include "quillo/base/ScreenLayout.h"

TRect WorkArea;
int MenuBarHeight = 0;
int WindowOffset = 0;
TColor ActiveCaptionEndColor = 0;
TColor InactiveCaptionEndColor = 0;
std::uint8_t AppInactive = 0;
