// Form placement and form storage: what a dialog keeps in the registry (or an INI file)
// between runs, read back in a fresh process as the program would be started again.

#include "ComponentFixture.h"

#include "SampleComponent.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/Registry.h"
#include "quillo/components/persistence/FormPlacement.h"
#include "quillo/components/persistence/SettingsStore.h"

namespace {

const char* const kKey = "Software\\Dornick\\QL";

// A dialog that keeps its placement, some properties of a component and two named values.
class TStoredDialog : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TStoredDialog(TComponent* owner, const char* section = "ScriptForm") : TForm(owner) {
    SetName("StoredDialog");
    SetBounds(30, 40, 320, 240);
    Sample = NewComponent<TSample>(this);
    Sample->SetName("Sample");
    Storage = NewComponent<TFormStorage>(this);
    Storage->SetUseRegistry(true);
    Storage->SetIniFileName(kKey);
    Storage->SetIniSection(section);
    for (const char* line : {"Sample.Number", "Sample.Text", "Sample.Flag", "Sample.Icons", "Sample.Ratio",
                             "Sample.Lines", "Sample.Font"})
      Storage->GetStoredProps()->Add(line);
    Storage->GetStoredValues()->AddValue("TypeItemIndex", "0");
    Storage->GetStoredValues()->AddValue("Password", "")->KeyString = "k3y";
    Storage->OnRestorePlacement = [this](TObject*) { ++Restores; };
  }
  TSample* Sample;
  TFormStorage* Storage;
  int Restores = 0;
};
QUILLO_DEFINE_CLASS(TStoredDialog, TForm)

class FormStorageTest : public ComponentTest {
protected:
  void SetUp() override { Application()->CreateForm<TForm>()->SetName("MainForm"); }
  template <class Dialog = TStoredDialog, class... Args>
  Dialog* Open(Args... args) {
    auto* dialog = NewComponent<Dialog>(Application(), args...);
    dialog->Show();
    ui.RunUntilIdle();
    return dialog;
  }
  void Close(TCustomForm* dialog) {
    dialog->Close();
    ui.RunUntilIdle();
  }
  static TRect Bounds(TControl* c) { return TRect(c->GetLeft(), c->GetTop(), c->GetLeft() + c->GetWidth(), c->GetTop() + c->GetHeight()); }
  static AnsiString Stored(const AnsiString& section, const AnsiString& ident) {
    auto reg = MakeObject<TRegIniFile>(kKey);
    return reg->ReadString(section, ident, "(missing)");
  }
};

