#include "DemoDialog.h"

#include <string>

#include "platform/vcl/Dialogs.h"

QUILLO_DEFINE_CLASS(TControlsDemoDialog, TForm)

TControlsDemoDialog::TControlsDemoDialog(TComponent* owner) : TForm(owner) {
  SetName("ControlsDemo");
  SetCaption("Controls demonstration");
  SetBorderStyle(bsDialog);
  SetPosition(poDesigned);
  SetLeft(60);
  SetTop(40);
  BuildMenus();
  SetClientWidth(792);  // under the menu bar
  SetClientHeight(456);
  BuildLeftColumn();
  BuildMiddleColumn();
  BuildRightColumn();

  OkButton = Make<TButton>(this, "OkButton", 548, 400, 75, 25);
  OkButton->SetCaption("OK");
  OkButton->SetDefault(true);
  OkButton->SetModalResult(mrOk);
  OkButton->OnClick = [this](TObject*) { Log.push_back("OK"); };
  CancelButton = Make<TButton>(this, "CancelButton", 629, 400, 75, 25);
  CancelButton->SetCaption("Cancel");
  CancelButton->SetCancel(true);
  CancelButton->SetModalResult(mrCancel);
  CancelButton->OnClick = [this](TObject*) { Log.push_back("Cancel"); };
  ApplyButton = Make<TButton>(this, "ApplyButton", 710, 400, 75, 25);
  ApplyButton->SetCaption("&Apply");
  ApplyButton->OnClick = [this](TObject*) {
    Log.push_back("Apply");
    Progress->StepIt();
  };

  StatusBar = NewComponent<TStatusBar>(this);
  StatusBar->SetName("StatusBar");
  StatusBar->SetParent(this);
  for (auto [text, width] : {std::pair{"Ready", 200}, std::pair{"", 160}, std::pair{"Quillo", 50}}) {
    TStatusPanel* panel = StatusBar->GetPanels()->Add();
    panel->SetText(text);
    panel->SetWidth(width);
  }
  UpdateSelectionCount();
  SetActiveControl(NameEdit);  // the first to have the focus
}

TMenuItem* TControlsDemoDialog::Item(TMenuItem* parent, const char* name, const char* caption) {
  auto* item = NewComponent<TMenuItem>(this);
  item->SetName(name);
  item->SetCaption(caption);
  item->OnClick = [this, name](TObject*) { Log.push_back(name); };
  parent->Add(item);
  return item;
}

