#pragma once
// TCreateHTMLForm: the gallery dialog the image browser opens ("Create HTML..."). The user sets
// the page and thumbnail sizes, the table's look, the navigation images and where the pages,
// thumbnails and copies go; OK makes the gallery, Preview makes it and opens its first page.
// Texts and switches are kept in the registry (section "HTMLForm").

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
class TLabel;
class TProgressBar;

class TCreateHTMLForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCreateHTMLForm(TComponent* owner);

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

private:
  TExSpinEdit* Spin(const char* name, int left, int top, int value, int low, int high);
  TCheckBox* Check(const char* name, const char* caption, int left, int top, bool checked);
  void ShowProgress(bool on);

  bool makeThumbnails_ = true;
  bool followingDestination_ = false;
  int madeWidth_ = 0;  // the thumbnail size last made
  int madeHeight_ = 0;
  AnsiString relativeFolder_;
};

// Opens the dialog modally (the browser's "Create HTML...").
void ShowCreateHTMLForm();
void ForgetCreateHTMLFormPlace();
