/* A component whose library faults in its constructor, when it is loaded. Built without the
 * checkers, as a component of someone else's would be. */
#include "quillo/plugins/ComponentApi.h"

__attribute__((visibility("default"))) const char* QLCDESC = "Ver=2.0\rName=Loading Fault\r";

static volatile int* volatile nowhere = 0;

__attribute__((constructor)) static void FaultWhenLoaded(void) { *nowhere = 1; }

__attribute__((visibility("default"))) void QLCPROCESS(void* block, int32_t command) {
  (void)block;
  (void)command;
}
