// The recent-files list: its order and bound, its storage, and the items it puts into a
// form's menu, chosen with the mouse and the keys.

#include "ComponentFixture.h"

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Registry.h"
#include "platform/vcl/TypInfo.h"
#include "quillo/components/files/MRUFileList.h"

namespace {

const char* const kKey = "\\Software\\Dornick\\QL";

// A main window with a File menu (Open, Save, a line, Exit) and a View menu.
class TMenuForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TMenuForm(TComponent* owner) : TForm(owner) {
    SetCaption("Recent");
    SetBounds(100, 100, 400, 300);
    Menu = NewComponent<TMainMenu>(this);
    File = Item(Menu->GetItems(), "&File");
    Item(File, "&Open");
    Item(File, "&Save");
    Item(File, "-");
    Exit = Item(File, "E&xit");
    View = Item(Menu->GetItems(), "&View");
    Item(View, "&Zoom");
    SetMenu(Menu);
  }
  TMenuItem* Item(TMenuItem* parent, const char* caption) {
    auto* item = NewComponent<TMenuItem>(this);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
  }
  TMainMenu* Menu;
  TMenuItem *File, *Exit, *View;
};
QUILLO_DEFINE_CLASS(TMenuForm, TForm)

// The items of an HMENU as the user sees them: captions, "-" for a line, >{...} for a submenu.
std::string Dump(HMENU menu) {
  std::string out;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    if (i) out += "|";
    MENUITEMINFO info;
    char text[128] = "";
    info.fMask = MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    GetMenuItemInfo(menu, static_cast<UINT>(i), TRUE, &info);
    out += (info.fType & MFT_SEPARATOR) ? std::string("-") : std::string(text);
    if (info.hSubMenu) out += ">{" + Dump(info.hSubMenu) + "}";
  }
  return out;
}

class MRUFileListTest : public ComponentTest {
protected:
  TMRUFileList* list = nullptr;
  void SetUp() override { list = MakeList(); }
  TMRUFileList* MakeList() {
    auto* l = NewComponent<TMRUFileList>(Application());
    l->AutoSave = false;
    l->AutoSaveName = kKey;
    l->SetMaximum(8);
    l->RemoveOnClick = false;
    l->SetMaxCaptionWidth(0);
    return l;
  }
  TMenuForm* Form() {
    auto* form = Application()->CreateForm<TMenuForm>();
    form->Show();
    ui.RunUntilIdle();
    return form;
  }
  static std::string FileMenu(TMenuForm* form) { return Dump(GetSubMenu(GetMenu(form->GetHandle()), 0)); }
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
  TMenuForm* form = Form();
  const std::string own = "&Open|&Save|-|E&xit";
  list->SetFileMenu(form->File);
  EXPECT_EQ(FileMenu(form), own);  // nothing to show yet
  list->AddItem("/a.png");
  list->AddItem("/b.png");
  // A menu with items of its own takes them after its last one.
  EXPECT_EQ(FileMenu(form), own + "|-|&1 /a.png|&2 /b.png");
  ASSERT_EQ(list->MenuItems().size(), 2u);
  EXPECT_EQ(list->MenuItems()[1]->Number(), 2);
  EXPECT_EQ(list->MenuItems()[1]->GetParent(), form->File);
  list->SetUseSubmenu(true);
  EXPECT_EQ(FileMenu(form), own + "|-|Reopen>{&1 /a.png|&2 /b.png}");
  list->SetSubmenuName("Recent &files");
  EXPECT_EQ(FileMenu(form), own + "|-|Recent &files>{&1 /a.png|&2 /b.png}");
  list->SetUseSubmenu(false);
  list->SetInsertSeparator(false);
  EXPECT_EQ(FileMenu(form), own + "|&1 /a.png|&2 /b.png");
  list->InsertItem(0, "/c.png");
  EXPECT_EQ(FileMenu(form), own + "|&1 /c.png|&2 /a.png|&3 /b.png");
  list->ClearItem("/a.png");
  EXPECT_EQ(FileMenu(form), own + "|&1 /c.png|&2 /b.png");
  list->ClearAllItems();
  EXPECT_EQ(FileMenu(form), own);
  list->AddItem("/d.png");
  // Another menu: the items leave the old one.
  list->SetFileMenu(form->View);
  EXPECT_EQ(FileMenu(form), own);
  EXPECT_EQ(Dump(GetSubMenu(GetMenu(form->GetHandle()), 1)), "&Zoom|&1 /d.png");
  list->SetFileMenu(nullptr);
  EXPECT_EQ(Dump(GetSubMenu(GetMenu(form->GetHandle()), 1)), "&Zoom");
  EXPECT_TRUE(list->MenuItems().empty());
}

