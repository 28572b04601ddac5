// The gradient caption form on the headless desktop: the caption's bands, text and buttons in
// pixels, active and inactive; buttons where the window manager hit-tests them; the kept
// caption text and WM_GETTEXT's terminator; the property table.

#include "CaptionFixture.h"

#include <cstring>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/TypInfo.h"
#include "quillo/components/captions/CaptionGeometry.h"
#include "quillo/components/captions/GradientForm.h"

using namespace captions;

namespace {

class GradientFormTest : public CaptionUiTest {
protected:
  void SetUp() override {
    form = NewComponent<TGradientForm>(Application());
    form->SetBounds(100, 100, 400, 200);
    form->SetCaption("Gradient form");
    form->SetUseDithering(false);
    form->SetCaptionTextColor(clAqua);
    form->SetInactiveCaptionTextColor(clYellow);
    form->Show();
    ui.RunUntilIdle();
  }
  // The caption rectangle on the screen.
  TRect Caption() {
    TRect w = WindowRect(form);
    TRect c = GradientCaptionRect(bsSizeable, false, false, w.Width(), w.Height());
    return TRect(w.left + c.left, w.top + c.top, w.left + c.right, w.top + c.bottom);
  }
  // Pixels of one colour in the caption, and the columns they span.
  struct Found {
    int count = 0, minX = 1 << 20, maxX = -1;
  };
  // Left of the buttons (whose edges have white of their own).
  Found FindInCaption(std::uint32_t colour) {
    TRect c = Caption();
    Found f;
    const int buttonsLeft = c.right - 52;
    for (int y = c.top; y < c.bottom; ++y)
      for (int x = c.left; x < buttonsLeft; ++x)
        if (ui.Pixel(x, y) == colour) {
          ++f.count;
          f.minX = std::min(f.minX, x - c.left);
          f.maxX = std::max(f.maxX, x - c.left);
        }
    return f;
  }
  static bool Near(std::uint32_t got, std::uint32_t want, int tolerance) {
    for (int shift : {0, 8, 16})
      if (std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)) > tolerance) return false;
    return true;
  }
  void ExpectGradient(TColor start, TColor stop) {
    TRect c = Caption();
    EXPECT_EQ(ui.Pixel(c.left, c.top), Rgb(start));
    EXPECT_TRUE(Near(ui.Pixel(c.right - 1, c.top), Rgb(stop), 8)) << std::hex << ui.Pixel(c.right - 1, c.top);
    // Each channel moves one way only along the top row.
    for (int shift : {0, 8, 16}) {
      int sign = int((Rgb(stop) >> shift) & 0xFF) - int((Rgb(start) >> shift) & 0xFF);
      for (int x = c.left + 1; x < c.right; ++x) {
        int step = int((ui.Pixel(x, c.top) >> shift) & 0xFF) - int((ui.Pixel(x - 1, c.top) >> shift) & 0xFF);
        ASSERT_GE(step * sign, 0) << "x " << x - c.left;
      }
    }
  }
  TGradientForm* form = nullptr;
};

TEST_F(GradientFormTest, ActiveCaptionIsAGradientWithTextBetweenIconAndButtons) {
  ASSERT_EQ(GetActiveWindow(), form->GetHandle());
  ExpectGradient(clBlack, clActiveCaption);
  // The text in CaptionTextColor, right of the icon and left of the buttons.
  const TRect c = Caption();
  TCaptionButtonLayout buttons = GradientCaptionButtons(TRect(1, 0, c.Width(), c.Height()), bsSizeable,
                                                        form->GetBorderIcons(), false);
  Found text = FindInCaption(Rgb(clAqua));
  EXPECT_GT(text.count, 20);
  EXPECT_GE(text.minX, 1 + 16 + 1 + 2);
  EXPECT_LT(text.maxX, buttons.textRight);
  // The buttons are drawn where the window manager hit-tests them, and clicking one works.
  const int hits[] = {HTCLOSE, HTMAXBUTTON, HTMINBUTTON};
  for (int kind : {cbClose, cbMaximize, cbMinimize}) {
    TRect b = buttons.buttons[static_cast<size_t>(kind)].rect;
    ASSERT_GT(b.Width(), 0);
    EXPECT_EQ(ui.Pixel(c.left + b.left + 2, c.top + b.top + 2), Rgb(clBtnFace)) << kind;
    POINT centre{c.left + (b.left + b.right) / 2, c.top + (b.top + b.bottom) / 2};
    EXPECT_EQ(SendMessage(form->GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y)), hits[kind]) << kind;
  }
  TRect close = buttons.buttons[cbClose].rect;
  ui.Click(c.left + (close.left + close.right) / 2, c.top + (close.top + close.bottom) / 2);
  EXPECT_FALSE(form->GetVisible());
}

