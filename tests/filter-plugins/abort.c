/* Works row by row, telling its progress and asking after each row whether to stop; when
 * asked to, it stops with the cancel result. It never ends otherwise. */
#include "SamplePlugin.h"

SAMPLE_PIPL(abortPipl, "\014Until Cancel", "\014Quillo Tests", "AbortEntry");

SAMPLE_EXPORT void AbortEntry(int16_t selector, FilterRecord* r, intptr_t* data, int16_t* result) {
  (void)data;
  *result = 0;
  if (selector == filterSelectorStart) {
    SampleAskWhole(r);
  } else if (selector == filterSelectorContinue) {
    for (int32_t row = 0;; ++row) {
      r->progressProc(row % 100, 100);
      if (r->abortProc()) {
        *result = userCanceledErr;
        return;
      }
    }
  }
}
