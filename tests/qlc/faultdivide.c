/* A component that divides by zero when it runs. Built
 * without the checkers, as a component of someone else's would be. */
#include "quillo/plugins/ComponentApi.h"
static volatile int numerator = 1000;
static volatile int zero = 0;
__attribute__((visibility("default"))) volatile int faultdivide_result = 0;

__attribute__((visibility("default"))) const char* QLCDESC = "Ver=2.0\rName=Divider\r";

__attribute__((visibility("default"))) void QLCPROCESS(void* block, int32_t command) {
  if (command == CMD_PROCESS) {
    ComponentParams* params = (ComponentParams*)block;
    /* Part of the picture changes before the fault: the host must put it back. */
    params->Callbacks.CompPutPixel(0x123456, 0, 0);
    faultdivide_result = numerator / zero;
  }
}