TEST_F(GradientFormTest, HeldCaptionButtonIsDrawnPushedOnTheGradient) {
  const TRect c = Caption();
  TCaptionButtonLayout buttons = GradientCaptionButtons(TRect(1, 0, c.Width(), c.Height()), bsSizeable,
                                                        form->GetBorderIcons(), false);
  const TRect b = buttons.buttons[cbMaximize].rect;
  const POINT centre{c.left + (b.left + b.right) / 2, c.top + (b.top + b.bottom) / 2};
  const std::uint32_t raisedEdge = ui.Pixel(c.left + b.left + 1, c.top + b.top + 1);
  std::uint32_t heldEdge = 0, heldGradient = 1;
  // Held: pushed, with the gradient around it; released off the button: nothing happens.
  ui.WhenModalWaits([&] {
    heldEdge = ui.Pixel(c.left + b.left + 1, c.top + b.top + 1);
    heldGradient = ui.Pixel(c.left, c.top);
    ui.QueueClick(centre.x - 150, centre.y + 100);
  });
  ui.MouseDown(centre.x, centre.y);
  ui.RunUntilIdle();
  EXPECT_NE(heldEdge, raisedEdge);
  EXPECT_EQ(heldGradient, Rgb(clBlack));
  EXPECT_FALSE(IsZoomed(form->GetHandle()));
  EXPECT_EQ(ui.Pixel(c.left + b.left + 1, c.top + b.top + 1), raisedEdge);
  // Released on it: the window maximises, its caption still the gradient.
  ui.Click(centre.x, centre.y);
  EXPECT_TRUE(IsZoomed(form->GetHandle()));
  RECT w{};
  GetWindowRect(form->GetHandle(), &w);
  TRect zoomed = GradientCaptionRect(bsSizeable, false, false, w.right - w.left, w.bottom - w.top);
  EXPECT_EQ(ui.Pixel(w.left + zoomed.left, w.top + zoomed.top), Rgb(clBlack));
}

TEST_F(GradientFormTest, InactiveCaptionUsesTheInactiveColoursAndComesBackWhenActivated) {
  auto* other = NewComponent<TForm>(Application());
  other->SetBounds(600, 400, 200, 150);
  other->Show();
  ui.RunUntilIdle();
  ASSERT_NE(GetActiveWindow(), form->GetHandle());
  ExpectGradient(clBlack, clInactiveCaption);
  EXPECT_GT(FindInCaption(Rgb(clYellow)).count, 20);
  EXPECT_EQ(FindInCaption(Rgb(clAqua)).count, 0);

  // A click on the caption activates it again.
  const TRect c = Caption();
  ui.Click(c.left + 150, c.top + 5);
  ASSERT_EQ(GetActiveWindow(), form->GetHandle());
  ExpectGradient(clBlack, clActiveCaption);
  EXPECT_EQ(FindInCaption(Rgb(clYellow)).count, 0);
}

TEST_F(GradientFormTest, StopColoursAndSolidModes) {
  form->SetGradientStartColor(clRed);
  form->SetGradientStopColor(clLime);
  ui.RunUntilIdle();
  ExpectGradient(clRed, clLime);
  // Solid in the system caption colour when the gradient is not wanted.
  form->SetPaintGradient(gfpNever);
  ui.RunUntilIdle();
  const TRect c = Caption();
  for (int x : {0, 100, 200}) EXPECT_EQ(ui.Pixel(c.left + x, c.top), Rgb(clActiveCaption)) << x;
  form->SetPaintGradient(gfpActive);
  ui.RunUntilIdle();
  EXPECT_EQ(ui.Pixel(c.left, c.top), Rgb(clRed));
}

