#include "quillo/components/toolbars/ToolbarPositions.h"

#include <algorithm>
#include <vector>

#include "platform/vcl/IniFiles.h"
#include "platform/vcl/Registry.h"
#include "quillo/components/toolbars/ToolbarTexts.h"

namespace tbx {

namespace {

constexpr int CurrentRev = 3;

// A stored row or coordinate beyond what a dock or a screen can hold is damage (a row number
// near 2^31 would have the dock walk two billion rows, a coordinate there overflow): it is
// clamped, so the toolbar still shows.
constexpr int MaxDockRow = 255;
int ClampCoordinate(int v) { return std::clamp(v, -32768, 32767); }

TDockX* FindDockNamed(TComponent* form, const AnsiString& name) {
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* dock = dynamic_cast<TDockX*>(form->Components(i)); dock && dock->GetName() == name) return dock;
  return nullptr;
}

void SaveOne(TCustomToolWindowX* t, const TPositionWriteIntProc& writeInt,
             const TPositionWriteStringProc& writeString) {
  const AnsiString name = t->GetName();
  if (name.empty()) throw EInvalidOperation(text::ToolwinNameNotSet);
  AnsiString dockedTo;
  if (!t->GetDockedTo()) {
    dockedTo = "+";
  } else if (t->GetDockedTo()->GetAllowDrag()) {
    dockedTo = t->GetDockedTo()->GetName();
    if (dockedTo.empty()) throw EInvalidOperation(text::ToolwinDockedToNameNotSet);
  }
  writeInt(name, "Rev", CurrentRev);
  writeInt(name, "Visible", t->GetVisible() ? 1 : 0);
  writeString(name, "DockedTo", dockedTo);
  writeString(name, "LastDock", t->GetLastDock() ? t->GetLastDock()->GetName() : AnsiString());
  writeInt(name, "DockRow", t->GetDockRow());
  writeInt(name, "DockPos", t->GetDockPos());
  writeInt(name, "FloatLeft", t->FloatingPosition().x);
  writeInt(name, "FloatTop", t->FloatingPosition().y);
  t->WritePositionData(writeInt, writeString);
}

void ApplyPosition(TComponent* form, TCustomToolWindowX* t, TDockX* dock, int rev,
                   const TPositionReadIntProc& readInt, const TPositionReadStringProc& readString) {
  const AnsiString name = t->GetName();
  t->SetDockRow(std::clamp(readInt(name, "DockRow", t->GetDockRow()), 0, MaxDockRow));
  t->SetDockPos(ClampCoordinate(readInt(name, "DockPos", t->GetDockPos())));
  TPoint floating(ClampCoordinate(readInt(name, "FloatLeft", 0)), ClampCoordinate(readInt(name, "FloatTop", 0)));
  t->ReadPositionData(readInt, readString);
  t->SetFloatingPosition(floating);
  if (dock) {
    t->SetDockedTo(dock);
  } else {
    t->SetDockedTo(nullptr);
    t->MoveFloatingTo(floating);
    t->MoveOnScreen(true);
    if (rev >= 3 && t->GetUseLastDock()) {
      AnsiString lastDock = readString(name, "LastDock", "");
      if (TDockX* last = FindDockNamed(form, lastDock); last && !lastDock.empty()) t->SetLastDock(last);
    }
  }
  t->ArrangeControls();
  t->DoneReadingPositionData(readInt, readString);
}

void LoadOne(TComponent* form, TCustomToolWindowX* t, const TPositionReadIntProc& readInt,
             const TPositionReadStringProc& readString) {
  const AnsiString name = t->GetName();
  if (name.empty()) throw EInvalidOperation(text::ToolwinLoadNameNotSet);
  int rev = readInt(name, "Rev", 0);
  if (rev != 2 && rev != 3) return;
  t->SetVisible(readInt(name, "Visible", t->GetVisible() ? 1 : 0) != 0);
  AnsiString dockedTo = readString(name, "DockedTo", "");
  if (dockedTo.empty()) return;
  if (dockedTo == "+") {
    ApplyPosition(form, t, nullptr, rev, readInt, readString);
    return;
  }
  TDockX* dock = FindDockNamed(form, dockedTo);
  if (dock && dock->GetAllowDrag()) ApplyPosition(form, t, dock, rev, readInt, readString);
}

}  // namespace

