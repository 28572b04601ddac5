#pragma once
// What the component host needs of the program above it: the Image menu its submenus go into,
// the main window components post to, the formula filters' tables, the tool palette for the
// brush components and the effect browser. The main window installs its host at start-up;
// without one every answer is the neutral one below.

#include <cstdint>

#include "platform/gdi/WinDefs.h"
#include "platform/rtl/AnsiString.h"
#include "platform/vcl/Color.h"
#include "quillo/base/HostSlot.h"

class TMenuItem;

class ComponentHost {
public:
  ComponentHost() = default;
  virtual ~ComponentHost() = default;
  ComponentHost(const ComponentHost&) = delete;
  ComponentHost& operator=(const ComponentHost&) = delete;

  // The menu that takes the component items and the group submenus.
  virtual TMenuItem* ImageMenu() { return nullptr; }
  // The window components post their requests to.
  virtual HWND MainWindowHandle() { return nullptr; }
  // 1280 sines (the cosines from entry 256 on) and 1024 tangents, scaled as the formula
  // filters have them.
  virtual const std::int32_t* SineTable() { return nullptr; }
  virtual const std::int32_t* TangentTable() { return nullptr; }
  // Enters the component brush in the tool palette with a glyph; columns non-zero opens a new
  // group. Answers the palette entry made, or -1 when none was.
  virtual int AddBrushToPalette(int /*glyph*/, int /*columns*/) { return -1; }
  // The palette entry chosen in the component brush's group; -1 without one.
  virtual int ChosenBrushEntry() { return -1; }
  // The main window's colour selector titled title, starting at start (0x00BBGGRR); the colour
  // chosen, or start.
  virtual TColor ChooseColour(const AnsiString& /*title*/, TColor start) { return start; }
};

inline ComponentHost& TheComponentHost() { return HostSlot<ComponentHost>::Current(); }
