// The recent-files list: its order and bound, its storage, and what it hands a menu.

#include "ComponentFixture.h"

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Registry.h"
#include "quillo/components/files/MRUFileList.h"

namespace {

// A menu that records what the list puts in.
class FakeMenu : public TMRUMenuTarget {
public:
  std::vector<TMRUMenuEntry> entries;
  bool separator = false;
  AnsiString submenu;
  int removals = 0;
  void RemoveMRUItems() override {
    ++removals;
    entries.clear();
  }
  void InsertMRUItems(TMRUFileList*, const std::vector<TMRUMenuEntry>& e, bool sep, const AnsiString& sub) override {
    entries = e;
    separator = sep;
    submenu = sub;
  }
};

const char* const kKey = "\\Software\\Dornick\\QL";

class MRUFileListTest : public ComponentTest {
protected:
  TMRUFileList* list = nullptr;
  FakeMenu menu;
  void SetUp() override { list = MakeList(); }
  // The menu goes before the application frees the list.
  void TearDown() override { list->SetFileMenu(nullptr); }
  TMRUFileList* MakeList() {
    auto* l = NewComponent<TMRUFileList>(Application());
    l->AutoSave = false;
    l->AutoSaveName = kKey;
    l->SetMaximum(8);
    l->RemoveOnClick = false;
    l->SetMaxCaptionWidth(0);
    return l;
  }
  std::vector<AnsiString> Names() const {
    std::vector<AnsiString> names;
    for (int i = 0; i < list->Items()->Count(); ++i) names.push_back(list->Items()->Strings(i));
    return names;
  }
  static void WriteStored(std::initializer_list<std::pair<const char*, const char*>> values) {
    auto reg = MakeObject<TRegIniFile>(kKey);
    for (const auto& [name, value] : values) reg->WriteString("MRU Items", name, value);
  }
};

TEST_F(MRUFileListTest, InsertingAtTheTopDropsTheOldestOnlyWhenNew) {
  for (int i = 8; i >= 1; --i) list->InsertItem(0, Format("/img/%d.png", i));
  EXPECT_EQ(Names().front(), "/img/1.png");
  list->InsertItem(0, "/img/new.png");
  EXPECT_EQ(Names().size(), 8u);
  EXPECT_EQ(Names().front(), "/img/new.png");
  EXPECT_EQ(Names().back(), "/img/7.png");
  // A name already third moves to the top without dropping anything.
  list->InsertItem(0, "/IMG/2.PNG");
  EXPECT_EQ(Names().size(), 8u);
  EXPECT_EQ(Names()[0], "/IMG/2.PNG");
  EXPECT_EQ(Names()[1], "/img/new.png");
}

TEST_F(MRUFileListTest, AddingAppendsAndDropsFromTheTop) {
  list->SetMaximum(3);
  for (const char* n : {"a", "b", "c", "d"}) list->AddItem(n);
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"b", "c", "d"}));
  list->AddItem("c");
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"c", "b", "d"}));
  list->SetMaximum(2);
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"c", "b"}));
  list->ReplaceItem("b", "x");
  list->ReplaceItem("nothing", "y");
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"c", "x"}));
  list->ClearItem("C");
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"x"}));
  list->ClearAllItems();
  EXPECT_TRUE(Names().empty());
}

TEST_F(MRUFileListTest, SavedNamesLoadInListOrder) {
  for (const char* n : {"/c.png", "/b.png", "/a.png"}) list->InsertItem(0, n);
  ASSERT_TRUE(list->Save());
  TMRUFileList* again = MakeList();
  again->Load();
  ASSERT_EQ(again->Items()->Count(), 3);
  EXPECT_EQ(again->Items()->Strings(0), "/a.png");
  EXPECT_EQ(again->Items()->Strings(2), "/c.png");
}

TEST_F(MRUFileListTest, LoadingReadsF0F1InOrderAndKeepsToMaximum) {
  // Written out of order, with a gap after F9 and more names than Maximum.
  WriteStored({{"F2", "/c.png"}, {"F0", "/a.png"}, {"F1", "/b.png"}, {"F3", "/d.png"}, {"F4", "/e.png"},
               {"F5", "/f.png"}, {"F6", "/g.png"}, {"F7", "/h.png"}, {"F8", "/i.png"}, {"F9", "/j.png"},
               {"F11", "/after-gap.png"}});
  list->Load();
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"/a.png", "/b.png", "/c.png", "/d.png", "/e.png", "/f.png", "/g.png",
                                              "/h.png"}));
}

