#include "tools/skinmaker/SkinSource.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace skinmaker {

namespace {

// The loader reads the key colours from the header's columns 68 onward.
constexpr int kFirstKeyColumn = 68;

[[noreturn]] void Refuse(const std::string& fileName, int line, const std::string& what) {
  if (line > 0) throw SkinSourceError(fileName + ":" + std::to_string(line) + ": " + what);
  throw SkinSourceError(fileName + ": " + what);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  std::string word;
  while (in >> word) words.push_back(word);
  return words;
}

bool IsBlankOrComment(const std::string& line) {
  const size_t first = line.find_first_not_of(" \t");
  return first == std::string::npos || line[first] == '#';
}

Rgb ParseColour(const std::string& word, const std::string& fileName, int line) {
  if (word.size() != 7 || word[0] != '#' ||
      word.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
    Refuse(fileName, line, "'" + word + "' is not a colour (#RRGGBB)");
  return static_cast<Rgb>(std::stoul(word.substr(1), nullptr, 16));
}

int ParseNumber(const std::string& word, int low, int high, const std::string& what,
                const std::string& fileName, int line) {
  if (word.empty() || word.size() > 4 || word.find_first_not_of("0123456789") != std::string::npos)
    Refuse(fileName, line, what + " '" + word + "' is not a number");
  const int value = std::stoi(word);
  if (value < low || value > high)
    Refuse(fileName, line, what + " " + word + " is outside " + std::to_string(low) + " to " +
                               std::to_string(high));
  return value;
}

// "20x20 51": icon size and glyph count. The header holds each number in two digits.
void ParseStrip(const std::vector<std::string>& words, Strip& strip, int minimumCount,
                const std::string& fileName, int line) {
  if (words.size() != 3) Refuse(fileName, line, words[0] + " wants <width>x<height> <count>");
  const size_t x = words[1].find('x');
  if (x == std::string::npos) Refuse(fileName, line, "'" + words[1] + "' is not <width>x<height>");
  strip.width = ParseNumber(words[1].substr(0, x), 1, 99, "icon width", fileName, line);
  strip.height = ParseNumber(words[1].substr(x + 1), 1, 99, "icon height", fileName, line);
  strip.count = ParseNumber(words[2], minimumCount, 1000, "glyph count", fileName, line);
}

void AddLegendEntry(SkinDescription& skin, const std::vector<std::string>& words,
                    const std::string& fileName, int line) {
  const std::string& kind = words[0];
  const size_t least = kind == "key" ? 4 : 3;
  if (words.size() < least)
    Refuse(fileName, line, kind == "key" ? "key wants <character> <#RRGGBB> <3/4|1/2|1/4> <name>"
                                         : kind + " wants <character> <#RRGGBB> <name>");
  if (words[1].size() != 1 || words[1][0] == '#' || words[1][0] < '!' || words[1][0] > '~')
    Refuse(fileName, line, "'" + words[1] + "' is not one printable character other than '#'");
  const char character = words[1][0];
  if (skin.legend.count(character) != 0)
    Refuse(fileName, line, std::string("'") + character + "' is in the legend twice");
  LegendColour entry;
  entry.colour = ParseColour(words[2], fileName, line);
  size_t nameStart = 3;
  if (kind == "key") {
    static const std::map<std::string, int> shares = {{"3/4", 3}, {"1/2", 2}, {"1/4", 1}};
    const auto share = shares.find(words[3]);
    if (share == shares.end())
      Refuse(fileName, line, "key share '" + words[3] + "' is not 3/4, 1/2 or 1/4");
    entry.keyShare = share->second;
    nameStart = 4;
  }
  for (size_t i = nameStart; i < words.size(); ++i)
    entry.name += (entry.name.empty() ? "" : " ") + words[i];
  if (kind == "background") {
    if (skin.background != 0) Refuse(fileName, line, "a second background");
    skin.background = character;
  }
  skin.legend[character] = entry;
}

// Colours the loader would confuse: a key equal to anything else would blend the wrong
// pixels; the background is replaced everywhere; paper and ink must differ to be read.
void CheckColoursApart(const SkinDescription& skin, const std::string& fileName) {
  if (skin.paper == skin.ink) Refuse(fileName, 0, "paper and ink are the same colour");
  std::map<Rgb, std::string> seen = {{skin.paper, "paper"}, {skin.ink, "ink"}};
  const auto claim = [&](Rgb colour, const std::string& who, bool mayShareWithHeader) {
    const auto it = seen.find(colour);
    if (it != seen.end() && !(mayShareWithHeader && (it->second == "paper" || it->second == "ink")))
      Refuse(fileName, 0, who + " has the colour of " + it->second);
    if (it == seen.end()) seen[colour] = who;
  };
  // The background and the keys first: they may share a colour with nothing.
  claim(skin.legend.at(skin.background).colour, "the background", false);
  for (const auto& [character, entry] : skin.legend)
    if (entry.keyShare != 0) claim(entry.colour, std::string("key '") + character + "'", false);
  for (const auto& [character, entry] : skin.legend)
    if (entry.keyShare == 0 && character != skin.background)
      claim(entry.colour, std::string("colour '") + character + "'", true);
}

int KeyColumnsNeeded(const SkinDescription& skin) {
  int perShare[4] = {0, 0, 0, 0};
  for (const auto& [character, entry] : skin.legend) ++perShare[entry.keyShare];
  return std::max({perShare[1], perShare[2], perShare[3]});
}

std::string ReadWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw SkinSourceError(path.string() + ": cannot be read");
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The glyph's index from a name "<index>-<what it shows>.txt".
int GlyphIndex(const std::filesystem::path& path) {
  const std::string name = path.filename().string();
  const size_t dash = name.find('-');
  if (dash == 0 || dash == std::string::npos ||
      name.find_first_not_of("0123456789") != dash || dash > 4)
    throw SkinSourceError(path.string() + ": the name does not start with the glyph's index and '-'");
  return std::stoi(name.substr(0, dash));
}

void ReadStrip(const std::filesystem::path& folder, const SkinDescription& skin, int which,
               Strip& strip) {
  const int firstIndex = which == 0 ? 1 : 1001;
  const std::filesystem::path stripFolder = folder / (which == 0 ? "strip1" : "strip2");
  strip.glyphs.assign(static_cast<size_t>(strip.count), {});
  std::vector<std::filesystem::path> found(static_cast<size_t>(strip.count));
  if (std::filesystem::is_directory(stripFolder)) {
    for (const auto& item : std::filesystem::directory_iterator(stripFolder)) {
      if (item.path().extension() != ".txt") continue;
      const int index = GlyphIndex(item.path()) - firstIndex;
      if (index < 0 || index >= strip.count)
        throw SkinSourceError(item.path().string() + ": the strip's glyphs are " +
                              std::to_string(firstIndex) + " to " +
                              std::to_string(firstIndex + strip.count - 1));
      std::filesystem::path& slot = found[static_cast<size_t>(index)];
      if (!slot.empty())
        throw SkinSourceError(item.path().string() + ": glyph " + std::to_string(index + firstIndex) +
                              " is also drawn in " + slot.filename().string());
      slot = item.path();
    }
  }
  for (int i = 0; i < strip.count; ++i) {
    const std::filesystem::path& path = found[static_cast<size_t>(i)];
    if (path.empty())
      throw SkinSourceError(stripFolder.string() + ": glyph " + std::to_string(i + firstIndex) +
                            " has no map (<index>-<name>.txt)");
    strip.glyphs[static_cast<size_t>(i)] =
        ParseGlyphMap(ReadWhole(path), path.string(), strip.width, strip.height, skin.legend);
  }
}

}  // namespace

SkinDescription ParseSkinDescription(const std::string& text, const std::string& fileName) {
  SkinDescription skin;
  std::set<std::string> given;
  const std::vector<std::string> lines = SplitLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    const int line = static_cast<int>(i + 1);
    if (IsBlankOrComment(lines[i])) continue;
    const std::vector<std::string> words = Words(lines[i]);
    const std::string& word = words[0];
    const bool legendEntry = word == "colour" || word == "key" || word == "background";
    if (!legendEntry && !given.insert(word).second) Refuse(fileName, line, "'" + word + "' given twice");
    if (word == "name") {
      const size_t start = lines[i].find_first_not_of(" \t", lines[i].find("name") + 4);
      skin.name = start == std::string::npos ? "" : lines[i].substr(start);
      while (!skin.name.empty() && (skin.name.back() == ' ' || skin.name.back() == '\t'))
        skin.name.pop_back();
      if (skin.name.empty() || skin.name.find_first_of("/\\:*?\"<>|") != std::string::npos)
        Refuse(fileName, line, "the name must be a file name");
    } else if (word == "paper" || word == "ink" || word == "separator") {
      if (words.size() != 2) Refuse(fileName, line, word + " wants one colour");
      const Rgb colour = ParseColour(words[1], fileName, line);
      (word == "paper" ? skin.paper : word == "ink" ? skin.ink : skin.separator) = colour;
    } else if (word == "columns") {
      if (words.size() != 2) Refuse(fileName, line, "columns wants one number");
      skin.columns = ParseNumber(words[1], 1, 1000, "columns", fileName, line);
    } else if (word == "strip1" || word == "strip2") {
      ParseStrip(words, skin.strips[word == "strip1" ? 0 : 1], word == "strip1" ? 1 : 0, fileName, line);
    } else if (legendEntry) {
      AddLegendEntry(skin, words, fileName, line);
    } else {
      Refuse(fileName, line, "unknown entry '" + word + "'");
    }
  }
  for (const char* needed : {"name", "paper", "ink", "separator", "columns", "strip1", "strip2"})
    if (given.count(needed) == 0) Refuse(fileName, 0, std::string("'") + needed + "' is missing");
  if (skin.background == 0) Refuse(fileName, 0, "the legend has no background");
  CheckColoursApart(skin, fileName);

