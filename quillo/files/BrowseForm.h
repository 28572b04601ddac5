#pragma once
// TBrowseForm: the image browser (File > Browse). A folder tree on the left, a scrolling grid
// of thumbnails of the selected folder's images on the right, filled by a timer as the cells
// come into view and kept per folder in its thumbnail cache; a double click opens an image,
// "Create HTML..." turns the folder into web pages. The browser also has an effect mode (the
// plug-in components run on the current image): the host above gives it the groups and the
// thumbnails through EffectBrowsing.

#include <array>
#include <memory>
#include <vector>

#include "platform/vcl/Form.h"
#include "quillo/document/UDBuffer.h"

class TBandCaption;
class TBitmap;
class TBuffer;
class TButton;
class TFormStorage;
class TImageList;
class TLabel;
class TPanel;
class TScrollBox;
class TSplitter;
class TTimer;
class TTreeNode;
class TTreeScanner;
class TTreeView;

// How the browser runs: the main window sets it before it opens the browser.
enum class BrowseMode { Image = 0, Effect = 1 };
extern BrowseMode BrowserMode;

// The gallery dialog the browser's "Create HTML..." opens; the program installs it (it lives
// beside the other output, above this folder). Without one the button does nothing.
using CreateGalleryDialog = void (*)();
extern CreateGalleryDialog ShowGalleryDialog;

class TBrowseForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  static constexpr int kCellCount = 60;
  static constexpr int kHelpContext = 1130;

  explicit TBrowseForm(TComponent* owner);
  ~TBrowseForm() override;

  TSplitter* Splitter1 = nullptr;
  TPanel* TreePanel = nullptr;
  TTreeView* TreeView = nullptr;
  TButton* HelpBtn = nullptr;
  TButton* CreateHTMLBtn = nullptr;
  TButton* CloseBtn = nullptr;
  TScrollBox* ScrollBox = nullptr;
  TPanel* ThumbPanel = nullptr;
  TBandCaption* Cap = nullptr;
  TImageList* TreeImages = nullptr;
  TTreeScanner* TreeScanner = nullptr;
  TTimer* ThumbTimer = nullptr;
  TFormStorage* FormStorage1 = nullptr;

  // One thumbnail cell: its view (tag: the entry shown, -1 when free), caption and pixels.
  struct Cell {
    TBuffer* view = nullptr;
    TLabel* label = nullptr;
    std::unique_ptr<UDBuffer> picture;
  };
  const Cell& CellAt(int i) const { return cells_[i]; }
  // The cell showing entry n, or null.
  const Cell* CellShowing(int n) const;
  // The files of the folder shown, full paths in name order.
  const std::vector<AnsiString>& Entries() const { return entries_; }

  // Shows a folder: selects its node in the tree, opening the nodes above it.
  void SelectFolder(const AnsiString& path);
  // The folder a node stands for, ending in "/".
  AnsiString NodePath(TTreeNode* node) const;
  static bool HasSubfolders(const AnsiString& path);

  void TreeViewExpanding(TObject* sender, TTreeNode* node, bool& allowExpansion);
  void TreeViewChanging(TObject* sender, TTreeNode* node, bool& allowChange);
  void TreeScannerDirectoryFound(TObject* sender);
  void ThumbTimerTimer(TObject* sender);
  void ScrollBoxResize(TObject* sender);
  void ThumbDblClick(TObject* sender);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void FormDeactivate(TObject* sender);
  void HelpBtnClick(TObject* sender);
  void CreateHTMLBtnClick(TObject* sender);
  void FormDestroy(TObject* sender);

private:
  void BuildTree();
  void BuildGrid();
  void BuildStorage();
  void PlaceWindow();
  void AddShellIcon(const AnsiString& path, unsigned flags);
  void ShowFolder(const AnsiString& folder);
  // The effect mode: selects the group's root and shows its components.
  void SelectGroup(const AnsiString& group);
  void ShowGroup(const AnsiString& group);
  void FreeCell(Cell& cell);
  // Makes the thumbnail of entry n in a free cell; false when no cell is free.
  bool FillCell(int n);
  int Columns() const;

  std::array<Cell, kCellCount> cells_;
  std::vector<AnsiString> entries_;
  std::vector<AnsiString> rootPaths_;
  AnsiString expandingPath_;
  AnsiString effectGroup_;
  TTreeNode* expandingNode_ = nullptr;
  bool purged_ = false;
  bool closing_ = false;
  std::unique_ptr<TBitmap> measure_;
  void (*savedStart_)() = nullptr;
  bool (*savedStep_)(int) = nullptr;
  void (*savedEnd_)() = nullptr;
};

// File > Browse: the browser in image mode, shown modally.
void Browse1Click(TObject* sender);

// Forgets the browser's place for the run (a test's fresh start).
void ForgetBrowseFormPlace();
