#pragma once
// Runs a filter plug-in on the active picture: the picture, its selection and the colours go
// to a child process that drives the plug-in; only a run that ends well changes the picture,
// as one undo step named by the filter's title. A failure, a cancel, a crash or a hang leaves
// every open picture and its undo history as they were.

#include <cstdint>
#include <optional>

#include "platform/rtl/AnsiString.h"
#include "quillo/plugins/FilterChildProcess.h"
#include "vorlen/core/Types.h"

class TObject;
class FilterSharedPictures;

// The click of a filter's menu item: its image index is the filter's list index.
void RunAdobeFilter(TObject* sender);
// The same for a list index.
void RunAdobeFilterAt(int index);

struct FilterRunOptions {
  AnsiString identifier;  // path "#" entry
  std::uint32_t background = 0xFFFFFF;  // 0x00RRGGBB
  std::uint32_t foreground = 0;
  std::optional<Rect> area;  // inclusive; none: the whole picture
  std::int32_t alphaMode = -1;
  bool bilinear = true;
  std::int64_t window = 0;
  FilterChildAnswers answers;
};

// Runs the plug-in on the pictures (made by the caller); its result is in their destination.
FilterChildResult RunAdobePlugin(const FilterSharedPictures& pictures, const FilterRunOptions& options);
