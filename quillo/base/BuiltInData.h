#pragma once
// Data files built into the program when it is built, from the same sources as the files in
// the program folder: what the program falls back on when those files are missing or damaged.

#include <string_view>

// The English language file's text (data/languages/English.txt).
std::string_view BuiltInEnglishText();
// The program's own skin as an image file (what Skins/<its name>.skn holds).
std::string_view BuiltInSkinImage();
