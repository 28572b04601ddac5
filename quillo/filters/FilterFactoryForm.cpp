#include "quillo/filters/FilterFactoryForm.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>

#include "platform/host/KeyCodes.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/FileDialogs.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/ScrollBar.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/DialogPlace.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/base/ProgramFolder.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/components/utilities/VclUtils.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/filters/FilterComponentFile.h"
#include "quillo/filters/FilterFactory.h"
#include "quillo/filters/FormulaFilterLoadSave.h"
#include "quillo/filters/FormulaFilterRun.h"

QUILLO_DEFINE_CLASS(TFFactForm, TForm)

namespace {

constexpr int kHelpContext = 5000;

// The slider rows.
constexpr int kSliderPitch = 24;
constexpr int kNameLeft = 250;
constexpr int kBarLeft = 338;
constexpr int kValueLeft = 468;

// The buttons' column between the thumbnail and the sliders.
constexpr int kButtonLeft = 184;
constexpr int kButtonWidth = 60;
constexpr int kButtonHeight = 23;
constexpr int kButtonPitch = 26;

// The texts, two to a row, and the formula edits below them.
constexpr int kTextTop = 198;
constexpr int kTextPitch = 26;
constexpr int kFormulaTop = kTextTop + 2 * kTextPitch + 2;
constexpr int kFormulaHeight = 52;
constexpr int kFormulaPitch = 56;
constexpr int kFormulaLeft = 22;
constexpr int kClientWidth = 500;
constexpr int kClientHeight = kFormulaTop + kFilterFormulas * kFormulaPitch;

void RepaintActiveView() {
  if (ImageForm != nullptr && ImageForm->ShowBuf != nullptr) ImageForm->ShowBuf->Invalidate();
}

// Hands back to the previous tool, which finishes the factory; without one to go back to,
// the tool is finished where it stands.
void HandBack() {
  ReselectTool(true);
  if (FFFilterTool.Form != nullptr) FFFilterTool.Deactivate(nullptr);
}

AnsiString Numbered(const char* name, int k) { return AnsiString(name) + AnsiString(std::to_string(k).c_str()); }

}  // namespace

TFFactForm::TFFactForm(TComponent* owner) : TForm(owner) {
  SetUpStayOnTopDialog(this, "FFactForm", "Filter Factory", bsToolWindow, kHelpContext);
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  BuildComponents();
  BuildSliderRows();
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
  OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
  TranslateForm("[FFactForm]");
  previewCaption_ = PreviewBtn->GetCaption();
  PlaceDialog(this, FFactFormLeft, FFactFormTop);
  MakeThumbnails();
}

TFFactForm::~TFFactForm() {
  if (FFFilterTool.Form == this) FFFilterTool.Form = nullptr;
}

