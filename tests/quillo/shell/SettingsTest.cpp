// The preferences between runs as a user meets them: the first run's level question and
// defaults, every preference changed in the running program and found again after a restart,
// the display gamma, the main window's place, the sheet in front, and a registry holding
// values of the wrong kind or out of range, which start the program with their defaults.

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "PaletteUser.h"
#include "ProgramFixture.h"
#include "platform/gdi/WinDefs.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Registry.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/components/files/MRUFileList.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/components/toolbars/Toolbar.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/shell/AskLevelForm.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/shell/SettingsStorage.h"
#include "quillo/base/Skins.h"
#include "quillo/tools/PaletteFile.h"
#include "quillo/tools/ToolForm.h"

namespace {

const AnsiString PreferencesKey = AnsiString(SettingsRegistryKey) + "Preferences";
const AnsiString MainFormKey = AnsiString(SettingsRegistryKey) + "MainForm";

std::uint32_t SwatchPixel(const TPanel* swatch) { return PixelFromColor(ColorToRGB(swatch->GetColor())); }

// Runs work on the open key (made when missing).
void InKey(const AnsiString& key, const std::function<void(TRegistry&)>& work) {
  TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
  ASSERT_TRUE(registry->OpenKey(key, true));
  work(*registry);
  registry->CloseKey();
}

// A value as the registry holds it now: "" when missing, else its number or text.
std::string Stored(const AnsiString& key, const char* name) {
  TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
  if (!registry->OpenKeyReadOnly(key) || !registry->ValueExists(name)) return "";
  const bool number = registry->GetDataType(name) == rdInteger;
  std::string value = number ? std::to_string(registry->ReadInteger(name)) : std::string(registry->ReadString(name));
  registry->CloseKey();
  return value;
}

TCustomForm* FormNamed(const char* name) {
  for (int i = 0; i < Screen()->FormCount(); ++i)
    if (Screen()->Forms(i)->GetName() == name) return Screen()->Forms(i);
  return nullptr;
}

class SettingsTest : public ProgramTest {
protected:
  // What the level question showed, once it was answered.
  struct Question {
    bool shown = false;
    std::string caption;
    std::string info;
  };

  // The next level question is answered by a click on this button (NoviceBtn, ExpertBtn), or
  // closed by its close request when the name is empty.
  void AnswerLevelQuestion(const std::string& button, Question* seen) {
    ui.WhenModalWaits([this, button, seen] {
      auto* question = dynamic_cast<TAskLevelForm*>(FormNamed("AskLevelForm"));
      ASSERT_NE(question, nullptr) << "the level question is up";
      seen->shown = true;
      seen->caption = question->GetCaption();
      seen->info = question->Info->GetCaption();
      if (button.empty()) {
        PostMessage(question->GetHandle(), WM_CLOSE, 0, 0);
        return;
      }
      const POINT p = CentreOf(dynamic_cast<TControl*>(question->FindComponent(button.c_str())));
      ui.QueueMove(p.x, p.y);
      ui.QueueClick(p.x, p.y);
    });
  }

