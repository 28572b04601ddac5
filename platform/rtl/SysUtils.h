#pragma once
// SysUtils-style helpers with the framework's names. Positions are 1-based where the
// framework's are; paths use '/' as their delimiter.

#include <cstdarg>
#include <cstdint>

#include "platform/rtl/AnsiString.h"

constexpr char PathDelim = '/';

AnsiString IntToStr(std::int64_t value);
AnsiString IntToHex(std::uint64_t value, int digits);
int StrToInt(const AnsiString& text);  // throws EConvertError
int StrToIntDef(const AnsiString& text, int fallback);
std::int64_t StrToInt64(const AnsiString& text);  // throws EConvertError
std::int64_t StrToInt64Def(const AnsiString& text, std::int64_t fallback);
AnsiString UpperCase(const AnsiString& text);  // ASCII letters only, as the framework does
AnsiString LowerCase(const AnsiString& text);
int CompareText(const AnsiString& a, const AnsiString& b);  // without regard to ASCII case
// The order lists of files show names in: letters compared as lower case, names equal so
// then in byte order (so "a_b" comes before "ab", and "B" before "b").
int CompareFileNames(const AnsiString& a, const AnsiString& b);
bool SameText(const AnsiString& a, const AnsiString& b);
AnsiString Trim(const AnsiString& text);  // drops control characters and spaces at both ends
AnsiString TrimLeft(const AnsiString& text);
AnsiString TrimRight(const AnsiString& text);
int Pos(const AnsiString& sub, const AnsiString& text);  // 1-based, 0 when absent
AnsiString Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
AnsiString FormatV(const char* format, va_list args);

AnsiString ExtractFilePath(const AnsiString& path);  // up to and including the last '/'
AnsiString ExtractFileName(const AnsiString& path);
AnsiString ExtractFileExt(const AnsiString& path);  // with its dot; "" when none
AnsiString ChangeFileExt(const AnsiString& path, const AnsiString& extension);
AnsiString IncludeTrailingPathDelimiter(const AnsiString& path);
AnsiString ExcludeTrailingPathDelimiter(const AnsiString& path);

bool FileExists(const AnsiString& path);  // a file that is not a folder
bool DirectoryExists(const AnsiString& path);
bool DeleteFile(const AnsiString& path);
bool RenameFile(const AnsiString& from, const AnsiString& to);
bool ForceDirectories(const AnsiString& path);  // creates every missing folder of the path
std::int64_t FileSizeOf(const AnsiString& path);  // -1 when it cannot be read
