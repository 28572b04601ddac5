// TEdit, TMemo and TClipboard over the EDIT class and the clipboard: typing and events, the
// selection, properties kept while the window is made again, the memo's lines, the hooks the
// edits derived from TCustomEdit use, and the clipboard between the controls.

#include "VclFixture.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/TypInfo.h"

namespace {

class EditFormTest : public VclTest {};

// An edit that refuses what is pasted or cut while Locked, as the components' spin and combo
// edits do when their editor is off.
class TLockedEdit : public TCustomEdit {
  QUILLO_DECLARE_CLASS()

public:
  explicit TLockedEdit(TComponent* owner) : TCustomEdit(owner) {}
  bool Locked = true;

protected:
  void WMPaste(TMessage& m) override {
    if (!Locked) TCustomEdit::WMPaste(m);
  }
  void WMCut(TMessage& m) override {
    if (!Locked) TCustomEdit::WMCut(m);
  }
};
QUILLO_DEFINE_CLASS(TLockedEdit, TCustomEdit)

class TEditForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TEditForm(TComponent* owner) : TForm(owner) {
    SetName("EditForm");
    SetBounds(50, 50, 420, 320);
    Name = NewComponent<TEdit>(this);
    Name->SetName("NameEdit");
    Name->SetParent(this);
    Name->SetBounds(10, 10, 200, 21);
    Other = NewComponent<TEdit>(this);
    Other->SetName("OtherEdit");
    Other->SetParent(this);
    Other->SetBounds(10, 40, 200, 21);
    Notes = NewComponent<TMemo>(this);
    Notes->SetName("Notes");
    Notes->SetParent(this);
    Notes->SetBounds(10, 70, 200, 120);
    Locked = NewComponent<TLockedEdit>(this);
    Locked->SetName("Locked");
    Locked->SetParent(this);
    Locked->SetBounds(220, 10, 150, 21);
  }
  TEdit* Name;
  TEdit* Other;
  TMemo* Notes;
  TLockedEdit* Locked;
};
QUILLO_DEFINE_CLASS(TEditForm, TForm)

TEditForm* ShowForm(UiDriver& ui) {
  auto* form = Application()->CreateForm<TEditForm>();
  form->Show();
  ui.RunUntilIdle();
  return form;
}

void Keys(UiDriver& ui, int modifier, int vk) {
  ui.KeyDown(modifier);
  ui.Press(vk);
  ui.KeyUp(modifier);
}

TEST_F(EditFormTest, TypingFiresOnChangeAndTheSelectionReadsBack) {
  TEditForm* form = ShowForm(ui);
  TEdit* e = form->Name;
  std::vector<std::string> changes;
  e->OnChange = [&](TObject*) { changes.push_back(e->GetText()); };
  e->SetFocus();
  ui.Type("hi you");
  EXPECT_EQ(changes, (std::vector<std::string>{"h", "hi", "hi ", "hi y", "hi yo", "hi you"}));
  EXPECT_TRUE(e->GetModified());
  EXPECT_TRUE(e->CanUndo());
  e->Undo();  // the typing goes as one
  EXPECT_EQ(e->GetText(), "");
  e->Undo();  // and comes back
  EXPECT_EQ(e->GetText(), "hi you");
  e->SetSelStart(3);
  e->SetSelLength(3);
  EXPECT_EQ(e->GetSelText(), "you");
  e->SetSelText("all");  // as the program's, it cannot be undone
  EXPECT_EQ(e->GetText(), "hi all");
  EXPECT_FALSE(e->CanUndo());
  e->SelectAll();
  EXPECT_EQ(e->GetSelLength(), 6);
  e->ClearSelection();
  EXPECT_EQ(e->GetText(), "");
  changes.clear();
  e->SetText("set");
  EXPECT_EQ(changes, (std::vector<std::string>{"set"}));
  EXPECT_FALSE(e->GetModified());
}

