/* A component that writes through a null pointer when it runs. Built
 * without the checkers, as a component of someone else's would be. */
#include "quillo/plugins/ComponentApi.h"
static volatile int* volatile nowhere = 0;

__attribute__((visibility("default"))) const char* QLCDESC = "Ver=2.0\rName=Null Writer\r";

__attribute__((visibility("default"))) void QLCPROCESS(void* block, int32_t command) {
  if (command == CMD_PROCESS) {
    ComponentParams* params = (ComponentParams*)block;
    /* Part of the picture changes before the fault: the host must put it back. */
    params->Callbacks.CompPutPixel(0x123456, 0, 0);
    *nowhere = 1;
  }
}
