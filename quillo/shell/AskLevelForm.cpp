#include "quillo/shell/AskLevelForm.h"

#include "platform/vcl/Application.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/base/FormTranslator.h"

QUILLO_DEFINE_CLASS(TAskLevelForm, TForm)

namespace {

constexpr int ClientWidth = 320;
constexpr int ButtonWidth = 88;
constexpr int ButtonHeight = 25;
constexpr int ButtonTop = 74;
constexpr int ButtonGap = 16;

}  // namespace

TAskLevelForm::TAskLevelForm(TComponent* owner) : TForm(owner) {
  SetName("AskLevelForm");
  SetBorderStyle(bsToolWindow);
  SetBorderIcons({biSystemMenu});
  SetPosition(poScreenCenter);
  SetColor(clBtnFace);
  GetFont()->SetName("MS Sans Serif");
  GetFont()->SetSize(8);
  SetClientWidth(ClientWidth);
  SetClientHeight(ButtonTop + ButtonHeight + 12);

  Cap = NewNamedComponent<TBandCaption>(this, "Cap");
  Cap->SetActiveBeginColor(clActiveCaption);
  Cap->SetInactiveBeginColor(clInactiveCaption);
  Cap->SetNumColors(64);

  Info = NewNamedComponent<TLabel>(this, "Info");
  Info->SetWordWrap(true);
  Info->SetAutoSize(false);
  Info->SetBounds(12, 10, ClientWidth - 24, ButtonTop - 16);
  Info->SetParent(this);

  const int left = (ClientWidth - 2 * ButtonWidth - ButtonGap) / 2;
  NoviceBtn = NewNamedComponent<TButton>(this, "NoviceBtn");
  NoviceBtn->SetBounds(left, ButtonTop, ButtonWidth, ButtonHeight);
  NoviceBtn->SetModalResult(mrOk);
  NoviceBtn->SetDefault(true);
  NoviceBtn->SetParent(this);
  NoviceBtn->OnClick = [this](TObject* sender) { NoviceBtnClick(sender); };
  ExpertBtn = NewNamedComponent<TButton>(this, "ExpertBtn");
  ExpertBtn->SetBounds(left + ButtonWidth + ButtonGap, ButtonTop, ButtonWidth, ButtonHeight);
  ExpertBtn->SetModalResult(mrOk);
  ExpertBtn->SetParent(this);
  ExpertBtn->OnClick = [this](TObject* sender) { ExpertBtnClick(sender); };

  TranslateComponent(this, "[AskLevelForm]");
}

void TAskLevelForm::NoviceBtnClick(TObject*) { Level = 0; }
void TAskLevelForm::ExpertBtnClick(TObject*) { Level = 1; }

int AskUserLevel() {
  // The holder frees it; freeing takes it off the application's list.
  TOwnedPtr<TAskLevelForm> form(NewComponent<TAskLevelForm>(Application()));
  form->ShowModal();
  return form->Level;
}
