// TClipboard and pictures: a bitmap assigned to the clipboard comes back from it identical
// (depth, colours and pixels), through TBitmap and TPicture; damaged clipboard data are
// refused and the destination kept.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/Picture.h"
#include "support/UiDriver.h"

namespace {

std::vector<std::uint8_t> Saved(TBitmap& bitmap) {
  TMemoryStream stream;
  bitmap.SaveToStream(&stream);
  const auto* bytes = static_cast<const std::uint8_t*>(stream.Memory());
  return std::vector<std::uint8_t>(bytes, bytes + stream.Size());
}

// A bitmap of the format whose rows hold a pattern; indexed ones get a palette of their own.
void Fill(TBitmap& b, TPixelFormat format) {
  b.SetPixelFormat(format);
  b.SetSize(13, 6);
  if (format == pf8bit) {
    std::vector<std::uint8_t> log(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(log.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = 256;
    for (int i = 0; i < 256; ++i)
      lp->palPalEntry[i] = PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7), 0};
    b.SetPalette(CreatePalette(lp));
  }
  const int bytes = format == pf1bit ? 2 : format == pf8bit ? 13 : 13 * 3;
  for (int y = 0; y < b.GetHeight(); ++y) {
    auto* row = static_cast<std::uint8_t*>(b.ScanLine(y));
    for (int i = 0; i < bytes; ++i) row[i] = static_cast<std::uint8_t>(i * 37 + y * 11);
    if (format == pf1bit) row[1] &= 0xF8;  // the bits past the last pixel are not the picture's
  }
}

TEST(TClipboardPicture, ABitmapCopiedComesBackIdentical) {
  struct Case {
    const char* what;
    TPixelFormat format;
  };
  const Case cases[] = {{"24-bit", pf24bit}, {"8-bit with a palette", pf8bit}, {"1-bit", pf1bit}};
  for (const Case& c : cases) {
    UiDriver ui;
    TBitmap original;
    Fill(original, c.format);
    Clipboard()->Assign(&original);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP)) << c.what;
    EXPECT_TRUE(Clipboard()->HasFormat(CF_DIB)) << c.what;
    TBitmap pasted;
    pasted.Assign(Clipboard());
    EXPECT_EQ(pasted.GetPixelFormat(), c.format) << c.what;
    EXPECT_EQ(Saved(pasted), Saved(original)) << c.what;
    TPicture picture;
    picture.Assign(Clipboard());
    ASSERT_NE(dynamic_cast<TBitmap*>(picture.GetGraphic()), nullptr) << c.what;
    EXPECT_EQ(Saved(*picture.GetBitmap()), Saved(original)) << c.what;
    // The clipboard holds a copy: changing the original leaves it alone.
    static_cast<std::uint8_t*>(original.ScanLine(0))[0] ^= 0xFF;
    TBitmap again;
    again.Assign(Clipboard());
    EXPECT_EQ(Saved(again), Saved(pasted)) << c.what;
  }
}

TEST(TClipboardPicture, APictureIsCopiedAsItsBitmap) {
  UiDriver ui;
  TPicture picture;
  Fill(*picture.GetBitmap(), pf24bit);
  Clipboard()->Assign(&picture);
  TBitmap pasted;
  pasted.Assign(Clipboard());
  EXPECT_EQ(Saved(pasted), Saved(*picture.GetBitmap()));
}

TEST(TClipboardPicture, NoPictureOrADamagedOneIsRefusedAndTheBitmapKept) {
  UiDriver ui;
  TBitmap kept;
  Fill(kept, pf24bit);
  const std::vector<std::uint8_t> before = Saved(kept);
  Clipboard()->SetAsText("no picture");
  EXPECT_THROW(kept.Assign(Clipboard()), EInvalidGraphic);
  EXPECT_EQ(Saved(kept), before);

  // A DIB whose rows are cut short.
  std::vector<std::uint8_t> dib(40, 0);
  const std::uint32_t header[] = {40, 100, 100};
  std::memcpy(dib.data(), header, sizeof header);
  dib[12] = 1;
  dib[14] = 24;
  dib.resize(40 + 300);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, dib.size());
  std::memcpy(GlobalLock(block), dib.data(), dib.size());
  GlobalUnlock(block);
  Clipboard()->SetAsHandle(CF_DIB, block);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_DIB));
  EXPECT_EQ(Clipboard()->GetAsHandle(CF_DIB), block);
  EXPECT_THROW(kept.Assign(Clipboard()), EInvalidGraphic);
  EXPECT_EQ(Saved(kept), before);
  TPicture picture;
  EXPECT_THROW(picture.Assign(Clipboard()), EInvalidGraphic);
}

}  // namespace
