#include <gtest/gtest.h>

#include <vector>

#include "platform/controls/ImageList.h"
#include "support/Canvas.h"

namespace {

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kKey = 0xFF00FF;

// A device bitmap of 4 x 4 cells side by side: cell c has colour colours[c], with the key
// colour in its left column.
HBITMAP Strip(const std::vector<std::uint32_t>& colours) {
  const int w = 4 * static_cast<int>(colours.size());
  HBITMAP b = CreateBitmap(w, 4, 1, 32, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, b);
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < 4; ++y) SetPixel(dc, x, y, ColorFromPixel(x % 4 == 0 ? kKey : colours[x / 4]));
  SelectObject(dc, old);
  DeleteDC(dc);
  return b;
}

// A monochrome mask of 4 x 4 cells, 1 in the left column of each.
HBITMAP LeftColumnMask(int cells) {
  HBITMAP m = CreateBitmap(4 * cells, 4, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, m);
  for (int x = 0; x < 4 * cells; ++x)
    for (int y = 0; y < 4; ++y) SetPixel(dc, x, y, x % 4 == 0 ? RGB(255, 255, 255) : 0);
  SelectObject(dc, old);
  DeleteDC(dc);
  return m;
}

class ImageListTest : public ::testing::Test {
protected:
  void SetUp() override {
    list = ImageList_Create(4, 4, ILC_COLOR32 | ILC_MASK, 1, 1);
    HBITMAP strip = Strip({kRed, kGreen});
    ASSERT_EQ(ImageList_AddMasked(list, strip, ColorFromPixel(kKey)), 0);
    DeleteObject(strip);
  }
  void TearDown() override { ImageList_Destroy(list); }
  HIMAGELIST list = nullptr;
};

TEST_F(ImageListTest, StripsAddOneImagePerCell) {
  EXPECT_EQ(ImageList_GetImageCount(list), 2);
  HBITMAP more = Strip({kBlue}), mask = LeftColumnMask(1);
  EXPECT_EQ(ImageList_Add(list, more, mask), 2);
  EXPECT_EQ(ImageList_GetImageCount(list), 3);
  HBITMAP narrow = CreateBitmap(3, 4, 1, 32, nullptr);
  EXPECT_EQ(ImageList_Add(list, narrow, nullptr), -1);
  DeleteObject(narrow);
  DeleteObject(more);
  DeleteObject(mask);
  int w = 0, h = 0;
  EXPECT_TRUE(ImageList_GetIconSize(list, &w, &h));
  EXPECT_EQ(w, 4);
  EXPECT_EQ(h, 4);
}

struct DrawCase {
  const char* name;
  UINT style;
  COLORREF background;
  std::uint32_t left;   // the masked column
  std::uint32_t right;  // an image pixel
};

TEST_F(ImageListTest, DrawStylesOverABackground) {
  const DrawCase cases[] = {
      {"transparent", ILD_TRANSPARENT, CLR_DEFAULT, kBlue, kGreen},
      {"normal without a list colour", ILD_NORMAL, CLR_DEFAULT, kBlue, kGreen},
      {"normal on white", ILD_NORMAL, RGB(255, 255, 255), 0xFFFFFF, kGreen},
      {"image only", ILD_IMAGE, CLR_DEFAULT, 0x000000, kGreen},
      {"mask", ILD_MASK, CLR_DEFAULT, 0xFFFFFF, 0x000000},
  };
  for (const DrawCase& c : cases) {
    Canvas target(4, 4, kBlue);
    EXPECT_TRUE(ImageList_DrawEx(list, 1, target.dc(), 0, 0, 0, 0, c.background, CLR_NONE, c.style)) << c.name;
    EXPECT_EQ(target.at(0, 2), c.left) << c.name;
    EXPECT_EQ(target.at(2, 2), c.right) << c.name;
  }
  // The list's own background colour is used by normal drawing.
  ImageList_SetBkColor(list, RGB(255, 255, 0));
  Canvas target(4, 4, kBlue);
  ImageList_Draw(list, 0, target.dc(), 0, 0, ILD_NORMAL);
  EXPECT_EQ(target.at(0, 0), 0xFFFF00u);
  EXPECT_EQ(target.at(1, 0), kRed);
  ImageList_Draw(list, 0, target.dc(), 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(target.at(0, 0), 0xFFFF00u);
}

TEST_F(ImageListTest, MaskDrawsIntoAMonochromeBitmap) {
  HBITMAP mono = CreateBitmap(4, 4, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, mono);
  ImageList_DrawEx(list, 0, dc, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_MASK);
  EXPECT_EQ(GetPixel(dc, 0, 3), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 1, 3), RGB(0, 0, 0));
  // Drawn normally over white, the image's non-white pixels come out black.
  PatBlt(dc, 0, 0, 4, 4, WHITENESS);
  ImageList_Draw(list, 0, dc, 0, 0, ILD_NORMAL);
  EXPECT_EQ(GetPixel(dc, 0, 3), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 1, 3), RGB(0, 0, 0));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(mono);
}

