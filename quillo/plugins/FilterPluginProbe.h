#pragma once
// Finds the filters a ".8bf" file offers without loading or running it. A plug-in is an x86-64
// ELF shared object; its descriptions are records in the section ".pipl" (or, in the old form,
// ".pimi"): {u32 id, u32 size, the resource bytes, padding to 4}. The entry points they name
// are checked against the file's dynamic symbol table. Every read is bounded by the file's and
// the section's sizes, so a cut or damaged file gives no filter, never a crash.

#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/rtl/AnsiString.h"

// Called for each filter found with its identifier (path "#" entry name), category and
// title; a non-zero answer stops the probe. A folder may hold "#", an entry name never does
// (one that does is not offered), so the identifier splits at its last "#".
using FilterFoundCallback =
    std::function<int(const AnsiString& identifier, const AnsiString& category, const AnsiString& title)>;

// Why a file's filters could not be read, for the list of plug-ins that failed to load.
enum class FilterProbeFault {
  None,
  Unreadable,        // the file cannot be read, is empty or too large
  NotSharedObject,   // not an x86-64 ELF shared object
  SectionCut,        // the ".pipl" or ".pimi" section lies beyond the file's end
  SectionDamaged,    // a record of the section runs past its end or its header is cut
};
// The language key of a fault's reason ("" for None).
const char* FilterProbeFaultKey(FilterProbeFault fault);

// Reads the file at path and reports its filters. False when it is not a readable x86-64 ELF
// shared object. A fault (when asked for) tells why the file or its descriptions could not be
// read: the caller lists it among the plug-ins that failed to load. Filters of a damaged
// section that come before the damage are still reported.
bool ProbeAdobeModule(const AnsiString& path, const FilterFoundCallback& found, FilterProbeFault* fault = nullptr);
// The same over the file's bytes already read (path names the file in the identifiers).
bool ProbeAdobeModuleBytes(const AnsiString& path, std::string_view file, const FilterFoundCallback& found,
                           FilterProbeFault* fault = nullptr);

// How many files ProbeAdobeModule has read since the program started (an unchanged file is
// not read again: its filters come from the cache).
std::uint64_t FilterProbeCount();

// One PiPL resource of the module at path, whose exported names exported tells: reports
// the filter it describes. Returns 1 to go on with the next resource, 0 to stop.
int ReadPiPL(const AnsiString& path, std::string_view resource,
             const std::function<bool(std::string_view)>& exported, const FilterFoundCallback& found);
// One PiMI resource (old form) with its numeric id; the same results.
int ReadPiMI(const AnsiString& path, std::uint32_t id, std::string_view resource,
             const std::function<bool(std::string_view)>& exported, const FilterFoundCallback& found);

// The file part (before the last "#"; the whole identifier when it has none) and the entry
// name (after it; empty without one).
AnsiString FilterIdentifierFile(const AnsiString& identifier);
AnsiString FilterIdentifierEntry(const AnsiString& identifier);

// The file name without its folder and extension.
AnsiString FilterFileBaseName(const AnsiString& path);
