/* Gives up in continue as if the user had stopped it. */
#include "SamplePlugin.h"

SAMPLE_PIPL(cancelPipl, "\015Always Cancel", "\014Quillo Tests", "CancelEntry");

SAMPLE_EXPORT void CancelEntry(int16_t selector, FilterRecord* r, intptr_t* data, int16_t* result) {
  (void)data;
  *result = 0;
  if (selector == filterSelectorStart) {
    SampleAskWhole(r);
  } else if (selector == filterSelectorContinue) {
    SampleInvert(r);
    *result = userCanceledErr;
  }
}
