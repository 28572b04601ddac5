#include "quillo/output/CreateHTMLForm.h"

#include <algorithm>

#include "platform/dialogs/ShellExecute.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/User.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/FileDialogs.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ProgressBar.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/base/ProgramFolder.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/base/Settings.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/components/edits/FileEdit.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/components/persistence/FormPlacement.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/output/OutputHost.h"
#include "vorlen/formats/GFXFile.h"

QUILLO_DEFINE_CLASS(TCreateHTMLForm, TForm)

namespace {

constexpr const char* kStorageKey = "Software\\Dornick\\QL";
constexpr const char* kStorageSection = "HTMLForm";
constexpr UINT kWarning = MB_OK | MB_ICONEXCLAMATION;
constexpr const char* kStoredProps[] = {
    "AlignmentCombo.Text",  "BaseNameEdit.Text",      "DestinationFolderEdit.Text", "ExtCombo.Text",
    "ImageSubfolderEdit.Text", "ThumbPrefixEdit.Text", "FullFitCB.Checked",         "LinkToOriginalImageCB.Checked",
    "LimitRowsToCB.Checked", "NextCB.Checked",        "PreviousCB.Checked",         "ShowImageNameCB.Checked",
};

TPoint lastPlace{-1, -1};

constexpr int kNavigationBox = 64;
const TPoint kPrevBox{96, 138};
const TPoint kNextBox{268, 138};
// Below the navigation images: the folders, names and buttons.
constexpr int kLower = 212;
// Controls with this tag are for experts: a novice does not see them.
constexpr int kExpertTag = 1;

template <class T>
T* Placed(TForm* form, const char* name, int left, int top, int width, int height) {
  T* c = NewNamedComponent<T>(form, name);
  c->SetBounds(left, top, width, height);
  c->SetParent(form);
  return c;
}

AnsiString WithSlash(AnsiString path) {
  if (!path.empty() && path.back() != '/') path += '/';
  return path;
}

}  // namespace

void ForgetCreateHTMLFormPlace() { lastPlace = TPoint(-1, -1); }

