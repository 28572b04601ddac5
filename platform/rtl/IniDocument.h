#pragma once
// An INI file held in memory: sections of key=value lines, kept in file order with any other
// lines (comments, blank lines) so that a rewrite changes only what was set. Names compare
// without regard to case. Shared by the profile functions and TIniFile.

#include <optional>
#include <vector>

#include "platform/rtl/AnsiString.h"

class IniDocument {
public:
  // Reads the file; a missing or unreadable file gives an empty document and false.
  bool Load(const AnsiString& path);
  // Writes the whole document to a temporary file beside path, then renames it over path.
  bool Save(const AnsiString& path) const;

  // The value as written after '=', trimmed, with one pair of enclosing quotes removed.
  std::optional<AnsiString> Value(const AnsiString& section, const AnsiString& key) const;
  std::vector<AnsiString> SectionNames() const;
  std::vector<AnsiString> KeyNames(const AnsiString& section) const;
  bool HasSection(const AnsiString& section) const;

  void SetValue(const AnsiString& section, const AnsiString& key, const AnsiString& value);
  void DeleteKey(const AnsiString& section, const AnsiString& key);
  void DeleteSection(const AnsiString& section);

private:
  struct Line {
    AnsiString key;    // empty for a line that is not a key
    AnsiString value;  // the text after '=', or the whole line when it is not a key
  };
  struct Section {
    AnsiString name;
    bool headed = true;  // false for the lines before the first section header
    std::vector<Line> lines;
  };

  const Section* FindSection(const AnsiString& name) const;
  Section* FindSection(const AnsiString& name);

  std::vector<Section> sections_;
};