TEST_F(MRUFileListTest, SavingReplacesWhatWasStored) {
  WriteStored({{"F0", "/old.png"}, {"F5", "/stale.png"}});
  list->AddItem("/new.png");
  list->Save();
  auto reg = MakeObject<TRegIniFile>(kKey);
  EXPECT_EQ(reg->ReadString("MRU Items", "F0", ""), "/new.png");
  EXPECT_EQ(reg->ReadString("MRU Items", "F5", "(gone)"), "(gone)");
}

TEST_F(MRUFileListTest, NoNameOrKeyMeansNoStore) {
  list->AutoSaveKey = "";
  list->AddItem("/x.png");
  EXPECT_FALSE(list->Save());
  list->Load();
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"/x.png"}));
}

TEST_F(MRUFileListTest, TheMenuGetsNumberedItems) {
  list->SetFileMenu(&menu);
  EXPECT_TRUE(menu.entries.empty());
  list->AddItem("/a.png");
  list->AddItem("/b.png");
  ASSERT_EQ(menu.entries.size(), 2u);
  EXPECT_EQ(menu.entries[0].Caption, "&1 /a.png");
  EXPECT_EQ(menu.entries[1].Caption, "&2 /b.png");
  EXPECT_EQ(menu.entries[1].Number, 2);
  EXPECT_TRUE(menu.separator);
  EXPECT_EQ(menu.submenu, "");
  list->SetUseSubmenu(true);
  EXPECT_EQ(menu.submenu, "Reopen");
  list->SetFileMenu(nullptr);
  EXPECT_TRUE(menu.entries.empty());
}

TEST_F(MRUFileListTest, LongPathsAreShortenedFromTheFront) {
  list->MeasureCaption = [](const AnsiString& s) { return static_cast<int>(s.size()) * 6; };
  list->SetMaxCaptionWidth(120);
  list->SetFileMenu(&menu);
  list->AddItem("/home/user/pictures/holiday/2026/beach.png");
  ASSERT_EQ(menu.entries.size(), 1u);
  EXPECT_EQ(menu.entries[0].Caption, "&1 .../2026/beach.png");
  EXPECT_EQ(menu.entries[0].FullCaption, "&1 /home/user/pictures/holiday/2026/beach.png");
}

TEST_F(MRUFileListTest, AClickReportsTheNameAndRemovesItOnlyWhenAsked) {
  AnsiString clicked;
  list->OnMRUItemClick = [&](TObject*, const AnsiString& name) { clicked = name; };
  list->InsertItem(0, "/a.png");
  list->InsertItem(0, "/b.png");
  list->ItemClicked(2);
  EXPECT_EQ(clicked, "/a.png");
  EXPECT_EQ(Names().size(), 2u);
  list->RemoveOnClick = true;
  list->ItemClicked(1);
  EXPECT_EQ(clicked, "/b.png");
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"/a.png"}));
  list->ItemClicked(7);  // no such item: nothing happens
  EXPECT_EQ(clicked, "/b.png");
}

TEST_F(MRUFileListTest, AutoSaveLoadsWhenBuiltAndSavesWhenFreed) {
  WriteStored({{"F0", "/kept.png"}});
  class TMainWithList : public TForm {
  public:
    explicit TMainWithList(TComponent* owner) : TForm(owner) {
      List = NewComponent<TMRUFileList>(this);
      List->AutoSaveName = kKey;
    }
    TMRUFileList* List;
  };
  auto* form = NewComponent<TMainWithList>(Application());
  ASSERT_EQ(form->List->Items()->Count(), 1);
  form->List->InsertItem(0, "/newer.png");
  FreeObject(form);
  auto reg = MakeObject<TRegIniFile>(kKey);
  EXPECT_EQ(reg->ReadString("MRU Items", "F0", ""), "/newer.png");
  EXPECT_EQ(reg->ReadString("MRU Items", "F1", ""), "/kept.png");
}

}  // namespace
