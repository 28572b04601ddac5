/* A component that recurses without end when it runs, until its stack is used up. Built
 * without the checkers, as a component of someone else's would be. */
#include "quillo/plugins/ComponentApi.h"

__attribute__((visibility("default"))) const char* QLCDESC = "Ver=2.0\rName=Recurser\r";
__attribute__((visibility("default"))) volatile int faultrecurse_depth = 0;
/* Never reached: the recursion has no end the compiler can see. */
__attribute__((visibility("default"))) volatile int faultrecurse_limit = 0x7FFFFFFF;

static int Deeper(int n) {
  volatile char frame[1024];
  frame[n % 1024] = (char)n;
  faultrecurse_depth = n;
  if (n >= faultrecurse_limit) return 0;
  return Deeper(n + 1) + frame[(n + 1) % 1024];
}

__attribute__((visibility("default"))) void QLCPROCESS(void* block, int32_t command) {
  if (command == CMD_PROCESS) {
    ComponentParams* params = (ComponentParams*)block;
    params->Callbacks.CompPutPixel(0x123456, 0, 0);
    faultrecurse_depth = Deeper(0);
  }
}