void TFFactForm::BuildComponents() {
  Cap = MakeDialogCaption(this, "Filter Factory");

  InstPreviewBuf = DialogControl<TBuffer>(this, this, "InstPreviewBuf", kThumbLeft, kThumbTop, 1, 1);
  InstPreviewBuf->SetAlpha(true);
  InstPreview = DialogControl<TCheckBox>(this, this, "InstPreview", kThumbLeft, kThumbTop + kThumbHeight + 6, 120, 17);
  InstPreview->SetCaption("Preview");
  InstPreview->SetChecked(true);
  InstPreview->OnClick = [this](TObject* sender) { InstPreviewClick(sender); };

  struct ButtonSpec {
    TButton** button;
    const char* name;
    const char* caption;
    void (TFFactForm::*click)(TObject*);
  };
  const ButtonSpec buttons[] = {
      {&OkBtn, "OkBtn", "&Ok", &TFFactForm::OkBtnClick},
      {&PreviewBtn, "PreviewBtn", "&Preview", &TFFactForm::PreviewBtnClick},
      {&CancelBtn, "CancelBtn", "&Cancel", &TFFactForm::CancelBtnClick},
      {&LoadBtn, "LoadBtn", "&Load...", &TFFactForm::LoadBtnClick},
      {&SaveBtn, "SaveBtn", "&Save...", &TFFactForm::SaveBtnClick},
      {&MakeBtn, "MakeBtn", "&Make...", &TFFactForm::MakeBtnClick},
      {&HelpBtn, "HelpBtn", "&Help", &TFFactForm::HelpBtnClick},
  };
  int top = 3;
  for (const ButtonSpec& spec : buttons) {
    *spec.button = DialogControl<TButton>(this, this, spec.name, kButtonLeft, top, kButtonWidth, kButtonHeight);
    (*spec.button)->SetCaption(spec.caption);
    (*spec.button)->SetTabStop(false);
    const auto click = spec.click;
    (*spec.button)->OnClick = [this, click](TObject* sender) { (this->*click)(sender); };
    top += kButtonPitch;
  }
  OkBtn->SetDefault(true);

  struct TextSpec {
    TEdit** edit;
    TLabel** label;
    const char* name;
    const char* labelName;
    const char* mark;
    const char* hint;
  };
  const TextSpec texts[] = {
      {&Title, &TitleLab, "Title", "TitleLab", "T", "Title"},
      {&Category, &CategoryLab, "Category", "CategoryLab", "C", "Category"},
      {&Author, &AuthorLab, "Author", "AuthorLab", "A", "Author"},
      {&Copyright, &CopyrightLab, "Copyright", "CopyrightLab", "\xA9", "Copyright"},
  };
  const int half = (kClientWidth - 8) / 2;
  for (int i = 0; i < 4; ++i) {
    const TextSpec& spec = texts[i];
    const int left = 4 + (i % 2) * half;
    const int rowTop = kTextTop + (i / 2) * kTextPitch;
    *spec.label = DialogControl<TLabel>(this, this, spec.labelName, left, rowTop + 3, 14, 13);
    (*spec.label)->SetCaption(spec.mark);
    *spec.edit = DialogControl<TEdit>(this, this, spec.name, left + 16, rowTop, half - 22, 21);
    (*spec.edit)->SetHint(spec.hint);
    (*spec.edit)->SetShowHint(true);
    (*spec.edit)->SetTabOrder(kFilterSliders + i);
    (*spec.label)->SetFocusControl(*spec.edit);
  }

  const char* channelNames[kFilterFormulas] = {"RedCh", "GreenCh", "BlueCh", "AlphaCh"};
  const char* labelNames[kFilterFormulas] = {"RLab", "GLab", "BLab", "ALab"};
  const char* labelTexts[kFilterFormulas] = {"r:", "g:", "b:", "a:"};
  const char* markNames[kFilterFormulas] = {"RedSyntax", "GreenSyntax", "BlueSyntax", "AlphaSyntax"};
  TMemo** edits[kFilterFormulas] = {&RedCh, &GreenCh, &BlueCh, &AlphaCh};
  TLabel** labels[kFilterFormulas] = {&RLab, &GLab, &BLab, &ALab};
  TLabel** marks[kFilterFormulas] = {&RedSyntax, &GreenSyntax, &BlueSyntax, &AlphaSyntax};
  for (int c = 0; c < kFilterFormulas; ++c) {
    const int rowTop = kFormulaTop + c * kFormulaPitch;
    TMemo* edit = DialogControl<TMemo>(this, this, channelNames[c], kFormulaLeft, rowTop,
                                       kClientWidth - kFormulaLeft - 4, kFormulaHeight);
    edit->SetScrollBars(ssVertical);
    edit->SetHideSelection(false);
    edit->SetWantReturns(true);
    edit->GetFont()->SetName("Courier New");
    edit->GetFont()->SetSize(9);
    edit->SetTabOrder(kFilterSliders + 4 + c);
    edit->OnChange = [this](TObject* sender) { ChChange(sender); };
    edit->OnEnter = [this](TObject* sender) { ChEditEnter(sender); };
    edit->OnExit = [this](TObject* sender) { ChExit(sender); };
    *edits[c] = edit;
    *labels[c] = DialogControl<TLabel>(this, this, labelNames[c], 4, rowTop + 2, 16, 13);
    (*labels[c])->SetCaption(labelTexts[c]);
    (*labels[c])->SetFocusControl(edit);
    TLabel* mark = DialogControl<TLabel>(this, this, markNames[c], 6, rowTop + 20, 12, 16);
    mark->SetCaption("!");
    mark->GetFont()->SetColor(clRed);
    mark->GetFont()->SetStyle(TFontStyles{fsBold});
    mark->SetVisible(false);
    mark->OnClick = [this, c](TObject*) { SyntaxClick(c); };
    *marks[c] = mark;
  }

  QLCSaveDlg = NewNamedComponent<TSaveDialog>(this, "QLCSaveDlg");
  QLCSaveDlg->SetDefaultExt("qlc");
  QLCSaveDlg->SetFilter("QLC File (*.QLC)|*.qlc");
  QLCSaveDlg->SetTitle("Save QLC");
  QLCSaveDlg->SetOptions({ofHideReadOnly, ofOverwritePrompt, ofEnableSizing});
}

