// Application helpers: forms by class, MDI children in a store, multi-line values, unique names.

#include "ComponentFixture.h"

#include "platform/vcl/Grids.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/Registry.h"
#include "platform/vcl/Screen.h"
#include "quillo/components/application/AppUtils.h"

namespace {

class TNoteForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TNoteForm(TComponent* owner) : TForm(owner) {}
};
QUILLO_DEFINE_CLASS(TNoteForm, TForm)

class TNoteChild : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TNoteChild(TComponent* owner) : TForm(owner) { SetFormStyle(fsMDIChild); }
};
QUILLO_DEFINE_CLASS(TNoteChild, TForm)

class TFrame : public TForm {
public:
  explicit TFrame(TComponent* owner) : TForm(owner) { SetFormStyle(fsMDIForm); }
};

class TBrowserForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TBrowserForm(TComponent* owner) : TForm(owner) {
    Grid = NewComponent<TDrawGrid>(this);
    Grid->SetName("Thumbs");
    Grid->SetParent(this);
    Grid->SetColCount(4);
  }
  TDrawGrid* Grid;
};
QUILLO_DEFINE_CLASS(TBrowserForm, TForm)

class AppUtilsTest : public ComponentTest {
protected:
  void SetUp() override {
    RegisterFormClass<TNoteForm>();
    RegisterFormClass<TNoteChild>();
  }
};

TEST_F(AppUtilsTest, MultiLineValuesAsOneLine) {
  EXPECT_EQ(StrToIniStr("a\r\nb"), "a\\nb");
  EXPECT_EQ(StrToIniStr("a\n\rb\rc\nd"), "a\\nb\\nc\\nd");
  EXPECT_EQ(IniStrToStr("a\\nb"), "a\r\nb");
  EXPECT_THROW(StrToIniStr(AnsiString(4097, 'x')), EInvalidOperation);
  EXPECT_EQ(StrToIniStr(AnsiString(4096, 'x')).size(), 4096u);
}

TEST_F(AppUtilsTest, FormsFoundOrMadeByClass) {
  EXPECT_EQ(FindForm(TNoteForm::StaticClass()), nullptr);
  TCustomForm* shown = FindShowForm(TNoteForm::StaticClass(), "Notes");
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->GetCaption(), "Notes");
  EXPECT_TRUE(shown->GetVisible());
  EXPECT_EQ(FindForm(TNoteForm::StaticClass()), shown);
  EXPECT_EQ(FindShowForm(TNoteForm::StaticClass(), ""), shown);
  TCustomForm* reference = nullptr;
  TCustomForm* made = InstantiateForm(TNoteForm::StaticClass(), reference);
  EXPECT_EQ(reference, made);
  EXPECT_EQ(InstantiateForm(TNoteForm::StaticClass(), reference), made);
  EXPECT_EQ(FindFormClass("tnoteform"), TNoteForm::StaticClass());
  EXPECT_EQ(FindFormClass("TMissing"), nullptr);
}

TEST_F(AppUtilsTest, ADialogShownByClassAnswersItsResult) {
  ui.WhenModalWaits([] { Screen()->ActiveForm()->SetModalResult(mrOk); });
  EXPECT_TRUE(ShowDialog(TNoteForm::StaticClass()));
  ui.WhenModalWaits([] { Screen()->ActiveForm()->SetModalResult(mrCancel); });
  EXPECT_FALSE(ShowDialog(TNoteForm::StaticClass()));
}

TEST_F(AppUtilsTest, MDIChildrenAreKeptByClassName) {
  auto* frame = Application()->CreateForm<TFrame>();
  frame->Show();
  NewComponent<TNoteChild>(Application());
  NewComponent<TNoteChild>(Application());
  auto reg = MakeObject<TRegIniFile>("Software\\Dornick\\QL");
  SaveMDIChildren(frame, reg.get());
  EXPECT_EQ(reg->ReadInteger("MDI Children", "Count", 0), 2);
  EXPECT_EQ(reg->ReadString("MDI Children", "Item0", ""), "TNoteChild");
  reg->WriteString("MDI Children", "Item1", "TGoneForm");  // a class this program no longer has
  while (frame->MDIChildCount() > 0) FreeObject(frame->MDIChildren(0));
  RestoreMDIChildren(frame, reg.get());
  EXPECT_EQ(frame->MDIChildCount(), 1);
  auto* plain = NewComponent<TNoteForm>(Application());
  EXPECT_THROW(SaveMDIChildren(plain, reg.get()), EInvalidOperation);
}

