#pragma once
// An INI file held in memory: sections of key=value lines, kept in file order with any other
// lines (comments, blank lines, anything else), each with its own bytes and line end, so that
// a rewrite changes only what was set: every other line comes back byte for byte, a UTF-8
// byte-order mark included. Names compare trimmed and without regard to case. Shared by the
// profile functions and TIniFile.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/rtl/AnsiString.h"

class IniDocument {
public:
  // Reads the file; a missing or unreadable file, one that is not a regular file (a pipe, a
  // device: never waited on) or one larger than a settings file may be gives an empty
  // document and false.
  bool Load(const AnsiString& path);
  void Parse(const std::string& text);
  std::string Text() const;

  // Changes the file at path in one locked read-modify-write (UpdateFileText): the file is
  // read as it is at that moment, change edits it, and it is written back only when its text
  // changed. Creates the file's folder when missing. Raises the file errors of UpdateFileText.
  static void Edit(const AnsiString& path, const std::function<void(IniDocument&)>& change);

  // The value as written after '=', trimmed, with one pair of enclosing quotes removed.
  std::optional<AnsiString> Value(const AnsiString& section, const AnsiString& key) const;
  std::vector<AnsiString> SectionNames() const;
  std::vector<AnsiString> KeyNames(const AnsiString& section) const;
  bool HasSection(const AnsiString& section) const;

  // Whether a section, key (when given) and value (when given) would be written back as the
  // same names and value: false for text that would read back as other lines, another section
  // or another key (a line break, a ']' in a section, an empty key, '=' in a key, a key
  // starting with '[').
  static bool Writable(const AnsiString& section, const AnsiString* key, const AnsiString* value);

  void SetValue(const AnsiString& section, const AnsiString& key, const AnsiString& value);
  void DeleteKey(const AnsiString& section, const AnsiString& key);
  void DeleteSection(const AnsiString& section);

private:
  struct Line {
    std::string text;  // the line's bytes without its line end
    std::string end;   // "\r\n", "\n", or "" for a last line without one
    AnsiString key;    // trimmed; empty for a line that is not a key
    size_t valueBegin = 0;  // the trimmed value within text
    size_t valueEnd = 0;
  };
  struct Section {
    AnsiString name;
    bool headed = true;  // false for the lines before the first section header
    Line header;
    std::vector<Line> lines;
  };

  static Line KeyLine(const std::string& text, const std::string& end);
  static bool IsKey(const Line& line, const AnsiString& key);
  const Section* FindSection(const AnsiString& name) const;
  Section* FindSection(const AnsiString& name);

  std::string byteOrderMark_;
  std::string lineEnd_ = "\r\n";  // for new lines: the file's first line end, else Windows'
  std::vector<Section> sections_;
};
