#pragma once
// TPreferences: the modal dialog of Options > Preferences, ten pages of settings. The main
// window fills it from the settings and, on OK, writes it back and makes each change take
// effect (MainFormPrefs.cpp). While it is open, a few handlers act at once: the instant-brush
// box shows its effect on the document windows (OK or Cancel settles it), the gamma bars set
// the test views' gamma, and the skin page's Apply changes the skin. The recent-files
// changes of the Files page wait for OK like every other setting.

#include <memory>
#include <vector>

#include "platform/vcl/Form.h"
#include "platform/vcl/StdButtons.h"

class Buffer;
class TBandCaption;
class TBuffer;
class TButton;
class TCheckBox;
class TComboBox;
class TDirectoryEdit;
class TExCheckListBox;
class TExSpinEdit;
class TFilenameEdit;
class TLabel;
class TListBox;
class TMemo;
class TPageControl;
class TRadioGroup;
class TTabSheet;
class TTrackBar;
class TMRUFileList;
class TUpDown;

class TPreferences : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TPreferences(TComponent* owner);
  ~TPreferences() override;

  // Components (named as here, so the language file and tests find them).
  TBandCaption* Cap = nullptr;
  TButton* OkBtn = nullptr;
  TButton* CancelBtn = nullptr;
  TButton* HelpBtn = nullptr;
  TPageControl* PageControl = nullptr;
  TTabSheet* GeneralSheet = nullptr;
  TTabSheet* InterfaceSheet = nullptr;
  TTabSheet* FilesSheet = nullptr;
  TTabSheet* UndoSheet = nullptr;
  TTabSheet* PluginsSheet = nullptr;
  TTabSheet* LanguageSheet = nullptr;
  TTabSheet* ExtensionsSheet = nullptr;
  TTabSheet* ColorsSheet = nullptr;
  TTabSheet* GammaSheet = nullptr;
  TTabSheet* SkinSheet = nullptr;
  // General
  TCheckBox* ShowTODCB = nullptr;
  TCheckBox* Clipping = nullptr;
  TCheckBox* OptimBrush = nullptr;
  TCheckBox* InstBrushCB = nullptr;
  TCheckBox* FixRefreshCB = nullptr;
  // Interface
  TCheckBox* ResizeNeighCB = nullptr;
  TCheckBox* FlatIconsCB = nullptr;
  TCheckBox* MaxQLCB = nullptr;
  TCheckBox* AlwaysDockCB = nullptr;
  TCheckBox* MinToTaskbarCB = nullptr;
  TRadioGroup* Level = nullptr;
  TCheckBox* FixZoomCB = nullptr;
  TUpDown* ZoomUpDown = nullptr;
  TLabel* ZoomValLab = nullptr;
  TLabel* MUnitLabel = nullptr;
  TComboBox* MUnitCB = nullptr;
  // Files
  TCheckBox* BackupFiles = nullptr;
  TCheckBox* AutoLoadPalCB = nullptr;
  TCheckBox* AutoReloadCB = nullptr;
  TCheckBox* CacheThumbs = nullptr;
  TLabel* FileListLabel = nullptr;
  TExSpinEdit* FileListLength = nullptr;
  TButton* ClrFListBtn = nullptr;
  TButton* RemEntriesBtn = nullptr;
  // Undo
  TLabel* UndoMemLabel = nullptr;
  TExSpinEdit* UndoMem = nullptr;
  TLabel* UndoDiskLabel = nullptr;
  TExSpinEdit* UndoDisk = nullptr;
  TLabel* UndoDirLabel = nullptr;
  TDirectoryEdit* UndoDirEdit = nullptr;
  TLabel* SpaceOnDisk = nullptr;
  TLabel* SpaceOnDiskNum = nullptr;
  // Plug-Ins
  TCheckBox* UseQLCCB = nullptr;
  TCheckBox* UseAdobeCB = nullptr;
  TLabel* AdobeLocLabel = nullptr;
  TDirectoryEdit* AdobeLocEdit = nullptr;
  TLabel* PluginListLabel = nullptr;
  TMemo* PluginList = nullptr;
  // Language
  TLabel* LangsLabel = nullptr;
  TListBox* Langs = nullptr;
  // Extensions
  TLabel* ExtensLabel = nullptr;
  TExCheckListBox* ExtensBox = nullptr;
  // Colors
  TCheckBox* ColorInHexCB = nullptr;
  TLabel* DefPalLabel = nullptr;
  TFilenameEdit* DefPalEdit = nullptr;
  // Gamma
  TCheckBox* UseGamma = nullptr;
  TCheckBox* UseDefaults = nullptr;
  TBuffer* GammaGrey = nullptr;
  TBuffer* GammaRed = nullptr;
  TBuffer* GammaGreen = nullptr;
  TBuffer* GammaBlue = nullptr;
  TLabel* GreyValLab = nullptr;
  TLabel* RedValLab = nullptr;
  TLabel* GreenValLab = nullptr;
  TLabel* BlueValLab = nullptr;
  TLabel* CoarseLabel = nullptr;
  TTrackBar* GreyGammaBar = nullptr;
  TLabel* FineLabel = nullptr;
  TTrackBar* RedGammaBar = nullptr;
  TTrackBar* GreenGammaBar = nullptr;
  TTrackBar* BlueGammaBar = nullptr;
  // Skin
  TLabel* SkinListLabel = nullptr;
  TListBox* SkinList = nullptr;
  TButton* ApplySkinBtn = nullptr;

  // Per format of the format registry, in its order: the Extensions page's state when the
  // dialog was filled, and whether the format may stay grayed (it started so).
  std::vector<int> InitialStates;
  std::vector<bool> MayStayGrayed;

  // The undo budgets as the fields showed them when filled: only a changed field is written.
  int ShownUndoMemMB = 0;
  int ShownUndoDiskMB = 0;


  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void FormDestroy(TObject* sender);
  void FormDeactivate(TObject* sender);
  void HelpBtnClick(TObject* sender);
  void InstBrushCBClick(TObject* sender);
  void ClippingClick(TObject* sender);
  void FixZoomChanged(TObject* sender);
  // The recent-files list changes at once: its length, emptied, entries whose files are gone.
  void FileListLenChange(TObject* sender);
  void ClrFListBtnClick(TObject* sender);
  void RemEntriesBtnClick(TObject* sender);
  void UndoDirEditChange(TObject* sender);
  // A format that has become grayed but did not start so is checked instead.
  void ExtensBoxClickCheck(TObject* sender, int index);
  void GammaCorShow(TObject* sender);
  void GammaBarChange(TObject* sender);
  void ApplySkinBtnClick(TObject* sender);
  // The default palette's file dialog starts in the palette folder.
  void BrowseForFile(TObject* sender, AnsiString& name, bool& action);

protected:
  void Loaded() override;

private:
  void BuildComponents();
  void BuildGeneralPage();
  void BuildInterfacePage();
  void BuildFilesPage();
  void BuildUndoPage();
  void BuildPluginsPage();
  void BuildLanguagePage();
  void BuildExtensionsPage();
  void BuildColorsPage();
  void BuildGammaPage();
  void BuildSkinPage();
  void BuildTestPatterns();
  void PlaceOnWorkArea();
  // The recent-files entries as the dialog found them, less those its buttons took away: a
  // length typed digit by digit passes through smaller ones, and the entries those cut come back.
  std::vector<AnsiString> recentEntries_;
  bool recentEntriesTaken_ = false;
  TMRUFileList* RecentFiles() const;
  void TakeRecentEntries();

  std::vector<std::unique_ptr<Buffer>> patterns_;
  int rememberedPage_ = 0;
};

// The dialog's last page and place; PreferencesLeft is -1 until it was closed once.
extern int PreferencesPage;
extern int PreferencesLeft;
extern int PreferencesTop;
