/* Writes through a null pointer in continue. */
#include "SamplePlugin.h"

SAMPLE_PIPL(crashPipl, "\005Crash", "\014Quillo Tests", "CrashEntry");

static volatile uint8_t* volatile nowhere = 0;

SAMPLE_EXPORT void CrashEntry(int16_t selector, FilterRecord* r, intptr_t* data, int16_t* result) {
  (void)data;
  *result = 0;
  if (selector == filterSelectorStart) {
    SampleAskWhole(r);
  } else if (selector == filterSelectorContinue) {
    SampleInvert(r);
    nowhere[0] = 1;
  }
}
