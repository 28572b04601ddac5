#pragma once
// Translation of windows from their sections of the language file. A window's constructor
// calls TranslateForm("[" + its name + "]") once its components exist and are named. Each
// entry "path=value" names components from the window down ("OkBtn.Caption",
// "Panel1.SizeCombo.Items") and ends in a published property, which may itself be a path
// through sub-objects ("OkBtn.Font.Name"). Strings are set as they are, integers from their
// decimal text, enumerations, sets and floats from their text form, and string lists from
// parts separated by '|'. An entry that names no component or property, or whose value the
// property refuses, is skipped: a bad line never stops a window from being made.

#include "platform/rtl/AnsiString.h"

class TComponent;

// Applies the section of the loaded language to the application's form named by the section
// (its name without the brackets); ">" lines switch to other forms. Nothing without a
// loaded language or when the section is missing.
void TranslateForm(const AnsiString& section);
// The same from a given top component, for a window that the application does not own.
void TranslateComponent(TComponent* top, const AnsiString& section);
// After a change of language: every form the application owns from its own section, then
// the "[Translations]" section.
void RetranslateOpenWindows();
