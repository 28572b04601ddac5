#include "quillo/tools/DropShadowForm.h"

#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/tools/BrushCommands.h"

QUILLO_DEFINE_CLASS(TDropShForm, TForm)

int DropShFormLeft = -1;
int DropShFormTop = 0;

namespace {

constexpr int kClientWidth = 191;
constexpr int kClientHeight = 82;
constexpr int kHelpContext = 1210;
constexpr int kLeastDepth = 1;
constexpr int kMostDepth = 999;

template <class T>
T* Child(TDropShForm* form, const char* name, int left, int top, int width, int height) {
  auto* control = NewNamedComponent<T>(form, name);
  control->SetParent(form);
  control->SetBounds(left, top, width, height);
  return control;
}

}  // namespace

TDropShForm::TDropShForm(TComponent* owner) : TForm(owner) {
  SetName("DropShForm");
  SetBorderStyle(bsToolWindow);
  SetBorderIcons({biSystemMenu});
  SetFormStyle(fsStayOnTop);
  SetKeyPreview(true);
  SetHelpContext(kHelpContext);
  SetColor(clBtnFace);
  GetFont()->SetName("MS Sans Serif");
  GetFont()->SetSize(8);
  SetCaption("Drop Shadow");
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  BuildComponents();
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnDestroy = [this](TObject* sender) { FormDestroy(sender); };
  TranslateForm("[DropShForm]");
  ShDir->SetItemIndex(0);
  Place();
}

TDropShForm::~TDropShForm() = default;

void TDropShForm::BuildComponents() {
  Cap = NewNamedComponent<TBandCaption>(this, "Cap");
  Cap->SetApplicationName("Drop Shadow");
  Cap->SetActiveBeginColor(clActiveCaption);
  Cap->SetActiveEndColor(ActiveCaptionEndColor);
  Cap->SetInactiveBeginColor(clInactiveCaption);
  Cap->SetInactiveEndColor(InactiveCaptionEndColor);
  ShDir = Child<TComboBox>(this, "ShDir", 96, 6, 90, 21);
  ShDir->SetStyle(csDropDownList);
  for (const char* item : {"East", "South-East", "South", "South-West"}) ShDir->GetItems()->Add(item);
  ShDir->SetHint("Shadow Direction");
  ShDirLab = Child<TLabel>(this, "ShDirLab", 6, 9, 86, 13);
  ShDirLab->SetCaption("Direction");
  ShDirLab->SetFocusControl(ShDir);
  ShDepth = Child<TExSpinEdit>(this, "ShDepth", 96, 31, 90, 21);
  ShDepth->SetMinValue(kLeastDepth);
  ShDepth->SetMaxValue(kMostDepth);
  ShDepth->SetValue(1);
  ShDepth->SetAlignment(taRightJustify);
  ShDepth->SetHint("Shadow Depth");
  ShDepthLab = Child<TLabel>(this, "ShDepthLab", 6, 34, 86, 13);
  ShDepthLab->SetCaption("Depth in Points");
  ShDepthLab->SetFocusControl(ShDepth);
  OkBtn = Child<TButton>(this, "OkBtn", 4, 56, 58, 22);
  OkBtn->SetCaption("&Ok");
  OkBtn->SetHint("Cast Shadow");
  OkBtn->OnClick = [this](TObject* sender) { OkBtnClick(sender); };
  CancelBtn = Child<TButton>(this, "CancelBtn", 66, 56, 58, 22);
  CancelBtn->SetCaption("&Cancel");
  CancelBtn->SetHint("Abandon Operation");
  CancelBtn->OnClick = [this](TObject* sender) { CancelBtnClick(sender); };
  HelpBtn = Child<TButton>(this, "HelpBtn", 128, 56, 58, 22);
  HelpBtn->SetCaption("&Help");
  HelpBtn->OnClick = [this](TObject* sender) { HelpBtnClick(sender); };
  SetActiveControl(ShDir);
}

// The first time centred on the work area; afterwards where the user left it.
void TDropShForm::Place() {
  if (DropShFormLeft != -1) {
    SetBounds(DropShFormLeft, DropShFormTop, GetWidth(), GetHeight());
    return;
  }
  const int workWidth = WorkArea.right - WorkArea.left, workHeight = WorkArea.bottom - WorkArea.top;
  SetBounds((workWidth - GetWidth()) / 2, (workHeight - GetHeight()) / 2, GetWidth(), GetHeight());
}

void TDropShForm::OkBtnClick(TObject*) {
  const int index = ShDir->GetItemIndex();
  const auto direction = static_cast<ShadowDirection>(index >= 0 && index <= 3 ? index : 0);
  SetModalResult(DropShadowCommand(static_cast<int>(ShDepth->GetValue()), direction) ? mrOk : mrCancel);
}

void TDropShForm::CancelBtnClick(TObject*) { SetModalResult(mrCancel); }

void TDropShForm::HelpBtnClick(TObject*) { Application()->HelpContext(GetHelpContext()); }

void TDropShForm::FormKeyDown(TObject* sender, WORD& key, TShiftState) {
  if (key == VK_ESCAPE) {
    CancelBtnClick(sender);
    key = 0;
  } else if (key == VK_RETURN) {
    OkBtnClick(sender);
    key = 0;
  }
}

void TDropShForm::FormDestroy(TObject*) {
  DropShFormLeft = GetLeft();
  DropShFormTop = GetTop();
}
