#pragma once
// Compiled filter components: the filter factory's Make writes a copy of the template library
// ("ffqlc.qlc" in the program folder) whose reserved area holds the compiled routines and the
// component's description. The area is the template's last "FFCD" and the zero bytes after
// it, 64 KB at most; in the copy it reads "ffcd", the five routine lengths (32-bit little-endian: set-up, red,
// green, blue, opacity), the routines back to back, then the description, and it keeps
// at least one zero after that. Everything outside the area stays the template's.

#include <cstddef>
#include <optional>
#include <string>

#include "platform/rtl/AnsiString.h"
#include "quillo/filters/FormulaFilterFile.h"

class CompiledFormula;

// The template beside the program.
AnsiString FilterComponentTemplatePath();

// The component's description: version, name (Title), copyright, contact (Author), the
// preview flags and one scroll-bar option per slider up to the last one that is named or not
// 0. Line breaks and "=" in the texts become blanks, commas too in slider names, so no text
// can add a key or a field. An unnamed slider before a named one keeps its place and value
// as an option nobody is shown.
std::string FilterComponentDescription(const FormulaFilter& filter);

// Where the template's area starts (its last "FFCD") and how long it is; nullopt when the
// template has no marker.
struct FilterComponentArea {
  std::size_t offset = 0;
  std::size_t length = 0;
};
std::optional<FilterComponentArea> FindFilterComponentArea(const std::string& templateBytes);

// The component made from the template; nullopt when the template has no area or the
// routines and the description do not fit into it.
std::optional<std::string> MakeFilterComponent(const std::string& templateBytes, const CompiledFormula& compiled,
                                               const FormulaFilter& filter);

// Reads the template, makes the component and writes it to target in one step. False when the
// template cannot be read or cannot hold the filter, or the file cannot be written; target is
// then as it was (the window says "CantSaveComp").
bool WriteFilterComponent(const AnsiString& target, const AnsiString& templatePath, const CompiledFormula& compiled,
                          const FormulaFilter& filter);
