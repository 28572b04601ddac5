/* Sends SIGTERM to its whole process group in continue. */
#include <signal.h>
#include <unistd.h>

#include "SamplePlugin.h"

SAMPLE_PIPL(killGroupPipl, "\012Kill Group", "\014Quillo Tests", "KillGroupEntry");

SAMPLE_EXPORT void KillGroupEntry(int16_t selector, FilterRecord* r, intptr_t* data, int16_t* result) {
  (void)data;
  *result = 0;
  if (selector == filterSelectorStart) {
    SampleAskWhole(r);
  } else if (selector == filterSelectorContinue) {
    SampleInvert(r);
    kill(0, SIGTERM);
    for (;;) pause();
  }
}
