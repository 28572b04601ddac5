// The framework's buttons, labels and group boxes on a form built in code, used through the
// UI driver: clicks, the keyboard (Enter, Esc, arrows, mnemonics), modal results and looks.

#include "VclFixture.h"

#include "platform/controls/Button.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/GroupBox.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/StdButtons.h"
#include "platform/vcl/TypInfo.h"

namespace {

class StdButtonsTest : public VclTest {
protected:
  void PressWithAlt(int vk) {
    ui.KeyDown(VK_MENU);
    ui.Press(vk);
    ui.KeyUp(VK_MENU);
  }
};

template <typename T>
T* Make(TWinControl* parent, const char* name, const char* caption, int x, int y, int w, int h) {
  auto* c = NewComponent<T>(parent);
  c->SetName(name);
  c->SetParent(parent);
  c->SetBounds(x, y, w, h);
  c->SetCaption(caption);
  return c;
}

class TOptionsForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TOptionsForm(TComponent* owner) : TForm(owner) {
    SetName("OptionsForm");
    SetBounds(200, 150, 320, 240);
    SetBorderStyle(bsDialog);
    SetCaption("Options");
    NameLabel = Make<TLabel>(this, "NameLabel", "&Wrap:", 10, 12, 40, 17);
    Wrap = Make<TCheckBox>(this, "Wrap", "Wrap lines", 60, 10, 120, 17);
    NameLabel->SetFocusControl(Wrap);
    Bold = Make<TCheckBox>(this, "Bold", "&Bold", 60, 30, 120, 17);
    Left = Make<TRadioButton>(this, "Left", "&Left", 10, 60, 100, 17);
    Right = Make<TRadioButton>(this, "Right", "&Right", 10, 80, 100, 17);
    Left->SetChecked(true);
    Ok = Make<TButton>(this, "Ok", "OK", 60, 180, 75, 25);
    Ok->SetDefault(true);
    Ok->SetModalResult(mrOk);
    Cancel = Make<TButton>(this, "Cancel", "Cancel", 145, 180, 75, 25);
    Cancel->SetCancel(true);
    Cancel->SetModalResult(mrCancel);
    Apply = Make<TButton>(this, "Apply", "&Apply", 230, 180, 75, 25);
  }
  TLabel* NameLabel;
  TCheckBox* Wrap;
  TCheckBox* Bold;
  TRadioButton* Left;
  TRadioButton* Right;
  TButton* Ok;
  TButton* Cancel;
  TButton* Apply;
};
QUILLO_DEFINE_CLASS(TOptionsForm, TForm)

TEST_F(StdButtonsTest, EnterEscAndClicksEndAModalFormWithTheButtonsResult) {
  struct Case {
    const char* what;
    std::function<void(UiDriver&, TOptionsForm*)> act;
    TModalResult result;
  };
  const Case cases[] = {
      {"Enter: the default button", [](UiDriver& u, TOptionsForm*) { u.Press(VK_RETURN); }, mrOk},
      {"Esc: the cancel button", [](UiDriver& u, TOptionsForm*) { u.Press(VK_ESCAPE); }, mrCancel},
      {"a click on Cancel",
       [](UiDriver& u, TOptionsForm* f) {
         POINT p = At(f->Cancel, 10, 10);
         u.Click(p.x, p.y);
       },
       mrCancel},
      {"space on the focused OK",
       [](UiDriver& u, TOptionsForm* f) {
         f->Ok->SetFocus();
         u.Press(VK_SPACE);
       },
       mrOk},
  };
  for (const Case& c : cases) {
    auto form = MakeObject<TOptionsForm>(nullptr);
    ui.WhenModalWaits([&] { c.act(ui, form.get()); });
    EXPECT_EQ(form->ShowModal(), c.result) << c.what;
  }
}

