#include "platform/user/KeyboardLayout.h"

namespace {

constexpr WORD UsEnglish = 1033;
WORD activeLanguage = UsEnglish;

}  // namespace

HKL GetKeyboardLayout(DWORD) { return static_cast<HKL>(activeLanguage) | static_cast<HKL>(activeLanguage) << 16; }

void SetKeyboardLayoutLanguage(WORD language) { activeLanguage = language; }