TEST_F(ImageListTest, OverlaysAndBlending) {
  // Image 1 (green) as overlay 1 over image 0 (red): the overlay's opaque pixels win.
  ASSERT_TRUE(ImageList_SetOverlayImage(list, 1, 1));
  EXPECT_FALSE(ImageList_SetOverlayImage(list, 1, 16));
  Canvas target(4, 4, kBlue);
  ImageList_Draw(list, 0, target.dc(), 0, 0, ILD_TRANSPARENT | INDEXTOOVERLAYMASK(1));
  EXPECT_EQ(target.at(2, 2), kGreen);
  EXPECT_EQ(target.at(0, 2), kBlue);
  // Half of the blend colour is mixed into the image, none into the transparent pixels.
  ImageList_DrawEx(list, 0, target.dc(), 0, 0, 0, 0, CLR_NONE, RGB(0, 0, 255), ILD_TRANSPARENT | ILD_BLEND50);
  EXPECT_EQ(target.at(2, 2), 0x7F007Fu);
  EXPECT_EQ(target.at(0, 2), kBlue);
}

TEST_F(ImageListTest, ReplaceRemoveCopyAndCount) {
  HBITMAP blue = Strip({kBlue});
  EXPECT_TRUE(ImageList_Replace(list, 0, blue, nullptr));
  EXPECT_FALSE(ImageList_Replace(list, 5, blue, nullptr));
  Canvas target(4, 4, 0);
  ImageList_Draw(list, 0, target.dc(), 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(target.at(0, 0), kKey);  // no mask given: every pixel is opaque
  EXPECT_EQ(target.at(2, 0), kBlue);
  ASSERT_TRUE(ImageList_Copy(list, 0, list, 1, ILCF_SWAP));
  ImageList_Draw(list, 0, target.dc(), 0, 0, ILD_NORMAL);
  EXPECT_EQ(target.at(2, 0), kGreen);
  EXPECT_TRUE(ImageList_Remove(list, 0));
  EXPECT_EQ(ImageList_GetImageCount(list), 1);
  ImageList_Draw(list, 0, target.dc(), 0, 0, ILD_NORMAL);
  EXPECT_EQ(target.at(2, 0), kBlue);
  EXPECT_TRUE(ImageList_SetImageCount(list, 3));
  Canvas grown(4, 4, kRed);
  ImageList_Draw(list, 2, grown.dc(), 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(grown.at(0, 0), 0u);  // new images are black and opaque
  EXPECT_TRUE(ImageList_RemoveAll(list));
  EXPECT_EQ(ImageList_GetImageCount(list), 0);
  EXPECT_FALSE(ImageList_Draw(list, 0, grown.dc(), 0, 0, ILD_NORMAL));
  DeleteObject(blue);
}

TEST_F(ImageListTest, IconsComeOutAndGoBackIn) {
  HICON icon = ImageList_GetIcon(list, 0, ILD_NORMAL);
  ASSERT_NE(icon, nullptr);
  Canvas target(4, 4, kBlue);
  DrawIconEx(target.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(target.at(0, 1), kBlue);
  EXPECT_EQ(target.at(3, 1), kRed);
  EXPECT_EQ(ImageList_AddIcon(list, icon), 2);
  Canvas again(4, 4, kGreen);
  ImageList_Draw(list, 2, again.dc(), 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(again.at(0, 1), kGreen);
  EXPECT_EQ(again.at(3, 1), kRed);
  DestroyIcon(icon);
}

TEST(ImageList, DeadHandlesAreRefused) {
  HIMAGELIST list = ImageList_Create(2, 2, ILC_COLOR32, 1, 1);
  ASSERT_TRUE(ImageList_Destroy(list));
  EXPECT_FALSE(ImageList_Destroy(list));
  EXPECT_EQ(ImageList_GetImageCount(list), 0);
  EXPECT_EQ(ImageList_Create(0, 2, ILC_COLOR32, 1, 1), nullptr);
}

}  // namespace
