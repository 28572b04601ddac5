#pragma once
// The language of an X keyboard layout, as the Windows language identifier a program compares
// against (1049 Russian, 1033 US English...). X names its layouts after countries or
// languages ("us", "ru", "de", "rs" with the variant "latin"); one without a known language
// is 0.

#include <string>

int LanguageOfXkbLayout(const std::string& layout, const std::string& variant);

// The layout and variant of one keyboard group from the lists X keeps them in
// ("us,ru" and ",phonetic", say), a group past the last wrapping round as X takes it; empty
// when there are no layouts.
struct XkbGroupLayout {
  std::string layout;
  std::string variant;
};
XkbGroupLayout XkbLayoutOfGroup(const std::string& layouts, const std::string& variants, int group);
// The same read from a keymap's symbols name ("pc+us+ru:2+inet(evdev)": group 2 is "ru").
XkbGroupLayout XkbLayoutOfSymbols(const std::string& symbols, int group);
