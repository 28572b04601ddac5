/* Its PiPL names an entry the file does not export. */
#include "SamplePlugin.h"

SAMPLE_PIPL(noExportPipl, "\011No Export", "\014Quillo Tests", "MissingEntry");

SAMPLE_EXPORT void PresentEntry(int16_t selector, FilterRecord* r, intptr_t* data, int16_t* result) {
  (void)selector;
  (void)r;
  (void)data;
  *result = 0;
}
