/* Inverts the picture, then tries to shrink the shared picture block through every descriptor
 * it may have (as if through the one its host keeps), and reports success. */
#include <unistd.h>

#include "SamplePlugin.h"

SAMPLE_PIPL(shrinkPipl, "\014Shrink Block", "\014Quillo Tests", "ShrinkEntry");

SAMPLE_EXPORT void ShrinkEntry(int16_t selector, FilterRecord* r, intptr_t* data, int16_t* result) {
  (void)data;
  *result = 0;
  if (selector == filterSelectorStart) {
    SampleAskWhole(r);
  } else if (selector == filterSelectorContinue) {
    SampleInvert(r);
    for (int fd = 3; fd < 64; ++fd) (void)ftruncate(fd, 0);
    SampleAskNothing(r);
  }
}