TEST_F(FormStorageTest, PropertiesValuesAndPlaceSurviveARestart) {
  if (ChildPhase() == "read") {
    auto* dialog = Open();
    EXPECT_EQ(dialog->Sample->Number, 1234);
    EXPECT_EQ(dialog->Sample->Text, "  two spaces each side  ");
    EXPECT_TRUE(dialog->Sample->Flag);
    EXPECT_EQ(dialog->Sample->Icons, (TBorderIcons{biMinimize, biHelp}));
    EXPECT_DOUBLE_EQ(dialog->Sample->Ratio, 0.125);
    EXPECT_EQ(dialog->Sample->Lines->Count(), 0);  // emptied by the user, not the design lines
    EXPECT_EQ(dialog->Sample->Font->GetSize(), 17);
    EXPECT_EQ(dialog->Storage->GetStoredValues()->GetValue("typeitemindex")->Value, "3");
    EXPECT_EQ(dialog->Storage->GetStoredValues()->GetValue("Password")->Value, "s3cret");
    EXPECT_EQ(Bounds(dialog), TRect(111, 122, 111 + 333, 122 + 244));
    EXPECT_EQ(dialog->Restores, 1);
    return;
  }
  auto* dialog = Open();
  EXPECT_EQ(dialog->Sample->Lines->Count(), 2);
  dialog->Sample->Number = 1234;
  dialog->Sample->Text = "  two spaces each side  ";
  dialog->Sample->Flag = true;
  dialog->Sample->Icons = TBorderIcons{biMinimize, biHelp};
  dialog->Sample->Ratio = 0.125;
  dialog->Sample->Lines->Clear();
  dialog->Sample->Font->SetSize(17);
  dialog->Storage->GetStoredValues()->GetValue("TypeItemIndex")->Value = "3";
  dialog->Storage->GetStoredValues()->GetValue("Password")->Value = "s3cret";
  dialog->SetBounds(111, 122, 333, 244);
  Close(dialog);
  EXPECT_EQ(Stored("ScriptForm", "Sample_Number"), "1234");
  EXPECT_EQ(Stored("ScriptForm.Sample_Lines", "Count"), "0");
  EXPECT_EQ(Stored("ScriptForm", "TypeItemIndex"), "3");
  EXPECT_NE(Stored("ScriptForm", "Password"), "s3cret");  // scrambled
  EXPECT_EQ(Stored("ScriptForm", "NormPos"), "111,122,444,366");
  EXPECT_EQ(Stored("ScriptForm", "NormPos(1280x800)"), "111,122,444,366");
  EXPECT_EQ(Stored("ScriptForm", "FormVersion"), "0");
  ASSERT_TRUE(RunTestInChild("FormStorageTest.PropertiesValuesAndPlaceSurviveARestart", "read"));
}

TEST_F(FormStorageTest, EachDesktopSizeKeepsItsOwnPlace) {
  const std::string phase = ChildPhase();
  if (phase == "move@1024x768") {
    // No place stored for this size yet: the last one written is used.
    auto* dialog = Open();
    EXPECT_EQ(Bounds(dialog), TRect(100, 120, 500, 420));
    dialog->SetBounds(50, 60, 300, 200);
    Close(dialog);
    return;
  }
  if (phase == "read@1280x800") {
    EXPECT_EQ(Bounds(Open()), TRect(100, 120, 500, 420));
    return;
  }
  if (phase == "read@1024x768") {
    EXPECT_EQ(Bounds(Open()), TRect(50, 60, 350, 260));
    return;
  }
  auto* dialog = Open();
  dialog->SetBounds(100, 120, 400, 300);
  Close(dialog);
  const char* test = "FormStorageTest.EachDesktopSizeKeepsItsOwnPlace";
  ASSERT_TRUE(RunTestInChild(test, "move@1024x768"));
  EXPECT_TRUE(RunTestInChild(test, "read@1280x800"));
  EXPECT_TRUE(RunTestInChild(test, "read@1024x768"));
}

TEST_F(FormStorageTest, APlaceOffASmallerScreenIsBroughtBackOnIt) {
  if (ChildPhase() == "read@800x600") {
    auto* dialog = Open();
    EXPECT_EQ(Bounds(dialog), TRect(800 - 300, 600 - 200, 800, 600));  // moved, not resized
    return;
  }
  auto* dialog = Open();
  dialog->SetBounds(1000, 700, 300, 200);
  Close(dialog);
  ASSERT_TRUE(RunTestInChild("FormStorageTest.APlaceOffASmallerScreenIsBroughtBackOnIt", "read@800x600"));
  // Back on the screen it was stored at, it is where the user left it.
  FreeObject(dialog);
  EXPECT_EQ(Bounds(Open()), TRect(1000, 700, 1300, 900));
}

TEST_F(FormStorageTest, AMaximizedDialogOpensMaximizedWithItsNormalPlaceKept) {
  if (ChildPhase() == "read") {
    auto* dialog = Open();
    EXPECT_EQ(dialog->GetWindowState(), wsMaximized);
    dialog->SetWindowState(wsNormal);
    EXPECT_EQ(Bounds(dialog), TRect(70, 80, 370, 280));
    return;
  }
  auto* dialog = Open();
  dialog->SetBounds(70, 80, 300, 200);
  dialog->SetWindowState(wsMaximized);
  Close(dialog);
  EXPECT_EQ(Stored("ScriptForm", "ShowCmd"), IntToStr(SW_SHOWMAXIMIZED));
  ASSERT_TRUE(RunTestInChild("FormStorageTest.AMaximizedDialogOpensMaximizedWithItsNormalPlaceKept", "read"));
}

