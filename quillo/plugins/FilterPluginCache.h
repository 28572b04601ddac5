#pragma once
// "adobe.cch": what the last scan learned of each filter plug-in file, so that an unchanged
// file is not read again. A sequence of records to the end of the file, each the identifier,
// category and title (a length byte and that many bytes) and the file's size and time stamp
// (u32 little-endian). A cut or damaged file is read as far as it is whole.
//
// One object lives for one scan: made, it loads the file; destroyed, it writes back the
// records seen in this scan, the new ones first (newest first), then the loaded ones in
// their old order.

#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/AnsiString.h"

struct FileDesc {
  AnsiString identifier;
  AnsiString category;
  AnsiString title;
  bool seen = false;
  std::uint32_t size = 0;
  std::uint32_t timeStamp = 0;  // the file's st_ctime
};

// The records of a cache file's bytes, in file order, as far as they are whole.
std::vector<FileDesc> ReadFilterCacheRecords(std::string_view bytes);
// The bytes of the records; a record with a text longer than 255 bytes cannot be kept and
// is left out.
std::string WriteFilterCacheRecords(const std::vector<FileDesc>& records);

// The size and time stamp the cache compares; false when the file cannot be read.
bool FilterFileStamp(const AnsiString& path, std::uint32_t& size, std::uint32_t& timeStamp);

class CacheFiles {
public:
  explicit CacheFiles(const AnsiString& fileName);
  ~CacheFiles();
  CacheFiles(const CacheFiles&) = delete;
  CacheFiles& operator=(const CacheFiles&) = delete;

  // A new record (seen) at the front; one with this identifier already there is refreshed.
  void Add(const AnsiString& identifier, const AnsiString& category, const AnsiString& title);
  // The next cached filter of the file at path, when the file is unchanged: path becomes its
  // identifier. A changed file answers false: the caller probes it again.
  bool Lookup(AnsiString& path, AnsiString& category, AnsiString& title);
  // Writes the seen records now (the destructor does it otherwise).
  void Write();

private:
  AnsiString fileName_;
  std::list<FileDesc> records_;
  AnsiString lastPath_;
  std::list<FileDesc>::iterator cursor_;
  bool written_ = false;
};
