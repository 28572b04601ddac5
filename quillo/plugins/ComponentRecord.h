#pragma once
// QLCDSTR: what the program knows of one registered plug-in component, read from its
// description text when the component folder is scanned, and the table of 256 such records.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Module.h"
#include "quillo/plugins/ComponentApi.h"

class TControl;

struct QLCDSTR {
  HMODULE Module = nullptr;         // while the component runs
  QLCPROCESS_FN Entry = nullptr;    // null while it is not loaded
  float Version = 0;
  AnsiString Name;                  // untranslated
  AnsiString Copyright;
  AnsiString Contact;
  AnsiString Path;                  // full file name of the library
  AnsiString HelpFile;              // relative to the program folder
  int HelpContext = 100;
  AnsiString Options;               // the flag letters of "Opt="
  std::array<AnsiString, QLC_MAX_OPTIONS> OptionTexts;
  // The option page's controls of each option while the page exists: the label, then the
  // main control and up to three helpers (value text, y edit, document edit).
  std::array<TControl*, QLC_MAX_OPTIONS> OptionLabels{};
  std::array<std::array<TControl*, 4>, QLC_MAX_OPTIONS> OptionControls{};
  std::array<std::uint8_t, QLC_VALUE_BYTES> SavedValues{};
  std::array<std::uint8_t, QLC_VALUE_BYTES> DefaultValues{};
  std::array<std::uint8_t, QLC_MAX_OPTIONS> OptionTypes{};
  std::uint16_t PaletteEntry = 65535;  // the tool-palette entry of its brush; 65535 none
  int IconGlyph = -1;                  // "Icon=": the brush's glyph; -1 none

  bool HasFlag(char letter) const { return Options.find(letter) != AnsiString::npos; }
  // The component has an option page: some descriptor is 3 characters or longer.
  bool HasOptionPage() const;
};

constexpr int MaxComponents = 256;
using ComponentRecords = std::array<QLCDSTR, MaxComponents>;
extern ComponentRecords ComponentTable;
extern int ComponentCount;
// The component being run or shown.
extern int CurrentComponent;
// The component subfolders found by the last scan, upper case, in the order found.
extern std::vector<AnsiString> ComponentFileList;

// The record of CurrentComponent, or null when it names none.
QLCDSTR* CurrentRecord();
