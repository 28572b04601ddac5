#include "quillo/files/ProgressForm.h"

#include "platform/vcl/Application.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/components/panels/PercentProgress.h"

QUILLO_DEFINE_CLASS(TProgressForm, TForm)

namespace {

TProgressForm* theForm = nullptr;

}  // namespace

TProgressForm::TProgressForm(TComponent* owner) : TForm(owner) {
  SetName("ProgressForm");
  SetBorderStyle(bsToolWindow);
  SetBorderIcons({biSystemMenu});
  SetFormStyle(fsStayOnTop);
  SetShowHint(true);
  SetClientWidth(287);
  SetClientHeight(127);
  SetPosition(poScreenCenter);
  Cap = NewNamedComponent<TBandCaption>(this, "Cap");

  Memo = NewNamedComponent<TMemo>(this, "Memo");
  Memo->SetBounds(0, 0, 285, 81);
  Memo->SetReadOnly(true);
  Memo->SetScrollBars(ssVertical);
  Memo->SetWordWrap(false);
  Memo->SetColor(clBtnFace);
  Memo->SetAnchors({akLeft, akTop, akBottom});
  Memo->SetParent(this);

  ProgressBar = NewNamedComponent<TPercentProgress>(this, "ProgressBar");
  ProgressBar->SetBounds(0, 84, 285, 17);
  ProgressBar->SetMax(100);
  ProgressBar->SetPosition(0);
  ProgressBar->SetProgressColor(clNavy);
  ProgressBar->SetParent(this);

  CancelBtn = NewNamedComponent<TButton>(this, "CancelBtn");
  CancelBtn->SetCaption("&Cancel");
  CancelBtn->SetBounds(108, 104, 75, 22);
  CancelBtn->SetAnchors({akLeft, akBottom});
  CancelBtn->SetParent(this);
  CancelBtn->OnClick = [this](TObject* sender) { CancelBtnClick(sender); };

  OnShow = [this](TObject* sender) { FormShow(sender); };
  OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
  TranslateForm("[ProgressForm]");
  Cap->SetActiveEndColor(ActiveCaptionEndColor);
  Cap->SetInactiveEndColor(InactiveCaptionEndColor);
}

TProgressForm::~TProgressForm() {
  if (theForm == this) theForm = nullptr;
}

void TProgressForm::FormShow(TObject*) { Empty(); }

void TProgressForm::Empty() {
  cancelled_ = false;
  messageCount_ = 0;
  Memo->GetLines()->Clear();
  ProgressBar->SetPosition(0);
}

void TProgressForm::CancelBtnClick(TObject*) {
  cancelled_ = true;
  if (!running_ || ProgressBar->GetPosition() == ProgressBar->GetMax()) Close();
}

void TProgressForm::FormClose(TObject*, TCloseAction& action) {
  cancelled_ = true;
  action = caHide;
}

void TProgressForm::SetFileCount(int files) { ProgressBar->SetMax(files); }

void TProgressForm::SetFilesDone(int done) { ProgressBar->SetPosition(done); }

void TProgressForm::AddMessage(const AnsiString& line) {
  Memo->GetLines()->Add(line);
  ++messageCount_;
}

void TProgressForm::Pump() {
  if (GetVisible()) BringToFront();
  Application()->ProcessMessages();
}

TProgressForm* BatchProgressForm() {
  if (theForm == nullptr) theForm = NewComponent<TProgressForm>(Application());
  return theForm;
}

void CloseBatchProgressForm() {
  if (theForm != nullptr && theForm->GetVisible()) theForm->Close();
}