  // File > Exit (or the window's close request), and the program's end: its windows and
  // language go, and the request to end the message loop, which this test's loop never
  // takes, is taken here.
  enum class Closing { ByTheMenu, ByTheWindow };
  void Exit(Closing how = Closing::ByTheMenu) {
    if (how == Closing::ByTheMenu) {
      ChooseMenuItem("&File", "E&xit");
    } else {
      PostMessage(form->GetHandle(), WM_CLOSE, 0, 0);
      ui.RunUntilIdle();
    }
    ASSERT_TRUE(Application()->Terminated()) << "the program closed";
    Abandon();
    MSG quit{};
    while (PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  // A program that ends without File > Exit (nothing written).
  void Abandon() {
    ResetApplication();
    Lang.reset();
  }

  // File > Exit, then a new start on what the registry holds; nothing of the first run is
  // kept in memory.
  void Restart(Closing how = Closing::ByTheMenu) {
    Exit(how);
    Settings = TSettings{};
    TBuffer::StretchPatch = 0;
    TBuffer::GlobalICM = 0;
    TBuffer::GlobalGammaCorr = 0;
    TBuffer::GlobalGammaRed = TBuffer::GlobalGammaGreen = TBuffer::GlobalGammaBlue = 0;
    Start({}, StoredSettings::AsTheyAre);
  }
};

// ---------------------------------------------------------------------------------------
// The first run

TEST_F(SettingsTest, AFirstRunAsksTheLevelAndStartsWithTheDefaults) {
  Question question;
  AnswerLevelQuestion("ExpertBtn", &question);
  Start({}, StoredSettings::AsTheyAre);
  ASSERT_TRUE(question.shown);
  EXPECT_EQ(question.caption, "User Level") << "asked in the language just loaded";
  EXPECT_NE(question.info.find("novice level"), std::string::npos) << question.info;
  EXPECT_EQ(FormNamed("AskLevelForm"), nullptr) << "the question is gone";
  EXPECT_EQ(Settings.Level, 1);

  ASSERT_TRUE(Lang && Lang->Loaded());
  EXPECT_EQ(Settings.Language, "English");
  EXPECT_EQ(LangMessage("Quillory"), "Quillory");
  ASSERT_TRUE(Skins && Skins->Loaded());
  EXPECT_EQ(Skins->LoadedName(), "Standard Shaded") << "the list's \"Standard shaded\" is found without case";
  EXPECT_EQ(SwatchPixel(form->DrawCol), 0xFFFFFFu) << "white on";
  EXPECT_EQ(SwatchPixel(form->BackCol), 0x000000u) << "black";
  ASSERT_EQ(ImgFormCount, 1);
  EXPECT_EQ(CurrentPicture->At(5, 5)[0] & 0xFFFFFF, 0x000000u) << "the blank document has the background colour";
  EXPECT_EQ(form->MRUFileList1->GetMaximum(), 6);
  EXPECT_EQ(form->GetLeft(), 0);
  EXPECT_EQ(form->GetTop(), 0);
  EXPECT_TRUE(form->RulersVisib->GetChecked());
  EXPECT_TRUE(ImgForms[0]->TopRuler->GetVisible());
  // The budgets are measured, and held in what a stored integer holds.
  EXPECT_FALSE(Settings.UndoDir.empty());
  EXPECT_GE(Settings.UndoMem, 0);
  EXPECT_LE(Settings.UndoMem, INT_MAX);
  EXPECT_GE(Settings.UndoDisk, 0);
  EXPECT_LE(Settings.UndoDisk, INT_MAX);
  EXPECT_EQ(TBuffer::GlobalGammaRed, 117965);
  EXPECT_EQ(TBuffer::StretchPatch, 1);
}

// The brush is made before the settings choose the drawing colour: the first stroke must still
// paint in the white the swatch shows, not in the swatch's colour before the settings.
TEST_F(SettingsTest, AFirstRunPaintsInTheDrawingColourItShows) {
  Question question;
  AnswerLevelQuestion("ExpertBtn", &question);
  Start({}, StoredSettings::AsTheyAre);
  ASSERT_EQ(ImgFormCount, 1);
  TImageForm* document = ImgForms[0];
  EXPECT_EQ(document->StatusText(spBrushMode), "C") << "the colour mode's letter";
  EXPECT_TRUE(form->MenuItemNamed("Color1")->GetChecked());
  const POINT from = UiDriver::At(document->ShowBuf->GetHandle(), 10, 12);
  const POINT to = UiDriver::At(document->ShowBuf->GetHandle(), 40, 12);
  ui.MoveTo(from.x, from.y);
  ui.MouseDown(from.x, from.y);
  ui.RunUntilIdle();
  ui.MoveTo(to.x, to.y);
  ui.RunUntilIdle();
  ui.Advance(400);
  ui.MouseUp(to.x, to.y);
  ui.RunUntilIdle();
  for (int x : {10, 25, 40}) EXPECT_EQ(CurrentPicture->At(x, 12)[0] & 0xFFFFFF, 0xFFFFFFu) << x;
  EXPECT_EQ(CurrentPicture->At(25, 20)[0] & 0xFFFFFF, 0x000000u) << "off the stroke";
  // Every document window shows the mode.
  EXPECT_EQ(CreateDocumentWindow(20, 20, "")->StatusText(spBrushMode), "C");
}

// Either button sets the level; closing the question any other way leaves the novice level.
TEST_F(SettingsTest, TheLevelIsTheButtonPressedAndNoviceWhenClosedOtherwise) {
  const struct {
    const char* button;
    int level;
  } cases[] = {{"NoviceBtn", 0}, {"ExpertBtn", 1}, {"", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.button);
    Question question;
    AnswerLevelQuestion(c.button, &question);
    Settings.Level = 1 - c.level;  // so that nothing is left as it was by chance
    Start({}, StoredSettings::AsTheyAre);
    EXPECT_TRUE(question.shown);
    EXPECT_EQ(Settings.Level, c.level);
    Exit();
    EXPECT_EQ(Stored(PreferencesKey, "Level"), std::to_string(c.level)) << "written at close-down";
    // The next case is a first run again.
    InKey(SettingsRegistryKey, [](TRegistry& r) { r.DeleteKey("Preferences"); });
  }
}

// The answer is in the settings file as soon as it is given: a program killed before its
// close-down does not ask again.
TEST_F(SettingsTest, TheFirstRunsAnswerIsKeptAtOnce) {
  Question question;
  AnswerLevelQuestion("ExpertBtn", &question);
  Start({}, StoredSettings::AsTheyAre);
  ASSERT_TRUE(question.shown);
  const std::string text = FileContents(home.Path() + "/registry.txt");
  EXPECT_NE(text.find("\"Level\"=dword:00000001"), std::string::npos) << text;
  Abandon();  // killed: no close-down
  Settings = TSettings{};
  Question again;
  AnswerLevelQuestion("NoviceBtn", &again);
  Start({}, StoredSettings::AsTheyAre);
  EXPECT_FALSE(again.shown);
  EXPECT_EQ(Settings.Level, 1);
  ui.DropModalActions();
}

// ---------------------------------------------------------------------------------------
// Every preference between runs

TEST_F(SettingsTest, EveryPreferenceChangedInTheProgramSurvivesARestart) {
  Question question;
  AnswerLevelQuestion("NoviceBtn", &question);
  Start({}, StoredSettings::AsTheyAre);
  ASSERT_TRUE(question.shown);
  const std::string folder = home.Path() + "/";

  using Text = std::function<std::string()>;
  auto number = [](auto read) -> Text { return [read] { return std::to_string(read()); }; };
  struct Row {
    const char* name;
    std::function<void()> change;  // as the program changes it
    Text read;                     // as the program shows or uses it
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"Clipping", [] { Settings.Clipping = true; }, number([] { return Settings.Clipping; }), "1"},
      {"OptimBrush", [] { Settings.OptimBrush = true; }, number([] { return Settings.OptimBrush; }), "1"},
      // The toggle shows at the expert level only; its handler is what a click runs.
      {"InstBrush", [] { ImgForms[0]->InstBrushBtnClick(nullptr); },
       number([] { return Settings.InstBrush && ImgForms[0]->InstBrushBtn->GetDown(); }), "1"},
      {"FixRefresh", [] { TBuffer::StretchPatch = 0; }, number([] { return int{TBuffer::StretchPatch}; }), "0"},
      {"ResizeNeigh", [] { Settings.ResizeNeigh = false; }, number([] { return Settings.ResizeNeigh; }), "0"},
      {"AlwaysDock", [] { Settings.AlwaysDock = false; }, number([] { return Settings.AlwaysDock; }), "0"},
      {"FlatIcons", [] { Settings.FlatIcons = false; }, number([] { return Settings.FlatIcons; }), "0"},
      {"MaxQL", [] { Settings.MaxQL = true; }, number([] { return Settings.MaxQL; }), "1"},
      // The preferences change the choice for the next start; then it is in force.
      {"MinToTaskbar", [] { Settings.MinToTaskbarNext = true; },
       number([] { return Settings.MinToTaskbar && Settings.MinToTaskbarNext; }), "1"},
      {"BackupFiles", [] { Settings.BackupFiles = false; }, number([] { return Settings.BackupFiles; }), "0"},
      {"ColorInHex", [] { Settings.ColorInHex = true; }, number([] { return Settings.ColorInHex; }), "1"},
      {"AutoLoadPalette", [] { Settings.AutoLoadPalette = true; }, number([] { return Settings.AutoLoadPalette; }), "1"},
      // The palette file is loaded at the next start.
      {"DefPal", [this] { Settings.DefPal = home.WriteFile("sunset.pal", "1\n123456\n"); },
       [] {
         const std::string name = Settings.DefPal;
         return name.substr(name.rfind('/') + 1) + "|" + std::to_string(PaletteColors[0]);
       },
       "sunset.pal|" + std::to_string(0x123456)},
      {"DrawCol", [this] { form->DrawCol->SetColor(static_cast<TColor>(RGB(0x12, 0x34, 0x56))); },
       number([this] { return SwatchPixel(form->DrawCol); }), std::to_string(0x123456)},
      {"BgndCol", [this] { form->BackCol->SetColor(static_cast<TColor>(RGB(0x65, 0x43, 0x21))); },
       number([this] { return SwatchPixel(form->BackCol); }), std::to_string(0x654321)},
      {"AutoReload", [] { Settings.AutoReload = true; }, number([] { return Settings.AutoReload; }), "1"},
      {"CacheThumbs", [] { Settings.CacheThumbs = true; }, number([] { return Settings.CacheThumbs; }), "1"},
      {"FixZoom", [] { Settings.FixZoom = true; }, number([] { return Settings.FixZoom; }), "1"},
      {"FixZoomVal", [] { Settings.FixZoomVal = -3; }, number([] { return Settings.FixZoomVal; }), "-3"},
      {"Level", [] { Settings.Level = 1; }, number([] { return Settings.Level; }), "1"},
      {"MeasurementUnit", [] { Settings.MeasurementUnit = 2; }, number([] { return Settings.MeasurementUnit; }), "2"},
      {"MRUFiles", [] { Settings.MRUFiles = 9; }, number([this] { return form->MRUFileList1->GetMaximum(); }), "9"},
      {"UndoDir", [folder] { Settings.UndoDir = folder; }, [] { return std::string(Settings.UndoDir); }, folder},
      {"UndoMem", [] { Settings.UndoMem = 12345; }, number([] { return Settings.UndoMem; }), "12345"},
      {"UndoDisk", [] { Settings.UndoDisk = 23456; }, number([] { return Settings.UndoDisk; }), "23456"},
      {"UseQLC", [] { Settings.UseQLC = false; }, number([] { return Settings.UseQLC; }), "0"},
      {"UseAdobe", [] { Settings.UseAdobe = false; }, number([] { return Settings.UseAdobe; }), "0"},
      {"AdobeLoc", [folder] { Settings.AdobeLoc = folder + "plugins/"; }, [] { return std::string(Settings.AdobeLoc); },
       folder + "plugins/"},
      {"ShowTOD", [] { Settings.ShowTOD = false; }, number([] { return Settings.ShowTOD; }), "0"},
      {"TODIndex", [] { Settings.TODIndex = 7; }, number([] { return Settings.TODIndex; }), "7"},
      {"DefFileExt", [] { Settings.DefFileExt = 3; }, number([] { return Settings.DefFileExt; }), "3"},
      {"ImageDir", [folder] { Settings.ImageDir = folder + "images/"; }, [] { return std::string(Settings.ImageDir); },
       folder + "images/"},
      {"BrushDir", [folder] { Settings.BrushDir = folder + "brushes/"; }, [] { return std::string(Settings.BrushDir); },
       folder + "brushes/"},
      {"BrushTransp", [] { Settings.BrushTransp = 30; }, number([] { return Settings.BrushTransp; }), "30"},
      {"BrushSize", [] { Settings.BrushSize = 12; }, number([] { return Settings.BrushSize; }), "12"},
      {"BrushHardness", [] { Settings.BrushHardness = 40; }, number([] { return Settings.BrushHardness; }), "40"},
      {"UseGamma", [] { TBuffer::GlobalICM = 1; }, number([] { return int{TBuffer::GlobalICM}; }), "1"},
      {"UseDefGamma", [] { TBuffer::GlobalGammaCorr = 1; }, number([] { return int{TBuffer::GlobalGammaCorr}; }), "1"},
      {"GreyGamma", [] { Settings.GreyGamma = 220; }, number([] { return Settings.GreyGamma; }), "220"},
      {"RedGamma", [] { Settings.RedGamma = 5; }, number([] { return Settings.RedGamma; }), "5"},
      {"GreenGamma", [] { Settings.GreenGamma = -5; }, number([] { return Settings.GreenGamma; }), "-5"},
      {"BlueGamma", [] { Settings.BlueGamma = 10; }, number([] { return Settings.BlueGamma; }), "10"},
      // Chosen in another case than the file's: found all the same.
      {"Skin", [] { Skins->Choose("STANDARD shaded", nullptr); },
       [] { return std::string(Settings.Skin) + "|" + std::string(Skins->LoadedName()); },
       "STANDARD shaded|STANDARD shaded"},
      {"RulersVisible", [this] { ChooseMenuItem("&Options", "&Rulers"); },
       number([this] { return form->RulersVisib->GetChecked() || ImgForms[0]->TopRuler->GetVisible(); }), "0"},
      // The sheets shown at close show at the next start, their menu items checked.
      {"HistogramVisible", [] { ToolForm->ShowSheet(ToolForm->HistogramSheet, true, false); },
       number([this] { return Settings.HistogramVisible && form->HistVisib->GetChecked(); }), "1"},
      {"BrushShapeVisible", [] { ToolForm->ShowSheet(ToolForm->BrushSheet, true, false); },
       number([this] { return Settings.BrushShapeVisible && form->BrushVisib->GetChecked(); }), "1"},
      {"PaletteVisible", [] { ToolForm->ShowSheet(ToolForm->PaletteSheet, true, false); },
       number([this] { return Settings.PaletteVisible && form->PaletteVisib->GetChecked(); }), "1"},
      {"ActivePanel", [] { ToolForm->ShowSheet(ToolForm->HistogramSheet, true, true); },
       number([] { return Settings.ActivePanel; }), "2"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    row.change();
    ui.RunUntilIdle();
  }
  Restart();
  EXPECT_FALSE(question.shown && FormNamed("AskLevelForm")) << "asked once only";
  for (const Row& row : rows) EXPECT_EQ(row.read(), row.expected) << row.name;
  // The gamma factors follow the stored values: (220 + 5) / 100 for red.
  EXPECT_EQ(TBuffer::GlobalGammaRed, GammaFactor(220, 5));
  // "Language" is written by the preferences dialog at once, not at close-down.
  EXPECT_EQ(Stored(PreferencesKey, "Language"), "");
}

// A memory or disk larger than a stored integer holds is kept as the largest one it holds.
TEST_F(SettingsTest, BudgetsBeyondAStoredIntegerAreKeptAsTheLargestOne) {
  Start();
  Settings.UndoMem = 5'000'000'000LL;
  Settings.UndoDisk = 9'000'000'000LL;
  Restart();
  EXPECT_EQ(Stored(PreferencesKey, "UndoMem"), std::to_string(INT_MAX));
  EXPECT_EQ(Settings.UndoMem, INT_MAX);
  EXPECT_EQ(Settings.UndoDisk, INT_MAX);
}

// ---------------------------------------------------------------------------------------
// Gamma

TEST_F(SettingsTest, TheViewsGammaFactorsFollowTheGreyAndChannelValues) {
  const struct {
    int grey, red, green, blue;
    std::int32_t wantRed, wantGreen, wantBlue;
  } cases[] = {
      {180, 0, 0, 0, 117965, 117965, 117965},  // 1.8
      {100, 0, 0, 0, 65536, 65536, 65536},     // 1.0
      {180, 20, 0, 0, 131072, 117965, 117965},  // 2.0 for red
      {90, -20, 20, -1, 45875, 72090, 58327},  // the ends of the ranges
      {400, 20, -20, 0, 275251, 249037, 262144},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.grey);
    Settings.GreyGamma = c.grey;
    Settings.RedGamma = c.red;
    Settings.GreenGamma = c.green;
    Settings.BlueGamma = c.blue;
    Start();
    EXPECT_EQ(TBuffer::GlobalGammaRed, c.wantRed);
    EXPECT_EQ(TBuffer::GlobalGammaGreen, c.wantGreen);
    EXPECT_EQ(TBuffer::GlobalGammaBlue, c.wantBlue);
    // A new view starts with the program's values.
    EXPECT_EQ(ImgForms[0]->ShowBuf->GammaRed, c.wantRed);
    Abandon();
  }
}

// ---------------------------------------------------------------------------------------
// The main window's place

TEST_F(SettingsTest, TheMainWindowComesBackWhereItWas) {
  Start();
  SetWindowPos(form->GetHandle(), nullptr, 240, 130, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ui.RunUntilIdle();
  Restart();
  EXPECT_EQ(form->GetLeft(), 240);
  EXPECT_EQ(form->GetTop(), 130);
  EXPECT_FALSE(IsZoomed(form->GetHandle()));

  // Maximised, it comes back maximised, and restores to the place it had before.
  ShowWindow(form->GetHandle(), SW_MAXIMIZE);
  ui.RunUntilIdle();
  Restart(Closing::ByTheWindow);
  EXPECT_TRUE(IsZoomed(form->GetHandle()));
  EXPECT_EQ(Stored(MainFormKey, "Left"), "240");
  EXPECT_EQ(Stored(MainFormKey, "Top"), "130");
  ShowWindow(form->GetHandle(), SW_RESTORE);
  ui.RunUntilIdle();
  EXPECT_EQ(form->GetLeft(), 240);
  EXPECT_EQ(form->GetTop(), 130);
}

// A place that is no place (one coordinate, a text, off the desktop) puts the window at 0, 0.
TEST_F(SettingsTest, AStoredPlaceThatCannotBeUsedPutsTheWindowAtTheCorner) {
  const struct {
    const char* name;
    std::function<void(TRegistry&)> store;
  } cases[] = {
      {"only Left", [](TRegistry& r) { r.WriteInteger("Left", 300); }},
      {"Left as text", [](TRegistry& r) { r.WriteString("Left", "300"); r.WriteInteger("Top", 200); }},
      {"off the desktop", [](TRegistry& r) { r.WriteInteger("Left", 5000); r.WriteInteger("Top", 4000); }},
      {"far off", [](TRegistry& r) { r.WriteInteger("Left", INT_MAX); r.WriteInteger("Top", INT_MIN); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InKey(SettingsRegistryKey, [](TRegistry& r) { r.DeleteKey("MainForm"); });
    InKey(MainFormKey, [&](TRegistry& r) {
      c.store(r);
      r.WriteBool("Maximized", true);
    });
    Start();
    EXPECT_EQ(form->GetLeft(), 0);
    EXPECT_EQ(form->GetTop(), 0);
    EXPECT_FALSE(IsZoomed(form->GetHandle()));
    Abandon();
  }
}

// ---------------------------------------------------------------------------------------
// The sheet in front

// The sheet in front at close is written when it is one of the three the value names;
// otherwise the stored value stays.
TEST_F(SettingsTest, TheActivePanelIsTheSheetInFrontOrStaysAsStored) {
  enum Sheet { None, Palette, Brush, Histogram, Icon };
  const struct {
    int stored;
    Sheet front;
    int written;
  } cases[] = {{1, Brush, 1}, {2, Brush, 1}, {0, Histogram, 2}, {2, Palette, 0}, {2, Icon, 2}, {1, None, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored * 10 + c.front);
    Settings.ActivePanel = c.stored;
    // No sheet comes to the front at start but the one the case brings there.
    Settings.PaletteVisible = false;
    Start();
    EXPECT_EQ(Settings.ActivePanel, c.stored);
    TTabSheet* sheets[] = {nullptr, ToolForm->PaletteSheet, ToolForm->BrushSheet, ToolForm->HistogramSheet,
                           ToolForm->IconSheet};
    if (sheets[c.front]) ToolForm->ShowSheet(sheets[c.front], true, true);
    Exit();
    EXPECT_EQ(Stored(PreferencesKey, "ActivePanel"), std::to_string(c.written));
    Settings = TSettings{};
  }
}

// ---------------------------------------------------------------------------------------
// Damaged values

// Values of the wrong kind or out of their range, and a line the registry file cannot read:
// the program starts, each such value takes its default, and close-down writes sound ones.
TEST_F(SettingsTest, DamagedValuesTakeTheirDefaultsAndTheProgramStarts) {
  StorePreferences(nullptr);
  const std::vector<unsigned char> bytes{1, 2, 3};
  InKey(PreferencesKey, [&](TRegistry& r) {
    r.WriteString("Clipping", "yes");
    r.WriteBinaryData("BackupFiles", bytes.data(), 3);
    r.WriteString("MRUFiles", "six");
    r.WriteInteger("FixZoomVal", 999);
    r.WriteInteger("MeasurementUnit", -1);
    r.WriteInteger("DrawCol", -1);
    r.WriteString("BgndCol", "black");
    r.WriteInteger("Skin", 7);
    r.WriteInteger("UndoMem", -5);
    r.WriteBinaryData("UndoDir", bytes.data(), 3);
    r.WriteString("ImageDir", "");
    r.WriteInteger("GreyGamma", 100000000);
    r.WriteInteger("RedGamma", -300);
    r.WriteInteger("BrushSize", 0);
    r.WriteInteger("ActivePanel", 9);
    r.WriteString("Language", "../../somewhere/English");
    r.WriteString("RulersVisible", "no");
  });
  // A line that breaks the file's rules; the lines after it are still read.
  const std::string file = home.Path() + "/registry.txt";
  std::string text = FileContents(file);
  const std::string anchor = "\"TODIndex\"=";
  ASSERT_NE(text.find(anchor), std::string::npos);
  text.insert(text.find(anchor), "\"Broken=dword:zz\n");
  home.WriteFile("registry.txt", text);

  Start({}, StoredSettings::AsTheyAre);
  ASSERT_EQ(ImgFormCount, 1) << "the program started";
  EXPECT_FALSE(Settings.Clipping);
  EXPECT_TRUE(Settings.BackupFiles);
  EXPECT_EQ(form->MRUFileList1->GetMaximum(), 6);
  EXPECT_EQ(Settings.FixZoomVal, 1);
  EXPECT_EQ(Settings.MeasurementUnit, 0);
  EXPECT_EQ(SwatchPixel(form->DrawCol), 0xFFFFFFu);
  EXPECT_EQ(SwatchPixel(form->BackCol), 0x000000u);
  EXPECT_EQ(Settings.Skin, "Standard Shaded");
  EXPECT_GE(Settings.UndoMem, 0);
  EXPECT_FALSE(Settings.UndoDir.empty());
  EXPECT_EQ(Settings.ImageDir, QUILLO_BIN_DIR "/") << "the program folder";
  EXPECT_EQ(Settings.GreyGamma, 180);
  EXPECT_EQ(Settings.RedGamma, 0);
  EXPECT_EQ(TBuffer::GlobalGammaRed, 117965);
  EXPECT_EQ(Settings.BrushSize, 1);
  EXPECT_EQ(Settings.ActivePanel, 0);
  EXPECT_TRUE(Lang && Lang->Loaded()) << "a language outside the program folder is not read; English is";
  // The language's message, then the damaged file's, which waited for the texts.
  ASSERT_EQ(ui.MessageBoxTexts().size(), 2u);
  EXPECT_NE(ui.MessageBoxTexts()[0].find("Can't load the language file."), std::string::npos) << ui.MessageBoxTexts()[0];
  EXPECT_NE(ui.MessageBoxTexts()[0].find("somewhere/English.lng"), std::string::npos) << ui.MessageBoxTexts()[0];
  EXPECT_NE(ui.MessageBoxTexts()[1].find("The settings file was damaged."), std::string::npos) << ui.MessageBoxTexts()[1];
  EXPECT_NE(ui.MessageBoxTexts()[1].find(file + ".damaged-"), std::string::npos) << ui.MessageBoxTexts()[1];
  EXPECT_TRUE(form->RulersVisib->GetChecked());
  EXPECT_EQ(Settings.Level, 0) << "the values of the good lines are read";

  Exit();
  EXPECT_EQ(Stored(PreferencesKey, "MRUFiles"), "6");
  EXPECT_EQ(Stored(PreferencesKey, "Skin"), "Standard Shaded");
  EXPECT_EQ(Stored(PreferencesKey, "GreyGamma"), "180");
}

// A "Level" that is no level asks again, as a first run does.
TEST_F(SettingsTest, ALevelThatIsNoLevelIsAskedAgain) {
  for (const auto& store : std::vector<std::function<void(TRegistry&)>>{
           [](TRegistry& r) { r.WriteString("Level", "expert"); }, [](TRegistry& r) { r.WriteInteger("Level", 7); }}) {
    InKey(PreferencesKey, store);
    Question question;
    AnswerLevelQuestion("ExpertBtn", &question);
    Start({}, StoredSettings::AsTheyAre);
    EXPECT_TRUE(question.shown);
    EXPECT_EQ(Settings.Level, 1);
    Abandon();
  }
}

// ---------------------------------------------------------------------------------------
// The Options menu

// Turning the rulers off hides them in every document window and gives their room to the
// picture; turning them on brings them back, drawn.
TEST_F(SettingsTest, TheRulersItemShowsAndHidesTheRulersOfEveryWindow) {
  Start();
  for (int i = 0; i < 2; ++i) CreateDocumentWindow(120, 80, "");
  ui.RunUntilIdle();
  ASSERT_GE(ImgFormCount, 2);
  EXPECT_TRUE(form->RulersVisib->GetEnabled());
  for (const char* sheet : {"PaletteVisib", "BrushVisib", "HistVisib"})
    EXPECT_TRUE(form->MenuItemNamed(sheet)->GetEnabled()) << sheet;
  for (const char* mode : {"Paint1", "Color1", "Replace1"}) EXPECT_TRUE(form->MenuItemNamed(mode)->GetEnabled()) << mode;

  ChooseMenuItem("&Options", "&Rulers");
  EXPECT_FALSE(form->RulersVisib->GetChecked());
  for (int i = 0; i < ImgFormCount; ++i) {
    SCOPED_TRACE(i);
    TImageForm* window = ImgForms[static_cast<std::size_t>(i)];
    EXPECT_FALSE(window->TopRuler->GetVisible());
    EXPECT_FALSE(window->LeftRuler->GetVisible());
    EXPECT_EQ(window->MaxSize->GetTop(), 0) << "the picture takes the rulers' room";
    EXPECT_EQ(window->MaxSize->GetLeft(), 0);
  }
  // A window opened now has none either.
  TImageForm* later = CreateDocumentWindow(60, 40, "");
  EXPECT_FALSE(later->TopRuler->GetVisible());

  ChooseMenuItem("&Options", "&Rulers");
  EXPECT_TRUE(form->RulersVisib->GetChecked());
  for (int i = 0; i < ImgFormCount; ++i) {
    SCOPED_TRACE(i);
    TImageForm* window = ImgForms[static_cast<std::size_t>(i)];
    EXPECT_TRUE(window->TopRuler->GetVisible());
    EXPECT_TRUE(window->LeftRuler->GetVisible());
    EXPECT_EQ(window->MaxSize->GetTop(), window->TopRuler->GetHeight());
    // The ruler is drawn: its bitmap holds tick marks in the ruler pen's colour.
    TBitmap* ruler = window->TopRuler->GetPicture()->GetBitmap();
    int ticks = 0;
    for (int x = 0; x < 200; ++x) ticks += PixelFromColor(ColorToRGB(ruler->GetCanvas()->GetPixel(x, 14))) == 0x8F8F8F;
    EXPECT_GT(ticks, 0);
  }
}

// The toolbars' layout is kept: the standard toolbar hidden stays hidden at the next start.
TEST_F(SettingsTest, TheToolbarLayoutIsKeptBetweenRuns) {
  Start();
  ASSERT_TRUE(form->Funcbar->GetVisible());
  form->StdFuncVisibClick(nullptr);
  ASSERT_FALSE(form->Funcbar->GetVisible());
  Restart();
  EXPECT_FALSE(form->Funcbar->GetVisible());
  EXPECT_FALSE(form->StdFuncVisib->GetChecked());
  EXPECT_EQ(Stored(AnsiString(SettingsRegistryKey) + "Toolbars\\Funcbar", "Visible"), "0");
}

}  // namespace
