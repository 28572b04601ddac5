#pragma once
// Application-level helpers: forms found or made by class, the multi-document children and a
// grid's column widths kept in a settings store, the text form of multi-line values, a unique
// file name in a folder, and a message sent to every form.
//
// Forms are made by class through a registry of form classes (RegisterFormClass), which
// stands in for the framework's making of a form from its class reference.

#include <functional>

#include "platform/vcl/Form.h"

using TFormFactory = std::function<TCustomForm*(TComponent* owner)>;
void RegisterFormClass(TClass cls, TFormFactory factory);
template <class T>
void RegisterFormClass() {
  RegisterFormClass(T::StaticClass(), [](TComponent* owner) -> TCustomForm* { return NewComponent<T>(owner); });
}
TClass FindFormClass(const AnsiString& name);  // null when not registered

// The first form of the screen (in its order) of that class or a class derived from it.
TCustomForm* FindForm(TClass formClass);
// A form of that class (with that caption when one is given) or a new one made by the
// application; a minimised one is restored; it is shown.
TCustomForm* FindShowForm(TClass formClass, const AnsiString& caption);
// Makes the form, shows it modally and frees it: true for OK or Yes.
bool ShowDialog(TClass formClass);
TCustomForm* InstantiateForm(TClass formClass, TCustomForm*& reference);

// Line breaks as the two characters "\n" and back; EInvalidOperation "Line too long" beyond
// 4096 characters.
AnsiString StrToIniStr(const AnsiString& s);
AnsiString IniStrToStr(const AnsiString& s);

// The main form's MDI children by class name, in section "MDI Children" of a settings store.
void SaveMDIChildren(TCustomForm* mainForm, TObject* store);
void RestoreMDIChildren(TCustomForm* mainForm, TObject* store);
inline void SaveMDIChildrenReg(TCustomForm* m, TObject* s) { SaveMDIChildren(m, s); }
inline void RestoreMDIChildrenReg(TCustomForm* m, TObject* s) { RestoreMDIChildren(m, s); }

class TCustomGrid;
// A grid's column widths, "Item0", "Item1", ... in the grid's default section (its form's class
// name and its own name); restoring keeps a column's width when the store has none for it.
void SaveGridLayout(TCustomGrid* grid, TObject* store);
void RestoreGridLayout(TCustomGrid* grid, TObject* store);
inline void SaveGridLayoutReg(TCustomGrid* g, TObject* s) { SaveGridLayout(g, s); }
inline void RestoreGridLayoutReg(TCustomGrid* g, TObject* s) { RestoreGridLayout(g, s); }

// The first name nameFormat (one integer conversion such as "img%03d.png") gives for 0, 1, ...
// that no file in path has; empty when the format has no single integer conversion.
AnsiString GetUniqueFileNameInDir(const AnsiString& path, const AnsiString& nameFormat);
// Sends the message to every form's window in the screen's order; answers the last result.
LRESULT AppBroadcast(UINT msg, WPARAM wParam, LPARAM lParam);
void AppTaskbarIcons(bool appOnly);
