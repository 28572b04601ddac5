#include "quillo/files/OpenPictureDialog.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <system_error>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/FindFile.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Registry.h"
#include "platform/vcl/ScrollBar.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/files/RecentFolders.h"
#include "vorlen/formats/GFXFile.h"

QUILLO_DEFINE_CLASS(TOpenPlus, TForm)

TOpenPlus* OpenPlus = nullptr;
int PreviewImageIndex = 0;
int PreviewImageCount = 0;

namespace {

constexpr const char* kRecentFoldersKey = "\\Software\\Dornick\\QL\\OF Items";
constexpr int kOpenHelpContext = 1120;
// Far above the desktop: the form's window exists but is never seen.
constexpr int kOffScreenTop = -20000;

template <class T>
T* Named(TComponent* owner, TWinControl* parent, const char* name, int left, int top, int width, int height) {
  T* c = NewNamedComponent<T>(owner, name);
  c->SetBounds(left, top, width, height);
  c->SetParent(parent);
  return c;
}

// The library's probe of the file; a file it cannot read at all is no image.
bool Probe(const AnsiString& path, GFXFileDesc& desc) {
  desc = GFXFileDesc{};
  if (path.empty()) return false;
  try {
    return GFXFile::Test(path, &desc);
  } catch (const std::exception&) {
    desc = GFXFileDesc{};
    return false;
  }
}

// The thumbnail's size: the picture fitted into the preview box, its aspect kept (small
// pictures are enlarged), each side at least one pixel. Worked out in integers so that the
// fitted side is exactly the box's.
Pair<int> ThumbnailSize(int width, int height) {
  const long long w = width, h = height;
  if (TOpenPlus::kPreviewWidth * h <= TOpenPlus::kPreviewHeight * w)
    return Pair<int>(TOpenPlus::kPreviewWidth,
                     static_cast<int>(std::max(1LL, h * TOpenPlus::kPreviewWidth / w)));
  return Pair<int>(static_cast<int>(std::max(1LL, w * TOpenPlus::kPreviewHeight / h)),
                   TOpenPlus::kPreviewHeight);
}

bool LeavesAPicture(int code) { return code == LoadOk || code == LoadDamaged || code == LoadReadFailed; }

}  // namespace

TOpenPlus::TOpenPlus(TComponent* owner) : TForm(owner) {
  SetName("OpenPlus");
  SetClientWidth(413);
  SetClientHeight(231);
  GetFont()->SetName("MS Sans Serif");
  GetFont()->SetHeight(-14);
  SetShowHint(true);
  OnDestroy = [this](TObject* sender) { FormDestroy(sender); };
  BuildControls();
  PreviewFile.clear();
  CustomOpenDialog1->Hook().OwnerControl = TheDocumentHost().MainWindow();
  TranslateForm("[OpenPlus]");
  SetTop(kOffScreenTop);
  SetVisible(true);
  SetVisible(false);
  LoadRecentFolders(RecFolders->GetItems(), kRecentFoldersKey);
}

TOpenPlus::~TOpenPlus() {
  if (OpenPlus == this) OpenPlus = nullptr;
}

