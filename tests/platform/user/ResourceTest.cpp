#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/user/User.h"
#include "support/Canvas.h"

namespace {

TEST(Resources, EmbeddedFilesAreFoundByTypeAndName) {
  HRSRC pipl = FindResource(nullptr, "plugin", "PIPL");  // names without regard to case
  ASSERT_TRUE(pipl);
  EXPECT_EQ(SizeofResource(nullptr, pipl), 10u);
  const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, pipl)));
  EXPECT_EQ(bytes[9], 9);
  HRSRC numbered = FindResource(nullptr, MAKEINTRESOURCE(42), RT_RCDATA);
  ASSERT_TRUE(numbered);
  EXPECT_EQ(std::string(static_cast<const char*>(LockResource(LoadResource(nullptr, numbered))), 9), "forty-two");
  EXPECT_EQ(FindResource(nullptr, "#42", RT_RCDATA), numbered);
  EXPECT_EQ(FindResource(nullptr, "PLUGIN", RT_RCDATA), nullptr);  // wrong type
  EXPECT_EQ(FindResource(nullptr, "MISSING", "PIPL"), nullptr);
}

TEST(Resources, BitmapsLoadWithTheirRowsTheRightWayUp) {
  HBITMAP b = LoadBitmap(GetModuleHandle(nullptr), "TESTBMP");
  ASSERT_TRUE(b);
  BITMAP info;
  GetObject(b, sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 3);
  EXPECT_EQ(info.bmHeight, 2);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, b);
  EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 255));  // the bottom row holds blue, green, red
  EXPECT_EQ(GetPixel(dc, 2, 1), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 2, 0), RGB(128, 128, 128));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(b);
  EXPECT_EQ(LoadBitmap(nullptr, "NOSUCH"), nullptr);
}

TEST(Resources, StringTables) {
  char buffer[100];
  EXPECT_EQ(LoadString(nullptr, 100, buffer, sizeof buffer), 64);
  EXPECT_STREQ(buffer, "Graphics file has an invalid/unknown format or has been damaged.");
  EXPECT_EQ(LoadString(nullptr, 101, buffer, sizeof buffer), 9);
  EXPECT_STREQ(buffer, "Two\nlines");
  EXPECT_EQ(LoadString(nullptr, 101, buffer, 4), 3);  // truncated to the buffer
  EXPECT_STREQ(buffer, "Two");
  EXPECT_EQ(LoadString(nullptr, 999, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
}

TEST(Resources, CursorsLoadOnceAndDrawThroughTheirMask) {
  HCURSOR c = LoadCursor(GetModuleHandle(nullptr), "EX_HANDCUR");
  ASSERT_TRUE(c);
  EXPECT_EQ(LoadCursor(GetModuleHandle(nullptr), "ex_handcur"), c);
  EXPECT_EQ(LoadCursor(nullptr, IDC_ARROW), LoadCursor(nullptr, IDC_ARROW));
  Canvas canvas(16, 16, 0x00FF00);
  DrawIconEx(canvas.dc(), 0, 0, c, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(canvas.at(2, 2), 0u);          // the opaque black square
  EXPECT_EQ(canvas.at(12, 12), 0x00FF00u);  // the screen shows through
}

}  // namespace
