#pragma once
// Storing and restoring the state of every tool window a form owns: visible or not, the dock
// that holds it or floating, its row and position, its floating position and its last dock.
// One core pair works through four callbacks; the registry and INI-file forms wrap it.

#include "platform/rtl/RegistryApi.h"
#include "quillo/components/toolbars/ToolWindow.h"

namespace tbx {

void CustomSaveToolbarPositions(TComponent* form, const TPositionWriteIntProc& writeInt,
                                const TPositionWriteStringProc& writeString);
void CustomLoadToolbarPositions(TComponent* form, const TPositionReadIntProc& readInt,
                                const TPositionReadStringProc& readString);

// One subkey per tool window under baseRegistryKey (HKEY_CURRENT_USER unless rootKey is given).
void RegSaveToolbarPositions(TComponent* form, const AnsiString& baseRegistryKey);
void RegLoadToolbarPositions(TComponent* form, const AnsiString& baseRegistryKey);
void RegSaveToolbarPositionsEx(TComponent* form, HKEY rootKey, const AnsiString& baseRegistryKey);
void RegLoadToolbarPositionsEx(TComponent* form, HKEY rootKey, const AnsiString& baseRegistryKey);

// One section per tool window, named sectionNamePrefix + the tool window's Name.
void IniSaveToolbarPositions(TComponent* form, const AnsiString& fileName, const AnsiString& sectionNamePrefix);
void IniLoadToolbarPositions(TComponent* form, const AnsiString& fileName, const AnsiString& sectionNamePrefix);

}  // namespace tbx
