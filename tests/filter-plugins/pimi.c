/* The old form: a PiMI record (id 1000) with a category and a title, and the entry
 * ENTRYPOINT1000. Inverts like the first sample. */
#include "SamplePlugin.h"

struct SamplePimi {
  uint32_t recordId;
  uint32_t recordSize;
  char data[28];
} __attribute__((packed));

__attribute__((section(".pimi"), used, aligned(4))) static const struct SamplePimi pimi = {
    1000, 26, "\003\000Old Style\000\003\000PiMI Invert"};

SAMPLE_EXPORT void ENTRYPOINT1000(int16_t selector, FilterRecord* r, intptr_t* data, int16_t* result) {
  (void)data;
  *result = 0;
  if (selector == filterSelectorStart) {
    SampleAskWhole(r);
  } else if (selector == filterSelectorContinue) {
    SampleInvert(r);
    SampleAskNothing(r);
  }
}
