#pragma once
// The small computations behind the preferences dialog's value labels, test patterns and
// folder fields, apart from the window so that they read and test on their own.

#include <cstdint>

#include "platform/rtl/AnsiString.h"

class Buffer;

// A gamma in hundredths as the dialog shows it: 180 gives "1.80".
AnsiString GammaText(int hundredths);

// A gamma test pattern of w x h: the middle (the quarters truncated, both ends included) is
// the flat middle value, every other pixel full (x + y odd) or 0 (even). Colours 0x00RRGGBB.
void DrawGammaPattern(Buffer& pattern, int width, int height, std::uint32_t middle, std::uint32_t full);

// Free space of the file system holding folder (or its nearest existing parent) in whole
// megabytes; -1 when it cannot be asked.
std::int64_t FreeSpaceMB(const AnsiString& folder);
// Its size in whole megabytes; -1 when it cannot be asked.
std::int64_t FileSystemSizeMB(const AnsiString& folder);
// "123 MB", or the text of "N/A" when the free space cannot be asked.
AnsiString FreeSpaceText(const AnsiString& folder);

// A folder field's text as a folder: empty stays empty, a final "\" becomes "/", and a
// missing final "/" is added.
AnsiString FolderWithSeparator(const AnsiString& text);
// Whether two folders are the same one, final separators aside.
bool SameFolder(const AnsiString& a, const AnsiString& b);

// The megabytes a budget in KB shows as (truncated), and the largest a budget field offers:
// the machine's size, or the present value when that is larger.
int BudgetMB(std::int64_t kb);
int BudgetFieldMaximum(std::int64_t machineMB, std::int64_t presentKB);