TEST_F(FormStorageTest, ANeverShownDialogDoesNotOverwriteWhatItStored) {
  auto* first = Open();
  first->SetBounds(10, 20, 300, 200);
  Close(first);
  FreeObject(first);
  // Built and freed without being shown: the stored place stays.
  auto* unseen = NewComponent<TStoredDialog>(Application());
  unseen->SetBounds(500, 500, 100, 100);
  FreeObject(unseen);
  EXPECT_EQ(Stored("ScriptForm", "NormPos"), "10,20,310,220");
}

TEST_F(FormStorageTest, ADialogStillOpenAtTheEndIsSavedAsVisible) {
  auto* dialog = Open();
  dialog->SetBounds(15, 25, 300, 200);
  Close(dialog);
  EXPECT_EQ(Stored("ScriptForm", "Visible"), "0");
  dialog->Show();
  ui.RunUntilIdle();
  dialog->SetLeft(16);
  FreeObject(dialog);
  EXPECT_EQ(Stored("ScriptForm", "Visible"), "1");
  EXPECT_EQ(Stored("ScriptForm", "NormPos"), "16,25,316,225");
}

TEST_F(FormStorageTest, AnOlderStoredVersionRestoresNothing) {
  auto* first = Open();
  first->Sample->Number = 55;
  first->SetBounds(10, 20, 300, 200);
  Close(first);
  FreeObject(first);
  auto* dialog = NewComponent<TStoredDialog>(Application());
  dialog->Storage->SetVersion(2);
  dialog->Show();
  ui.RunUntilIdle();
  EXPECT_EQ(dialog->Restores, 0);
  EXPECT_EQ(dialog->Sample->Number, 7);
  EXPECT_EQ(Bounds(dialog), TRect(30, 40, 350, 280));
  Close(dialog);
  EXPECT_EQ(Stored("ScriptForm", "FormVersion"), "2");
}

TEST_F(FormStorageTest, StateOnlyOptionsRestoreTheStateButNotThePlace) {
  auto* first = Open();
  first->SetBounds(10, 20, 300, 200);
  first->SetWindowState(wsMaximized);
  Close(first);
  FreeObject(first);
  auto* dialog = NewComponent<TStoredDialog>(Application());
  dialog->Storage->SetOptions(TPlacementOptions{fpState});
  dialog->Show();
  ui.RunUntilIdle();
  EXPECT_EQ(dialog->GetWindowState(), wsMaximized);
  dialog->SetWindowState(wsNormal);
  EXPECT_EQ(Bounds(dialog), TRect(30, 40, 350, 280));
}

TEST_F(FormStorageTest, AFixedSizeDialogRestoresOnlyItsPlace) {
  auto* first = Open();
  first->SetBounds(10, 20, 500, 400);
  Close(first);
  FreeObject(first);
  auto* dialog = NewComponent<TStoredDialog>(Application());
  dialog->SetBorderStyle(bsDialog);
  dialog->Show();
  ui.RunUntilIdle();
  EXPECT_EQ(Bounds(dialog), TRect(10, 20, 330, 260));
}

TEST_F(FormStorageTest, ShortOrDamagedPositionsKeepTheFormsOwnCoordinates) {
  {
    auto reg = MakeObject<TRegIniFile>(kKey);
    reg->WriteString("ScriptForm", "NormPos", "10,x");
    reg->WriteString("ScriptForm", "ShowCmd", "garbage");
  }
  auto* dialog = Open();
  // Left from the store; top, right and bottom from the form's own bounds (30, 40, 320 x 240).
  EXPECT_EQ(Bounds(dialog), TRect(10, 40, 350, 280));
  EXPECT_EQ(dialog->GetWindowState(), wsNormal);
}

