#pragma once
// A form's window placement in a settings store section (see SettingsStore.h): the placement
// flags, the show command, the screen's pixels per inch, and the minimised / maximised
// positions and the normal rectangle, each position under its plain name and under a name
// that carries the screen size it was written at ("NormPos(1280x800)"), so that a changed
// screen size reads the plain name (the last written) and the same size reads its own.

#include "platform/rtl/AnsiString.h"

class TCustomForm;
class TObject;

void WriteFormPlacement(TCustomForm* form, TObject* store, const AnsiString& section);
void ReadFormPlacement(TCustomForm* form, TObject* store, const AnsiString& section, bool loadState,
                       bool loadPosition);
inline void WriteFormPlacementReg(TCustomForm* form, TObject* store, const AnsiString& section) {
  WriteFormPlacement(form, store, section);
}
inline void ReadFormPlacementReg(TCustomForm* form, TObject* store, const AnsiString& section, bool loadState,
                                 bool loadPosition) {
  ReadFormPlacement(form, store, section, loadState, loadPosition);
}
// Opens a store of the chosen kind on name and writes / reads the form's placement under
// the form's class name.
void SaveFormPlacement(TCustomForm* form, const AnsiString& name, bool useRegistry);
void RestoreFormPlacement(TCustomForm* form, const AnsiString& name, bool useRegistry);
