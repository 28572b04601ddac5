// The preferences dialog as a user meets it: where it opens and which page it shows, its
// keys, and every control: it shows its setting; changed and accepted, the setting changes,
// takes effect in the running program and survives a restart; cancelled, nothing changes.

#include <filesystem>
#include <fstream>
#include <sstream>

#include "PreferencesFixture.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/GroupBox.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Registry.h"
#include "platform/vcl/StdButtons.h"
#include "platform/vcl/TrackBar.h"
#include "platform/vcl/UpDown.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/components/edits/FileEdit.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/components/files/MRUFileList.h"
#include "quillo/components/lists/CheckListBox.h"
#include "quillo/components/toolbars/Toolbar.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/shell/PreferencesForm.h"

namespace {

class PreferencesDialogTest : public PreferencesTest {
protected:
  PreferencesDialogTest() {
    undoDir = home.Path() + "/undo/";
    std::filesystem::create_directories(undoDir);
    Settings.UndoDir = undoDir;
    Settings.UndoMem = 64 * 1024;
    Settings.UndoDisk = 128 * 1024;
    StartProgram();
  }
  static bool FuncbarFlat(TMainForm* form) {
    return dynamic_cast<tbx::TToolbarButtonX*>(form->FindComponent("NewBtn"))->GetFlat();
  }
  std::string undoDir;
};

TEST_F(PreferencesDialogTest, OpensCentredFirstThenWhereAndOnThePageItWasLeft) {
  TRect first;
  int firstPage = -1;
  OpenPreferences([&](TPreferences* d) {
    first = d->GetBoundsRect();
    firstPage = d->PageControl->GetActivePageIndex();
    EXPECT_EQ(d->PageControl->PageCount(), 10);
    EXPECT_EQ(d->GetClientWidth(), 351);
    EXPECT_EQ(d->GetClientHeight(), 323);
    for (int i = 0; i < 3; ++i) PressWith(VK_CONTROL, VK_TAB);
    EXPECT_EQ(d->PageControl->GetActivePageIndex(), 3);
    ui.KeyDown(VK_CONTROL);
    PressWith(VK_SHIFT, VK_TAB);
    ui.KeyUp(VK_CONTROL);
    EXPECT_EQ(d->PageControl->GetActivePageIndex(), 2);
    d->SetBounds(40, 50, d->GetWidth(), d->GetHeight());
    ui.Press(VK_ESCAPE);
  });
  EXPECT_EQ(firstPage, 0);
  EXPECT_EQ(first.left, (WorkArea.right - WorkArea.left - first.Width()) / 2);
  EXPECT_EQ(first.top, (WorkArea.bottom - WorkArea.top - first.Height()) / 2);
  EXPECT_EQ(Dialog(), nullptr) << "Esc closed it";
  TRect second;
  int secondPage = -1;
  OpenPreferencesByButton([&](TPreferences* d) {
    second = d->GetBoundsRect();
    secondPage = d->PageControl->GetActivePageIndex();
    ui.Press(VK_RETURN);
  });
  EXPECT_EQ(second.left, 40);
  EXPECT_EQ(second.top, 50);
  EXPECT_EQ(secondPage, 2);
  EXPECT_EQ(Dialog(), nullptr) << "Enter closed it";
}

// One row a control: what it shows of the settings, a change a user makes, and what the
// running program then does (read as the program shows or uses it).
struct ControlRow {
  const char* name;
  std::function<std::string(TPreferences*)> shown;
  std::string shownBefore;
  std::function<void(PreferencesTest&, TPreferences*)> change;
  std::function<std::string(TMainForm*)> inEffect;
  std::string before;
  std::string after;
};

std::string Bit(bool b) { return b ? "1" : "0"; }

template <class Member>
std::function<std::string(TPreferences*)> CheckOf(Member member) {
  return [member](TPreferences* d) { return Bit((d->*member)->GetChecked()); };
}

template <class Member>
std::function<void(PreferencesTest&, TPreferences*)> Click(Member member) {
  return [member](PreferencesTest& test, TPreferences* d) { test.ClickControl(d->*member); };
}

std::vector<ControlRow> ControlRows(const std::string& undoDir, const std::string& newUndoDir) {
  using D = TPreferences;
  auto text = [](auto read) { return [read](TMainForm* f) { return std::string(read(f)); }; };
  auto number = [](auto read) { return [read](TMainForm* f) { return std::to_string(read(f)); }; };
  return {
      {"ShowTODCB", CheckOf(&D::ShowTODCB), "1", Click(&D::ShowTODCB), number([](TMainForm*) { return Settings.ShowTOD; }), "1", "0"},
      {"Clipping", CheckOf(&D::Clipping), "0", Click(&D::Clipping), number([](TMainForm*) { return Settings.Clipping; }), "0", "1"},
      {"OptimBrush", CheckOf(&D::OptimBrush), "0", Click(&D::OptimBrush), number([](TMainForm*) { return Settings.OptimBrush; }), "0", "1"},
      {"InstBrushCB", CheckOf(&D::InstBrushCB), "0", Click(&D::InstBrushCB),
       number([](TMainForm*) { return Settings.InstBrush && ImgForms[0]->InstBrushBtn->GetDown(); }), "0", "1"},
      {"FixRefreshCB", CheckOf(&D::FixRefreshCB), "1", Click(&D::FixRefreshCB),
       number([](TMainForm*) { return int{TBuffer::StretchPatch}; }), "1", "0"},
      {"ResizeNeighCB", CheckOf(&D::ResizeNeighCB), "1", Click(&D::ResizeNeighCB), number([](TMainForm*) { return Settings.ResizeNeigh; }), "1", "0"},
      {"AlwaysDockCB", CheckOf(&D::AlwaysDockCB), "1", Click(&D::AlwaysDockCB), number([](TMainForm*) { return Settings.AlwaysDock; }), "1", "0"},
      {"FlatIconsCB", CheckOf(&D::FlatIconsCB), "1", Click(&D::FlatIconsCB),
       number([](TMainForm* f) {
         return Settings.FlatIcons && dynamic_cast<tbx::TToolbarButtonX*>(f->FindComponent("NewBtn"))->GetFlat();
       }),
       "1", "0"},
      {"MaxQLCB", CheckOf(&D::MaxQLCB), "0", Click(&D::MaxQLCB), number([](TMainForm*) { return Settings.MaxQL; }), "0", "1"},
      // Taken at the next start: the running program keeps its choice.
      {"MinToTaskbarCB", CheckOf(&D::MinToTaskbarCB), "0", Click(&D::MinToTaskbarCB),
       number([](TMainForm*) { return Settings.MinToTaskbarNext; }), "0", "1"},
      {"Level", [](D* d) { return std::to_string(d->Level->GetItemIndex()); }, "0",
       [](PreferencesTest& t, D* d) { t.ClickControl(d->Level->Buttons(1)); },
       number([](TMainForm*) { return Settings.Level * 10 + ImgForms[0]->InstBrushBtn->GetVisible(); }), "0", "11"},
      {"MUnitCB", [](D* d) { return std::to_string(d->MUnitCB->GetItemIndex()); }, "0",
       [](PreferencesTest&, D* d) { d->MUnitCB->SetItemIndex(2); },
       number([](TMainForm*) { return Settings.MeasurementUnit; }), "0", "2"},
      {"FixZoomCB", CheckOf(&D::FixZoomCB), "0", Click(&D::FixZoomCB), number([](TMainForm*) { return Settings.FixZoom; }), "0", "1"},
      {"ZoomUpDown", [](D* d) { return std::to_string(d->ZoomUpDown->GetPosition()) + " " + std::string(d->ZoomValLab->GetCaption()); },
       "1 1", [](PreferencesTest&, D* d) { d->ZoomUpDown->SetPosition(-8); d->FixZoomChanged(d); },
       number([](TMainForm*) { return Settings.FixZoomVal; }), "1", "-8"},
      {"BackupFiles", CheckOf(&D::BackupFiles), "1", Click(&D::BackupFiles), number([](TMainForm*) { return Settings.BackupFiles; }), "1", "0"},
      {"AutoLoadPalCB", CheckOf(&D::AutoLoadPalCB), "0", Click(&D::AutoLoadPalCB), number([](TMainForm*) { return Settings.AutoLoadPalette; }), "0", "1"},
      {"AutoReloadCB", CheckOf(&D::AutoReloadCB), "0", Click(&D::AutoReloadCB), number([](TMainForm*) { return Settings.AutoReload; }), "0", "1"},
      {"CacheThumbs", CheckOf(&D::CacheThumbs), "0", Click(&D::CacheThumbs), number([](TMainForm*) { return Settings.CacheThumbs; }), "0", "1"},
      {"FileListLength", [](D* d) { return std::to_string(d->FileListLength->GetAsInteger()); }, "6",
       [](PreferencesTest&, D* d) { d->FileListLength->SetAsInteger(11); },
       number([](TMainForm* f) { return Settings.MRUFiles * 100 + f->MRUFileList1->GetMaximum(); }), "606", "1111"},
      {"UndoDirEdit", [](D* d) { return std::string(d->UndoDirEdit->GetText()); }, undoDir,
       [newUndoDir](PreferencesTest&, D* d) { d->UndoDirEdit->SetText(newUndoDir); },
       text([](TMainForm*) { return Settings.UndoDir; }), undoDir, newUndoDir + "/"},
      {"UndoMem", [](D* d) { return std::to_string(d->UndoMem->GetAsInteger()); }, "64",
       [](PreferencesTest&, D* d) { d->UndoMem->SetAsInteger(700); },
       number([](TMainForm*) { return Settings.UndoMem; }), std::to_string(64 * 1024), std::to_string(700 * 1024)},
      {"UndoDisk", [](D* d) { return std::to_string(d->UndoDisk->GetAsInteger()); }, "128",
       [](PreferencesTest&, D* d) { d->UndoDisk->SetAsInteger(900); },
       number([](TMainForm*) { return Settings.UndoDisk; }), std::to_string(128 * 1024), std::to_string(900 * 1024)},
      {"UseQLCCB", CheckOf(&D::UseQLCCB), "1", Click(&D::UseQLCCB), number([](TMainForm*) { return Settings.UseQLC; }), "1", "0"},
      {"UseAdobeCB", CheckOf(&D::UseAdobeCB), "1", Click(&D::UseAdobeCB), number([](TMainForm*) { return Settings.UseAdobe; }), "1", "0"},
      {"AdobeLocEdit", [](D* d) { return std::string(d->AdobeLocEdit->GetText()); }, "",
       [](PreferencesTest&, D* d) { d->AdobeLocEdit->SetText("/opt/filters\\"); },
       text([](TMainForm*) { return Settings.AdobeLoc; }), "", "/opt/filters/"},
      {"ColorInHexCB", CheckOf(&D::ColorInHexCB), "0", Click(&D::ColorInHexCB), number([](TMainForm*) { return Settings.ColorInHex; }), "0", "1"},
      // A palette file that is there: the next start loads it (and would forget a missing one).
      {"DefPalEdit", [](D* d) { return std::string(d->DefPalEdit->GetText()); }, "",
       [newUndoDir](PreferencesTest&, D* d) {
         std::ofstream(newUndoDir + "/sunset.pal") << "1\n102030\n";
         d->DefPalEdit->SetText(newUndoDir + "/sunset.pal");
       },
       text([](TMainForm*) {
         const std::string name = Settings.DefPal;
         return name.substr(name.rfind('/') + 1);
       }),
       "", "sunset.pal"},
      {"UseGamma", CheckOf(&D::UseGamma), "0", Click(&D::UseGamma), number([](TMainForm*) { return int{TBuffer::GlobalICM}; }), "0", "1"},
      {"UseDefaults", CheckOf(&D::UseDefaults), "1", Click(&D::UseDefaults),
       number([](TMainForm*) { return int{TBuffer::GlobalGammaCorr}; }), "0", "1"},
      {"GreyGammaBar", [](D* d) { return std::to_string(d->GreyGammaBar->GetPosition()) + " " + std::string(d->GreyValLab->GetCaption()); },
       "180 1.80", [](PreferencesTest&, D* d) { d->GreyGammaBar->SetPosition(220); },
       number([](TMainForm*) { return Settings.GreyGamma * 1000000 + TBuffer::GlobalGammaGreen; }),
       std::to_string(180 * 1000000 + 117965), std::to_string(220 * 1000000 + 131072)},
      {"RedGammaBar", [](D* d) { return std::to_string(d->RedGammaBar->GetPosition()); }, "0",
       [](PreferencesTest&, D* d) { d->RedGammaBar->SetPosition(20); },
       number([](TMainForm*) { return Settings.RedGamma * 1000000 + TBuffer::GlobalGammaRed; }),
       "117965", std::to_string(20 * 1000000 + 157286)},
      {"GreenGammaBar", [](D* d) { return std::to_string(d->GreenGammaBar->GetPosition()); }, "0",
       [](PreferencesTest&, D* d) { d->GreenGammaBar->SetPosition(-20); },
       number([](TMainForm*) { return Settings.GreenGamma; }), "0", "-20"},
      {"BlueGammaBar", [](D* d) { return std::to_string(d->BlueGammaBar->GetPosition()); }, "0",
       [](PreferencesTest&, D* d) { d->BlueGammaBar->SetPosition(5); },
       number([](TMainForm*) { return Settings.BlueGamma; }), "0", "5"},
      {"Langs", [](D* d) { return std::string(d->Langs->GetItems()->Strings(d->Langs->GetItemIndex())); }, "English",
       [](PreferencesTest&, D* d) { d->Langs->SetItemIndex(d->Langs->GetItems()->IndexOf("Tiny")); },
       text([](TMainForm*) { return Settings.Language; }), "English", "Tiny"},
      {"SkinList", [](D* d) { return std::string(d->SkinList->GetItems()->Strings(d->SkinList->GetItemIndex())); },
       "Standard shaded", [](PreferencesTest&, D* d) { d->SkinList->SetItemIndex(d->SkinList->GetItems()->IndexOf("Tiny")); },
       text([](TMainForm*) { return Settings.Skin; }), "Standard Shaded", "Tiny"},
  };
}

TEST_F(PreferencesDialogTest, EveryControlShowsItsSettingAndOkAppliesItsChange) {
  // The gamma values the dialog shows are those the settings hold.
  TBuffer::GlobalGammaCorr = 0;
  const std::string newUndoDir = home.Path() + "/undo2";
  std::filesystem::create_directories(newUndoDir);
  const std::vector<ControlRow> rows = ControlRows(undoDir, newUndoDir);
  for (const ControlRow& row : rows) EXPECT_EQ(row.inEffect(form), row.before) << row.name << " before";
  ui.OnMessageBox([](const std::string&, const std::string&, UINT) { return IDOK; });
  OpenPreferences([&](TPreferences* d) {
    for (const ControlRow& row : rows) {
      EXPECT_EQ(row.shown(d), row.shownBefore) << row.name << " shown";
      row.change(*this, d);
    }
    ClickControl(d->OkBtn);
  });
  for (const ControlRow& row : rows) EXPECT_EQ(row.inEffect(form), row.after) << row.name << " after OK";
  // The taskbar choice says it waits for the next start.
  ASSERT_FALSE(ui.MessageBoxTexts().empty());
  EXPECT_EQ(ui.MessageBoxTexts().back(), std::string(LangMessage("SettingsNextTime")));
  Restart();
  for (const ControlRow& row : rows) {
    if (std::string(row.name) == "MaxQLCB" || std::string(row.name) == "MinToTaskbarCB") continue;
    EXPECT_EQ(row.inEffect(form), row.after) << row.name << " after a restart";
  }
  EXPECT_TRUE(Settings.MinToTaskbar);
}

// Everything a setting can be seen in, as one text.
std::string Snapshot(TMainForm* form) {
  std::ostringstream out;
  const TSettings& s = Settings;
  out << s.Clipping << s.OptimBrush << s.InstBrush << s.ResizeNeigh << s.AlwaysDock << s.FlatIcons << s.MaxQL
      << s.MinToTaskbarNext << s.BackupFiles << s.ColorInHex << s.AutoLoadPalette << s.AutoReload << s.CacheThumbs
      << s.FixZoom << " " << s.FixZoomVal << " " << s.DefPal << "|" << s.Language << "|" << s.Level << s.MeasurementUnit
      << " " << s.MRUFiles << " " << s.UndoDir << " " << s.UndoMem << " " << s.UndoDisk << s.UseQLC << s.UseAdobe
      << s.AdobeLoc << s.ShowTOD << " " << s.GreyGamma << s.RedGamma << s.GreenGamma << s.BlueGamma << s.Skin << "|"
      << int{TBuffer::StretchPatch} << int{TBuffer::GlobalICM} << int{TBuffer::GlobalGammaCorr}
      << TBuffer::GlobalGammaRed << "|" << form->MRUFileList1->GetMaximum() << ":";
  for (int i = 0; i < form->MRUFileList1->Items()->Count(); ++i) out << form->MRUFileList1->Items()->Strings(i) << ";";
  for (int i = 0; i < ImgFormCount; ++i)
    out << ImgForms[static_cast<std::size_t>(i)]->InstBrushBtn->GetDown()
        << ImgForms[static_cast<std::size_t>(i)]->InstBrushBtn->GetVisible()
        << (ImgForms[static_cast<std::size_t>(i)]->Picture.Outline != nullptr);
  return out.str();
}

TEST_F(PreferencesDialogTest, CancelLeavesEverythingAsItWas) {
  const std::string newUndoDir = home.Path() + "/undo2";
  std::filesystem::create_directories(newUndoDir);
  const std::string kept = WriteImage("kept.png", 4, 4, 0x123456);
  form->MRUFileList1->InsertItem(0, home.Path() + "/gone.png");
  form->MRUFileList1->InsertItem(0, kept);
  // Instant brush on and something selected in the active picture.
  Settings.InstBrush = true;
  ApplyInstBrushSetting(false);
  CurrentPicture->SetMaskRect(true, Rect(2, 2, 10, 10));
  CurrentPicture->UpdateSelectionBounds();
  CurrentPicture->BuildSelectionOutline(false);
  ASSERT_NE(CurrentPicture->Outline, nullptr);
  const std::string before = Snapshot(form);
  for (int how = 0; how < 2; ++how) {
    SCOPED_TRACE(how == 0 ? "Esc" : "the Cancel button");
    OpenPreferences([&](TPreferences* d) {
      // The skin and the recent-files list change at once (tested apart).
      for (const ControlRow& row : ControlRows(undoDir, newUndoDir))
        if (std::string(row.name) != "SkinList" && std::string(row.name) != "FileListLength") row.change(*this, d);
      if (how == 0) ui.Press(VK_ESCAPE);
      else ClickControl(d->CancelBtn);
    });
    EXPECT_EQ(Snapshot(form), before);
  }
}

TEST_F(PreferencesDialogTest, TheRecentFilesButtonsActAtOnceAndCancelKeepsTheirWork) {
  const std::string kept = WriteImage("kept.png", 4, 4, 0x123456);
  const std::string notAnImage = home.WriteFile("notes.png", "plain text");
  // A name holding ": " is the file's whole name, not an entry's number.
  const std::string colon = WriteImage("a: b.png", 4, 4, 0x654321);
  TMRUFileList* list = form->MRUFileList1;
  list->InsertItem(0, home.Path() + "/gone.png");
  list->InsertItem(0, notAnImage);
  list->InsertItem(0, colon);
  list->InsertItem(0, home.Path() + "/gone too.png: 2");
  list->InsertItem(0, kept);
  const auto entries = [list] {
    std::string out;
    for (int i = 0; i < list->Items()->Count(); ++i) out += std::string(list->Items()->Strings(i)) + ";";
    return out;
  };
  const std::string remaining = kept + ";" + colon + ";" + notAnImage + ";";
  OpenPreferences([&](TPreferences* d) {
    ClickControl(d->RemEntriesBtn);
    EXPECT_EQ(entries(), remaining) << "a file that is there stays, image or not";
    ClickControl(d->CancelBtn);
  });
  EXPECT_EQ(entries(), remaining);
  OpenPreferences([&](TPreferences* d) {
    // Typed digit by digit, "12" passes through 1: the entries it cut come back at 12.
    d->FileListLength->SetText("1");
    EXPECT_EQ(entries(), kept + ";");
    EXPECT_EQ(list->GetMaximum(), 1);
    d->FileListLength->SetText("");
    EXPECT_EQ(list->GetMaximum(), 1) << "an emptied field is no length yet";
    d->FileListLength->SetText("12");
    EXPECT_EQ(entries(), remaining);
    d->FileListLength->SetText("2");
    ClickControl(d->CancelBtn);
  });
  EXPECT_EQ(entries(), kept + ";" + colon + ";");
  EXPECT_EQ(list->GetMaximum(), 2);
  EXPECT_EQ(Settings.MRUFiles, 2) << "the next opening shows the list's length";
  OpenPreferences([&](TPreferences* d) {
    EXPECT_EQ(d->FileListLength->GetAsInteger(), 2);
    ClickControl(d->ClrFListBtn);
    EXPECT_EQ(list->Items()->Count(), 0);
    ui.Press(VK_ESCAPE);
  });
  EXPECT_EQ(list->Items()->Count(), 0) << "cancelling does not bring the list back";
}

// Accepted preferences are in the settings file when the dialog closes, not only at
// close-down: a program that is killed afterwards keeps them.
TEST_F(PreferencesDialogTest, OkWritesTheAcceptedPreferencesToTheSettingsFileAtOnce) {
  const std::string file = home.Path() + "/registry.txt";
  const int level = Settings.Level;
  OpenPreferences([&](TPreferences* d) {
    ClickControl(d->Level->Buttons(1 - level));
    ClickControl(d->OkBtn);
  });
  ASSERT_EQ(Settings.Level, 1 - level);
  const std::string expected = "\"Level\"=dword:0000000" + std::to_string(1 - level);
  EXPECT_NE(FileContents(file).find(expected), std::string::npos) << FileContents(file);
}

}  // namespace