TEST_F(GradientFormTest, DitheredCaptionStartsAtTheStartColourAndEndsNearTheStop) {
  form->SetUseDithering(true);
  form->SetGradientStopColor(clWhite);
  ui.RunUntilIdle();
  const TRect c = Caption();
  for (int y = c.top; y < c.bottom; ++y) EXPECT_EQ(ui.Pixel(c.left, y), Rgb(clBlack)) << y;
  // Only colours of the ramp's bands appear, lighter to the right.
  auto grey = [&](int x) { return int(ui.Pixel(c.left + x, c.top) & 0xFF); };
  EXPECT_LT(grey(40), grey(200));
  EXPECT_GT(grey(c.Width() - 60), 200);
}

TEST_F(GradientFormTest, KeptCaptionAnswersGetTextWithRoomForTheTerminator) {
  HWND window = form->GetHandle();
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(SendMessage(window, WM_GETTEXT, 3, reinterpret_cast<LPARAM>(buffer)), 2);
  EXPECT_STREQ(buffer, "Gr");
  EXPECT_EQ(SendMessage(window, WM_GETTEXTLENGTH, 0, 0), 13);
  // Text set on the window reaches the form's Caption and the painted caption.
  const int before = FindInCaption(Rgb(clAqua)).count;
  SetWindowText(window, "A much longer caption for the form");
  ui.RunUntilIdle();
  EXPECT_EQ(form->GetCaption(), "A much longer caption for the form");
  EXPECT_GT(FindInCaption(Rgb(clAqua)).count, before);
  ExpectGradient(clBlack, clActiveCaption);
}

TEST_F(GradientFormTest, LogoStandsBesideTheButtonsOrTheIconAndTheTextKeepsClearOfIt) {
  TOwnedPtr<TBitmap> logo = MakeObject<TBitmap>();
  logo->SetWidth(30);
  logo->SetHeight(10);
  logo->GetCanvas()->GetBrush()->SetColor(clRed);
  logo->GetCanvas()->FillRect(TRect(0, 0, 30, 10));
  form->SetCaption("A caption long enough to reach the logo at the right end of it");
  form->SetLogo(logo.get());
  ui.RunUntilIdle();
  const TRect c = Caption();
  const int middle = c.top + c.Height() / 2;
  // Right: just left of the buttons; the start colour fills the rest behind the buttons.
  TCaptionButtonLayout buttons = GradientCaptionButtons(TRect(1, 0, c.Width(), c.Height()), bsSizeable,
                                                        form->GetBorderIcons(), false);
  const int logoRight = c.left + buttons.textRight;
  EXPECT_EQ(ui.Pixel(logoRight - 1, middle), Rgb(clRed));
  EXPECT_EQ(ui.Pixel(logoRight - 30, middle), Rgb(clRed));
  EXPECT_NE(ui.Pixel(logoRight - 31, middle), Rgb(clRed));
  EXPECT_EQ(ui.Pixel(c.right - 1, c.top), Rgb(clBlack));
  Found text = FindInCaption(Rgb(clAqua));
  EXPECT_GT(text.count, 20);
  EXPECT_LT(text.maxX, buttons.textRight - 30);
  // Left: right of the icon; the text starts after it.
  form->SetLogoAlign(laLeft);
  ui.RunUntilIdle();
  const int logoLeft = c.left + 1 + 16 + 1;
  EXPECT_EQ(ui.Pixel(logoLeft, middle), Rgb(clRed));
  EXPECT_EQ(ui.Pixel(logoLeft + 29, middle), Rgb(clRed));
  EXPECT_GE(FindInCaption(Rgb(clAqua)).minX, logoLeft + 30 - c.left);
  // Layered: the text may run over it.
  form->SetLogoLayered(true);
  ui.RunUntilIdle();
  EXPECT_LT(FindInCaption(Rgb(clAqua)).minX, logoLeft + 30 - c.left);
}

