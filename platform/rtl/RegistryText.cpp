#include "platform/rtl/RegistryText.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/rtl/RegistryApi.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr std::string_view kSignature = "quillo registry ";
constexpr int kVersion = 1;

// ---- writing ----

constexpr char kHexDigits[] = "0123456789abcdef";

void PutHexByte(std::string& out, unsigned char byte) {
  out += kHexDigits[byte >> 4];
  out += kHexDigits[byte & 0xF];
}

void PutQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          out += "\\x";
          PutHexByte(out, byte);
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

void PutHexList(std::string& out, const std::string& data) {
  for (size_t i = 0; i < data.size(); ++i) {
    if (i > 0) out += ',';
    PutHexByte(out, static_cast<unsigned char>(data[i]));
  }
}

// A string's bytes are its text and one terminating null.
bool IsPlainString(const std::string& data) {
  return !data.empty() && data.back() == '\0' && data.find('\0') == data.size() - 1;
}

void PutValue(std::string& out, const RegValue& value) {
  if (value.name.empty())
    out += '@';
  else
    PutQuoted(out, value.name);
  out += '=';
  if (value.type == REG_SZ && IsPlainString(value.data)) {
    PutQuoted(out, std::string_view(value.data).substr(0, value.data.size() - 1));
  } else if (value.type == REG_DWORD && value.data.size() == 4) {
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = number << 8 | static_cast<unsigned char>(value.data[i]);
    out += "dword:" + LowerCase(IntToHex(number, 8));
  } else if (value.type == REG_BINARY) {
    out += "hex:";
    PutHexList(out, value.data);
  } else {
    out += "hex(" + LowerCase(IntToHex(value.type, 1)) + "):";
    PutHexList(out, value.data);
  }
  out += '\n';
}

void PutKey(std::string& out, const RegKey& key, const std::string& path, bool isRoot) {
  if (!isRoot || !key.values.empty()) {
    out += "\n[" + path + "]\n";
    for (const RegValue& value : key.values) PutValue(out, value);
  }
  for (const RegKey& subkey : key.subkeys) PutKey(out, subkey, path + '\\' + subkey.name, false);
}

// ---- reading ----

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A number of 1 to 8 hexadecimal digits, the whole of text.
std::optional<std::uint32_t> HexNumber(std::string_view text) {
  if (text.empty() || text.size() > 8) return std::nullopt;
  std::uint32_t number = 0;
  for (char c : text) {
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    number = number << 4 | static_cast<std::uint32_t>(digit);
  }
  return number;
}