void CustomSaveToolbarPositions(TComponent* form, const TPositionWriteIntProc& writeInt,
                                const TPositionWriteStringProc& writeString) {
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* t = dynamic_cast<TCustomToolWindowX*>(form->Components(i))) SaveOne(t, writeInt, writeString);
}

void CustomLoadToolbarPositions(TComponent* form, const TPositionReadIntProc& readInt,
                                const TPositionReadStringProc& readString) {
  std::vector<TDockX*> docks;
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* dock = dynamic_cast<TDockX*>(form->Components(i))) docks.push_back(dock);
  for (TDockX* dock : docks) dock->BeginUpdate();
  // Each dock arranges once, at the end, also when a record fails.
  struct EndUpdates {
    std::vector<TDockX*>& docks;
    ~EndUpdates() {
      for (auto it = docks.rbegin(); it != docks.rend(); ++it) (*it)->EndUpdate();
    }
  } endUpdates{docks};
  std::vector<TCustomToolWindowX*> windows;
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* t = dynamic_cast<TCustomToolWindowX*>(form->Components(i))) windows.push_back(t);
  for (TCustomToolWindowX* t : windows) LoadOne(form, t, readInt, readString);
}

void RegSaveToolbarPositions(TComponent* form, const AnsiString& baseRegistryKey) {
  RegSaveToolbarPositionsEx(form, HKEY_CURRENT_USER, baseRegistryKey);
}

void RegLoadToolbarPositions(TComponent* form, const AnsiString& baseRegistryKey) {
  RegLoadToolbarPositionsEx(form, HKEY_CURRENT_USER, baseRegistryKey);
}

namespace {
TOwnedPtr<TRegIniFile> OpenRegIni(HKEY rootKey, const AnsiString& baseRegistryKey) {
  auto ini = MakeObject<TRegIniFile>("");
  ini->SetRootKey(rootKey);
  ini->OpenKey(baseRegistryKey, true);
  return ini;
}
}  // namespace

void RegSaveToolbarPositionsEx(TComponent* form, HKEY rootKey, const AnsiString& baseRegistryKey) {
  auto ini = OpenRegIni(rootKey, baseRegistryKey);
  CustomSaveToolbarPositions(
      form, [&](const AnsiString& t, const AnsiString& v, int d) { ini->WriteInteger(t, v, d); },
      [&](const AnsiString& t, const AnsiString& v, const AnsiString& d) { ini->WriteString(t, v, d); });
}

void RegLoadToolbarPositionsEx(TComponent* form, HKEY rootKey, const AnsiString& baseRegistryKey) {
  auto ini = OpenRegIni(rootKey, baseRegistryKey);
  CustomLoadToolbarPositions(
      form, [&](const AnsiString& t, const AnsiString& v, int d) { return ini->ReadInteger(t, v, d); },
      [&](const AnsiString& t, const AnsiString& v, const AnsiString& d) { return ini->ReadString(t, v, d); });
}

void IniSaveToolbarPositions(TComponent* form, const AnsiString& fileName, const AnsiString& sectionNamePrefix) {
  auto ini = MakeObject<TIniFile>(fileName);
  CustomSaveToolbarPositions(
      form, [&](const AnsiString& t, const AnsiString& v, int d) { ini->WriteInteger(sectionNamePrefix + t, v, d); },
      [&](const AnsiString& t, const AnsiString& v, const AnsiString& d) {
        ini->WriteString(sectionNamePrefix + t, v, d);
      });
}

void IniLoadToolbarPositions(TComponent* form, const AnsiString& fileName, const AnsiString& sectionNamePrefix) {
  auto ini = MakeObject<TIniFile>(fileName);
  CustomLoadToolbarPositions(
      form,
      [&](const AnsiString& t, const AnsiString& v, int d) { return ini->ReadInteger(sectionNamePrefix + t, v, d); },
      [&](const AnsiString& t, const AnsiString& v, const AnsiString& d) {
        return ini->ReadString(sectionNamePrefix + t, v, d);
      });
}

}  // namespace tbx
