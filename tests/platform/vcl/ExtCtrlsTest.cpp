// TPanel, TBevel, TShape, TImage and TPaintBox: their looks in pixels, the panel's client
// area for aligned children, the image's canvas, placement and sizing.

#include "VclFixture.h"

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Form.h"

namespace {

class ExtCtrlsTest : public VclTest {
protected:
  void SetUp() override {
    form = Application()->CreateForm<TForm>();
    form->SetBounds(100, 100, 420, 320);
    form->SetColor(clBtnFace);
  }
  void ShowForm() {
    form->Show();
    ui.RunUntilIdle();
  }
  template <class T>
  T* Make(TRect bounds) {
    T* c = NewComponent<T>(form);
    c->SetBoundsRect(bounds);
    c->SetParent(form);
    return c;
  }
  TForm* form = nullptr;
};

TEST_F(ExtCtrlsTest, PanelBevelsAndBorderAsTheyAreSet) {
  struct Case {
    const char* what;
    TBevelCut outer, inner;
    int bevelWidth, borderWidth;
    // Pixels along the left edge, from x = 0 inwards, and along the bottom edge, from the bottom up.
    std::vector<TColor> left, bottom;
  };
  const Case cases[] = {
      {"raised", bvRaised, bvNone, 1, 0, {clBtnHighlight, clBtnFace}, {clBtnShadow, clBtnFace}},
      {"lowered", bvLowered, bvNone, 1, 0, {clBtnShadow, clBtnFace}, {clBtnHighlight, clBtnFace}},
      {"raised outside, lowered inside", bvRaised, bvLowered, 1, 0, {clBtnHighlight, clBtnShadow, clBtnFace},
       {clBtnShadow, clBtnHighlight, clBtnFace}},
      {"a border between the bevels", bvRaised, bvLowered, 1, 2,
       {clBtnHighlight, clBtnFace, clBtnFace, clBtnShadow}, {clBtnShadow, clBtnFace, clBtnFace, clBtnHighlight}},
      {"wide bevels", bvLowered, bvNone, 2, 0, {clBtnShadow, clBtnShadow, clBtnFace}, {clBtnHighlight, clBtnHighlight, clBtnFace}},
      {"none", bvNone, bvNone, 1, 0, {clBtnFace}, {clBtnFace}},
  };
  ShowForm();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto* panel = Make<TPanel>(Bounds(20, 20, 120, 60));
    panel->SetCaption("");
    panel->SetBevelOuter(c.outer);
    panel->SetBevelInner(c.inner);
    panel->SetBevelWidth(c.bevelWidth);
    panel->SetBorderWidth(c.borderWidth);
    ui.RunUntilIdle();
    for (size_t i = 0; i < c.left.size(); ++i) {
      EXPECT_EQ(PixelOf(panel, static_cast<int>(i), 30), Rgb(c.left[i])) << "left " << i;
      EXPECT_EQ(PixelOf(panel, 60, 59 - static_cast<int>(i)), Rgb(c.bottom[i])) << "bottom " << i;
    }
    FreeObject(panel);
  }
}

