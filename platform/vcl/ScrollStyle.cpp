#include "platform/vcl/ScrollStyle.h"

QUILLO_DEFINE_ENUM_TYPE(TScrollStyle, "ssNone", "ssHorizontal", "ssVertical", "ssBoth")
