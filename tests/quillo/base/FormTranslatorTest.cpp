// Translation of windows from their sections: paths through owned components, string lists,
// sub-object properties, '>' lines, entries the window cannot take, and a change of language
// reaching the windows already open.

#include <algorithm>

#include "LanguageFixture.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/GraphicControl.h"
#include "platform/vcl/Strings.h"
#include "quillo/base/FormTranslator.h"

namespace translate_test {

class TPlainBlock : public TGraphicControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TPlainBlock(TComponent* owner) : TGraphicControl(owner) {}
};
QUILLO_DEFINE_CLASS(TPlainBlock, TGraphicControl)

// A list component as the framework's list boxes are: Items copied in by its setter, an
// ItemIndex that falls back to -1 outside the lines, and a read-only list of its own.
class TListHolder : public TComponent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TListHolder(TComponent* owner) : TComponent(owner) {}
  TStrings* GetItems() const { return items_.get(); }
  void SetItems(TStrings* value) { items_->Assign(value); }
  TStrings* GetNotes() const { return notes_.get(); }
  int GetItemIndex() const { return itemIndex_; }
  void SetItemIndex(int value) { itemIndex_ = value >= 0 && value < items_->Count() ? value : -1; }

private:
  TOwnedPtr<TStringList> items_ = MakeObject<TStringList>();
  TOwnedPtr<TStringList> notes_ = MakeObject<TStringList>();
  int itemIndex_ = -1;
};
QUILLO_DEFINE_PUBLISHED_CLASS(TListHolder, TComponent)
const TPropTable* TListHolder::PublishedProperties() {
  static const TPropTable table = TPublisher<TListHolder>()
                                      .Property("Items", &TListHolder::GetItems, &TListHolder::SetItems)
                                      .Property("Notes", &TListHolder::GetNotes)
                                      .Property("ItemIndex", &TListHolder::GetItemIndex, &TListHolder::SetItemIndex)
                                      .Table();
  return &table;
}

// Named as the framework's combo box: a translated list selects its first line.
class TComboBox : public TListHolder {
  QUILLO_DECLARE_CLASS()

public:
  explicit TComboBox(TComponent* owner) : TListHolder(owner) {}
};
QUILLO_DEFINE_CLASS(TComboBox, TListHolder)

// A window as the program builds them: components made and named, then translated.
class TInfoForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TInfoForm(TComponent* owner, const char* name = "InfoForm") : TForm(owner) {
    SetName(name);
    OkBtn = Make<TPlainBlock>(this, "OkBtn");
    Panel = Make<TPlainBlock>(this, "Panel");
    Inner = Make<TPlainBlock>(Panel, "Inner");
    Kinds = Make<TComboBox>(this, "Kinds");
    Files = Make<TListHolder>(this, "Files");
    for (const char* line : {"x", "y", "z"}) Files->GetItems()->Add(line);
    Files->SetItemIndex(1);
    AnsiString section(1, '[');  // appended: GCC 12 at -O3 warns wrongly about a literal + string
    section += GetName();
    TranslateForm(section + "]");
  }
  TPlainBlock* OkBtn;
  TPlainBlock* Panel;
  TPlainBlock* Inner;
  TComboBox* Kinds;
  TListHolder* Files;

private:
  template <class T>
  static T* Make(TComponent* owner, const char* name) {
    T* c = NewComponent<T>(owner);
    c->SetName(name);
    return c;
  }
};
QUILLO_DEFINE_CLASS(TInfoForm, TForm)

std::vector<AnsiString> Lines(const TStrings* s) {
  std::vector<AnsiString> lines;
  for (int i = 0; i < s->Count(); ++i) lines.push_back(s->Strings(i));
  return lines;
}

class FormTranslatorTest : public LanguageFixture {
protected:
  void Use(const std::string& text) {
    WriteLanguage("Test", text);
    if (!Lang) MakeTable();
    ASSERT_TRUE(Lang->Load("Test"));
  }
};

