// The colour dialog: the hue ring's pixels, and through the UI the ring, the square, the
// fields, their arrow keys and drags, every change reported as it happens and Cancel
// reporting the starting colour before it returns it; the swatches open it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ToolFixture.h"
#include "platform/gdi/WinDefs.h"
#include "platform/host/KeyCodes.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "platform/vcl/UpDown.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/ColorSelector.h"
#include "quillo/tools/ColorSpace.h"
#include "support/UiDriver.h"

namespace {

std::uint32_t Mix(std::uint32_t a, int wa, std::uint32_t b, int wb) {
  std::uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8)
    out |= ((wa * (a >> shift & 0xFF) + wb * (b >> shift & 0xFF)) / (wa + wb)) << shift;
  return out;
}

TEST(HueRingTest, RedSitsRightOfTheCentreAndTheEdgesBlendIntoTheFace) {
  Buffer ring;
  const std::uint32_t face = 0xC0C0C0;
  DrawHueRing(ring, face);
  ASSERT_EQ(ring.Width(), 216);
  EXPECT_EQ(*ring.At(108 + 96, 108), 0xFF0000u);
  EXPECT_EQ(*ring.At(108 + 84, 108), Mix(face, 3, 0xFF0000, 1));
  EXPECT_EQ(*ring.At(108 + 107, 108), 0xFF0000u) << "d = 107 is still inside the sharp band";
  int r270 = 0, g270 = 0, b270 = 0;
  HSV2RGB(270, 255, 255, r270, g270, b270);
  EXPECT_EQ(*ring.At(108, 0), Mix(face, 3, static_cast<std::uint32_t>(r270 << 16 | g270 << 8 | b270), 1))
      << "d = 108 at the top";
  EXPECT_EQ(*ring.At(108, 108), face);
  EXPECT_EQ(*ring.At(108 + 83, 108), face);
  int r = 0, g = 0, b = 0;
  HSV2RGB(90, 255, 255, r, g, b);
  EXPECT_EQ(*ring.At(108, 108 + 96), static_cast<std::uint32_t>(r << 16 | g << 8 | b)) << "down is 90 degrees";
}

class ColorDialogTest : public ToolTest {
protected:
  ColorDialogTest() { box = NewNamedComponent<TColorBox>(form, "TestColorBox"); }

  static TColorSel* Dialog() { return dynamic_cast<TColorSel*>(Screen()->ActiveForm()); }
  static POINT In(TControl* control, int x, int y) {
    return UiDriver::At(dynamic_cast<TWinControl*>(control)->GetHandle(), x, y);
  }
  static std::string Text(TEdit* edit) { return edit->GetText(); }

  TColorBox* box = nullptr;
  struct Change {
    TObject* sender;
    TColor colour;
  };
  std::vector<Change> changes;
  void Record() {
    box->OnChange = [this](TObject* sender, TColor colour) { changes.push_back({sender, colour}); };
  }
};

TEST_F(ColorDialogTest, RingSquareFieldsAndKeysEachChangeTheColourLive) {
  Record();
  const TColor start = static_cast<TColor>(0x000000FF);  // red
  std::string hueAfterRing, svAfterSquare, hueAfterUp, hueAfterDown, redAfterDrag;
  std::size_t changesBeforeSquare = 0;
  ui.WhenModalWaits([&] {
    TColorSel* d = Dialog();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(Text(d->HTML), "FF0000");
    EXPECT_EQ(Text(d->HueEdit), "0");
    // 96 pixels below the centre: 90 degrees.
    const POINT p = In(d->ColCircle, 108, 108 + 96);
    ui.QueueClick(p.x, p.y);
  });
  ui.WhenModalWaits([&] {
    TColorSel* d = Dialog();
    hueAfterRing = Text(d->HueEdit) + " " + Text(d->RedEdit) + "," + Text(d->GreenEdit) + "," + Text(d->BlueEdit);
    changesBeforeSquare = changes.size();
    const POINT p = In(d->HSVBuf, 64, 127);
    ui.QueueClick(p.x, p.y);
  });
  ui.WhenModalWaits([&] {
    TColorSel* d = Dialog();
    svAfterSquare = Text(d->SaturationEdit) + " " + Text(d->ValueEdit);
    EXPECT_GT(changes.size(), changesBeforeSquare) << "the square's pick is reported";
    d->HueEdit->SetText("359");
    d->HueEdit->SetFocus();
    ui.QueuePress(VK_UP);
  });
  ui.WhenModalWaits([&] {
    TColorSel* d = Dialog();
    hueAfterUp = Text(d->HueEdit);
    ui.QueuePress(VK_DOWN);
  });
  ui.WhenModalWaits([&] {
    TColorSel* d = Dialog();
    hueAfterDown = Text(d->HueEdit);
    // A drag from the red field to 10 pixels above it adds 10.
    d->RedEdit->SetText("100");
    const POINT a = In(d->RedEdit, 5, 5);
    const POINT z = In(d->RedEdit, 5, -10);
    ui.QueueMouseDown(a.x, a.y);
    ui.QueueMove(z.x, z.y);
    ui.QueueMouseUp(z.x, z.y);
  });
  ui.WhenModalWaits([&] {
    redAfterDrag = Text(Dialog()->RedEdit);
    ui.QueuePress(VK_ESCAPE);
  });
  const TColor result = box->Execute(start);

  int r = 0, g = 0, b = 0;
  HSV2RGB(90, 255, 255, r, g, b);
  EXPECT_EQ(hueAfterRing, "90 " + std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b));
  EXPECT_EQ(svAfterSquare, "128 255") << "254 becomes 255";
  EXPECT_EQ(hueAfterUp, "0");
  EXPECT_EQ(hueAfterDown, "359");
  EXPECT_EQ(redAfterDrag, "110");
  EXPECT_EQ(result, start);
  ASSERT_FALSE(changes.empty());
  EXPECT_EQ(changes.back().sender, box) << "Cancel reports the starting colour last";
  EXPECT_EQ(changes.back().colour, start);
  EXPECT_GT(changes.size(), 4u);
}

