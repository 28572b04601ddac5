#pragma once
// What the filter plug-ins need of the main window above them: the Image menu that receives
// the "&Adobe" submenu, the window a plug-in is told about and the colour
// dialog. The main window installs its host at start-up; without one every answer is the
// neutral one below (no menu, no colour chosen).

#include <cstdint>

#include "platform/rtl/AnsiString.h"
#include "platform/gdi/WinDefs.h"
#include "quillo/base/HostSlot.h"

class TComponent;
class TMenuItem;

class FilterPluginHost {
public:
  FilterPluginHost() = default;
  virtual ~FilterPluginHost() = default;
  FilterPluginHost(const FilterPluginHost&) = delete;
  FilterPluginHost& operator=(const FilterPluginHost&) = delete;

  // The Image menu; the owner of the menu items made for the filters.
  virtual TMenuItem* ImageMenu() { return nullptr; }
  virtual TComponent* MenuOwner() { return nullptr; }
  virtual HWND MainWindowHandle() { return nullptr; }
  // The colour dialog on start (0x00RRGGBB) with the prompt as its caption: the chosen colour,
  // or 0xFFFFFFFF when none was.
  virtual std::uint32_t PickColour(std::uint32_t /*start*/, const AnsiString& /*prompt*/) { return 0xFFFFFFFFu; }
};

inline FilterPluginHost& TheFilterPluginHost() { return HostSlot<FilterPluginHost>::Current(); }
