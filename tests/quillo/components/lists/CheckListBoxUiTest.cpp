// The check list box driven as a user would (clicks on the checks and the texts, Space, "+"
// and "-"), its states through a re-created window, in a settings store and with the form's
// storage across a restart; and the list boxes' horizontal extent.

#include "../ComponentFixture.h"
#include "../buttons/ButtonTestSupport.h"

#include <string>
#include <vector>

#include "platform/vcl/IniFiles.h"
#include "platform/vcl/Registry.h"
#include "platform/vcl/TypInfo.h"
#include "quillo/components/lists/CheckListBox.h"
#include "quillo/components/persistence/FormPlacement.h"

namespace {

using namespace buttons_testing;

const char* const kKey = "Software\\Dornick\\QLChecks";

class TChecksDialog : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TChecksDialog(TComponent* owner) : TForm(owner) {
    SetName("ChecksDialog");
    SetBounds(100, 100, 300, 260);
    Storage = NewComponent<TFormStorage>(this);
    Storage->SetUseRegistry(true);
    Storage->SetIniFileName(kKey);
    Storage->SetIniSection("Prefs");
    List = NewComponent<TExCheckListBox>(this);
    List->SetName("Options");
    List->SetBounds(10, 10, 200, 150);
    List->SetParent(this);
    for (const char* item : {"Alpha", "Beta", "Gamma", "Delta"}) List->GetItems()->Add(item);
    List->SetIniStorage(Storage);
  }
  TFormStorage* Storage;
  TExCheckListBox* List;
};
QUILLO_DEFINE_CLASS(TChecksDialog, TForm)

class CheckListBoxTest : public ComponentTest {
protected:
  void SetUp() override {
    Application()->CreateForm<TForm>()->SetName("MainForm");
    form = NewComponent<TForm>(Application());
    form->SetName("ListForm");
    form->SetBounds(100, 100, 320, 260);
    list = NewComponent<TExCheckListBox>(form);
    list->SetName("Checks");
    list->SetBounds(10, 10, 200, 150);
    list->SetParent(form);
    for (const char* item : {"One", "Two", "Three", "Four"}) list->GetItems()->Add(item);
    list->OnClickCheck = [this](TObject*) { ++clickChecks; };
    list->OnStateChange = [this](TObject*, int index) { changes.push_back(index); };
    form->Show();
    ui.RunUntilIdle();
  }
  std::string States() const {
    std::string s;
    for (int i = 0; i < list->GetItems()->Count(); ++i) s += static_cast<char>('0' + list->GetState(i));
    return s;
  }
  void ClickCheck(int index) {
    TRect r = list->ItemRect(index);
    POINT p = ScreenAt(list, r.left + 8, (r.top + r.bottom) / 2);
    ui.Click(p.x, p.y);
  }
  void ClickText(int index) {
    TRect r = list->ItemRect(index);
    POINT p = ScreenAt(list, r.left + 60, (r.top + r.bottom) / 2);
    ui.Click(p.x, p.y);
  }

  TForm* form = nullptr;
  TExCheckListBox* list = nullptr;
  int clickChecks = 0;
  std::vector<int> changes;
};

TEST_F(CheckListBoxTest, ClicksOnTheCheckToggleAndOnTheTextSelect) {
  ClickText(1);
  EXPECT_EQ(list->GetItemIndex(), 1);
  EXPECT_EQ(States(), "0000");
  ClickCheck(2);
  EXPECT_EQ(States(), "0010");
  ClickCheck(2);
  EXPECT_EQ(States(), "0000");
  EXPECT_EQ(clickChecks, 2);
  EXPECT_EQ(changes, (std::vector<int>{2, 2}));
  // Checked items show their check in the strip: text-coloured pixels appear there.
  ClickCheck(0);
  const TRect r = list->ItemRect(0);
  int dark = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left + 4; x < r.left + 15; ++x) dark += PixelOf(ui, list, x, y) == Rgb(clWindowText);
  EXPECT_GT(dark, 5);
  ClickCheck(0);
  int darkAfter = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left + 4; x < r.left + 15; ++x) darkAfter += PixelOf(ui, list, x, y) == Rgb(clWindowText);
  EXPECT_LT(darkAfter, dark);
}

TEST_F(CheckListBoxTest, StatesCycleByKindAndGrayed) {
  struct Case {
    TCheckKind kind;
    bool allowGrayed;
    const char* afterEachClick;  // the state of item 0 after 1, 2, 3 clicks
  };
  const Case cases[] = {
      {ckCheckBoxes, false, "101"},
      {ckCheckBoxes, true, "210"},
      {ckCheckMarks, true, "210"},
      {ckRadioButtons, true, "111"},  // grayed never; the checked radio item stays checked
  };
  for (const Case& k : cases) {
    list->SetCheckKind(ckCheckBoxes);
    for (int i = 0; i < 4; ++i) list->SetState(i, cbUnchecked);
    list->SetAllowGrayed(k.allowGrayed);
    list->SetCheckKind(k.kind);
    if (k.kind == ckRadioButtons) list->SetCheckedIndex(2);
    std::string seen;
    for (int i = 0; i < 3; ++i) {
      ClickCheck(0);
      seen += static_cast<char>('0' + list->GetState(0));
    }
    EXPECT_EQ(seen, k.afterEachClick) << k.kind << " " << k.allowGrayed;
  }
  // Radio buttons: one checked at a time.
  EXPECT_EQ(States(), "1000");
  ClickCheck(3);
  EXPECT_EQ(States(), "0001");
  EXPECT_EQ(list->GetCheckedIndex(), 3);
}

