#pragma once
// The decoded text of a language file: sections, each opened by a line whose first character
// is '[' ("[Messages]", "[InfoForm]", "[Translations]"), lines ending in CR LF or LF.
//
// "[Messages]" holds key=value lines: key and value trimmed, then every '@' in the value
// made a space (the way to keep leading or trailing blanks). A window section holds entries
// path=value, where the path names components separated by '.' and ends in a property, and
// lines '>' + name that make the application's form of that name the one later paths start
// from. In both, empty lines and lines starting with ';' are comments.

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/rtl/AnsiString.h"

class LanguageText {
public:
  struct Entry {
    bool selectsForm = false;  // a '>' line: name is the form's name
    AnsiString name;           // the path, trimmed
    AnsiString value;          // trailing blanks cut, '@' still in place
  };

  explicit LanguageText(std::string text);
  LanguageText(const LanguageText&) = delete;  // the headings point into the text
  LanguageText& operator=(const LanguageText&) = delete;

  // The first "[Messages]" section (heading compared without regard to case), in file
  // order, with values ready to show; empty when the text has none.
  std::vector<std::pair<AnsiString, AnsiString>> Messages() const;

  // The entries of the first section whose heading line, trimmed, is `heading` exactly;
  // false when there is no such section.
  bool SectionEntries(const AnsiString& heading, std::vector<Entry>& entries) const;

  const std::string& Text() const { return text_; }

private:
  std::string text_;
  std::vector<std::pair<std::size_t, std::size_t>> lines_;  // start and length, without the LF
  std::unordered_map<std::string_view, std::size_t> headings_;  // trimmed heading -> its first line

  std::string_view Line(std::size_t index) const {
    return std::string_view(text_).substr(lines_[index].first, lines_[index].second);
  }
};

// '@' becomes a space: how a language file writes blanks that trimming would lose.
AnsiString UnescapeBlanks(AnsiString value);