TEST_F(MRUFileListTest, AFileMenuWithoutItemsGetsThemJustAboveItInItsParent) {
  TMenuForm* form = Form();
  list->SetFileMenu(form->Exit);
  for (const char* n : {"/a.png", "/b.png"}) list->AddItem(n);
  EXPECT_EQ(FileMenu(form), "&Open|&Save|-|-|&1 /a.png|&2 /b.png|E&xit");
  list->SetUseSubmenu(true);
  EXPECT_EQ(FileMenu(form), "&Open|&Save|-|-|Reopen>{&1 /a.png|&2 /b.png}|E&xit");
  // A file menu that is not in a menu yet shows nothing, and nothing breaks.
  auto* loose = NewComponent<TMenuItem>(form);
  list->SetFileMenu(loose);
  EXPECT_EQ(FileMenu(form), "&Open|&Save|-|E&xit");
  EXPECT_TRUE(list->MenuItems().empty());
}

TEST_F(MRUFileListTest, TenOrMoreNamesAreNumberedOnAndAmpersandsInNamesAreShown) {
  TMenuForm* form = Form();
  list->SetMaximum(12);
  list->SetInsertSeparator(false);
  list->SetFileMenu(form->View);
  for (int i = 1; i <= 11; ++i) list->AddItem(Format("/%d.png", i));
  list->ReplaceItem("/1.png", "/Tom & Jerry.png");
  const std::string view = Dump(GetSubMenu(GetMenu(form->GetHandle()), 1));
  EXPECT_EQ(view.substr(0, 33), "&Zoom|&1 /Tom && Jerry.png|&2 /2.");
  EXPECT_NE(view.find("|&10 /10.png|&11 /11.png"), std::string::npos);  // the accelerator is the first digit
  EXPECT_EQ(list->MenuItems()[0]->FullCaption(), "&1 /Tom & Jerry.png");
}

TEST_F(MRUFileListTest, LongPathsAreShortenedFromTheFront) {
  TMenuForm* form = Form();
  list->MeasureCaption = [](const AnsiString& s) { return static_cast<int>(s.size()) * 6; };
  list->SetMaxCaptionWidth(120);
  list->SetFileMenu(form->File);
  list->AddItem("/home/user/pictures/holiday/2026/beach.png");
  ASSERT_EQ(list->MenuItems().size(), 1u);
  EXPECT_EQ(list->MenuItems()[0]->GetCaption(), "&1 .../2026/beach.png");
  EXPECT_EQ(list->MenuItems()[0]->FullCaption(), "&1 /home/user/pictures/holiday/2026/beach.png");
  // The default measure is the menu font's: a short name fits, a very long one is cut.
  {
    auto fresh = MakeObject<TMRUFileList>(nullptr);
    fresh->AutoSave = false;
    list->MeasureCaption = fresh->MeasureCaption;
  }
  list->SetMaxCaptionWidth(200);
  list->InsertItem(0, "/a.png");
  list->InsertItem(0, "/" + AnsiString(40, 'd') + "/" + AnsiString(40, 'e') + "/f.png");
  EXPECT_EQ(list->MenuItems()[1]->GetCaption(), "&2 /a.png");
  EXPECT_EQ(list->MenuItems()[0]->GetCaption().substr(0, 6), "&1 ...");
}