  const Strip& first = skin.strips[0];
  const Strip& second = skin.strips[1];
  const int imageWidth = skin.columns * (first.width + 1) - 1;
  const int keyColumns = KeyColumnsNeeded(skin);
  if (imageWidth < kFirstKeyColumn + keyColumns)
    Refuse(fileName, 0, "the image is " + std::to_string(imageWidth) + " pixels wide; the header and " +
                            std::to_string(keyColumns) + " key columns need " +
                            std::to_string(kFirstKeyColumn + keyColumns));
  if (second.width > imageWidth) Refuse(fileName, 0, "the second strip's icons are wider than the image");
  const int columns2 = (imageWidth + 1) / (second.width + 1);
  if ((first.count + skin.columns - 1) / skin.columns > 99 || (second.count + columns2 - 1) / columns2 > 99)
    Refuse(fileName, 0, "a strip has more than 99 rows");
  return skin;
}

std::vector<std::string> ParseGlyphMap(const std::string& text, const std::string& fileName,
                                       int width, int height,
                                       const std::map<char, LegendColour>& legend) {
  std::vector<std::string> rows;
  const std::vector<std::string> lines = SplitLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    const int line = static_cast<int>(i + 1);
    const std::string& row = lines[i];
    if (!row.empty() && row[0] == '#') continue;
    // Blank lines after a complete map are an editor's, not a row.
    if (row.empty() && static_cast<int>(rows.size()) == height) continue;
    if (static_cast<int>(rows.size()) == height)
      Refuse(fileName, line, "more than " + std::to_string(height) + " rows");
    if (static_cast<int>(row.size()) != width)
      Refuse(fileName, line, "the row has " + std::to_string(row.size()) + " pixels, not " +
                                 std::to_string(width));
    for (size_t x = 0; x < row.size(); ++x)
      if (legend.count(row[x]) == 0)
        Refuse(fileName, line, std::string("'") + row[x] + "' (column " + std::to_string(x + 1) +
                                   ") is not in the legend");
    rows.push_back(row);
  }
  if (static_cast<int>(rows.size()) != height)
    Refuse(fileName, 0, std::to_string(rows.size()) + " rows, not " + std::to_string(height));
  return rows;
}

SkinDescription ReadSkinSource(const std::filesystem::path& folder) {
  const std::filesystem::path descriptionPath = folder / "skin.txt";
  SkinDescription skin = ParseSkinDescription(ReadWhole(descriptionPath), descriptionPath.string());
  for (int which = 0; which < 2; ++which) ReadStrip(folder, skin, which, skin.strips[which]);
  // The loader takes the background colour from the first glyph's bottom-left pixel.
  if (skin.strips[0].glyphs[0].back()[0] != skin.background)
    throw SkinSourceError((folder / "strip1").string() +
                          ": glyph 1's bottom-left pixel must be the background, which the "
                          "program reads from there");
  return skin;
}

}  // namespace skinmaker
