#include "quillo/filters/FormulaFilterOpenDialog.h"

#include <algorithm>
#include <exception>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ScrollBar.h"
#include "quillo/base/DialogPlace.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/ImageView.h"
#include "quillo/filters/FilterFactory.h"
#include "quillo/filters/FormulaFilterRun.h"
#include "quillo/filters/FilterDialogPanels.h"

QUILLO_DEFINE_CLASS(TFFOpenPlus, TForm)

TFFOpenPlus* FFOpenPlus = nullptr;

namespace {

constexpr int kPanelWidth = 420;
constexpr int kPanelHeight = 178;
constexpr int kTextLeft = 224;  // the texts beside the preview never reach into it
constexpr int kStatusLeft = 12;  // the status, under the preview, may take the whole width
constexpr int kLabelGap = 10;   // between "Filter" and its scroll bar
constexpr const char* kFilterKinds =
    "All Filter Factory Filters|*.afs;*.ffl|Filter Factory Single Source (*.AFS)|*.afs|"
    "Filter Factory Library (*.FFL)|*.ffl";

}  // namespace

TFFOpenPlus::TFFOpenPlus(TComponent* owner) : TForm(owner) {
  SetUpHostForm(this, "FFOpenPlus", kPanelWidth, kPanelHeight);
  BuildControls();
  OpenDlg->Hook().OwnerControl = TheDocumentHost().MainWindow();
  TranslateForm("[FFOpenPlus]");
  ShowLabels();
  MakeWindowsOffScreen(this);
}

TFFOpenPlus::~TFFOpenPlus() {
  if (FFOpenPlus == this) FFOpenPlus = nullptr;
}

void TFFOpenPlus::BuildControls() {
  Panel1 = MakeLentPanel(this, kPanelWidth, kPanelHeight);
  // The preview's box: 200 x 150 inside a lowered border, its inside at (12, 4).
  PreviewFrame = DialogControl<TPanel>(this, Panel1, "PreviewFrame", 12 - kPreviewBorder, 4 - kPreviewBorder,
                                       kPreviewWidth + 2 * kPreviewBorder, kPreviewHeight + 2 * kPreviewBorder);
  PreviewFrame->SetBevelOuter(bvLowered);
  PreviewFrame->SetCaption("");
  PrevBufHolder = DialogControl<TBuffer>(this, PreviewFrame, "PrevBufHolder", kPreviewBorder, kPreviewBorder, 0, 0);
  PrevBufHolder->SetAlpha(true);

  FilterIndex = MakeEntryChooser(this, Panel1, [this](TObject* sender) { FilterIndexChange(sender); });
  FilterLab = DialogControl<TLabel>(this, Panel1, "FilterLab", kTextLeft, 8, 40, 13);
  FilterLab->SetCaption("Filter");
  FilterLab->SetAutoSize(true);
  struct TextLabel {
    TLabel** label;
    const char* name;
    int top;
  };
  for (const TextLabel& t : {TextLabel{&FilterNameLab, "FilterNameLab", 36}, TextLabel{&CategoryLab, "CategoryLab", 58},
                             TextLabel{&AuthorLab, "AuthorLab", 80}, TextLabel{&CopyrightLab, "CopyrightLab", 102},
                             TextLabel{&StatusLab, "StatusLab", 160}}) {
    *t.label = DialogControl<TLabel>(this, Panel1, t.name, kTextLeft, t.top, 0, 13);
    (*t.label)->SetShowAccelChar(false);
    (*t.label)->SetCaption("");
  }
  FilterNameLab->GetFont()->SetStyle(fsBold);
  StatusLab->GetFont()->SetColor(clRed);
  TopLeftCorner = DialogControl<TLabel>(this, this, "TopLeftCorner", 0, 0, 4, 13);
  TopLeftCorner->SetCaption(" ");

  OpenDlg = NewNamedComponent<TCustomOpenDialog>(this, "OpenDlg");
  OpenDlg->SetDefaultExt("afs");
  OpenDlg->SetFilter(kFilterKinds);
  OpenDlg->SetOptions(TOpenOptions{ofHideReadOnly, ofNoChangeDir, ofPathMustExist, ofFileMustExist, ofEnableSizing});
  OpenDlg->SetClearFileNameOnFolderChange(true);
  OpenDlg->SetOnSelChange([this](TObject* sender) { PreviewFilter(sender); });
  OpenDlg->SetOnFileOk([this](TObject* sender, bool& accept) { OpenDlgFileOk(sender, accept); });
}

bool TFFOpenPlus::Run(const AnsiString& folder) {
  FilterLab->SetLeft(FilterIndex->GetLeft() - kLabelGap - FilterLab->GetWidth());
  PreparePreview();
  OpenDlg->SetInitialDir(folder);
  const AnsiString last = OpenDlg->GetFileName();
  ShowFile(last, FilterIndex->GetPosition());
  return OpenDlg->Execute();
}