TEST_F(FormTranslatorTest, ASectionReachesComponentsListsAndSubObjects) {
  Use("[Messages]\r\n"
      "[InfoForm]\r\n"
      "; the window and its parts\r\n"
      "Caption=Image information  \r\n"
      "okbtn.Caption=&Ok\r\n"
      " OkBtn . Hint =@Close@the window@\r\n"
      "OkBtn.Font.Name=Courier New\r\n"
      "OkBtn.ShowHint=True\r\n"
      "OkBtn.Left=12\r\n"
      "Panel.Inner.Caption=Deep\r\n"
      "Kinds.Items=One|Two|Three\r\n"
      "Files.Items=a|b||d|\r\n"
      "Files.Notes=first|second\r\n"
      "[Other]\r\n"
      "Caption=not this\r\n");
  auto* form = NewComponent<TInfoForm>(Application());
  EXPECT_EQ(form->GetCaption(), "Image information");
  EXPECT_EQ(form->OkBtn->GetCaption(), "&Ok");
  EXPECT_EQ(form->OkBtn->GetHint(), " Close the window ");
  EXPECT_EQ(form->OkBtn->GetFont()->GetName(), "Courier New");
  EXPECT_TRUE(form->OkBtn->GetShowHint());
  EXPECT_EQ(form->OkBtn->GetLeft(), 12);
  EXPECT_EQ(form->Inner->GetCaption(), "Deep");
  EXPECT_EQ(Lines(form->Kinds->GetItems()), (std::vector<AnsiString>{"One", "Two", "Three"}));
  EXPECT_EQ(form->Kinds->GetItemIndex(), 0);
  EXPECT_EQ(Lines(form->Files->GetItems()), (std::vector<AnsiString>{"a", "b", "", "d"}));
  EXPECT_EQ(form->Files->GetItemIndex(), 1);
  EXPECT_EQ(Lines(form->Files->GetNotes()), (std::vector<AnsiString>{"first", "second"}));
}

// One bad line costs only itself: the window is made and every later line still applies.
TEST_F(FormTranslatorTest, EntriesTheWindowCannotTakeAreSkipped) {
  Use("[InfoForm]\n"
      "OkBtn.Left=twelve\n"
      "OkBtn.Left=7\n"
      "OkBtn.Width=99999999999999999999\n"
      "Nope.Caption=nothing\n"
      "OkBtn.Nope=nothing\n"
      "OkBtn.Nope.Deeper=nothing\n"
      "OkBtn.ShowHint=Perhaps\n"
      "OkBtn.Font=Arial\n"
      "OkBtn.Hint=\n"
      "OkBtn.Caption no equals sign\n"
      "Files.ItemIndex=x\n"
      ">NoSuchForm\n"
      "Caption=lost: no top component\n"
      ">InfoForm\n"
      "OkBtn.Caption=Last\n");
  TInfoForm* form = nullptr;
  ASSERT_NO_THROW(form = NewComponent<TInfoForm>(Application()));
  EXPECT_EQ(form->OkBtn->GetLeft(), 7);
  EXPECT_FALSE(form->OkBtn->GetShowHint());
  EXPECT_EQ(form->OkBtn->GetHint(), "");
  EXPECT_EQ(form->Files->GetItemIndex(), 1);
  EXPECT_EQ(form->GetCaption(), "");
  EXPECT_EQ(form->OkBtn->GetCaption(), "Last");
}

TEST_F(FormTranslatorTest, WithoutALanguageOrASectionNothingChanges) {
  auto* untranslated = NewComponent<TInfoForm>(Application());
  EXPECT_EQ(untranslated->OkBtn->GetCaption(), "");
  Use("[Messages]\nErr=Error\n[infoform]\nCaption=the heading differs in case\n");
  auto* form = NewComponent<TInfoForm>(Application(), "Other");
  TranslateForm("[InfoForm]");
  EXPECT_EQ(form->GetCaption(), "");
  EXPECT_EQ(untranslated->GetCaption(), "");
}

// A change of language reaches the open windows: each from its own section, then what
// "[Translations]" adds through its '>' lines.
TEST_F(FormTranslatorTest, AChangeOfLanguageTranslatesTheOpenWindows) {
  Use("[InfoForm]\nCaption=Information\nOkBtn.Caption=&Ok\n[Second]\nCaption=Second\n");
  auto* info = NewComponent<TInfoForm>(Application());
  auto* second = NewComponent<TInfoForm>(Application(), "Second");
  second->OkBtn->SetCaption("set by the program");
  WriteLanguage("Deutsch",
                "[InfoForm]\nCaption=Information (de)\nOkBtn.Caption=&In Ordnung\n"
                "[Second]\nCaption=Zweites\n"
                "[Translations]\n>Second\nOkBtn.Caption=Fertig\n>InfoForm\nPanel.Inner.Caption=Tief\n");
  ASSERT_TRUE(ReloadLanguage("Deutsch"));
  EXPECT_EQ(info->GetCaption(), "Information (de)");
  EXPECT_EQ(info->OkBtn->GetCaption(), "&In Ordnung");
  EXPECT_EQ(info->Inner->GetCaption(), "Tief");
  EXPECT_EQ(second->GetCaption(), "Zweites");
  EXPECT_EQ(second->OkBtn->GetCaption(), "Fertig");

  // A failed change leaves the windows and the language as they were.
  ui.AnswerMessageBoxes({IDOK});
  EXPECT_FALSE(ReloadLanguage("Missing"));
  EXPECT_EQ(info->GetCaption(), "Information (de)");
  auto* third = NewComponent<TInfoForm>(Application(), "InfoForm2");
  TranslateComponent(third, "[InfoForm]");
  EXPECT_EQ(third->OkBtn->GetCaption(), "&In Ordnung");
}

}  // namespace translate_test
