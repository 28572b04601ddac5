#pragma once
// The procedures and suites the host hands a filter plug-in through its FilterRecord: the
// buffer and handle suites, image services (interpolation), the property suite, colour
// services and pixel display. They run where the plug-in runs (the child process), on the
// state of the one run there. Error results are -1.

#include <cstdint>
#include <functional>
#include <string>

#include "quillo/plugins/FilterPluginApi.h"

struct FilterHostRun {
  std::int32_t alphaMode = 0;  // as FilterPictures::alphaMode
  int interpolation = 1;       // the 'intp' answer: 2 when bilinear was asked for
  const std::uint8_t* source = nullptr;  // for sample points
  int width = 0;
  int height = 0;
  std::ptrdiff_t rowBytes = 0;
  std::uint32_t foreColor = 0;  // 0x00RRGGBB
  std::uint32_t backColor = 0;
  // The colour dialog: start colour and prompt in, the chosen colour or 0xFFFFFFFF out;
  // empty when no dialog can be shown.
  std::function<std::uint32_t(std::uint32_t, const std::string&)> pickColour;
};

// Starts a run: the handle table empty, the alpha product table built.
void StartFilterHostRun(const FilterHostRun& run);
// Ends it: every handle's memory freed.
void EndFilterHostRun();

BufferProcs* FilterBufferProcs();
HandleProcs* FilterHandleProcs();
ImageServicesProcs* FilterImageServicesProcs();
PropertyProcs* FilterPropertyProcs();
OSErr FilterColorServices(ColorServicesInfo* info);
// Draws into platformContext, a device context (HDC) of this process; -1 without one.
OSErr FilterDisplayPixels(const PSPixelMap* source, const VRect* srcRect, std::int32_t dstRow, std::int32_t dstCol,
                          void* platformContext);

// Slots of the handle table.
constexpr int kFilterHandleSlots = 1024;
// The band drawn at once by FilterDisplayPixels, in rows of a picture width pixels wide.
int DisplayBandRows(int width, int rows);
