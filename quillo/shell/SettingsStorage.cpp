// The preferences in the registry: read once at start-up, written once at close-down. Every
// value is optional, and a value the program cannot use (missing, of another kind, out of its
// range) takes its default, so a damaged registry never keeps the program from starting.

#include "quillo/shell/SettingsStorage.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>

#include "platform/gdi/WinDefs.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/User.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Registry.h"
#include "quillo/components/toolbars/Toolbar.h"
#include "quillo/components/toolbars/ToolbarPositions.h"
#include "quillo/components/utilities/VclUtils.h"
#include "quillo/base/Settings.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/shell/AskLevelForm.h"
#include "quillo/base/Language.h"
#include "quillo/shell/MainForm.h"
#include "quillo/shell/StartUp.h"
#include "quillo/tools/ToolForm.h"

namespace {

const AnsiString& BaseKey() {
  static const AnsiString key = SettingsRegistryKey;
  return key;
}

// Ranges of the values whose every number the program cannot use.
constexpr int MaxColour = 0xFFFFFF;
constexpr int MinZoomValue = -8;
constexpr int MaxZoomValue = 32;
constexpr int MaxRecentFiles = 16;
constexpr int MinGreyGamma = 90;
constexpr int MaxGreyGamma = 400;
constexpr int MaxChannelGamma = 20;
constexpr int IntMax = std::numeric_limits<int>::max();

// A stored integer holds 32 bits: larger memories and disks give the largest budget it holds.
int ToStoredInteger(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), IntMax));
}

// The values of one open key, read so that nothing stored can raise: a value that is missing,
// of another kind or outside its range answers the fallback. With no key, everything is
// missing.
class StoredValues {
public:
  explicit StoredValues(TRegistry* open) : registry_(open) {}

  std::optional<int> Integer(const char* name, int least, int most) const {
    if (!registry_) return std::nullopt;
    try {
      TRegDataInfo info;
      if (!registry_->GetDataInfo(name, info) || info.RegData != rdInteger || info.DataSize != 4)
        return std::nullopt;
      const int value = registry_->ReadInteger(name);
      if (value < least || value > most) return std::nullopt;
      return value;
    } catch (const std::exception&) {
      return std::nullopt;
    }
  }
  int Integer(const char* name, int fallback, int least, int most) const {
    return Integer(name, least, most).value_or(fallback);
  }
  bool Bool(const char* name, bool fallback) const {
    const std::optional<int> value = Integer(name, std::numeric_limits<int>::min(), IntMax);
    return value ? *value != 0 : fallback;
  }
  // An empty text counts as missing where a value cannot be empty (a folder, a name).
  enum class Empty { IsAValue, IsMissing };
  AnsiString String(const char* name, const AnsiString& fallback, Empty empty = Empty::IsAValue) const {
    if (!registry_) return fallback;
    try {
      const TRegDataType type = registry_->GetDataType(name);
      if (type != rdString && type != rdExpandString) return fallback;
      AnsiString value = registry_->ReadString(name);
      return value.empty() && empty == Empty::IsMissing ? fallback : value;
    } catch (const std::exception&) {
      return fallback;
    }
  }

private:
  TRegistry* registry_;
};

// Colours are stored as 0x00RRGGBB; the swatches hold the framework's colours.
void SetSwatch(TPanel* swatch, const StoredValues& stored, const char* name, std::uint32_t fallback) {
  const int value = stored.Integer(name, static_cast<int>(fallback), 0, MaxColour);
  swatch->SetColor(static_cast<TColor>(ColorFromPixel(static_cast<std::uint32_t>(value))));
}
int SwatchValue(const TPanel* swatch) {
  return static_cast<int>(PixelFromColor(ColorToRGB(swatch->GetColor())));
}

// The main window's place: both coordinates or neither, as a place with only one of them is
// no place at all; without one the window goes to 0, 0, not maximised.
void ReadMainWindowPlace(TRegistry& registry, TMainForm* form) {
  const bool open = registry.OpenKey(BaseKey() + "MainForm", true);
  const StoredValues stored(open ? &registry : nullptr);
  const std::optional<int> left = stored.Integer("Left", std::numeric_limits<int>::min(), IntMax);
  const std::optional<int> top = stored.Integer("Top", std::numeric_limits<int>::min(), IntMax);
  // A place off today's desktop (a larger screen then) would hide the window.
  const bool placed = left && top && !LiesOffWorkArea(*left, *top, form->GetWidth(), form->GetHeight());
  form->SetBounds(placed ? *left : 0, placed ? *top : 0, form->GetWidth(), form->GetHeight());
  if (placed && stored.Bool("Maximized", false)) form->SetWindowState(wsMaximized);
  if (open) registry.CloseKey();
}

