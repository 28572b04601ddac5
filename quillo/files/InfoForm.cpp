#include "quillo/files/InfoForm.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>

#include "platform/rtl/SysUtils.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/components/labels/FileLabel.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/files/ColorCount.h"
#include "quillo/files/PlacedControl.h"

QUILLO_DEFINE_CLASS(TInfoForm, TForm)

namespace {

constexpr int kHelpContext = 1300;
// Where the window was last closed, for the rest of the run; x -1: never shown.
TPoint lastPlace{-1, -1};

AnsiString Fact(const char* key, const AnsiString& value) { return LangMessage(key) + ": " + value; }
AnsiString NoFact(const char* key) { return Fact(key, "-"); }

AnsiString SizeText(const UDBuffer& p) { return IntToStr(p.Width()) + " x " + IntToStr(p.Height()); }

AnsiString FileTimeText(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[32] = {};
  std::strftime(text, sizeof text, "%m/%d/%Y %H:%M", &local);
  return text;
}

AnsiString ColourCountText(const UDBuffer& picture) {
  const TCursor saved = Screen()->GetCursor();
  Screen()->SetCursor(crHourGlass);
  const int count = CountPictureColors(picture);
  Screen()->SetCursor(saved);
  return count != 0 ? Fact("ColNum", IntToStr(count)) : NoFact("ColNum");
}

}  // namespace

void ForgetInfoFormPlace() { lastPlace = TPoint(-1, -1); }

TInfoForm::TInfoForm(TComponent* owner) : TForm(owner) {
  SetName("InfoForm");
  SetBorderStyle(bsToolWindow);
  SetBorderIcons({biSystemMenu});
  SetFormStyle(fsStayOnTop);
  SetKeyPreview(true);
  SetShowHint(true);
  SetHelpContext(kHelpContext);
  SetCaption("Image Information");
  SetClientWidth(262);
  SetClientHeight(232);
  Cap = NewNamedComponent<TBandCaption>(this, "Cap");
  BuildLabels();

  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnDeactivate = [this](TObject* sender) { FormDeactivate(sender); };
  OnDestroy = [this](TObject* sender) { FormDestroy(sender); };
  TranslateForm("[InfoForm]");
  Cap->SetActiveEndColor(ActiveCaptionEndColor);
  Cap->SetInactiveEndColor(InactiveCaptionEndColor);
  PlaceWindow();
  FillTexts();
}

void TInfoForm::BuildLabels() {
  const auto label = [this](const char* name, int left, int top, int width) {
    auto* l = PlacedControl<TLabel>(this, name, this, left, top, width, 13);
    l->SetCaption("");
    return l;
  };
  ImgHeader = label("ImgHeader", 8, 8, 120);
  ImgHeader->SetCaption("IMAGE");
  ImgHeader->GetFont()->SetStyle(fsBold);
  NameLab = label("Name", 16, 28, 36);
  NameLab->SetCaption("Name:");
  NameLab->SetAutoSize(true);
  ImageName = PlacedControl<TFileLabel>(this, "ImageName", this, 56, 28, 196, 13);
  ImageDim = label("ImageDim", 16, 46, 236);
  ImageDPI = label("ImageDPI", 16, 64, 236);
  ImageSize = label("ImageSize", 16, 82, 236);
  ImageDate = label("ImageDate", 16, 100, 236);
  ImageCol = label("ImageCol", 16, 118, 160);
  BrshHeader = label("BrshHeader", 8, 144, 120);
  BrshHeader->SetCaption("BRUSH");
  BrshHeader->GetFont()->SetStyle(fsBold);
  BrushDim = label("BrushDim", 16, 164, 236);
  BrushCol = label("BrushCol", 16, 182, 160);

  const auto button = [this](const char* name, const char* caption, int left, int top, int width) {
    auto* b = PlacedControl<TButton>(this, name, this, left, top, width, 21);
    b->SetCaption(caption);
    return b;
  };
  ImgColCnt = button("ImgColCnt", "Count", 186, 114, 66);
  ImgColCnt->OnClick = [this](TObject* sender) { ImgColCntClick(sender); };
  BrshColCnt = button("BrshColCnt", "Count", 186, 178, 66);
  BrshColCnt->OnClick = [this](TObject* sender) { BrshColCntClick(sender); };
  OkBtn = button("OkBtn", "&Ok", 100, 206, 72);
  OkBtn->SetHint("Close Panel");
  OkBtn->SetModalResult(mrOk);
  OkBtn->SetDefault(true);
  HelpBtn = button("HelpBtn", "&Help", 180, 206, 72);
  HelpBtn->OnClick = [this](TObject* sender) { HelpBtnClick(sender); };
}

// Centred in the work area and kept inside it the first time; later where it was left.
void TInfoForm::PlaceWindow() {
  if (lastPlace.x != -1) {
    SetBounds(lastPlace.x, lastPlace.y, GetWidth(), GetHeight());
    return;
  }
  int left = (WorkArea.right - WorkArea.left - GetWidth()) / 2;
  int top = (WorkArea.bottom - WorkArea.top - GetHeight()) / 2;
  left = std::max(0, std::min(left, static_cast<int>(WorkArea.right) - GetWidth()));
  top = std::max(0, std::min(top, static_cast<int>(WorkArea.bottom) - GetHeight()));
  SetBounds(left, top, GetWidth(), GetHeight());
}

void TInfoForm::FillTexts() {
  ImageName->SetLeft(NameLab->GetLeft() + NameLab->GetWidth() + 4);
  ImageName->SetWidth(GetClientWidth() - 8 - ImageName->GetLeft());
  if (const UDBuffer* picture = CurrentPicture) {
    ImageName->SetFileName(DocumentTitle(*picture));
    ImageDim->SetCaption(Fact("Dims", SizeText(*picture)));
    ImageDPI->SetCaption(Fact("DPI", IntToStr(picture->Resolution) + " DPI"));
    struct stat info{};
    const bool found = !picture->FileName.empty() && ::stat(picture->FileName.c_str(), &info) == 0;
    ImageSize->SetCaption(found ? Fact("SizeInB", IntToStr(static_cast<long long>(info.st_size))) : NoFact("SizeInB"));
    ImageDate->SetCaption(found ? Fact("Date", FileTimeText(info.st_mtime)) : NoFact("Date"));
  }
  ImgColCnt->SetEnabled(CurrentPicture != nullptr);
  ImageCol->SetCaption(NoFact("ColNum"));
  BrushDim->SetCaption(Fact("Dims", SizeText(Brush)));
  BrushCol->SetCaption(NoFact("ColNum"));
}

void TInfoForm::ImgColCntClick(TObject*) {
  if (CurrentPicture != nullptr) ImageCol->SetCaption(ColourCountText(*CurrentPicture));
}

void TInfoForm::BrshColCntClick(TObject*) { BrushCol->SetCaption(ColourCountText(Brush)); }

void TInfoForm::HelpBtnClick(TObject*) { Application()->HelpContext(GetHelpContext()); }

void TInfoForm::FormKeyDown(TObject*, WORD& key, TShiftState) {
  if (key != VK_ESCAPE) return;
  key = 0;
  OkBtn->Click();
}

void TInfoForm::FormDeactivate(TObject*) {
  if (GetVisible()) BringToFront();
}

void TInfoForm::FormDestroy(TObject*) { lastPlace = TPoint(GetLeft(), GetTop()); }
