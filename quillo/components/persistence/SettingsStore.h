#pragma once
// The settings store of form placement, form storage and the list components: either a
// registry key read as an INI file (TRegIniFile) or a real INI file (TIniFile). Every helper
// takes the store as a plain object and decides by its class; any other object reads as the
// defaults and ignores writes.

#include <functional>

#include "platform/rtl/AnsiString.h"
#include "platform/vcl/Component.h"

class TStrings;

AnsiString IniReadString(TObject* store, const AnsiString& section, const AnsiString& ident,
                         const AnsiString& fallback);
// In an INI file a value that the reader would change (blanks at either end, a pair of
// enclosing quotes) is written inside one more pair of double quotes, which the reader takes
// off again, so the value reads back as it was written. The registry keeps values unchanged.
void IniWriteString(TObject* store, const AnsiString& section, const AnsiString& ident, const AnsiString& value);
int IniReadInteger(TObject* store, const AnsiString& section, const AnsiString& ident, int fallback);
void IniWriteInteger(TObject* store, const AnsiString& section, const AnsiString& ident, int value);
bool IniReadBool(TObject* store, const AnsiString& section, const AnsiString& ident, bool fallback);
void IniWriteBool(TObject* store, const AnsiString& section, const AnsiString& ident, bool value);
void IniEraseSection(TObject* store, const AnsiString& section);
void IniDeleteKey(TObject* store, const AnsiString& section, const AnsiString& ident);
void IniReadSections(TObject* store, TStrings* sections);
// The "identifier=value" lines of a section.
void IniReadSectionValues(TObject* store, const AnsiString& section, TStrings* lines);

// Default store names: the program's file name with ".INI", or "Software\<company>\<name>".
extern std::function<AnsiString()> OnGetDefaultIniName;
extern bool RegUseAppTitle;
extern AnsiString DefCompanyName;
AnsiString GetDefaultIniName();
AnsiString GetDefaultIniRegKey();
// The section a component's settings go to by default: a form's class name; a control's
// form class name followed by its own Name; otherwise "Owner.Name".
AnsiString GetDefaultSection(const TComponent* component);
class TControl;
void GetDefaultIniData(const TControl* control, AnsiString& iniFileName, AnsiString& section, bool useRegistry);
