// After a picture is loaded into the active window: the swatches carry the colours with
// their hue, saturation and value, and with AutoLoadPalette an indexed picture's palette fills
// the palette grid (a true-colour picture leaves the grid alone).

#include <gtest/gtest.h>

#include <algorithm>

#include "../document/DocumentFixture.h"
#include "platform/vcl/ExtCtrls.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/PaletteFile.h"
#include "quillo/tools/Swatches.h"
#include "quillo/tools/ToolForm.h"
#include "vorlen/formats/GFXFile.h"

namespace {

class LoadedColoursTest : public DocumentTest {
protected:
  ~LoadedColoursTest() override {
    Settings.AutoLoadPalette = false;
    PaletteColors = DefaultPalette();
  }
  std::string Save(const char* name, signed char bits) {
    Buffer image;
    image.Alloc(Pair<int>(4, 1));
    const std::uint32_t colours[] = {0x112233, 0x445566, 0x778899, 0xAABBCC};
    for (int x = 0; x < 4; ++x) *image.At(x, 0) = colours[x];
    GFXSaveParams params;
    params.bits = bits;
    const std::string path = home.Path() + "/" + name;
    EXPECT_TRUE(GFXFile::Save(image, path, nullptr, &params));
    return path;
  }
  static bool InGrid(std::uint32_t colour) {
    return std::find(PaletteColors.begin(), PaletteColors.end(), colour) != PaletteColors.end();
  }
};

TEST_F(LoadedColoursTest, AnIndexedPicturesPaletteFillsTheGridWhenTheSettingAsks) {
  Settings.AutoLoadPalette = true;
  const std::string path = Save("four.bmp", 8);
  ASSERT_EQ(LoadImageFile(CurrentPicture, path, 0, false), LoadOk);
  ui.RunUntilIdle();
  for (std::uint32_t c : {0x112233u, 0x445566u, 0x778899u, 0xAABBCCu}) EXPECT_TRUE(InGrid(c)) << std::hex << c;
  EXPECT_EQ(form->DrawCol->GetTag(), PackedHSV(SwatchColour(form->DrawCol)));
  EXPECT_EQ(form->BackCol->GetTag(), PackedHSV(SwatchColour(form->BackCol)));
}

TEST_F(LoadedColoursTest, WithoutTheSettingOrWithTrueColourTheGridStays) {
  const std::string indexed = Save("four.bmp", 8);
  ASSERT_EQ(LoadImageFile(CurrentPicture, indexed, 0, false), LoadOk);
  ui.RunUntilIdle();
  EXPECT_EQ(PaletteColors, DefaultPalette());
  Settings.AutoLoadPalette = true;
  const std::string trueColour = Save("four24.bmp", 24);
  ASSERT_EQ(LoadImageFile(CurrentPicture, trueColour, 0, false), LoadOk);
  ui.RunUntilIdle();
  EXPECT_EQ(PaletteColors, DefaultPalette());
}

}  // namespace
