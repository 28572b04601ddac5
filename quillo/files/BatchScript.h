#pragma once
// Batch script files ("*.scr"): the batch conversion settings as text, first line
// "QLSCP100". Numbers are decimal, CR LF ends a line, and several fields share a line
// separated by one blank:
//
//   QLSCP100                       magic
//   0                              input kind (0 image, 1 folder, 2 folder list)
//   /pictures/a.png                single image, "." when empty
//   .                              single folder, "." when empty
//   2 /f1                          folder count, blank, then each folder on a line
//   /f2
//   0 0 Portable Network Graphics  the two subfolder flags and the format's text
//   True Color (24 bit)            the depth's text
//   0 234 0 0 0 75 1 1 Image       limit, colours, dither, transparency, interlacing,
//                                  quality, keep name, add index, base name
//   0 1                            first number and digits, no line end
//
// Names are kept as they stand, blanks included. Reading is all or nothing: a script that
// breaks off, holds a format or depth the lists do not offer, or holds a line longer than
// kScriptLineLimit changes no setting.

#include <string>
#include <string_view>
#include <vector>

#include "quillo/files/BatchSettings.h"

// A format a script may name, with the depth texts it offers.
struct BatchFormatChoice {
  AnsiString text;
  std::vector<AnsiString> depths;
};

inline constexpr std::size_t kScriptLineLimit = 64 * 1024;
// Larger files are not scripts; they are refused before they are read.
inline constexpr std::size_t kScriptFileLimit = 16 * 1024 * 1024;

std::string WriteBatchScript(const BatchSettings& settings);

// Reads the script over the starting settings; true when it was whole, and only then are the
// settings changed. An input kind the window does not know keeps the starting one.
bool ReadBatchScript(std::string_view bytes, const std::vector<BatchFormatChoice>& formats, BatchSettings& settings);

enum class ScriptLoad { Loaded, CannotOpen, Damaged };

// The file at path, read as above. Only a regular file (or a link to one) is opened: a pipe
// is never waited on.
ScriptLoad LoadBatchScript(const AnsiString& path, const std::vector<BatchFormatChoice>& formats,
                           BatchSettings& settings);
// Whether every name comes back from the script as it is: a name holding a line break, or a
// file or folder name "." (which stands for an empty one), cannot be stored.
bool BatchScriptCanHold(const BatchSettings& settings);
// Replaces the file at path with the script, whole or not at all; false when it could not be
// written or BatchScriptCanHold refuses the settings (the old file stays as it was).
bool SaveBatchScript(const AnsiString& path, const BatchSettings& settings);