void TOpenPlus::BuildControls() {
  Panel1 = Named<TPanel>(this, this, "Panel1", 0, 0, 408, 230);
  Panel1->SetBevelOuter(bvNone);
  Panel1->SetCaption("");
  RecFoldersLab = Named<TLabel>(this, Panel1, "RecFoldersLab", 8, 8, 56, 16);
  RecFoldersLab->SetCaption("Folders");
  RecFolders = Named<TComboBox>(this, Panel1, "RecFolders", 68, 4, 340, 24);
  RecFolders->SetStyle(csDropDownList);
  RecFolders->OnChange = [this](TObject* sender) { RecFoldersChange(sender); };
  ShowPreview = Named<TCheckBox>(this, Panel1, "ShowPreview", 8, 31, 188, 21);
  ShowPreview->SetCaption("Show Preview");
  ShowPreview->SetChecked(true);
  ShowPreview->SetHint("Show Small Preview");
  ShowPreview->OnClick = [this](TObject* sender) { ShowPreviewClick(sender); };
  PreviewBuf = Named<TBuffer>(this, Panel1, "PreviewBuf", 4, 30, 0, 0);
  PreviewBuf->SetAlpha(true);
  ImgNumLab = Named<TLabel>(this, Panel1, "ImgNumLab", 210, 34, 64, 16);
  ImgNumLab->SetCaption("Image");
  ImgNum = Named<TScrollBar>(this, Panel1, "ImgNum", 279, 33, 128, 16);
  ImgNum->SetLargeChange(8);
  ImgNum->SetPageSize(0);
  ImgNum->OnChange = [this](TObject* sender) { ImgNumChange(sender); };
  struct InfoLabel {
    TLabel** label;
    const char* name;
    int top;
  };
  for (const InfoLabel& info : {InfoLabel{&PicColor, "PicColor", 57}, InfoLabel{&PicSize, "PicSize", 77},
                                InfoLabel{&PicBPP, "PicBPP", 96}, InfoLabel{&PicBPC, "PicBPC", 116},
                                InfoLabel{&PicBytes, "PicBytes", 136}, InfoLabel{&PicMod, "PicMod", 155}}) {
    *info.label = Named<TLabel>(this, Panel1, info.name, 256, info.top, 150, 16);
    (*info.label)->SetCaption("");
  }
  SetAsDefault = Named<TButton>(this, Panel1, "SetAsDefault", 256, 209, 148, 21);
  SetAsDefault->SetCaption("Set as default");
  SetAsDefault->OnClick = [this](TObject* sender) { SetAsDefaultClick(sender); };
  TopLeftCorner = Named<TLabel>(this, this, "TopLeftCorner", 0, 0, 4, 16);
  TopLeftCorner->SetCaption(" ");

  CustomOpenDialog1 = NewComponent<TCustomOpenDialog>(this);
  CustomOpenDialog1->SetName("CustomOpenDialog1");
  CustomOpenDialog1->SetHelpContext(kOpenHelpContext);
  CustomOpenDialog1->SetOptions(TOpenOptions{ofHideReadOnly, ofShowHelp, ofFileMustExist, ofEnableSizing});
  CustomOpenDialog1->SetOnSelChange([this](TObject* sender) { LoadPreview(sender); });
  CustomOpenDialog1->SetClearFileNameOnFolderChange(true);
}

// ---- Recent folders ----------------------------------------------------------------------

void TOpenPlus::FormDestroy(TObject*) {
  try {
    SaveRecentFolders(RecFolders->GetItems(), kRecentFoldersKey);
  } catch (const std::exception&) {
    // A settings store that cannot be written costs the list, never the close-down.
  }
}

void TOpenPlus::AddRecentFolder(const AnsiString& fileName) {
  ::AddRecentFolder(RecFolders->GetItems(), fileName);
}

void TOpenPlus::RecFoldersChange(TObject*) {
  const int index = RecFolders->GetItemIndex();
  if (index < 0) return;
  const AnsiString folder = RecFolders->GetItems()->Strings(index);
  // A folder removed since it was listed would reach the dialog as a file name it cannot
  // find: it leaves the list instead, and the dialog stays where it is.
  if (!DirectoryExists(folder)) {
    RecFolders->GetItems()->Delete(index);
    RecFolders->SetItemIndex(-1);
    return;
  }
  CustomOpenDialog1->Hook().SetSelFolder(folder);
}

void TOpenPlus::SetAsDefaultClick(TObject*) {
  int formats = 0;
  for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next) ++formats;
  const int selected = CustomOpenDialog1->Hook().GetSelFilterIndex();
  // Only a single format's entry, not the combined entries after them.
  if (selected >= 1 && selected <= formats) Settings.DefFileExt = selected - 1;
}

// ---- The preview -------------------------------------------------------------------------

void TOpenPlus::ClearPictureInfo() {
  for (TLabel* label : {PicSize, PicColor, PicBPP, PicBPC}) label->SetCaption("");
}

void TOpenPlus::HidePreview() {
  PreviewPicture.Free();
  PreviewThumb.Free();
  PreviewLoaded = false;
  PreviewBuf->SetBuffer(nullptr);
  PreviewBuf->SetBounds(kPreviewLeft, PreviewBuf->GetTop(), 0, 0);
}

void TOpenPlus::ShowImageNumberControls(bool show) {
  ImgNumLab->SetVisible(show);
  ImgNum->SetVisible(show);
  // The form itself is never shown, so the framework leaves the bar's window as it was;
  // lent to the dialog it must follow what the panel says.
  if (ImgNum->HandleAllocated()) ShowWindow(ImgNum->GetHandle(), show ? SW_SHOWNA : SW_HIDE);
}

void TOpenPlus::ShowImageNumber() {
  ImgNumLab->SetCaption(LangMessage("Image") + " " + IntToStr(PreviewImageIndex + 1));
}

