#pragma once
// TCreateHTMLForm: the gallery dialog the image browser opens ("Create HTML..."). The user sets
// the page and thumbnail sizes, the table's look, the navigation images and where the pages,
// thumbnails and copies go; OK makes the gallery, Preview makes it and opens its first page.
// Texts and switches are kept in the registry (section "HTMLForm").

#include <memory>

#include "platform/vcl/Form.h"
#include "quillo/output/GalleryPages.h"

class TBandCaption;
class TButton;
class TCheckBox;
class TComboBox;
class TDirectoryEdit;
class TEdit;
class TExSpinEdit;
class TFormStorage;
class TBuffer;
class TLabel;
class TOpenDialog;
class TProgressBar;
class UDBuffer;

class TCreateHTMLForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCreateHTMLForm(TComponent* owner);
  ~TCreateHTMLForm() override;

  TBandCaption* Cap = nullptr;
  TExSpinEdit* PageWidthEdit = nullptr;
  TExSpinEdit* ThumbnailWidthEdit = nullptr;
  TExSpinEdit* ThumbnailHeightEdit = nullptr;
  TExSpinEdit* HorizontalGapEdit = nullptr;
  TExSpinEdit* VerticalGapEdit = nullptr;
  TCheckBox* LimitRowsToCB = nullptr;
  TExSpinEdit* LimitRowsToEdit = nullptr;
  TComboBox* AlignmentCombo = nullptr;
  TCheckBox* FullFitCB = nullptr;
  TCheckBox* ShowImageNameCB = nullptr;
  TCheckBox* LinkToOriginalImageCB = nullptr;
  TCheckBox* PreviousCB = nullptr;
  TCheckBox* NextCB = nullptr;
  TButton* PrevReplaceBtn = nullptr;
  TButton* NextReplaceBtn = nullptr;
  TBuffer* PrevImg = nullptr;  // the navigation images' 64 x 64 previews
  TBuffer* NextImg = nullptr;
  TOpenDialog* ImageDialog = nullptr;
  TDirectoryEdit* DestinationFolderEdit = nullptr;
  TEdit* ImageSubfolderEdit = nullptr;
  TEdit* BaseNameEdit = nullptr;
  TComboBox* ExtCombo = nullptr;
  TEdit* ThumbPrefixEdit = nullptr;
  TButton* OkBtn = nullptr;
  TButton* PreviewBtn = nullptr;
  TButton* CancelBtn = nullptr;
  TProgressBar* Progress = nullptr;
  TFormStorage* Storage = nullptr;

  // What the dialog shows, as the generator takes it.
  GallerySettings Current() const;
  bool MakeGallery();
  bool ThumbnailsToMake() const { return makeThumbnails_; }

  void OkBtnClick(TObject* sender);
  void PreviewBtnClick(TObject* sender);
  void CancelBtnClick(TObject* sender);
  void DestinationFolderEditChange(TObject* sender);
  void ImageSubfolderEditChange(TObject* sender);
  void PrevReplaceBtnClick(TObject* sender);
  void NextReplaceBtnClick(TObject* sender);

private:
  TExSpinEdit* Spin(const char* name, int left, int top, int value, int low, int high);
  TCheckBox* Check(const char* name, const char* caption, int left, int top, bool checked);
  void ShowProgress(bool on);
  // Picks a navigation image with the open dialog; a file no format reads changes nothing.
  void ReplaceNavigationImage(const char* storedName, TBuffer* view, UDBuffer& picture, TPoint box);
  // Loads the stored navigation image into its preview, centred in the 64 x 64 box at box.
  void ShowNavigationImage(const char* storedName, TBuffer* view, UDBuffer& picture, TPoint box);
  void StorageRestored();

  bool makeThumbnails_ = true;
  bool followingDestination_ = false;
  int madeWidth_ = 0;  // the thumbnail size last made
  int madeHeight_ = 0;
  AnsiString relativeFolder_;
  std::unique_ptr<UDBuffer> prevPicture_;
  std::unique_ptr<UDBuffer> nextPicture_;
};

// Opens the dialog modally (the browser's "Create HTML...").
void ShowCreateHTMLForm();
void ForgetCreateHTMLFormPlace();
