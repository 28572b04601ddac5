#include "quillo/tools/TextCharset.h"

#include <cstring>

#include "platform/user/KeyboardLayout.h"
#include "platform/user/User.h"

int CharsetForLanguage(int language) {
  switch (language) {
    case 1026: case 1049: case 1058: case 1059: case 3098:
      return 204;  // Cyrillic
    case 1029: case 1038: case 1045: case 1048: case 1050: case 1051: case 1052: case 1060:
      return 238;  // Central European
    case 1032:
      return 161;  // Greek
    case 1055:
      return 162;  // Turkish
    case 1061: case 1062: case 1063:
      return 186;  // Baltic
    default:
      return 0;
  }
}

int KeyboardLanguage() { return static_cast<int>(GetKeyboardLayout(0) & 0xFFFF); }

CharsetMarks FontCharsets(const AnsiString& faceName) {
  CharsetMarks marks{};
  LOGFONT filter;
  std::strncpy(filter.lfFaceName, faceName.c_str(), LF_FACESIZE - 1);
  filter.lfCharSet = DEFAULT_CHARSET;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesEx(
      dc, &filter,
      [&marks](const LOGFONT* font, const TEXTMETRIC*, DWORD, LPARAM) {
        marks[font->lfCharSet] = true;
        return 1;
      },
      0, 0);
  ReleaseDC(nullptr, dc);
  return marks;
}