// The language of the settings; when its file cannot be loaded (the loader has said so), the
// English one, so that the program never runs without texts.
void LoadLanguage(const AnsiString& name) {
  Lang = std::make_unique<Language>(ProgramFolder());
  if (Lang->Load(name) || SameText(name, TSettings{}.Language)) return;
  Lang->Load(TSettings{}.Language);
}

void SetChecked(TMenuItem* item, const StoredValues& stored, const char* name, bool fallback) {
  if (item) item->SetChecked(stored.Bool(name, fallback));
}

// The answer to the first run's question is kept at once: a program that ends without its
// close-down must not ask again. (It goes out when start-up lets go of the key it reads.)
void StoreAnsweredLevel(int level) {
  try {
    TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
    if (!registry->OpenKey(BaseKey() + "Preferences", true)) return;
    registry->WriteInteger("Level", level);
    registry->CloseKey();
  } catch (const std::exception&) {
  }
}

void ReadPreferences(const StoredValues& stored, TMainForm* form) {
  const TSettings d;
  TSettings& s = Settings;
  s.Clipping = stored.Bool("Clipping", d.Clipping);
  s.OptimBrush = stored.Bool("OptimBrush", d.OptimBrush);
  s.InstBrush = stored.Bool("InstBrush", d.InstBrush);
  TBuffer::StretchPatch = stored.Bool("FixRefresh", true) ? 1 : 0;
  s.ResizeNeigh = stored.Bool("ResizeNeigh", d.ResizeNeigh);
  s.AlwaysDock = stored.Bool("AlwaysDock", d.AlwaysDock);
  s.FlatIcons = stored.Bool("FlatIcons", d.FlatIcons);
  s.MaxQL = stored.Bool("MaxQL", d.MaxQL);
  s.MinToTaskbar = stored.Bool("MinToTaskbar", d.MinToTaskbar);
  s.MinToTaskbarNext = s.MinToTaskbar;
  s.BackupFiles = stored.Bool("BackupFiles", d.BackupFiles);
  s.ColorInHex = stored.Bool("ColorInHex", d.ColorInHex);
  s.AutoLoadPalette = stored.Bool("AutoLoadPalette", d.AutoLoadPalette);
  s.DefPal = stored.String("DefPal", d.DefPal);
  SetSwatch(form->DrawCol, stored, "DrawCol", 0xFFFFFF);
  SetSwatch(form->BackCol, stored, "BgndCol", 0x000000);
  s.AutoReload = stored.Bool("AutoReload", d.AutoReload);
  s.CacheThumbs = stored.Bool("CacheThumbs", d.CacheThumbs);
  s.FixZoom = stored.Bool("FixZoom", d.FixZoom);
  s.FixZoomVal = stored.Integer("FixZoomVal", d.FixZoomVal, MinZoomValue, MaxZoomValue);
  // The language comes before the level: the question is asked in it.
  s.Language = stored.String("Language", d.Language, StoredValues::Empty::IsMissing);
  LoadLanguage(s.Language);
  const std::optional<int> level = stored.Integer("Level", 0, 1);
  if (level) {
    s.Level = *level;
  } else {
    s.Level = AskUserLevel();
    StoreAnsweredLevel(s.Level);
  }
  s.MeasurementUnit = stored.Integer("MeasurementUnit", d.MeasurementUnit, 0, 2);
  s.MRUFiles = stored.Integer("MRUFiles", d.MRUFiles, 0, MaxRecentFiles);
  // The budgets' defaults depend on the folder read just before; ApplyUndoDefaults fills
  // what is left unset.
  s.UndoDir = stored.String("UndoDir", AnsiString(), StoredValues::Empty::IsMissing);
  s.UndoMem = stored.Integer("UndoMem", -1, 0, IntMax);
  s.UndoDisk = stored.Integer("UndoDisk", -1, 0, IntMax);
  ApplyUndoDefaults();
  s.UndoMem = ToStoredInteger(s.UndoMem);
  s.UndoDisk = ToStoredInteger(s.UndoDisk);
  s.UseQLC = stored.Bool("UseQLC", d.UseQLC);
  s.UseAdobe = stored.Bool("UseAdobe", d.UseAdobe);
  s.AdobeLoc = stored.String("AdobeLoc", d.AdobeLoc);
  s.ShowTOD = stored.Bool("ShowTOD", d.ShowTOD);
  s.TODIndex = stored.Integer("TODIndex", d.TODIndex, 0, IntMax);
  s.DefFileExt = stored.Integer("DefFileExt", d.DefFileExt, 0, IntMax);
  s.ImageDir = stored.String("ImageDir", ProgramFolder(), StoredValues::Empty::IsMissing);
  s.BrushDir = stored.String("BrushDir", ProgramFolder(), StoredValues::Empty::IsMissing);
  s.BrushTransp = stored.Integer("BrushTransp", d.BrushTransp, 0, 100);
  s.BrushSize = stored.Integer("BrushSize", d.BrushSize, 1, 200);
  s.BrushHardness = stored.Integer("BrushHardness", d.BrushHardness, 1, 100);
  TBuffer::GlobalICM = stored.Bool("UseGamma", false) ? 1 : 0;
  TBuffer::GlobalGammaCorr = stored.Bool("UseDefGamma", false) ? 1 : 0;
  s.GreyGamma = stored.Integer("GreyGamma", d.GreyGamma, MinGreyGamma, MaxGreyGamma);
  s.RedGamma = stored.Integer("RedGamma", d.RedGamma, -MaxChannelGamma, MaxChannelGamma);
  s.GreenGamma = stored.Integer("GreenGamma", d.GreenGamma, -MaxChannelGamma, MaxChannelGamma);
  s.BlueGamma = stored.Integer("BlueGamma", d.BlueGamma, -MaxChannelGamma, MaxChannelGamma);
  TBuffer::GlobalGammaRed = GammaFactor(s.GreyGamma, s.RedGamma);
  TBuffer::GlobalGammaGreen = GammaFactor(s.GreyGamma, s.GreenGamma);
  TBuffer::GlobalGammaBlue = GammaFactor(s.GreyGamma, s.BlueGamma);
  s.Skin = stored.String("Skin", d.Skin, StoredValues::Empty::IsMissing);
  SetChecked(form->RulersVisib, stored, "RulersVisible", true);
  s.HistogramVisible = stored.Bool("HistogramVisible", d.HistogramVisible);
  s.BrushShapeVisible = stored.Bool("BrushShapeVisible", d.BrushShapeVisible);
  s.PaletteVisible = stored.Bool("PaletteVisible", d.PaletteVisible);
  s.ActivePanel = stored.Integer("ActivePanel", d.ActivePanel, 0, 2);
}

