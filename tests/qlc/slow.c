/* A slow component with a Preview button: a full run paints the clip rectangle black row by row,
 * then goes on reporting progress until the host says stop. So that a host that never says it
 * cannot hold a test for ever, it gives up after 30 seconds of real time and notes that. With
 * slow_fails set, the run faults after its first row instead. */
#include <signal.h>
#include <time.h>

#include "quillo/plugins/ComponentApi.h"

__attribute__((visibility("default"))) const char* QLCDESC =
    "Ver=2.5\rName=Slow\rCopyright=Quillo tests\rOpt=P\rPar1=I,Amount,1,100,10\r";

static ComponentParams* params;
__attribute__((visibility("default"))) int32_t slow_full_runs;
__attribute__((visibility("default"))) int32_t slow_stopped;
__attribute__((visibility("default"))) int32_t slow_gave_up;
__attribute__((visibility("default"))) int32_t slow_fails;

static double Seconds(void) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (double)now.tv_sec + now.tv_nsec * 1e-9;
}

__attribute__((visibility("default"))) void QLCPROCESS(void* block, int32_t command) {
  if (command == CMD_INIT) params = (ComponentParams*)block;
  if (command != CMD_PROCESS || !params || !params->FullRun) return;
  ++slow_full_runs;
  const ComponentCallbacks* cb = &params->Callbacks;
  for (int32_t y = params->ClipTop; y <= params->ClipBottom; ++y) {
    for (int32_t x = params->ClipLeft; x <= params->ClipRight; ++x) cb->CompPutPixel(0, y, x);
    if (slow_fails) raise(SIGILL);
    if (!cb->CompProgress(y - params->ClipTop)) {
      ++slow_stopped;
      return;
    }
  }
  const double start = Seconds();
  while (Seconds() - start < 30.0) {
    if (!cb->CompProgress(params->ClipBottom - params->ClipTop)) {
      ++slow_stopped;
      return;
    }
  }
  ++slow_gave_up;
}
