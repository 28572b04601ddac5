#pragma once
// The character set the text tool's font uses: the script of the active keyboard layout, as
// far as the font offers it, so that typed text comes out in the right letters.

#include <array>

#include "platform/rtl/AnsiString.h"

// Marks for the character sets a font offers, by number.
using CharsetMarks = std::array<bool, 256>;

// The character set of a keyboard layout's language identifier; 0 (ANSI) for any other.
int CharsetForLanguage(int language);
// The language identifier of the active keyboard layout.
int KeyboardLanguage();
// The character sets whose letters the named font has.
CharsetMarks FontCharsets(const AnsiString& faceName);
