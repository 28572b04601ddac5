#include "platform/host/KeyboardLanguage.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

struct LayoutLanguage {
  const char* layout;
  int language;
};

// Layouts by their X names. Serbian ("rs") is Cyrillic unless its variant says Latin.
constexpr LayoutLanguage kLanguages[] = {
    {"us", 1033},  {"gb", 2057},  {"au", 3081},  {"ie", 6153},  {"de", 1031},  {"at", 3079},
    {"ch", 2055},  {"fr", 1036},  {"be", 2060},  {"ca", 3084},  {"it", 1040},  {"es", 3082},
    {"latam", 2058}, {"pt", 2070}, {"br", 1046}, {"nl", 1043},  {"dk", 1030},  {"no", 1044},
    {"se", 1053},  {"fi", 1035},  {"is", 1039},  {"ru", 1049},  {"ua", 1058},  {"by", 1059},
    {"bg", 1026},  {"rs", 3098},  {"mk", 1071},  {"cz", 1029},  {"sk", 1051},  {"pl", 1045},
    {"hu", 1038},  {"ro", 1048},  {"hr", 1050},  {"si", 1060},  {"al", 1052},  {"gr", 1032},
    {"tr", 1055},  {"ee", 1061},  {"lv", 1062},  {"lt", 1063},  {"il", 1037},  {"ara", 1025},
    {"ir", 1065},  {"jp", 1041},  {"kr", 1042},  {"cn", 2052},  {"tw", 1028},  {"th", 1054},
    {"vn", 1066},  {"in", 1081},
};

std::string Trimmed(const std::string& s) {
  size_t begin = 0, end = s.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(s[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(s[end - 1]))) --end;
  return s.substr(begin, end - begin);
}

std::vector<std::string> Split(const std::string& s, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t i = 0; i <= s.size(); ++i)
    if (i == s.size() || s[i] == separator) {
      parts.push_back(s.substr(start, i - start));
      start = i + 1;
    }
  return parts;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

int LanguageOfXkbLayout(const std::string& layout, const std::string& variant) {
  const std::string name = Lower(Trimmed(layout));
  const std::string how = Lower(Trimmed(variant));
  if (name == "rs" && how.find("latin") != std::string::npos) return 2074;
  for (const LayoutLanguage& entry : kLanguages)
    if (name == entry.layout) return entry.language;
  return 0;
}

XkbGroupLayout XkbLayoutOfGroup(const std::string& layouts, const std::string& variants, int group) {
  if (group < 0) return {};
  std::vector<std::string> names = Split(layouts, ',');
  const std::vector<std::string> kinds = Split(variants, ',');
  while (!names.empty() && Trimmed(names.back()).empty()) names.pop_back();
  if (names.empty()) return {};
  // A group past the layouts wraps round, as the keyboard extension takes it by default.
  const size_t index = static_cast<size_t>(group) % names.size();
  XkbGroupLayout result;
  result.layout = Trimmed(names[index]);
  if (!result.layout.empty() && index < kinds.size()) result.variant = Trimmed(kinds[index]);
  return result;
}

XkbGroupLayout XkbLayoutOfSymbols(const std::string& symbols, int group) {
  if (group < 0) return {};
  // After the keyboard's model come the layouts, "name(variant)", each but the first with
  // its group after a colon; key sets and options ("inet(evdev)", "group(alt_shift_toggle)")
  // stand among them and are passed over.
  std::vector<XkbGroupLayout> groups;
  const std::vector<std::string> parts = Split(symbols, '+');
  for (size_t i = 1; i < parts.size(); ++i) {
    std::string part = parts[i];
    size_t partGroup = groups.empty() ? 0 : SIZE_MAX;
    if (const size_t colon = part.find(':'); colon != std::string::npos) {
      const int number = std::atoi(part.c_str() + colon + 1);
      partGroup = number >= 1 && number <= 4 ? static_cast<size_t>(number - 1) : SIZE_MAX;
      part.resize(colon);
    }
    std::string name = part, variant;
    if (const size_t open = part.find('('); open != std::string::npos) {
      name = part.substr(0, open);
      const size_t close = part.find(')', open);
      variant = part.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
    }
    if (name == "inet" || name == "group" || name == "level3" || name == "ctrl" || name == "compose" ||
        name == "altwin" || name == "capslock" || name == "terminate" || name == "keypad" || name == "srvr_ctrl")
      continue;
    if (partGroup == SIZE_MAX) continue;
    if (groups.size() <= partGroup) groups.resize(partGroup + 1);
    groups[partGroup] = {name, variant};
  }
  if (groups.empty()) return {};
  return groups[static_cast<size_t>(group) % groups.size()];
}
