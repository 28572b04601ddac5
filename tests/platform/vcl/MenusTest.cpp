// The framework's menus: shortcut texts, the menu bar a TMainMenu builds from its items and
// keeps up to date, radio groups, the items run by mouse, keys and shortcuts, hints, a
// control's TPopupMenu opened by a right click, and the published properties translation
// goes through.

#include <algorithm>

#include "VclFixture.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/TypInfo.h"

namespace {

using Log = std::vector<std::string>;

class TMenuForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  TMenuForm(TComponent* owner, Log* log) : TForm(owner), log_(log) {
    SetCaption("Menus");
    SetBounds(100, 100, 400, 300);
    Menu = NewComponent<TMainMenu>(this);
    Menu->SetName("MainMenu");
    File = Item(Menu->GetItems(), "FileMenu", "&File");
    Open = Item(File, "OpenItem", "&Open...");
    Open->SetShortCut(ShortCut('O', TShiftState{ssCtrl}));
    Open->SetHint("Open|Opens a picture");
    Save = Item(File, "SaveItem", "&Save");
    Save->SetShortCut(ShortCut('S', TShiftState{ssCtrl}));
    Item(File, "Line1", "-");
    Item(File, "ExitItem", "E&xit");
    View = Item(Menu->GetItems(), "ViewMenu", "&View");
    Small = Item(View, "SmallItem", "&Small");
    Large = Item(View, "LargeItem", "&Large");
    for (TMenuItem* i : {Small, Large}) {
      i->SetRadioItem(true);
      i->SetGroupIndex(1);
    }
    Large->SetChecked(true);
    Grid = Item(View, "GridItem", "&Grid");
    Grid->SetAutoCheck(true);
    SetMenu(Menu);

    Area = NewComponent<TSwatch>(this);
    Area->SetParent(this);
    Area->SetBounds(20, 20, 200, 150);
    Area->SetColor(clWhite);
    Popup = NewComponent<TPopupMenu>(this);
    Popup->SetName("AreaPopup");
    Cut = Item(Popup->GetItems(), "CutItem", "Cu&t");
    Item(Popup->GetItems(), "CopyItem", "&Copy");
    Popup->OnPopup = [this](TObject*) { Record("popup"); };
    Area->SetPopupMenu(Popup);
  }

  TMenuItem* Item(TMenuItem* parent, const char* name, const char* caption) {
    auto* item = NewComponent<TMenuItem>(this);
    item->SetName(name);
    item->SetCaption(caption);
    item->OnClick = [this, name](TObject*) { Record(name); };
    parent->Add(item);
    return item;
  }
  void Record(const std::string& s) {
    if (log_) log_->push_back(s);
  }

  TMainMenu* Menu;
  TMenuItem *File, *Open, *Save, *View, *Small, *Large, *Grid, *Cut;
  TSwatch* Area;
  TPopupMenu* Popup;

private:
  Log* log_;
};
QUILLO_DEFINE_CLASS(TMenuForm, TForm)

// The items of an HMENU: text, [x] checked, (o) radio-checked, :grey, >{submenu}.
std::string Dump(HMENU menu) {
  std::string out;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    if (i) out += "|";
    MENUITEMINFO info;
    char text[64] = "";
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    GetMenuItemInfo(menu, static_cast<UINT>(i), TRUE, &info);
    if (info.fType & MFT_SEPARATOR) {
      out += "-";
      continue;
    }
    if (info.fState & MFS_CHECKED) out += (info.fType & MFT_RADIOCHECK) ? "(o)" : "[x]";
    std::string s = text;
    if (auto tab = s.find('\t'); tab != std::string::npos) s.replace(tab, 1, "\\t");
    out += s;
    if (info.fState & MFS_GRAYED) out += ":grey";
    if (info.hSubMenu) out += ">{" + Dump(info.hSubMenu) + "}";
  }
  return out;
}

class MenusTest : public VclTest {
protected:
  TMenuForm* MakeForm() {
    auto* form = Application()->CreateForm<TMenuForm>(&log);
    form->Show();
    ui.RunUntilIdle();
    log.clear();
    return form;
  }
  void Alt(int letter) {
    ui.QueueKeyDown(VK_MENU);
    ui.QueuePress(letter);
    ui.QueueKeyUp(VK_MENU);
  }
  void Chord(int modifier, int key) {
    ui.KeyDown(modifier);
    ui.Press(key);
    ui.KeyUp(modifier);
  }
};

