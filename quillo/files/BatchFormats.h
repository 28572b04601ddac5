#pragma once
// The output choices of batch conversion: the formats that can write files, in registry
// order, each named by its description; the colour depths each offers, named by translated
// texts that map back to a depth code; which depths take a colour limit; and the save
// parameters and file extension a run uses.

#include <vector>

#include "platform/rtl/AnsiString.h"
#include "quillo/files/BatchScript.h"
#include "quillo/files/BatchSettings.h"
#include "vorlen/formats/GFXFile.h"

// Depth codes: bits per pixel, -8 for 8-bit grey and -1 for an adaptive palette.
inline constexpr int kGreyDepth = -8;
inline constexpr int kAdaptiveDepth = -1;

// The formats that can write, in registry order.
std::vector<GFXFile*> BatchWritableFormats();
// The format's entry in the format list: its description without the bracketed patterns.
AnsiString BatchFormatText(const GFXFile* format);
// The writable format of that list text; null when none.
GFXFile* BatchFormatNamed(const AnsiString& text);
// The translated depth texts the format offers, in table order.
std::vector<AnsiString> BatchDepthTexts(const GFXFile* format);
// Every writable format with its depths, as a script may name them.
std::vector<BatchFormatChoice> BatchFormatChoices();
// The depth code of a depth text; any text the table does not name is adaptive.
int ColorDepthOf(const AnsiString& text);
// Depths whose colours a palette holds: they take a colour limit.
bool IsPaletteDepth(int depth);

// What the run saves with.
GFXSaveParams BatchSaveParams(const BatchSettings& settings);
// The output extension of a format: the first of its list, lower case (".bmp" from
// "*.BMP;*.RLE").
AnsiString BatchOutputExtension(const GFXFile* format);
