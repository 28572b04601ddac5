// Named configurations of the optimiser: the name as typed, adding, updating, retrieving and
// deleting in the registry, and stored values that are damaged or hostile.

#include "SaveOptimTestSupport.h"
#include "platform/vcl/Registry.h"
#include "platform/vcl/ScrollBar.h"
#include "quillo/components/edits/SpinEdit.h"

namespace {

constexpr const char* kKey = "Software\\Dornick\\QL\\SaveOptim Items";

class SaveOptimConfigsTest : public SaveOptimFixture {
protected:
  static AnsiString Stored(const AnsiString& name, const char* value) {
    TRegistry r;
    r.SetRootKey(HKEY_CURRENT_USER);
    if (!r.OpenKeyReadOnly(AnsiString(kKey) + "\\" + name)) return "(none)";
    return r.ValueExists(value) ? r.ReadString(value) : AnsiString("(missing)");
  }
  static void Store(const AnsiString& name, const std::vector<std::pair<const char*, AnsiString>>& values) {
    TRegistry r;
    r.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(r.OpenKey(AnsiString(kKey) + "\\" + name, true));
    for (const auto& [value, text] : values) r.WriteString(value, text);
  }
  static bool Exists(const AnsiString& name) {
    TRegistry r;
    r.SetRootKey(HKEY_CURRENT_USER);
    return r.KeyExists(AnsiString(kKey) + "\\" + name);
  }
  static int Listed(TSaveOptimForm& f, const AnsiString& name) {
    int n = 0;
    for (int i = 0; i < f.Config4Combo->GetItems()->Count(); ++i) n += f.Config4Combo->GetItems()->Get(i) == name;
    return n;
  }
  void TypeName(TSaveOptimForm& f, const std::string& text) {
    f.Config4Combo->SetText("");
    Click(f.Config4Combo);
    ui.Type(text);
  }
};

TEST_F(SaveOptimConfigsTest, ATypedNameIsCapitalisedAndLosesItsAt) {
  auto f = Open();
  const struct {
    const char* typed;
    const char* kept;
  } cases[] = {{"my best set", "my Best Set"}, {"a@b", "ab"}, {"web\\jpeg", "webjpeg"}};
  for (const auto& c : cases) {
    TypeName(*f, c.typed);
    EXPECT_EQ(f->Config4Combo->GetText(), c.kept) << c.typed;
  }
}

TEST_F(SaveOptimConfigsTest, AddingStoresTheFourSlotsAndAddingAgainUpdatesThem) {
  auto f = Open();
  f->Config4Combo->SetText("Web");
  f->Add4BtnClick(f->Add4Btn);
  EXPECT_EQ(Stored("Web", "1"), "JPEG@24@0@234@0@0@1@75");
  EXPECT_EQ(Stored("Web", "2"), "JPEG@24@0@234@0@0@1@65");
  EXPECT_EQ(Stored("Web", "3"), "JPEG@24@0@234@0@0@1@55");
  EXPECT_EQ(Stored("Web", "4"), "JPEG@24@0@234@0@0@1@45");
  EXPECT_EQ(Listed(*f, "Web"), 1);
  ChooseType(*f, "CompuServe GIF");
  ChooseDepth(*f, "SO256");
  f->LimitCB->SetChecked(true);
  f->LimitED->SetAsInteger(16);
  f->DitherCB->SetChecked(true);
  f->Add4BtnClick(f->Add4Btn);
  // A new type takes the picture's own interlacing (none).
  EXPECT_EQ(Stored("Web", "1"), "CompuServe GIF@8@1@16@1@0@0@75");
  EXPECT_EQ(Listed(*f, "Web"), 1);
  EXPECT_EQ(f->GetActiveControl(), nullptr);
  // Listed again by the next opening.
  f.reset();
  auto g = Open();
  EXPECT_EQ(Listed(*g, "Web"), 1);
}

TEST_F(SaveOptimConfigsTest, RetrievingTakesEverySlotAndShowsTheFirst) {
  Store("Mixed", {{"1", "Portable Network Graphics@8@1@64@1@1@0@75"},
                  {"2", "JPEG@-8@0@234@0@0@1@30"},
                  {"3", "CompuServe GIF@-1@1@32@0@1@1@75"},
                  {"4", "Windows Bitmap@32@0@234@0@1@0@75"}});
  auto f = Open();
  ASSERT_EQ(Listed(*f, "Mixed"), 1);
  Click(f->PrevBtn);
  ASSERT_EQ(f->SlotState[0], TSaveOptimForm::kProbed);
  f->Config4Combo->SetText("Mixed");
  f->Ret4BtnClick(f->Ret4Btn);
  EXPECT_EQ(f->TabControl->GetTabIndex(), 0);
  EXPECT_EQ(f->Type->GetText(), "Portable Network Graphics");
  EXPECT_EQ(f->CDepth->GetText(), LangMessage("SO256"));
  EXPECT_TRUE(f->LimitCB->GetChecked());
  EXPECT_EQ(f->LimitED->GetAsInteger(), 64);
  EXPECT_TRUE(f->DitherCB->GetChecked());
  EXPECT_TRUE(f->TranspCB->GetChecked());
  EXPECT_FALSE(f->InterlCB->GetChecked());
  EXPECT_EQ(f->QScbar->GetPosition(), 75);
  EXPECT_EQ(f->SlotState[0], TSaveOptimForm::kIdle);
  EXPECT_EQ(f->PrevBtn->GetCaption(), LangMessage("SOPreview"));
  ClickTab(*f, 1);
  EXPECT_EQ(f->CDepth->GetText(), LangMessage("SOGS"));
  EXPECT_EQ(f->QScbar->GetPosition(), 30);
  ClickTab(*f, 2);
  EXPECT_EQ(f->CDepth->GetText(), LangMessage("SOAD"));
  ClickTab(*f, 3);
  EXPECT_EQ(f->CDepth->GetText(), LangMessage("SOTC32"));
  EXPECT_TRUE(f->TranspCB->GetChecked());
}

TEST_F(SaveOptimConfigsTest, DeletingAsksNothingAndKeepsTheTypedName) {
  Store("Old", {{"1", "JPEG@24@0@234@0@0@1@75"}});
  auto f = Open();
  f->Config4Combo->SetText("Old");
  f->Del4BtnClick(f->Del4Btn);
  EXPECT_FALSE(Exists("Old"));
  EXPECT_EQ(Listed(*f, "Old"), 0);
  EXPECT_EQ(f->Config4Combo->GetText(), "Old");
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
  // An empty or unknown name touches nothing, the key of all configurations least of all.
  Store("Kept", {{"1", "JPEG@24@0@234@0@0@1@75"}});
  for (const char* name : {"", "Unknown"}) {
    f->Config4Combo->SetText(name);
    f->Del4BtnClick(f->Del4Btn);
    f->Ret4BtnClick(f->Ret4Btn);
  }
  EXPECT_TRUE(Exists("Kept"));
}

// Damaged or hostile stored values never crash and never leave a control unset: a slot that
// cannot be read keeps what it had, numbers out of range are brought into it, and a depth the
// type cannot write becomes its first.
TEST_F(SaveOptimConfigsTest, HostileStoredValuesLeaveEverySlotSound) {
  const struct {
    const char* value;
    const char* type;
    const char* depthKey;
    int colours;
    int quality;
  } cases[] = {
      {"JPEG@24@0@234", "JPEG", "SOTC24", 234, 75},                           // too few numbers: kept
      {"no separator", "JPEG", "SOTC24", 234, 75},                            // kept
      {"Nonexistent Format@24@0@234@0@0@1@75", "JPEG", "SOTC24", 234, 75},    // kept
      {"JPEG@8@1@64@0@0@1@75", "JPEG", "SOTC24", 64, 75},                     // no 8 bits in JPEG
      {"JPEG@24@0@234@0@0@1@1000", "JPEG", "SOTC24", 234, 100},
      {"CompuServe GIF@8@1@-5@0@0@1@75", "CompuServe GIF", "SO256", 2, 75},
      {"CompuServe GIF@77@1@20@0@0@1@75", "CompuServe GIF", "SOAD", 20, 75},  // unknown code: adaptive
      {"", "JPEG", "SOTC24", 234, 75},
  };
  for (const auto& c : cases) {
    OptimSlots.fill(OptimSlot{});
    Store("Hostile", {{"1", c.value}, {"2", "CompuServe GIF@4@0@234@0@0@0@50"}});
    auto f = Open();
    f->Config4Combo->SetText("Hostile");
    f->Ret4BtnClick(f->Ret4Btn);
    EXPECT_EQ(f->Type->GetText(), c.type) << c.value;
    EXPECT_EQ(f->CDepth->GetText(), LangMessage(c.depthKey)) << c.value;
    EXPECT_GE(f->CDepth->GetItemIndex(), 0) << c.value;
    EXPECT_EQ(f->LimitED->GetAsInteger(), c.colours) << c.value;
    EXPECT_EQ(f->QScbar->GetPosition(), c.quality) << c.value;
    ClickTab(*f, 1);
    EXPECT_EQ(f->CDepth->GetText(), LangMessage("SO16")) << "the good slot is taken: " << c.value;
    // Adding them again stores readable values.
    f->Add4BtnClick(f->Add4Btn);
    for (const char* slot : {"1", "2", "3", "4"}) EXPECT_TRUE(ParseSlotValue(Stored("Hostile", slot)).has_value());
  }
}

}  // namespace