TEST_F(FormStorageTest, LinkedObjectsSaveAndLoadWithThePlacement) {
  auto* dialog = NewComponent<TStoredDialog>(Application());
  auto link = MakeObject<TIniLink>();
  std::vector<std::string> seen;
  link->OnSave = [&](TObject*) {
    seen.push_back("save");
    IniWriteString(link->IniObject(), link->RootSection() + "Extra", "Key", "kept");
  };
  link->OnLoad = [&](TObject*) {
    std::string line = "load ";
    line += IniReadString(link->IniObject(), link->RootSection() + "Extra", "Key", "none");
    seen.push_back(line);
  };
  link->SetStorage(dialog->Storage);
  EXPECT_EQ(link->RootSection(), "ScriptForm\\");
  dialog->Show();
  ui.RunUntilIdle();
  Close(dialog);
  dialog->Show();
  ui.RunUntilIdle();
  EXPECT_EQ(seen, (std::vector<std::string>{"load none", "save", "load kept"}));
  EXPECT_EQ(link->IniObject(), nullptr);  // the store is open only while the placement works
  link.reset();
  Close(dialog);  // a link that went is not called
  EXPECT_EQ(seen.size(), 3u);
}

TEST_F(FormStorageTest, StoredValueNamesAreUniqueWithoutRegardToCase) {
  auto* dialog = NewComponent<TStoredDialog>(Application());
  TStoredValues* values = dialog->Storage->GetStoredValues();
  EXPECT_THROW(values->AddValue("typeITEMindex", "1"), EStringListError);
  EXPECT_EQ(values->Count(), 2);
  EXPECT_THROW(values->Items(1)->SetName("TYPEITEMINDEX"), EStringListError);
  EXPECT_EQ(values->Items(1)->GetName(), "Password");
  EXPECT_EQ(values->IndexOf("password"), 1);
  EXPECT_EQ(values->IndexOf("none"), -1);
}

TEST_F(FormStorageTest, EraseSectionsTakesTheSectionAndItsSubSections) {
  auto* dialog = Open();
  Close(dialog);
  {
    auto reg = MakeObject<TRegIniFile>(kKey);
    reg->WriteString("ScriptFormer", "Keep", "1");
  }
  EXPECT_EQ(Stored("ScriptForm.Sample_Lines", "Count"), "2");
  dialog->Storage->EraseSections();
  EXPECT_EQ(Stored("ScriptForm", "NormPos"), "(missing)");
  EXPECT_EQ(Stored("ScriptForm.Sample_Lines", "Count"), "(missing)");
  EXPECT_EQ(Stored("ScriptFormer", "Keep"), "1");
}

TEST_F(FormStorageTest, PreventResizeFreezesTheSize) {
  auto* dialog = Open();
  dialog->Storage->SetPreventResize(true);
  EXPECT_FALSE(dialog->GetBorderIcons().Contains(biMaximize));
  MINMAXINFO info{};
  info.ptMaxTrackSize = POINT{2000, 2000};
  SendMessage(dialog->GetHandle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, dialog->GetWidth());
  EXPECT_EQ(info.ptMaxTrackSize.y, dialog->GetHeight());
  RECT frame;
  GetWindowRect(dialog->GetHandle(), &frame);
  const LRESULT hit = SendMessage(dialog->GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(frame.right - 1, frame.bottom - 1));
  EXPECT_EQ(hit, HTNOWHERE);
  dialog->Storage->SetPreventResize(false);
  EXPECT_TRUE(dialog->GetBorderIcons().Contains(biMaximize));
}