TCreateHTMLForm::TCreateHTMLForm(TComponent* owner) : TForm(owner) {
  SetName("CreateHTMLForm");
  SetCaption("Create HTML Gallery");
  SetBorderStyle(bsDialog);
  // Above the browser, which stays on top.
  SetFormStyle(fsStayOnTop);
  SetKeyPreview(true);
  SetShowHint(true);
  SetAutoScroll(false);
  SetClientWidth(360);
  SetClientHeight(330);
  Cap = NewNamedComponent<TBandCaption>(this, "Cap");

  const auto label = [this](const char* name, const char* text, int left, int top) {
    auto* l = Placed<TLabel>(this, name, left, top + 3, 110, 13);
    l->SetCaption(text);
    return l;
  };
  label("PageWidthLab", "Page Width", 8, 8);
  PageWidthEdit = Spin("PageWidthEdit", 120, 8, 610, 64, 2048);
  label("ThumbnailSizeLab", "Thumbnail Size", 8, 34);
  ThumbnailWidthEdit = Spin("ThumbnailWidthEdit", 120, 34, 120, 64, 2048);
  ThumbnailHeightEdit = Spin("ThumbnailHeightEdit", 190, 34, 90, 64, 2048);
  label("GapsLab", "Gaps", 8, 60)->SetTag(kExpertTag);
  HorizontalGapEdit = Spin("HorizontalGapEdit", 120, 60, 20, 0, 1024);
  VerticalGapEdit = Spin("VerticalGapEdit", 190, 60, 10, 0, 1024);
  LimitRowsToCB = Check("LimitRowsToCB", "Limit Rows to", 8, 88, false);
  LimitRowsToEdit = Spin("LimitRowsToEdit", 120, 86, 3, 1, 1024);
  auto* alignment = label("AlignmentLab", "Alignment", 264, 5);
  alignment->SetTag(kExpertTag);
  alignment->SetWidth(88);
  AlignmentCombo = Placed<TComboBox>(this, "AlignmentCombo", 264, 24, 88, 21);
  AlignmentCombo->SetStyle(csDropDownList);
  AlignmentCombo->SetTag(kExpertTag);
  for (const char* item : {"Left", "Right", "Center"}) AlignmentCombo->GetItems()->Add(item);
  AlignmentCombo->SetItemIndex(2);
  FullFitCB = Check("FullFitCB", "Full Fit", 264, 52, false);
  FullFitCB->SetWidth(88);
  FullFitCB->SetTag(kExpertTag);
  FullFitCB->OnClick = [this](TObject*) { makeThumbnails_ = true; };
  ShowImageNameCB = Check("ShowImageNameCB", "Show Image Name", 8, 114, true);
  LinkToOriginalImageCB = Check("LinkToOriginalImageCB", "Link to Original Image", 180, 114, true);

  const auto navigation = [this](const char* check, const char* caption, const char* replace, TPoint box,
                                 TCheckBox*& checkBox, TButton*& button, TBuffer*& view) {
    checkBox = Check(check, caption, box.x - 88, box.y, false);
    checkBox->SetWidth(84);
    button = Placed<TButton>(this, replace, box.x - 88, box.y + 22, 80, 25);
    button->SetCaption("Replace...");
    view = Placed<TBuffer>(this, "", box.x, box.y, kNavigationBox, kNavigationBox);
  };
  navigation("PreviousCB", "Previous", "PrevReplaceBtn", kPrevBox, PreviousCB, PrevReplaceBtn, PrevImg);
  navigation("NextCB", "Next", "NextReplaceBtn", kNextBox, NextCB, NextReplaceBtn, NextImg);
  prevPicture_ = std::make_unique<UDBuffer>();
  nextPicture_ = std::make_unique<UDBuffer>();
  PrevReplaceBtn->OnClick = [this](TObject* sender) { PrevReplaceBtnClick(sender); };
  NextReplaceBtn->OnClick = [this](TObject* sender) { NextReplaceBtnClick(sender); };
  ImageDialog = NewNamedComponent<TOpenDialog>(this, "ImageDialog");
  ImageDialog->SetTitle("Open Image");
  AnsiString filter;
  const int allImages = TheOutputHost().ImageFilter(filter);
  ImageDialog->SetFilter(filter);
  ImageDialog->SetFilterIndex(allImages);

  label("DestinationLab", "Destination", 8, kLower);
  DestinationFolderEdit = Placed<TDirectoryEdit>(this, "DestinationFolderEdit", 120, kLower, 232, 21);
  DestinationFolderEdit->SetText("");
  DestinationFolderEdit->SetDialogText(LangMessage("BrowseDestDir"));
  DestinationFolderEdit->OnChange = [this](TObject* sender) { DestinationFolderEditChange(sender); };
  label("ImageSubfolderLab", "Image Subfolder", 8, kLower + 26);
  ImageSubfolderEdit = Placed<TEdit>(this, "ImageSubfolderEdit", 120, kLower + 26, 232, 21);
  ImageSubfolderEdit->OnChange = [this](TObject* sender) { ImageSubfolderEditChange(sender); };
  label("BaseNameLab", "Base Name", 8, kLower + 52);
  BaseNameEdit = Placed<TEdit>(this, "BaseNameEdit", 120, kLower + 52, 140, 21);
  BaseNameEdit->SetText("page");
  ExtCombo = Placed<TComboBox>(this, "ExtCombo", 266, kLower + 52, 86, 21);
  ExtCombo->SetStyle(csDropDownList);
  ExtCombo->GetItems()->Add(".htm");
  ExtCombo->GetItems()->Add(".html");
  ExtCombo->SetItemIndex(0);
  label("ThumbPrefixLab", "Thumbnail Prefix", 8, kLower + 78)->SetTag(kExpertTag);
  ThumbPrefixEdit = Placed<TEdit>(this, "ThumbPrefixEdit", 120, kLower + 78, 80, 21);
  ThumbPrefixEdit->SetText("~^~");
  ThumbPrefixEdit->SetTag(kExpertTag);

  const auto button = [this](const char* name, const char* caption, int left) {
    auto* b = Placed<TButton>(this, name, left, kLower + 108, 80, 25);
    b->SetCaption(caption);
    return b;
  };
  OkBtn = button("OkBtn", "OK", 96);
  OkBtn->SetDefault(true);
  OkBtn->OnClick = [this](TObject* sender) { OkBtnClick(sender); };
  PreviewBtn = button("PreviewBtn", "&Preview", 184);
  PreviewBtn->OnClick = [this](TObject* sender) { PreviewBtnClick(sender); };
  CancelBtn = button("CancelBtn", "&Cancel", 272);
  CancelBtn->SetCancel(true);
  CancelBtn->OnClick = [this](TObject* sender) { CancelBtnClick(sender); };
  Progress = Placed<TProgressBar>(this, "Progress", 8, kLower + 140, 344, 16);

  Storage = NewNamedComponent<TFormStorage>(this, "Storage");
  Storage->SetUseRegistry(true);
  Storage->SetIniFileName(kStorageKey);
  Storage->SetIniSection(kStorageSection);
  for (const char* line : kStoredProps) Storage->GetStoredProps()->Add(line);
  Storage->GetStoredValues()->AddValue("PrevImage", ProgramFolder() + "previmage.gif");
  Storage->GetStoredValues()->AddValue("NextImage", ProgramFolder() + "nextimage.gif");
  Storage->OnRestorePlacement = [this](TObject*) { StorageRestored(); };

  TranslateForm("[CreateHTMLForm]");
  // The translated list comes without a choice: Center, as the dialog starts.
  if (AlignmentCombo->GetItemIndex() < 0) AlignmentCombo->SetItemIndex(2);
  Cap->SetActiveEndColor(ActiveCaptionEndColor);
  Cap->SetInactiveEndColor(InactiveCaptionEndColor);
  ShowProgress(false);
  if (Settings.Level == 0) {
    for (int i = 0; i < ControlCount(); ++i)
      if (Controls(i)->GetTag() == kExpertTag) Controls(i)->SetVisible(false);
  }
  if (lastPlace.x != -1) {
    SetBounds(lastPlace.x, lastPlace.y, GetWidth(), GetHeight());
  } else {
    SetBounds(WorkArea.left + std::max(0, (WorkArea.Width() - GetWidth()) / 2),
              WorkArea.top + std::max(0, (WorkArea.Height() - GetHeight()) / 2), GetWidth(), GetHeight());
  }
  OnDestroy = [this](TObject*) { lastPlace = TPoint(GetLeft(), GetTop()); };
  makeThumbnails_ = true;
}