TEST(ShortCuts, TextAndShortCutsGoBothWays) {
  struct Case {
    TShortCut shortCut;
    const char* text;
  };
  const Case cases[] = {
      {ShortCut('S', TShiftState{ssCtrl}), "Ctrl+S"},
      {ShortCut(VK_DELETE, TShiftState{ssShift}), "Shift+Del"},
      {ShortCut(VK_F5, TShiftState{}), "F5"},
      {ShortCut('1', TShiftState{ssCtrl, ssAlt, ssShift}), "Shift+Ctrl+Alt+1"},
      {ShortCut(VK_RETURN, TShiftState{ssAlt}), "Alt+Enter"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ShortCutToText(c.shortCut), c.text);
    EXPECT_EQ(TextToShortCut(c.text), c.shortCut);
  }
  EXPECT_EQ(TextToShortCut("ctrl+s"), ShortCut('S', TShiftState{ssCtrl}));  // any case
  EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
  EXPECT_EQ(TextToShortCut("Hyper+Q"), scNone);
  EXPECT_EQ(ShortCutToText(scNone), "");
  WORD key;
  TShiftState shift;
  ShortCutToKey(ShortCut('Z', TShiftState{ssCtrl, ssShift}), key, shift);
  EXPECT_EQ(key, 'Z');
  EXPECT_EQ(shift, (TShiftState{ssCtrl, ssShift}));
  EXPECT_EQ(StripHotkey("&Save && Exit"), "Save & Exit");
  EXPECT_EQ(StripHotkey("E&xit&"), "Exit");
}

