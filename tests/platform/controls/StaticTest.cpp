#include <gtest/gtest.h>

#include "ButtonHost.h"
#include "platform/controls/Button.h"
#include "platform/controls/Static.h"
#include "support/UiDriver.h"

namespace {

TEST(Static, MouseGoesThroughUnlessItNotifies) {
  UiDriver ui;
  ButtonHost host;
  HWND plain = host.Add(WC_STATIC, "Plain", SS_LEFT, 1, 10, 10, 80, 20);
  HWND notify = host.Add(WC_STATIC, "Notify", SS_LEFT | SS_NOTIFY, 2, 10, 40, 80, 20);
  ui.RunUntilIdle();
  host.Take();
  EXPECT_EQ(SendMessage(plain, WM_NCHITTEST, 0, 0), HTTRANSPARENT);
  EXPECT_EQ(SendMessage(plain, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
  POINT p = UiDriver::At(plain, 5, 5);
  ui.Click(p.x, p.y);
  EXPECT_TRUE(host.Take().empty());
  POINT q = UiDriver::At(notify, 5, 5);
  ui.Click(q.x, q.y);
  ui.Advance(50);
  ui.Click(q.x, q.y);
  EXPECT_EQ(host.Take(), (std::vector<Notification>{{2, STN_CLICKED}, {2, STN_DBLCLK}}));
  EnableWindow(notify, FALSE);
  EnableWindow(notify, TRUE);
  EXPECT_EQ(host.Take(), (std::vector<Notification>{{2, STN_DISABLE}, {2, STN_ENABLE}}));
}

// Where the ink of a one-word text falls for each alignment style, and whether "&" shows.
TEST(Static, TextAlignmentAndPrefix) {
  UiDriver ui;
  ButtonHost host;
  struct Case {
    DWORD style;
    const char* text;
    int inkFrom, inkTo;  // the columns the ink must lie within
  };
  const Case cases[] = {
      {SS_LEFT, "Word", 0, 40},        {SS_CENTER, "Word", 60, 140}, {SS_RIGHT, "Word", 160, 200},
      {SS_SIMPLE, "Word", 0, 40},      {SS_LEFTNOWORDWRAP, "Word", 0, 40},
  };
  for (const Case& c : cases) {
    HWND s = host.Add(WC_STATIC, c.text, c.style, 1, 0, 0, 200, 20);
    ui.RunUntilIdle();
    int first = 1000, last = -1;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 200; ++x) {
        POINT p = UiDriver::At(s, x, y);
        if ((ui.Pixel(p.x, p.y) & 0xC0C0C0) == 0) first = std::min(first, x), last = std::max(last, x);
      }
    EXPECT_GE(first, c.inkFrom) << "style " << c.style;
    EXPECT_LE(last, c.inkTo) << "style " << c.style;
    EXPECT_GT(last, first) << "style " << c.style;
    DestroyWindow(s);
  }
  // SS_NOPREFIX draws the ampersand: the text is wider than with the prefix taken out.
  auto inkWidth = [&](DWORD style) {
    HWND s = host.Add(WC_STATIC, "&&&&&&&&", style, 1, 0, 0, 200, 20);
    ui.RunUntilIdle();
    int last = -1;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 200; ++x) {
        POINT p = UiDriver::At(s, x, y);
        if ((ui.Pixel(p.x, p.y) & 0xC0C0C0) == 0) last = std::max(last, x);
      }
    DestroyWindow(s);
    return last;
  };
  EXPECT_GT(inkWidth(SS_LEFT | SS_NOPREFIX), inkWidth(SS_LEFT) + 10);
}

TEST(Static, ShapesAndFramesInTheirColours) {
  UiDriver ui;
  ButtonHost host;
  struct Case {
    DWORD style;
    std::uint32_t edge, middle;
  };
  const std::uint32_t face = 0xC0C0C0;
  const Case cases[] = {
      {SS_BLACKRECT, 0x000000, 0x000000},  {SS_GRAYRECT, 0x808080, 0x808080},
      {SS_WHITERECT, 0xFFFFFF, 0xFFFFFF},  {SS_BLACKFRAME, 0x000000, face},
      {SS_GRAYFRAME, 0x808080, face},      {SS_WHITEFRAME, 0xFFFFFF, face},
      {SS_ETCHEDFRAME, 0x808080, face},
  };
  for (const Case& c : cases) {
    HWND s = host.Add(WC_STATIC, "", c.style, 1, 20, 20, 40, 30);
    ui.RunUntilIdle();
    POINT corner = UiDriver::At(s, 0, 0), middle = UiDriver::At(s, 20, 15);
    EXPECT_EQ(ui.Pixel(corner.x, corner.y), c.edge) << "style " << c.style;
    EXPECT_EQ(ui.Pixel(middle.x, middle.y), c.middle) << "style " << c.style;
    DestroyWindow(s);
  }
  HWND sunken = host.Add(WC_STATIC, "x", SS_LEFT | SS_SUNKEN, 1, 20, 20, 40, 30);
  EXPECT_TRUE(GetWindowLongPtr(sunken, GWL_EXSTYLE) & WS_EX_STATICEDGE);
}

TEST(Static, ImagesAndColoursFromTheParent) {
  UiDriver ui;
  ButtonHost host;
  HWND image = host.Add(WC_STATIC, "", SS_BITMAP, 1, 10, 10, 100, 100);
  HBITMAP bitmap = CreateBitmap(16, 12, 1, 32, nullptr);
  EXPECT_EQ(SendMessage(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)), 0);
  EXPECT_EQ(SendMessage(image, STM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(bitmap));
  EXPECT_EQ(SendMessage(image, STM_SETIMAGE, IMAGE_ICON, 0), 0);  // not an icon static
  RECT r;
  GetClientRect(image, &r);
  EXPECT_EQ(r, (RECT{0, 0, 16, 12}));  // the static takes its image's size
  DestroyWindow(image);
  DeleteObject(bitmap);
  // The parent's brush paints the background of text statics.
  host.staticBrush = CreateSolidBrush(RGB(0, 200, 0));
  HWND text = host.Add(WC_STATIC, "", SS_LEFT, 2, 10, 10, 60, 20);
  ui.RunUntilIdle();
  POINT p = UiDriver::At(text, 30, 10);
  EXPECT_EQ(ui.Pixel(p.x, p.y), 0x00C800u);
  DestroyWindow(text);
  DeleteObject(host.staticBrush);
  host.staticBrush = nullptr;
}

TEST(Static, IconStaticTakesItsIconsSize) {
  UiDriver ui;
  ButtonHost host;
  HWND s = host.Add(WC_STATIC, "", SS_ICON, 1, 10, 10, 100, 100);
  HICON icon = LoadIcon(nullptr, IDI_APPLICATION);
  EXPECT_EQ(SendMessage(s, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0), 0);
  EXPECT_EQ(SendMessage(s, STM_GETICON, 0, 0), reinterpret_cast<LRESULT>(icon));
  EXPECT_EQ(SendMessage(s, STM_GETIMAGE, IMAGE_ICON, 0), reinterpret_cast<LRESULT>(icon));
  EXPECT_EQ(SendMessage(s, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
  RECT r;
  GetClientRect(s, &r);
  EXPECT_EQ(r, (RECT{0, 0, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)}));
  // Its text names a resource; setting it changes nothing.
  EXPECT_TRUE(SetWindowText(s, "other"));
  EXPECT_EQ(SendMessage(s, STM_GETICON, 0, 0), reinterpret_cast<LRESULT>(icon));
}

}  // namespace
