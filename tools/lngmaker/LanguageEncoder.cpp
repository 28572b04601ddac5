#include "tools/lngmaker/LanguageEncoder.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>

#include "quillo/base/LanguageCode.h"

namespace {

using Cost = std::uint64_t;
constexpr Cost kImpossible = std::numeric_limits<Cost>::max() / 4;
// Four chained blocks reach 8 + 3 * 8 bits at the very most.
constexpr int kLongestCode = 32;

struct Symbol {
  std::uint8_t value;
  std::uint64_t count;
};

// The text's bytes, most frequent first (ties by value, so the result is reproducible).
std::vector<Symbol> CountSymbols(const std::string& text) {
  std::array<std::uint64_t, 256> counts{};
  for (unsigned char c : text) ++counts[c];
  std::vector<Symbol> symbols;
  for (int v = 0; v < 256; ++v)
    if (counts[v] != 0) symbols.push_back({static_cast<std::uint8_t>(v), counts[v]});
  std::stable_sort(symbols.begin(), symbols.end(), [](const Symbol& a, const Symbol& b) { return a.count > b.count; });
  return symbols;
}

// Fewest coded bits for codes no longer than `longest`: Best(d, i, m) is the cost of giving
// symbols i.. codes when m free nodes wait at depth d. A node either takes the next (most
// frequent) symbol as a leaf or all remaining nodes split one level deeper. Since the lengths
// of an optimal code never fall as counts fall, this covers every optimal code.
class LengthLimitedCodes {
public:
  LengthLimitedCodes(const std::vector<Symbol>& symbols, int longest)
      : symbols_(symbols), n_(static_cast<int>(symbols.size())), longest_(longest),
        best_(static_cast<std::size_t>(longest + 1) * (n_ + 1) * (n_ + 1), kImpossible) {
    for (int d = longest; d >= 1; --d)
      for (int i = n_; i >= 0; --i)
        for (int m = 0; m <= n_ - i; ++m) At(d, i, m) = Solve(d, i, m);
  }

  // The cost when every code is at least `shortest` long; kImpossible when none can be.
  Cost Bits(int shortest) const {
    const int nodes = 1 << shortest;
    return nodes <= n_ ? Get(shortest, 0, nodes) : kImpossible;
  }

  // The lengths of that code, per symbol in the order given.
  std::vector<int> Lengths(int shortest) const {
    std::vector<int> lengths(static_cast<std::size_t>(n_), 0);
    int d = shortest, i = 0, m = 1 << shortest;
    while (m > 0) {
      if (i < n_ && Leaf(d, i, m) == Get(d, i, m)) {
        lengths[static_cast<std::size_t>(i++)] = d;
        --m;
      } else {
        ++d;
        m *= 2;
      }
    }
    return lengths;
  }

private:
  Cost Solve(int d, int i, int m) const {
    if (m == 0) return i == n_ ? 0 : kImpossible;
    return std::min(Leaf(d, i, m), d < longest_ && 2 * m <= n_ - i ? Get(d + 1, i, 2 * m) : kImpossible);
  }
  Cost Leaf(int d, int i, int m) const {
    if (i >= n_) return kImpossible;
    // The last of 256 codes all of 8 bits (the only way to reach this state): a count byte
    // holds 255 at most.
    if (n_ == 256 && d == 8 && i == 255 && m == 1) return kImpossible;
    const Cost rest = Get(d, i + 1, m - 1);
    return rest == kImpossible ? kImpossible : rest + symbols_[static_cast<std::size_t>(i)].count * static_cast<Cost>(d);
  }
  Cost Get(int d, int i, int m) const {
    if (d > longest_ || m > n_ - i) return kImpossible;
    return best_[Index(d, i, m)];
  }
  Cost& At(int d, int i, int m) { return best_[Index(d, i, m)]; }
  std::size_t Index(int d, int i, int m) const {
    return (static_cast<std::size_t>(d) * (n_ + 1) + static_cast<std::size_t>(i)) * (n_ + 1) + static_cast<std::size_t>(m);
  }

  const std::vector<Symbol>& symbols_;
  int n_;
  int longest_;
  std::vector<Cost> best_;
};

void PutLength(std::vector<std::uint8_t>& out, std::size_t count) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(count >> shift));
}

