/* Fails in continue, after it has written its output: nothing of it may reach the picture. */
#include "SamplePlugin.h"

SAMPLE_PIPL(failingPipl, "\013Always Fail", "\014Quillo Tests", "FailingEntry");

SAMPLE_EXPORT void FailingEntry(int16_t selector, FilterRecord* r, intptr_t* data, int16_t* result) {
  (void)data;
  *result = 0;
  if (selector == filterSelectorStart) {
    SampleAskWhole(r);
  } else if (selector == filterSelectorContinue) {
    SampleInvert(r);
    *result = -30;
  }
}
