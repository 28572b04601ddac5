#include "quillo/plugins/ComponentDescription.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/rtl/SysUtils.h"
#include "quillo/base/Language.h"

ComponentRecords ComponentTable;
int ComponentCount = 0;
int CurrentComponent = 0;
std::vector<AnsiString> ComponentFileList;

QLCDSTR* CurrentRecord() {
  if (CurrentComponent < 0 || CurrentComponent >= ComponentCount) return nullptr;
  return &ComponentTable[static_cast<std::size_t>(CurrentComponent)];
}

bool QLCDSTR::HasOptionPage() const {
  for (const AnsiString& text : OptionTexts)
    if (text.size() >= 3) return true;
  return false;
}

AnsiString DescriptionValue(const AnsiString& description, const char* key) {
  const std::size_t at = description.find(key);
  if (at == AnsiString::npos) return {};
  const std::size_t start = at + std::strlen(key);
  const std::size_t end = description.find('\r', start);
  return description.substr(start, end == AnsiString::npos ? AnsiString::npos : end - start);
}

AnsiString TranslateMarked(const AnsiString& text) {
  AnsiString translated = LangMessage("~" + text);
  // A missing key comes back as itself, and an absent table as nothing.
  if (translated.empty()) return text;
  if (translated[0] == '~') translated.erase(0, 1);
  return translated;
}

const char* DescriptionFaultText(DescriptionFault fault) {
  switch (fault) {
    case DescriptionFault::None: return "";
    case DescriptionFault::NoVersion: return "no readable version";
    case DescriptionFault::OldVersion: return "version below 2.0";
    case DescriptionFault::BadHelpContext: return "help context is not a number";
    case DescriptionFault::BadIcon: return "icon is not a glyph number";
  }
  return "";
}

namespace {

// A whole decimal integer (leading and trailing blanks allowed).
bool ReadInteger(const AnsiString& text, long& value) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  value = std::strtol(begin, &end, 10);
  if (end == begin || errno != 0) return false;
  while (*end == ' ') ++end;
  return *end == '\0';
}

// A leading decimal integer, as "%d" reads it.
bool ReadLeadingInteger(const AnsiString& text, long& value) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  value = std::strtol(begin, &end, 10);
  return end != begin && errno == 0;
}

// A version: digits with an optional "." and more digits, nothing else.
bool ReadVersion(const AnsiString& text, double& value) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  const std::size_t start = i;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
  if (i == start) return false;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
  }
  const std::size_t numberEnd = i;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i != text.size()) return false;
  value = std::strtod(text.substr(start, numberEnd - start).c_str(), nullptr);
  return true;
}

// The largest glyph index a skin can hold.
constexpr long MaxGlyphIndex = 65535;

}  // namespace

int OptionTypeCode(char letter) {
  static const char letters[] = "IFBTCSLOPG";
  const char* at = std::strchr(letters, letter);
  return letter != '\0' && at ? static_cast<int>(at - letters) + 1 : QLC_OPT_NONE;
}

int OptionSlotSize(int type) {
  switch (type) {
    case QLC_OPT_FLOAT: return 8;
    case QLC_OPT_NONE:
    case QLC_OPT_BUTTON:
    case QLC_OPT_TEXT: return 0;
    default: return 4;
  }
}

int OptionLevel(const AnsiString& descriptor) {
  if (descriptor.size() < 2) return 0;
  const char digit = descriptor[1];
  return std::isdigit(static_cast<unsigned char>(digit)) ? digit - '0' : 0;
}

std::vector<AnsiString> OptionFields(const AnsiString& descriptor) {
  std::vector<AnsiString> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = descriptor.find(',', start);
    fields.push_back(descriptor.substr(start, comma == AnsiString::npos ? AnsiString::npos : comma - start));
    if (comma == AnsiString::npos) return fields;
    start = comma + 1;
  }
}

std::int32_t ReadSlot32(const std::uint8_t* block, int offset) {
  std::int32_t value;
  std::memcpy(&value, block + offset, sizeof value);
  return value;
}

double ReadSlotDouble(const std::uint8_t* block, int offset) {
  double value;
  std::memcpy(&value, block + offset, sizeof value);
  return value;
}

void WriteSlot32(std::uint8_t* block, int offset, std::int32_t value) {
  std::memcpy(block + offset, &value, sizeof value);
}

void WriteSlotDouble(std::uint8_t* block, int offset, double value) {
  std::memcpy(block + offset, &value, sizeof value);
}

int OptionSlotOffset(const QLCDSTR& record, int option) {
  int offset = 0;
  for (int i = 0; i < option && i < QLC_MAX_OPTIONS; ++i) offset += OptionSlotSize(record.OptionTypes[static_cast<std::size_t>(i)]);
  return offset;
}