void TFFactForm::BuildSliderRows() {
  for (int k = 0; k < kFilterSliders; ++k) {
    const auto i = static_cast<std::size_t>(k);
    TEdit* name = DialogControl<TEdit>(this, this, Numbered("SliderName", k + 1).c_str(), kNameLeft,
                                       kSliderPitch * k + 3, 84, 21);
    name->GetFont()->SetName("Courier New");
    name->GetFont()->SetSize(9);
    name->SetTabOrder(k);
    TScrollBar* bar = DialogControl<TScrollBar>(this, this, Numbered("Slider", k + 1).c_str(), kBarLeft,
                                                kSliderPitch * k + 4, 128, 19);
    bar->SetParams(0, 0, 255);
    bar->SetLargeChange(16);
    bar->SetTag(k);
    bar->SetTabStop(false);
    bar->OnChange = [this](TObject* sender) { SliderChange(sender); };
    TLabel* value = DialogControl<TLabel>(this, this, Numbered("SliderValue", k + 1).c_str(), kValueLeft,
                                          kSliderPitch * k + 8, 28, 13);
    value->SetCaption("0");
    SliderNames[i] = name;
    Sliders[i] = bar;
    SliderValues[i] = value;
  }
}

// The picture scaled into the thumbnail's box, centred; a sliver still gets one pixel.
void TFFactForm::MakeThumbnails() {
  UDBuffer& picture = FFFilterTool.Saved;
  if (picture.pixels == nullptr || picture.Empty()) return;
  const int width = picture.Width(), height = picture.Height();
  const double scale = std::min(double(kThumbWidth) / width, double(kThumbHeight) / height);
  const int thumbWidth = std::max(1, static_cast<int>(width * scale + 0.5));
  const int thumbHeight = std::max(1, static_cast<int>(height * scale + 0.5));
  InstPreviewBuf->SetBounds(static_cast<int>((kThumbWidth - thumbWidth) * 0.5 + kThumbLeft),
                            static_cast<int>((kThumbHeight - thumbHeight) * 0.5 + kThumbTop), thumbWidth,
                            thumbHeight);
  try {
    thumbSource_.Alloc(thumbWidth, thumbHeight);
    thumbResult_.Alloc(thumbWidth, thumbHeight);
  } catch (const std::exception&) {
    FreeThumbnails();
    return;
  }
  if (thumbSource_.pixels == nullptr || thumbResult_.pixels == nullptr) {
    FreeThumbnails();
    return;
  }
  thumbSource_.ScaleFrom(picture, Pair<int>(thumbWidth, thumbHeight), Pair<int>(0, 0), Buffer::kPlain, 1);
  thumbResult_.Copy(thumbSource_, Pair<int>(0, 0), Buffer::kPlain);
  InstPreviewBuf->SetBuffer(&thumbResult_);
}

void TFFactForm::FreeThumbnails() {
  if (InstPreviewBuf != nullptr) InstPreviewBuf->SetBuffer(nullptr);
  thumbSource_.Free();
  thumbResult_.Free();
}

void TFFactForm::ShowFilter(const FormulaFilter& filter) {
  loading_ = true;
  entryName_ = filter.entryName;
  Title->SetText(filter.title);
  Category->SetText(filter.category);
  Author->SetText(filter.author);
  Copyright->SetText(filter.copyright);
  const auto edits = FormulaEdits();
  for (int c = 0; c < kFilterFormulas; ++c) edits[static_cast<std::size_t>(c)]->SetText(filter.formulas[c]);
  for (int k = 0; k < kFilterSliders; ++k) {
    const auto i = static_cast<std::size_t>(k);
    SliderNames[i]->SetText(filter.names[k]);
    const int value = std::clamp(filter.values[k], 0, 255);
    Sliders[i]->SetPosition(value);
    SliderValues[i]->SetCaption(AnsiString(std::to_string(value).c_str()));
  }
  loading_ = false;
  // What the window shows is what runs from now on.
  ChChange(this);
}

