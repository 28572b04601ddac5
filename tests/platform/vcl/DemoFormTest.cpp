// The framework all together: a form with nested panels, aligned and anchored custom-drawn
// controls, a windowless control, a timer, an image list and a modal child form, built in
// code, shown, clicked, typed into, resized, run modally and closed through the UI driver,
// with its pixels checked where a user would look.
//
// QUILLO_DEMO_HOLD_MS=n keeps the shown form on the screen for n milliseconds of real time
// (run with QUILLO_HOST=sdl to look at it or take a screenshot).

#include "VclFixture.h"

#include "ImageListUser.h"

#include <chrono>
#include <cstdlib>

#include "platform/rtl/Clock.h"
#include "platform/user/Desktop.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/Timer.h"

namespace {

// A bevelled panel with a caption, as the classic look draws one.
class TDemoPanel : public TCustomControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TDemoPanel(TComponent* owner) : TCustomControl(owner) {
    controlStyle_ << csAcceptsControls;
    SetColor(clBtnFace);
  }

protected:
  void Paint() override {
    TCanvas* c = GetCanvas();
    RECT r = GetClientRect();
    c->GetBrush()->SetColor(GetColor());
    c->FillRect(r);
    DrawEdge(c->GetHandle(), &r, BDR_RAISEDINNER, BF_RECT);
    c->GetBrush()->SetStyle(bsClear);
    c->GetFont()->Assign(GetFont());
    SelectObject(c->GetHandle(), c->GetFont()->GetHandle());
    SetBkMode(c->GetHandle(), TRANSPARENT);
    RECT text = r;
    DrawText(c->GetHandle(), GetCaption().c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
};
QUILLO_DEFINE_CLASS(TDemoPanel, TCustomControl)

// A sunken white field that shows what was typed into it and takes the focus when clicked.
class TDemoField : public TCustomControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TDemoField(TComponent* owner) : TCustomControl(owner) {
    SetParentColor(false);  // white whatever its parent's colour
    SetColor(clWindow);
    SetTabStop(true);
  }
  AnsiString Typed;

protected:
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
    if (CanFocus()) SetFocus();
    TCustomControl::MouseDown(b, s, x, y);
  }
  void KeyPress(char& key) override {
    TCustomControl::KeyPress(key);
    if (key >= ' ') {
      Typed += key;
      Invalidate();
    }
  }
  void Paint() override {
    TCanvas* c = GetCanvas();
    RECT r = GetClientRect();
    c->GetBrush()->SetColor(GetColor());
    c->FillRect(r);
    DrawEdge(c->GetHandle(), &r, EDGE_SUNKEN, BF_RECT);
    c->GetFont()->Assign(GetFont());
    c->TextOut(4, 3, Typed);
    if (Focused()) {
      RECT f{2, 2, r.right - 2, r.bottom - 2};
      DrawFocusRect(c->GetHandle(), &f);
    }
  }
};
QUILLO_DEFINE_CLASS(TDemoField, TCustomControl)

// A push button drawn in the classic style that sets a modal result when clicked.
class TDemoButton : public TCustomControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TDemoButton(TComponent* owner) : TCustomControl(owner) { SetColor(clBtnFace); }
  TModalResult Result = mrNone;

