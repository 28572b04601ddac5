#include "quillo/files/BrowseForm.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>

#include "platform/dialogs/FileInfo.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/FindFile.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/User.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/ExtCtrlsSplitter.h"
#include "platform/vcl/Icon.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/StdButtons.h"
#include "platform/vcl/Timer.h"
#include "platform/vcl/TreeView.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/base/Settings.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/components/files/TreeScanner.h"
#include "quillo/components/persistence/FormPlacement.h"
#include "quillo/document/ImageView.h"
#include "quillo/files/BrowseGrid.h"
#include "quillo/files/EffectBrowsing.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/files/PlacedControl.h"
#include "quillo/files/ThumbCache.h"
#include "quillo/files/Thumbnails.h"
#include "quillo/tools/Tool.h"
#include "vorlen/formats/GFXFile.h"

BrowseMode BrowserMode = BrowseMode::Image;
CreateGalleryDialog ShowGalleryDialog = nullptr;

QUILLO_DEFINE_CLASS(TBrowseForm, TForm)

namespace {

namespace grid = browse_grid;

constexpr const char* kStorageKey = "Software\\Dornick\\QL";
constexpr const char* kStorageSection = "Browser";
constexpr int kTreePanelWidth = 224;
constexpr int kScrollBoxMinWidth = 168;
constexpr int kButtonHeight = 25;
// Each tick of the fill timer makes thumbnails for about this long, so a page of cached ones
// shows at once and a page of new ones still lets the window answer between ticks.
constexpr DWORD kFillBudgetMs = 30;

TPoint lastPlace{-1, -1};

AnsiString HomeFolder() {
  const char* home = std::getenv("HOME");
  AnsiString path = home != nullptr && *home != '\0' ? home : "/";
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path == "/" ? path : path + "/";
}

bool IsImageFile(const AnsiString& path) {
  struct stat status {};
  return GFXFile::GetDefaultFormat(path) != nullptr && stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

void ForgetBrowseFormPlace() { lastPlace = TPoint(-1, -1); }

TBrowseForm::TBrowseForm(TComponent* owner) : TForm(owner) {
  SetName("BrowseForm");
  SetCaption("Image Browser");
  SetBorderIcons({biSystemMenu, biMaximize});
  SetFormStyle(fsStayOnTop);
  SetKeyPreview(true);
  SetShowHint(true);
  SetHelpContext(kHelpContext);
  SetAutoScroll(false);
  SetBounds(0, 0, 620, 418);
  Cap = NewNamedComponent<TBandCaption>(this, "Cap");
  measure_ = std::make_unique<TBitmap>();

  TreePanel = PlacedControl<TPanel>(this, "TreePanel", this, 0, 0, kTreePanelWidth, GetClientHeight());
  TreePanel->SetAlign(alLeft);
  TreePanel->SetBevelOuter(bvNone);
  TreePanel->SetCaption("");
  Splitter1 = PlacedControl<TSplitter>(this, "Splitter1", this, kTreePanelWidth, 0, 3, GetClientHeight());
  Splitter1->SetAlign(alLeft);
  ScrollBox = PlacedControl<TScrollBox>(this, "ScrollBox", this, kTreePanelWidth + 3, 0, 300, GetClientHeight());
  ScrollBox->SetAlign(alClient);
  ScrollBox->GetHorzScrollBar()->SetVisible(false);
  ScrollBox->OnResize = [this](TObject* sender) { ScrollBoxResize(sender); };
  ThumbPanel = PlacedControl<TPanel>(this, "ThumbPanel", ScrollBox, 0, 0, 300, 8);
  ThumbPanel->SetBevelOuter(bvNone);
  ThumbPanel->SetCaption("");

  BuildTree();
  BuildStorage();
  ThumbTimer = NewNamedComponent<TTimer>(this, "ThumbTimer");
  ThumbTimer->SetInterval(50);
  ThumbTimer->SetOnTimer([this](TObject* sender) { ThumbTimerTimer(sender); });

  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnDeactivate = [this](TObject* sender) { FormDeactivate(sender); };
  OnDestroy = [this](TObject* sender) { FormDestroy(sender); };

  TranslateForm("[BrowseForm]");
  Cap->SetActiveEndColor(ActiveCaptionEndColor);
  Cap->SetInactiveEndColor(InactiveCaptionEndColor);
  PlaceWindow();
  Cap->SetApplicationName(LangMessage(BrowserMode == BrowseMode::Image ? "ImgBr" : "EffBr"));
  CreateHTMLBtn->SetVisible(BrowserMode == BrowseMode::Image);
  // Thumbnails load quietly: the document windows' progress bars stay still meanwhile.
  savedStart_ = GFXFile::PrStart;
  savedStep_ = GFXFile::PrStep;
  savedEnd_ = GFXFile::PrEnd;
  GFXFile::SetProgFunc(nullptr, nullptr, nullptr);
  BuildGrid();
  if (BrowserMode == BrowseMode::Effect) SelectGroup(TheEffectBrowsing().InitialGroup());
  else SelectFolder(Settings.ImageDir);
}

TBrowseForm::~TBrowseForm() = default;

void TBrowseForm::BuildTree() {
  const int buttonsTop = GetClientHeight() - 3 * (kButtonHeight + 4) - 4;
  TreeView = PlacedControl<TTreeView>(this, "TreeView", TreePanel, 0, 0, kTreePanelWidth, buttonsTop);
  TreeView->SetAnchors({akLeft, akTop, akRight, akBottom});
  TreeView->SetReadOnly(true);
  TreeView->SetIndent(19);
  TreeView->SetHideSelection(false);
  TreeView->OnChanging = [this](TObject* sender, TTreeNode* node, bool& allow) { TreeViewChanging(sender, node, allow); };
  TreeView->OnExpanding = [this](TObject* sender, TTreeNode* node, bool& allow) { TreeViewExpanding(sender, node, allow); };
  const auto button = [this, buttonsTop](const char* name, const char* caption, int row) {
    auto* b = PlacedControl<TButton>(this, name, TreePanel, 4, buttonsTop + 4 + row * (kButtonHeight + 4),
                                     kTreePanelWidth - 8, kButtonHeight);
    b->SetCaption(caption);
    b->SetAnchors({akLeft, akRight, akBottom});
    return b;
  };
  HelpBtn = button("HelpBtn", "&Help", 0);
  HelpBtn->OnClick = [this](TObject* sender) { HelpBtnClick(sender); };
  CreateHTMLBtn = button("CreateHTMLBtn", "C&reate HTML...", 1);
  CreateHTMLBtn->OnClick = [this](TObject* sender) { CreateHTMLBtnClick(sender); };
  CloseBtn = button("CloseBtn", "&Close", 2);
  CloseBtn->SetDefault(true);
  CloseBtn->SetModalResult(mrOk);
  CloseBtn->SetHint("Close Browser");

  TreeScanner = NewNamedComponent<TTreeScanner>(this, "TreeScanner");
  TreeScanner->SetFileMask("*.*");
  TreeScanner->SetRecursive(false);
  TreeScanner->OnDirectoryFound = [this](TObject* sender) { TreeScannerDirectoryFound(sender); };

  TreeImages = NewNamedComponent<TImageList>(this, "TreeImages");
  TreeImages->SetWidth(GetSystemMetrics(SM_CXSMICON));
  TreeImages->SetHeight(GetSystemMetrics(SM_CYSMICON));
  const unsigned folderFlags = SHGFI_ICON | SHGFI_SMALLICON | SHGFI_SHELLICONSIZE | SHGFI_USEFILEATTRIBUTES;
  AddShellIcon("folder", folderFlags);                   // 0: closed folder
  AddShellIcon("folder", folderFlags | SHGFI_OPENICON);  // 1: open folder
  TreeView->SetImages(TreeImages);

  if (BrowserMode == BrowseMode::Effect) {
    // One root per component group, without children.
    rootPaths_ = TheEffectBrowsing().Groups();
    for (AnsiString& group : rootPaths_) {
      TTreeNode* root = TreeView->GetItems()->AddObject(nullptr, group, &group);
      root->SetImageIndex(0);
      root->SetSelectedIndex(1);
    }
    return;
  }
  // No drive letters here: the roots are the file system's and the user's home folder.
  rootPaths_ = {"/", HomeFolder()};
  if (rootPaths_[1] == "/") rootPaths_.pop_back();
  for (std::size_t i = 0; i < rootPaths_.size(); ++i) {
    AddShellIcon(rootPaths_[i], SHGFI_ICON | SHGFI_SMALLICON | SHGFI_SHELLICONSIZE);
    const AnsiString text = rootPaths_[i] == "/" ? AnsiString("/") : ExcludeTrailingPathDelimiter(rootPaths_[i]);
    TTreeNode* root = TreeView->GetItems()->AddObject(nullptr, text, &rootPaths_[i]);
    root->SetImageIndex(TreeImages->GetCount() - 1);
    root->SetSelectedIndex(TreeImages->GetCount() - 1);
    TreeView->GetItems()->AddChild(root, "");
  }
}

void TBrowseForm::AddShellIcon(const AnsiString& path, unsigned flags) {
  SHFILEINFO info{};
  const DWORD attributes = flags & SHGFI_USEFILEATTRIBUTES ? FILE_ATTRIBUTE_DIRECTORY : 0;
  TIcon icon;
  if (SHGetFileInfo(path.c_str(), attributes, &info, sizeof info, flags) != 0 && info.hIcon != nullptr) {
    icon.SetHandle(info.hIcon);
    TreeImages->AddIcon(&icon);
    return;
  }
  // A path the shell does not know still takes its place in the list.
  TBitmap blank;
  blank.SetWidth(TreeImages->GetWidth());
  blank.SetHeight(TreeImages->GetHeight());
  TreeImages->Add(&blank, nullptr);
}

void TBrowseForm::BuildGrid() {
  for (Cell& cell : cells_) {
    cell.view = NewComponent<TBuffer>(this);
    cell.view->SetVisible(false);
    cell.view->SetParent(ThumbPanel);
    cell.view->SetShowHint(true);
    cell.view->SetTag(-1);
    cell.view->OnDblClick = [this](TObject* sender) { ThumbDblClick(sender); };
    cell.label = NewComponent<TLabel>(this);
    cell.label->SetVisible(false);
    cell.label->SetAutoSize(false);
    cell.label->SetParent(ThumbPanel);
    cell.picture = std::make_unique<UDBuffer>();
  }
  measure_->GetCanvas()->GetFont()->Assign(cells_[0].label->GetFont());
}

void TBrowseForm::BuildStorage() {
  FormStorage1 = NewNamedComponent<TFormStorage>(this, "FormStorage1");
  FormStorage1->SetUseRegistry(true);
  FormStorage1->SetIniFileName(kStorageKey);
  FormStorage1->SetIniSection(kStorageSection);
  FormStorage1->GetStoredProps()->Add("TreePanel.Width");
  // The grid keeps room for one column.
  Splitter1->SetMinSize(kScrollBoxMinWidth);
}

void TBrowseForm::PlaceWindow() {
  if (lastPlace.x != -1) {
    SetBounds(lastPlace.x, lastPlace.y, GetWidth(), GetHeight());
    return;
  }
  int left = WorkArea.left + (WorkArea.Width() - GetWidth()) / 2;
  int top = WorkArea.top + (WorkArea.Height() - GetHeight()) / 2;
  left = std::max(static_cast<int>(WorkArea.left), std::min(left, static_cast<int>(WorkArea.right) - GetWidth()));
  top = std::max(static_cast<int>(WorkArea.top), std::min(top, static_cast<int>(WorkArea.bottom) - GetHeight()));
  SetBounds(left, top, GetWidth(), GetHeight());
}

AnsiString TBrowseForm::NodePath(TTreeNode* node) const {
  AnsiString path;
  for (; node != nullptr; node = node->GetParent()) {
    if (node->GetParent() == nullptr) return *static_cast<const AnsiString*>(node->GetData()) + path;
    path = node->GetText() + "/" + path;
  }
  return path;
}

bool TBrowseForm::HasSubfolders(const AnsiString& path) {
  TSearchRec rec;
  bool found = false;
  if (FindFirst(path + "*", faDirectory, rec) == 0) {
    do found = (rec.Attr & faDirectory) != 0 && !rec.Name.empty() && rec.Name[0] != '.';
    while (!found && FindNext(rec) == 0);
    FindClose(rec);
  }
  return found;
}

void TBrowseForm::TreeViewExpanding(TObject*, TTreeNode* node, bool&) {
  expandingPath_ = NodePath(node);
  expandingNode_ = node;
  TreeView->GetItems()->BeginUpdate();
  node->DeleteChildren();
  TreeScanner->SetInitialDirectory(expandingPath_);
  TreeScanner->OnFileFound = nullptr;
  TreeScanner->OnDirectoryFound = [this](TObject* sender) { TreeScannerDirectoryFound(sender); };
  TreeScanner->ScanTree();
  TreeView->GetItems()->EndUpdate();
}

void TBrowseForm::TreeScannerDirectoryFound(TObject*) {
  AnsiString name = TreeScanner->FileFound();
  if (name.compare(0, expandingPath_.size(), expandingPath_) == 0) name.erase(0, expandingPath_.size());
  if (!name.empty() && name.back() == '/') name.pop_back();
  if (name.empty() || name[0] == '.') return;
  TTreeNode* child = TreeView->GetItems()->AddChild(expandingNode_, name);
  child->SetImageIndex(0);
  child->SetSelectedIndex(1);
  if (HasSubfolders(expandingPath_ + name + "/")) TreeView->GetItems()->AddChild(child, "");
}

void TBrowseForm::SelectFolder(const AnsiString& path) {
  AnsiString folder = path.empty() ? AnsiString("/") : path;
  if (folder.back() != '/') folder += "/";
  Settings.ImageDir = folder;
  // The deepest root that holds the folder: the home folder before the file system's root.
  TTreeNode* node = nullptr;
  std::size_t rootLength = 0;
  for (TTreeNode* root = TreeView->GetItems()->GetFirstNode(); root != nullptr; root = root->GetNextSibling()) {
    const AnsiString& rootPath = *static_cast<const AnsiString*>(root->GetData());
    if (folder.compare(0, rootPath.size(), rootPath) == 0 && rootPath.size() >= rootLength) {
      node = root;
      rootLength = rootPath.size();
    }
  }
  if (node == nullptr) return;
  node->Expand(false);
  std::size_t at = rootLength;
  while (at < folder.size()) {
    const std::size_t slash = folder.find('/', at);
    const AnsiString part = folder.substr(at, slash - at);
    at = slash + 1;
    TTreeNode* child = node->GetFirstChild();
    while (child != nullptr && child->GetText() != part) child = child->GetNextSibling();
    if (child == nullptr) break;
    node = child;
    node->Expand(false);
  }
  if (TreeView->GetSelected() == node) {
    ShowFolder(NodePath(node));
  } else {
    TreeView->SetSelected(node);
    // A change the tree refused (none selected before) still shows the folder.
    if (TreeView->GetSelected() != node) ShowFolder(NodePath(node));
  }
}

void TBrowseForm::TreeViewChanging(TObject*, TTreeNode* node, bool&) {
  if (node == nullptr || closing_) return;
  if (BrowserMode == BrowseMode::Effect) {
    ShowGroup(node->GetText());
    return;
  }
  if (!node->GetHasChildren() && !node->GetExpanded() && HasSubfolders(NodePath(node)))
    TreeView->GetItems()->AddChild(node, "");
  ShowFolder(NodePath(node));
}

void TBrowseForm::ShowFolder(const AnsiString& folder) {
  Settings.ImageDir = folder;
  TheThumbCache().Close();
  for (Cell& cell : cells_) FreeCell(cell);
  entries_.clear();
  purged_ = false;
  TreeScanner->SetInitialDirectory(folder);
  TreeScanner->OnDirectoryFound = nullptr;
  TreeScanner->OnFileFound = [this](TObject*) {
    if (IsImageFile(TreeScanner->FileFound())) entries_.push_back(TreeScanner->FileFound());
  };
  TreeScanner->ScanTree();
  TreeScanner->OnFileFound = nullptr;
  TreeScanner->OnDirectoryFound = [this](TObject* sender) { TreeScannerDirectoryFound(sender); };
  if (Settings.CacheThumbs && BrowserMode == BrowseMode::Image) TheThumbCache().Open(folder);
  ScrollBox->GetVertScrollBar()->SetPosition(0);
  ScrollBoxResize(ScrollBox);
}

void TBrowseForm::SelectGroup(const AnsiString& group) {
  TTreeNode* node = TreeView->GetItems()->GetFirstNode();
  while (node != nullptr && node->GetText() != group) node = node->GetNextSibling();
  // A group the tree does not hold shows an empty grid.
  if (node == nullptr || TreeView->GetSelected() == node) {
    ShowGroup(group);
    return;
  }
  TreeView->SetSelected(node);
  if (TreeView->GetSelected() != node) ShowGroup(group);
}

void TBrowseForm::ShowGroup(const AnsiString& group) {
  for (Cell& cell : cells_) FreeCell(cell);
  effectGroup_ = group;
  entries_ = TheEffectBrowsing().Entries(group);
  purged_ = true;
  ScrollBox->GetVertScrollBar()->SetPosition(0);
  ScrollBoxResize(ScrollBox);
}

int TBrowseForm::Columns() const { return grid::Columns(ScrollBox->GetClientWidth()); }

void TBrowseForm::ScrollBoxResize(TObject*) {
  if (ThumbPanel == nullptr) return;
  const int columns = Columns();
  ThumbPanel->SetBounds(0, ThumbPanel->GetTop(), ScrollBox->GetClientWidth(),
                        grid::PanelHeight(static_cast<int>(entries_.size()), columns));
  for (Cell& cell : cells_) {
    const int n = static_cast<int>(cell.view->GetTag());
    if (n < 0) continue;
    const bool empty = cell.picture->pixels == nullptr;
    const TRect place = grid::ThumbPlace(n, columns, empty ? grid::kBoxWidth : cell.picture->Width(),
                                         empty ? grid::kBoxHeight : cell.picture->Height());
    cell.view->SetBounds(place.left, place.top, place.Width(), place.Height());
    const TPoint caption = grid::CaptionPlace(n, columns);
    cell.label->SetBounds(caption.x, caption.y, grid::kBoxWidth, grid::kCaptionHeight);
  }
}

void TBrowseForm::FreeCell(Cell& cell) {
  cell.view->SetTag(-1);
  cell.view->SetVisible(false);
  cell.view->SetBuffer(nullptr);
  cell.label->SetVisible(false);
  cell.picture->Free();
}

const TBrowseForm::Cell* TBrowseForm::CellShowing(int n) const {
  for (const Cell& cell : cells_)
    if (cell.view->GetTag() == n) return &cell;
  return nullptr;
}

bool TBrowseForm::FillCell(int n) {
  auto free = std::find_if(cells_.begin(), cells_.end(), [](const Cell& c) { return c.view->GetTag() < 0; });
  if (free == cells_.end()) return false;
  Cell& cell = *free;
  const int columns = Columns();
  ThumbnailInfo info;
  ThumbCache* cache = TheThumbCache().IsOpen() ? &TheThumbCache() : nullptr;
  const int result = BrowserMode == BrowseMode::Effect
                         ? (TheEffectBrowsing().Thumbnail(effectGroup_, n, *cell.picture, info.caption) ? LoadOk : -1)
                         : MakeThumbnail(entries_[n], *cell.picture, cache, info);
  const bool shown = result == LoadOk && cell.picture->pixels != nullptr;
  if (!shown) cell.picture->Free();
  const TRect place = shown ? grid::ThumbPlace(n, columns, cell.picture->Width(), cell.picture->Height())
                            : grid::Box(n, columns);
  cell.view->SetBounds(place.left, place.top, place.Width(), place.Height());
  cell.view->SetBuffer(shown ? cell.picture.get() : nullptr);
  cell.view->Invalidate();
  cell.view->SetTag(n);
  cell.view->SetHint(info.hint);
  cell.view->SetVisible(true);
  const TPoint caption = grid::CaptionPlace(n, columns);
  cell.label->SetCaption(grid::FitCaption(info.caption, grid::kBoxWidth, [this](const AnsiString& text) {
    return measure_->GetCanvas()->TextWidth(text);
  }));
  cell.label->SetBounds(caption.x, caption.y, grid::kBoxWidth, grid::kCaptionHeight);
  cell.label->SetVisible(true);
  return true;
}

void TBrowseForm::ThumbTimerTimer(TObject*) {
  ThumbTimer->SetEnabled(false);
  const int columns = Columns();
  const grid::Range range = grid::Visible(ScrollBox->GetVertScrollBar()->GetPosition(), ScrollBox->GetClientHeight(),
                                          columns, static_cast<int>(entries_.size()));
  for (Cell& cell : cells_) {
    const auto n = cell.view->GetTag();
    if (n >= 0 && (n < range.first || n > range.last)) FreeCell(cell);
  }
  const DWORD start = GetTickCount();
  bool done = true;
  for (int n = range.first; n <= range.last; ++n) {
    if (CellShowing(n) != nullptr) continue;
    if (GetTickCount() - start >= kFillBudgetMs || !FillCell(n)) {
      done = false;
      break;
    }
  }
  if (done && !purged_) {
    if (TheThumbCache().IsOpen()) TheThumbCache().PurgeMissing(Settings.ImageDir);
    purged_ = true;
  }
  ThumbTimer->SetEnabled(!closing_);
}

void TBrowseForm::ThumbDblClick(TObject* sender) {
  const auto* view = dynamic_cast<TBuffer*>(sender);
  if (view == nullptr || view->GetTag() < 0 || view->GetTag() >= static_cast<int>(entries_.size())) return;
  const AnsiString path = entries_[static_cast<std::size_t>(view->GetTag())];
  if (BrowserMode == BrowseMode::Effect) TheEffectBrowsing().Choose(effectGroup_, static_cast<int>(view->GetTag()));
  else LoadImageFile(nullptr, path, 0, false);
  SetModalResult(mrOk);
}

void TBrowseForm::FormKeyDown(TObject*, WORD& key, TShiftState) {
  if (key != VK_ESCAPE) return;
  key = 0;
  CloseBtn->Click();
}

void TBrowseForm::FormDeactivate(TObject*) {
  if (GetVisible() && !closing_) BringToFront();
}

void TBrowseForm::HelpBtnClick(TObject*) { Application()->HelpContext(GetHelpContext()); }

void TBrowseForm::CreateHTMLBtnClick(TObject*) {
  if (ShowGalleryDialog == nullptr) return;
  closing_ = true;  // the browser stays behind its dialog meanwhile
  ShowGalleryDialog();
  closing_ = false;
  BringToFront();
}

void TBrowseForm::FormDestroy(TObject*) {
  if (closing_) return;
  closing_ = true;
  lastPlace = TPoint(GetLeft(), GetTop());
  ThumbTimer->SetEnabled(false);
  TheThumbCache().Close();
  for (Cell& cell : cells_) {
    cell.view->SetBuffer(nullptr);
    cell.picture.reset();
  }
  entries_.clear();
  GFXFile::SetProgFunc(savedStart_, savedStep_, savedEnd_);
}

void Browse1Click(TObject*) {
  const ToolSuspension aside;
  BrowserMode = BrowseMode::Image;
  TOwnedPtr<TBrowseForm> browser(NewComponent<TBrowseForm>(Application()));
  browser->ShowModal();
}
