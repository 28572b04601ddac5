#pragma once
// The library's bitmap fonts ("*.rfn"). The font folder is set at library start-up and always
// ends in '/'. On first use every size of every font file in that folder is entered in a
// registry, kept in the cache "fonts.bin" beside the fonts while the font files stay unchanged
// and still hold what the cache says of them.
// An RFont selects one registry entry (a font name at one size) and carries the caller's
// spacing overrides; Buffer::OutChar, OutText and GetTextExtent draw and measure with it.

#include <cstdint>

#include "platform/rtl/AnsiString.h"
#include "vorlen/core/Types.h"

// One font file of the folder, as the registry and the cache know it.
struct RFontFileRecord {
  const char* name = nullptr;  // the file name within the font folder
  uint size = 0;
  uint timeLow = 0;  // last-write time, nanoseconds since 1970, low word first
  uint timeHigh = 0;
  uint version = 0;
};

// The glyphs of one size, made ready for drawing by RFont::Prepare.
struct RFontGlyphs;

// One size of one font.
struct RFontEntry {
  const char* name = nullptr;      // shared by all entries of one name
  int count = 0;                   // in the first entry of a name: its number of entries
  RFontFileRecord* file = nullptr;
  uint dataPos = 0;                // file position just after the size's "DESC" chunk
  uchar height = 0;                // DESC byte 0: the glyph height in rows, the size
  uchar rowBytes = 0;              // DESC byte 1
  uchar first = 0;                 // DESC byte 2: first character code
  uchar last = 0;                  // DESC byte 3: last character code
  uchar spacing = 0;               // DESC byte 4
  uchar space = 0;                 // DESC byte 5: width of a space
  uchar kept = 0;                  // DESC byte 9
  uchar zero = 0;
  uint glyphBytes = 0;             // height x rowBytes
  RFontGlyphs* glyphs = nullptr;   // prepared data, null until Prepare
  int refs = 0;                    // RFont objects selecting this entry
};

class RFont {
public:
  // The spacing overrides hold this while the font's own value is used.
  static constexpr int kFontValue = static_cast<int>(0x80000000);

  static void InitReg();
  // Releases the registry and its prepared glyphs; the next InitReg builds it again. Fonts
  // still selecting an entry must be released first.
  static void FreeReg();
  static char* GetPath();
  static RFontEntry* GetReg();
  static int GetCount();

  RFont();
  RFont(const RFont& other);
  RFont& operator=(const RFont& other);
  ~RFont();

  AnsiString GetName() const;
  void SetName(AnsiString name);
  int GetSize() const;
  void SetSize(int size);
  int GetSpacing() const;
  int GetSpaceSize() const;
  void Prepare();
  void Unprepare();

  // The selected entry's prepared glyphs, or null (no size selected, or no glyph data).
  const RFontGlyphs* Glyphs() const;

  int kerning = 1;  // 1: neighbouring glyphs are fitted by their ink; 0: fixed cells
  int space_size = kFontValue;
  int spacing = kFontValue;
  int reserved = 0;
  RFontEntry* entry = nullptr;

  static char path[260];

private:
  void Select(RFontEntry* chosen);
};