TEST_F(GradientFormTest, PropertiesAreInTheTableAndBandCountsOutsideTheRangeAreIgnored) {
  for (const char* name : {"CaptionFont", "UseSystemCaptionFont", "GradientColors", "CaptionTextColor",
                           "InactiveCaptionTextColor", "GradientStartColor", "GradientStopColor",
                           "GradientInactiveStartColor", "GradientInactiveStopColor", "PaintGradient",
                           "UseWin98Gradient", "UseDithering", "Logo", "InactiveLogo", "LogoAlign", "LogoLayered",
                           "Version", "Caption"})
    EXPECT_NE(GetPropInfo(form, name), nullptr) << name;
  struct Case {
    int set, want;
  } cases[] = {{7, 64}, {513, 64}, {8, 8}, {512, 512}, {0, 512}};
  for (const Case& c : cases) {
    SetOrdProp(form, "GradientColors", c.set);
    EXPECT_EQ(form->GetGradientColors(), c.want) << c.set;
    EXPECT_EQ(form->ActiveRamp().size(), static_cast<size_t>(c.want));
  }
  SetEnumProp(form, "PaintGradient", "gfpActive");
  EXPECT_EQ(form->GetPaintGradient(), gfpActive);
}

// On a 16-colour screen the system's own caption shows, unless Paint16Color asks for the
// gradient anyway.
TEST(GradientFormScreenTest, SixteenColourScreenKeepsTheSystemCaptionUnlessAsked) {
  TempHome home;
  UiDriver ui(1280, 800, 4);
  auto* form = NewComponent<TGradientForm>(Application());
  form->SetBounds(100, 100, 400, 200);
  form->SetCaption("Sixteen colours");
  form->SetUseDithering(false);
  form->Show();
  ui.RunUntilIdle();
  EXPECT_TRUE(form->InhibitGradient());
  RECT w{};
  GetWindowRect(form->GetHandle(), &w);
  const std::uint32_t system = PixelFromColor(ColorToRGB(clActiveCaption));
  EXPECT_EQ(ui.Pixel(w.left + 30, w.top + 4), system);
  EXPECT_EQ(ui.Pixel(w.left + 300, w.top + 4), system);
  form->SetPaint16Color(true);
  ui.RunUntilIdle();
  EXPECT_FALSE(form->InhibitGradient());
  EXPECT_EQ(ui.Pixel(w.left + 4, w.top + 4), 0u);  // the gradient starts black
  ResetApplication();
}

class TGradientFrame : public TGradientForm {
public:
  explicit TGradientFrame(TComponent* owner) : TGradientForm(owner) { SetFormStyle(fsMDIForm); }
};
class TPlainChild : public TForm {
public:
  explicit TPlainChild(TComponent* owner) : TForm(owner) { SetFormStyle(fsMDIChild); }
};

class GradientFrameTest : public CaptionUiTest {};

TEST_F(GradientFrameTest, FrameCaptionNamesItsMaximisedChild) {
  auto* frame = Application()->CreateForm<TGradientFrame>();
  frame->SetBounds(50, 50, 600, 400);
  frame->SetCaption("Frame");
  frame->SetCaptionTextColor(clAqua);
  frame->Show();
  auto* child = NewComponent<TPlainChild>(Application());
  child->SetCaption("A child with a long caption");
  ui.RunUntilIdle();
  auto textRight = [&] {
    RECT w{};
    GetWindowRect(frame->GetHandle(), &w);
    int right = -1;
    for (int y = w.top + 4; y < w.top + 22; ++y)
      for (int x = w.left + 4; x < w.right - 60; ++x)
        if (ui.Pixel(x, y) == PixelFromColor(ColorToRGB(clAqua))) right = std::max(right, x);
    return right - w.left;
  };
  const int alone = textRight();
  EXPECT_GT(alone, 20);
  SendMessage(child->GetHandle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ui.RunUntilIdle();
  ASSERT_TRUE(IsZoomed(child->GetHandle()));
  EXPECT_GT(textRight(), alone + 100);
  SendMessage(child->GetHandle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  ui.RunUntilIdle();
  EXPECT_EQ(textRight(), alone);
}

}  // namespace