TEST_F(MenusTest, TheBarIsBuiltFromTheItemsAndFollowsTheirChanges) {
  TMenuForm* form = MakeForm();
  HWND h = form->GetHandle();
  ASSERT_EQ(GetMenu(h), form->Menu->GetHandle());
  struct Step {
    const char* what;
    std::function<void()> change;
    const char* file;  // the File menu afterwards
  };
  const Step steps[] = {
      {"as made", [] {}, "&Open...\\tCtrl+O|&Save\\tCtrl+S|-|E&xit"},
      {"disabled", [&] { form->Save->SetEnabled(false); }, "&Open...\\tCtrl+O|&Save\\tCtrl+S:grey|-|E&xit"},
      {"checked", [&] { form->Open->SetChecked(true); }, "[x]&Open...\\tCtrl+O|&Save\\tCtrl+S:grey|-|E&xit"},
      {"renamed", [&] { form->Open->SetCaption("&Load"); }, "[x]&Load\\tCtrl+O|&Save\\tCtrl+S:grey|-|E&xit"},
      {"no shortcut", [&] { form->Open->SetShortCut(scNone); }, "[x]&Load|&Save\\tCtrl+S:grey|-|E&xit"},
      {"hidden", [&] { form->Save->SetVisible(false); }, "[x]&Load|-|E&xit"},
      {"added", [&] { form->Item(form->File, "NewItem", "&New"); }, "[x]&Load|-|E&xit|&New"},
      {"inserted", [&] {
         auto* item = NewComponent<TMenuItem>(form);
         item->SetCaption("&First");
         form->File->Insert(0, item);
       }, "&First|[x]&Load|-|E&xit|&New"},
      {"deleted", [&] { FreeObject(form->File->Find("New")); }, "&First|[x]&Load|-|E&xit"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.change();
    EXPECT_EQ(Dump(GetSubMenu(GetMenu(h), 0)), step.file);
  }
  EXPECT_EQ(Dump(GetSubMenu(GetMenu(h), 1)), "&Small|(o)&Large|&Grid");
  // A submenu of its own appears when an item gets items.
  form->Item(form->Grid, "FineItem", "&Fine");
  EXPECT_EQ(Dump(GetSubMenu(GetMenu(h), 1)), "&Small|(o)&Large|&Grid>{&Fine}");
  EXPECT_EQ(form->File->Find("e&xit")->GetName(), "ExitItem");
  EXPECT_EQ(form->File->Find("Nothing"), nullptr);
  EXPECT_THROW(form->File->Items(99), EMenuError);
  EXPECT_THROW(form->View->Add(form->Small), EMenuError);  // it has a parent already
}

TEST_F(MenusTest, RadioItemsOfOneGroupCheckOneAtATime) {
  TMenuForm* form = MakeForm();
  auto* other = form->Item(form->View, "OtherItem", "&Other");
  other->SetRadioItem(true);
  other->SetGroupIndex(2);
  other->SetChecked(true);
  form->Small->SetChecked(true);
  EXPECT_TRUE(form->Small->GetChecked());
  EXPECT_FALSE(form->Large->GetChecked());
  EXPECT_TRUE(other->GetChecked());  // another group
  EXPECT_EQ(Dump(GetSubMenu(GetMenu(form->GetHandle()), 1)), "(o)&Small|&Large|&Grid|(o)&Other");
}

TEST_F(MenusTest, ItemsRunFromTheMouseTheKeysAndTheirShortcuts) {
  TMenuForm* form = MakeForm();
  form->File->OnClick = [&](TObject*) { log.push_back("File opens"); };
  Alt('F');
  ui.QueuePress(VK_RETURN);
  ui.RunUntilIdle();
  EXPECT_EQ(log, (Log{"File opens", "OpenItem"}));
  log.clear();

  RECT view;
  GetMenuItemRect(form->GetHandle(), form->Menu->GetHandle(), 1, &view);
  ui.QueueClick((view.left + view.right) / 2, (view.top + view.bottom) / 2);
  ui.WhenModalWaits([&] {
    RECT grid;
    GetMenuItemRect(nullptr, form->View->GetHandle(), 2, &grid);
    ui.QueueClick((grid.left + grid.right) / 2, (grid.top + grid.bottom) / 2);
  });
  ui.RunUntilIdle();
  EXPECT_EQ(log, (Log{"ViewMenu", "GridItem"}));  // the submenu's item hears as its menu opens
  EXPECT_TRUE(form->Grid->GetChecked());  // AutoCheck
  log.clear();

  Chord(VK_CONTROL, 'O');
  EXPECT_EQ(log, (Log{"File opens", "OpenItem"}));  // the parent hears first, as when opened
  log.clear();
  form->Save->SetEnabled(false);
  Chord(VK_CONTROL, 'S');
  EXPECT_EQ(log, (Log{"File opens"}));  // a disabled item's shortcut does nothing
  log.clear();
  form->Area->SetFocus();
  Chord(VK_CONTROL, 'O');  // from a control on the form too
  EXPECT_EQ(log, (Log{"File opens", "OpenItem"}));
}

TEST_F(MenusTest, TheSelectedItemsHintGoesToTheApplication) {
  TMenuForm* form = MakeForm();
  int hints = 0;
  Application()->OnHint = [&](TObject*) { ++hints; };
  AnsiString during;
  Alt('F');
  ui.WhenModalWaits([&] {
    during = Application()->GetHint();
    ui.QueuePress(VK_ESCAPE);
    ui.QueuePress(VK_ESCAPE);
  });
  ui.RunUntilIdle();
  EXPECT_EQ(during, "Opens a picture");
  EXPECT_EQ(Application()->GetHint(), "");
  EXPECT_GE(hints, 2);
  Application()->OnHint = nullptr;
  (void)form;
}

TEST_F(MenusTest, ARightClickOpensTheControlsPopupMenu) {
  TMenuForm* form = MakeForm();
  POINT at = At(form->Area, 50, 40);
  ui.QueueClick(at.x, at.y, InputEvent::Right);
  bool placed = false;
  ui.WhenModalWaits([&] {
    HWND popup = FindWindowEx(nullptr, nullptr, "#32768", nullptr);
    RECT r{};
    if (popup) GetWindowRect(popup, &r);
    placed = r.left == at.x && r.top == at.y;
    RECT cut;
    GetMenuItemRect(nullptr, form->Popup->GetHandle(), 0, &cut);
    ui.QueueClick((cut.left + cut.right) / 2, (cut.top + cut.bottom) / 2);
  });
  ui.RunUntilIdle();
  EXPECT_TRUE(placed);
  EXPECT_EQ(log, (Log{"popup", "CutItem"}));
  EXPECT_EQ(form->Popup->GetPopupComponent(), form->Area);
  log.clear();
  // A control without a popup menu of its own shows its parent's.
  form->SetPopupMenu(form->Popup);
  auto* mark = NewComponent<TBlock>(form);
  mark->SetParent(form->Area);
  mark->SetBounds(150, 100, 30, 30);
  ui.RunUntilIdle();
  form->Area->SetPopupMenu(nullptr);
  POINT onMark = At(mark, 10, 10);
  ui.QueueClick(onMark.x, onMark.y, InputEvent::Right);
  ui.WhenModalWaits([&] { ui.QueuePress(VK_ESCAPE); });
  ui.RunUntilIdle();
  EXPECT_EQ(log, (Log{"popup"}));
  EXPECT_EQ(form->Popup->GetPopupComponent(), form);
  log.clear();
  // On the form's caption the system menu opens instead.
  RECT frame;
  ::GetWindowRect(form->GetHandle(), &frame);
  ui.QueueClick(frame.left + 150, frame.top + 12, InputEvent::Right);
  bool system = false;
  ui.WhenModalWaits([&] {
    HWND popup = FindWindowEx(nullptr, nullptr, "#32768", nullptr);
    system = popup && GetProp(popup, "MenuHandle") == GetSystemMenu(form->GetHandle(), FALSE);
    ui.QueuePress(VK_ESCAPE);
  });
  ui.RunUntilIdle();
  EXPECT_TRUE(system);
  EXPECT_EQ(log, Log{});
  form->Area->SetPopupMenu(form->Popup);
  // Without AutoPopup the click opens nothing.
  form->Popup->SetAutoPopup(false);
  ui.Click(at.x, at.y, InputEvent::Right);
  EXPECT_EQ(log, Log{});
  // A freed popup menu leaves the control.
  FreeObject(form->Popup);
  EXPECT_EQ(form->Area->GetPopupMenu(), nullptr);
}

// A popup menu and the control it opens for, owned apart: whichever goes first, the other
// forgets it and is still used and freed safely.
TEST_F(MenusTest, APopupMenuAndItsControlForgetEachOtherWhenEitherIsFreed) {
  enum class Ending { ControlFreed, ControlDropsMenuThenFreed, MenuFreed };
  struct Case {
    const char* name;
    Ending ending;
  };
  const Case cases[] = {
      {"the control is freed", Ending::ControlFreed},
      {"the control drops the menu, then is freed", Ending::ControlDropsMenuThenFreed},
      {"the menu is freed", Ending::MenuFreed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMenuForm* form = MakeForm();
    TOwnedPtr<TComponent> holder = MakeObject<TComponent>(nullptr);
    auto* menu = NewComponent<TPopupMenu>(holder.get());
    form->Item(menu->GetItems(), "PasteItem", "&Paste");
    std::string openedFor;
    menu->OnPopup = [&](TObject*) {
      TComponent* component = menu->GetPopupComponent();
      openedFor = component ? std::string(component->GetName()) : std::string("none");
    };
    auto* pad = NewComponent<TSwatch>(form);
    pad->SetName("Pad");
    pad->SetParent(form);
    pad->SetBounds(240, 20, 100, 100);
    pad->SetPopupMenu(menu);
    ui.RunUntilIdle();
    POINT at = At(pad, 30, 30);
    ui.QueueClick(at.x, at.y, InputEvent::Right);
    ui.WhenModalWaits([&] { ui.QueuePress(VK_ESCAPE); });
    ui.RunUntilIdle();
    ASSERT_EQ(openedFor, "Pad");
    ASSERT_EQ(menu->GetPopupComponent(), pad);

    if (c.ending == Ending::MenuFreed) {
      FreeObject(menu);
      EXPECT_EQ(pad->GetPopupMenu(), nullptr);
      ui.Click(at.x, at.y, InputEvent::Right);  // nothing opens, nothing is touched
      EXPECT_EQ(holder->ComponentCount(), 0);
    } else {
      if (c.ending == Ending::ControlDropsMenuThenFreed) pad->SetPopupMenu(nullptr);
      FreeObject(pad);
      EXPECT_EQ(menu->GetPopupComponent(), nullptr);
      openedFor.clear();
      ui.WhenModalWaits([&] { ui.QueuePress(VK_ESCAPE); });
      menu->Popup(at.x, at.y);
      EXPECT_EQ(openedFor, "none");
    }
    holder.reset();
    ResetApplication();
  }
}

TEST_F(MenusTest, TheTrackButtonSaysWhetherTheRightButtonChoosesToo) {
  TMenuForm* form = MakeForm();
  POINT at = At(form->Area, 50, 40);
  for (TTrackButton track : {tbRightButton, tbLeftButton}) {
    log.clear();
    form->Popup->SetTrackButton(track);
    ui.WhenModalWaits([&] {
      RECT cut;
      GetMenuItemRect(nullptr, form->Popup->GetHandle(), 0, &cut);
      ui.QueueClick((cut.left + cut.right) / 2, (cut.top + cut.bottom) / 2, InputEvent::Right);
    });
    // Tracked by the left button only, the menu is still open after the right click.
    if (track == tbLeftButton) ui.WhenModalWaits([&] { ui.QueuePress(VK_ESCAPE); });
    form->Popup->Popup(at.x, at.y);
    ui.RunUntilIdle();
    EXPECT_EQ(log, track == tbRightButton ? (Log{"popup", "CutItem"}) : (Log{"popup"})) << track;
  }
  EXPECT_EQ(NewComponent<TPopupMenu>(form)->GetTrackButton(), tbRightButton);  // the default
}

TEST_F(MenusTest, TheFocusedControlsPopupMenuTakesKeysToo) {
  TMenuForm* form = MakeForm();
  form->Cut->SetShortCut(ShortCut('X', TShiftState{ssCtrl}));
  form->Area->SetTabStop(true);
  form->Area->SetFocus();
  ui.RunUntilIdle();
  Chord(VK_CONTROL, 'X');
  EXPECT_EQ(log, (Log{"CutItem"}));
  log.clear();
  // Shift+F10 opens it from the keyboard, in the middle of the control.
  ui.QueueKeyDown(VK_SHIFT);
  ui.QueuePress(VK_F10);
  ui.QueueKeyUp(VK_SHIFT);
  POINT middle = At(form->Area, 100, 75), seen{};
  ui.WhenModalWaits([&] {
    RECT r;
    GetWindowRect(FindWindowEx(nullptr, nullptr, "#32768", nullptr), &r);
    seen = POINT{r.left, r.top};
    ui.QueuePress(VK_DOWN);
    ui.QueuePress(VK_DOWN);
    ui.QueuePress(VK_RETURN);
  });
  ui.RunUntilIdle();
  EXPECT_EQ(seen, middle);
  EXPECT_EQ(log, (Log{"popup", "CopyItem"}));
}

TEST_F(MenusTest, TranslationReachesItemsThroughTheirPublishedProperties) {
  TMenuForm* form = MakeForm();
  auto* item = dynamic_cast<TMenuItem*>(form->FindComponent("OpenItem"));
  ASSERT_NE(item, nullptr);
  SetStrProp(item, "Caption", "&Ouvrir...");
  SetStrProp(item, "Hint", "Ouvrir|Ouvre une image");
  EXPECT_EQ(GetStrProp(item, "Caption"), "&Ouvrir...");
  EXPECT_EQ(GetOrdProp(item, "ShortCut"), ShortCut('O', TShiftState{ssCtrl}));
  SetOrdProp(item, "Enabled", 0);
  EXPECT_EQ(Dump(GetSubMenu(GetMenu(form->GetHandle()), 0)).substr(0, 26), "&Ouvrir...\\tCtrl+O:grey|&S");
  EXPECT_NE(GetPropInfo(item, "Checked"), nullptr);
  EXPECT_NE(GetPropInfo(form->Area, "PopupMenu"), nullptr);
  EXPECT_EQ(GetObjectProp(form->Area, "PopupMenu"), form->Popup);
}

TEST_F(MenusTest, TheBarOutlivesTheWindowAndGoesWithTheMenu) {
  TMenuForm* form = MakeForm();
  HMENU bar = form->Menu->GetHandle();
  form->SetBorderStyle(bsSingle);  // the window is made again
  ui.RunUntilIdle();
  EXPECT_TRUE(IsMenu(bar));
  EXPECT_EQ(GetMenu(form->GetHandle()), bar);
  RECT client;
  ::GetClientRect(form->GetHandle(), &client);
  int withBar = client.bottom;
  FreeObject(form->Menu);
  EXPECT_EQ(form->GetMenu(), nullptr);
  EXPECT_EQ(GetMenu(form->GetHandle()), nullptr);
  EXPECT_FALSE(IsMenu(bar));
  ::GetClientRect(form->GetHandle(), &client);
  EXPECT_EQ(client.bottom, withBar + GetSystemMetrics(SM_CYMENU));  // the room comes back
}

}  // namespace

namespace {

class TMdiMenuFrame : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TMdiMenuFrame(TComponent* owner) : TForm(owner) {
    SetCaption("Frame");
    SetFormStyle(fsMDIForm);
    SetBounds(40, 30, 600, 400);
    auto* menu = NewComponent<TMainMenu>(this);
    Window = NewComponent<TMenuItem>(this);
    Window->SetCaption("&Window");
    auto* cascade = NewComponent<TMenuItem>(this);
    cascade->SetCaption("&Cascade");
    cascade->OnClick = [this](TObject*) { Cascade(); };
    Window->Add(cascade);
    menu->GetItems()->Add(Window);
    SetMenu(menu);
    SetWindowMenu(Window);
  }
  TMenuItem* Window;
};
QUILLO_DEFINE_CLASS(TMdiMenuFrame, TForm)

class TMdiMenuChild : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  TMdiMenuChild(TComponent* owner, const char* caption) : TForm(owner) {
    SetCaption(caption);
    SetFormStyle(fsMDIChild);
  }
};
QUILLO_DEFINE_CLASS(TMdiMenuChild, TForm)

