#include "LanguageKeyScan.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace {

struct Lookup {
  const char* name;
  int argument;  // which argument is a key; -1: every literal argument
  bool section;
};

// Every call that takes a key. A new lookup function of the program belongs here.
constexpr Lookup kLookups[] = {
    {"LangMessage", 0, false},   {"LangMessageBox", 0, false}, {"LangMessageBox", 1, false},
    {"LangKey", 0, false},       {"SetStatusText", -1, false}, {"PushUndo", 0, false},
    {"TranslateForm", 0, true},  {"TranslateComponent", 1, true},
};

bool IsIdentifierChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The source with comments blanked out (line breaks kept, so lines still count).
std::string WithoutComments(const std::string& s) {
  std::string out = s;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '"' || s[i] == '\'') {
      const char quote = s[i];
      for (++i; i < s.size() && s[i] != quote; ++i)
        if (s[i] == '\\') ++i;
    } else if (s.compare(i, 2, "//") == 0) {
      for (; i < s.size() && s[i] != '\n'; ++i) out[i] = ' ';
    } else if (s.compare(i, 2, "/*") == 0) {
      std::size_t end = s.find("*/", i + 2);
      end = end == std::string::npos ? s.size() : end + 2;
      for (; i < end; ++i)
        if (out[i] != '\n') out[i] = ' ';
      --i;
    }
  }
  return out;
}

// A string literal (or adjacent literals) that makes up the whole argument; nothing else.
std::optional<std::string> LiteralValue(const std::string& arg) {
  std::string value;
  std::size_t i = 0;
  bool any = false;
  for (;;) {
    while (i < arg.size() && std::isspace(static_cast<unsigned char>(arg[i]))) ++i;
    if (i == arg.size()) break;
    if (arg[i] != '"') return std::nullopt;
    for (++i; i < arg.size() && arg[i] != '"'; ++i) {
      if (arg[i] != '\\' || i + 1 == arg.size()) {
        value += arg[i];
        continue;
      }
      const char e = arg[++i];
      value += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
    }
    if (i == arg.size()) return std::nullopt;
    ++i;
    any = true;
  }
  if (!any) return std::nullopt;
  return value;
}

// The arguments of the call whose '(' is at open, split at its own commas.
std::vector<std::string> Arguments(const std::string& s, std::size_t open) {
  std::vector<std::string> args;
  std::string current;
  int depth = 0;
  for (std::size_t i = open + 1; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '"' || c == '\'') {
      const std::size_t start = i;
      for (++i; i < s.size() && s[i] != c; ++i)
        if (s[i] == '\\') ++i;
      current += s.substr(start, i - start + 1);
      continue;
    }
    if (c == '(' || c == '[' || c == '{') ++depth;
    if (c == ')' || c == ']' || c == '}') {
      if (depth == 0) {
        args.push_back(current);
        return args;
      }
      --depth;
    }
    if (c == ',' && depth == 0) {
      args.push_back(current);
      current.clear();
      continue;
    }
    current += c;
  }
  return {};  // never closed
}

}  // namespace

std::vector<LanguageKeyUse> ScanLanguageKeys(const std::string& source, const std::string& file) {
  const std::string s = WithoutComments(source);
  std::vector<LanguageKeyUse> uses;
  for (const Lookup& lookup : kLookups) {
    const std::string name = lookup.name;
    for (std::size_t at = s.find(name); at != std::string::npos; at = s.find(name, at + 1)) {
      if (at > 0 && IsIdentifierChar(s[at - 1])) continue;
      std::size_t open = at + name.size();
      if (open < s.size() && IsIdentifierChar(s[open])) continue;
      while (open < s.size() && std::isspace(static_cast<unsigned char>(s[open]))) ++open;
      if (open == s.size() || s[open] != '(') continue;
      const std::vector<std::string> args = Arguments(s, open);
      const int line = 1 + static_cast<int>(std::count(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
      for (int i = 0; i < static_cast<int>(args.size()); ++i) {
        if (lookup.argument >= 0 && i != lookup.argument) continue;
        if (auto key = LiteralValue(args[static_cast<std::size_t>(i)]))
          uses.push_back({file, line, name, *key, lookup.section});
      }
    }
  }
  return uses;
}