TEST_F(FormStorageTest, AFrozenFormsSystemMenuOffersNeitherSizeNorMaximize) {
  auto* dialog = Open();
  // The system menu as the user opens it (a right click on the caption): which of Size and
  // Maximize are greyed while it shows.
  auto greyed = [&] {
    RECT frame;
    GetWindowRect(dialog->GetHandle(), &frame);
    ui.QueueClick(frame.left + 150, frame.top + 12, InputEvent::Right);
    std::string seen = "(no menu)";
    ui.WhenModalWaits([&] {
      HMENU system = GetSystemMenu(dialog->GetHandle(), FALSE);
      seen = std::string((GetMenuState(system, SC_SIZE, MF_BYCOMMAND) & MF_GRAYED) ? "size:grey" : "size") + " " +
             ((GetMenuState(system, SC_MAXIMIZE, MF_BYCOMMAND) & MF_GRAYED) ? "max:grey" : "max") + " " +
             ((GetMenuState(system, SC_MOVE, MF_BYCOMMAND) & MF_GRAYED) ? "move:grey" : "move");
      ui.QueuePress(VK_ESCAPE);
    });
    ui.RunUntilIdle();
    return seen;
  };
  EXPECT_EQ(greyed(), "size max move");
  dialog->Storage->SetPreventResize(true);
  EXPECT_EQ(greyed(), "size:grey max:grey move");
  dialog->Storage->SetPreventResize(false);
  EXPECT_EQ(greyed(), "size max move");
}

TEST_F(FormStorageTest, MinMaxInfoLimitsTheTrackingSize) {
  auto* dialog = Open();
  dialog->Storage->GetMinMaxInfo()->Set(TWinMinMaxInfo::MinTrackWidth, 250);
  dialog->Storage->GetMinMaxInfo()->Set(TWinMinMaxInfo::MaxTrackHeight, 600);
  MINMAXINFO info{};
  SendMessage(dialog->GetHandle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 250);
  EXPECT_EQ(info.ptMaxTrackSize.y, 600);
}

class IniStoreTest : public ComponentTest {};

TEST_F(IniStoreTest, ValuesTheIniReaderWouldChangeReadBackAsWritten) {
  const AnsiString file = home->Path() + "/settings.ini";
  auto ini = MakeObject<TIniFile>(file);
  const char* values[] = {"'quoted'", "\"double\"", "  blanks  ", "plain", "", "'half"};
  int i = 0;
  for (const char* value : values) IniWriteString(ini.get(), "S", Format("V%d", i++), value);
  i = 0;
  for (const char* value : values) EXPECT_EQ(IniReadString(ini.get(), "S", Format("V%d", i++), "?"), value);
  EXPECT_NE(FileContents(file).find("V0=\"'quoted'\""), std::string::npos);
}

TEST_F(IniStoreTest, AnObjectThatIsNoStoreReadsDefaultsAndIgnoresWrites) {
  auto other = MakeObject<TComponent>(nullptr);
  IniWriteString(other.get(), "S", "V", "x");
  EXPECT_EQ(IniReadString(other.get(), "S", "V", "dflt"), "dflt");
  EXPECT_EQ(IniReadInteger(other.get(), "S", "V", 4), 4);
}

TEST_F(IniStoreTest, DefaultSectionsAndNames) {
  auto* form = Application()->CreateForm<TStoredDialog>();
  EXPECT_EQ(GetDefaultSection(form), "TStoredDialog");
  EXPECT_EQ(GetDefaultSection(form->Sample), "TStoredDialog.Sample");
  EXPECT_EQ(GetDefaultSection(nullptr), "");
  DefCompanyName = "Dornick";
  EXPECT_EQ(GetDefaultIniRegKey().substr(0, 17), "Software\\Dornick\\");
  DefCompanyName.clear();
  EXPECT_EQ(ExtractFileExt(GetDefaultIniName()), ".INI");
}

}  // namespace