TEST_F(MenusTest, AnMdiFramesWindowMenuListsItsChildren) {
  auto* frame = Application()->CreateForm<TMdiMenuFrame>();
  frame->Show();
  auto* a = NewComponent<TMdiMenuChild>(Application(), "a");
  NewComponent<TMdiMenuChild>(Application(), "b");
  ui.RunUntilIdle();
  EXPECT_EQ(Dump(frame->Window->GetHandle()), "&Cascade|-|&1 a|[x]&2 b");
  // The item's own changes rebuild the menu; the list comes back.
  frame->Window->Items(0)->SetCaption("C&ascade all");
  EXPECT_EQ(Dump(frame->Window->GetHandle()), "C&ascade all|-|&1 a|[x]&2 b");
  Alt('W');
  ui.QueuePress('1');
  ui.RunUntilIdle();
  EXPECT_EQ(frame->ActiveMDIChild(), a);
}

TEST_F(MenusTest, AnItemsImageComesFromTheMenusImageList) {
  TMenuForm* form = MakeForm();
  auto* images = NewComponent<TImageList>(form);
  images->SetWidth(16);
  images->SetHeight(16);
  TOwnedPtr<TBitmap> red = MakeObject<TBitmap>();
  red->SetSize(16, 16);
  red->GetCanvas()->GetBrush()->SetColor(clRed);
  red->GetCanvas()->FillRect(TRect(0, 0, 16, 16));
  images->Add(red.get(), nullptr);
  form->Menu->SetImages(images);
  form->Save->SetImageIndex(0);
  form->Open->SetImageIndex(5);  // past the list's end: no picture
  MENUITEMINFO info;
  info.fMask = MIIM_BITMAP;
  GetMenuItemInfo(form->File->GetHandle(), 1, TRUE, &info);
  EXPECT_NE(info.hbmpItem, nullptr);
  GetMenuItemInfo(form->File->GetHandle(), 0, TRUE, &info);
  EXPECT_EQ(info.hbmpItem, nullptr);
  Alt('F');
  int reds = 0;
  ui.WhenModalWaits([&] {
    RECT save;
    GetMenuItemRect(nullptr, form->File->GetHandle(), 1, &save);
    for (int y = save.top; y < save.bottom; ++y)
      for (int x = save.left; x < save.left + 24; ++x) reds += ui.Pixel(x, y) == 0xFF0000;
    ui.QueuePress(VK_ESCAPE);
    ui.QueuePress(VK_ESCAPE);
  });
  ui.RunUntilIdle();
  EXPECT_EQ(reds, 16 * 16);
  FreeObject(images);  // the menu forgets the list and its pictures
  GetMenuItemInfo(form->File->GetHandle(), 1, TRUE, &info);
  EXPECT_EQ(info.hbmpItem, nullptr);
}