TEST_F(EditFormTest, PropertiesReachTheWindowAndSurviveItsRemaking) {
  TEditForm* form = ShowForm(ui);
  TEdit* e = form->Name;
  e->SetMaxLength(5);
  e->SetPasswordChar('*');
  e->SetText("abc");
  e->SetModified(true);
  HWND before = e->GetHandle();
  e->SetCharCase(ecUpperCase);  // needs a new window
  ui.RunUntilIdle();
  HWND after = e->GetHandle();
  EXPECT_NE(before, after);
  EXPECT_EQ(e->GetText(), "abc");
  EXPECT_TRUE(e->GetModified());
  EXPECT_EQ(SendMessage(after, EM_GETLIMITTEXT, 0, 0), 5);
  EXPECT_EQ(SendMessage(after, EM_GETPASSWORDCHAR, 0, 0), '*');
  EXPECT_TRUE(GetWindowLong(after, GWL_STYLE) & ES_UPPERCASE);
  EXPECT_TRUE(GetWindowLong(after, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  e->SetFocus();
  SendMessage(after, EM_SETSEL, 3, 3);
  ui.Type("defg");
  EXPECT_EQ(e->GetText(), "abcDE");  // upper case, and no more than MaxLength
  e->SetReadOnly(true);
  EXPECT_TRUE(GetWindowLong(after, GWL_STYLE) & ES_READONLY);
  ui.Type("x");
  EXPECT_EQ(e->GetText(), "abcDE");
  e->SetBorderStyle(bsNone);
  EXPECT_FALSE(GetWindowLong(e->GetHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(EditFormTest, AutoSizeFitsTheFontAndAutoSelectSelectsOnEntry) {
  TEditForm* form = ShowForm(ui);
  TEdit* e = form->Other;
  const int height = e->GetHeight();
  e->GetFont()->SetSize(16);
  EXPECT_GT(e->GetHeight(), height);
  e->SetText("select me");
  form->Name->SetFocus();
  ui.Press(VK_TAB);
  EXPECT_TRUE(e->Focused());
  EXPECT_EQ(e->GetSelLength(), 9);
  e->SetAutoSelect(false);
  form->Name->SetFocus();
  SendMessage(e->GetHandle(), EM_SETSEL, 0, 0);
  ui.Press(VK_TAB);
  EXPECT_EQ(e->GetSelLength(), 0);
}

TEST_F(EditFormTest, MemoLinesAreTheControlsLinesWithOrWithoutAWindow) {
  auto* lone = NewComponent<TMemo>(Application());
  TStrings* lines = lone->GetLines();
  lines->Add("one");
  lines->Add("two");
  lines->Insert(1, "between");
  EXPECT_EQ(lines->Count(), 3);
  EXPECT_EQ(lone->GetText(), "one\r\nbetween\r\ntwo\r\n");
  lines->Delete(0);
  EXPECT_EQ(lines->Get(0), "between");
  lone->SetText("no break");
  lines->Add("added");
  EXPECT_EQ(lone->GetText(), "no break\r\nadded\r\n");
  EXPECT_EQ(lines->Count(), 2);

  TEditForm* form = ShowForm(ui);
  TMemo* m = form->Notes;
  m->SetWordWrap(false);
  lines = m->GetLines();
  EXPECT_EQ(lines->Count(), 0);
  lines->Add("first");
  lines->Add("second");
  lines->Insert(0, "zero");
  EXPECT_EQ(m->GetText(), "zero\r\nfirst\r\nsecond\r\n");
  EXPECT_EQ(lines->Count(), 3);
  EXPECT_EQ(lines->Get(1), "first");
  lines->Put(1, "FIRST");
  lines->Delete(2);
  EXPECT_EQ(m->GetText(), "zero\r\nFIRST\r\n");
  m->SetText("no break at the end");
  lines->Add("added");
  EXPECT_EQ(m->GetText(), "no break at the end\r\nadded");
  lines->SetText("a\r\nb");
  EXPECT_EQ(lines->Count(), 2);
  lines->Clear();
  EXPECT_EQ(m->GetText(), "");
}

TEST_F(EditFormTest, MemoKeysFollowWantReturnsWantTabsAndWordWrap) {
  TEditForm* form = ShowForm(ui);
  TMemo* m = form->Notes;
  HWND h = m->GetHandle();
  EXPECT_TRUE(GetWindowLong(h, GWL_STYLE) & ES_MULTILINE);
  EXPECT_FALSE(GetWindowLong(h, GWL_STYLE) & ES_AUTOHSCROLL);  // word wrap
  m->SetFocus();
  ui.Type("a\rb");
  EXPECT_EQ(m->GetText(), "a\r\nb");
  m->SetWantReturns(false);
  ui.Type("\rc");
  EXPECT_EQ(m->GetText(), "a\r\nbc");
  EXPECT_EQ(m->Perform(WM_GETDLGCODE, 0, 0) & (DLGC_WANTTAB | DLGC_WANTALLKEYS), 0);
  m->SetWantTabs(true);
  EXPECT_NE(m->Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB, 0);
  m->SetScrollBars(ssBoth);
  m->SetAlignment(taRightJustify);
  EXPECT_TRUE(GetWindowLong(m->GetHandle(), GWL_STYLE) & WS_VSCROLL);
  EXPECT_TRUE(GetWindowLong(m->GetHandle(), GWL_STYLE) & ES_RIGHT);
  EXPECT_EQ(m->GetText(), "a\r\nbc");
}

TEST_F(EditFormTest, PropertiesArePublishedByName) {
  TEditForm* form = ShowForm(ui);
  SetPropValue(form->Name, "Text", "by name");
  SetPropValue(form->Name, "MaxLength", "12");
  SetEnumProp(form->Name, "CharCase", "ecLowerCase");
  EXPECT_EQ(form->Name->GetText(), "by name");
  EXPECT_EQ(form->Name->GetMaxLength(), 12);
  EXPECT_EQ(form->Name->GetCharCase(), ecLowerCase);
  EXPECT_EQ(GetPropValue(form->Name, "ReadOnly"), "False");
  SetPropValue(form->Notes, "WordWrap", "False");
  EXPECT_FALSE(form->Notes->GetWordWrap());
  auto* lines = static_cast<TStrings*>(GetObjectProp(form->Notes, "Lines"));
  ASSERT_NE(lines, nullptr);
  lines->Add("via the table");
  EXPECT_EQ(form->Notes->GetLines()->Get(0), "via the table");
  EXPECT_EQ(GetEnumProp(form->Notes, "ScrollBars"), "ssNone");
}

TEST_F(EditFormTest, TheClipboardCarriesTextBetweenControlsAndTheProgram) {
  TEditForm* form = ShowForm(ui);
  form->Name->SetText("shared text");
  form->Name->SelectAll();
  form->Name->CopyToClipboard();
  EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
  EXPECT_EQ(Clipboard()->GetAsText(), "shared text");
  form->Other->PasteFromClipboard();
  EXPECT_EQ(form->Other->GetText(), "shared text");
  Clipboard()->SetAsText("from the program");
  form->Other->SelectAll();
  form->Other->SetFocus();
  Keys(ui, VK_CONTROL, 'V');
  EXPECT_EQ(form->Other->GetText(), "from the program");
  form->Name->CutToClipboard();
  EXPECT_EQ(form->Name->GetText(), "");
  EXPECT_EQ(Clipboard()->GetAsText(), "shared text");
  // One opening, two formats: both stay.
  const UINT mine = RegisterClipboardFormat("EditTest Data");
  Clipboard()->Open();
  Clipboard()->SetAsText("text");
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 4);
  Clipboard()->SetAsHandle(mine, block);
  Clipboard()->Close();
  EXPECT_TRUE(Clipboard()->HasFormat(mine));
  EXPECT_EQ(Clipboard()->GetAsText(), "text");
  EXPECT_EQ(Clipboard()->FormatCount(), 2);
  char buffer[3];
  EXPECT_EQ(Clipboard()->GetTextBuf(buffer, sizeof buffer), 2);
  EXPECT_STREQ(buffer, "te");
  Clipboard()->Clear();
  EXPECT_EQ(Clipboard()->FormatCount(), 0);
}

TEST_F(EditFormTest, ADerivedEditCanRefusePasteAndCutFromKeysAndCalls) {
  TEditForm* form = ShowForm(ui);
  TLockedEdit* e = form->Locked;
  Clipboard()->SetAsText("pasted");
  e->SetText("keep");
  e->SetFocus();
  e->SelectAll();
  Keys(ui, VK_CONTROL, 'V');
  Keys(ui, VK_CONTROL, 'X');
  Keys(ui, VK_SHIFT, VK_INSERT);
  e->PasteFromClipboard();
  EXPECT_EQ(e->GetText(), "keep");
  e->Locked = false;
  Keys(ui, VK_CONTROL, 'V');
  EXPECT_EQ(e->GetText(), "pasted");
}

}  // namespace
