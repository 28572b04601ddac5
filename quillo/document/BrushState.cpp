#include "quillo/document/BrushState.h"

BrushStateBlock BrushState;
std::uint8_t& BrushMode = BrushState.Mode;
std::uint8_t& BrushHandleMode = BrushState.HandleMode;
std::uint32_t& BrushTransparentColor = BrushState.TransparentColor;
