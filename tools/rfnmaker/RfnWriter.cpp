#include "RfnWriter.h"

#include <algorithm>
#include <array>
#include <queue>

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr int kMaxCodeBits = 8;

void PutBigEndian(Bytes& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(Bytes& out, const char* id, const Bytes& body) {
  out.insert(out.end(), id, id + 4);
  PutBigEndian(out, static_cast<std::uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
}

// Huffman code lengths of the symbols that occur (0 for the others), unlimited.
std::array<int, 256> CodeLengths(const std::array<std::uint64_t, 256>& counts) {
  struct Node {
    std::uint64_t weight;
    int index;
  };
  auto heavier = [](const Node& a, const Node& b) { return a.weight > b.weight; };
  std::priority_queue<Node, std::vector<Node>, decltype(heavier)> queue(heavier);
  std::vector<int> parent(512, -1);
  int next = 256;
  for (int s = 0; s < 256; ++s)
    if (counts[s] > 0) queue.push({counts[s], s});
  std::array<int, 256> lengths{};
  if (queue.size() == 1) lengths[queue.top().index] = 1;
  while (queue.size() > 1) {
    const Node a = queue.top();
    queue.pop();
    const Node b = queue.top();
    queue.pop();
    parent[a.index] = parent[b.index] = next;
    queue.push({a.weight + b.weight, next++});
  }
  for (int s = 0; s < 256; ++s)
    for (int at = s; counts[s] > 0 && parent[at] >= 0; at = parent[at]) ++lengths[s];
  return lengths;
}

// Moves codes longer than 8 bits up the tree, keeping the code complete (as JPEG tables do).
void LimitLengths(std::array<int, 64>& perLength) {
  for (int i = 63; i > kMaxCodeBits; --i) {
    while (perLength[i] > 0) {
      int j = i - 2;
      while (perLength[j] == 0) --j;
      perLength[i] -= 2;
      perLength[i - 1] += 1;
      perLength[j + 1] += 2;
      perLength[j] -= 1;
    }
  }
}

class BitWriter {
public:
  explicit BitWriter(Bytes& out) : out_(out) {}
  void Put(std::uint32_t code, int length) {
    for (int bit = length - 1; bit >= 0; --bit) {
      byte_ = static_cast<std::uint8_t>((byte_ << 1) | ((code >> bit) & 1));
      if (++used_ == 8) Flush();
    }
  }
  void Finish() {
    if (used_ > 0) {
      byte_ = static_cast<std::uint8_t>(byte_ << (8 - used_));
      Flush();
    }
  }

private:
  void Flush() {
    out_.push_back(byte_);
    byte_ = 0;
    used_ = 0;
  }
  Bytes& out_;
  std::uint8_t byte_ = 0;
  int used_ = 0;
};

Bytes XorRows(const RfnGlyphSize& size, const Bytes& glyphs) {
  Bytes out = glyphs;
  if (size.rowBytes <= 0 || size.height <= 0) return out;
  const size_t glyphBytes = size_t(size.height) * size.rowBytes;
  for (size_t g = 0; g + glyphBytes <= out.size(); g += glyphBytes)
    for (size_t at = glyphBytes - 1; at >= size_t(size.rowBytes); --at)
      out[g + at] ^= glyphs[g + at - size.rowBytes];
  return out;
}

Bytes GlyphData(const RfnGlyphSize& size, std::uint32_t version) {
  if (version < 2) return size.bits;
  const size_t glyphBytes = size_t(size.height) * size.rowBytes;
  Bytes kept;
  for (size_t i = 0; i < size.widths.size(); ++i)
    if (size.widths[i] != 0)
      kept.insert(kept.end(), size.bits.begin() + long(i * glyphBytes),
                  size.bits.begin() + long((i + 1) * glyphBytes));
  return EncodeGlyphBytes(XorRows(size, kept));
}

}  // namespace

Bytes EncodeGlyphBytes(const Bytes& bytes) {
  std::array<std::uint64_t, 256> counts{};
  for (std::uint8_t b : bytes) ++counts[b];
  if (bytes.empty()) counts[0] = 1;
  const std::array<int, 256> unlimited = CodeLengths(counts);
  std::array<int, 64> perLength{};
  for (int length : unlimited) ++perLength[std::min(length, 63)];
  perLength[0] = 0;
  LimitLengths(perLength);
  // The most frequent symbols take the shortest codes.
  std::vector<int> symbols;
  for (int s = 0; s < 256; ++s)
    if (counts[s] > 0) symbols.push_back(s);
  std::stable_sort(symbols.begin(), symbols.end(), [&](int a, int b) { return counts[a] > counts[b]; });
  Bytes out;
  std::array<std::uint32_t, 256> code{};
  std::array<int, 256> length{};
  std::uint32_t next = 0;
  size_t taken = 0;
  for (int len = 1; len <= kMaxCodeBits; ++len) {
    out.push_back(static_cast<std::uint8_t>(perLength[len]));
    for (int n = 0; n < perLength[len]; ++n, ++taken) {
      code[symbols[taken]] = next++;
      length[symbols[taken]] = len;
    }
    next <<= 1;
  }
  for (int s : symbols) out.push_back(static_cast<std::uint8_t>(s));
  BitWriter writer(out);
  for (std::uint8_t b : bytes) writer.Put(code[b], length[b]);
  writer.Finish();
  return out;
}

Bytes WriteRfn(const std::string& name, const std::vector<RfnGlyphSize>& sizes,
               std::uint32_t version) {
  Bytes chunks;
  PutChunk(chunks, "NAME", Bytes(name.begin(), name.end()));
  for (const RfnGlyphSize& size : sizes) {
    const Bytes desc = {std::uint8_t(size.height), std::uint8_t(size.rowBytes),
                        std::uint8_t(size.first),  std::uint8_t(size.last),
                        std::uint8_t(size.spacing), std::uint8_t(size.space),
                        0, 0, 0, 0};
    PutChunk(chunks, "DESC", desc);
    PutChunk(chunks, "WDTH", size.widths);
    PutChunk(chunks, "DATA", GlyphData(size, version));
  }
  Bytes out = {'F', 'O', 'N', 'T'};
  PutBigEndian(out, static_cast<std::uint32_t>(chunks.size()));
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(version >> shift));
  out.insert(out.end(), chunks.begin(), chunks.end());
  return out;
}
