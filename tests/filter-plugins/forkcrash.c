/* Forks in continue: the child waits for ever, holding every descriptor the helper had (the
 * socket included), and writes its number to the file QUILLO_TEST_FORK_FILE names; the helper
 * then writes through a null pointer. */
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include "SamplePlugin.h"

SAMPLE_PIPL(forkCrashPipl, "\012Fork Crash", "\014Quillo Tests", "ForkCrashEntry");

static volatile uint8_t* volatile nowhere = 0;

SAMPLE_EXPORT void ForkCrashEntry(int16_t selector, FilterRecord* r, intptr_t* data, int16_t* result) {
  (void)data;
  *result = 0;
  if (selector == filterSelectorStart) {
    SampleAskWhole(r);
  } else if (selector == filterSelectorContinue) {
    SampleInvert(r);
    const pid_t child = fork();
    if (child == 0) {
      for (;;) pause();
    }
    const char* name = getenv("QUILLO_TEST_FORK_FILE");
    FILE* file = name != NULL ? fopen(name, "w") : NULL;
    if (file != NULL) {
      fprintf(file, "%d\n", (int)child);
      fclose(file);
    }
    nowhere[0] = 1;
  }
}
