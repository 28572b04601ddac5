#pragma once
// Which scroll bars a memo or a grid shows.

#include "platform/vcl/TypInfo.h"

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
QUILLO_DECLARE_ENUM_TYPE(TScrollStyle)