// "hh,hh,..." (possibly empty), the whole of text.
std::optional<std::string> HexList(std::string_view text) {
  std::string bytes;
  if (text.empty()) return bytes;
  for (size_t at = 0;; at += 3) {
    if (at + 2 > text.size()) return std::nullopt;
    const int high = HexDigit(text[at]), low = HexDigit(text[at + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes += static_cast<char>(high << 4 | low);
    if (at + 2 == text.size()) return bytes;
    if (text[at + 2] != ',') return std::nullopt;
  }
}

// Reads a quoted text starting at text[at] == '"'; moves at past the closing quote.
std::optional<std::string> Quoted(std::string_view text, size_t& at) {
  if (at >= text.size() || text[at] != '"') return std::nullopt;
  std::string out;
  for (++at; at < text.size(); ++at) {
    const char c = text[at];
    if (c == '"') {
      ++at;
      return out;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++at == text.size()) return std::nullopt;
    switch (text[at]) {
      case '\\': out += '\\'; break;
      case '"': out += '"'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'x': {
        if (at + 2 >= text.size()) return std::nullopt;
        const int high = HexDigit(text[at + 1]), low = HexDigit(text[at + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high << 4 | low);
        at += 2;
        break;
      }
      default: return std::nullopt;
    }
  }
  return std::nullopt;
}

std::string_view Trimmed(std::string_view line) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!line.empty() && blank(line.front())) line.remove_prefix(1);
  while (!line.empty() && blank(line.back())) line.remove_suffix(1);
  return line;
}

struct HeaderLine {
  RegRoot root = RegRoot::CurrentUser;
  RegPath path;
};

std::optional<HeaderLine> ParseHeader(std::string_view line, AnsiString& problem) {
  std::string_view inside = line.substr(1, line.size() - 2);
  HeaderLine header;
  size_t at = 0;
  bool first = true;
  for (;;) {
    const size_t stop = std::min(inside.find('\\', at), inside.size());
    const AnsiString name(inside.substr(at, stop - at));
    if (first) {
      bool known = false;
      for (int i = 0; i < kRegRootCount && !known; ++i)
        if (SameText(name, RegRootName(static_cast<RegRoot>(i)))) {
          header.root = static_cast<RegRoot>(i);
          known = true;
        }
      if (!known) {
        problem = "unknown root key";
        return std::nullopt;
      }
      first = false;
    } else {
      if (!IsValidKeyName(name)) {
        problem = "bad key name";
        return std::nullopt;
      }
      if (header.path.size() == kMaxKeyDepth) {
        problem = "keys nested too deep";
        return std::nullopt;
      }
      header.path.push_back(name);
    }
    if (stop == inside.size()) return header;
    at = stop + 1;
  }
}

std::optional<RegValue> ParseValue(std::string_view line, AnsiString& problem) {
  RegValue value;
  size_t at = 0;
  if (line[0] == '@') {
    at = 1;
  } else {
    std::optional<std::string> name = Quoted(line, at);
    if (!name || name->empty() || name->size() > kMaxValueNameLength) {
      problem = "bad value name";
      return std::nullopt;
    }
    value.name = *name;
  }
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
  if (at == line.size() || line[at] != '=') {
    problem = "no '=' after the value name";
    return std::nullopt;
  }
  ++at;
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
  std::string_view data = line.substr(at);
  problem = "bad value data";
  if (!data.empty() && data[0] == '"') {
    size_t end = 0;
    std::optional<std::string> text = Quoted(data, end);
    if (!text || end != data.size()) return std::nullopt;
    value.type = REG_SZ;
    value.data = *text + '\0';
  } else if (data.starts_with("dword:")) {
    std::optional<std::uint32_t> number = HexNumber(data.substr(6));
    if (!number) return std::nullopt;
    value.type = REG_DWORD;
    for (int i = 0; i < 4; ++i) value.data += static_cast<char>(*number >> (8 * i) & 0xFF);
  } else if (data.starts_with("hex:")) {
    std::optional<std::string> bytes = HexList(data.substr(4));
    if (!bytes) return std::nullopt;
    value.type = REG_BINARY;
    value.data = std::move(*bytes);
  } else if (data.starts_with("hex(")) {
    const size_t close = data.find("):");
    if (close == std::string_view::npos) return std::nullopt;
    std::optional<std::uint32_t> type = HexNumber(data.substr(4, close - 4));
    std::optional<std::string> bytes = HexList(data.substr(close + 2));
    if (!type || !bytes) return std::nullopt;
    value.type = *type;
    value.data = std::move(*bytes);
  } else {
    return std::nullopt;
  }
  if (value.data.size() > kMaxValueSize) return std::nullopt;
  problem.clear();
  return value;
}

// Reads the signature line; answers the version, or nothing when the line is not one.
std::optional<long> Signature(std::string_view line) {
  if (!line.starts_with(kSignature)) return std::nullopt;
  std::string_view number = line.substr(kSignature.size());
  if (number.empty() || number.size() > 9) return std::nullopt;
  long version = 0;
  for (char c : number) {
    if (c < '0' || c > '9') return std::nullopt;
    version = version * 10 + (c - '0');
  }
  return version;
}

// Value and key names compare without regard to ASCII case.
std::string FoldedName(const AnsiString& name) {
  std::string folded = name;
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

// The keys and values as the file is read, each key's subkeys and values found by name through
// hash indexes, so that reading takes linear time however the keys are ordered and however
// many values a key has; sorted into a RegistryTree once at the end. Keys and values keep the
// spelling of their first mention, values their first place.
class TreeBuilder {
public:
  struct Node {
    AnsiString name;
    std::vector<RegValue> values;
    std::unordered_map<std::string, size_t> valueAt;
    std::vector<std::unique_ptr<Node>> subkeys;
    std::unordered_map<std::string, Node*> subkeyAt;
  };

  // The header's key, made where it is missing.
  Node& Key(const HeaderLine& header) {
    Node* key = &roots_[static_cast<size_t>(header.root)];
    for (const AnsiString& name : header.path) {
      Node*& found = key->subkeyAt[FoldedName(name)];
      if (found == nullptr) {
        key->subkeys.push_back(std::make_unique<Node>());
        found = key->subkeys.back().get();
        found->name = name;
      }
      key = found;
    }
    return *key;
  }

  static void SetValue(Node& key, RegValue value) {
    const auto [at, added] = key.valueAt.emplace(FoldedName(value.name), key.values.size());
    if (added) {
      key.values.push_back(std::move(value));
    } else {
      key.values[at->second].type = value.type;
      key.values[at->second].data = std::move(value.data);
    }
  }

  void MoveInto(RegistryTree& tree) {
    for (int i = 0; i < kRegRootCount; ++i) MoveInto(roots_[static_cast<size_t>(i)], tree.Root(static_cast<RegRoot>(i)));
  }

private:
  static void MoveInto(Node& node, RegKey& key) {
    key.values = std::move(node.values);
    std::sort(node.subkeys.begin(), node.subkeys.end(),
              [](const auto& a, const auto& b) { return CompareText(a->name, b->name) < 0; });
    key.subkeys.resize(node.subkeys.size());
    for (size_t i = 0; i < node.subkeys.size(); ++i) {
      key.subkeys[i].name = std::move(node.subkeys[i]->name);
      MoveInto(*node.subkeys[i], key.subkeys[i]);
      node.subkeys[i].reset();
    }
  }

  std::array<Node, kRegRootCount> roots_;
};

}  // namespace

RegistryFileContents ParseRegistryText(const std::string& text) {
  RegistryFileContents contents;
  auto bad = [&](int line, const char* problem) {
    if (contents.firstBadLine != 0) return;
    contents.firstBadLine = line;
    contents.problem = problem;
  };
  bool signed_ = false;
  TreeBuilder builder;
  TreeBuilder::Node* key = nullptr;  // where value lines go; null before a header or after a bad one
  int number = 0;
  for (size_t at = 0; at < text.size();) {
    const size_t newline = std::min(text.find('\n', at), text.size());
    const std::string_view line = Trimmed(std::string_view(text).substr(at, newline - at));
    at = newline + 1;
    ++number;
    if (line.empty() || line[0] == ';') continue;
    if (!signed_) {
      signed_ = true;
      if (std::optional<long> version = Signature(line)) {
        if (*version > kVersion) {
          RegistryFileContents later;
          later.laterVersion = true;
          return later;
        }
        if (*version == kVersion) continue;
      }
      bad(number, "the first line does not name the format");
      if (Signature(line)) continue;
    }
    AnsiString problem;
    if (line[0] == '[' && line.back() == ']' && line.size() >= 2) {
      std::optional<HeaderLine> header = ParseHeader(line, problem);
      key = header ? &builder.Key(*header) : nullptr;
      if (!header) bad(number, problem.c_str());
    } else if (line[0] == '@' || line[0] == '"') {
      std::optional<RegValue> value = ParseValue(line, problem);
      if (!value)
        bad(number, problem.c_str());
      else if (key == nullptr)
        bad(number, "a value outside any key");
      else
        TreeBuilder::SetValue(*key, std::move(*value));
    } else {
      bad(number, "not a key or a value");
    }
  }
  builder.MoveInto(contents.tree);
  return contents;
}

std::string RegistryText(const RegistryTree& tree) {
  std::string out(kSignature);
  out += std::to_string(kVersion) + '\n';
  for (int i = 0; i < kRegRootCount; ++i) {
    const RegRoot root = static_cast<RegRoot>(i);
    PutKey(out, tree.Root(root), RegRootName(root), true);
  }
  return out;
}
