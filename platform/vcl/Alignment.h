#pragma once
// Text alignment in a control or a cell, shared by the framework's panels, labels, status
// panels and header sections.

#include "platform/vcl/TypInfo.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };

QUILLO_DECLARE_ENUM_TYPE(TAlignment)
QUILLO_DECLARE_ENUM_TYPE(TVerticalAlignment)

// DT_LEFT, DT_RIGHT or DT_CENTER.
unsigned AlignmentToDrawText(TAlignment alignment);
