#include "quillo/files/BatchScript.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr std::string_view kMagicLine = "QLSCP100\r\n";
constexpr const char* kLineEnd = "\r\n";
// Stands for an empty name, so that the line is never blank.
constexpr const char* kEmptyName = ".";

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Reads the fields in order; every read answers false once the bytes do not hold the field.
class ScriptCursor {
public:
  explicit ScriptCursor(std::string_view bytes) : bytes_(bytes) {}

  bool Magic() {
    if (bytes_.substr(0, kMagicLine.size()) != kMagicLine) return false;
    at_ = kMagicLine.size();
    return true;
  }

  void SkipSpace() {
    while (at_ < bytes_.size() && IsSpace(bytes_[at_])) ++at_;
  }

  // A decimal number after any white space, as a 32-bit integer.
  bool Number(int& value) {
    SkipSpace();
    bool negative = false;
    if (at_ < bytes_.size() && (bytes_[at_] == '-' || bytes_[at_] == '+')) negative = bytes_[at_++] == '-';
    const std::size_t digitsStart = at_;
    long long magnitude = 0;
    while (at_ < bytes_.size() && bytes_[at_] >= '0' && bytes_[at_] <= '9') {
      magnitude = magnitude * 10 + (bytes_[at_++] - '0');
      if (magnitude > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (at_ == digitsStart) return false;
    const long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT_MAX) return false;
    value = static_cast<int>(signedValue);
    return true;
  }

  bool Flag(bool& value) {
    int number = 0;
    if (!Number(number)) return false;
    value = number != 0;
    return true;
  }

  // Blanks up to the end of the line, and the line end.
  void EndLine() {
    while (at_ < bytes_.size() && (bytes_[at_] == ' ' || bytes_[at_] == '\t' || bytes_[at_] == '\r')) ++at_;
    if (at_ < bytes_.size() && bytes_[at_] == '\n') ++at_;
  }

  // The one blank between a number and a name on its line; a name on a line of its own
  // (as other writers may put it) is found too.
  void Separator() {
    if (at_ < bytes_.size() && bytes_[at_] == ' ') ++at_;
    else EndLine();
  }

  // The rest of the line as it stands (blanks are part of a name), without its line end;
  // false at the end of the bytes or for an overlong line.
  bool Line(AnsiString& text) {
    if (at_ >= bytes_.size()) return false;
    const std::size_t end = bytes_.find('\n', at_);
    std::size_t stop = end == std::string_view::npos ? bytes_.size() : end;
    if (stop - at_ > kScriptLineLimit) return false;
    if (end != std::string_view::npos && stop > at_ && bytes_[stop - 1] == '\r') --stop;
    text = AnsiString(bytes_.substr(at_, stop - at_));
    at_ = end == std::string_view::npos ? bytes_.size() : end + 1;
    return true;
  }

  // A list's text: the line without blanks around it.
  bool Text(AnsiString& text) {
    if (!Line(text)) return false;
    text = Trim(text);
    return true;
  }

  bool Name(AnsiString& text) {
    if (!Line(text)) return false;
    if (text == kEmptyName) text.clear();
    return true;
  }

private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

AnsiString NameOrDot(const AnsiString& name) { return name.empty() ? AnsiString(kEmptyName) : name; }

// Text the line format keeps as it is: no line break in it.
bool OnOneLine(const AnsiString& text) { return text.find_first_of("\r\n") == AnsiString::npos; }
// A name kept as it is: on one line, and not the empty name's mark.
bool Storable(const AnsiString& name) { return name != kEmptyName && OnOneLine(name); }

AnsiString Num(int value) { return IntToStr(value); }
AnsiString Num(bool value) { return value ? "1" : "0"; }

bool ReadFolders(ScriptCursor& in, std::vector<AnsiString>& folders) {
  int count = 0;
  if (!in.Number(count) || count < 0) return false;
  if (count > 0) in.Separator();
  folders.clear();
  // Each folder is read before it is kept: a count larger than the lines there are ends at
  // the end of the bytes, never in a list of that size.
  for (int i = 0; i < count; ++i) {
    AnsiString folder;
    if (!in.Name(folder)) return false;
    if (!folder.empty()) folders.push_back(folder);
  }
  return true;
}

bool ReadChoice(ScriptCursor& in, const std::vector<BatchFormatChoice>& formats, BatchSettings& s) {
  if (!in.Text(s.format)) return false;
  const auto format = std::find_if(formats.begin(), formats.end(), [&](const BatchFormatChoice& f) { return f.text == s.format; });
  if (format == formats.end()) return false;
  if (!in.Text(s.depth)) return false;
  return std::find(format->depths.begin(), format->depths.end(), s.depth) != format->depths.end();
}

bool ReadOutput(ScriptCursor& in, BatchSettings& s) {
  if (!in.Flag(s.limit) || !in.Number(s.limitColours) || !in.Flag(s.dither)) return false;
  if (!in.Flag(s.transparent) || !in.Flag(s.interlaced) || !in.Number(s.quality)) return false;
  if (!in.Flag(s.keepName) || !in.Flag(s.addIndex)) return false;
  in.Separator();
  if (!in.Line(s.baseName)) return false;
  if (!in.Number(s.firstNumber) || !in.Number(s.digits)) return false;
  s.limitColours = std::clamp(s.limitColours, kMinLimitColours, kMaxLimitColours);
  s.quality = std::clamp(s.quality, kMinQuality, kMaxQuality);
  s.digits = std::clamp(s.digits, kMinDigits, kMaxDigits);
  return true;
}

}  // namespace

std::string WriteBatchScript(const BatchSettings& s) {
  std::string out(kMagicLine);
  out += Num(static_cast<int>(s.input)) + kLineEnd;
  out += NameOrDot(s.singleImage) + kLineEnd;
  out += NameOrDot(s.singleFolder) + kLineEnd;
  out += Num(static_cast<int>(s.folders.size())) + " ";
  // A blank entry would vanish into the white space after the count.
  for (const AnsiString& folder : s.folders) out += NameOrDot(folder) + kLineEnd;
  out += Num(s.subfolders) + " " + Num(s.subfoldersMulti) + " " + s.format + kLineEnd;
  out += s.depth + kLineEnd;
  out += Num(s.limit) + " " + Num(s.limitColours) + " " + Num(s.dither) + " ";
  out += Num(s.transparent) + " " + Num(s.interlaced) + " " + Num(s.quality) + " ";
  out += Num(s.keepName) + " " + Num(s.addIndex) + " ";
  out += s.baseName + kLineEnd;
  out += Num(s.firstNumber) + " " + Num(s.digits);
  return out;
}

bool ReadBatchScript(std::string_view bytes, const std::vector<BatchFormatChoice>& formats, BatchSettings& settings) {
  ScriptCursor in(bytes);
  BatchSettings s = settings;
  int input = 0;
  if (!in.Magic() || !in.Number(input)) return false;
  if (input >= 0 && input <= static_cast<int>(BatchInput::MultipleFolders)) s.input = static_cast<BatchInput>(input);
  in.EndLine();
  if (!in.Name(s.singleImage) || !in.Name(s.singleFolder)) return false;
  if (!ReadFolders(in, s.folders)) return false;
  if (!in.Flag(s.subfolders) || !in.Flag(s.subfoldersMulti)) return false;
  if (!ReadChoice(in, formats, s) || !ReadOutput(in, s)) return false;
  settings = s;
  return true;
}

ScriptLoad LoadBatchScript(const AnsiString& path, const std::vector<BatchFormatChoice>& formats,
                           BatchSettings& settings) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return ScriptLoad::CannotOpen;
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info{};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return ScriptLoad::CannotOpen;
  if (static_cast<std::size_t>(info.st_size) > kScriptFileLimit) return ScriptLoad::Damaged;
  std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ScriptLoad::CannotOpen;
    if (n == 0) break;  // the file shrank meanwhile
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  return ReadBatchScript(bytes, formats, settings) ? ScriptLoad::Loaded : ScriptLoad::Damaged;
}

bool BatchScriptCanHold(const BatchSettings& s) {
  return Storable(s.singleImage) && Storable(s.singleFolder) && OnOneLine(s.baseName) &&
         std::all_of(s.folders.begin(), s.folders.end(), Storable);
}

bool SaveBatchScript(const AnsiString& path, const BatchSettings& settings) {
  if (!BatchScriptCanHold(settings)) return false;
  try {
    AtomicFile::WriteFile(path, WriteBatchScript(settings));
    return true;
  } catch (const Exception&) {
    return false;
  }
}