// The HTML code is shown, not typed: typing leaves it, and it is drawn on the button face as
// a read-only field is.
TEST_F(ColorDialogTest, TheHtmlFieldIsReadOnlyAndLooksIt) {
  ui.WhenModalWaits([&] {
    TColorSel* d = Dialog();
    d->RedEdit->SetText("18");
    d->GreenEdit->SetText("52");
    d->BlueEdit->SetText("86");
    ui.RunUntilIdle();
    const POINT field = In(d->HTML, d->HTML->GetWidth() - 4, d->HTML->GetHeight() / 2);
    ui.Click(field.x, field.y);
    ui.Type("ABC");
    EXPECT_EQ(Text(d->HTML), "123456");
    EXPECT_EQ(ui.Pixel(field.x, field.y), PixelFromColor(ColorToRGB(clBtnFace)));
    const POINT p = In(d->OkBtn, 5, 5);
    ui.QueueClick(p.x, p.y);
  });
  EXPECT_EQ(box->Execute(clBlack), static_cast<TColor>(0x00563412));
}

TEST_F(ColorDialogTest, OkReturnsTheColourOfTheFields) {
  ui.WhenModalWaits([&] {
    TColorSel* d = Dialog();
    d->RedEdit->SetText("300");  // held at 255
    d->GreenEdit->SetText("16");
    d->BlueEdit->SetText("1");
    EXPECT_EQ(Text(d->HTML), "FF1001");
    const POINT p = In(d->OkBtn, 5, 5);
    ui.QueueClick(p.x, p.y);
  });
  EXPECT_EQ(box->Execute(clBlack), static_cast<TColor>(0x000110FF));
}

TEST_F(ColorDialogTest, TheColourKeysOpenTheDialogForEitherSwatchAndItTakesTheResult) {
  struct KeyCase {
    char letter;
    TPanel* swatch;
    const char* caption;
  };
  const KeyCase cases[] = {{'D', form->DrawCol, "Select Drawing Color"}, {'B', form->BackCol, "Select Background Color"}};
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.caption);
    std::string caption;
    ui.WhenModalWaits([&] {
      TColorSel* d = Dialog();
      ASSERT_NE(d, nullptr);
      caption = d->GetCaption();
      d->BlueEdit->SetText("255");
      const POINT p = In(d->OkBtn, 5, 5);
      ui.QueueClick(p.x, p.y);
    });
    c.swatch->SetColor(clBlack);
    SetForegroundWindow(document->GetHandle());
    document->SetFocus();
    ui.RunUntilIdle();
    ui.KeyDown(VK_CONTROL);
    ui.KeyDown(VK_SHIFT);
    ui.Press(c.letter);
    ui.KeyUp(VK_SHIFT);
    ui.KeyUp(VK_CONTROL);
    ui.RunUntilIdle();
    EXPECT_EQ(caption, c.caption);
    EXPECT_EQ(ColorToRGB(c.swatch->GetColor()), 0x00FF0000u);
    EXPECT_EQ(c.swatch->GetTag(), 240 << 16 | 255 << 8 | 255);
  }
}

TEST_F(ColorDialogTest, APressOnASwatchOpensTheDialogAndCancelPutsItsColourBack) {
  ASSERT_TRUE(form->DrawCol->OnMouseDown);
  form->DrawCol->SetColor(static_cast<TColor>(0x00204060));
  std::vector<COLORREF> previews;
  ui.WhenModalWaits([&] {
    TColorSel* d = Dialog();
    ASSERT_NE(d, nullptr);
    d->RedEdit->SetText("200");
    previews.push_back(ColorToRGB(form->DrawCol->GetColor()));
    ui.QueuePress(VK_ESCAPE);
  });
  form->DrawCol->OnMouseDown(form->DrawCol, mbLeft, TShiftState(), 3, 3);
  ui.RunUntilIdle();
  ASSERT_EQ(previews.size(), 1u);
  EXPECT_EQ(previews[0], 0x002040C8u) << "the swatch previews the change";
  EXPECT_EQ(ColorToRGB(form->DrawCol->GetColor()), 0x00204060u);
}

}  // namespace
