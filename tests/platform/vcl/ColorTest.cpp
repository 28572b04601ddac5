#include <gtest/gtest.h>

#include "platform/gdi/Display.h"
#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Color.h"

namespace {

TEST(Color, ColorToRgbResolvesSystemColours) {
  ResetDisplaySettings();
  EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clWindowText), GetSysColor(COLOR_WINDOWTEXT));
  const int indices[] = {COLOR_BTNFACE};
  const COLORREF colours[] = {RGB(1, 2, 3)};
  SetSysColors(1, indices, colours);
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(1, 2, 3));
  ResetDisplaySettings();
  // Palette-relative colours keep their flag; GDI draws them as plain colours.
  EXPECT_EQ(ColorToRGB(0x02123456), 0x02123456u);
}

TEST(Color, NamesAndNumbersRoundTrip) {
  struct Case {
    TColor colour;
    const char* text;
  };
  const Case cases[] = {
      {clBtnFace, "clBtnFace"}, {clRed, "clRed"}, {clSilver, "clSilver"}, {clNone, "clNone"},
      {0x00FF8001, "$00FF8001"}, {static_cast<TColor>(0x80000040u), "$80000040"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ColorToString(c.colour), c.text);
    EXPECT_EQ(StringToColor(c.text), c.colour) << c.text;
  }
  EXPECT_EQ(StringToColor("clltgray"), clSilver);
  EXPECT_EQ(StringToColor("255"), clRed);
  EXPECT_THROW(StringToColor("clNoSuchColour"), EConvertError);
  EXPECT_THROW(StringToColor("$1FFFFFFFF"), EConvertError);
}

}  // namespace
