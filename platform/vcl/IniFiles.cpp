#include "platform/vcl/IniFiles.h"

#include <utility>

#include "platform/rtl/IniDocument.h"
#include "platform/rtl/Profile.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Strings.h"

EIniFileException::EIniFileException(AnsiString message) : Exception(std::move(message)) {}
EIniFileException::~EIniFileException() = default;

QUILLO_DEFINE_CLASS(TCustomIniFile, TObject)
QUILLO_DEFINE_CLASS(TIniFile, TCustomIniFile)

// ---- TCustomIniFile ----

TCustomIniFile::TCustomIniFile(const AnsiString& fileName) : fileName_(fileName) {}

TCustomIniFile::~TCustomIniFile() = default;

int TCustomIniFile::ReadInteger(const AnsiString& section, const AnsiString& ident, int fallback) {
  return StrToIntDef(ReadString(section, ident, ""), fallback);
}

void TCustomIniFile::WriteInteger(const AnsiString& section, const AnsiString& ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const AnsiString& section, const AnsiString& ident, bool fallback) {
  return ReadInteger(section, ident, fallback ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const AnsiString& section, const AnsiString& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

void TCustomIniFile::ReadSectionValues(const AnsiString& section, TStrings* strings) {
  TStringList idents;
  ReadSection(section, &idents);
  TStringsUpdate update(strings);
  strings->Clear();
  for (int i = 0; i < idents.Count(); ++i)
    strings->Add(idents.Get(i) + "=" + ReadString(section, idents.Get(i), ""));
}

bool TCustomIniFile::SectionExists(const AnsiString& section) {
  TStringList idents;
  ReadSection(section, &idents);
  return idents.Count() > 0;
}

bool TCustomIniFile::ValueExists(const AnsiString& section, const AnsiString& ident) {
  TStringList idents;
  ReadSection(section, &idents);
  return idents.IndexOf(ident) >= 0;
}

// ---- TIniFile ----

TIniFile::TIniFile(const AnsiString& fileName) : TCustomIniFile(fileName), path_(ProfileFilePath(fileName)) {}

TIniFile::~TIniFile() = default;

AnsiString TIniFile::ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback) {
  IniDocument ini;
  ini.Load(path_);
  return ini.Value(section, ident).value_or(fallback);
}

void TIniFile::WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) {
  if (!IniDocument::Writable(section, &ident, &value)) throw EIniFileException(Format(VclText::IniFileWriteError, FileName().c_str()));
  try {
    IniDocument::Edit(path_, [&](IniDocument& ini) { ini.SetValue(section, Trim(ident), value); });
  } catch (const Exception&) {
    throw EIniFileException(Format(VclText::IniFileWriteError, FileName().c_str()));
  }
}

void TIniFile::ReadSection(const AnsiString& section, TStrings* strings) {
  IniDocument ini;
  ini.Load(path_);
  TStringsUpdate update(strings);
  strings->Clear();
  for (const AnsiString& ident : ini.KeyNames(section)) strings->Add(ident);
}

void TIniFile::ReadSections(TStrings* strings) {
  IniDocument ini;
  ini.Load(path_);
  TStringsUpdate update(strings);
  strings->Clear();
  for (const AnsiString& section : ini.SectionNames()) strings->Add(section);
}

void TIniFile::EraseSection(const AnsiString& section) {
  try {
    IniDocument::Edit(path_, [&](IniDocument& ini) { ini.DeleteSection(section); });
  } catch (const Exception&) {
    throw EIniFileException(Format(VclText::IniFileWriteError, FileName().c_str()));
  }
}

void TIniFile::DeleteKey(const AnsiString& section, const AnsiString& ident) {
  try {
    IniDocument::Edit(path_, [&](IniDocument& ini) { ini.DeleteKey(section, ident); });
  } catch (const Exception&) {
    throw EIniFileException(Format(VclText::IniFileWriteError, FileName().c_str()));
  }
}

void TIniFile::UpdateFile() {}