template <class T>
T* TControlsDemoDialog::Make(TWinControl* parent, const char* name, int left, int top, int width, int height) {
  T* control = NewComponent<T>(this);
  control->SetName(name);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

void TControlsDemoDialog::BuildMenus() {
  MainMenu = NewComponent<TMainMenu>(this);
  MainMenu->SetName("MainMenu");
  FileMenu = Item(MainMenu->GetItems(), "FileMenu", "&File");
  NewItem = Item(FileMenu, "NewItem", "&New");
  NewItem->SetShortCut(ShortCut('N', TShiftState{ssCtrl}));
  OpenItem = Item(FileMenu, "OpenItem", "&Open...");
  OpenItem->SetShortCut(ShortCut('O', TShiftState{ssCtrl}));
  RecentMenu = Item(FileMenu, "RecentMenu", "&Recent");
  Recent1Item = Item(RecentMenu, "Recent1Item", "&1 Harbour.qpx");
  Recent2Item = Item(RecentMenu, "Recent2Item", "&2 Lighthouse.qpx");
  Item(FileMenu, "FileLine1", "-");
  RenameItem = Item(FileMenu, "RenameItem", "Rena&me...");
  RenameItem->OnClick = [this](TObject*) {
    Log.push_back("RenameItem");
    NameEdit->SetText(InputBox("Rename", "&New name:", NameEdit->GetText()));
  };
  ClearListItem = Item(FileMenu, "ClearListItem", "&Clear list...");
  ClearListItem->OnClick = [this](TObject*) {
    Log.push_back("ClearListItem");
    LastAnswer = MessageDlg("Remove every item from the list?", mtConfirmation, TMsgDlgButtons{mbYes, mbNo});
    if (LastAnswer == mrYes) {
      List->Clear();
      UpdateSelectionCount();
    }
  };
  Item(FileMenu, "FileLine2", "-");
  ExitItem = Item(FileMenu, "ExitItem", "E&xit");
  ExitItem->SetShortCut(ShortCut(VK_F4, TShiftState{ssAlt}));
  ExitItem->OnClick = [this](TObject*) {
    Log.push_back("ExitItem");
    SetModalResult(mrCancel);
  };

  ViewMenu = Item(MainMenu->GetItems(), "ViewMenu", "&View");
  ToolbarItem = Item(ViewMenu, "ToolbarItem", "&Toolbar");
  ToolbarItem->SetAutoCheck(true);
  StatusBarItem = Item(ViewMenu, "StatusBarItem", "&Status bar");
  StatusBarItem->SetAutoCheck(true);
  StatusBarItem->SetChecked(true);
  StatusBarItem->OnClick = [this](TObject*) {
    Log.push_back("StatusBarItem");
    StatusBar->SetVisible(StatusBarItem->GetChecked());
  };
  Item(ViewMenu, "ViewLine1", "-");
  IconsItem = Item(ViewMenu, "IconsItem", "&Icons");
  ListItem = Item(ViewMenu, "ListItem", "&List");
  ReportItem = Item(ViewMenu, "ReportItem", "&Report");
  ReportItem->SetShortCut(ShortCut('R', TShiftState{ssCtrl}));
  const std::pair<TMenuItem*, TViewStyle> styles[] = {{IconsItem, vsIcon}, {ListItem, vsList}, {ReportItem, vsReport}};
  for (auto [item, style] : styles) {
    item->SetRadioItem(true);
    item->SetGroupIndex(1);
    item->SetAutoCheck(true);
    item->OnClick = [this, item = item, style = style](TObject*) {
      Log.push_back(item->GetName());
      Files->SetViewStyle(style);
    };
  }
  ReportItem->SetChecked(true);

  HelpMenu = Item(MainMenu->GetItems(), "HelpMenu", "&Help");
  AboutItem = Item(HelpMenu, "AboutItem", "&About...");
  AboutItem->SetShortCut(ShortCut(VK_F1, TShiftState{}));
  AboutItem->OnClick = [this](TObject*) {
    Log.push_back("AboutItem");
    MessageDlg("Every control of the framework in one dialog.", mtInformation, TMsgDlgButtons{mbOK});
  };
  SetMenu(MainMenu);

  ListPopup = NewComponent<TPopupMenu>(this);
  ListPopup->SetName("ListPopup");
  SelectAllItem = Item(ListPopup->GetItems(), "SelectAllItem", "Select &all");
  SelectAllItem->OnClick = [this](TObject*) {
    Log.push_back("SelectAllItem");
    List->SelectAll();
    UpdateSelectionCount();
  };
  ClearSelectionItem = Item(ListPopup->GetItems(), "ClearSelectionItem", "&Clear selection");
  ClearSelectionItem->OnClick = [this](TObject*) {
    Log.push_back("ClearSelectionItem");
    for (int i = 0; i < List->GetItems()->Count(); ++i) List->SetSelected(i, false);
    UpdateSelectionCount();
  };
}

void TControlsDemoDialog::BuildLeftColumn() {
  OptionsGroup = Make<TGroupBox>(this, "OptionsGroup", 8, 4, 232, 88);
  OptionsGroup->SetCaption("Options");
  BoldCheck = Make<TCheckBox>(OptionsGroup, "BoldCheck", 12, 18, 200, 17);
  BoldCheck->SetCaption("&Bold");
  BoldCheck->SetChecked(true);
  ItalicCheck = Make<TCheckBox>(OptionsGroup, "ItalicCheck", 12, 40, 200, 17);
  ItalicCheck->SetCaption("&Italic");
  UnderlineCheck = Make<TCheckBox>(OptionsGroup, "UnderlineCheck", 12, 62, 200, 17);
  UnderlineCheck->SetCaption("&Underline (three states)");
  UnderlineCheck->SetAllowGrayed(true);
  UnderlineCheck->SetState(cbGrayed);

  SizeGroup = Make<TRadioGroup>(this, "SizeGroup", 8, 96, 232, 44);
  SizeGroup->SetCaption("Si&ze");
  SizeGroup->SetColumns(3);
  for (const char* size : {"&Small", "&Medium", "&Large"}) SizeGroup->GetItems()->Add(size);
  SizeGroup->SetItemIndex(1);

  NameLabel = Make<TLabel>(this, "NameLabel", 8, 153, 48, 13);
  NameLabel->SetCaption("&Name:");
  NameEdit = Make<TEdit>(this, "NameEdit", 64, 149, 176, 21);
  NameEdit->SetText("Quillo");
  NameLabel->SetFocusControl(NameEdit);

  CountLabel = Make<TLabel>(this, "CountLabel", 8, 180, 48, 13);
  CountLabel->SetCaption("C&ount:");
  CountEdit = Make<TEdit>(this, "CountEdit", 64, 176, 50, 21);
  CountLabel->SetFocusControl(CountEdit);
  CountUpDown = Make<TUpDown>(this, "CountUpDown", 114, 176, 16, 21);
  CountUpDown->SetMin(0);
  CountUpDown->SetMax(99);
  CountUpDown->SetPosition(5);
  CountUpDown->SetAssociate(CountEdit);
  StaticText = Make<TStaticText>(this, "StaticText", 138, 176, 102, 21);
  StaticText->SetAutoSize(false);
  StaticText->SetBorderStyle(sbsSunken);
  StaticText->SetCaption("Static text");

  Memo = Make<TMemo>(this, "Memo", 8, 204, 232, 92);
  Memo->SetScrollBars(ssBoth);
  Memo->SetWordWrap(false);
  for (int i = 1; i <= 12; ++i)
    Memo->GetLines()->Add("Line " + std::to_string(i) + " of a memo, long enough to need the horizontal bar");

  FruitCombo = Make<TComboBox>(this, "FruitCombo", 8, 302, 113, 21);
  for (const char* fruit : {"Apple", "Banana", "Cherry", "Damson", "Elderberry", "Fig", "Grape", "Lemon", "Mango"})
    FruitCombo->GetItems()->Add(fruit);
  FruitCombo->SetText("Apple");
  ColourCombo = Make<TComboBox>(this, "ColourCombo", 127, 302, 113, 21);
  ColourCombo->SetStyle(csDropDownList);
  for (const char* colour : {"Red", "Green", "Blue", "Yellow"}) ColourCombo->GetItems()->Add(colour);
  ColourCombo->SetItemIndex(2);

  Progress = Make<TProgressBar>(this, "Progress", 8, 332, 232, 16);
  Progress->SetPosition(60);
  Progress->SetStep(10);
  Track = Make<TTrackBar>(this, "Track", 8, 354, 232, 30);
  Track->SetMax(10);
  Track->SetPosition(4);
  Scroll = Make<TScrollBar>(this, "Scroll", 8, 390, 232, 17);
  Scroll->SetParams(30, 0, 100);
  Scroll->SetPageSize(20);
  Scroll->SetLargeChange(20);
}

void TControlsDemoDialog::BuildMiddleColumn() {
  List = Make<TListBox>(this, "List", 248, 8, 124, 160);
  List->SetMultiSelect(true);
  List->SetExtendedSelect(true);
  List->GetItems()->BeginUpdate();
  for (int i = 1; i <= kListItems; ++i) List->GetItems()->Add("List item " + std::to_string(i));
  List->GetItems()->EndUpdate();
  List->SetPopupMenu(ListPopup);
  List->OnClick = [this](TObject*) { UpdateSelectionCount(); };

  Tree = Make<TTreeView>(this, "Tree", 378, 8, 130, 160);
  TTreeNodes* nodes = Tree->GetItems();
  TTreeNode* pictures = nodes->Add(nullptr, "Pictures");
  for (const char* name : {"Harbour", "Lighthouse", "Dunes"}) nodes->AddChild(pictures, name);
  TTreeNode* filters = nodes->Add(nullptr, "Filters");
  TTreeNode* blur = nodes->AddChild(filters, "Blur");
  nodes->AddChild(blur, "Gaussian");
  nodes->AddChild(blur, "Motion");
  nodes->AddChild(filters, "Sharpen");
  nodes->Add(nullptr, "Brushes");
  pictures->Expand(false);

  Files = Make<TListView>(this, "Files", 248, 174, 260, 118);
  Files->SetViewStyle(vsReport);
  Files->SetRowSelect(true);
  for (auto [caption, width] : {std::pair{"Name", 110}, std::pair{"Size", 60}, std::pair{"Type", 70}}) {
    TListColumn* column = Files->GetColumns()->Add();
    column->SetCaption(caption);
    column->SetWidth(width);
  }
  const char* names[] = {"Harbour.qpx", "Lighthouse.png", "Dunes.jpg", "Sketch.bmp", "Logo.gif", "Notes.txt", "Map.tif"};
  const char* types[] = {"Picture", "PNG", "JPEG", "Bitmap", "GIF", "Text", "TIFF"};
  for (int i = 0; i < 7; ++i) {
    TListItem* item = Files->GetItems()->Add();
    item->SetCaption(names[i]);
    item->GetSubItems()->Add(std::to_string(12 * (i + 1) + 3) + " KB");
    item->GetSubItems()->Add(types[i]);
  }

  Header = Make<THeaderControl>(this, "Header", 248, 298, 260, 20);
  Header->SetAlign(alNone);
  for (auto [text, width] : {std::pair{"Header", 90}, std::pair{"Sections", 90}, std::pair{"Here", 80}}) {
    THeaderSection* section = Header->GetSections()->Add();
    section->SetText(text);
    section->SetWidth(width);
  }

  Tabs = Make<TTabControl>(this, "Tabs", 248, 324, 260, 83);
  for (const char* tab : {"First", "Second", "Third"}) Tabs->GetTabs()->Add(tab);
  TabLabel = Make<TLabel>(Tabs, "TabLabel", 12, 36, 200, 13);
  TabLabel->SetCaption("Showing the first tab");
  Tabs->OnChange = [this](TObject*) {
    static const char* ordinals[] = {"first", "second", "third"};
    int index = Tabs->GetTabIndex();
    TabLabel->SetCaption(std::string("Showing the ") + (index >= 0 && index < 3 ? ordinals[index] : "no") + " tab");
  };
}

void TControlsDemoDialog::BuildRightColumn() {
  Pages = Make<TPageControl>(this, "Pages", 516, 8, 268, 200);
  GeneralSheet = NewComponent<TTabSheet>(this);
  GeneralSheet->SetName("GeneralSheet");
  GeneralSheet->SetCaption("General");
  GeneralSheet->SetPageControl(Pages);
  GridSheet = NewComponent<TTabSheet>(this);
  GridSheet->SetName("GridSheet");
  GridSheet->SetCaption("Grid");
  GridSheet->SetPageControl(Pages);

  PictureBevel = Make<TBevel>(GeneralSheet, "PictureBevel", 6, 6, 248, 64);
  PictureBevel->SetShape(bsBox);
  PictureBevel->SetStyle(bsLowered);
  Shape = Make<TShape>(GeneralSheet, "Shape", 14, 12, 52, 52);
  Shape->SetShape(stCircle);
  Shape->GetBrush()->SetColor(clYellow);
  Image = Make<TImage>(GeneralSheet, "Image", 78, 14, 48, 48);
  {
    auto picture = MakeObject<TBitmap>();
    picture->SetSize(48, 48);
    TCanvas* c = picture->GetCanvas();
    for (int y = 0; y < 48; ++y) {  // a sky over a sea
      c->GetBrush()->SetColor(y < 30 ? TColor(RGB(120 + 4 * y, 160 + 3 * y, 255)) : TColor(RGB(0, 60 + 2 * y, 120)));
      c->FillRect(TRect(0, y, 48, y + 1));
    }
    c->GetBrush()->SetColor(clWhite);
    c->GetPen()->SetColor(clWhite);
    c->Ellipse(30, 6, 42, 18);
    Image->GetPicture()->SetBitmap(picture.get());
  }
  PaintBox = Make<TPaintBox>(GeneralSheet, "PaintBox", 138, 12, 110, 52);
  PaintBox->OnPaint = [this](TObject*) {
    TCanvas* c = PaintBox->GetCanvas();
    TRect r = PaintBox->GetClientRect();
    c->GetBrush()->SetColor(clWhite);
    c->FillRect(r);
    for (int i = 0; i < 6; ++i) {
      static const TColor colours[] = {clRed, clMaroon, clGreen, clNavy, clPurple, clTeal};
      c->GetPen()->SetColor(colours[i]);
      c->MoveTo(4 + 18 * i, r.bottom - 4);
      c->LineTo(4 + 18 * i + 12, 4 + (i % 3) * 10);
    }
  };

  SplitPanel = Make<TPanel>(GeneralSheet, "SplitPanel", 6, 78, 248, 88);
  SplitPanel->SetBevelOuter(bvLowered);
  SplitPanel->SetCaption("");
  LeftPanel = Make<TPanel>(SplitPanel, "LeftPanel", 0, 0, 90, 10);
  LeftPanel->SetAlign(alLeft);
  LeftPanel->SetCaption("Left panel");
  Splitter = Make<TSplitter>(SplitPanel, "Splitter", 90, 0, 4, 10);
  Splitter->SetAlign(alLeft);
  Splitter->SetLeft(200);  // to the right of the left panel
  RightPanel = Make<TPanel>(SplitPanel, "RightPanel", 200, 0, 10, 10);
  RightPanel->SetAlign(alClient);
  RightPanel->SetCaption("Drag the splitter");

  Grid = Make<TDrawGrid>(GridSheet, "Grid", 0, 0, 10, 10);
  Grid->SetAlign(alClient);
  Grid->SetColCount(8);
  Grid->SetRowCount(12);
  Grid->SetDefaultColWidth(44);
  Grid->SetDefaultRowHeight(18);
  Grid->OnDrawCell = [this](TObject*, int col, int row, const TRect& rect, TGridDrawState state) {
    TCanvas* c = Grid->GetCanvas();
    std::string text = row == 0 ? (col == 0 ? "" : std::string(1, static_cast<char>('A' + col - 1)))
                                : col == 0 ? std::to_string(row) : std::to_string(row * col);
    c->GetBrush()->SetStyle(bsClear);
    if (state.Contains(gdSelected) && !state.Contains(gdFixed)) c->GetFont()->SetColor(clHighlightText);
    c->TextOut(rect.left + 4, rect.top + 2, text);
  };

  HintLabel = Make<TLabel>(this, "HintLabel", 520, 216, 260, 60);
  HintLabel->SetAutoSize(false);
  HintLabel->SetWordWrap(true);
  HintLabel->SetCaption(
      "Right-click the list for its menu. Alt and a letter, or F10, open the menus; Ctrl+Tab turns the pages.");
  ButtonLine = Make<TBevel>(this, "ButtonLine", 516, 390, 268, 2);
  ButtonLine->SetShape(bsTopLine);
}

void TControlsDemoDialog::UpdateSelectionCount() {
  if (StatusBar && StatusBar->GetPanels()->Count() > 1)
    StatusBar->GetPanels()->Items(1)->SetText("Selected: " + std::to_string(List->GetSelCount()));
}