TEST_F(StdButtonsTest, TheFocusedButtonIsTheDefaultWhileItHasTheFocus) {
  auto* form = Application()->CreateForm<TOptionsForm>();
  form->Show();
  ui.RunUntilIdle();
  auto isDefault = [](TButton* b) {
    return (GetWindowLongPtr(b->GetHandle(), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  };
  EXPECT_TRUE(isDefault(form->Ok));
  int applied = 0;
  form->Apply->OnClick = [&](TObject*) { ++applied; };
  form->Apply->SetFocus();
  ui.RunUntilIdle();
  EXPECT_TRUE(isDefault(form->Apply));
  EXPECT_FALSE(isDefault(form->Ok));
  ui.Press(VK_RETURN);  // the focused button, not OK
  EXPECT_EQ(applied, 1);
  EXPECT_EQ(form->GetModalResult(), mrNone);
  form->Bold->SetFocus();
  ui.RunUntilIdle();
  EXPECT_TRUE(isDefault(form->Ok));
  EXPECT_FALSE(isDefault(form->Apply));
  PressWithAlt('A');
  EXPECT_EQ(applied, 2);  // the mnemonic clicks
}

TEST_F(StdButtonsTest, CheckBoxStatesByClicksAndProperties) {
  auto* form = Application()->CreateForm<TOptionsForm>();
  form->Show();
  ui.RunUntilIdle();
  std::vector<TCheckBoxState> seen;
  form->Bold->OnClick = [&](TObject*) { seen.push_back(form->Bold->GetState()); };
  ClickOn(form->Bold);
  ui.Advance(1000);
  ClickOn(form->Bold);
  ui.Advance(1000);
  form->Bold->SetAllowGrayed(true);
  ClickOn(form->Bold);
  ui.Advance(1000);
  ClickOn(form->Bold);
  EXPECT_EQ(seen, (std::vector<TCheckBoxState>{cbChecked, cbUnchecked, cbGrayed, cbChecked}));
  EXPECT_EQ(SendMessage(form->Bold->GetHandle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  // The state stays while the window is made again, and the property table reaches it.
  form->Bold->SetAlignment(taLeftJustify);
  EXPECT_EQ(SendMessage(form->Bold->GetHandle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(GetWindowLongPtr(form->Bold->GetHandle(), GWL_STYLE) & BS_LEFTTEXT);
  SetEnumProp(form->Bold, "State", "cbGrayed");
  EXPECT_EQ(SendMessage(form->Bold->GetHandle(), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
  EXPECT_EQ(GetOrdProp(form->Bold, "Checked"), 0);
  EXPECT_EQ(seen.back(), cbGrayed);  // setting the state is a click too
  // The label's mnemonic focuses its control without changing it.
  PressWithAlt('W');
  EXPECT_EQ(form->GetActiveControl(), form->Wrap);
  EXPECT_FALSE(form->Wrap->GetChecked());
  PressWithAlt('B');  // the check box's own mnemonic toggles it
  EXPECT_EQ(form->GetActiveControl(), form->Bold);
  EXPECT_EQ(form->Bold->GetState(), cbChecked);
}

// Alt and a letter is a mnemonic even while an edit, which takes the letters typed, has the
// focus; the letter alone is typed into the edit.
TEST_F(StdButtonsTest, MnemonicsReachTheirControlsFromAnEdit) {
  auto* form = Application()->CreateForm<TOptionsForm>();
  auto* edit = NewComponent<TEdit>(form);
  edit->SetParent(form);
  edit->SetBounds(10, 120, 150, 21);
  form->Show();
  ui.RunUntilIdle();
  int applied = 0;
  form->Apply->OnClick = [&](TObject*) { ++applied; };
  struct Case {
    int letter;
    TWinControl* focused;  // where the focus ends
    std::function<bool()> done;
  };
  const Case cases[] = {
      {'B', form->Bold, [&] { return form->Bold->GetChecked(); }},
      {'R', form->Right, [&] { return form->Right->GetChecked() && !form->Left->GetChecked(); }},
      {'W', form->Wrap, [&] { return !form->Wrap->GetChecked(); }},  // the label focuses without a click
      {'A', edit, [&] { return applied == 1; }},                  // a push button clicks, the focus stays
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(1, static_cast<char>(c.letter)));
    edit->SetFocus();
    ui.RunUntilIdle();
    PressWithAlt(c.letter);
    EXPECT_TRUE(c.done());
    EXPECT_EQ(form->GetActiveControl(), c.focused);
  }
  edit->SetFocus();
  ui.Type("bar");
  EXPECT_EQ(edit->GetText(), "bar");
  EXPECT_TRUE(form->Bold->GetChecked());
  EXPECT_EQ(applied, 1);
}

TEST_F(StdButtonsTest, RadioButtonsOfAParentCheckOneAtATime) {
  auto* form = Application()->CreateForm<TOptionsForm>();
  form->Show();
  ui.RunUntilIdle();
  int clicks = 0;
  form->Right->OnClick = [&](TObject*) { ++clicks; };
  ClickOn(form->Right);
  EXPECT_TRUE(form->Right->GetChecked());
  EXPECT_FALSE(form->Left->GetChecked());
  EXPECT_EQ(SendMessage(form->Left->GetHandle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(clicks, 1);
  // Arrows move within the radio buttons and check the one they reach.
  ui.Press(VK_UP);
  EXPECT_EQ(form->GetActiveControl(), form->Left);
  EXPECT_TRUE(form->Left->GetChecked());
  EXPECT_FALSE(form->Right->GetChecked());
  PressWithAlt('R');
  EXPECT_TRUE(form->Right->GetChecked());
  EXPECT_EQ(clicks, 2);
  EXPECT_TRUE(form->Right->GetTabStop());
  EXPECT_FALSE(form->Left->GetTabStop());
}

TEST_F(StdButtonsTest, LabelSizesItselfAndDraws) {
  auto* form = Application()->CreateForm<TForm>();
  form->SetBounds(100, 100, 300, 200);
  form->SetColor(clBtnFace);
  auto* label = Make<TLabel>(form, "Label", "Hello", 10, 10, 200, 40);
  int shortWidth = label->GetWidth();
  EXPECT_LT(shortWidth, 60);
  EXPECT_GT(label->GetHeight(), 8);
  label->SetCaption("Hello, a much longer text");
  EXPECT_GT(label->GetWidth(), shortWidth + 40);
  // A right-aligned label keeps its right edge as it grows.
  label->SetAlignment(taRightJustify);
  int right = label->GetLeft() + label->GetWidth();
  label->SetCaption("Hi");
  EXPECT_EQ(label->GetLeft() + label->GetWidth(), right);
  // An empty caption still has a line's height.
  label->SetCaption("");
  EXPECT_GT(label->GetHeight(), 8);
  // Drawn: opaque in its colour, text in the font's colour.
  label->SetAutoSize(false);
  label->SetBounds(10, 10, 100, 30);
  label->SetCaption("MMMM");
  label->SetAlignment(taLeftJustify);
  label->SetColor(clYellow);
  form->Show();
  ui.RunUntilIdle();
  EXPECT_EQ(PixelOf(label, 90, 25), 0xFFFF00u);
  int ink = 0;
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 40; ++x) ink += (PixelOf(label, x, y) & 0xC0C0C0) == 0;
  EXPECT_GT(ink, 10);
  label->SetTransparent(true);
  ui.RunUntilIdle();
  EXPECT_EQ(PixelOf(label, 90, 25), 0xC0C0C0u);  // the form shows through
}

TEST_F(StdButtonsTest, RadioGroupItemsIndexAndColumns) {
  auto* form = Application()->CreateForm<TForm>();
  form->SetBounds(100, 100, 400, 300);
  auto* group = Make<TRadioGroup>(form, "Group", "&Units", 10, 10, 300, 120);
  group->GetItems()->Add("Pixels");
  group->GetItems()->Add("Inches");
  group->GetItems()->Add("Centimetres");
  group->GetItems()->Add("Points");
  ASSERT_EQ(group->ButtonCount(), 4);
  EXPECT_EQ(group->GetItemIndex(), -1);
  int clicks = 0;
  group->OnClick = [&](TObject*) { ++clicks; };
  group->SetItemIndex(2);
  EXPECT_TRUE(group->Buttons(2)->GetChecked());
  EXPECT_EQ(clicks, 1);
  EXPECT_THROW(group->SetItemIndex(4), EListError);
  form->Show();
  ui.RunUntilIdle();
  ClickOn(group->Buttons(1), 5, 5);
  EXPECT_EQ(group->GetItemIndex(), 1);
  EXPECT_FALSE(group->Buttons(2)->GetChecked());
  EXPECT_EQ(clicks, 2);
  ui.Press(VK_DOWN);
  EXPECT_EQ(group->GetItemIndex(), 2);
  // Two columns: the third item starts the second column, level with the first.
  group->SetColumns(2);
  EXPECT_EQ(group->Buttons(2)->GetTop(), group->Buttons(0)->GetTop());
  EXPECT_GT(group->Buttons(2)->GetLeft(), group->Buttons(0)->GetLeft() + 100);
  // Fewer items: fewer buttons, the index kept in range.
  group->GetItems()->Delete(3);
  group->GetItems()->Delete(2);
  EXPECT_EQ(group->ButtonCount(), 2);
  EXPECT_EQ(group->GetItemIndex(), 1);
  EXPECT_EQ(GetOrdProp(group, "ItemIndex"), 1);
}

TEST_F(StdButtonsTest, StaticTextOverTheStaticClass) {
  auto* form = Application()->CreateForm<TForm>();
  form->SetBounds(100, 100, 300, 200);
  auto* target = Make<TCheckBox>(form, "Target", "Target", 10, 60, 100, 17);
  auto* text = Make<TStaticText>(form, "Text", "&Static", 10, 10, 200, 30);
  text->SetFocusControl(target);
  text->SetBorderStyle(sbsSunken);
  form->Show();
  ui.RunUntilIdle();
  char name[16];
  GetClassName(text->GetHandle(), name, sizeof name);
  EXPECT_STREQ(name, "TStaticText");
  EXPECT_TRUE(GetWindowLongPtr(text->GetHandle(), GWL_EXSTYLE) & WS_EX_STATICEDGE);
  EXPECT_LT(text->GetWidth(), 80);  // sized to its text
  int clicks = 0;
  text->OnClick = [&](TObject*) { ++clicks; };
  ClickOn(text, 3, 3);
  EXPECT_EQ(clicks, 1);
  PressWithAlt('S');
  EXPECT_EQ(form->GetActiveControl(), target);
}

TEST_F(StdButtonsTest, LabelLayoutAndWordWrap) {
  auto* form = Application()->CreateForm<TForm>();
  form->SetBounds(100, 100, 300, 200);
  auto* label = Make<TLabel>(form, "Label", "", 10, 10, 60, 17);
  label->SetWordWrap(true);
  label->SetWidth(60);
  label->SetCaption("one two three four five six");
  EXPECT_LE(label->GetWidth(), 60);       // a wrapped label keeps within its width...
  EXPECT_GT(label->GetHeight(), 3 * 10);  // ...and grows down
  // The vertical layout: where the ink lies in a tall label.
  label->SetAutoSize(false);
  label->SetWordWrap(false);
  label->SetCaption("Mm");
  label->SetBounds(10, 10, 60, 90);
  form->Show();
  auto inkRows = [&] {
    ui.RunUntilIdle();
    int top = 1000, bottom = -1;
    for (int y = 0; y < 90; ++y)
      for (int x = 0; x < 60; ++x)
        if ((PixelOf(label, x, y) & 0xC0C0C0) == 0) top = std::min(top, y), bottom = std::max(bottom, y);
    return std::pair<int, int>{top, bottom};
  };
  auto [topOfTop, bottomOfTop] = inkRows();
  EXPECT_LT(bottomOfTop, 20);
  label->SetLayout(tlCenter);
  auto [topOfCentre, bottomOfCentre] = inkRows();
  EXPECT_GT(topOfCentre, 30);
  EXPECT_LT(bottomOfCentre, 60);
  label->SetLayout(tlBottom);
  auto [topOfBottom, bottomOfBottom] = inkRows();
  EXPECT_GT(topOfBottom, 65);
  EXPECT_LT(bottomOfBottom, 90);
  (void)topOfTop;
}

}  // namespace
