// The Edit menu against the user's desktop clipboard on the SDL host: a picture the program
// copies reaches another X client (xclip) as PNG with its pixels exact, and a PNG that client
// puts there pastes as a new image. On an X server of the test's own.


#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/user/Desktop.h"
#include "platform/user/DesktopImageFile.h"
#include "platform/vcl/Menus.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/shell/ProgramFixture.h"
#include "support/PrivateDisplay.h"
#include "support/Xclip.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FileBytes(const std::string& path) {
  const std::string s = FileContents(path);
  return Bytes(s.begin(), s.end());
}

// The 32-bit pixels of a packed DIB with a 40-byte header, top row first.
std::vector<std::uint32_t> DibPixels(const Bytes& dib) {
  std::vector<std::uint32_t> out;
  if (dib.size() < 40) return out;
  auto le32 = [&](std::size_t at) {
    return std::uint32_t(dib[at]) | std::uint32_t(dib[at + 1]) << 8 | std::uint32_t(dib[at + 2]) << 16 |
           std::uint32_t(dib[at + 3]) << 24;
  };
  const int w = static_cast<int>(le32(4)), h = static_cast<int>(le32(8));
  if (dib[14] != 32 || w <= 0 || h <= 0 || dib.size() < 40 + std::size_t(w) * h * 4) return out;
  for (int y = h - 1; y >= 0; --y)
    for (int x = 0; x < w; ++x) out.push_back(le32(40 + (std::size_t(y) * w + x) * 4));
  return out;
}

std::vector<std::uint32_t> PixelsOf(const Buffer& b) {
  std::vector<std::uint32_t> out;
  for (int y = b.rect.top; y <= b.rect.bottom; ++y)
    for (int x = b.rect.left; x <= b.rect.right; ++x) out.push_back(*b.At(x, y));
  return out;
}

class DesktopRoundTrip : public ProgramTest {
public:
  void TestBody() override {}

  void Run() {
    Start();
    if (std::string(DesktopHost().Name()) != "sdl") {
      std::fprintf(stderr, "the SDL host did not open\n");
      return;
    }
    UDBuffer& picture = *CurrentPicture;
    for (int y = 0; y < picture.Height(); ++y)
      for (int x = 0; x < picture.Width(); ++x) *picture.At(x, y) = std::uint32_t(x * 7 + y * 131) & 0xFFFFFF;
    MarkPictureChanged();  // as painting it would: no longer the untouched blank document
    const std::string out = home.Path() + "/out.png", in = home.Path() + "/in.png";

    // Edit > Copy: the other client reads the picture as PNG, every pixel as it was.
    form->MenuItemNamed("Copy1")->Click();
    ASSERT_TRUE(Xclip(ui, {"-o", "-t", "image/png"}, "", out));
    const Bytes png = FileBytes(out);
    Bytes dib;
    ASSERT_TRUE(PackedDibFromPngFile(png.data(), png.size(), dib)) << png.size() << " bytes";
    EXPECT_EQ(DibPixels(dib), PixelsOf(picture));

    // The other client's PNG, partly transparent, pastes as a new image; the transparent
    // part stays the background colour.
    const int w = 40, h = 30;
    Bytes theirs(40, 0);
    theirs[0] = 40, theirs[4] = w, theirs[8] = h, theirs[12] = 1, theirs[14] = 32;
    std::vector<std::uint32_t> want;
    for (int y = h - 1; y >= 0; --y)
      for (int x = 0; x < w; ++x) {
        const std::uint32_t p = x < 5 ? 0xFF000000u : (std::uint32_t(x * 5 + y * 9) & 0xFFFFFF);
        for (int i = 0; i < 4; ++i) theirs.push_back(static_cast<std::uint8_t>(p >> (8 * i)));
      }
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) want.push_back(x < 5 ? 0xFFFFFFu : (std::uint32_t(x * 5 + y * 9) & 0xFFFFFF));
    const Bytes theirPng = PngFileFromPackedDib(theirs.data(), theirs.size());
    {
      FILE* f = std::fopen(in.c_str(), "wb");
      std::fwrite(theirPng.data(), 1, theirPng.size(), f);
      std::fclose(f);
    }
    ASSERT_TRUE(Xclip(ui, {"-i", "-t", "image/png"}, in, ""));
    // Whatever happens next, the program's last copy takes the clipboard back, and the xclip
    // left serving it ends.
    struct TakeBack {
      DesktopRoundTrip& t;
      ~TakeBack() {
        t.form->MenuItemNamed("Copy1")->Click();
        Xclip(t.ui, {"-o", "-t", "TARGETS"}, "", "");
      }
    } takeBack{*this};
    const int windows = ImgFormCount;
    form->MenuItemNamed("PasteAsNew1")->Click();
    ui.RunUntilIdle();
    ASSERT_EQ(ImgFormCount, windows + 1);
    EXPECT_EQ(CurrentPicture->Width(), w);
    EXPECT_EQ(PixelsOf(*CurrentPicture), want);
  }
};

TEST(EditDesktopClipboard, CopyAndPasteGoThroughTheDesktopClipboard) {
  ASSERT_TRUE(XclipInstalled()) << "xclip is needed (Debian's xclip)";
  PrivateDisplay display;
  ASSERT_TRUE(display.Ready()) << display.Problem();
  // In a process of its own: SDL's video start-up keeps a D-Bus connection that it never
  // frees, which the leak check at a normal exit would report.
  EXPECT_EXIT(
      {
        setenv("QUILLO_HOST", "sdl", 1);
        {
          DesktopRoundTrip test;
          test.Run();
        }
        std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