// Without an image from the menu's list an item shows its own bitmap, its transparent colour
// (the bottom-left pixel's) left out, greyed while the item is disabled.
TEST_F(MenusTest, AnItemsOwnBitmapShowsWithoutItsTransparentColour) {
  TMenuForm* form = MakeForm();
  TOwnedPtr<TBitmap> picture = MakeObject<TBitmap>();
  picture->SetSize(16, 16);
  picture->GetCanvas()->GetBrush()->SetColor(clRed);
  picture->GetCanvas()->FillRect(TRect(0, 0, 16, 16));
  picture->GetCanvas()->GetBrush()->SetColor(clLime);
  picture->GetCanvas()->FillRect(TRect(0, 0, 1, 16));  // the left column, bottom-left included
  form->Save->SetBitmap(picture.get());
  MENUITEMINFO info;
  info.fMask = MIIM_BITMAP;
  GetMenuItemInfo(form->File->GetHandle(), 1, TRUE, &info);
  EXPECT_NE(info.hbmpItem, nullptr);

  auto count = [&](int& reds, int& greens) {
    reds = greens = 0;
    Alt('F');
    ui.WhenModalWaits([&] {
      RECT save;
      GetMenuItemRect(nullptr, form->File->GetHandle(), 1, &save);
      for (int y = save.top; y < save.bottom; ++y)
        for (int x = save.left; x < save.left + 24; ++x) {
          reds += ui.Pixel(x, y) == 0xFF0000;
          greens += ui.Pixel(x, y) == 0x00FF00;
        }
      ui.QueuePress(VK_ESCAPE);
      ui.QueuePress(VK_ESCAPE);
    });
    ui.RunUntilIdle();
  };
  int reds = 0, greens = 0;
  count(reds, greens);
  EXPECT_EQ(reds, 15 * 16);
  EXPECT_EQ(greens, 0);
  form->Save->SetEnabled(false);
  count(reds, greens);
  EXPECT_EQ(reds, 0);  // the disabled look
  EXPECT_EQ(greens, 0);
  form->Save->SetBitmap(nullptr);
  GetMenuItemInfo(form->File->GetHandle(), 1, TRUE, &info);
  EXPECT_EQ(info.hbmpItem, nullptr);
}

// A client size asked for before the window exists is the client size the window gets, its
// menu bar above it.
TEST_F(MenusTest, AClientSizeSetBeforeTheWindowLeavesRoomForTheMenuBar) {
  struct Case {
    TFormBorderStyle border;
    bool menu;
  };
  const Case cases[] = {{bsSizeable, true}, {bsDialog, true}, {bsSingle, true}, {bsSizeable, false}, {bsDialog, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.border) + (c.menu ? " with a menu" : " without"));
    auto* form = NewComponent<TForm>(Application());
    form->SetBorderStyle(c.border);
    if (c.menu) {
      auto* menu = NewComponent<TMainMenu>(form);
      auto* file = NewComponent<TMenuItem>(form);
      file->SetCaption("&File");
      menu->GetItems()->Add(file);
      form->SetMenu(menu);
    }
    form->SetClientWidth(300);
    form->SetClientHeight(200);
    form->Show();
    ui.RunUntilIdle();
    RECT client;
    ::GetClientRect(form->GetHandle(), &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    EXPECT_EQ(form->GetClientHeight(), 200);
    FreeObject(form);
  }
}

}  // namespace
