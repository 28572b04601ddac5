// The filter plug-in cache "adobe.cch" from untrusted bytes, as a damaged or cut file is met at
// start. Properties: reading never fails; the records read are written back to bytes that
// read again to the same records, and those bytes are a prefix of the input whenever every
// record's texts fit their length bytes.

#include <cstdint>
#include <string>

#include "fuzz/support/FuzzCheck.h"
#include "quillo/plugins/FilterPluginCache.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const auto records = ReadFilterCacheRecords(bytes);
  const std::string written = WriteFilterCacheRecords(records);
  CHECK(bytes.compare(0, written.size(), written) == 0);
  const auto again = ReadFilterCacheRecords(written);
  CHECK(again.size() == records.size());
  for (std::size_t i = 0; i < again.size(); ++i) {
    CHECK(again[i].identifier == records[i].identifier);
    CHECK(again[i].category == records[i].category);
    CHECK(again[i].title == records[i].title);
    CHECK(again[i].size == records[i].size && again[i].timeStamp == records[i].timeStamp);
  }
  return 0;
}
