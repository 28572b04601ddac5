// TCustomPanel, TPanel, TBevel, TShape, TImage and TPaintBox.

#include "platform/vcl/ExtCtrls.h"

#include <algorithm>
#include <array>

QUILLO_DEFINE_ENUM_TYPE(TBevelCut, "bvNone", "bvLowered", "bvRaised", "bvSpace")
QUILLO_DEFINE_ENUM_TYPE(TBevelStyle, "bsLowered", "bsRaised")
QUILLO_DEFINE_ENUM_TYPE(TBevelShape, "bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine",
                        "bsSpacer")
QUILLO_DEFINE_ENUM_TYPE(TShapeType, "stRectangle", "stSquare", "stRoundRect", "stRoundSquare", "stEllipse", "stCircle")

void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
  TPen* pen = canvas->GetPen();
  pen->SetWidth(1);
  pen->SetStyle(psSolid);
  --rect.bottom;
  --rect.right;
  for (int i = 0; i < width; ++i) {
    pen->SetColor(topColor);
    const std::array<TPoint, 3> lightEdge{TPoint(rect.left, rect.bottom), TPoint(rect.left, rect.top),
                                          TPoint(rect.right, rect.top)};
    canvas->Polyline(lightEdge);
    pen->SetColor(bottomColor);
    const std::array<TPoint, 3> darkEdge{TPoint(rect.right, rect.top), TPoint(rect.right, rect.bottom),
                                         TPoint(rect.left - 1, rect.bottom)};
    canvas->Polyline(darkEdge);
    rect = TRect(rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1);
  }
  ++rect.bottom;
  ++rect.right;
}

namespace {

// A bevel's colours: light over dark when raised, the other way round when lowered.
void BevelColours(TBevelCut bevel, TColor& top, TColor& bottom) {
  top = bevel == bvLowered ? clBtnShadow : clBtnHighlight;
  bottom = bevel == bvLowered ? clBtnHighlight : clBtnShadow;
}

}  // namespace

// TCustomPanel

QUILLO_DEFINE_CLASS(TCustomPanel, TCustomControl)

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                csOpaque,          csDoubleClicks, csReplicatable};
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
  SetParentColor(false);
}

TCustomPanel::~TCustomPanel() = default;

void TCustomPanel::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
  p.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);  // FullRepaint decides
}

void TCustomPanel::AdjustClientRect(TRect& rect) {
  TCustomControl::AdjustClientRect(rect);
  int inset = borderWidth_;
  if (bevelOuter_ != bvNone) inset += bevelWidth_;
  if (bevelInner_ != bvNone) inset += bevelWidth_;
  rect = TRect(rect.left + inset, rect.top + inset, rect.right - inset, rect.bottom - inset);
}

void TCustomPanel::Paint() {
  TCanvas* c = GetCanvas();
  TRect r = GetClientRect();
  TColor top, bottom;
  if (bevelOuter_ != bvNone) {
    BevelColours(bevelOuter_, top, bottom);
    Frame3D(c, r, top, bottom, bevelWidth_);
  }
  Frame3D(c, r, GetColor(), GetColor(), borderWidth_);
  if (bevelInner_ != bvNone) {
    BevelColours(bevelInner_, top, bottom);
    Frame3D(c, r, top, bottom, bevelWidth_);
  }
  c->GetBrush()->SetColor(GetColor());
  c->GetBrush()->SetStyle(bsSolid);
  c->FillRect(r);
  c->GetBrush()->SetStyle(bsClear);
  c->GetFont()->Assign(GetFont());
  int fontHeight = c->TextHeight("W");
  RECT text{r.left, (r.top + r.bottom - fontHeight) / 2, r.right, 0};
  text.bottom = text.top + fontHeight;
  SetBkMode(c->GetHandle(), TRANSPARENT);
  DrawText(c->GetHandle(), GetCaption().c_str(), -1, &text, DT_EXPANDTABS | DT_VCENTER | AlignmentToDrawText(alignment_));
}