FormulaFilter TFFactForm::ShownFilter() const {
  FormulaFilter filter;
  filter.entryName = entryName_;
  filter.title = Title->GetText();
  filter.category = Category->GetText();
  filter.author = Author->GetText();
  filter.copyright = Copyright->GetText();
  const auto edits = FormulaEdits();
  for (int c = 0; c < kFilterFormulas; ++c) filter.formulas[c] = edits[static_cast<std::size_t>(c)]->GetText();
  for (int k = 0; k < kFilterSliders; ++k) {
    const auto i = static_cast<std::size_t>(k);
    filter.names[k] = SliderNames[i]->GetText();
    filter.values[k] = Sliders[i]->GetPosition();
  }
  return filter;
}

void TFFactForm::FocusOk() {
  if (OkBtn->CanFocus()) OkBtn->SetFocus();
}

void TFFactForm::Compile() {
  const auto edits = FormulaEdits();
  AnsiString texts[kFilterFormulas];
  FormulaSource source;
  for (int c = 0; c < kFilterFormulas; ++c) {
    texts[c] = edits[static_cast<std::size_t>(c)]->GetText();
    source.text[c] = texts[c].c_str();
  }
  compiled_ = CompileFormula(source);
  const auto marks = SyntaxMarks();
  for (int c = 0; c < kFilterFormulas; ++c) {
    errorPosition_[c] = source.errorPosition[c];
    errorLength_[c] = source.errorLength[c];
    marks[static_cast<std::size_t>(c)]->SetVisible(compiled_.Error(c) != FormulaError::kNone);
  }
}

void TFFactForm::SliderValuesNow(std::int32_t (&values)[kFilterSliders]) const {
  for (int k = 0; k < kFilterSliders; ++k) values[k] = Sliders[static_cast<std::size_t>(k)]->GetPosition();
}

void TFFactForm::RunOnThumbnail() {
  FFPreviewOn = 0;
  if (thumbSource_.pixels == nullptr) return;
  std::int32_t values[kFilterSliders];
  SliderValuesNow(values);
  RunFormulaFilter(compiled_, thumbSource_, thumbResult_, values);
  InstPreviewBuf->Invalidate();
}

void TFFactForm::ChChange(TObject*) {
  if (loading_) return;
  Compile();
  RunOnThumbnail();
}

void TFFactForm::InstPreviewClick(TObject* sender) {
  const bool shown = InstPreview->GetChecked();
  InstPreviewBuf->SetVisible(shown);
  if (shown) ChChange(sender);
}

void TFFactForm::SliderChange(TObject* sender) {
  auto* bar = dynamic_cast<TScrollBar*>(sender);
  if (bar == nullptr || loading_) return;
  const auto k = static_cast<std::size_t>(bar->GetTag());
  if (k >= SliderValues.size()) return;
  SliderValues[k]->SetCaption(AnsiString(std::to_string(bar->GetPosition()).c_str()));
  RunOnThumbnail();
}

void TFFactForm::ChEditEnter(TObject* sender) {
  if (auto* edit = dynamic_cast<TMemo*>(sender)) edit->SelectAll();
}

void TFFactForm::ChExit(TObject* sender) {
  if (auto* edit = dynamic_cast<TMemo*>(sender)) edit->SetSelLength(0);
}

// Selects the token the compiler stopped at: it ends at the error position.
void TFFactForm::SyntaxClick(int channel) {
  TMemo* edit = FormulaEdits()[static_cast<std::size_t>(channel)];
  if (errorPosition_[channel] < 0) return;
  edit->SetSelStart(errorPosition_[channel]);
  edit->SetSelLength(-errorLength_[channel]);
}

void TFFactForm::EnableControls(bool enable) {
  for (TWinControl* control :
       {static_cast<TWinControl*>(OkBtn), static_cast<TWinControl*>(CancelBtn), static_cast<TWinControl*>(LoadBtn),
        static_cast<TWinControl*>(SaveBtn), static_cast<TWinControl*>(MakeBtn), static_cast<TWinControl*>(HelpBtn),
        static_cast<TWinControl*>(InstPreview), static_cast<TWinControl*>(Title), static_cast<TWinControl*>(Category),
        static_cast<TWinControl*>(Author), static_cast<TWinControl*>(Copyright)})
    control->SetEnabled(enable);
  for (TMemo* edit : FormulaEdits()) edit->SetEnabled(enable);
  for (int k = 0; k < kFilterSliders; ++k) {
    SliderNames[static_cast<std::size_t>(k)]->SetEnabled(enable);
    Sliders[static_cast<std::size_t>(k)]->SetEnabled(enable);
  }
}

