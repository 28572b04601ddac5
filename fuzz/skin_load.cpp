// Skins from untrusted bytes. An input starting with 'R' is a raw picture (width 68 + byte 1
// mod 64, height 1 + byte 2 mod 64, then one byte a pixel choosing among the colours a skin
// is drawn in), so that header mutations reach the skin reader directly; any other input is
// written as a skin file and loaded by name as the program does. A refused skin must leave
// the manager as it was (no skin, the default icon sizes); a loaded one must hand out every
// icon its strips hold, at the header's size, and none past them.

#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz/support/FuzzCheck.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/Menus.h"
#include "quillo/base/SkinGlyphs.h"
#include "quillo/base/Skins.h"
#include "vorlen/core/Buffer.h"

namespace {

constexpr std::uint32_t RawColours[8] = {0x00FFFFFF, 0x00000000, 0x00FF00FF, 0x00404040,
                                         0x00F0E0D0, 0x00807060, 0x00302010, 0x00336699};

void RawImage(Buffer& image, const std::uint8_t* data, std::size_t size) {
  const int width = 68 + (size > 1 ? data[1] % 64 : 0);
  const int height = 1 + (size > 2 ? data[2] % 64 : 0);
  image.Alloc(Pair<int>(width, height));
  std::size_t next = 3;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x, ++next)
      *image.At(x, y) = RawColours[next < size ? data[next] & 7 : 0];
}

void CheckStrip(const SkinManager& skins, int first, int count, int width, int height) {
  // Large strips: the first icons and the last show the arithmetic holds.
  for (int i = 0; i < count; ++i) {
    if (i >= 64 && i != count - 1) continue;
    TOwnedPtr<TBitmap> icon = skins.IconBitmap(first + i);
    CHECK(icon != nullptr);
    CHECK(icon->GetWidth() == width && icon->GetHeight() == height);
  }
  // The index after the strip's last icon names none (the first strip's 1001 is the second's).
  if (first + count != SkinGlyph::LastFirstStripIndex + 1) CHECK(skins.IconBitmap(first + count) == nullptr);
}

void CheckLoaded(const SkinManager& skins) {
  const SkinLayout& l = skins.Layout();
  CHECK(l.Rows1 >= 1 && l.Columns1 >= 1 && l.Width1 >= 1 && l.Height1 >= 1);
  CHECK(l.Rows2 == 0 || (l.Columns2 >= 1 && l.Width2 >= 1 && l.Height2 >= 1));
  const int count1 = std::min(l.Rows1 * l.Columns1, SkinGlyph::LastFirstStripIndex);
  CheckStrip(skins, 1, count1, l.Width1, l.Height1);
  CheckStrip(skins, SkinGlyph::LastFirstStripIndex + 1, l.Rows2 * l.Columns2, l.Width2, l.Height2);
  CHECK(skins.GetIcon(1)->GetWidth() == l.Width1);

  TOwnedPtr<TImageList> list = MakeObject<TImageList>(nullptr);
  list->SetTag(SkinGlyph::ImageListSecondStrip | SkinGlyph::ImageListCountMask);
  skins.ApplyToComponent(list.get());
  CHECK(list->GetCount() == std::min(l.Rows2 * l.Columns2, SkinGlyph::ImageListCountMask));
  TOwnedPtr<TMenuItem> item = MakeObject<TMenuItem>(nullptr);
  item->SetTag(SkinGlyph::MenuNew);
  skins.ApplyToComponent(item.get());
  CHECK(item->GetBitmap()->Empty() == (l.Rows2 == 0));
}

void CheckRefused(const SkinManager& skins) {
  CHECK(!skins.Loaded());
  CHECK(skins.Width1() == SkinGlyph::FirstStripSize && skins.Height2() == SkinGlyph::SecondStripSize);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& folder = fuzz::ScratchFolder("skin");
  SkinManager skins(folder + "/");
  try {
    if (size > 0 && data[0] == 'R') {
      Buffer image;
      RawImage(image, data, size);
      skins.LoadImage(image);
    } else {
      fuzz::WriteFile(folder + "/Fuzz.skn", data, size);
      skins.Load("Fuzz");
    }
  } catch (const ESkinError&) {
    CheckRefused(skins);
    return 0;
  }
  CheckLoaded(skins);
  return 0;
}
