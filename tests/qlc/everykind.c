/* A component with an option of every kind; it keeps what it was sent where a test reads it,
 * and paints the block's first option value as the grey level of every pixel. */
#include <string.h>

#include "quillo/plugins/ComponentApi.h"

__attribute__((visibility("default"))) const char* QLCDESC =
    "Ver=2.5\rName=Every Kind\rCopyright=Quillo tests\rContact=tests@example.org\rOpt=WP\r"
    "Par1=I,Width,1,100,10\rPar2=F,Gain,2,0.1,0,5,1.5\rPar3=B,Reset\rPar4=C,Invert,1\r"
    "Par5=S,Level,0,255,128\rPar6=T,Notes\rPar7=L,Shape,3,Round,Square,Star,2\r"
    "Par8=O,Tint,FF8000\rPar9=P,Centre,32768,16384\rPar10=G,Other,1\r";

static ComponentParams* params;
__attribute__((visibility("default"))) uint8_t every_options[QLC_VALUE_BLOCK];
__attribute__((visibility("default"))) int32_t every_commands[16];
__attribute__((visibility("default"))) int32_t every_command_count;
__attribute__((visibility("default"))) int32_t every_point[6];
__attribute__((visibility("default"))) int32_t every_button;
__attribute__((visibility("default"))) int32_t every_instant_runs;
__attribute__((visibility("default"))) int32_t every_full_runs;

__attribute__((visibility("default"))) void QLCPROCESS(void* block, int32_t command) {
  if (every_command_count < 16) every_commands[every_command_count++] = command;
  switch (command) {
    case CMD_INIT: params = (ComponentParams*)block; break;
    case CMD_OPTIONS: memcpy(every_options, block, QLC_VALUE_BLOCK); break;
    case CMD_BUTTON: every_button = *(const int32_t*)block; break;
    case CMD_POINT: memcpy(every_point, block, sizeof every_point); break;
    case CMD_PROCESS: {
      int32_t level;
      memcpy(&level, every_options + 16, 4);
      if (params->InstantPreview) ++every_instant_runs;
      if (params->FullRun) ++every_full_runs;
      for (int32_t y = params->ClipTop; y <= params->ClipBottom; ++y)
        for (int32_t x = params->ClipLeft; x <= params->ClipRight; ++x)
          params->Callbacks.CompPutPixel((uint32_t)(level * 0x010101), y, x);
      break;
    }
    default: break;
  }
}