TEST_F(CheckListBoxTest, KeysToggleAndSetAllAndDisabledItemsStay) {
  list->SetEnabledItem(1, false);
  list->SetFocus();
  ClickText(0);
  ui.Type(" ");
  EXPECT_EQ(States(), "1000");
  EXPECT_EQ(list->GetItemIndex(), 0);  // Space is consumed: the selection stays
  ui.Type("+");
  EXPECT_EQ(States(), "1011");  // the disabled item is left alone
  ui.Type("-");
  EXPECT_EQ(States(), "0000");
  ClickCheck(1);
  EXPECT_EQ(States(), "0000");
  ClickText(1);
  ui.Type(" ");
  EXPECT_EQ(States(), "0000");
}

TEST_F(CheckListBoxTest, ARecreatedWindowKeepsStatesAndEnabledFlags) {
  list->SetAllowGrayed(true);
  list->SetState(0, cbGrayed);
  list->SetState(3, cbChecked);
  list->SetEnabledItem(2, false);
  list->SetSorted(true);  // the window is made again, the items sorted
  ui.RunUntilIdle();
  ASSERT_EQ(list->GetItems()->Get(0), "Four");
  auto stateOf = [&](const char* text) { return list->GetState(list->GetItems()->IndexOf(text)); };
  EXPECT_EQ(stateOf("One"), cbGrayed);
  EXPECT_EQ(stateOf("Four"), cbChecked);
  EXPECT_EQ(stateOf("Two"), cbUnchecked);
  EXPECT_FALSE(list->GetEnabledItem(list->GetItems()->IndexOf("Three")));
  EXPECT_TRUE(list->GetEnabledItem(list->GetItems()->IndexOf("One")));
  // A changed text and a moved item keep their states.
  list->SetSorted(false);
  ui.RunUntilIdle();
  const int one = list->GetItems()->IndexOf("One");
  list->GetItems()->Put(one, "One again");
  EXPECT_EQ(list->GetState(one), cbGrayed);
  ASSERT_EQ(list->GetItems()->IndexOf("Four"), 0);
  list->GetItems()->Move(0, 2);
  ASSERT_EQ(list->GetItems()->Get(2), "Four");
  EXPECT_EQ(list->GetState(2), cbChecked);
  EXPECT_EQ(list->GetState(1), cbUnchecked);
  EXPECT_EQ(stateOf("One again"), cbGrayed);
  list->GetItems()->Add("Five");  // a new item starts unchecked
  EXPECT_EQ(stateOf("Five"), cbUnchecked);
  list->GetItems()->Delete(list->GetItems()->IndexOf("Five"));
  // Another list takes the states and enabled flags of the items both have.
  auto* copy = NewComponent<TExCheckListBox>(form);
  copy->SetBounds(220, 10, 80, 60);
  copy->SetParent(form);
  for (const char* text : {"a", "b"}) copy->GetItems()->Add(text);
  copy->AssignStates(list);
  EXPECT_EQ(copy->GetState(0), cbGrayed);
  EXPECT_FALSE(copy->GetEnabledItem(1));  // "Three" is disabled in the source
  EXPECT_EQ(copy->GetItems()->Count(), 2);
  // Deleting an item takes its state with it.
  list->GetItems()->Delete(list->GetItems()->IndexOf("Four"));
  EXPECT_EQ(stateOf("One again"), cbGrayed);
  EXPECT_EQ(list->GetItems()->Count(), 3);
}

// With grey selection the selected item of an unfocused list is drawn on the button face, not
// in the highlight colour.
TEST_F(CheckListBoxTest, GraySelectionWhileUnfocused) {
  auto* other = NewComponent<TExListBox>(form);
  other->SetBounds(220, 10, 80, 60);
  other->SetParent(form);
  ui.RunUntilIdle();
  ClickText(1);
  const TRect r = list->ItemRect(1);
  auto background = [&] { return PixelOf(ui, list, r.right - 3, (r.top + r.bottom) / 2); };
  EXPECT_EQ(background(), Rgb(clHighlight));
  other->SetFocus();
  ui.RunUntilIdle();
  EXPECT_EQ(background(), Rgb(clHighlight));  // the plain look keeps the highlight
  list->SetGraySelection(true);
  ui.RunUntilIdle();
  EXPECT_EQ(background(), Rgb(clBtnFace));
  list->SetFocus();
  ui.RunUntilIdle();
  EXPECT_EQ(background(), Rgb(clHighlight));
}

