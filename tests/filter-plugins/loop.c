/* Never returns from continue and never asks whether to stop. */
#include "SamplePlugin.h"

SAMPLE_PIPL(loopPipl, "\004Hang", "\014Quillo Tests", "LoopEntry");

SAMPLE_EXPORT void LoopEntry(int16_t selector, FilterRecord* r, intptr_t* data, int16_t* result) {
  (void)data;
  *result = 0;
  if (selector == filterSelectorStart) {
    SampleAskWhole(r);
  } else if (selector == filterSelectorContinue) {
    volatile unsigned long spins = 0;
    for (;;) ++spins;
  }
}