protected:
  void Click() override {
    TCustomControl::Click();
    if (Result != mrNone)
      if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(Result);
  }
  void Paint() override {
    TCanvas* c = GetCanvas();
    RECT r = GetClientRect();
    DrawFrameControl(c->GetHandle(), &r, DFC_BUTTON, DFCS_BUTTONPUSH);
    c->GetBrush()->SetStyle(bsClear);
    c->GetFont()->Assign(GetFont());
    SelectObject(c->GetHandle(), c->GetFont()->GetHandle());
    SetBkMode(c->GetHandle(), TRANSPARENT);
    DrawText(c->GetHandle(), GetCaption().c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
};
QUILLO_DEFINE_CLASS(TDemoButton, TCustomControl)

// A tool button that shows one image of an image list, embossed while disabled. It hears of
// the list's changes through a change link, and of the list's end through FreeNotification.
class TDemoGlyph : public TImageListUser {
  QUILLO_DECLARE_CLASS()

public:
  static constexpr int kMargin = 5;

  explicit TDemoGlyph(TComponent* owner) : TImageListUser(owner) { SetColor(clBtnFace); }
  int ImageIndex = 0;

protected:
  void Paint() override {
    TCanvas* c = GetCanvas();
    RECT r = GetClientRect();
    c->GetBrush()->SetColor(GetColor());
    c->FillRect(r);
    DrawEdge(c->GetHandle(), &r, BDR_RAISEDINNER, BF_RECT);
    if (GetImages()) GetImages()->Draw(c, kMargin, kMargin, ImageIndex, GetEnabled());
  }
  // A windowed control is not repainted for a change of Enabled unless it asks.
  void Dispatch(TMessage& m) override {
    if (m.Msg == CM_ENABLEDCHANGED) Invalidate();
    TImageListUser::Dispatch(m);
  }
};
QUILLO_DEFINE_CLASS(TDemoGlyph, TImageListUser)

// A 16 x 16 glyph: a square of colour at (4, 4)-(12, 12) on the fuchsia key colour.
TOwnedPtr<TBitmap> SquareGlyph(TColor colour) {
  auto b = MakeObject<TBitmap>();
  b->SetSize(16, 16);
  b->GetCanvas()->GetBrush()->SetColor(clFuchsia);
  b->GetCanvas()->FillRect(TRect(0, 0, 16, 16));
  b->GetCanvas()->GetBrush()->SetColor(colour);
  b->GetCanvas()->FillRect(TRect(4, 4, 12, 12));
  return b;
}

class TDemoDialog : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TDemoDialog(TComponent* owner) : TForm(owner) {
    SetName("DemoDialog");
    SetCaption("Confirm");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(220);
    SetClientHeight(90);
    Ok = NewComponent<TDemoButton>(this);
    Ok->SetName("OkButton");
    Ok->SetParent(this);
    Ok->SetCaption("OK");
    Ok->SetBounds(40, 50, 70, 24);
    Ok->Result = mrOk;
    Cancel = NewComponent<TDemoButton>(this);
    Cancel->SetName("CancelButton");
    Cancel->SetParent(this);
    Cancel->SetCaption("Cancel");
    Cancel->SetBounds(120, 50, 70, 24);
    Cancel->Result = mrCancel;
  }
  TDemoButton* Ok;
  TDemoButton* Cancel;
};
QUILLO_DEFINE_CLASS(TDemoDialog, TForm)

class TDemoForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TDemoForm(TComponent* owner) : TForm(owner) {
    SetName("DemoForm");
    SetCaption("Framework demonstration");
    SetBounds(120, 90, 520, 360);
    ToolBar = Make<TDemoPanel>(this, "ToolBar", alTop, Bounds(0, 0, 100, 34));
    ToolBar->SetCaption("Tools");
    Status = Make<TDemoPanel>(this, "Status", alBottom, Bounds(0, 0, 100, 22));
    Side = Make<TDemoPanel>(this, "Side", alLeft, Bounds(0, 0, 120, 100));
    Side->SetCaption("");
    Body = Make<TDemoPanel>(this, "Body", alClient, Bounds(0, 0, 100, 100));
    Body->SetColor(clWindow);
    Body->SetCaption("");
    Inner = Make<TDemoPanel>(Body, "Inner", alNone, Bounds(16, 16, 200, 120));
    Inner->SetCaption("");
    Field = Make<TDemoField>(Inner, "Field", alNone, Bounds(12, 14, 170, 22));
    Apply = Make<TDemoButton>(Inner, "Apply", alNone, Bounds(110, 82, 75, 24));
    Apply->SetCaption("Apply...");
    Apply->SetAnchors(TAnchors{akRight, akBottom});
    Apply->SetTabStop(true);
    Corner = Make<TDemoButton>(Body, "Corner", alNone, Bounds(260, 200, 90, 26));
    Corner->SetCaption("Corner");
    Corner->SetAnchors(TAnchors{akRight, akBottom});
    Images = NewComponent<TImageList>(this, 16, 16);
    Images->SetName("Images");
    Images->AddMasked(SquareGlyph(clRed).get(), clFuchsia);
    Glyph = NewComponent<TDemoGlyph>(this);
    Glyph->SetName("Glyph");
    Glyph->SetParent(ToolBar);
    Glyph->SetBounds(4, 4, 26, 26);
    Glyph->SetImages(Images);
    Swatch = NewComponent<TBlock>(this);
    Swatch->SetName("Swatch");
    Swatch->SetParent(Side);
    Swatch->SetBounds(20, 20, 80, 80);
    Swatch->SetColor(clNavy);
    Clock = NewComponent<TTimer>(this);
    Clock->SetName("Clock");
    Clock->SetInterval(500);
    Clock->SetOnTimer([this](TObject*) {
      ++Ticks;
      Status->SetCaption("Ticks: " + std::to_string(Ticks));
    });
    Apply->OnClick = [this](TObject*) {
      auto dialog = MakeObject<TDemoDialog>(this);
      DialogResult = dialog->ShowModal();
      if (DialogResult == mrOk) Swatch->SetColor(clGreen);
    };
  }
  template <class T>
  T* Make(TWinControl* parent, const char* name, TAlign align, TRect bounds) {
    T* c = NewComponent<T>(this);
    c->SetName(name);
    c->SetBoundsRect(bounds);
    c->SetAlign(align);
    c->SetParent(parent);
    return c;
  }
  TDemoPanel* ToolBar;
  TDemoPanel* Status;
  TDemoPanel* Side;
  TDemoPanel* Body;
  TDemoPanel* Inner;
  TDemoField* Field;
  TDemoButton* Apply;
  TDemoButton* Corner;
  TImageList* Images;
  TDemoGlyph* Glyph;
  TBlock* Swatch;
  TTimer* Clock;
  int Ticks = 0;
  TModalResult DialogResult = mrNone;
};
QUILLO_DEFINE_CLASS(TDemoForm, TForm)

