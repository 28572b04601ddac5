#include "quillo/base/LanguageCode.h"

#include <bit>

namespace LanguageCode {

namespace {

// Reads the coded bits, most significant first, into an 8-bit window. Past the end it shifts
// in zeros: the decoder looks up to 8 bits ahead of the codes it has used, so a sound file
// may end before the window does. CodeBits counts the bits the decoded codes really took.
class BitReader {
public:
  BitReader(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

  std::uint8_t Read(int count) {
    for (int i = 0; i < count; ++i) {
      if (bits_ == 0) {
        byte_ = next_ < size_ ? bytes_[next_] : 0;
        ++next_;
        bits_ = 8;
      }
      window_ = static_cast<std::uint8_t>((window_ << 1) | (byte_ >> 7));
      byte_ = static_cast<std::uint8_t>(byte_ << 1);
      --bits_;
    }
    return window_;
  }
  std::uint8_t Window() const { return window_; }

private:
  const std::uint8_t* bytes_;
  std::size_t size_;
  std::size_t next_ = 0;
  std::uint8_t byte_ = 0;
  int bits_ = 0;
  std::uint8_t window_ = 0;
};

std::uint32_t ReadLength(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

std::size_t BuildCodeTable(const std::uint8_t* bytes, std::size_t size, CodeTable& table) {
  table = CodeTable{};
  if (size < 2) return 0;
  const int first = bytes[0];
  if (first == 0) {
    table[0].symbol.fill(bytes[1]);
    return 2;
  }
  if (first > 8) return 0;  // a full code of 256 symbols or fewer has a code of 8 bits or less

  std::array<bool, 256> used{};
  std::size_t at = 1;
  int block = 0;
  int filled = 0;  // entries of the block taken, counted from its start
  int length = first;  // in-block length
  for (;;) {
    const int step = 256 >> length;
    if (at >= size) return 0;
    const int count = bytes[at++];
    for (int i = 0; i < count; ++i) {
      if (at >= size || filled + step > 256) return 0;
      const std::uint8_t symbol = bytes[at++];
      if (used[symbol]) return 0;
      used[symbol] = true;
      TableBlock& b = table[block];
      for (int e = filled; e < filled + step; ++e) {
        b.length[e] = static_cast<std::int8_t>(length);
        b.symbol[e] = symbol;
      }
      filled += step;
    }
    if (filled == 256) return at;
    if (++length <= 8) continue;

    // The block's 8 bits are used up and codes remain: they all start with the leading ones
    // of the filled count, which the decoder skips before it reads the next block.
    const int ones = std::countl_one(static_cast<std::uint8_t>(filled));
    if (ones == 0 || block + 1 == kBlockCount) return 0;
    for (int e = filled; e < 256; ++e) table[block].length[e] = static_cast<std::int8_t>(-ones);
    ++block;
    filled = (filled << ones) & 255;
    length = 9 - ones;
  }
}

DecodeResult Decode(const std::uint8_t* bytes, std::size_t size, std::string& text) {
  if (size < kLengthFieldSize) return DecodeResult::Truncated;
  const std::uint32_t count = ReadLength(bytes);
  if (count > kMaxTextSize) return DecodeResult::TooLarge;

  CodeTable table;
  const std::uint8_t* description = bytes + kLengthFieldSize;
  const std::size_t rest = size - kLengthFieldSize;
  const std::size_t descriptionSize = BuildCodeTable(description, rest, table);
  if (descriptionSize == 0) return rest < 2 ? DecodeResult::Truncated : DecodeResult::BadDescription;
  if (description[0] == 0) {
    text.assign(count, static_cast<char>(description[1]));
    return DecodeResult::Ok;
  }

  const std::size_t streamSize = rest - descriptionSize;
  // Every code takes a bit at least: a length beyond the coded bits is a cut file, found
  // before anything is allocated.
  if (count > streamSize * 8) return DecodeResult::Truncated;
  std::string out(count, '\0');
  BitReader reader(description + descriptionSize, streamSize);
  std::uint64_t codeBits = 0;
  int lastLength = 8;
  for (std::uint32_t i = 0; i < count; ++i) {
    reader.Read(lastLength);
    int block = 0;
    for (;;) {
      const int entry = table[block].length[reader.Window()];
      lastLength = entry;
      if (entry > 0) {
        codeBits += static_cast<std::uint64_t>(entry);
        out[i] = static_cast<char>(table[block].symbol[reader.Window()]);
        break;
      }
      // Entries below a chained block's start are never reached by a full code; chaining
      // entries are never written in the last block. Both checks only guard the table.
      if (entry == 0 || block + 1 == kBlockCount) return DecodeResult::BadDescription;
      codeBits += static_cast<std::uint64_t>(-entry);
      reader.Read(-entry);
      ++block;
    }
  }
  if (codeBits > streamSize * 8) return DecodeResult::Truncated;
  text = std::move(out);
  return DecodeResult::Ok;
}

}  // namespace LanguageCode
