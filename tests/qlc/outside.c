/* A component that writes and reads outside the picture it addresses. */
#include "quillo/plugins/ComponentApi.h"

__attribute__((visibility("default"))) const char* QLCDESC = "Ver=2.0\rName=Outside\r";
__attribute__((visibility("default"))) uint32_t outside_reads;

__attribute__((visibility("default"))) void QLCPROCESS(void* block, int32_t command) {
  if (command != CMD_PROCESS) return;
  ComponentParams* p = (ComponentParams*)block;
  const ComponentCallbacks* cb = &p->Callbacks;
  const int32_t rows[] = {-1, -100000, p->Height, p->Height + 7, 0x7FFFFFFF, (int32_t)0x80000000};
  const int32_t columns[] = {-1, p->Width, p->Width * 3, 0x7FFFFFFF, (int32_t)0x80000000, 0};
  outside_reads = 0;
  for (int i = 0; i < 6; ++i) {
    cb->CompPutPixel(0xFF00FF, rows[i], columns[i]);
    cb->CompPutPixel(0xFF00FF, 0, columns[i] == 0 ? -5 : columns[i]);
    cb->CompSetMask(1, rows[i], columns[i]);
    cb->CompSetAlpha(200, rows[i], columns[i]);
    outside_reads |= cb->CompGetSrcPixel(rows[i], columns[i]);
    outside_reads |= (uint32_t)cb->CompGetSrcMask(rows[i], columns[i]);
  }
}
