// INI files from untrusted bytes, then edited as the profile functions edit them. The input is
// the file, then optionally a zero byte and an edit script of one edit a line:
//   s<section>|<key>|<value>   set a value
//   k<section>|<key>           delete a key
//   x<section>                 delete a section
// Edits the profile functions refuse (IniDocument::Writable) are skipped, as they skip them.
// Properties: the file alone comes back byte for byte; after the edits every line they did not
// touch comes back byte for byte and in order; a value that was set reads back as set (trimmed,
// one pair of quotes removed), before and after the text is written and read again; a deleted
// key or section is gone; the written text reads back to the same text.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/support/FuzzCheck.h"
#include "platform/rtl/IniDocument.h"
#include "platform/rtl/SysUtils.h"

namespace {

struct Edit {
  char kind = 0;
  AnsiString section, key, value;
};

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t at = 0;
  for (;;) {
    const size_t stop = text.find(separator, at);
    parts.push_back(text.substr(at, stop == std::string::npos ? std::string::npos : stop - at));
    if (stop == std::string::npos) return parts;
    at = stop + 1;
  }
}

std::vector<Edit> ReadScript(const std::string& script) {
  std::vector<Edit> edits;
  for (const std::string& line : Split(script, '\n')) {
    if (line.empty()) continue;
    const std::vector<std::string> fields = Split(line.substr(1), '|');
    Edit edit;
    edit.kind = line[0];
    edit.section = fields[0];
    if (edit.kind == 's' && fields.size() >= 3) {
      edit.key = fields[1];
      edit.value = fields[2];
    } else if (edit.kind == 'k' && fields.size() >= 2) {
      edit.key = fields[1];
    } else if (edit.kind != 'x') {
      continue;
    }
    edits.push_back(edit);
  }
  return edits;
}

// One line of an INI text as this target reads it on its own: the bytes, the line end, and
// what the line is (a section header, a key line, anything else).
struct TextLine {
  std::string text, end;
  bool header = false;
  AnsiString section;  // the header's name, or the section the line is in
  bool inSection = false;  // false before the first header
  AnsiString key;      // key lines only
};

std::vector<TextLine> Lines(const std::string& text) {
  std::vector<TextLine> lines;
  size_t at = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  AnsiString section;
  bool inSection = false;
  while (at < text.size()) {
    const size_t newline = text.find('\n', at);
    size_t stop = newline == std::string::npos ? text.size() : newline;
    const size_t next = newline == std::string::npos ? text.size() : newline + 1;
    if (newline != std::string::npos && stop > at && text[stop - 1] == '\r') --stop;
    TextLine line;
    line.text = text.substr(at, stop - at);
    line.end = text.substr(stop, next - stop);
    at = next;
    const AnsiString trimmed = Trim(line.text);
    if (!trimmed.empty() && trimmed[0] == '[') {
      const size_t close = trimmed.find(']');
      section = Trim(trimmed.substr(1, close == AnsiString::npos ? AnsiString::npos : close - 1));
      inSection = true;
      line.header = true;
    } else {
      size_t first = 0;
      while (first < line.text.size() && static_cast<unsigned char>(line.text[first]) <= ' ') ++first;
      const size_t equals = line.text.find('=', first);
      if (first < line.text.size() && equals != std::string::npos && equals != first) line.key = Trim(line.text.substr(first, equals - first));
    }
    line.section = section;
    line.inSection = inSection;
    lines.push_back(line);
  }
  return lines;
}

AnsiString Folded(const AnsiString& name) { return LowerCase(Trim(name)); }

// What the edits may touch, by folded names.
struct Touched {
  std::map<AnsiString, bool> sections;  // section -> was deleted
  std::map<std::pair<AnsiString, AnsiString>, bool> keys;
  // Lines an edit may change, add or remove: every line of a deleted section, the key lines of
  // edited keys, and the header of a section that only the edits made.
  bool Line(const TextLine& line, const std::map<AnsiString, bool>& existing) const {
    if (!line.inSection) return false;
    const AnsiString section = Folded(line.section);
    const auto found = sections.find(section);
    if (found == sections.end()) return false;
    if (found->second) return true;
    if (line.header) return existing.count(section) == 0;
    return !line.key.empty() && keys.count({section, Folded(line.key)}) != 0;
  }
};

// The lines nobody touched, in order.
std::vector<TextLine> Untouched(const std::vector<TextLine>& lines, const Touched& touched,
                                const std::map<AnsiString, bool>& existing) {
  std::vector<TextLine> kept;
  for (const TextLine& line : lines)
    if (!touched.Line(line, existing)) kept.push_back(line);
  return kept;
}

// The same bytes, but that the last line, without a line end, may have gained one (which a
// carriage return at its end then joins).
bool SameLines(const std::vector<TextLine>& before, const std::vector<TextLine>& after) {
  if (before.size() != after.size()) return false;
  for (size_t i = 0; i < before.size(); ++i) {
    if (!before[i].end.empty() ? before[i].text != after[i].text || before[i].end != after[i].end
                               : (after[i].text + after[i].end).compare(0, before[i].text.size(), before[i].text) != 0)
      return false;
  }
  return true;
}

AnsiString ReadBackForm(const AnsiString& value) {
  const AnsiString trimmed = Trim(value);
  if (trimmed.size() >= 2 && (trimmed.front() == '"' || trimmed.front() == '\'') &&
      trimmed.back() == trimmed.front())
    return trimmed.substr(1, trimmed.size() - 2);
  return trimmed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t zero = input.find('\0');
  const std::string text = input.substr(0, zero);
  const std::vector<Edit> edits = zero == std::string::npos ? std::vector<Edit>() : ReadScript(input.substr(zero + 1));

  IniDocument document;
  document.Parse(text);
  CHECK(document.Text() == text);

  std::map<AnsiString, bool> existing;  // the headed sections of the file
  for (const AnsiString& name : document.SectionNames()) existing[Folded(name)] = true;

  Touched touched;
  // By folded names: the names the last edit gave, and what it leaves there.
  struct Expected {
    AnsiString section, key;
    std::optional<AnsiString> value;
  };
  std::map<std::pair<AnsiString, AnsiString>, Expected> expected;
  for (const Edit& edit : edits) {
    const AnsiString* key = edit.kind == 'x' ? nullptr : &edit.key;
    const AnsiString* value = edit.kind == 's' ? &edit.value : nullptr;
    if (!IniDocument::Writable(edit.section, key, value)) continue;
    const AnsiString section = Folded(edit.section);
    if (edit.kind == 's') {
      document.SetValue(edit.section, edit.key, edit.value);
      expected[{section, Folded(edit.key)}] = Expected{edit.section, edit.key, ReadBackForm(edit.value)};
    } else if (edit.kind == 'k') {
      document.DeleteKey(edit.section, edit.key);
      expected[{section, Folded(edit.key)}] = Expected{edit.section, edit.key, std::nullopt};
    } else {
      document.DeleteSection(edit.section);
      for (auto& [name, what] : expected)
        if (name.first == section) what.value = std::nullopt;
    }
    touched.sections[section] = touched.sections[section] || edit.kind == 'x';
    if (key != nullptr) touched.keys[{section, Folded(edit.key)}] = true;
  }

  const std::string written = document.Text();
  IniDocument again;
  again.Parse(written);
  CHECK(again.Text() == written);
  for (const auto& [name, what] : expected) {
    CHECK(document.Value(what.section, what.key) == what.value);
    CHECK(again.Value(what.section, what.key) == what.value);
  }
  CHECK(SameLines(Untouched(Lines(text), touched, existing), Untouched(Lines(written), touched, existing)));
  return 0;
}
