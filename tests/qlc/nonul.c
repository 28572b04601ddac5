/* A component whose description has no NUL within 64 KB. */
#include <string.h>

#include "quillo/plugins/ComponentApi.h"

static char text[70000] = {'V', 'e', 'r', '=', '2', '\r'};
__attribute__((visibility("default"))) const char* QLCDESC = text;

__attribute__((constructor)) static void FillText(void) { memset(text + 6, 'x', sizeof text - 6); }

__attribute__((visibility("default"))) void QLCPROCESS(void* block, int32_t command) {
  (void)block;
  (void)command;
}
