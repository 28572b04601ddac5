/* A brush component ("Icon="): paints the drawing colour where the source mask is set. */
#include "quillo/plugins/ComponentApi.h"

__attribute__((visibility("default"))) const char* QLCDESC =
    "Ver=2.0\rName=Colour Brush\rIcon=5\rPar1=C,Soft,0\r";

static ComponentParams* params;
__attribute__((visibility("default"))) int32_t brush_process_calls;

__attribute__((visibility("default"))) void QLCPROCESS(void* block, int32_t command) {
  if (command == CMD_INIT) params = (ComponentParams*)block;
  if (command != CMD_PROCESS || !params) return;
  ++brush_process_calls;
  const ComponentCallbacks* cb = &params->Callbacks;
  for (int32_t y = params->ClipTop; y <= params->ClipBottom; ++y)
    for (int32_t x = params->ClipLeft; x <= params->ClipRight; ++x)
      if (!params->HasMask || cb->CompGetSrcMask(y, x)) cb->CompPutPixel(params->ForeColor, y, x);
}