TCreateHTMLForm::~TCreateHTMLForm() = default;

TExSpinEdit* TCreateHTMLForm::Spin(const char* name, int left, int top, int value, int low, int high) {
  auto* spin = Placed<TExSpinEdit>(this, name, left, top, 64, 21);
  spin->SetMinValue(low);
  spin->SetMaxValue(high);
  spin->SetValue(value);
  return spin;
}

TCheckBox* TCreateHTMLForm::Check(const char* name, const char* caption, int left, int top, bool checked) {
  auto* box = Placed<TCheckBox>(this, name, left, top, 160, 17);
  box->SetCaption(caption);
  box->SetChecked(checked);
  return box;
}

void TCreateHTMLForm::ShowProgress(bool on) {
  Progress->SetVisible(on);
  const TControl* bottom = on ? static_cast<TControl*>(Progress) : OkBtn;
  SetClientHeight(bottom->GetTop() + bottom->GetHeight() + 3);
}

GallerySettings TCreateHTMLForm::Current() const {
  GallerySettings s;
  s.pageWidth = static_cast<int>(PageWidthEdit->GetAsInteger());
  s.thumbWidth = static_cast<int>(ThumbnailWidthEdit->GetAsInteger());
  s.thumbHeight = static_cast<int>(ThumbnailHeightEdit->GetAsInteger());
  s.horizontalGap = static_cast<int>(HorizontalGapEdit->GetAsInteger());
  s.verticalGap = static_cast<int>(VerticalGapEdit->GetAsInteger());
  s.limitRows = LimitRowsToCB->GetChecked();
  s.rowLimit = static_cast<int>(LimitRowsToEdit->GetAsInteger());
  s.alignment = std::max(0, AlignmentCombo->GetItemIndex());
  s.fullFit = FullFitCB->GetChecked();
  s.showNames = ShowImageNameCB->GetChecked();
  s.linkToOriginal = LinkToOriginalImageCB->GetChecked();
  s.previous = PreviousCB->GetChecked();
  s.next = NextCB->GetChecked();
  s.prevImage = Storage->GetStoredValues()->GetValue("PrevImage")->Value;
  s.nextImage = Storage->GetStoredValues()->GetValue("NextImage")->Value;
  s.sourceFolder = Settings.ImageDir;
  s.destination = WithSlash(DestinationFolderEdit->GetText());
  s.imageFolder = WithSlash(ImageSubfolderEdit->GetText());
  s.baseName = BaseNameEdit->GetText();
  s.extension = ExtCombo->GetItemIndex() == 1 ? ".html" : ".htm";
  s.prefix = ThumbPrefixEdit->GetText();
  return s;
}

bool TCreateHTMLForm::MakeGallery() {
  // A new thumbnail size makes new thumbnails, as a new folder or fit does.
  const GallerySettings s = Current();
  if (s.thumbWidth != madeWidth_ || s.thumbHeight != madeHeight_) makeThumbnails_ = true;
  madeWidth_ = s.thumbWidth;
  madeHeight_ = s.thumbHeight;
  ShowProgress(true);
  SetEnabled(false);
  const GalleryResult result = ::MakeGallery(s, makeThumbnails_, [this](int step, int steps) {
    Progress->SetMax(steps);
    Progress->SetPosition(step);
    Application()->ProcessMessages();
  });
  SetEnabled(true);
  ShowProgress(false);
  const char* message = result == GalleryResult::NoPrefix             ? "GalNoPrefix"
                        : result == GalleryResult::NoImages           ? "NoImgToBrowse"
                        : result == GalleryResult::CannotCreateFolder ? "ErrCreateDir"
                        : result == GalleryResult::CannotCreatePage   ? "ErrCreateHTML"
                                                                       : nullptr;
  if (message != nullptr) LangMessageBox(message, "Err", kWarning);
  return result == GalleryResult::Ok;
}

