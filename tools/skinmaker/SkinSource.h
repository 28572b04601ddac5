#pragma once
// The editable source of a skin: a description file (skin.txt: header colours, the colour
// legend, the two strips' icon sizes and glyph counts) and one text map per glyph, one
// character per pixel. ReadSkinSource reads a whole skin folder; the parse functions take
// text so that their refusals can be checked without files.

#include <cstdint>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace skinmaker {

// 0x00RRGGBB.
using Rgb = std::uint32_t;

// A refusal naming the file (and line, when one is at fault): "file:line: what".
class SkinSourceError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A legend entry. A key colour is blended toward the button face when the skin is loaded;
// keyShare is the key's share in quarters (3, 2 or 1), 0 for a plain colour.
struct LegendColour {
  Rgb colour = 0;
  int keyShare = 0;
  std::string name;
};

struct Strip {
  int width = 0;
  int height = 0;
  int count = 0;
  // Glyph n (1-based) is glyphs[n - 1]: height rows of width legend characters.
  std::vector<std::vector<std::string>> glyphs;
};

struct SkinDescription {
  std::string name;
  Rgb paper = 0;      // header paper; the loader compares digits and key marks with it
  Rgb ink = 0;        // header digits and key-column marks
  Rgb separator = 0;  // the lines between icons
  char background = 0;
  int columns = 0;  // icons a row in the first strip; fixes the image width
  std::map<char, LegendColour> legend;
  Strip strips[2];
};

// Parses skin.txt. fileName is used in messages only.
SkinDescription ParseSkinDescription(const std::string& text, const std::string& fileName);

// Parses one glyph map of width x height characters from the legend. Lines starting with '#'
// are comments; every other line is a row of the map.
std::vector<std::string> ParseGlyphMap(const std::string& text, const std::string& fileName,
                                       int width, int height,
                                       const std::map<char, LegendColour>& legend);

// Reads folder/skin.txt and the glyph maps folder/strip1/<n>-<name>.txt (n = 1 ..) and
// folder/strip2/<n>-<name>.txt (n = 1001 ..); every glyph of each strip's count must be there
// once, and no other.
SkinDescription ReadSkinSource(const std::filesystem::path& folder);

}  // namespace skinmaker