// The factory's copy fitted into the box, each side at least one pixel, centred in it.
void TFFOpenPlus::PreparePreview() {
  PrevBufHolder->SetBuffer(nullptr);
  PreviewSource.Free();
  PreviewResult.Free();
  UDBuffer& picture = FFFilterTool.Saved;
  if (picture.pixels == nullptr || picture.Empty()) {
    PrevBufHolder->SetBounds(kPreviewBorder, kPreviewBorder, 0, 0);
    return;
  }
  const double scale = std::min(static_cast<double>(kPreviewWidth) / picture.Width(),
                                static_cast<double>(kPreviewHeight) / picture.Height());
  const int width = std::max(1, static_cast<int>(picture.Width() * scale + 0.5));
  const int height = std::max(1, static_cast<int>(picture.Height() * scale + 0.5));
  try {
    PreviewSource.Alloc(width, height);
    PreviewResult.Alloc(width, height);
  } catch (const std::exception&) {
    // No memory for the preview: the dialog works without it.
  }
  if (PreviewSource.pixels == nullptr || PreviewResult.pixels == nullptr) {
    PreviewSource.Free();
    PreviewResult.Free();
    PrevBufHolder->SetBounds(kPreviewBorder, kPreviewBorder, 0, 0);
    return;
  }
  PreviewSource.ScaleFrom(picture, Pair<int>(width, height), Pair<int>(0, 0), Buffer::kPlain, -1);
  PreviewResult.CopyFrom(PreviewSource);
  PrevBufHolder->SetBounds(static_cast<int>((kPreviewWidth - width) * 0.5 + kPreviewBorder),
                           static_cast<int>((kPreviewHeight - height) * 0.5 + kPreviewBorder), width, height);
  PrevBufHolder->SetBuffer(&PreviewResult);
}

void TFFOpenPlus::PreviewFilter(TObject*) {
  const AnsiString selected = OpenDlg->Hook().SelPath;
  // A selection that names no file (the name box emptied on entering a folder, as when the
  // dialog opens) leaves the filter shown last.
  if (selected == PreviewedFile || selected.empty() || DirectoryExists(selected)) return;
  ShowFile(selected, 1);
}

void TFFOpenPlus::ShowFile(const AnsiString& fileName, int entry) {
  PreviewedFile = fileName;
  StatusLab->SetCaption("");
  const int entries = IsFilterLibraryName(fileName) ? LibraryEntryCount(fileName) : -1;
  settingIndex_ = true;
  if (entries >= 1) {
    FilterIndex->SetParams(std::clamp(entry, 1, entries), 1, entries);
    FilterIndex->SetEnabled(true);
  } else {
    FilterIndex->SetParams(1, 1, 1);
    FilterIndex->SetEnabled(false);
  }
  settingIndex_ = false;
  LoadFilterFile(fileName);
}

void TFFOpenPlus::FilterIndexChange(TObject*) {
  if (!settingIndex_) LoadFilterFile(PreviewedFile);
}

void TFFOpenPlus::LoadFilterFile(const AnsiString& fileName) {
  Filter = FormulaFilter();
  Refusal.clear();
  // Nothing chosen yet: an empty panel, no complaint.
  if (fileName.empty() || DirectoryExists(fileName)) {
    Status = FilterFileStatus::CannotOpen;
    StatusLab->SetCaption("");
    ShowLabels();
    ShowUnfiltered();
    return;
  }
  try {
    Status = IsFilterLibraryName(fileName) ? ReadLibraryEntry(fileName, FilterIndex->GetPosition(), Filter, &Refusal)
                                           : ReadSingleFilter(fileName, Filter, &Refusal);
  } catch (const std::exception&) {
    Status = FilterFileStatus::NotValid;
  }
  if (Status != FilterFileStatus::Ok) {
    StatusLab->SetCaption(LangMessage("NotValidFF"));
    ShowLabels();
    // The picture shows no other file's result.
    ShowUnfiltered();
    return;
  }
  FormulaSource source;
  for (int i = 0; i < kFilterFormulas; ++i) source.text[i] = Filter.formulas[i].c_str();
  compiled_ = CompileFormula(source);
  bool compiles = true;
  for (int i = 0; i < kFilterFormulas; ++i) compiles = compiles && compiled_.Error(i) == FormulaError::kNone;
  StatusLab->SetCaption(compiles ? AnsiString() : LangMessage("NotValidFF"));
  ShowLabels();
  if (PreviewSource.pixels == nullptr) return;
  std::int32_t sliders[kFormulaSliders];
  std::copy(std::begin(Filter.values), std::end(Filter.values), sliders);
  RunFormulaFilter(compiled_, PreviewSource, PreviewResult, sliders);
  PrevBufHolder->Invalidate();
}

void TFFOpenPlus::ShowUnfiltered() {
  if (PreviewSource.pixels == nullptr) return;
  PreviewResult.CopyFrom(PreviewSource);
  PrevBufHolder->Invalidate();
}

void TFFOpenPlus::ShowLabels() {
  const int right = FilterIndex->GetLeft() + FilterIndex->GetWidth();
  ShowRightAligned(FilterNameLab, Filter.title, right, kTextLeft);
  ShowRightAligned(CategoryLab, Filter.category, right, kTextLeft);
  ShowRightAligned(AuthorLab, Filter.author, right, kTextLeft);
  ShowRightAligned(CopyrightLab, Filter.copyright, right, kTextLeft);
  ShowRightAligned(StatusLab, StatusLab->GetCaption(), right, kStatusLeft);
}

void TFFOpenPlus::OpenDlgFileOk(TObject* sender, bool& accept) {
  // A name typed and confirmed without a selection is read now, so that what is taken is
  // what was chosen.
  PreviewFilter(sender);
  accept = Status == FilterFileStatus::Ok;
  if (!accept) LangMessageBox("CantOpenFilter", Refusal, "Err", MB_OK | MB_ICONEXCLAMATION);
}

TFFOpenPlus* CreateFFOpenPlus() {
  if (FFOpenPlus == nullptr) FFOpenPlus = Application()->CreateForm<TFFOpenPlus>();
  return FFOpenPlus;
}