// The description of a code given by its lengths per byte value; empty when a length holds
// more symbols than a count byte can say.
std::vector<std::uint8_t> Describe(const std::array<int, 256>& lengths) {
  int shortest = kLongestCode + 1, longest = 0;
  for (int l : lengths)
    if (l != 0) {
      shortest = std::min(shortest, l);
      longest = std::max(longest, l);
    }
  std::vector<std::uint8_t> out{static_cast<std::uint8_t>(shortest)};
  for (int l = shortest; l <= longest; ++l) {
    std::vector<std::uint8_t> group;
    for (int v = 0; v < 256; ++v)
      if (lengths[static_cast<std::size_t>(v)] == l) group.push_back(static_cast<std::uint8_t>(v));
    if (group.size() > 255) return {};
    out.push_back(static_cast<std::uint8_t>(group.size()));
    out.insert(out.end(), group.begin(), group.end());
  }
  return out;
}

struct Choice {
  std::array<int, 256> lengths{};
  std::vector<std::uint8_t> description;
  Cost bits = kImpossible;
  std::size_t FileSize() const { return description.size() + (bits + 7) / 8; }
};

// The smallest file over every range of lengths; each candidate must build in the decoder's
// table, which is where the format's limit on long codes lies.
Choice ChooseCode(const std::vector<Symbol>& symbols) {
  Choice best;
  int fewestBits = 0;
  while ((std::size_t{1} << fewestBits) < symbols.size()) ++fewestBits;
  for (int longest = std::max(fewestBits, 1); longest <= kLongestCode; ++longest) {
    LengthLimitedCodes codes(symbols, longest);
    bool limited = false;  // whether some best code reached the limit
    for (int shortest = 1; shortest <= std::min(longest, 8); ++shortest) {
      Choice c;
      c.bits = codes.Bits(shortest);
      if (c.bits == kImpossible) continue;
      std::vector<int> perSymbol = codes.Lengths(shortest);
      limited = limited || std::find(perSymbol.begin(), perSymbol.end(), longest) != perSymbol.end();
      for (std::size_t i = 0; i < symbols.size(); ++i) c.lengths[symbols[i].value] = perSymbol[i];
      c.description = Describe(c.lengths);
      if (c.description.empty()) continue;
      LanguageCode::CodeTable table;
      if (LanguageCode::BuildCodeTable(c.description.data(), c.description.size(), table) != c.description.size())
        continue;
      if (best.bits == kImpossible || c.FileSize() < best.FileSize()) best = std::move(c);
    }
    // No best code was held back by this limit, so a longer one finds the same codes.
    if (!limited && best.bits != kImpossible) break;
  }
  if (best.bits == kImpossible) throw std::logic_error("no describable code");
  return best;
}

// Canonical codes: shorter first, ascending byte values within a length.
std::array<std::uint32_t, 256> AssignCodes(const std::array<int, 256>& lengths) {
  std::array<std::uint32_t, 256> codes{};
  std::uint32_t next = 0;
  int current = 0;
  for (int l = 1; l <= kLongestCode; ++l) {
    for (int v = 0; v < 256; ++v) {
      if (lengths[static_cast<std::size_t>(v)] != l) continue;
      if (current == 0) current = l;
      next <<= (l - current);
      current = l;
      codes[static_cast<std::size_t>(v)] = next++;
    }
  }
  return codes;
}

}  // namespace

std::vector<int> LanguageCodeLengths(const std::string& text) {
  std::vector<Symbol> symbols = CountSymbols(text);
  std::vector<int> lengths(256, 0);
  if (symbols.size() < 2) return lengths;
  Choice c = ChooseCode(symbols);
  std::copy(c.lengths.begin(), c.lengths.end(), lengths.begin());
  return lengths;
}

std::vector<std::uint8_t> EncodeLanguageText(const std::string& text) {
  if (text.size() > LanguageCode::kMaxTextSize) throw std::length_error("text too long for a language file");
  std::vector<std::uint8_t> out;
  PutLength(out, text.size());
  std::vector<Symbol> symbols = CountSymbols(text);
  if (symbols.size() < 2) {
    // One byte repeated (or nothing): the two-byte description says it all.
    out.push_back(0);
    out.push_back(symbols.empty() ? 0 : symbols[0].value);
    return out;
  }
  Choice c = ChooseCode(symbols);
  out.insert(out.end(), c.description.begin(), c.description.end());
  const std::array<std::uint32_t, 256> codes = AssignCodes(c.lengths);
  std::uint8_t byte = 0;
  int used = 0;
  for (unsigned char ch : text) {
    const int length = c.lengths[ch];
    for (int bit = length - 1; bit >= 0; --bit) {
      byte = static_cast<std::uint8_t>((byte << 1) | ((codes[ch] >> bit) & 1));
      if (++used == 8) {
        out.push_back(byte);
        byte = 0;
        used = 0;
      }
    }
  }
  if (used != 0) out.push_back(static_cast<std::uint8_t>(byte << (8 - used)));
  return out;
}