// Keeps the desktop shown in real time for a while when asked to (a look at the SDL host).
void HoldForAWhile() {
  const char* hold = std::getenv("QUILLO_DEMO_HOLD_MS");
  if (!hold) return;
  SetManualClock(false);
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::atoi(hold));
  MSG msg;
  while (std::chrono::steady_clock::now() < end) {
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
    FlushDesktop();
    DesktopHost().WaitEvent(20);
  }
  SetManualClock(true);
}

class DemoFormTest : public VclTest {};

TEST_F(DemoFormTest, BuiltShownUsedResizedRunModallyAndClosed) {
  auto* form = Application()->CreateForm<TDemoForm>();
  form->Show();
  ui.RunUntilIdle();
  // What the user sees: the panels in their places, the navy swatch, the white body.
  TRect c = form->GetClientRect();
  EXPECT_EQ(form->ToolBar->GetBoundsRect(), TRect(0, 0, c.right, 34));
  EXPECT_EQ(form->Status->GetTop(), c.bottom - 22);
  EXPECT_EQ(form->Body->GetBoundsRect(), TRect(120, 34, c.right, c.bottom - 22));
  EXPECT_EQ(PixelOf(form->Swatch, 40, 40), Rgb(clNavy));
  EXPECT_EQ(PixelOf(form->Body, form->Body->GetClientWidth() - 20, 10), Rgb(clWindow));
  EXPECT_EQ(PixelOf(form->ToolBar, 0, 10), Rgb(clBtnHighlight));  // the raised edge
  EXPECT_EQ(PixelOf(form->Field, 0, 10), Rgb(clBtnShadow));       // the sunken edge
  RECT frame;
  GetWindowRect(form->GetHandle(), &frame);
  std::uint32_t caption = ui.Pixel(frame.left + 40, frame.top + 10);
  EXPECT_GT(caption & 0xFF, 0x60u);  // the active caption's blue
  EXPECT_LT(caption >> 16, 0x40u);

  // Typed into after a click.
  ClickOn(form->Field, 30, 10);
  EXPECT_EQ(form->GetActiveControl(), form->Field);
  ui.Type("Hello");
  ui.RunUntilIdle();
  EXPECT_EQ(form->Field->Typed, "Hello");
  form->Clock->SetEnabled(false);  // the held time is not the test's
  HoldForAWhile();
  form->Clock->SetEnabled(true);
  int ink = 0;  // the typed text shows as dark pixels on the white field
  for (int y = 3; y < 17; ++y)
    for (int x = 4; x < 40; ++x) ink += (PixelOf(form->Field, x, y) & 0xFF) < 0x80;
  EXPECT_GT(ink, 20);

  // The timer ticks into the status panel.
  ui.Advance(500);
  ui.Advance(500);
  EXPECT_EQ(form->Ticks, 2);
  EXPECT_EQ(form->Status->GetCaption(), "Ticks: 2");

  // Resized by its border: the aligned panels follow, the anchored button keeps its corner.
  int cornerRight = form->Body->GetClientWidth() - form->Corner->GetLeft();
  int cornerBottom = form->Body->GetClientHeight() - form->Corner->GetTop();
  GetWindowRect(form->GetHandle(), &frame);
  ui.Drag(POINT{frame.right - 2, frame.bottom - 2}, POINT{frame.right + 120, frame.bottom + 80});
  ui.RunUntilIdle();
  c = form->GetClientRect();
  EXPECT_EQ(form->ToolBar->GetWidth(), c.right);
  EXPECT_EQ(form->Status->GetTop(), c.bottom - 22);
  EXPECT_EQ(form->Body->GetClientWidth() - form->Corner->GetLeft(), cornerRight);
  EXPECT_EQ(form->Body->GetClientHeight() - form->Corner->GetTop(), cornerBottom);
  EXPECT_EQ(PixelOf(form->Corner, 1, 1), Rgb(clBtnHighlight));  // painted at its new place

  // Run modally: Apply opens the dialog, its OK closes it, and the swatch turns green.
  bool mainDisabled = false;
  ui.WhenModalWaits([&] {
    HWND dialog = FindWindow("TDemoDialog", "Confirm");
    ASSERT_TRUE(dialog);
    mainDisabled = !IsWindowEnabled(form->GetHandle());
    TWinControl* ok = FindControl(dialog)->FindChildControl("OkButton");
    ASSERT_TRUE(ok);
    ClickOn(ok, 10, 10);
  });
  ClickOn(form->Apply, 10, 10);
  EXPECT_TRUE(mainDisabled);
  EXPECT_EQ(form->DialogResult, mrOk);
  ui.RunUntilIdle();
  EXPECT_EQ(PixelOf(form->Swatch, 40, 40), Rgb(clGreen));
  EXPECT_FALSE(FindWindow("TDemoDialog", nullptr));  // the dialog was freed

  // The tool button's glyph from the image list: the red square on the button's face, then
  // embossed while the button is disabled, then the list's new image through its change link.
  const int g = TDemoGlyph::kMargin;
  EXPECT_EQ(form->Images->Owner(), form);
  EXPECT_EQ(PixelOf(form->Glyph, g + 6, g + 6), Rgb(clRed));
  EXPECT_EQ(PixelOf(form->Glyph, g + 1, g + 1), Rgb(clBtnFace));  // the key colour is transparent
  form->Glyph->SetEnabled(false);
  ui.RunUntilIdle();
  EXPECT_EQ(PixelOf(form->Glyph, g + 6, g + 6), Rgb(clBtnShadow));
  EXPECT_EQ(PixelOf(form->Glyph, g + 12, g + 12), Rgb(clBtnHighlight));  // the copy right and down
  EXPECT_EQ(PixelOf(form->Glyph, g + 1, g + 1), Rgb(clBtnFace));
  form->Glyph->SetEnabled(true);
  form->Images->ReplaceMasked(0, SquareGlyph(clBlue).get(), clFuchsia);
  ui.RunUntilIdle();
  EXPECT_EQ(PixelOf(form->Glyph, g + 6, g + 6), Rgb(clBlue));
  // The list freed under the button: the button lets go of it and paints its bare face.
  FreeAndNil(form->Images);
  EXPECT_EQ(form->FindComponent("Images"), nullptr);
  EXPECT_EQ(form->Glyph->GetImages(), nullptr);
  form->Glyph->Invalidate();
  ui.RunUntilIdle();
  EXPECT_EQ(PixelOf(form->Glyph, g + 6, g + 6), Rgb(clBtnFace));

  // Closed: the main form ends the application.
  PostMessage(form->GetHandle(), WM_CLOSE, 0, 0);
  ui.RunUntilIdle();
  EXPECT_TRUE(Application()->Terminated());
}

}  // namespace
