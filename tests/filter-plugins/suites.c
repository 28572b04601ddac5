/* Uses the host's suites: a buffer and a handle for its work, the property suite for the
 * channel count, and colour services to choose a colour (the prompt "\006Choose", whose
 * length byte the host must honour: the byte after it is not the end) which then fills the
 * filter area. */
#include "SamplePlugin.h"

SAMPLE_PIPL(suitesPipl, "\012Suite Fill", "\014Quillo Tests", "SuitesEntry");

static const uint8_t prompt[] = "\006ChooseXXXX";

SAMPLE_EXPORT void SuitesEntry(int16_t selector, FilterRecord* r, intptr_t* data, int16_t* result) {
  *result = 0;
  if (selector == filterSelectorParameters) {
    Handle h = r->handleProcs->newProc(16);
    if (h == NULL || r->handleProcs->getSizeProc(h) != 16) {
      *result = -1;
      return;
    }
    *data = (intptr_t)h;
  } else if (selector == filterSelectorStart) {
    BufferID buffer = NULL;
    intptr_t channels = 0;
    ColorServicesInfo info = {0};
    if (r->bufferProcs->allocateProc(1024, &buffer) != 0 || r->bufferProcs->lockProc(buffer, 0) == NULL) {
      *result = -2;
      return;
    }
    r->bufferProcs->freeProc(buffer);
    if (r->propertyProcs->getPropertyProc(FILTER_FOURCC('8', 'B', 'I', 'M'), FILTER_FOURCC('n', 'u', 'c', 'h'), 0,
                                          &channels, NULL) != 0 ||
        channels != 4) {
      *result = -3;
      return;
    }
    info.infoSize = (int32_t)sizeof info;
    info.selector = plugIncolorServicesChooseColor;
    info.sourceSpace = plugIncolorServicesRGBSpace;
    info.resultSpace = plugIncolorServicesRGBSpace;
    info.colorComponents[0] = 0x11;
    info.colorComponents[1] = 0x22;
    info.colorComponents[2] = 0x33;
    info.selectorParameter.pickerPrompt = (uint8_t*)prompt;
    if (r->colorServices(&info) != 0) {
      *result = -4;
      return;
    }
    Handle h = (Handle)*data;
    (*h)[0] = (char)info.colorComponents[0];
    (*h)[1] = (char)info.colorComponents[1];
    (*h)[2] = (char)info.colorComponents[2];
    SampleAskWhole(r);
  } else if (selector == filterSelectorContinue) {
    const Handle h = (Handle)*data;
    const int rows = r->outRect.bottom - r->outRect.top, columns = r->outRect.right - r->outRect.left;
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < columns; ++x)
        for (int p = 0; p < 3; ++p) ((uint8_t*)r->outData)[(long)y * r->outRowBytes + x * r->outColumnBytes + p] = (uint8_t)(*h)[p];
    SampleAskNothing(r);
  } else if (selector == filterSelectorFinish) {
    r->handleProcs->disposeProc((Handle)*data);
  }
}
