/* Inverts, then writes a little past the end of its output buffer. */
#include "SamplePlugin.h"

SAMPLE_PIPL(overrunPipl, "\007Overrun", "\014Quillo Tests", "OverrunEntry");

SAMPLE_EXPORT void OverrunEntry(int16_t selector, FilterRecord* r, intptr_t* data, int16_t* result) {
  (void)data;
  *result = 0;
  if (selector == filterSelectorStart) {
    SampleAskWhole(r);
  } else if (selector == filterSelectorContinue) {
    SampleInvert(r);
    const long end = (long)(r->outRect.bottom - r->outRect.top) * r->outRowBytes;
    volatile uint8_t* out = (volatile uint8_t*)r->outData;
    for (long i = end; i < end + 64; ++i) out[i] = 0xEE;
    SampleAskNothing(r);
  }
}
