// A component that posts and sends the four requests to the main window: which one, and when,
// the test sets through messages_request before it runs the component.
#include "platform/user/User.h"
#include "quillo/plugins/ComponentApi.h"

extern "C" {
__attribute__((visibility("default"))) const char* QLCDESC =
    "Ver=2.0\rName=Requester\rPar1=I,Size,1,100,10\r";
// The message to post at CMD_BUTTON (0: none), and the size to ask for with 0x1578.
__attribute__((visibility("default"))) unsigned messages_request = 0;
__attribute__((visibility("default"))) int messages_width = 0;
__attribute__((visibility("default"))) long messages_height = 0;
__attribute__((visibility("default"))) void* messages_resize_result = nullptr;
__attribute__((visibility("default"))) int messages_processed = 0;
// Set: the run presses Stop (0x1575 while busy) and reports what CompProgress answered after.
__attribute__((visibility("default"))) int messages_stop_in_process = 0;
__attribute__((visibility("default"))) int messages_progress_after_stop = -1;

static ComponentParams* params = nullptr;

__attribute__((visibility("default"))) void QLCPROCESS(void* block, int32_t command) {
  if (command == CMD_INIT) params = static_cast<ComponentParams*>(block);
  if (!params) return;
  auto* window = static_cast<HWND>(params->MainWindow);
  if (command == CMD_OPTIONS && messages_request != 0) {
    const unsigned request = messages_request;
    messages_request = 0;
    if (request == UM_COMPRESIZE) {
      messages_resize_result = reinterpret_cast<void*>(
          SendMessage(window, UM_COMPRESIZE, static_cast<WPARAM>(messages_width), static_cast<LPARAM>(messages_height)));
    } else {
      PostMessage(window, request, 0, 0);
    }
  }
  if (command == CMD_PROCESS) {
    ++messages_processed;
    params->Callbacks.CompPutPixel(0x00FF00, 0, 0);
    if (messages_stop_in_process) {
      SendMessage(window, UM_COMPPREVIEW, 0, 0);
      messages_progress_after_stop = params->Callbacks.CompProgress(1);
    }
  }
}
}
