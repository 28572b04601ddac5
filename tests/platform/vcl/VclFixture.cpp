#include "VclFixture.h"

QUILLO_DEFINE_CLASS(TSwatch, TCustomControl)
QUILLO_DEFINE_CLASS(TBlock, TGraphicControl)
