#pragma once
// Between the settings and the preferences dialog: filling every page from the settings, and
// on OK writing each page back and making each change take effect in the running program.

#include <vector>

#include "platform/rtl/AnsiString.h"

class TMainForm;
class TPreferences;

// Every control from the settings; the Extensions page from the registry's links.
void FillPreferences(TPreferences* dialog);
// Writes the pages back in their order and applies each change at once (or, for the
// taskbar choice, at the next start).
void ApplyPreferences(TPreferences* dialog, TMainForm* form);
// The extensions of the formats whose Extensions-page state changed are linked (checked) or
// given back (unchecked); the ones the registry refused are answered.
std::vector<AnsiString> ApplyExtensionChanges(const TPreferences* dialog);
