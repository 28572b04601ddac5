#pragma once
// The description text of a component: keys found by their first occurrence anywhere in the
// text, values up to the next CR; the version, help file, flags, brush glyph and up to twelve
// option descriptors, from which the default value block is built.

#include <cstdint>

#include "platform/rtl/AnsiString.h"
#include "quillo/plugins/ComponentRecord.h"

// The value of key (such as "Name="): the text after its first occurrence up to the next CR;
// empty when the key does not occur.
AnsiString DescriptionValue(const AnsiString& description, const char* key);

// The text under "~" + text in the language table, or the text itself when there is none.
AnsiString TranslateMarked(const AnsiString& text);

// Why a description registers nothing.
enum class DescriptionFault { None, NoVersion, OldVersion, BadHelpContext, BadIcon };
// The log's words for a fault.
const char* DescriptionFaultText(DescriptionFault fault);

// Fills record from the text: version, help, names, flags, the brush glyph, the option texts,
// types and default values (SavedValues a copy of them). A fault leaves the record half
// filled and registers nothing.
DescriptionFault ParseComponentDesc(const AnsiString& description, QLCDSTR& record);

// The type code of an option descriptor's letter (0 for an unknown one).
int OptionTypeCode(char letter);
// The bytes an option of that type takes in the value block.
int OptionSlotSize(int type);
// The user-level digit after the type letter; 0 when there is none.
int OptionLevel(const AnsiString& descriptor);
// The descriptor's comma-separated fields.
std::vector<AnsiString> OptionFields(const AnsiString& descriptor);
// Reads the option types and the default block from the option texts. A default that cannot
// be read keeps its slot, holding 0, so the later options stay where the page and the
// component look for them.
void ParseComponentOptions(QLCDSTR& record);

// A 32-bit slot of a value block, and a double one, read or written at a byte offset.
std::int32_t ReadSlot32(const std::uint8_t* block, int offset);
double ReadSlotDouble(const std::uint8_t* block, int offset);
void WriteSlot32(std::uint8_t* block, int offset, std::int32_t value);
void WriteSlotDouble(std::uint8_t* block, int offset, double value);
// The byte offset of option i's slot (walking the block by type sizes).
int OptionSlotOffset(const QLCDSTR& record, int option);
