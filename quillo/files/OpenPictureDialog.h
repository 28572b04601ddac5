#pragma once
// TOpenPlus: the panel that File > Open shows inside the open dialog. A drop-down of the
// eight most recent image folders, a "Show Preview" check box with the selected file scaled
// into a 240 x 180 box, the file's information (colour type, size, bits per pixel and per
// sample, bytes, date), a scroll bar choosing the image of a file that holds several, and a
// button making the selected file type the default. The form is made once at start, stays
// hidden, and lends its panel to its TCustomOpenDialog whenever the dialog runs.

#include "platform/vcl/Form.h"
#include "quillo/components/files/HookedFileDialog.h"

class TBuffer;
class TButton;
class TCheckBox;
class TComboBox;
class TLabel;
class TPanel;
class TScrollBar;

class TOpenPlus : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  // The box the thumbnail is fitted and centred in, in the panel's pixels.
  static constexpr int kPreviewLeft = 4;
  static constexpr int kPreviewTop = 52;
  static constexpr int kPreviewWidth = 240;
  static constexpr int kPreviewHeight = 180;

  explicit TOpenPlus(TComponent* owner);
  ~TOpenPlus() override;

  TPanel* Panel1 = nullptr;
  TLabel* RecFoldersLab = nullptr;
  TComboBox* RecFolders = nullptr;
  TCheckBox* ShowPreview = nullptr;
  TBuffer* PreviewBuf = nullptr;
  TLabel* ImgNumLab = nullptr;
  TScrollBar* ImgNum = nullptr;
  TLabel* PicColor = nullptr;
  TLabel* PicSize = nullptr;
  TLabel* PicBPP = nullptr;
  TLabel* PicBPC = nullptr;
  TLabel* PicBytes = nullptr;
  TLabel* PicMod = nullptr;
  TButton* SetAsDefault = nullptr;
  TLabel* TopLeftCorner = nullptr;
  TCustomOpenDialog* CustomOpenDialog1 = nullptr;

  // The file whose information and preview are shown; File > Open empties it before the
  // dialog runs.
  AnsiString PreviewFile;
  // The image number PreviewPicture was loaded with while PreviewLoaded is set.
  int PreviewLoadedImage = 0;

  // The dialog's selection changed (sender the dialog); a null sender resets the panel to
  // PreviewFile as the caller left it.
  void LoadPreview(TObject* sender);
  void ShowPreviewClick(TObject* sender);
  void ImgNumChange(TObject* sender);
  void RecFoldersChange(TObject* sender);
  void SetAsDefaultClick(TObject* sender);
  void FormDestroy(TObject* sender);

  // The information and the preview of PreviewFile's image PreviewImageIndex.
  void LoadPreviewImage();
  void ShowImageNumber();
  // Puts the file's folder at the top of the recent folders.
  void AddRecentFolder(const AnsiString& fileName);
  // Drops the loaded preview and its thumbnail; the view shows nothing.
  void HidePreview();

private:
  void BuildControls();
  void ClearPictureInfo();
  void ShowImageNumberControls(bool show);
};

// The one instance, made at start-up; null before and after.
extern TOpenPlus* OpenPlus;
// The image number chosen with the scroll bar (0-based), kept from file to file.
extern int PreviewImageIndex;
// The images in PreviewFile as the library's probe counts them; 0 when it is no image.
extern int PreviewImageCount;

// Makes the form (owned by the application) once the main window exists.
TOpenPlus* CreateOpenPlus();
