/* A component whose description cell holds an address where nothing is mapped. */
#include "quillo/plugins/ComponentApi.h"

__attribute__((visibility("default"))) const char* QLCDESC = (const char*)0x10;

__attribute__((visibility("default"))) void QLCPROCESS(void* block, int32_t command) {
  (void)block;
  (void)command;
}