namespace {

// The field at index, or empty.
AnsiString FieldAt(const std::vector<AnsiString>& fields, std::size_t index) {
  return index < fields.size() ? fields[index] : AnsiString();
}

std::int32_t IntegerField(const std::vector<AnsiString>& fields, std::size_t index) {
  long value = 0;
  return ReadLeadingInteger(FieldAt(fields, index), value) ? static_cast<std::int32_t>(value) : 0;
}

// The default of one option into its slot at block + offset.
void ReadDefault(int type, const std::vector<AnsiString>& fields, std::uint8_t* slot) {
  switch (type) {
    case QLC_OPT_INTEGER:
    case QLC_OPT_SCROLL: WriteSlot32(slot, 0, IntegerField(fields, 4)); break;
    case QLC_OPT_CHECK:
    case QLC_OPT_DOCUMENT: WriteSlot32(slot, 0, IntegerField(fields, 2)); break;
    case QLC_OPT_FLOAT: {
      const AnsiString text = FieldAt(fields, 6);
      char* end = nullptr;
      const double value = std::strtod(text.c_str(), &end);
      WriteSlotDouble(slot, 0, end != text.c_str() ? value : 0.0);
      break;
    }
    case QLC_OPT_LIST: {
      const std::int32_t n = IntegerField(fields, 2);
      WriteSlot32(slot, 0, n >= 0 ? IntegerField(fields, 3 + static_cast<std::size_t>(n)) : 0);
      break;
    }
    case QLC_OPT_COLOR: {
      const AnsiString text = FieldAt(fields, 2);
      char* end = nullptr;
      const unsigned long value = std::strtoul(text.c_str(), &end, 16);
      WriteSlot32(slot, 0, end != text.c_str() ? static_cast<std::int32_t>(value & 0xFFFFFF) : 0);
      break;
    }
    case QLC_OPT_POINT: {
      const auto x = static_cast<std::uint16_t>(IntegerField(fields, 2));
      const auto y = static_cast<std::uint16_t>(IntegerField(fields, 3));
      std::memcpy(slot, &x, 2);
      std::memcpy(slot + 2, &y, 2);
      break;
    }
    default: break;
  }
}

}  // namespace

void ParseComponentOptions(QLCDSTR& record) {
  record.OptionTypes.fill(0);
  record.DefaultValues.fill(0);
  int offset = 0;
  for (std::size_t i = 0; i < QLC_MAX_OPTIONS; ++i) {
    const AnsiString& text = record.OptionTexts[i];
    if (text.size() < 3) break;
    const int type = OptionTypeCode(text[0]);
    record.OptionTypes[i] = static_cast<std::uint8_t>(type);
    const int size = OptionSlotSize(type);
    if (size == 0) continue;
    ReadDefault(type, OptionFields(text), record.DefaultValues.data() + offset);
    offset += size;
  }
}

DescriptionFault ParseComponentDesc(const AnsiString& description, QLCDSTR& record) {
  double version = 0;
  if (!ReadVersion(DescriptionValue(description, "Ver="), version)) return DescriptionFault::NoVersion;
  if (version < 2.0) return DescriptionFault::OldVersion;
  record.Version = static_cast<float>(version);

  const AnsiString help = DescriptionValue(description, "Help=");
  const std::size_t comma = help.find(',');
  if (comma == AnsiString::npos) {
    record.HelpFile = TranslateMarked(UpperCase(help));
    record.HelpContext = 100;
  } else {
    long context = 0;
    if (!ReadInteger(help.substr(comma + 1), context)) return DescriptionFault::BadHelpContext;
    record.HelpFile = help.substr(0, comma);
    record.HelpContext = static_cast<int>(context);
  }

  record.Name = DescriptionValue(description, "Name=");
  record.Copyright = DescriptionValue(description, "Copyright=");
  record.Contact = DescriptionValue(description, "Contact=");
  record.Options = DescriptionValue(description, "Opt=");

  record.IconGlyph = -1;
  const AnsiString icon = DescriptionValue(description, "Icon=");
  if (!icon.empty()) {
    long glyph = 0;
    if (!ReadInteger(icon, glyph) || glyph < 0 || glyph > MaxGlyphIndex) return DescriptionFault::BadIcon;
    record.IconGlyph = static_cast<int>(glyph);
  }

  for (std::size_t i = 0; i < QLC_MAX_OPTIONS; ++i)
    record.OptionTexts[i] = DescriptionValue(description, ("Par" + std::to_string(i + 1) + "=").c_str());
  ParseComponentOptions(record);
  record.SavedValues = record.DefaultValues;
  return DescriptionFault::None;
}