TEST_F(AppUtilsTest, UniqueFileNamesSkipTakenOnes) {
  home->WriteFile("pics/img000.png", "");
  home->WriteFile("pics/img001.png", "");
  EXPECT_EQ(GetUniqueFileNameInDir(home->Path() + "/pics", "img%03d.png"), "img002.png");
  EXPECT_EQ(GetUniqueFileNameInDir(home->Path() + "/pics/", "new%d.png"), "new0.png");
  EXPECT_EQ(GetUniqueFileNameInDir(home->Path(), "%s.png"), "");
  EXPECT_EQ(GetUniqueFileNameInDir(home->Path(), "%d-%d.png"), "");
  EXPECT_EQ(GetUniqueFileNameInDir(home->Path(), "100%%-%d.png"), "100%-0.png");
}

TEST_F(AppUtilsTest, ABroadcastReachesEveryForm) {
  int seen = 0;
  for (int i = 0; i < 3; ++i) {
    auto* form = NewComponent<TNoteForm>(Application());
    form->HandleNeeded();
    form->WindowProc = [form, &seen](TMessage& m) {
      if (m.Msg == WM_USER + 9) {
        ++seen;
        m.Result = 42;
        return;
      }
      form->WndProc(m);
    };
  }
  EXPECT_EQ(AppBroadcast(WM_USER + 9, 0, 0), 42);
  EXPECT_EQ(seen, 3);
}

TEST_F(AppUtilsTest, GridColumnWidthsSurviveARestart) {
  const char* const key = "Software\\Dornick\\QL";
  auto* form = Application()->CreateForm<TBrowserForm>();
  if (ChildPhase() == "read") {
    auto reg = MakeObject<TRegIniFile>(key);
    RestoreGridLayoutReg(form->Grid, reg.get());
    EXPECT_EQ(form->Grid->GetColWidths(0), 20);
    EXPECT_EQ(form->Grid->GetColWidths(1), 150);
    EXPECT_EQ(form->Grid->GetColWidths(2), 64);  // stored as the default it had
    EXPECT_EQ(form->Grid->GetColWidths(3), 0);
    return;
  }
  form->Grid->SetColWidths(0, 20);
  form->Grid->SetColWidths(1, 150);
  form->Grid->SetColWidths(3, 0);
  {
    auto reg = MakeObject<TRegIniFile>(key);
    SaveGridLayoutReg(form->Grid, reg.get());
    EXPECT_EQ(reg->ReadString("TBrowserFormThumbs", "Item1", ""), "150");
  }
  ASSERT_TRUE(RunTestInChild("AppUtilsTest.GridColumnWidthsSurviveARestart", "read"));
}

TEST_F(AppUtilsTest, GridColumnsTheStoreDoesNotKnowKeepTheirWidths) {
  const AnsiString file = home->Path() + "/grid.ini";
  auto* form = Application()->CreateForm<TBrowserForm>();
  form->Grid->SetColWidths(1, 90);
  {
    auto ini = MakeObject<TIniFile>(file);
    SaveGridLayout(form->Grid, ini.get());
  }
  // The grid has gained columns since, and one stored width is damaged.
  form->Grid->SetColCount(6);
  form->Grid->SetColWidths(1, 10);
  form->Grid->SetColWidths(5, 33);
  auto ini = MakeObject<TIniFile>(file);
  ini->WriteString("TBrowserFormThumbs", "Item0", "wide");
  RestoreGridLayout(form->Grid, ini.get());
  EXPECT_EQ(form->Grid->GetColWidths(0), 64);
  EXPECT_EQ(form->Grid->GetColWidths(1), 90);
  EXPECT_EQ(form->Grid->GetColWidths(5), 33);
}

}  // namespace
