/* Inverts the filter area in one piece. It also unmasks the floating-point exceptions, as
 * some plug-ins do, which must not reach the program. */
#include "SamplePlugin.h"

SAMPLE_PIPL(invertPipl, "\016Invert Colours", "\014Quillo Tests", "InvertEntry");

SAMPLE_EXPORT void InvertEntry(int16_t selector, FilterRecord* r, intptr_t* data, int16_t* result) {
  (void)data;
  *result = 0;
  if (selector == filterSelectorStart) {
    unsigned short word = 0x0340; /* every exception unmasked */
    __asm__ volatile("fldcw %0" : : "m"(word));
    SampleAskWhole(r);
  } else if (selector == filterSelectorContinue) {
    SampleInvert(r);
    SampleAskNothing(r);
  }
}
