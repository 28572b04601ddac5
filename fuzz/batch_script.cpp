// Batch script files from untrusted bytes: read over a starting record with the format list
// the batch window offers. Properties: a refused script leaves the record exactly as it was;
// an accepted one names a format and a depth the lists hold, keeps every number inside its
// control's limits, and is written and read back to the same record.

#include <cstdint>
#include <memory>
#include <string_view>

#include "fuzz/support/FuzzCheck.h"
#include "quillo/base/Language.h"
#include "quillo/files/BatchFormats.h"
#include "quillo/files/BatchScript.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::vector<BatchFormatChoice> formats = [] {
    // The depth texts are the keys themselves without a language.
    return BatchFormatChoices();
  }();
  BatchSettings start;
  start.singleImage = "/start/a.png";
  start.format = formats.front().text;
  start.depth = formats.front().depths.front();
  BatchSettings settings = start;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (!ReadBatchScript(bytes, formats, settings)) {
    CHECK(settings == start);
    return 0;
  }
  CHECK(settings.limitColours >= kMinLimitColours && settings.limitColours <= kMaxLimitColours);
  CHECK(settings.quality >= kMinQuality && settings.quality <= kMaxQuality);
  CHECK(settings.digits >= kMinDigits && settings.digits <= kMaxDigits);
  CHECK(settings.folders.size() <= size);
  BatchSettings again = start;
  CHECK(ReadBatchScript(WriteBatchScript(settings), formats, again));
  CHECK(again == settings);
  return 0;
}
