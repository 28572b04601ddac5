#pragma once
// The save optimiser's trial settings: the four slots kept for the rest of the run, the colour
// depths each file type offers with their codes, the record handed back to the save dialog,
// and the text form "type@depth@limit@colours@dither@transparent@interlaced@quality" in which
// named configurations keep a slot.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/rtl/AnsiString.h"
#include "vorlen/formats/GFXFile.h"

// One slot's settings; the words in this order are also the layout of SaveOptimResult, whose
// second word is a depth code instead of a depth index.
struct OptimSlot {
  std::int32_t typeIndex = -1;  // entry of the type list; -1 not yet set
  std::int32_t depthIndex = 0;  // entry of the depth list built for the type
  std::int32_t limit = 0;
  std::int32_t colours = 234;
  std::int32_t dither = 0;
  std::int32_t transparent = 0;
  std::int32_t interlaced = 1;
  std::int32_t quality = 75;
};

constexpr int kOptimSlotCount = 4;

// Kept from one opening of the optimiser to the next within a run.
extern std::array<OptimSlot, kOptimSlotCount> OptimSlots;
// What the accepted slot hands to the save dialog: type index, depth code, limit, colours,
// dither, transparent, interlaced, quality.
extern OptimSlot SaveOptimResult;
// Where the window was when it last closed; SavedLeft -1: never opened.
extern int SavedLeft;
extern int SavedTop;
// Set by Stop: the running probe ends at the library's next progress step.
extern bool OptimCancelRequested;

// A slot never set takes these: the default type, its first depth, no limit (234 colours),
// no dither or transparency, interlaced, quality 75 less 10 for each slot before it.
OptimSlot FirstRunSlot(int slot, int defaultType);

// Depth codes.
constexpr int kDepthAdaptive = -1;
constexpr int kDepthGrey = -8;

// One entry of a type's depth list: the language key of its text and its code.
struct OptimDepth {
  const char* key;
  int code;
};
// The depths the format can write, in list order (32, 24, 16, 15, 8, 4 bits, grey,
// monochrome, adaptive).
std::vector<OptimDepth> DepthsOf(const GFXFile* format);
// The bits and grey flag of a depth code in the save parameters (grey: 8 bits, grey; adaptive:
// the byte 0xFF).
void ApplyDepthCode(int code, GFXSaveParams& params);
// Whether a depth code takes a colour limit: the palette depths, grey and adaptive.
bool DepthTakesLimit(int code);

// The writable formats (depth mask not 0) in registry order, counted from 0; null past them.
GFXFile* WritableFormat(int index);
// The type list: each writable format's description as the file dialogs show it, without
// the " (*.ext)" that follows.
std::vector<AnsiString> OptimTypeNames();
// The format's first extension with its dot, spelled as its list has it (".JPG").
AnsiString FirstExtensionWithDot(const GFXFile* format);

// The save parameters of a slot's settings at a depth code; the format is left to the
// file's extension. A type without a quality setting gets the slot's quality all the same.
GFXSaveParams SlotSaveParams(const OptimSlot& slot, int depthCode);

// A slot as a configuration keeps it: "JPEG@24@0@234@0@0@1@75".
AnsiString SlotValueText(const AnsiString& typeName, int depthCode, const OptimSlot& slot);
// A stored slot read back. Numbers are brought into their ranges (flags 0 or 1, colours 2 to
// 256, quality 1 to 100); a value without '@' or without all seven numbers is none.
struct StoredSlot {
  AnsiString typeName;
  int depthCode = 0;
  OptimSlot settings;  // typeIndex and depthIndex not set
};
std::optional<StoredSlot> ParseSlotValue(const AnsiString& text);

// A configuration's name as typed, made fit to be a registry key: each word after a space
// begins in upper case, at most 255 characters, and no '@' (the value separator) or '\'
// (which would make nested keys). caret (0-based) follows the characters removed before it.
AnsiString CleanConfigName(const AnsiString& typed, int& caret);
