#include "quillo/shell/AboutPanel.h"

#include "platform/rtl/SysUtils.h"
#include "platform/user/User.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Screen.h"
#include "quillo/shell/AboutPicture.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/shell/MainForm.h"

TAboutPanel* AboutPanel = nullptr;

QUILLO_DEFINE_CLASS(TAboutPanel, TForm)

namespace {

// The hand the main window registers among the tools' cursors.
constexpr TCursor HandCursor = -54;

// The picture sits inside the panel's raised edge.
constexpr int PictureInset = 2;
constexpr int PanelWidth = 441;
constexpr int PanelHeight = 341;

}  // namespace

TAboutPanel::TAboutPanel(TComponent* owner) : TForm(owner) {
  SetName("AboutPanel");
  SetBorderStyle(bsNone);
  SetFormStyle(fsStayOnTop);
  SetKeyPreview(true);
  SetClientWidth(PanelWidth);
  SetClientHeight(PanelHeight);

  Panel1 = NewComponent<TPanel>(this);
  Panel1->SetName("Panel1");
  Panel1->SetCaption("");
  Panel1->SetBounds(0, 0, PanelWidth, PanelHeight);
  Panel1->SetParent(this);
  Panel1->OnClick = [this](TObject* sender) { FormDeactivate(sender); };

  Image1 = NewComponent<TImage>(this);
  Image1->SetName("Image1");
  Image1->SetBounds(PictureInset, PictureInset, AboutPictureWidth, AboutPictureHeight);
  Image1->SetParent(Panel1);
  TCanvas* canvas = Image1->GetCanvas();  // a bitmap of the control's size
  PaintAboutPicture(canvas, LangMessage(LangKey("Quillory")), LangMessage(LangKey("AboutTagline")));
  // What is drawn later over the picture matches its corner.
  canvas->GetBrush()->SetColor(canvas->GetPixel(0, 0));
  Image1->OnMouseMove = [this](TObject* sender, TShiftState shift, int x, int y) { Image1MouseMove(sender, shift, x, y); };
  Image1->OnMouseDown = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    Image1MouseDown(sender, button, shift, x, y);
  };
  Image1->OnClick = [this](TObject* sender) { FormDeactivate(sender); };

  VersionLab = NewComponent<TLabel>(this);
  VersionLab->SetName("VersionLab");
  VersionLab->SetTransparent(true);
  VersionLab->GetFont()->SetName("Arial");
  VersionLab->GetFont()->SetSize(10);
  VersionLab->GetFont()->SetStyle(fsBold);
  VersionLab->GetFont()->SetColor(static_cast<TColor>(0xFFDCDC));
  VersionLab->SetLeft(PictureInset + 14);
  VersionLab->SetTop(PictureInset + 296);
  VersionLab->SetCaption(AnsiString("v") + IntToStr(VersionMajor) + "." + IntToStr(VersionMinor));
  VersionLab->SetParent(Panel1);
  VersionLab->OnClick = [this](TObject* sender) { FormDeactivate(sender); };

  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnDeactivate = [this](TObject* sender) { FormDeactivate(sender); };
  OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
  TranslateForm("[AboutPanel]");
  AboutPanel = this;
}

TAboutPanel::~TAboutPanel() {
  if (AboutPanel == this) AboutPanel = nullptr;
}

void TAboutPanel::Image1MouseMove(TObject*, TShiftState, int x, int y) {
  const TCursor wanted = InAboutLinkArea(x, y) ? HandCursor : crDefault;
  if (Image1->GetCursor() == wanted) return;
  Image1->SetCursor(wanted);
  // The pointer is over the picture already: the new shape shows now, not on the next move.
  ::SetCursor(Screen()->Cursors(wanted));
}

void TAboutPanel::Image1MouseDown(TObject*, TMouseButton, TShiftState, int x, int y) {
  if (InAboutLinkArea(x, y) && MainForm) MainForm->HomepageClick(this);
  else Close();
}

void TAboutPanel::FormKeyDown(TObject*, WORD& key, TShiftState) {
  key = 0;
  Close();
}

void TAboutPanel::FormDeactivate(TObject*) { Close(); }

void TAboutPanel::FormClose(TObject*, TCloseAction& action) { action = caFree; }

TAboutPanel* ShowAboutPanel() {
  auto* panel = Application()->CreateForm<TAboutPanel>();
  panel->SetBounds((Screen()->GetWidth() - panel->GetWidth()) / 2, (Screen()->GetHeight() - panel->GetHeight()) / 2,
                   panel->GetWidth(), panel->GetHeight());
  panel->Show();
  panel->Update();
  return panel;
}

void BeginSplash(bool show) {
  if (show) {
    ShowAboutPanel();
    return;
  }
  auto* panel = Application()->CreateForm<TAboutPanel>();
  panel->Close();
}

void EndSplash() {
  if (AboutPanel) AboutPanel->Close();
}