void TOpenPlus::LoadPreview(TObject* sender) {
  const AnsiString selected = CustomOpenDialog1->Hook().SelPath;
  // A null sender is the command's reset, done whatever the selection.
  if (sender != nullptr && selected == PreviewFile) return;
  if (sender != nullptr) PreviewFile = selected;
  ShowImageNumberControls(false);

  GFXFileDesc desc;
  PreviewImageCount = Probe(PreviewFile, desc) ? std::max(desc.supported, 0) : 0;
  if (PreviewImageCount == 0) {
    ClearPictureInfo();
    PicBytes->SetCaption("");
    PicMod->SetCaption("");
    HidePreview();
    return;
  }

  std::error_code error;
  const auto bytes = std::filesystem::file_size(PreviewFile.c_str(), error);
  const int date = FileAge(PreviewFile);
  // The position is kept within the new range before the range changes, so the change does
  // not load the preview a second time.
  PreviewImageIndex = std::clamp(ImgNum->GetPosition(), 0, PreviewImageCount - 1);
  ImgNum->SetParams(PreviewImageIndex, 0, PreviewImageCount - 1);
  if (PreviewImageCount >= 2) ShowImageNumberControls(true);
  PicBytes->SetCaption(LangMessage("SizeInB") + ": " + (error ? AnsiString() : IntToStr(static_cast<long long>(bytes))));
  PicMod->SetCaption(LangMessage("Date") + ": " +
                     (date == -1 ? AnsiString() : FormatDateTime("mm/dd/yyyy hh:nn", FileDateToDateTime(date))));
  ShowImageNumber();
  LoadPreviewImage();
}

void TOpenPlus::LoadPreviewImage() {
  PreviewPicture.Free();
  PreviewLoaded = false;
  GFXFileDesc desc;
  if (!Probe(PreviewFile, desc)) {
    ClearPictureInfo();
    HidePreview();
    PreviewBuf->Invalidate();
    return;
  }
  AnsiString colour = LangMessage(desc.colour ? "Color" : "Grayscale") + " " + LangMessage("Image") + " ";
  if (desc.palette) colour += LangMessage("WithPal");
  PicColor->SetCaption(colour);
  PicSize->SetCaption(LangMessage("Size") + ": " + IntToStr(desc.width) + "x" + IntToStr(desc.height) + " " +
                      LangMessage("Pixels"));
  PicBPP->SetCaption(LangMessage("BPP") + ": " + IntToStr(desc.bits));
  PicBPC->SetCaption(LangMessage("BPCC") + ": " + IntToStr(desc.sample_bits));

  if (ShowPreview->GetChecked()) {
    // A quiet load: no progress, no message, nothing recorded.
    const int code = LoadImageFile(&PreviewPicture, PreviewFile, PreviewImageIndex, true);
    if (LeavesAPicture(code) && PreviewPicture.pixels != nullptr && !PreviewPicture.Empty()) {
      const Pair<int> size = ThumbnailSize(PreviewPicture.Width(), PreviewPicture.Height());
      PreviewLoaded = true;
      PreviewInfo = code;
      PreviewLoadedImage = PreviewImageIndex;
      PreviewThumb.Free();
      PreviewThumb.Alloc(size.x, size.y);
      if (PreviewThumb.pixels != nullptr) {
        PreviewThumb.Scale(PreviewPicture, size, Pair<int>(0, 0), 0xFFFFFFFFu, -1);
        PreviewBuf->SetBuffer(&PreviewThumb);
        PreviewBuf->SetBounds(kPreviewLeft + (kPreviewWidth - size.x) / 2,
                              kPreviewTop + (kPreviewHeight - size.y) / 2, size.x, size.y);
      } else {
        HidePreview();
      }
    } else {
      // A file that does not load shows no picture, never the one before it.
      HidePreview();
    }
  }
  PreviewBuf->Invalidate();
}

void TOpenPlus::ImgNumChange(TObject*) {
  if (ImgNum->GetPosition() == PreviewImageIndex) return;
  PreviewImageIndex = ImgNum->GetPosition();
  LoadPreviewImage();
  ShowImageNumber();
}

void TOpenPlus::ShowPreviewClick(TObject*) {
  if (ShowPreview->GetChecked()) {
    PreviewFile.clear();
    LoadPreview(nullptr);
  } else {
    HidePreview();
  }
}

TOpenPlus* CreateOpenPlus() {
  if (OpenPlus == nullptr) OpenPlus = Application()->CreateForm<TOpenPlus>();
  return OpenPlus;
}
