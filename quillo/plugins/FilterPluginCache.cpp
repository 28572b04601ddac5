#include "quillo/plugins/FilterPluginCache.h"

#include <sys/stat.h>

#include <iterator>
#include <sstream>

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RegularFile.h"
#include "quillo/plugins/FilterPluginProbe.h"

namespace {

constexpr std::size_t kLongestText = 255;
// A record takes at most three texts and two words: 8 MB holds ten thousand plug-in files.
constexpr std::int64_t kMostFilterCacheBytes = std::int64_t(8) << 20;

class CacheReader {
public:
  explicit CacheReader(std::string_view bytes) : bytes_(bytes) {}
  bool AtEnd() const { return at_ >= bytes_.size(); }
  // A text whose bytes are not all there reads as empty and leaves the reader at the end.
  AnsiString Text() {
    if (AtEnd()) return {};
    const std::size_t length = static_cast<unsigned char>(bytes_[at_++]);
    if (length > bytes_.size() - at_) {
      at_ = bytes_.size();
      return {};
    }
    AnsiString text(bytes_.substr(at_, length));
    at_ += length;
    return text;
  }
  bool Word(std::uint32_t& value) {
    if (bytes_.size() - at_ < 4 || AtEnd()) return false;
    value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes_[at_ + i]);
    at_ += 4;
    return true;
  }

private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

void PutText(std::string& out, const AnsiString& text) {
  out.push_back(static_cast<char>(text.size()));
  out += text;
}

void PutWord(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

}  // namespace

std::vector<FileDesc> ReadFilterCacheRecords(std::string_view bytes) {
  std::vector<FileDesc> records;
  CacheReader in(bytes);
  for (;;) {
    FileDesc d;
    d.identifier = in.Text();
    if (d.identifier.empty()) break;
    d.category = in.Text();
    d.title = in.Text();
    if (!in.Word(d.size) || !in.Word(d.timeStamp)) break;  // a record cut short is not whole
    records.push_back(std::move(d));
  }
  return records;
}

std::string WriteFilterCacheRecords(const std::vector<FileDesc>& records) {
  std::string out;
  for (const FileDesc& d : records) {
    // A longer text's length would not fit its byte: the record would be read back wrong.
    if (d.identifier.empty() || d.identifier.size() > kLongestText || d.category.size() > kLongestText ||
        d.title.size() > kLongestText)
      continue;
    PutText(out, d.identifier);
    PutText(out, d.category);
    PutText(out, d.title);
    PutWord(out, d.size);
    PutWord(out, d.timeStamp);
  }
  return out;
}

bool FilterFileStamp(const AnsiString& path, std::uint32_t& size, std::uint32_t& timeStamp) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return false;
  size = static_cast<std::uint32_t>(st.st_size);
  timeStamp = static_cast<std::uint32_t>(st.st_ctime);
  return true;
}

CacheFiles::CacheFiles(const AnsiString& fileName) : fileName_(fileName), cursor_(records_.end()) {
  // A cache that is no regular file or past any size a cache reaches is not read: the
  // plug-ins are probed again and a sound cache written in its place.
  const RegularFileText file = ReadRegularFile(fileName, kMostFilterCacheBytes);
  if (file.outcome != RegularFileText::Outcome::Read) return;
  for (FileDesc& d : ReadFilterCacheRecords(file.text)) records_.push_back(std::move(d));
  cursor_ = records_.end();
}

CacheFiles::~CacheFiles() {
  if (!written_) Write();
}

void CacheFiles::Write() {
  written_ = true;
  std::vector<FileDesc> seen;
  for (const FileDesc& d : records_)
    if (d.seen) seen.push_back(d);
  try {
    AtomicFile::WriteFile(fileName_, WriteFilterCacheRecords(seen));
  } catch (const Exception&) {
    // A cache that cannot be written costs only a slower next start.
  }
}

void CacheFiles::Add(const AnsiString& identifier, const AnsiString& category, const AnsiString& title) {
  // A changed file probed again: its filters that are still there are kept with what the
  // file says now.
  for (FileDesc& d : records_) {
    if (d.identifier != identifier) continue;
    d.category = category;
    d.title = title;
    d.seen = true;
    FilterFileStamp(FilterIdentifierFile(identifier), d.size, d.timeStamp);
    return;
  }
  FileDesc d;
  d.identifier = identifier;
  d.category = category;
  d.title = title;
  d.seen = true;
  FilterFileStamp(FilterIdentifierFile(identifier), d.size, d.timeStamp);
  records_.push_front(std::move(d));
}

bool CacheFiles::Lookup(AnsiString& path, AnsiString& category, AnsiString& title) {
  auto it = records_.begin();
  if (path != lastPath_) {
    lastPath_ = path;
  } else if (cursor_ != records_.end()) {
    it = std::next(cursor_);
  }
  for (; it != records_.end(); ++it) {
    if (FilterIdentifierFile(it->identifier) != path) continue;
    std::uint32_t size = 0, timeStamp = 0;
    FilterFileStamp(path, size, timeStamp);
    if (size != it->size || timeStamp != it->timeStamp) {
      // The file is probed again; what it still offers comes back through Add, and a filter
      // it no longer has is not written back.
      it->seen = false;
      return false;
    }
    it->seen = true;
    cursor_ = it;
    category = it->category;
    title = it->title;
    path = it->identifier;
    return true;
  }
  return false;
}
