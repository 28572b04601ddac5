// The system's standard icons from LoadIcon(nullptr, IDI_...): real 32-pixel icons with the
// pictures message boxes and captions draw, shown over whatever lies beneath them.

#include <gtest/gtest.h>

#include "platform/user/Dialog.h"
#include "platform/user/User.h"
#include "support/Canvas.h"

namespace {

constexpr std::uint32_t kBackground = 0x208040;

struct StandardIcon {
  const char* what;
  LPCSTR id;
  UINT boxIcon;  // the message box icon it shows; 0 for the application window
};

// Pixels of a 32-pixel square that differ between two canvases.
int Differences(Canvas& a, Canvas& b) {
  int n = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) n += a.at(x, y) != b.at(x, y);
  return n;
}

TEST(SystemIcons, StandardIconsAreTheClassicPicturesWithTheBackgroundShowingAround) {
  const StandardIcon icons[] = {
      {"application", IDI_APPLICATION, 0},
      {"Windows logo: the application's", IDI_WINLOGO, 0},
      {"hand", IDI_HAND, MB_ICONHAND},
      {"error", IDI_ERROR, MB_ICONERROR},
      {"question", IDI_QUESTION, MB_ICONQUESTION},
      {"exclamation", IDI_EXCLAMATION, MB_ICONEXCLAMATION},
      {"warning", IDI_WARNING, MB_ICONWARNING},
      {"asterisk", IDI_ASTERISK, MB_ICONASTERISK},
      {"information", IDI_INFORMATION, MB_ICONINFORMATION},
  };
  const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
  for (const StandardIcon& c : icons) {
    SCOPED_TRACE(c.what);
    HICON icon = LoadIcon(nullptr, c.id);
    ASSERT_NE(icon, nullptr);
    EXPECT_NE(icon, arrow);
    EXPECT_EQ(LoadIcon(nullptr, c.id), icon);  // shared, loaded once
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bm;
    GetObject(info.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(bm.bmHeight, GetSystemMetrics(SM_CYICON));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    Canvas drawn(32, 32, kBackground);
    ASSERT_TRUE(DrawIcon(drawn.dc(), 0, 0, icon));
    EXPECT_EQ(drawn.at(0, 0), kBackground);  // the corners are clear
    EXPECT_EQ(drawn.at(31, 0), kBackground);
    EXPECT_GT(drawn.CountNot(kBackground), 200);
    if (c.boxIcon) {
      // The same picture a message box draws.
      Canvas box(32, 32, kBackground);
      ASSERT_TRUE(DrawMessageBoxIcon(box.dc(), 0, 0, c.boxIcon));
      EXPECT_EQ(Differences(drawn, box), 0);
    } else {
      // A window: its caption bar over a window-coloured body in a dark frame.
      EXPECT_EQ(drawn.at(16, 6), PixelFromColor(GetSysColor(COLOR_ACTIVECAPTION)));
      EXPECT_EQ(drawn.at(16, 20), PixelFromColor(GetSysColor(COLOR_WINDOW)));
      EXPECT_EQ(drawn.at(2, 20), PixelFromColor(GetSysColor(COLOR_WINDOWTEXT)));
    }
  }
  // Different pictures, different icons; an unknown number is no icon.
  EXPECT_NE(LoadIcon(nullptr, IDI_HAND), LoadIcon(nullptr, IDI_QUESTION));
  EXPECT_EQ(LoadIcon(nullptr, MAKEINTRESOURCE(32600)), nullptr);
}

}  // namespace
