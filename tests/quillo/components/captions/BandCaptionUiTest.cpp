// The band caption on a form: bands of colour in pixels, the title, its own caption buttons
// (the system's are gone), the kept caption text and WM_GETTEXT's terminator, double clicks
// on the title and the icon, and an owner that is not a form.

#include "CaptionFixture.h"

#include <cstring>

#include "platform/user/Menu.h"
#include "platform/vcl/TypInfo.h"
#include "quillo/components/captions/BandCaption.h"

using namespace captions;

namespace {

// The states of the restore and maximise items of the window's system menu.
void BandCaptionSystemMenuStates(HWND window, UINT& restore, UINT& maximise) {
  const LONG_PTR style = GetWindowLongPtr(window, GWL_STYLE);
  SetWindowLongPtr(window, GWL_STYLE, style | WS_SYSMENU);
  HMENU menu = GetSystemMenu(window, FALSE);
  SetWindowLongPtr(window, GWL_STYLE, style);
  restore = GetMenuState(menu, SC_RESTORE, MF_BYCOMMAND);
  maximise = GetMenuState(menu, SC_MAXIMIZE, MF_BYCOMMAND);
}

class BandCaptionTest : public CaptionUiTest {
public:
  static TRect ScreenRectOf(TWinControl* form, const TRect& r) {
    TRect w = WindowRect(form);
    return TRect(w.left + r.left, w.top + r.top, w.left + r.right, w.top + r.bottom);
  }
  static TPoint Centre(const TRect& r) { return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

protected:
protected:
  void SetUp() override {
    form = NewComponent<TForm>(Application());
    form->SetBounds(100, 100, 400, 200);
    form->SetCaption("Kept caption");
    form->Show();
    band = NewComponent<TBandCaption>(form);
    band->SetApplicationName("Band title");
    band->SetNumColors(16);
    ui.RunUntilIdle();
  }
  TRect ScreenRect(const TRect& r) { return ScreenRectOf(form, r); }
  void ExpectBands(TColor begin, TColor end, int count) {
    TRect c = ScreenRect(band->Layout().caption);
    for (int i = 0; i < count; ++i) {
      TSpan s = MulDivBand(c.left, c.Width(), i, count);
      EXPECT_EQ(ui.Pixel((s.left + s.right) / 2, c.top), PixelFromColor(BandColor(ColorToRGB(begin), ColorToRGB(end), i, count)))
          << "band " << i;
    }
  }
  TForm* form = nullptr;
  TBandCaption* band = nullptr;
};

TEST_F(BandCaptionTest, PaintsBandsTitleAndItsOwnButtons) {
  EXPECT_FALSE(GetWindowLongPtr(form->GetHandle(), GWL_STYLE) & WS_SYSMENU);
  ExpectBands(static_cast<TColor>(0x800000), static_cast<TColor>(0xFF0000), 16);
  // The title in white inside the title rectangle; the buttons face-coloured.
  TRect title = ScreenRect(band->Layout().title);
  int white = 0;
  for (int y = title.top; y < title.bottom; ++y)
    for (int x = title.left; x < title.right; ++x) white += ui.Pixel(x, y) == 0xFFFFFF;
  EXPECT_GT(white, 20);
  for (int kind : {cbClose, cbMaximize, cbMinimize}) {
    ASSERT_TRUE(band->Layout().visible[static_cast<size_t>(kind)]);
    TRect b = ScreenRect(band->Layout().buttons[static_cast<size_t>(kind)].rect);
    EXPECT_EQ(ui.Pixel(b.left + 2, b.top + 2), Rgb(clBtnFace)) << kind;
  }
  EXPECT_FALSE(band->Layout().visible[cbHelp]);
  // A title too long for its place ends in an ellipsis inside it: its last columns hold
  // only dots on the baseline.
  band->SetApplicationName("A title far too long to be shown whole between the icon and the buttons");
  ui.RunUntilIdle();
  int rightmost = -1;
  for (int y = title.top; y < title.bottom; ++y)
    for (int x = title.left; x < title.right + 2; ++x)
      if (ui.Pixel(x, y) == 0xFFFFFF) rightmost = std::max(rightmost, x);
  EXPECT_GT(rightmost, title.right - 20);
  EXPECT_LT(rightmost, title.right);
  for (int y = title.top; y < title.top + title.Height() / 2; ++y)
    for (int x = rightmost - 8; x <= rightmost; ++x) EXPECT_NE(ui.Pixel(x, y), 0xFFFFFFu) << x << "," << y;
}

TEST_F(BandCaptionTest, InactiveColoursAndOneBand) {
  auto* other = NewComponent<TForm>(Application());
  other->SetBounds(600, 400, 200, 150);
  other->Show();
  ui.RunUntilIdle();
  ExpectBands(static_cast<TColor>(0x808080), static_cast<TColor>(0xC0C0C0), 16);
  band->SetNumColors(1);
  band->SetInactiveBeginColor(clMaroon);
  ui.RunUntilIdle();
  TRect c = ScreenRect(band->Layout().caption);
  for (int x : {0, c.Width() / 2, c.Width() - 1}) EXPECT_EQ(ui.Pixel(c.left + x, c.top), Rgb(clMaroon)) << x;
}

TEST_F(BandCaptionTest, CaptionTextIsKeptAndGetTextLeavesRoomForTheTerminator) {
  HWND window = form->GetHandle();
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(SendMessage(window, WM_GETTEXT, 3, reinterpret_cast<LPARAM>(buffer)), 2);
  EXPECT_STREQ(buffer, "Ke");
  form->SetCaption("Renamed");
  EXPECT_EQ(form->GetCaption(), "Renamed");
  char whole[32];
  EXPECT_EQ(GetWindowText(window, whole, sizeof whole), 7);
  EXPECT_STREQ(whole, "Renamed");
  // The caption still shows the bands, not the system's caption.
  ui.RunUntilIdle();
  ExpectBands(static_cast<TColor>(0x800000), static_cast<TColor>(0xFF0000), 16);
}

TEST_F(BandCaptionTest, ButtonsSendTheWindowCommands) {
  TPoint maximise = Centre(ScreenRect(band->Layout().buttons[cbMaximize].rect));
  ui.Click(maximise.x, maximise.y);
  EXPECT_TRUE(IsZoomed(form->GetHandle()));
  TPoint restore = Centre(ScreenRect(band->Layout().buttons[cbMaximize].rect));
  ui.Click(restore.x, restore.y);
  EXPECT_FALSE(IsZoomed(form->GetHandle()));
  // A press that leaves the button before its release does nothing.
  TPoint close = Centre(ScreenRect(band->Layout().buttons[cbClose].rect));
  ui.MouseDown(close.x, close.y);
  EXPECT_TRUE(band->Button(sbClose)->Pushed());
  ui.MoveTo(close.x - 100, close.y + 50);
  EXPECT_FALSE(band->Button(sbClose)->Pushed());
  ui.MouseUp(close.x - 100, close.y + 50);
  EXPECT_TRUE(form->GetVisible());
  ui.Click(close.x, close.y);
  EXPECT_FALSE(form->GetVisible());
}

TEST_F(BandCaptionTest, DoubleClicksOnTitleAndIcon) {
  TPoint title = Centre(ScreenRect(band->Layout().title));
  ui.DoubleClick(title.x, title.y);
  EXPECT_TRUE(IsZoomed(form->GetHandle()));
  // A maximised window is not dragged by its caption.
  title = Centre(ScreenRect(band->Layout().title));
  const TRect zoomed = WindowRect(form);
  ui.Drag(POINT{title.x, title.y}, POINT{title.x + 80, title.y + 60});
  EXPECT_EQ(WindowRect(form).left, zoomed.left);
  EXPECT_EQ(WindowRect(form).top, zoomed.top);
  ui.DoubleClick(title.x, title.y);
  EXPECT_FALSE(IsZoomed(form->GetHandle()));
  // A normal one is.
  title = Centre(ScreenRect(band->Layout().title));
  const TRect before = WindowRect(form);
  ui.Drag(POINT{title.x, title.y}, POINT{title.x + 80, title.y + 60});
  EXPECT_EQ(WindowRect(form).left, before.left + 80);
  // The first press opens the system menu; the second closes it, and its release closes the
  // window.
  TPoint icon = Centre(ScreenRect(band->Layout().menuIcon));
  ui.QueueClick(icon.x, icon.y);
  ui.QueueClick(icon.x, icon.y);
  ui.RunUntilIdle();
  EXPECT_FALSE(form->GetVisible());
}

TEST_F(BandCaptionTest, IconAndRightClickOpenTheSystemMenuSetForTheWindowsState) {
  HWND window = form->GetHandle();
  UINT restore = 0, maximise = 0;
  bool opened = false;
  ui.WhenModalWaits([&] {
    opened = MenuLoopOwner() == window;
    BandCaptionSystemMenuStates(window, restore, maximise);
    ui.QueuePress('X');  // Maximize
  });
  TPoint icon = Centre(ScreenRect(band->Layout().menuIcon));
  ui.Click(icon.x, icon.y);
  ui.RunUntilIdle();
  EXPECT_TRUE(opened);
  EXPECT_TRUE(restore & MF_GRAYED);
  EXPECT_FALSE(maximise & MF_GRAYED);
  ASSERT_TRUE(IsZoomed(window));
  EXPECT_TRUE(form->GetVisible());
  // Maximised: restore is offered, maximise is not; a right click on the title opens it too.
  opened = false;
  ui.WhenModalWaits([&] {
    opened = MenuLoopOwner() == window;
    BandCaptionSystemMenuStates(window, restore, maximise);
    ui.QueuePress(VK_ESCAPE);
  });
  TPoint title = Centre(ScreenRect(band->Layout().title));
  ui.Click(title.x, title.y, InputEvent::Right);
  ui.RunUntilIdle();
  EXPECT_TRUE(opened);
  EXPECT_FALSE(restore & MF_GRAYED);
  EXPECT_TRUE(maximise & MF_GRAYED);
  EXPECT_TRUE(IsZoomed(window));
}

TEST_F(BandCaptionTest, OwnerMustBeAForm) {
  auto* panel = NewComponent<TComponent>(form);
  try {
    NewComponent<TBandCaption>(panel);
    FAIL() << "made on a component that is no form";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message, "The BandCaption's owner must be a Form!");
  }
  EXPECT_EQ(panel->ComponentCount(), 0);
}

TEST_F(BandCaptionTest, FreeingItGivesTheFormItsOwnCaptionBack) {
  FreeObject(band);
  ui.RunUntilIdle();
  EXPECT_TRUE(GetWindowLongPtr(form->GetHandle(), GWL_STYLE) & WS_SYSMENU);
  form->SetCaption("Plain");
  char whole[32];
  GetWindowText(form->GetHandle(), whole, sizeof whole);
  EXPECT_STREQ(whole, "Plain");
  EXPECT_EQ(SendMessage(form->GetHandle(), WM_NCHITTEST, 0,
                        MAKELPARAM(WindowRect(form).right - 12, WindowRect(form).top + 12)),
            HTCLOSE);
}

class TBandFrame : public TForm {
public:
  explicit TBandFrame(TComponent* owner) : TForm(owner) { SetFormStyle(fsMDIForm); }
};
class TBandChild : public TForm {
public:
  explicit TBandChild(TComponent* owner) : TForm(owner) { SetFormStyle(fsMDIChild); }
};

class BandCaptionMdiTest : public CaptionUiTest {};

TEST_F(BandCaptionMdiTest, MaximisedChildTakesTheSystemMenuStyleBackUntilRestored) {
  auto* frame = Application()->CreateForm<TBandFrame>();
  frame->SetBounds(50, 50, 600, 400);
  frame->Show();
  auto* child = NewComponent<TBandChild>(Application());
  child->SetCaption("Child");
  auto* band = NewComponent<TBandCaption>(child);
  band->SetApplicationName("Child");
  ui.RunUntilIdle();
  HWND window = child->GetHandle();
  auto sysMenu = [&] { return (GetWindowLongPtr(window, GWL_STYLE) & WS_SYSMENU) != 0; };
  EXPECT_FALSE(sysMenu());
  SendMessage(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ui.RunUntilIdle();
  ASSERT_TRUE(IsZoomed(window));
  EXPECT_TRUE(sysMenu());
  SendMessage(window, WM_SYSCOMMAND, SC_RESTORE, 0);
  ui.RunUntilIdle();
  EXPECT_FALSE(IsZoomed(window));
  EXPECT_FALSE(sysMenu());
  // Its own close button closes it as the framework closes MDI children: to an icon.
  TPoint close = BandCaptionTest::Centre(BandCaptionTest::ScreenRectOf(child, band->Layout().buttons[cbClose].rect));
  ui.Click(close.x, close.y);
  ui.RunUntilIdle();
  EXPECT_TRUE(IsIconic(window));
}

TEST_F(BandCaptionTest, PropertiesAreInTheTable) {
  for (const char* name : {"ActiveBeginColor", "ActiveEndColor", "ActiveFontColor", "InactiveBeginColor",
                           "InactiveEndColor", "InactiveFontColor", "ApplicationName", "ApplicationNameFont",
                           "NumColors", "AutoSize"})
    EXPECT_NE(GetPropInfo(band, name), nullptr) << name;
  SetStrProp(band, "ApplicationName", "From the table");
  EXPECT_EQ(band->GetApplicationName(), "From the table");
}

}  // namespace