TEST_F(CheckListBoxTest, StatesGoToAStoreAndOnlyExistingItemsComeBack) {
  auto ini = MakeObject<TIniFile>(home->Path() + "/checks.ini");
  list->SetAllowGrayed(true);
  list->SetState(1, cbChecked);
  list->SetState(2, cbGrayed);
  list->SaveStates(ini.get());
  const AnsiString section = list->GetDefaultSectionName();
  EXPECT_EQ(ini->ReadInteger(section, "Count", -1), 4);
  EXPECT_EQ(ini->ReadInteger(section, "Item1", -1), 1);
  EXPECT_EQ(ini->ReadInteger(section, "Item2", -1), 2);
  // Ten stored states into a list of four: four are set.
  ini->WriteInteger(section, "Count", 10);
  for (int i = 0; i < 10; ++i) ini->WriteInteger(section, "Item" + std::to_string(i), 1);
  list->RestoreStates(ini.get());
  EXPECT_EQ(States(), "1111");
  // Under radio buttons restoring stops at the first checked item.
  list->SetCheckKind(ckRadioButtons);
  list->RestoreStates(ini.get());
  EXPECT_EQ(list->GetCheckedIndex(), 0);
}

TEST_F(CheckListBoxTest, FormStorageKeepsTheChecksAcrossARestart) {
  auto* dialog = NewComponent<TChecksDialog>(Application());
  dialog->Show();
  ui.RunUntilIdle();
  if (ChildPhase() == "read") {
    EXPECT_EQ(dialog->List->GetState(0), cbUnchecked);
    EXPECT_EQ(dialog->List->GetState(1), cbChecked);
    EXPECT_EQ(dialog->List->GetState(3), cbChecked);
    return;
  }
  dialog->List->SetState(1, cbChecked);
  dialog->List->SetState(3, cbChecked);
  dialog->Close();
  ui.RunUntilIdle();
  auto reg = MakeObject<TRegIniFile>(kKey);
  const AnsiString section = "Prefs\\" + dialog->List->GetDefaultSectionName();
  EXPECT_EQ(reg->ReadString(section, "Count", "(missing)"), "4");
  EXPECT_EQ(reg->ReadString(section, "Item3", "(missing)"), "1");
  ASSERT_TRUE(RunTestInChild("CheckListBoxTest.FormStorageKeepsTheChecksAcrossARestart", "read"));
}

TEST_F(CheckListBoxTest, HorizontalExtentFollowsTheWidestItem) {
  auto* plain = NewComponent<TExListBox>(form);
  plain->SetBounds(10, 170, 100, 60);
  plain->SetParent(form);
  ui.RunUntilIdle();
  plain->GetItems()->Add("short");
  const AnsiString wide = "a much wider item than the others";
  plain->GetItems()->Add(wide);
  plain->GetItems()->Add("medium item");
  TCanvas* c = plain->GetCanvas();
  c->SetFont(plain->GetFont());
  EXPECT_EQ(plain->HorizontalExtent(), c->TextWidth(wide + "x"));
  plain->GetItems()->Delete(1);  // the widest goes: the next widest takes over
  EXPECT_EQ(plain->HorizontalExtent(), c->TextWidth("medium itemx"));
  plain->SetAutoScroll(false);
  EXPECT_EQ(plain->HorizontalExtent(), 0);
  plain->SetAutoScroll(true);
  EXPECT_EQ(plain->HorizontalExtent(), c->TextWidth("medium itemx"));
  plain->GetItems()->Clear();
  EXPECT_EQ(plain->HorizontalExtent(), 0);
  // The framework's list box with the extent kept follows the same rule.
  auto* text = NewComponent<TTextListBox>(form);
  text->SetBounds(120, 170, 80, 60);
  text->SetParent(form);
  text->GetItems()->Add(wide);
  text->GetItems()->Add("tiny");
  EXPECT_EQ(text->WidestItemWidth(), c->TextWidth(wide + "x"));
  text->GetItems()->Delete(0);
  EXPECT_EQ(text->WidestItemWidth(), c->TextWidth("tinyx"));
  // The check list adds the check's width.
  list->GetItems()->Add(wide);
  c = list->GetCanvas();
  c->SetFont(list->GetFont());
  EXPECT_EQ(list->HorizontalExtent(), c->TextWidth(wide + "x") + TExCheckListBox::CheckWidth());
}

TEST(CheckListBoxCells, CellOfStateKindAndEnabled) {
  struct Case {
    TCheckBoxState state;
    TCheckKind kind;
    bool enabled;
    int cell;
  };
  const Case cases[] = {{cbUnchecked, ckCheckBoxes, true, 0},  {cbGrayed, ckCheckBoxes, false, 5},
                        {cbChecked, ckRadioButtons, true, 7},  {cbGrayed, ckRadioButtons, false, 11},
                        {cbUnchecked, ckCheckMarks, true, 12}, {cbChecked, ckCheckMarks, false, 16}};
  for (const Case& k : cases) EXPECT_EQ(TExCheckListBox::CheckCell(k.state, k.kind, k.enabled), k.cell);
  EXPECT_EQ(TExCheckListBox::CheckWidth(), 18);
  EXPECT_EQ(TExCheckListBox::CheckHeight(), 13);
}

}  // namespace