void TFFactForm::PreviewBtnClick(TObject*) {
  if (running_) {
    running_ = false;
    return;
  }
  P_FF_filter& tool = FFFilterTool;
  if (tool.Target == nullptr || tool.Target != CurrentPicture) return;
  if (!tool.Restore) {
    // OK: the step holds the untouched copy, so Undo brings the picture back.
    if (!tool.Saved.PushUndo("FilterFact", tool.Target)) {
      tool.Restore = true;
      return;
    }
    if (tool.Target->Outline != nullptr)
      tool.Target->ExtendUndo(tool.Target->SelLeft, tool.Target->SelTop, tool.Target->SelRight,
                              tool.Target->SelBottom);
  }
  if (FFPreviewOn == 1) return;
  FFPreviewOn = 1;
  // The window's own formulas run, whatever another user of the compiler did meanwhile.
  Compile();
  std::int32_t values[kFilterSliders];
  SliderValuesNow(values);
  running_ = true;
  PreviewBtn->SetCaption(LangMessage("StopPreview"));
  // The keys that stop the run reach the window through its one enabled button.
  if (PreviewBtn->CanFocus()) PreviewBtn->SetFocus();
  EnableControls(false);
  RunFormulaFilter(compiled_, tool.Saved, *tool.Target, values, &running_);
  running_ = false;
  RepaintActiveView();
  EnableControls(true);
  PreviewBtn->SetCaption(previewCaption_);
  if (closeAfterRun_) {
    closeAfterRun_ = false;
    Close();
  }
}

void TFFactForm::OkBtnClick(TObject* sender) {
  P_FF_filter& tool = FFFilterTool;
  if (tool.Target == nullptr || tool.Target != CurrentPicture) {
    HandBack();
    return;
  }
  tool.Restore = false;
  PreviewBtnClick(sender);
  // Without its undo step the result is not kept: the window stays.
  if (tool.Restore || tool.Form != this) return;
  MarkPictureChanged();
  HandBack();
}

void TFFactForm::CancelBtnClick(TObject*) { HandBack(); }

void TFFactForm::HelpBtnClick(TObject*) { Application()->HelpContext(kHelpContext); }

void TFFactForm::LoadBtnClick(TObject*) {
  FormulaFilter filter = ShownFilter();
  // Cancelled, the window keeps its filter; each user of the compiler has its own routines.
  if (!LoadFormulaFilter(filter)) return;
  ShowFilter(filter);
}

void TFFactForm::SaveBtnClick(TObject*) { SaveFormulaFilter(ShownFilter()); }

void TFFactForm::MakeBtnClick(TObject*) {
  // The components folder is the one the program lists components from: made when missing, so
  // that the dialog opens there and not in the last folder used.
  const AnsiString comps = ProgramFolder() + "Comps";
  ForceDirectories(comps);
  QLCSaveDlg->SetInitialDir(comps);
  if (!QLCSaveDlg->Execute()) return;
  // The component carries the formulas the window shows, compiled now.
  Compile();
  if (!WriteFilterComponent(QLCSaveDlg->GetFileName(), FilterComponentTemplatePath(), compiled_, ShownFilter()))
    LangMessageBox("CantSaveComp", "Err", MB_OK | MB_ICONEXCLAMATION);
}

void TFFactForm::FormKeyDown(TObject* sender, WORD& key, TShiftState) {
  if (running_) {
    if (key == VK_ESCAPE || key == VK_RETURN) {
      running_ = false;
      key = 0;
    }
    return;
  }
  if (key == VK_ESCAPE) {
    CancelBtnClick(sender);
    key = 0;
    return;
  }
  if (key != VK_RETURN) return;
  const auto edits = FormulaEdits();
  // In a formula Enter starts a new line.
  if (std::find(edits.begin(), edits.end(), GetActiveControl()) != edits.end()) return;
  key = 0;
  OkBtnClick(sender);
}

void TFFactForm::FormCloseQuery(TObject*, bool& canClose) {
  if (!running_) return;
  // The running preview stops at the end of its row, then the window closes.
  running_ = false;
  closeAfterRun_ = true;
  canClose = false;
}

void TFFactForm::FormClose(TObject*, TCloseAction& action) {
  FFactFormLeft = GetLeft();
  FFactFormTop = GetTop();
  action = caFree;
  if (closing_) return;
  closing_ = true;
  if (FFFilterTool.Form == this && !FFFilterTool.Finishing) HandBack();
}
