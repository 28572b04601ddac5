#pragma once
// A dialog built in code with every standard and common control of the framework, its main
// menu and a popup menu: what the end-to-end test drives and the screenshot shows. Every part
// is named (FindComponent) and reachable through a member; what the menu items and buttons do
// is recorded in Log.

#include <string>
#include <vector>

#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComCtrlsBars.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/ExtCtrlsSplitter.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Grids.h"
#include "platform/vcl/GroupBox.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ProgressBar.h"
#include "platform/vcl/ScrollBar.h"
#include "platform/vcl/StdButtons.h"
#include "platform/vcl/TrackBar.h"
#include "platform/vcl/TreeView.h"
#include "platform/vcl/UpDown.h"

class TControlsDemoDialog : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  static constexpr int kListItems = 200;

  explicit TControlsDemoDialog(TComponent* owner);

  // The menu bar: File (New, Open, Recent > two files, Rename... (asks for the name in an input
  // box), Clear list... (asks first), Exit), View (Toolbar and
  // Status bar check items, Icons / List / Report radio items for the list view), Help (About...).
  TMainMenu* MainMenu;
  TMenuItem *FileMenu, *NewItem, *OpenItem, *RecentMenu, *Recent1Item, *Recent2Item, *RenameItem, *ClearListItem,
      *ExitItem;
  TMenuItem *ViewMenu, *ToolbarItem, *StatusBarItem, *IconsItem, *ListItem, *ReportItem;
  TMenuItem *HelpMenu, *AboutItem;
  // On the list box: Select all, Clear selection.
  TPopupMenu* ListPopup;
  TMenuItem *SelectAllItem, *ClearSelectionItem;

  TGroupBox* OptionsGroup;
  TCheckBox *BoldCheck, *ItalicCheck, *UnderlineCheck;
  TRadioGroup* SizeGroup;
  TLabel* NameLabel;
  TEdit* NameEdit;
  TLabel* CountLabel;
  TEdit* CountEdit;
  TUpDown* CountUpDown;
  TStaticText* StaticText;
  TMemo* Memo;
  TComboBox* FruitCombo;   // drop-down: typed into or chosen from
  TComboBox* ColourCombo;  // drop-down list: chosen from only
  TProgressBar* Progress;
  TTrackBar* Track;
  TScrollBar* Scroll;

  TListBox* List;
  TTreeView* Tree;
  TListView* Files;
  THeaderControl* Header;
  TTabControl* Tabs;
  TLabel* TabLabel;

  TPageControl* Pages;
  TTabSheet *GeneralSheet, *GridSheet;
  TBevel* PictureBevel;
  TShape* Shape;
  TImage* Image;
  TPaintBox* PaintBox;
  TPanel* SplitPanel;
  TPanel* LeftPanel;
  TSplitter* Splitter;
  TPanel* RightPanel;
  TDrawGrid* Grid;
  TLabel* HintLabel;
  TBevel* ButtonLine;

  TButton* OkButton;      // default: Enter
  TButton* CancelButton;  // cancel: Esc
  TButton* ApplyButton;
  TStatusBar* StatusBar = nullptr;

  std::vector<std::string> Log;  // what ran: menu items by name, "OK", "Cancel", "Apply"
  int LastAnswer = 0;            // the answer to Clear list...'s question

private:
  TMenuItem* Item(TMenuItem* parent, const char* name, const char* caption);
  template <class T>
  T* Make(TWinControl* parent, const char* name, int left, int top, int width, int height);
  void BuildMenus();
  void BuildLeftColumn();
  void BuildMiddleColumn();
  void BuildRightColumn();
  void UpdateSelectionCount();
};
