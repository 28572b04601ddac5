/* A component without options: inverts the colours inside the clip rectangle. */
#include "quillo/plugins/ComponentApi.h"

__attribute__((visibility("default"))) const char* QLCDESC = "Ver=2.0\rName=Inverter\rCopyright=Test\r";

static ComponentParams* params;

__attribute__((visibility("default"))) void QLCPROCESS(void* block, int32_t command) {
  if (command == CMD_INIT) params = (ComponentParams*)block;
  if (command != CMD_PROCESS || !params) return;
  const ComponentCallbacks* cb = &params->Callbacks;
  for (int32_t y = params->ClipTop; y <= params->ClipBottom; ++y) {
    for (int32_t x = params->ClipLeft; x <= params->ClipRight; ++x) {
      if (params->HasMask && !cb->CompGetSrcMask(y, x)) continue;
      cb->CompPutPixel(~cb->CompGetSrcPixel(y, x) & 0xFFFFFF, y, x);
    }
    if (!cb->CompProgress(y - params->ClipTop)) return;
  }
}
