#include "quillo/shell/TipForm.h"

#include "platform/user/User.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/shell/MainForm.h"
#include "quillo/base/Settings.h"
#include "quillo/shell/StartUp.h"
#include "quillo/shell/TipFile.h"

QUILLO_DEFINE_CLASS(TTipForm, TForm)

namespace {

// Where the window stood when it last closed, for the rest of the run; x -1: never shown.
TPoint lastPlace{-1, -1};

template <class T>
T* Named(TComponent* owner, const char* name, TWinControl* parent) {
  T* c = NewNamedComponent<T>(owner, name);
  c->SetParent(parent);
  return c;
}

constexpr TColor Rgb(int r, int g, int b) { return static_cast<TColor>(b << 16 | g << 8 | r); }

// The icon beside the tip: a lit bulb.
void PaintBulb(TCanvas* canvas) {
  canvas->GetBrush()->SetColor(clWhite);
  canvas->FillRect(TRect(0, 0, 32, 32));
  canvas->GetPen()->SetColor(Rgb(150, 120, 20));
  canvas->GetBrush()->SetColor(Rgb(255, 226, 80));
  canvas->Ellipse(7, 2, 26, 21);
  canvas->GetBrush()->SetColor(Rgb(176, 176, 184));
  canvas->GetPen()->SetColor(Rgb(100, 100, 110));
  canvas->Rectangle(12, 20, 21, 27);
  canvas->MoveTo(12, 23);
  canvas->LineTo(21, 23);
  canvas->GetBrush()->SetColor(Rgb(90, 90, 100));
  canvas->Rectangle(14, 27, 19, 30);
  canvas->GetPen()->SetColor(Rgb(255, 250, 220));
  canvas->MoveTo(12, 8);
  canvas->LineTo(15, 5);
}

}  // namespace

AnsiString TipFilePath() { return ProgramFolder() + LangMessage(LangKey("TODFile")); }

void ForgetTipFormPlace() { lastPlace = TPoint(-1, -1); }

TTipForm::TTipForm(TComponent* owner) : TForm(owner) {
  SetName("TipForm");
  SetBorderStyle(bsToolWindow);
  // In front of everything of the program, the tools window that stays on top included: at the
  // first start the tip opens where that window already shows.
  SetFormStyle(fsStayOnTop);
  SetBorderIcons({biSystemMenu});
  SetCaption("");
  SetKeyPreview(true);
  SetClientWidth(362);
  SetClientHeight(237);
  Cap = NewComponent<TBandCaption>(this);
  Cap->SetName("Cap");

  WelcomeLab = Named<TLabel>(this, "WelcomeLab", this);
  WelcomeLab->SetBounds(12, 10, 260, 28);
  WelcomeLab->GetFont()->SetName("Times New Roman");
  WelcomeLab->GetFont()->SetSize(16);
  WelcomeLab->GetFont()->SetStyle(fsBold);

  TipPanel = Named<TPanel>(this, "TipPanel", this);
  TipPanel->SetCaption("");
  TipPanel->SetBevelOuter(bvLowered);
  TipPanel->SetColor(clWhite);
  TipPanel->SetBounds(12, 44, 256, 156);
  Image1 = Named<TImage>(this, "Image1", TipPanel);
  Image1->SetBounds(8, 10, 32, 32);
  PaintBulb(Image1->GetCanvas());
  TipText = Named<TLabel>(this, "TipText", TipPanel);
  TipText->SetAutoSize(false);
  TipText->SetWordWrap(true);
  TipText->SetTransparent(false);
  TipText->SetColor(clWhite);
  TipText->SetCaption("");
  TipText->SetBounds(48, 12, 198, 134);

  ShowTipsCB = Named<TCheckBox>(this, "ShowTipsCB", this);
  ShowTipsCB->SetBounds(12, 210, 240, 18);
  NextTipBtn = Named<TButton>(this, "NextTipBtn", this);
  NextTipBtn->SetBounds(278, 44, 74, 25);
  NextTipBtn->OnClick = [this](TObject* sender) { NextTipBtnClick(sender); };
  CloseBtn = Named<TButton>(this, "CloseBtn", this);
  CloseBtn->SetBounds(278, 76, 74, 25);
  CloseBtn->SetModalResult(mrOk);
  HelpBtn = Named<TButton>(this, "HelpBtn", this);
  HelpBtn->SetBounds(278, 175, 74, 25);
  HelpBtn->OnClick = [this](TObject* sender) { HelpBtnClick(sender); };
  HelpBtn->SetEnabled(false);  // until a tip with a help topic shows

  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnDeactivate = [this](TObject* sender) { FormDeactivate(sender); };
  OnDestroy = [this](TObject* sender) { FormDestroy(sender); };
  SetActiveControl(CloseBtn);

  TranslateForm("[TipForm]");
  Cap->SetActiveEndColor(ActiveCaptionEndColor);
  Cap->SetInactiveEndColor(InactiveCaptionEndColor);
  ShowTipsCB->SetChecked(Settings.ShowTOD);
  NextTipBtnClick(this);
  if (lastPlace.x == -1)
    SetBounds((WorkArea.Width() - GetWidth()) / 2, (WorkArea.Height() - GetHeight()) / 2, GetWidth(), GetHeight());
  else
    SetBounds(lastPlace.x, lastPlace.y, GetWidth(), GetHeight());
}

void TTipForm::NextTipBtnClick(TObject*) {
  const TipReading tip = ReadTip(TipFilePath(), Settings.TODIndex);
  if (!tip.opened) {
    LangMessageBox("NoTOD", "Err", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (tip.text.empty()) {
    LangMessageBox("NoTips", "Info", MB_OK | MB_ICONINFORMATION);
    return;
  }
  SetHelpContext(tip.helpContext);
  HelpBtn->SetEnabled(tip.helpContext != 0);
  TipText->SetCaption(tip.text);
  Settings.TODIndex = tip.nextIndex;
}

void TTipForm::HelpBtnClick(TObject*) { Application()->HelpContext(GetHelpContext()); }

void TTipForm::FormKeyDown(TObject*, WORD& key, TShiftState) {
  if (key != VK_ESCAPE) return;
  key = 0;
  SetModalResult(mrOk);
}

void TTipForm::FormDeactivate(TObject*) { BringToFront(); }

void TTipForm::FormDestroy(TObject*) {
  lastPlace = TPoint(GetLeft(), GetTop());
  Settings.ShowTOD = ShowTipsCB->GetChecked();
}