// The tool options window's sheet in front, when it is one of the three the setting names.
void RememberActivePanel() {
  if (!ToolForm || !ToolForm->PageControl) return;
  const TTabSheet* page = ToolForm->PageControl->GetActivePage();
  if (page == nullptr) return;
  if (page == ToolForm->PaletteSheet) Settings.ActivePanel = 0;
  else if (page == ToolForm->BrushSheet) Settings.ActivePanel = 1;
  else if (page == ToolForm->HistogramSheet) Settings.ActivePanel = 2;
}

bool MenuChecked(const TMenuItem* item) { return item && item->GetChecked(); }

// The place the window comes back to: a maximised or minimised window keeps its normal one.
void WriteMainWindowPlace(TRegistry& registry, TMainForm* form) {
  if (!registry.OpenKey(BaseKey() + "MainForm", true)) return;
  HWND window = form->HandleAllocated() ? form->GetHandle() : nullptr;
  int left = form->GetLeft();
  int top = form->GetTop();
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (window && (IsZoomed(window) || IsIconic(window)) && GetWindowPlacement(window, &placement)) {
    left = placement.rcNormalPosition.left;
    top = placement.rcNormalPosition.top;
  }
  registry.WriteInteger("Left", left);
  registry.WriteInteger("Top", top);
  registry.WriteBool("Maximized", window && IsZoomed(window));
}

// The toolbars' layout; the tool palette floats from the main window in it, so that it is
// found again whatever document window it was docked in.
void SaveToolbarLayout(TMainForm* form) {
  if (!form->Toolbar) return;
  form->Toolbar->SetDockedTo(nullptr);
  tbx::RegSaveToolbarPositions(form, BaseKey() + "Toolbars");
  form->Toolbar->SetVisible(false);
}

}  // namespace

void LoadSettings(TMainForm* form) {
  TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
  ReadMainWindowPlace(*registry, form);
  const bool open = registry->OpenKey(BaseKey() + "Preferences", true);
  ReadPreferences(StoredValues(open ? registry.get() : nullptr), form);
  if (open) registry->CloseKey();
}

