// A component written in C++ that throws from CMD_PROCESS and from CMD_END.
#include <stdexcept>

#include "quillo/plugins/ComponentApi.h"

extern "C" {
__attribute__((visibility("default"))) const char* QLCDESC = "Ver=2.0\rName=Thrower\r";
__attribute__((visibility("default"))) int thrower_ends = 0;

__attribute__((visibility("default"))) void QLCPROCESS(void* block, int32_t command) {
  if (command == CMD_PROCESS) {
    auto* params = static_cast<ComponentParams*>(block);
    // Half the picture changes before the failure: the host must put it back.
    params->Callbacks.CompPutPixel(0x123456, 0, 0);
    throw std::runtime_error("processing failed");
  }
  if (command == CMD_END) {
    ++thrower_ends;
    throw 42;
  }
}
}
