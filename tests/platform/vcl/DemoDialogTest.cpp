// The controls demonstration dialog (tests/support/DemoDialog.h) driven end to end through the
// UI driver as a user would: its menus by mouse and keys, a message box answered, the list
// scrolled and selected, the tree expanded, tabs and pages switched, an edit typed into with
// the clipboard, the keyboard walking the dialog, and the values read back from every control.
//
// DemoDialogShot.MenuOpen shows the dialog with its View menu open; with QUILLO_SHOT=<file.bmp>
// it saves the desktop there, and with QUILLO_DEMO_HOLD_MS=<n> it keeps the screen so for n
// milliseconds of real time (scripts/screenshot-demo.sh takes it on the SDL host).

#include "VclFixture.h"

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "platform/controls/ListView.h"
#include "platform/controls/TreeView.h"
#include "platform/user/Desktop.h"
#include "platform/vcl/Clipbrd.h"
#include "support/DemoDialog.h"

namespace {

using Log = std::vector<std::string>;

class DemoDialogTest : public VclTest {
protected:
  void SetUp() override {
    dialog = Application()->CreateForm<TControlsDemoDialog>();
    dialog->Show();
    ui.RunUntilIdle();
    dialog->Log.clear();
  }
  // The middle of a menu bar item, or of an item of an open popup menu.
  POINT BarItem(int index) {
    RECT r;
    GetMenuItemRect(dialog->GetHandle(), dialog->MainMenu->GetHandle(), static_cast<UINT>(index), &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  static POINT PopupItem(HMENU menu, int index) {
    RECT r;
    GetMenuItemRect(nullptr, menu, static_cast<UINT>(index), &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void Alt(int letter, bool queued) {
    if (queued) {
      ui.QueueKeyDown(VK_MENU);
      ui.QueuePress(letter);
      ui.QueueKeyUp(VK_MENU);
    } else {
      ui.KeyDown(VK_MENU);
      ui.Press(letter);
      ui.KeyUp(VK_MENU);
    }
  }
  void Chord(int modifier, int key) {
    ui.KeyDown(modifier);
    ui.Press(key);
    ui.KeyUp(modifier);
  }
  std::string FocusedName() {
    TWinControl* c = FindControl(GetFocus());
    // An inner window of a control (a combo box's edit) counts as the control.
    for (HWND w = GetFocus(); !c && w; w = GetParent(w)) c = FindControl(w);
    return c ? c->GetName() : "(none)";
  }
  TRect TreeItemRect(TTreeNode* node) {
    RECT r{};
    HTREEITEM item = node->ItemId();  // TVM_GETITEMRECT takes the item in the rectangle
    std::memcpy(static_cast<void*>(&r), &item, sizeof item);
    SendMessage(dialog->Tree->GetHandle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
    return TRect(r.left, r.top, r.right, r.bottom);
  }

  TControlsDemoDialog* dialog = nullptr;
};

TEST_F(DemoDialogTest, EveryControlIsShownInItsOwnPlace) {
  // Side by side on the form: no two of its controls overlap, all inside the client area
  // above the status bar.
  TRect client = dialog->GetClientRect();
  std::vector<TControl*> placed;
  for (int i = 0; i < dialog->ControlCount(); ++i) {
    TControl* c = dialog->Controls(i);
    SCOPED_TRACE(c->GetName());
    EXPECT_TRUE(c->GetVisible());
    if (c == dialog->StatusBar) continue;
    TRect r = c->GetBoundsRect();
    EXPECT_GE(r.left, 0);
    EXPECT_LE(r.right, client.right);
    EXPECT_LE(r.bottom, dialog->StatusBar->GetTop());
    for (TControl* other : placed) {
      TRect o = other->GetBoundsRect();
      bool apart = r.right <= o.left || o.right <= r.left || r.bottom <= o.top || o.bottom <= r.top;
      bool buddies = c == dialog->CountUpDown && other == dialog->CountEdit;  // the arrows sit on its edge
      EXPECT_TRUE(apart || buddies) << "overlaps " << other->GetName();
    }
    placed.push_back(c);
  }
  // Every windowed control has its window on the screen, except those of the hidden page.
  for (int i = 0; i < dialog->ComponentCount(); ++i) {
    auto* w = dynamic_cast<TWinControl*>(dialog->Components(i));
    if (!w || w == dialog->GridSheet || w == dialog->Grid) continue;
    SCOPED_TRACE(w->GetName());
    EXPECT_TRUE(w->Showing());
    EXPECT_TRUE(IsWindowVisible(w->GetHandle()));
  }
  // The windowless ones paint: the yellow circle, the picture's sky, the paint box's white.
  EXPECT_EQ(PixelOf(dialog->Shape, 26, 26), Rgb(clYellow));
  EXPECT_EQ(PixelOf(dialog->Image, 2, 2), 0x80A6FFu);  // RGB(120 + 8, 160 + 6, 255)
  EXPECT_EQ(PixelOf(dialog->PaintBox, 1, 1), Rgb(clWhite));
  EXPECT_EQ(dialog->StatusBar->GetPanels()->Items(1)->GetText(), "Selected: 0");
}

TEST_F(DemoDialogTest, MenusOpenByMouseAndByKeys) {
  struct Case {
    const char* name;
    std::function<void()> act;
    Log log;
  };
  const Case cases[] = {
      {"clicks on View then List",
       [&] {
         POINT view = BarItem(1);
         ui.QueueClick(view.x, view.y);
         ui.WhenModalWaits([&] {
           POINT list = PopupItem(dialog->ViewMenu->GetHandle(), 4);
           ui.QueueClick(list.x, list.y);
         });
         ui.RunUntilIdle();
       },
       {"ViewMenu", "ListItem"}},
      {"Alt+V, then R",
       [&] {
         Alt('V', true);
         ui.QueuePress('R');
         ui.RunUntilIdle();
       },
       {"ViewMenu", "ReportItem"}},
      {"Alt+F, down to Recent, right into it, down, Enter",
       [&] {
         Alt('F', true);
         for (int vk : {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}) ui.QueuePress(vk);
         ui.RunUntilIdle();
       },
       {"FileMenu", "RecentMenu", "Recent2Item"}},
      {"F10, right to View, down opens it, Enter on its first item",
       [&] {
         for (int vk : {VK_F10, VK_RIGHT, VK_DOWN, VK_RETURN}) ui.QueuePress(vk);
         ui.RunUntilIdle();
       },
       {"ViewMenu", "ToolbarItem"}},
      {"Alt alone, then Enter opens File, Esc twice leaves it",
       [&] {
         ui.QueuePress(VK_MENU);
         ui.QueuePress(VK_RETURN);
         ui.WhenModalWaits([&] {
           ui.QueuePress(VK_ESCAPE);
           ui.QueuePress(VK_ESCAPE);
         });
         ui.RunUntilIdle();
       },
       {"FileMenu"}},
      {"shortcut Ctrl+O", [&] { Chord(VK_CONTROL, 'O'); }, {"FileMenu", "OpenItem"}},
      {"shortcut Ctrl+R", [&] { Chord(VK_CONTROL, 'R'); }, {"ViewMenu", "ReportItem"}},
  };
  dialog->NameEdit->SetFocus();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dialog->Log.clear();
    c.act();
    EXPECT_EQ(dialog->Log, c.log);
    EXPECT_FALSE(FindWindowEx(nullptr, nullptr, "#32768", nullptr));  // no menu left open
  }
  // The radio items and the auto-checked item kept what was chosen, and the list view follows.
  EXPECT_TRUE(dialog->ReportItem->GetChecked());
  EXPECT_FALSE(dialog->ListItem->GetChecked());
  EXPECT_EQ(dialog->Files->GetViewStyle(), vsReport);
  EXPECT_TRUE(dialog->ToolbarItem->GetChecked());
  // The focus came back to the edit after each menu.
  EXPECT_EQ(FocusedName(), "NameEdit");

  // The status bar item hides and shows the status bar.
  Alt('V', true);
  ui.QueuePress('S');
  ui.RunUntilIdle();
  EXPECT_FALSE(dialog->StatusBarItem->GetChecked());
  EXPECT_FALSE(dialog->StatusBar->Showing());
  Alt('V', true);
  ui.QueuePress('S');
  ui.RunUntilIdle();
  EXPECT_TRUE(dialog->StatusBar->Showing());
}

TEST_F(DemoDialogTest, MessageBoxesFromMenuItemsAreAnswered) {
  ui.DriveMessageBoxes();
  // Clear list... asks first: Esc answers No and the list stays.
  std::string caption;
  ui.WhenModalWaits([&] {
    TCustomForm* box = Screen()->ActiveForm();
    ASSERT_TRUE(box);
    caption = box->GetCaption();
    ui.Press(VK_ESCAPE);
  });
  Alt('F', true);
  ui.QueuePress('C');
  ui.RunUntilIdle();
  EXPECT_EQ(caption, "Confirm");
  EXPECT_EQ(dialog->LastAnswer, mrNo);
  EXPECT_EQ(dialog->List->GetItems()->Count(), TControlsDemoDialog::kListItems);
  EXPECT_EQ(ui.MessageBoxTexts().back(), "Remove every item from the list?");
  EXPECT_EQ(Screen()->ActiveForm(), dialog);  // the dialog is active again

  // F1 opens About, Enter closes it.
  ui.WhenModalWaits([&] { ui.Press(VK_RETURN); });
  ui.Press(VK_F1);
  EXPECT_EQ(ui.MessageBoxTexts().back(), "Every control of the framework in one dialog.");
  EXPECT_EQ(dialog->Log, (Log{"FileMenu", "ClearListItem", "HelpMenu", "AboutItem"}));

  // Rename... asks for the name in an input box: typed and accepted, then cancelled.
  dialog->Log.clear();
  ui.WhenModalWaits([&] { ui.Type("Lighthouse\n"); });
  Alt('F', true);
  ui.QueuePress('M');
  ui.RunUntilIdle();
  EXPECT_EQ(dialog->NameEdit->GetText(), "Lighthouse");
  ui.WhenModalWaits([&] {
    ui.Type("Dunes");
    ui.Press(VK_ESCAPE);
  });
  Alt('F', true);
  ui.QueuePress('M');
  ui.RunUntilIdle();
  EXPECT_EQ(dialog->NameEdit->GetText(), "Lighthouse");
  EXPECT_EQ(dialog->Log, (Log{"FileMenu", "RenameItem", "FileMenu", "RenameItem"}));

  // Clear list... again, the mouse on Yes this time: the list is emptied.
  ui.WhenModalWaits([&] {
    TCustomForm* box = Screen()->ActiveForm();
    ASSERT_TRUE(box);
    ClickOn(static_cast<TControl*>(box->FindComponent("Yes")), 10, 10);
  });
  Alt('F', true);
  ui.QueuePress('C');
  ui.RunUntilIdle();
  EXPECT_EQ(dialog->LastAnswer, mrYes);
  EXPECT_EQ(dialog->List->GetItems()->Count(), 0);
}

TEST_F(DemoDialogTest, TheListIsScrolledAndSelectedByWheelKeysMouseAndItsPopupMenu) {
  TListBox* list = dialog->List;
  EXPECT_EQ(list->GetTopIndex(), 0);
  // A click picks the first item; the wheel scrolls the list that has the focus.
  ClickOn(list, 30, 5);
  EXPECT_EQ(list->GetItemIndex(), 0);
  EXPECT_TRUE(list->GetSelected(0));
  POINT middle = At(list, 40, 60);
  ui.Wheel(middle.x, middle.y, -120);
  EXPECT_GT(list->GetTopIndex(), 0);
  ui.Wheel(middle.x, middle.y, 120);
  EXPECT_EQ(list->GetTopIndex(), 0);
  // End goes to the last item, scrolling it into sight.
  ui.Press(VK_END);
  EXPECT_EQ(list->GetItemIndex(), TControlsDemoDialog::kListItems - 1);
  EXPECT_GT(list->GetTopIndex(), TControlsDemoDialog::kListItems - 20);
  EXPECT_EQ(list->GetSelCount(), 1);
  ui.Press(VK_HOME);
  // Shift+click extends the selection; Ctrl+click adds one more.
  TRect fourth = list->ItemRect(3);
  ui.KeyDown(VK_SHIFT);
  ClickOn(list, 30, fourth.top + 2);
  ui.KeyUp(VK_SHIFT);
  EXPECT_EQ(list->GetSelCount(), 4);
  TRect sixth = list->ItemRect(5);
  ui.KeyDown(VK_CONTROL);
  ClickOn(list, 30, sixth.top + 2);
  ui.KeyUp(VK_CONTROL);
  EXPECT_EQ(list->GetSelCount(), 5);
  EXPECT_FALSE(list->GetSelected(4));
  EXPECT_EQ(dialog->StatusBar->GetPanels()->Items(1)->GetText(), "Selected: 5");

  // Its popup menu, by a right click: Select all, then Clear selection from Shift+F10.
  POINT at = At(list, 40, 40);
  ui.QueueClick(at.x, at.y, InputEvent::Right);
  ui.WhenModalWaits([&] {
    POINT item = PopupItem(dialog->ListPopup->GetHandle(), 0);
    ui.QueueClick(item.x, item.y);
  });
  ui.RunUntilIdle();
  EXPECT_EQ(list->GetSelCount(), TControlsDemoDialog::kListItems);
  EXPECT_EQ(dialog->StatusBar->GetPanels()->Items(1)->GetText(), "Selected: 200");
  ui.QueueKeyDown(VK_SHIFT);
  ui.QueuePress(VK_F10);
  ui.QueueKeyUp(VK_SHIFT);
  ui.QueuePress('C');
  ui.RunUntilIdle();
  EXPECT_EQ(list->GetSelCount(), 0);
  EXPECT_EQ(dialog->Log, (Log{"SelectAllItem", "ClearSelectionItem"}));
}

TEST_F(DemoDialogTest, TheTreeIsExpandedAndTabsAndPagesAreSwitched) {
  TTreeNodes* nodes = dialog->Tree->GetItems();
  TTreeNode* filters = nodes->GetFirstNode()->GetNextSibling();
  ASSERT_EQ(filters->GetText(), "Filters");
  TTreeNode* blur = filters->GetFirstChild();
  EXPECT_FALSE(filters->GetExpanded());
  // A click on the button left of Filters opens it.
  TRect text = TreeItemRect(filters);
  ClickOn(dialog->Tree, text.left - 12, (text.top + text.bottom) / 2);
  EXPECT_TRUE(filters->GetExpanded());
  EXPECT_GT(TreeItemRect(blur).top, text.top);  // its children show below it
  // The keys: Down to Blur, Right opens it, Down to its first child.
  ClickOn(dialog->Tree, text.left + 4, (text.top + text.bottom) / 2);
  EXPECT_EQ(dialog->Tree->GetSelected(), filters);
  ui.Press(VK_DOWN);
  ui.Press(VK_RIGHT);
  EXPECT_TRUE(blur->GetExpanded());
  ui.Press(VK_DOWN);
  EXPECT_EQ(dialog->Tree->GetSelected()->GetText(), "Gaussian");
  // A double click on Pictures closes it.
  TTreeNode* pictures = nodes->GetFirstNode();
  TRect p = TreeItemRect(pictures);
  POINT at = At(dialog->Tree, p.left + 4, (p.top + p.bottom) / 2);
  ui.DoubleClick(at.x, at.y);
  EXPECT_FALSE(pictures->GetExpanded());

  // The tab control: a click on the second tab.
  TRect second = dialog->Tabs->TabRect(1);
  ClickOn(dialog->Tabs, (second.left + second.right) / 2, (second.top + second.bottom) / 2);
  EXPECT_EQ(dialog->Tabs->GetTabIndex(), 1);
  EXPECT_EQ(dialog->TabLabel->GetCaption(), "Showing the second tab");
  ui.Press(VK_RIGHT);  // the focused tabs move with the arrows
  EXPECT_EQ(dialog->Tabs->GetTabIndex(), 2);

  // The page control: a click on Grid shows the grid, Ctrl+Tab turns back to General.
  TRect grid = dialog->Pages->TabRect(1);
  ClickOn(dialog->Pages, (grid.left + grid.right) / 2, (grid.top + grid.bottom) / 2);
  EXPECT_EQ(dialog->Pages->GetActivePage(), dialog->GridSheet);
  EXPECT_TRUE(IsWindowVisible(dialog->Grid->GetHandle()));
  EXPECT_FALSE(dialog->GeneralSheet->Showing());
  ClickOn(dialog->Grid, 3 * 44 + 10, 2 * 18 + 8);  // a cell: column 3, row 2
  EXPECT_EQ(dialog->Grid->GetCol(), 3);
  EXPECT_EQ(dialog->Grid->GetRow(), 2);
  Chord(VK_CONTROL, VK_TAB);
  EXPECT_EQ(dialog->Pages->GetActivePage(), dialog->GeneralSheet);
  EXPECT_TRUE(dialog->GeneralSheet->Showing());
  EXPECT_FALSE(IsWindowVisible(dialog->Grid->GetHandle()));
  ui.RunUntilIdle();
  EXPECT_EQ(PixelOf(dialog->Shape, 26, 26), Rgb(clYellow));
}

TEST_F(DemoDialogTest, AnEditIsTypedIntoWithTheClipboard) {
  TEdit* edit = dialog->NameEdit;
  // Alt+N (the label's mnemonic) reaches the edit, which selects all it holds.
  Alt('N', false);
  EXPECT_EQ(FocusedName(), "NameEdit");
  ui.Type("Harbour");
  EXPECT_EQ(edit->GetText(), "Harbour");
  // Shift+Home, Ctrl+C, End, Ctrl+V: the word twice.
  ui.KeyDown(VK_SHIFT);
  ui.Press(VK_HOME);
  ui.KeyUp(VK_SHIFT);
  Chord(VK_CONTROL, 'C');
  EXPECT_EQ(Clipboard()->GetAsText(), "Harbour");
  ui.Press(VK_END);
  ui.Type(" ");
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(edit->GetText(), "Harbour Harbour");
  // Shift+Ctrl+Left selects the last word, Ctrl+X cuts it.
  ui.KeyDown(VK_SHIFT);
  Chord(VK_CONTROL, VK_LEFT);
  ui.KeyUp(VK_SHIFT);
  Chord(VK_CONTROL, 'X');
  EXPECT_EQ(edit->GetText(), "Harbour ");
  EXPECT_EQ(Clipboard()->GetAsText(), "Harbour");
  // Pasted into the memo, at its end.
  ClickOn(dialog->Memo, 20, 20);
  Chord(VK_CONTROL, VK_END);  // the empty line after the last
  Chord(VK_CONTROL, 'V');
  AnsiString pasted = dialog->Memo->GetText();
  ui.Press(VK_RETURN);  // a memo keeps Enter
  EXPECT_TRUE(dialog->Log.empty());  // OK was not pressed
  EXPECT_EQ(dialog->Memo->GetLines()->Count(), 13);
  EXPECT_EQ(dialog->Memo->GetLines()->Strings(12), "Harbour");
  EXPECT_EQ(dialog->Memo->GetText(), pasted + "\r\n");
  // Ctrl+Z takes the new line back.
  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(dialog->Memo->GetText(), pasted);
}

TEST_F(DemoDialogTest, TheKeyboardWalksTheDialog) {
  // Tab from the first control visits every tab stop in order and comes round; Shift+Tab
  // goes back the same way.
  const std::vector<std::string> order = {
      "BoldCheck", "ItalicCheck", "UnderlineCheck", "SizeGroup.1", "NameEdit", "CountEdit", "Memo",
      "FruitCombo", "ColourCombo", "Track", "Scroll", "List", "Tree", "Files", "Tabs", "Pages",
      "OkButton", "CancelButton", "ApplyButton"};
  auto focused = [&] {
    std::string name = FocusedName();
    if (name.empty()) {  // a radio button of the group
      for (int i = 0; i < dialog->SizeGroup->ButtonCount(); ++i)
        if (dialog->SizeGroup->Buttons(i)->Focused()) return "SizeGroup." + std::to_string(i);
    }
    return name;
  };
  dialog->BoldCheck->SetFocus();
  ui.RunUntilIdle();
  std::vector<std::string> forward{focused()};
  for (size_t i = 0; i < order.size(); ++i) {
    ui.Press(VK_TAB);
    forward.push_back(focused());
  }
  std::vector<std::string> expected = order;
  expected.push_back(order.front());
  EXPECT_EQ(forward, expected);
  std::vector<std::string> backward{focused()};
  for (size_t i = 0; i < order.size(); ++i) {
    ui.KeyDown(VK_SHIFT);
    ui.Press(VK_TAB);
    ui.KeyUp(VK_SHIFT);
    backward.push_back(focused());
  }
  std::reverse(expected.begin(), expected.end());
  EXPECT_EQ(backward, expected);

  // Mnemonics: Alt+O to the count's edit, Alt+B toggles Bold, Alt+L picks Large in the group.
  Alt('O', false);
  EXPECT_EQ(FocusedName(), "CountEdit");
  Alt('B', false);
  EXPECT_FALSE(dialog->BoldCheck->GetChecked());
  Alt('L', false);
  EXPECT_EQ(dialog->SizeGroup->GetItemIndex(), 2);
  // Arrows move within the radio group, choosing as they go.
  ui.Press(VK_LEFT);
  EXPECT_EQ(dialog->SizeGroup->GetItemIndex(), 1);
  ui.Press(VK_UP);
  EXPECT_EQ(dialog->SizeGroup->GetItemIndex(), 0);

  // Enter reaches the default button from an edit, Esc the cancel button; Enter on a focused
  // button presses that button.
  struct Case {
    TWinControl* from;
    int key;
    Log log;
    TModalResult result;
  };
  const Case cases[] = {
      {dialog->NameEdit, VK_RETURN, {"OK"}, mrOk},
      {dialog->List, VK_RETURN, {"OK"}, mrOk},
      {dialog->NameEdit, VK_ESCAPE, {"Cancel"}, mrCancel},
      {dialog->Tree, VK_ESCAPE, {"Cancel"}, mrCancel},
      {dialog->ApplyButton, VK_RETURN, {"Apply"}, mrNone},
      {dialog->CancelButton, VK_RETURN, {"Cancel"}, mrCancel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from->GetName() + (c.key == VK_RETURN ? " Enter" : " Esc"));
    c.from->SetFocus();
    ui.RunUntilIdle();
    dialog->Log.clear();
    dialog->SetModalResult(mrNone);
    ui.Press(c.key);
    EXPECT_EQ(dialog->Log, c.log);
    EXPECT_EQ(dialog->GetModalResult(), c.result);
  }
  dialog->SetModalResult(mrNone);
}

TEST_F(DemoDialogTest, ValuesAreReadBackFromEveryControl) {
  // Each control changed by the user's own input.
  ClickOn(dialog->ItalicCheck, 6, 8);
  ClickOn(dialog->UnderlineCheck, 6, 8);  // grey to unchecked? no: three states turn on
  ClickOn(dialog->SizeGroup->Buttons(0), 6, 6);
  dialog->CountEdit->SetFocus();
  ui.Press(VK_UP);  // the up-down's buddy takes the arrows
  ui.Press(VK_UP);
  dialog->FruitCombo->SetFocus();
  Chord(VK_CONTROL, 'A');
  ui.Type("Fig");
  dialog->ColourCombo->SetFocus();
  ui.Press(VK_DOWN);
  ClickOn(dialog->ApplyButton, 10, 10);  // steps the progress bar
  dialog->Track->SetFocus();
  ui.Press(VK_RIGHT);
  dialog->Scroll->SetFocus();
  ui.Press(VK_RIGHT);
  ui.Press(VK_NEXT);
  TRect third = dialog->List->ItemRect(2);
  ClickOn(dialog->List, 20, third.top + 2);
  RECT dunes{LVIR_LABEL, 0, 0, 0};
  SendMessage(dialog->Files->GetHandle(), LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&dunes));
  ClickOn(dialog->Files, dunes.left + 6, (dunes.top + dunes.bottom) / 2);
  // The splitter dragged 30 pixels right.
  POINT from = At(dialog->Splitter, 2, 40);
  ui.Drag(from, POINT{from.x + 30, from.y});
  // A header section dragged wider by its divider.
  POINT divider = At(dialog->Header, 90, 10);
  ui.Drag(divider, POINT{divider.x + 20, divider.y});
  ui.RunUntilIdle();

  struct Read {
    const char* what;
    std::string value;
    std::string expected;
  };
  const Read reads[] = {
      {"Bold", std::to_string(dialog->BoldCheck->GetState()), std::to_string(cbChecked)},
      {"Italic", std::to_string(dialog->ItalicCheck->GetState()), std::to_string(cbChecked)},
      {"Underline", std::to_string(dialog->UnderlineCheck->GetState()), std::to_string(cbChecked)},
      {"Size", std::to_string(dialog->SizeGroup->GetItemIndex()), "0"},
      {"Name", dialog->NameEdit->GetText(), "Quillo"},
      {"Count", dialog->CountEdit->GetText(), "7"},
      {"Count up-down", std::to_string(dialog->CountUpDown->GetPosition()), "7"},
      {"Static", dialog->StaticText->GetCaption(), "Static text"},
      {"Memo lines", std::to_string(dialog->Memo->GetLines()->Count()), "12"},
      {"Fruit", dialog->FruitCombo->GetText(), "Fig"},
      {"Colour", dialog->ColourCombo->GetText(), "Yellow"},
      {"Progress", std::to_string(dialog->Progress->GetPosition()), "70"},
      {"Track", std::to_string(dialog->Track->GetPosition()), "5"},
      {"Scroll", std::to_string(dialog->Scroll->GetPosition()), "51"},
      {"List", std::to_string(dialog->List->GetItemIndex()) + "/" + std::to_string(dialog->List->GetSelCount()), "2/1"},
      {"Files", dialog->Files->GetSelected() ? dialog->Files->GetSelected()->GetCaption() : "(none)", "Dunes.jpg"},
      {"Tree", dialog->Tree->GetSelected() ? dialog->Tree->GetSelected()->GetText() : "(none)", "(none)"},
      {"Header", std::to_string(dialog->Header->GetSections()->Items(0)->GetWidth()), "110"},
      {"Tabs", std::to_string(dialog->Tabs->GetTabIndex()), "0"},
      {"Pages", dialog->Pages->GetActivePage()->GetName(), "GeneralSheet"},
      {"Left panel", std::to_string(dialog->LeftPanel->GetWidth()), "120"},
      {"Grid", std::to_string(dialog->Grid->GetCol()) + "," + std::to_string(dialog->Grid->GetRow()), "1,1"},
      {"Status", dialog->StatusBar->GetPanels()->Items(1)->GetText(), "Selected: 1"},
  };
  for (const Read& r : reads) EXPECT_EQ(r.value, r.expected) << r.what;
}

TEST_F(DemoDialogTest, ShownModallyItEndsWithTheButtonsAnswer) {
  dialog->Hide();
  ui.RunUntilIdle();
  struct Case {
    std::function<void()> act;
    TModalResult result;
  };
  const Case cases[] = {
      {[&] { ui.Press(VK_RETURN); }, mrOk},
      {[&] { ui.Press(VK_ESCAPE); }, mrCancel},
      {[&] { ClickOn(dialog->CancelButton, 10, 10); }, mrCancel},
      {[&] {
         Alt('F', true);
         ui.QueuePress('X');
         ui.RunUntilIdle();
       },
       mrCancel},
  };
  for (const Case& c : cases) {
    ui.WhenModalWaits(c.act);
    EXPECT_EQ(dialog->ShowModal(), c.result);
    EXPECT_FALSE(dialog->Showing());
  }
}

class DemoDialogShot : public DemoDialogTest {};

TEST_F(DemoDialogShot, MenuOpen) {
  // Something to see in the list, the list view and the edit.
  dialog->List->SetSelected(2, true);
  dialog->List->SetSelected(3, true);
  dialog->Files->SetSelected(dialog->Files->GetItems()->Item(1));
  dialog->Tree->SetSelected(dialog->Tree->GetItems()->GetFirstNode()->GetFirstChild());
  dialog->NameEdit->SetFocus();
  ui.RunUntilIdle();
  POINT view = BarItem(1);
  ui.QueueClick(view.x, view.y);
  bool open = false;
  ui.WhenModalWaits([&] {
    POINT report = PopupItem(dialog->ViewMenu->GetHandle(), 5);
    ui.QueueMove(report.x, report.y);  // the Report item lit
  });
  ui.WhenModalWaits([&] {
    HWND popup = FindWindowEx(nullptr, nullptr, "#32768", nullptr);
    open = popup && IsWindowVisible(popup);
    FlushDesktop();
    ui.ShowToViewer();
    ui.QueuePress(VK_ESCAPE);
    ui.QueuePress(VK_ESCAPE);
  });
  ui.RunUntilIdle();
  EXPECT_TRUE(open);
}

}  // namespace