void StorePreferences(const TMainForm* form) {
  TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
  if (!registry->OpenKey(BaseKey() + "Preferences", true))
    throw ERegistryException(Format(VclText::RegCreateFailed, (BaseKey() + "Preferences").c_str()));
  if (form) RememberActivePanel();
  const TSettings& s = Settings;
  TRegistry& r = *registry;
  r.WriteBool("Clipping", s.Clipping);
  r.WriteBool("OptimBrush", s.OptimBrush);
  r.WriteBool("InstBrush", s.InstBrush);
  if (form) r.WriteBool("FixRefresh", TBuffer::StretchPatch != 0);
  r.WriteBool("ResizeNeigh", s.ResizeNeigh);
  r.WriteBool("AlwaysDock", s.AlwaysDock);
  r.WriteBool("FlatIcons", s.FlatIcons);
  r.WriteBool("MaxQL", s.MaxQL);
  // The preferences change only the next start's choice.
  r.WriteBool("MinToTaskbar", s.MinToTaskbarNext);
  r.WriteInteger("Level", s.Level);
  r.WriteInteger("MeasurementUnit", s.MeasurementUnit);
  r.WriteBool("ColorInHex", s.ColorInHex);
  r.WriteBool("AutoLoadPalette", s.AutoLoadPalette);
  if (form) {
    r.WriteInteger("DrawCol", SwatchValue(form->DrawCol));
    r.WriteInteger("BgndCol", SwatchValue(form->BackCol));
  }
  r.WriteBool("BackupFiles", s.BackupFiles);
  r.WriteString("DefPal", s.DefPal);
  r.WriteBool("AutoReload", s.AutoReload);
  r.WriteBool("CacheThumbs", s.CacheThumbs);
  r.WriteInteger("MRUFiles", s.MRUFiles);
  r.WriteBool("FixZoom", s.FixZoom);
  r.WriteInteger("FixZoomVal", s.FixZoomVal);
  r.WriteString("UndoDir", s.UndoDir);
  r.WriteInteger("UndoMem", ToStoredInteger(s.UndoMem));
  r.WriteInteger("UndoDisk", ToStoredInteger(s.UndoDisk));
  r.WriteBool("UseQLC", s.UseQLC);
  r.WriteBool("UseAdobe", s.UseAdobe);
  r.WriteString("AdobeLoc", s.AdobeLoc);
  r.WriteBool("ShowTOD", s.ShowTOD);
  r.WriteInteger("TODIndex", s.TODIndex);
  r.WriteInteger("DefFileExt", s.DefFileExt);
  r.WriteString("ImageDir", s.ImageDir);
  r.WriteString("BrushDir", s.BrushDir);
  r.WriteInteger("BrushTransp", s.BrushTransp);
  r.WriteInteger("BrushSize", s.BrushSize);
  r.WriteInteger("BrushHardness", s.BrushHardness);
  if (form) {
    r.WriteBool("UseGamma", TBuffer::GlobalICM != 0);
    r.WriteBool("UseDefGamma", TBuffer::GlobalGammaCorr != 0);
  }
  r.WriteInteger("GreyGamma", s.GreyGamma);
  r.WriteInteger("RedGamma", s.RedGamma);
  r.WriteInteger("GreenGamma", s.GreenGamma);
  r.WriteInteger("BlueGamma", s.BlueGamma);
  r.WriteString("Skin", s.Skin);
  if (form) r.WriteBool("RulersVisible", MenuChecked(form->RulersVisib));
  r.WriteBool("HistogramVisible", form ? MenuChecked(form->HistVisib) : s.HistogramVisible);
  r.WriteBool("BrushShapeVisible", form ? MenuChecked(form->BrushVisib) : s.BrushShapeVisible);
  r.WriteBool("PaletteVisible", form ? MenuChecked(form->PaletteVisib) : s.PaletteVisible);
  r.WriteInteger("ActivePanel", s.ActivePanel);
  r.CloseKey();
}

void StorePreferencesQuietly(const TMainForm* form) {
  try {
    StorePreferences(form);
  } catch (const std::exception&) {
  }
}

void SaveSettings(TMainForm* form) {
  // Each part is written on its own: a failure in one still lets the others go out, and
  // none keeps the program from closing.
  try {
    TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
    WriteMainWindowPlace(*registry, form);
  } catch (const std::exception&) {
  }
  StorePreferencesQuietly(form);
  SaveToolbarLayout(form);
}
