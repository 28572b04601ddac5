#pragma once
// The framework's INI files. TCustomIniFile holds what every INI store shares (numbers and
// booleans read through strings, section values as name=value lines); TIniFile reads and
// writes a real INI file (IniDocument) at each call, by the profile functions' rules: a file
// name without a folder lives in the Windows folder, names match without regard to case,
// values are trimmed and lose one pair of enclosing quotes. Each write is one locked
// read-modify-write of the file, so writers in other threads and processes lose nothing.
//
// A write whose text would break the file's lines (a line break anywhere, a section name
// with ']', an identifier that is empty, holds '=' or starts with '[') is refused with
// EIniFileException, as is a write the file cannot take; the file then stays as it was.

#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Object.h"

class TStrings;

class EIniFileException : public Exception {
public:
  explicit EIniFileException(AnsiString message);
  ~EIniFileException() override;
};

class TCustomIniFile : public TObject {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCustomIniFile(const AnsiString& fileName);
  ~TCustomIniFile() override;

  const AnsiString& FileName() const { return fileName_; }

  virtual AnsiString ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback) = 0;
  virtual void WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) = 0;
  // A number in decimal, or hexadecimal after "0x" or "$"; anything else gives fallback.
  virtual int ReadInteger(const AnsiString& section, const AnsiString& ident, int fallback);
  virtual void WriteInteger(const AnsiString& section, const AnsiString& ident, int value);
  // A number other than 0 is true; written as "1" and "0".
  virtual bool ReadBool(const AnsiString& section, const AnsiString& ident, bool fallback);
  virtual void WriteBool(const AnsiString& section, const AnsiString& ident, bool value);

  // Each fills strings after emptying it: identifiers of a section, the sections, and
  // "identifier=value" lines of a section.
  virtual void ReadSection(const AnsiString& section, TStrings* strings) = 0;
  virtual void ReadSections(TStrings* strings) = 0;
  virtual void ReadSectionValues(const AnsiString& section, TStrings* strings);
  virtual void EraseSection(const AnsiString& section) = 0;
  virtual void DeleteKey(const AnsiString& section, const AnsiString& ident) = 0;
  virtual void UpdateFile() = 0;

  // Whether the section has an identifier, and whether it has this one.
  bool SectionExists(const AnsiString& section);
  bool ValueExists(const AnsiString& section, const AnsiString& ident);

private:
  AnsiString fileName_;
};

class TIniFile : public TCustomIniFile {
  QUILLO_DECLARE_CLASS()

public:
  explicit TIniFile(const AnsiString& fileName);
  ~TIniFile() override;

  AnsiString ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback) override;
  void WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) override;
  void ReadSection(const AnsiString& section, TStrings* strings) override;
  void ReadSections(TStrings* strings) override;
  void EraseSection(const AnsiString& section) override;
  void DeleteKey(const AnsiString& section, const AnsiString& ident) override;
  void UpdateFile() override;  // nothing to do: every write goes to the file at once

private:
  AnsiString path_;  // the file the name stands for
};

namespace VclText {
inline constexpr const char* IniFileWriteError = "Unable to write to %s";
}  // namespace VclText