TEST_F(ExtCtrlsTest, PanelChildrenAlignInsideTheBevelsAndTheCaptionShows) {
  auto* panel = Make<TPanel>(Bounds(10, 10, 200, 100));
  panel->SetBevelInner(bvLowered);
  panel->SetBorderWidth(3);
  panel->SetBevelWidth(2);
  auto* child = NewComponent<TSwatch>(form);
  child->SetAlign(alClient);
  child->SetParent(panel);
  EXPECT_EQ(child->GetBoundsRect(), TRect(7, 7, 193, 93));  // 2 + 3 + 2 on every side
  FreeObject(child);
  panel->SetCaption("Hello");
  panel->SetBevelInner(bvNone);
  ShowForm();
  bool text = false;
  for (int x = 70; x < 130; ++x)
    for (int y = 40; y < 60; ++y) text = text || PixelOf(panel, x, y) == 0;
  EXPECT_TRUE(text);
  EXPECT_EQ(GetEnumProp(panel, "BevelOuter"), "bvRaised");
  EXPECT_EQ(GetEnumProp(panel, "Alignment"), "taCenter");
  SetStrProp(panel, "Caption", "Other");
  EXPECT_EQ(panel->GetCaption(), "Other");
  SetEnumProp(panel, "BorderStyle", "bsSingle");
  EXPECT_TRUE(GetWindowLongPtr(panel->GetHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(ExtCtrlsTest, BevelShapesAndStyles) {
  struct Case {
    TBevelShape shape;
    TBevelStyle style;
    POINT light;  // a pixel in the first colour
    POINT dark;   // one in the second
  };
  const Case cases[] = {
      {bsBox, bsLowered, {0, 20}, {49, 20}},  {bsBox, bsRaised, {49, 20}, {0, 20}},
      {bsTopLine, bsLowered, {20, 0}, {20, 1}}, {bsBottomLine, bsLowered, {20, 28}, {20, 29}},
      {bsLeftLine, bsLowered, {0, 10}, {1, 10}}, {bsRightLine, bsRaised, {49, 10}, {48, 10}},
  };
  ShowForm();
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.shape));
    auto* bevel = Make<TBevel>(Bounds(30, 30, 50, 30));
    bevel->SetShape(c.shape);
    bevel->SetStyle(c.style);
    ui.RunUntilIdle();
    EXPECT_EQ(PixelOf(bevel, c.light.x, c.light.y), Rgb(clBtnShadow));
    EXPECT_EQ(PixelOf(bevel, c.dark.x, c.dark.y), Rgb(clBtnHighlight));
    EXPECT_EQ(PixelOf(bevel, 25, 15), Rgb(clBtnFace));  // windowless: the form shows through
    FreeObject(bevel);
    ui.RunUntilIdle();
  }
}

TEST_F(ExtCtrlsTest, ShapesFillWithTheBrushAndFrameWithThePen) {
  ShowForm();
  struct Case {
    TShapeType type;
    POINT corner;  // inside the bounds, outside the shape (or on it for rectangles)
    bool cornerFilled;
  };
  const Case cases[] = {
      {stRectangle, {1, 1}, true}, {stEllipse, {2, 2}, false}, {stCircle, {22, 2}, false}, {stSquare, {5, 5}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.type));
    auto* shape = Make<TShape>(Bounds(20, 20, 80, 40));
    shape->SetShape(c.type);
    shape->GetBrush()->SetColor(clRed);
    shape->GetPen()->SetColor(clBlue);
    ui.RunUntilIdle();
    EXPECT_EQ(PixelOf(shape, 40, 20), Rgb(clRed));
    EXPECT_EQ(PixelOf(shape, c.corner.x, c.corner.y), c.cornerFilled ? Rgb(clRed) : Rgb(clBtnFace));
    if (c.type == stRectangle) {
      EXPECT_EQ(PixelOf(shape, 0, 20), Rgb(clBlue));
    }
    FreeObject(shape);
    ui.RunUntilIdle();
  }
}

TEST_F(ExtCtrlsTest, AnImageCanvasMakesABitmapOfTheControlsSize) {
  auto* image = Make<TImage>(Bounds(10, 10, 60, 40));
  EXPECT_EQ(image->GetPicture()->GetGraphic(), nullptr);
  TCanvas* canvas = image->GetCanvas();
  ASSERT_NE(image->GetPicture()->GetBitmap(), nullptr);
  EXPECT_EQ(image->GetPicture()->GetWidth(), 60);
  EXPECT_EQ(image->GetPicture()->GetHeight(), 40);
  canvas->GetBrush()->SetColor(clGreen);
  canvas->FillRect(TRect(0, 0, 60, 40));
  ShowForm();
  EXPECT_EQ(PixelOf(image, 30, 20), Rgb(clGreen));
  // Drawing later shows too: the picture tells the image it changed.
  canvas->GetBrush()->SetColor(clYellow);
  canvas->FillRect(TRect(0, 0, 10, 10));
  ui.RunUntilIdle();
  EXPECT_EQ(PixelOf(image, 5, 5), Rgb(clYellow));

  auto icon = MakeObject<TIcon>();
  image->GetPicture()->SetIcon(icon.get());
  EXPECT_THROW(image->GetCanvas(), EInvalidOperation);
}

