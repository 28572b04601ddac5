#pragma once
// The framework's 8-bit string: bytes, UTF-8 where the text is shown.

#include <string>

using AnsiString = std::string;
