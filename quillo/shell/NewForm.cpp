#include "quillo/shell/NewForm.h"

#include <algorithm>
#include <cstdint>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/GlobalMemory.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/components/labels/ExLabel.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/DialogPlace.h"
#include "quillo/shell/MainForm.h"
#include "quillo/base/Settings.h"
#include "quillo/document/Zoom.h"

QUILLO_DEFINE_CLASS(TNewForm, TForm)

int NewFormLeft = -1;
int NewFormTop = 0;

namespace {

constexpr int kClientWidth = 190;
constexpr int kClientHeight = 82;
constexpr int kHelpContext = 1110;
// The values the size fields hold before the main window's size is put in.
constexpr int kFirstWidth = 192;
constexpr int kFirstHeight = 128;

TExSpinEdit* SizeField(TNewForm* form, const char* name, int top, int value) {
  auto* field = NewNamedComponent<TExSpinEdit>(form, name);
  field->SetParent(form);
  field->SetBounds(64, top, 118, 21);
  field->SetMinValue(NewImageLeastSize);
  field->SetMaxValue(NewImageMostSize);
  field->SetValue(value);
  field->SetAlignment(taRightJustify);
  return field;
}

TExLabel* FieldLabel(TNewForm* form, const char* name, const char* caption, int top, TWinControl* field) {
  auto* label = NewNamedComponent<TExLabel>(form, name);
  label->SetParent(form);
  label->SetBounds(8, top + 3, 52, 13);
  label->SetCaption(caption);
  label->SetFocusControl(field);
  return label;
}

TButton* DialogButton(TNewForm* form, const char* name, const char* caption, int left, TModalResult result) {
  auto* button = NewNamedComponent<TButton>(form, name);
  button->SetParent(form);
  button->SetBounds(left, 56, 58, 22);
  button->SetCaption(caption);
  button->SetModalResult(result);
  return button;
}

}  // namespace

TNewForm::TNewForm(TComponent* owner) : TForm(owner) {
  SetName("NewForm");
  SetBorderStyle(bsToolWindow);
  SetBorderIcons({biSystemMenu});
  SetKeyPreview(true);
  SetHelpContext(kHelpContext);
  SetColor(clBtnFace);
  GetFont()->SetName("MS Sans Serif");
  GetFont()->SetSize(8);
  SetCaption("New Image");
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  BuildComponents();
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnDestroy = [this](TObject* sender) { FormDestroy(sender); };
  OnDeactivate = [this](TObject* sender) { FormDeactivate(sender); };
  TranslateForm("[NewForm]");
  PlaceOnWorkArea();
}

TNewForm::~TNewForm() = default;

void TNewForm::BuildComponents() {
  Cap = MakeDialogCaption(this, "New Image");
  SizeX = SizeField(this, "SizeX", 6, kFirstWidth);
  SizeY = SizeField(this, "SizeY", 30, kFirstHeight);
  ExLabel1 = FieldLabel(this, "ExLabel1", "Size &X", 6, SizeX);
  ExLabel2 = FieldLabel(this, "ExLabel2", "Size &Y", 30, SizeY);
  OkBtn = DialogButton(this, "OkBtn", "&Ok", 4, mrOk);
  CancelBtn = DialogButton(this, "CancelBtn", "&Cancel", 66, mrCancel);
  CancelBtn->SetCancel(true);
  HelpBtn = DialogButton(this, "HelpBtn", "&Help", 128, mrNone);
  HelpBtn->OnClick = [this](TObject* sender) { HelpBtnClick(sender); };
  SetActiveControl(SizeX);
}

// The first time centred on the work area; afterwards where the user left it.
void TNewForm::PlaceOnWorkArea() { PlaceDialog(this, NewFormLeft, NewFormTop); }

void TNewForm::FormKeyDown(TObject*, WORD& key, TShiftState) {
  if (key == VK_ESCAPE) {
    SetModalResult(mrCancel);
    key = 0;
  } else if (key == VK_RETURN) {
    SetModalResult(mrOk);
    key = 0;
  }
}

void TNewForm::HelpBtnClick(TObject*) { Application()->HelpContext(GetHelpContext()); }

void TNewForm::FormDestroy(TObject*) {
  NewFormLeft = GetLeft();
  NewFormTop = GetTop();
}

void TNewForm::FormDeactivate(TObject*) { KeepDialogInFront(this); }

namespace {

std::uint64_t FreeMemoryAndSwap() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return UINT64_MAX;
  return status.ullAvailPageFile;
}

}  // namespace

MemoryQuery NewImageMemoryAvailable = FreeMemoryAndSwap;

std::uint64_t NewImageBytes(int width, int height) {
  const std::uint64_t pixels = static_cast<std::uint64_t>(std::max(width, 0)) * static_cast<std::uint64_t>(std::max(height, 0));
  return pixels * 4 + (pixels + 7) / 8;
}

TImageForm* CreateNewImage() {
  const TPoint size = MainForm->LastImageSize;
  if (NewImageBytes(size.x, size.y) > NewImageMemoryAvailable()) throw EOutOfMemory(RtlText::OutOfMemory);
  const bool maximised = ImageForm != nullptr && ImageForm->GetWindowState() == wsMaximized;
  // Filled with the background colour as it is made.
  TImageForm* window = CreateDocumentWindow(size.x, size.y, "");
  try {
    ApplyZoom();
    if (maximised) {
      window->SetWindowState(wsMaximized);
      GatherToolbars(window, GatherWhich::AlsoMainToolbar);
    }
    UpdateDocumentCaption(window, CaptionMode::Long);
    window->Show();
    FitWindowToImage(window, Settings.FixZoom ? FitZoom::FixedSetting : FitZoom::Fitting);
  } catch (...) {
    // A window half made goes again.
    FreeObject(window);
    throw;
  }
  return window;
}
