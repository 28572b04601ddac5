#include "platform/rtl/SysUtils.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "platform/rtl/Exceptions.h"

namespace {

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool ParseInt64(const AnsiString& text, long long& value) {
  const AnsiString t = Trim(text);
  if (t.empty()) return false;
  const char* digits = t.c_str();
  int base = 10;
  if (t[0] == '$') {
    digits += 1;
    base = 16;
  } else if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    digits += 2;
    base = 16;
  }
  // strtoll would take blanks and a sign after the hexadecimal prefix; the framework does not.
  if (base == 16 && !std::isxdigit(static_cast<unsigned char>(*digits))) return false;
  errno = 0;
  char* end = nullptr;
  const long long parsed = std::strtoll(digits, &end, base);
  if (errno != 0 || end == digits || *end != '\0') return false;
  value = parsed;
  return true;
}

bool ParseInt(const AnsiString& text, int& value) {
  long long parsed = 0;
  if (!ParseInt64(text, parsed) || parsed < INT32_MIN || parsed > INT32_MAX) return false;
  value = static_cast<int>(parsed);
  return true;
}

}  // namespace

AnsiString IntToStr(std::int64_t value) { return std::to_string(value); }

AnsiString IntToHex(std::uint64_t value, int digits) {
  return Format("%0*" PRIX64, digits, value);
}

int StrToInt(const AnsiString& text) {
  int value = 0;
  if (!ParseInt(text, value)) throw EConvertError("'" + text + "' is not a valid integer value");
  return value;
}

int StrToIntDef(const AnsiString& text, int fallback) {
  int value = 0;
  return ParseInt(text, value) ? value : fallback;
}

std::int64_t StrToInt64(const AnsiString& text) {
  long long value = 0;
  if (!ParseInt64(text, value)) throw EConvertError("'" + text + "' is not a valid integer value");
  return value;
}

std::int64_t StrToInt64Def(const AnsiString& text, std::int64_t fallback) {
  long long value = 0;
  return ParseInt64(text, value) ? value : fallback;
}

AnsiString UpperCase(const AnsiString& text) {
  AnsiString result = text;
  for (char& c : result) c = AsciiUpper(c);
  return result;
}

AnsiString LowerCase(const AnsiString& text) {
  AnsiString result = text;
  for (char& c : result) c = AsciiLower(c);
  return result;
}

int CompareText(const AnsiString& a, const AnsiString& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int d = static_cast<unsigned char>(AsciiUpper(a[i])) -
                  static_cast<unsigned char>(AsciiUpper(b[i]));
    if (d != 0) return d;
  }
  return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

int CompareFileNames(const AnsiString& a, const AnsiString& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int d = static_cast<unsigned char>(AsciiLower(a[i])) - static_cast<unsigned char>(AsciiLower(b[i]));
    if (d != 0) return d;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b);
}

bool SameText(const AnsiString& a, const AnsiString& b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

AnsiString TrimLeft(const AnsiString& text) {
  size_t first = 0;
  while (first < text.size() && IsBlank(text[first])) ++first;
  return text.substr(first);
}

AnsiString TrimRight(const AnsiString& text) {
  size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) --end;
  return text.substr(0, end);
}

AnsiString Trim(const AnsiString& text) { return TrimLeft(TrimRight(text)); }

int Pos(const AnsiString& sub, const AnsiString& text) {
  if (sub.empty()) return 0;
  const size_t at = text.find(sub);
  return at == AnsiString::npos ? 0 : static_cast<int>(at) + 1;
}

AnsiString FormatV(const char* format, va_list args) {
  va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length <= 0) return AnsiString();
  AnsiString result(static_cast<size_t>(length), '\0');
  std::vsnprintf(result.data(), result.size() + 1, format, args);
  return result;
}

AnsiString Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  AnsiString result = FormatV(format, args);
  va_end(args);
  return result;
}

AnsiString ExtractFilePath(const AnsiString& path) {
  const size_t slash = path.rfind(PathDelim);
  return slash == AnsiString::npos ? AnsiString() : path.substr(0, slash + 1);
}

AnsiString ExtractFileName(const AnsiString& path) {
  const size_t slash = path.rfind(PathDelim);
  return slash == AnsiString::npos ? path : path.substr(slash + 1);
}

AnsiString ExtractFileExt(const AnsiString& path) {
  const size_t dot = path.rfind('.');
  const size_t slash = path.rfind(PathDelim);
  if (dot == AnsiString::npos || (slash != AnsiString::npos && dot < slash)) return AnsiString();
  return path.substr(dot);
}

AnsiString ChangeFileExt(const AnsiString& path, const AnsiString& extension) {
  const AnsiString current = ExtractFileExt(path);
  return path.substr(0, path.size() - current.size()) + extension;
}

AnsiString IncludeTrailingPathDelimiter(const AnsiString& path) {
  if (!path.empty() && path.back() == PathDelim) return path;
  return path + PathDelim;
}

AnsiString ExcludeTrailingPathDelimiter(const AnsiString& path) {
  if (path.size() > 1 && path.back() == PathDelim) return path.substr(0, path.size() - 1);
  return path;
}

bool FileExists(const AnsiString& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const AnsiString& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool DeleteFile(const AnsiString& path) { return ::unlink(path.c_str()) == 0; }

bool RenameFile(const AnsiString& from, const AnsiString& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool ForceDirectories(const AnsiString& path) {
  const AnsiString folder = ExcludeTrailingPathDelimiter(path);
  if (folder.empty()) return false;
  if (DirectoryExists(folder)) return true;
  const AnsiString parent = ExtractFilePath(folder);
  if (!parent.empty() && parent != folder && !ForceDirectories(parent)) return false;
  return ::mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST;
}

std::int64_t FileSizeOf(const AnsiString& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return -1;
  return static_cast<std::int64_t>(info.st_size);
}