void TCreateHTMLForm::OkBtnClick(TObject*) {
  if (MakeGallery()) SetModalResult(mrOk);
}

void TCreateHTMLForm::PreviewBtnClick(TObject*) {
  if (!MakeGallery()) return;
  const GallerySettings s = Current();
  const AnsiString destination = s.destination.empty() ? WithSlash(Settings.ImageDir) : s.destination;
  const AnsiString page = destination + s.baseName + "1" + s.extension;
  const auto result = reinterpret_cast<std::intptr_t>(ShellExecute(GetHandle(), nullptr, page.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result <= 32) LangMessageBox("CantOpenBrowser", "Err", kWarning);
}

void TCreateHTMLForm::CancelBtnClick(TObject*) {
  Storage->SetActive(false);
  SetModalResult(mrCancel);
}

void TCreateHTMLForm::DestinationFolderEditChange(TObject*) {
  const AnsiString text = DestinationFolderEdit->GetText();
  if (text.empty() || text.back() == '/') {
    if (!text.empty()) {
      followingDestination_ = true;
      ImageSubfolderEdit->SetText(text + relativeFolder_);
      followingDestination_ = false;
    }
    return;
  }
  const int caret = DestinationFolderEdit->GetSelStart();
  DestinationFolderEdit->SetText(text + "/");
  DestinationFolderEdit->SetSelStart(caret);
}

void TCreateHTMLForm::ImageSubfolderEditChange(TObject*) {
  makeThumbnails_ = true;
  if (followingDestination_) return;
  const AnsiString folder = ImageSubfolderEdit->GetText();
  const AnsiString destination = DestinationFolderEdit->GetText();
  relativeFolder_ = folder.size() < destination.size() ? AnsiString() : folder.substr(destination.size(), 260);
}

void TCreateHTMLForm::StorageRestored() {
  ShowNavigationImage("PrevImage", PrevImg, *prevPicture_, kPrevBox);
  ShowNavigationImage("NextImage", NextImg, *nextPicture_, kNextBox);
  ImageSubfolderEditChange(ImageSubfolderEdit);
}

void TCreateHTMLForm::ShowNavigationImage(const char* storedName, TBuffer* view, UDBuffer& picture, TPoint box) {
  const AnsiString path = Storage->GetStoredValues()->GetValue(storedName)->Value;
  // A missing or damaged image leaves the box empty.
  try {
    if (picture.LoadScaled(path, kNavigationBox, kNavigationBox, true, false, 0) != 0) picture.Free();
  } catch (...) {
    picture.Free();
  }
  const bool shown = picture.pixels != nullptr;
  const int width = shown ? picture.Width() : kNavigationBox;
  const int height = shown ? picture.Height() : kNavigationBox;
  view->SetBounds(box.x + (kNavigationBox - width) / 2, box.y + (kNavigationBox - height) / 2, width, height);
  view->SetBuffer(shown ? &picture : nullptr);
  view->Invalidate();
}

void TCreateHTMLForm::ReplaceNavigationImage(const char* storedName, TBuffer* view, UDBuffer& picture, TPoint box) {
  if (!ImageDialog->Execute()) return;
  const AnsiString path = ImageDialog->GetFileName();
  bool readable = false;
  try {
    readable = GFXFile::Test(path, nullptr);
  } catch (...) {
  }
  if (!readable) {
    LangMessageBox("ErrOpenImg", "Err", kWarning);
    return;
  }
  Storage->GetStoredValues()->GetValue(storedName)->Value = path;
  ShowNavigationImage(storedName, view, picture, box);
}

void TCreateHTMLForm::PrevReplaceBtnClick(TObject*) { ReplaceNavigationImage("PrevImage", PrevImg, *prevPicture_, kPrevBox); }

void TCreateHTMLForm::NextReplaceBtnClick(TObject*) { ReplaceNavigationImage("NextImage", NextImg, *nextPicture_, kNextBox); }

void ShowCreateHTMLForm() {
  TOwnedPtr<TCreateHTMLForm> form(NewComponent<TCreateHTMLForm>(Application()));
  form->ShowModal();
}