void TCustomPanel::Resize() {
  if (fullRepaint_) Invalidate();
  TCustomControl::Resize();
}

void TCustomPanel::Dispatch(TMessage& m) {
  if (m.Msg == CM_TEXTCHANGED) {
    TCustomControl::Dispatch(m);
    Invalidate();
    return;
  }
  TCustomControl::Dispatch(m);
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
  if (bevelInner_ == value) return;
  bevelInner_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
  if (bevelOuter_ == value) return;
  bevelOuter_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(TBevelWidth value) {
  if (bevelWidth_ == value || value < 1) return;
  bevelWidth_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderWidth(TBorderWidth value) {
  if (borderWidth_ == value || value < 0) return;
  borderWidth_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle value) {
  if (value != bsNone && value != bsSingle) value = bsSingle;
  if (borderStyle_ == value) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomPanel::SetAlignment(TAlignment value) {
  if (alignment_ == value) return;
  alignment_ = value;
  Invalidate();
}

// TPanel

namespace {
AnsiString PanelCaption(const TPanel* p) { return p->GetCaption(); }
void SetPanelCaption(TPanel* p, const AnsiString& s) { p->SetCaption(s); }
}  // namespace

const TPropTable* TPanel::PublishedProperties() {
  static const TPropTable table = TPublisher<TPanel>()
                                      .Property("Alignment", &TPanel::GetAlignment, &TPanel::SetAlignment)
                                      .Property("BevelInner", &TPanel::GetBevelInner, &TPanel::SetBevelInner)
                                      .Property("BevelOuter", &TPanel::GetBevelOuter, &TPanel::SetBevelOuter)
                                      .Property("BevelWidth", &TPanel::GetBevelWidth, &TPanel::SetBevelWidth)
                                      .Property("BorderWidth", &TPanel::GetBorderWidth, &TPanel::SetBorderWidth)
                                      .Property("BorderStyle", &TPanel::GetBorderStyle, &TPanel::SetBorderStyle)
                                      .Property("Caption", &PanelCaption, &SetPanelCaption)
                                      .Property("FullRepaint", &TPanel::GetFullRepaint, &TPanel::SetFullRepaint)
                                      .Table();
  return &table;
}
QUILLO_DEFINE_PUBLISHED_CLASS(TPanel, TCustomPanel)

// TBevel

const TPropTable* TBevel::PublishedProperties() {
  static const TPropTable table = TPublisher<TBevel>()
                                      .Property("Shape", &TBevel::GetShape, &TBevel::SetShape)
                                      .Property("Style", &TBevel::GetStyle, &TBevel::SetStyle)
                                      .Table();
  return &table;
}
QUILLO_DEFINE_PUBLISHED_CLASS(TBevel, TGraphicControl)

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
  controlStyle_ << csReplicatable;
  SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape value) {
  if (shape_ == value) return;
  shape_ = value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle value) {
  if (style_ == value) return;
  style_ = value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* c = GetCanvas();
  TColor first = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor second = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
  c->GetPen()->SetWidth(1);
  c->GetPen()->SetStyle(psSolid);
  auto line = [c](TColor colour, int x1, int y1, int x2, int y2) {
    c->GetPen()->SetColor(colour);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
  };
  // A box's light and dark edges, the corners drawn by both.
  auto box = [&](TColor light, TColor dark, const TRect& r) {
    c->GetPen()->SetColor(light);
    const std::array<TPoint, 3> a{TPoint(r.left, r.bottom), TPoint(r.left, r.top), TPoint(r.right, r.top)};
    c->Polyline(a);
    c->GetPen()->SetColor(dark);
    const std::array<TPoint, 3> b{TPoint(r.right, r.top), TPoint(r.right, r.bottom), TPoint(r.left, r.bottom)};
    c->Polyline(b);
  };
  int w = GetWidth(), h = GetHeight();
  switch (shape_) {
    case bsBox: box(first, second, TRect(0, 0, w - 1, h - 1)); break;
    case bsFrame:  // two boxes, one pixel apart, in opposite colours: an etched frame
      box(second, second, TRect(1, 1, w - 1, h - 1));
      box(first, first, TRect(0, 0, w - 2, h - 2));
      break;
    case bsTopLine:
      line(first, 0, 0, w, 0);
      line(second, 0, 1, w, 1);
      break;
    case bsBottomLine:
      line(first, 0, h - 2, w, h - 2);
      line(second, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      line(first, 0, 0, 0, h);
      line(second, 1, 0, 1, h);
      break;
    case bsRightLine:
      line(first, w - 2, 0, w - 2, h);
      line(second, w - 1, 0, w - 1, h);
      break;
    case bsSpacer: break;
  }
}

// TShape

const TPropTable* TShape::PublishedProperties() {
  static const TPropTable table = TPublisher<TShape>()
                                      .Property("Brush", &TShape::GetBrush, &TShape::SetBrush)
                                      .Property("Pen", &TShape::GetPen, &TShape::SetPen)
                                      .Property("Shape", &TShape::GetShape, &TShape::SetShape)
                                      .Table();
  return &table;
}
QUILLO_DEFINE_PUBLISHED_CLASS(TShape, TGraphicControl)

TShape::TShape(TComponent* owner)
    : TGraphicControl(owner), pen_(MakeObject<TPen>()), brush_(MakeObject<TBrush>()) {
  controlStyle_ << csReplicatable;
  SetBounds(0, 0, 65, 65);
  pen_->OnChange = [this](TObject*) { Invalidate(); };
  brush_->OnChange = [this](TObject*) { Invalidate(); };
}

TShape::~TShape() {
  pen_->OnChange = nullptr;
  brush_->OnChange = nullptr;
}

void TShape::SetShape(TShapeType value) {
  if (shape_ == value) return;
  shape_ = value;
  Invalidate();
}

void TShape::Paint() {
  TCanvas* c = GetCanvas();
  c->SetPen(pen_.get());
  c->SetBrush(brush_.get());
  int penWidth = pen_->GetWidth();
  int x = penWidth / 2, y = x;
  int w = GetWidth() - penWidth + 1, h = GetHeight() - penWidth + 1;
  if (penWidth == 0) {
    --w;
    --h;
  }
  int s = std::min(w, h);
  if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
    x += (w - s) / 2;
    y += (h - s) / 2;
    w = h = s;
  }
  switch (shape_) {
    case stRectangle: case stSquare: c->Rectangle(x, y, x + w, y + h); break;
    case stRoundRect: case stRoundSquare: c->RoundRect(x, y, x + w, y + h, s / 4, s / 4); break;
    case stEllipse: case stCircle: c->Ellipse(x, y, x + w, y + h); break;
  }
}

// TImage

const TPropTable* TImage::PublishedProperties() {
  static const TPropTable table = TPublisher<TImage>()
                                      .Property("AutoSize", &TImage::GetAutoSize, &TImage::SetAutoSize)
                                      .Property("Center", &TImage::GetCenter, &TImage::SetCenter)
                                      .Property("Picture", &TImage::GetPicture, &TImage::SetPicture)
                                      .Property("Proportional", &TImage::GetProportional, &TImage::SetProportional)
                                      .Property("Stretch", &TImage::GetStretch, &TImage::SetStretch)
                                      .Property("Transparent", &TImage::GetTransparent, &TImage::SetTransparent)
                                      .Table();
  return &table;
}
QUILLO_DEFINE_PUBLISHED_CLASS(TImage, TGraphicControl)

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(MakeObject<TPicture>()) {
  controlStyle_ << csReplicatable;
  SetBounds(0, 0, 105, 105);
  picture_->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() { picture_->OnChange = nullptr; }

TCanvas* TImage::GetCanvas() {
  if (!picture_->GetGraphic()) {
    auto bitmap = MakeObject<TBitmap>();
    bitmap->SetWidth(GetWidth());
    bitmap->SetHeight(GetHeight());
    picture_->SetGraphic(bitmap.get());
  }
  auto* bitmap = dynamic_cast<TBitmap*>(picture_->GetGraphic());
  if (!bitmap) throw EInvalidOperation(VclText::ImageCanvasNeedsBitmap);
  return bitmap->GetCanvas();
}

TRect TImage::DestRect() const {
  int w = picture_->GetWidth(), h = picture_->GetHeight();
  int cw = GetClientWidth(), ch = GetClientHeight();
  if (stretch_ || (proportional_ && (w > cw || h > ch))) {
    if (proportional_ && w > 0 && h > 0) {
      double aspect = static_cast<double>(w) / h;
      if (w > h) {
        w = cw;
        h = static_cast<int>(cw / aspect);
        if (h > ch) {
          h = ch;
          w = static_cast<int>(ch * aspect);
        }
      } else {
        h = ch;
        w = static_cast<int>(ch * aspect);
        if (w > cw) {
          w = cw;
          h = static_cast<int>(cw / aspect);
        }
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r(0, 0, w, h);
  if (center_) r = TRect(r.left + (cw - w) / 2, r.top + (ch - h) / 2, r.right + (cw - w) / 2, r.bottom + (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TGraphic* graphic = picture_->GetGraphic();
  if (!graphic || graphic->Empty()) return;
  drawing_ = true;
  try {
    TGraphicControl::GetCanvas()->StretchDraw(DestRect(), graphic);
  } catch (...) {
    drawing_ = false;
    throw;
  }
  drawing_ = false;
}

void TImage::PictureChanged() {
  if (autoSize_ && picture_->GetWidth() > 0 && picture_->GetHeight() > 0)
    SetBounds(GetLeft(), GetTop(), picture_->GetWidth(), picture_->GetHeight());
  TGraphic* graphic = picture_->GetGraphic();
  bool opaque = false;
  if (graphic) {
    if (!dynamic_cast<TIcon*>(graphic) && !dynamic_cast<TMetafile*>(graphic)) graphic->SetTransparent(transparent_);
    opaque = !graphic->GetTransparent() &&
             (stretch_ || (graphic->GetWidth() >= GetWidth() && graphic->GetHeight() >= GetHeight()));
  }
  if (opaque)
    controlStyle_ << csOpaque;
  else
    controlStyle_ >> csOpaque;
  if (!drawing_) Invalidate();
}

void TImage::SetStretch(bool value) {
  if (stretch_ == value) return;
  stretch_ = value;
  PictureChanged();
}

void TImage::SetCenter(bool value) {
  if (center_ == value) return;
  center_ = value;
  PictureChanged();
}

void TImage::SetProportional(bool value) {
  if (proportional_ == value) return;
  proportional_ = value;
  PictureChanged();
}

void TImage::SetTransparent(bool value) {
  if (transparent_ == value) return;
  transparent_ = value;
  PictureChanged();
}

void TImage::SetAutoSize(bool value) {
  autoSize_ = value;
  if (value) PictureChanged();
}

// TPaintBox

const TPropTable* TPaintBox::PublishedProperties() {
  static const TPropTable table = TPublisher<TPaintBox>().Table();
  return &table;
}
QUILLO_DEFINE_PUBLISHED_CLASS(TPaintBox, TGraphicControl)

TPaintBox::TPaintBox(TComponent* owner) : TGraphicControl(owner) {
  controlStyle_ << csReplicatable;
  SetBounds(0, 0, 105, 105);
}

void TPaintBox::Paint() {
  TCanvas* c = GetCanvas();
  c->GetFont()->Assign(GetFont());
  c->GetBrush()->SetColor(GetColor());
  if (OnPaint) OnPaint(this);
}
