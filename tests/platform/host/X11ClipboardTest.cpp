// The SDL host's clipboard on a real X display, against another X client (xclip): text and
// pictures the program copies paste there, and theirs paste into the program, large ones in
// INCR steps both ways. On an X server of the test's own.

#include <gtest/gtest.h>


#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/user/Clipboard.h"
#include "platform/user/Desktop.h"
#include "platform/user/DesktopImageFile.h"
#include "support/TempHome.h"
#include "support/UiDriver.h"
#include "support/PrivateDisplay.h"
#include "support/Xclip.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FileBytes(const std::string& path) {
  const std::string s = FileContents(path);
  return Bytes(s.begin(), s.end());
}

HGLOBAL Block(const void* bytes, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(block), bytes, size);
  GlobalUnlock(block);
  return block;
}

void CopyText(const std::string& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, Block(text.c_str(), text.size() + 1));
  CloseClipboard();
}

std::string PastedText() {
  if (!OpenClipboard(nullptr)) return "<closed>";
  HANDLE block = GetClipboardData(CF_TEXT);
  std::string text = block ? static_cast<const char*>(GlobalLock(block)) : "<none>";
  CloseClipboard();
  return text;
}

Bytes PastedDib() {
  if (!OpenClipboard(nullptr)) return {};
  HANDLE block = GetClipboardData(CF_DIB);
  Bytes dib;
  if (block) {
    const auto* p = static_cast<const std::uint8_t*>(GlobalLock(block));
    dib.assign(p, p + GlobalSize(block));
  }
  CloseClipboard();
  return dib;
}

// A 32-bit DIB larger than one X request, part of it transparent.
Bytes LargeDib() {
  const int width = 300, height = 250;
  Bytes dib(40, 0);
  const std::uint32_t header[] = {40, width, height};
  std::memcpy(dib.data(), header, sizeof header);
  dib[12] = 1;
  dib[14] = 32;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = x < 20 ? 0xFF000000u : std::uint32_t(x * 97 + y * 13) & 0xFFFFFF;
      for (int i = 0; i < 4; ++i) dib.push_back(static_cast<std::uint8_t>(p >> (8 * i)));
    }
  return dib;
}

class XClipboardOnDisplay : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(XclipInstalled()) << "xclip is needed (Debian's xclip)";
    ASSERT_TRUE(display_.Ready()) << display_.Problem();
    const char* host = std::getenv("QUILLO_HOST");
    previousHost_ = host ? host : "";
    setenv("QUILLO_HOST", "sdl", 1);
  }
  void TearDown() override {
    if (!previousHost_.empty()) setenv("QUILLO_HOST", previousHost_.c_str(), 1);
  }
  std::string previousHost_;
  PrivateDisplay display_;
};

void TextAndPicturesGoToAnotherClientAndComeBack() {
  TempHome home;
  UiDriver ui(320, 240);
  if (std::string(DesktopHost().Name()) != "sdl") {
    std::fprintf(stderr, "the SDL host did not open\n");
    return;
  }
  const std::string out = home.Path() + "/out", in = home.Path() + "/in";

  // Text the program copies pastes in the other client, as UTF-8 and as Latin-1.
  CopyText("Gr\xC3\xBC\xC3\x9F" "e\r\nline two");
  ASSERT_TRUE(Xclip(ui, {"-o", "-t", "UTF8_STRING"}, "", out));
  EXPECT_EQ(FileContents(out), "Gr\xC3\xBC\xC3\x9F" "e\nline two");
  ASSERT_TRUE(Xclip(ui, {"-o", "-t", "STRING"}, "", out));
  EXPECT_EQ(FileContents(out), "Gr\xFC\xDF" "e\nline two");

  // A picture the program copies is offered as PNG and BMP; the PNG comes in INCR steps.
  const Bytes dib = LargeDib();
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_DIB, Block(dib.data(), dib.size()));
  CloseClipboard();
  ASSERT_TRUE(Xclip(ui, {"-o", "-t", "TARGETS"}, "", out));
  const std::string targets = FileContents(out);
  EXPECT_NE(targets.find("image/png"), std::string::npos) << targets;
  EXPECT_NE(targets.find("image/bmp"), std::string::npos) << targets;
  ASSERT_TRUE(Xclip(ui, {"-o", "-t", "image/png"}, "", out));
  const Bytes png = FileBytes(out);
  Bytes back;
  ASSERT_TRUE(PackedDibFromPngFile(png.data(), png.size(), back)) << png.size() << " bytes";
  EXPECT_EQ(Bytes(back.begin() + 40, back.end()), Bytes(dib.begin() + 40, dib.end()));
  ASSERT_TRUE(Xclip(ui, {"-o", "-t", "image/bmp"}, "", out));
  const Bytes bmp = FileBytes(out);
  ASSERT_TRUE(PackedDibFromBmpFile(bmp.data(), bmp.size(), back));
  EXPECT_EQ(Bytes(back.begin() + 40, back.begin() + 44), Bytes({0, 0, 0, 0})) << "transparent black as a colour";

  // Text the other client copies pastes into the program.
  {
    FILE* f = std::fopen(in.c_str(), "wb");
    std::fputs("from xclip\nsecond", f);
    std::fclose(f);
  }
  ASSERT_TRUE(Xclip(ui, {"-i"}, in, ""));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_EQ(PastedText(), "from xclip\r\nsecond");

  // So does its picture, a large one in INCR steps.
  {
    FILE* f = std::fopen(in.c_str(), "wb");
    std::fwrite(png.data(), 1, png.size(), f);
    std::fclose(f);
  }
  ASSERT_TRUE(Xclip(ui, {"-i", "-t", "image/png"}, in, ""));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
  const Bytes pasted = PastedDib();
  ASSERT_EQ(pasted.size(), dib.size());
  EXPECT_EQ(Bytes(pasted.begin() + 40, pasted.end()), Bytes(dib.begin() + 40, dib.end()));

  // The program's next copy takes the clipboard back (and lets xclip go).
  CopyText("mine again");
  ASSERT_TRUE(Xclip(ui, {"-o"}, "", out));
  EXPECT_EQ(FileContents(out), "mine again");
}

// In a process of its own: SDL's video start-up keeps a D-Bus connection that SDL 2.26 never
// frees, which the leak check at a normal exit would report.
TEST_F(XClipboardOnDisplay, TextAndPicturesGoToAnotherClientAndComeBack) {
  EXPECT_EXIT(
      {
        TextAndPicturesGoToAnotherClientAndComeBack();
        std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