TEST_F(ExtCtrlsTest, ImagePlacementByStretchCenterAndProportion) {
  auto* image = Make<TImage>(Bounds(10, 10, 100, 50));
  auto bitmap = MakeObject<TBitmap>();
  struct Case {
    int width, height;
    bool stretch, center, proportional;
    TRect dest;
  };
  const Case cases[] = {
      {40, 20, false, false, false, TRect(0, 0, 40, 20)},
      {40, 20, false, true, false, TRect(30, 15, 70, 35)},
      {40, 20, true, false, false, TRect(0, 0, 100, 50)},
      {40, 40, true, false, true, TRect(0, 0, 50, 50)},
      {40, 40, true, true, true, TRect(25, 0, 75, 50)},
      {200, 50, false, false, true, TRect(0, 0, 100, 25)},  // too big: shrunk in proportion
      {40, 20, false, false, true, TRect(0, 0, 40, 20)},     // small enough: kept
  };
  for (const Case& c : cases) {
    bitmap->SetWidth(c.width);
    bitmap->SetHeight(c.height);
    image->GetPicture()->SetBitmap(bitmap.get());
    image->SetStretch(c.stretch);
    image->SetCenter(c.center);
    image->SetProportional(c.proportional);
    EXPECT_EQ(image->DestRect(), c.dest) << c.width << "x" << c.height << " " << c.stretch << c.center << c.proportional;
  }
  image->SetAutoSize(true);
  EXPECT_EQ(image->GetWidth(), 40);
  EXPECT_EQ(image->GetHeight(), 20);
}

TEST_F(ExtCtrlsTest, ATransparentImageLetsTheFormShowThrough) {
  auto* image = Make<TImage>(Bounds(10, 10, 40, 40));
  auto bitmap = MakeObject<TBitmap>();
  bitmap->SetSize(40, 40);
  bitmap->GetCanvas()->GetBrush()->SetColor(clFuchsia);  // the bottom-left pixel's colour is the transparent one
  bitmap->GetCanvas()->FillRect(TRect(0, 0, 40, 40));
  bitmap->GetCanvas()->GetBrush()->SetColor(clRed);
  bitmap->GetCanvas()->FillRect(TRect(10, 10, 30, 30));
  image->GetPicture()->SetBitmap(bitmap.get());
  ShowForm();
  EXPECT_EQ(PixelOf(image, 2, 2), Rgb(clFuchsia));
  image->SetTransparent(true);
  ui.RunUntilIdle();
  EXPECT_EQ(PixelOf(image, 2, 2), Rgb(clBtnFace));
  EXPECT_EQ(PixelOf(image, 20, 20), Rgb(clRed));
}

TEST_F(ExtCtrlsTest, PaintBoxPaintsThroughOnPaint) {
  auto* box = Make<TPaintBox>(Bounds(10, 10, 50, 50));
  int paints = 0;
  box->OnPaint = [&](TObject* sender) {
    ++paints;
    TCanvas* c = static_cast<TPaintBox*>(sender)->GetCanvas();
    c->GetBrush()->SetColor(clFuchsia);
    c->FillRect(TRect(0, 0, 50, 50));
  };
  ShowForm();
  EXPECT_GE(paints, 1);
  EXPECT_EQ(PixelOf(box, 25, 25), Rgb(clFuchsia));
}

}  // namespace