TEST_F(MRUFileListTest, ItemsChosenFromTheMenuReachTheList) {
  TMenuForm* form = Form();
  std::vector<AnsiString> opened;
  list->OnMRUItemClick = [&](TObject* sender, const AnsiString& name) {
    EXPECT_EQ(sender, list);
    opened.push_back(name);
  };
  list->SetFileMenu(form->File);
  for (const char* n : {"/a.png", "/b.png", "/c.png"}) list->AddItem(n);
  // With the keys: Alt+F, then the item's number.
  ui.QueueKeyDown(VK_MENU);
  ui.QueuePress('F');
  ui.QueueKeyUp(VK_MENU);
  ui.QueuePress('2');
  ui.RunUntilIdle();
  EXPECT_EQ(opened, (std::vector<AnsiString>{"/b.png"}));
  EXPECT_EQ(list->Items()->Count(), 3);  // RemoveOnClick off: the list stays
  // With the mouse, RemoveOnClick on: the name leaves the list and the menu.
  list->RemoveOnClick = true;
  RECT bar;
  GetMenuItemRect(form->GetHandle(), form->Menu->GetHandle(), 0, &bar);
  ui.QueueClick((bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2);
  ui.WhenModalWaits([&] {
    RECT third;
    GetMenuItemRect(nullptr, form->File->GetHandle(), 7, &third);  // own four, the line, 1, 2, 3
    ui.QueueClick((third.left + third.right) / 2, (third.top + third.bottom) / 2);
  });
  ui.RunUntilIdle();
  EXPECT_EQ(opened, (std::vector<AnsiString>{"/b.png", "/c.png"}));
  EXPECT_EQ(FileMenu(form), "&Open|&Save|-|E&xit|-|&1 /a.png|&2 /b.png");
}

TEST_F(MRUFileListTest, EitherTheListOrTheMenuMayGoFirst) {
  TMenuForm* form = Form();
  list->SetFileMenu(form->Exit);
  list->AddItem("/a.png");
  // The file menu item goes: the items it had placed in its parent go with it.
  FreeObject(form->Exit);
  EXPECT_EQ(list->GetFileMenu(), nullptr);
  EXPECT_EQ(FileMenu(form), "&Open|&Save|-");
  list->AddItem("/b.png");
  list->SetFileMenu(form->File);
  EXPECT_EQ(FileMenu(form), "&Open|&Save|-|-|&1 /a.png|&2 /b.png");
  // The list goes: its items leave the menu.
  FreeObject(list);
  EXPECT_EQ(FileMenu(form), "&Open|&Save|-");
  // The whole form (and its menu) goes while a list lives on.
  list = MakeList();
  list->SetFileMenu(form->File);
  list->AddItem("/c.png");
  FreeObject(form);
  ui.RunUntilIdle();
  EXPECT_EQ(list->GetFileMenu(), nullptr);
  EXPECT_TRUE(list->MenuItems().empty());
  list->AddItem("/d.png");
  EXPECT_EQ(list->Items()->Count(), 2);
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

// The program's main window: its recent files kept in the registry and shown in its File menu
// from the start.
class TMainWithRecent : public TMenuForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TMainWithRecent(TComponent* owner) : TMenuForm(owner) {
    Recent = NewComponent<TMRUFileList>(this);
    Recent->AutoSaveName = kKey;
    Recent->SetMaximum(8);
    Recent->RemoveOnClick = false;
    SetObjectProp(Recent, "FileMenu", File);  // as the form's resource sets it
    Recent->OnMRUItemClick = [this](TObject*, const AnsiString& name) { Opened.push_back(name); };
  }
  TMRUFileList* Recent;
  std::vector<AnsiString> Opened;
};
QUILLO_DEFINE_CLASS(TMainWithRecent, TMenuForm)

TEST_F(MRUFileListTest, TheMenuShowsTheStoredFilesAfterARestart) {
  auto* form = Application()->CreateForm<TMainWithRecent>();
  form->Show();
  ui.RunUntilIdle();
  if (ChildPhase() == "read") {
    EXPECT_EQ(FileMenu(form), "&Open|&Save|-|E&xit|-|&1 /pictures/b.png|&2 /pictures/a.png");
    ui.QueueKeyDown(VK_MENU);
    ui.QueuePress('F');
    ui.QueueKeyUp(VK_MENU);
    ui.QueuePress('2');
    ui.RunUntilIdle();
    EXPECT_EQ(form->Opened, (std::vector<AnsiString>{"/pictures/a.png"}));
    return;
  }
  EXPECT_EQ(GetObjectProp(form->Recent, "FileMenu"), form->File);
  EXPECT_EQ(FileMenu(form), "&Open|&Save|-|E&xit");
  form->Recent->InsertItem(0, "/pictures/a.png");
  form->Recent->InsertItem(0, "/pictures/b.png");
  FreeObject(form);  // the program ends: the list saves itself
  ASSERT_TRUE(RunTestInChild("MRUFileListTest.TheMenuShowsTheStoredFilesAfterARestart", "read"));
}

}  // namespace
