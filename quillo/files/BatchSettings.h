#pragma once
// Everything the batch conversion window lets the user choose, as one record: what the
// script files hold, what the run reads, and what the window shows.

#include <vector>

#include "platform/rtl/AnsiString.h"

enum class BatchInput : int { SingleImage = 0, SingleFolder = 1, MultipleFolders = 2 };

struct BatchSettings {
  BatchInput input = BatchInput::SingleImage;
  AnsiString singleImage;
  AnsiString singleFolder;
  std::vector<AnsiString> folders;
  bool subfolders = false;       // with the single folder
  bool subfoldersMulti = false;  // with the folder list
  AnsiString format;             // the format list's text ("Portable Network Graphics")
  AnsiString depth;              // the depth list's translated text
  bool limit = false;
  int limitColours = 234;        // 2 to 256
  bool dither = false;
  bool transparent = false;
  bool interlaced = false;
  int quality = 75;              // 1 to 100
  bool keepName = true;          // else "give new name"
  bool addIndex = true;          // else overwrite, when the name is kept
  AnsiString baseName = "Image";
  int firstNumber = 0;
  int digits = 1;                // 1 to 6

  bool operator==(const BatchSettings&) const = default;
};

inline constexpr int kMinLimitColours = 2;
inline constexpr int kMaxLimitColours = 256;
inline constexpr int kMinQuality = 1;
inline constexpr int kMaxQuality = 100;
inline constexpr int kMinDigits = 1;
inline constexpr int kMaxDigits = 6;
