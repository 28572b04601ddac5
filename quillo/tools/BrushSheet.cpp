// The tool options window's Brush sheet: the factory brush's size, hardness and shape, the
// transparency every brush is stamped with, the choice between the factory and a custom
// brush, the brush files, and the preview of the brush as it will be stamped.

#include <algorithm>
#include <exception>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ScrollBar.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Settings.h"
#include "quillo/document/BrushState.h"
#include "quillo/document/ImageView.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/FactoryBrush.h"
#include "quillo/tools/SheetControls.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolHost.h"
#include "quillo/tools/ToolObjects.h"

Buffer ToolFormPicture;

namespace {

constexpr int PreviewSize = 96;
constexpr int BarWidth = 150;
constexpr int LeastBrushSize = 1, MostBrushSize = 200;
constexpr int LeastHardness = 1, MostHardness = 100;
constexpr int MostTransparency = 100;

// A round or square black shape on the button face.
void SetShapeGlyph(TSpeedButton* button, bool round) {
  constexpr int GlyphSize = 16;
  TOwnedPtr<TBitmap> glyph = MakeObject<TBitmap>();
  glyph->SetSize(GlyphSize, GlyphSize);
  TCanvas* canvas = glyph->GetCanvas();
  canvas->GetBrush()->SetColor(clBtnFace);
  canvas->FillRect(TRect(0, 0, GlyphSize, GlyphSize));
  canvas->GetBrush()->SetColor(clBlack);
  canvas->GetPen()->SetColor(clBlack);
  if (round) canvas->Ellipse(2, 2, GlyphSize - 2, GlyphSize - 2);
  else canvas->Rectangle(3, 3, GlyphSize - 3, GlyphSize - 3);
  button->SetGlyph(glyph.get());
}

}  // namespace

void TToolForm::BuildBrushSheet() {
  struct Bar {
    TScrollBar** bar;
    TLabel** label;
    const char* name;
    const char* labelName;
    int min, max, position, largeChange;
    TNotifyEvent change;
  };
  const Bar bars[] = {
      {&BrSize, &BrSizeVal, "BrSize", "BrSizeVal", LeastBrushSize, MostBrushSize, 1, 10,
       [this](TObject* s) { BrSizeChange(s); }},
      {&BrHardness, &BrHardnessVal, "BrHardness", "BrHardnessVal", LeastHardness, MostHardness, MostHardness, 10,
       [this](TObject* s) { BrHardnessChange(s); }},
      {&BrTransp, &BrTranspVal, "BrTransp", "BrTranspVal", 0, MostTransparency, 0, 20,
       [this](TObject* s) { BrTranspChange(s); }},
  };
  int top = 4;
  for (const Bar& b : bars) {
    *b.bar = SheetChild<TScrollBar>(this, BrushSheet, b.name, 4, top, BarWidth, 16);
    (*b.bar)->SetParams(b.position, b.min, b.max);
    (*b.bar)->SetLargeChange(b.largeChange);
    *b.label = SheetChild<TLabel>(this, BrushSheet, b.labelName, 4 + BarWidth - 30, top + 18, 30, 13);
    (*b.label)->SetAlignment(taRightJustify);
    (*b.label)->SetCaption(std::to_string(b.position));
    (*b.bar)->OnChange = b.change;
    top += 34;
  }
  BrCircShape = SheetChild<TSpeedButton>(this, BrushSheet, "BrCircShape", 4, top, 24, 24);
  BrRectShape = SheetChild<TSpeedButton>(this, BrushSheet, "BrRectShape", 30, top, 24, 24);
  for (TSpeedButton* b : {BrCircShape, BrRectShape}) {
    b->SetGroupIndex(1);
    b->OnClick = [this](TObject* s) { CreateBrushShape(s); };
  }
  SetShapeGlyph(BrCircShape, true);
  SetShapeGlyph(BrRectShape, false);
  BrCircShape->SetDown(true);
  BrCircShape->SetHint("Round Brush");
  BrRectShape->SetHint("Square Brush");
  FactoryShapeRB = SheetChild<TCheckBox>(this, BrushSheet, "FactoryShapeRB", 60, top - 2, 94, 17);
  FactoryShapeRB->SetCaption("Factory Shape");
  CustomShapeRB = SheetChild<TCheckBox>(this, BrushSheet, "CustomShapeRB", 60, top + 14, 94, 17);
  CustomShapeRB->SetCaption("Custom Shape");
  FactoryShapeRB->SetChecked(true);
  for (TCheckBox* c : {FactoryShapeRB, CustomShapeRB}) c->OnClick = [this](TObject* s) { ShapeChangeClick(s); };
  top += 34;
  BrOpenBtn = SheetChild<TButton>(this, BrushSheet, "BrOpenBtn", 4, top, 72, 23);
  BrOpenBtn->SetCaption("&Open");
  BrOpenBtn->OnClick = [this](TObject* s) { BrOpenBtnClick(s); };
  BrSaveBtn = SheetChild<TButton>(this, BrushSheet, "BrSaveBtn", 82, top, 72, 23);
  BrSaveBtn->SetCaption("&Save");
  BrSaveBtn->OnClick = [this](TObject* s) { BrSaveBtnClick(s); };

  BrPrevHolder = SheetChild<TBuffer>(this, BrushSheet, "BrPrevHolder", BarWidth + 14, 4, PreviewSize, PreviewSize);
  ToolFormPicture.Alloc(Pair<int>(PreviewSize, PreviewSize));
  ToolFormPicture.Box(ToolFormPicture.rect, 0);
  BrPrevHolder->SetBuffer(&ToolFormPicture);
  BrushSheet->OnShow = [this](TObject* s) { RefreshBrushSheet(s); };
}

void TToolForm::ShowBrushSettings() {
  showingBrushSettings_ = true;
  BrSize->SetPosition(std::clamp(Settings.BrushSize, LeastBrushSize, MostBrushSize));
  BrHardness->SetPosition(std::clamp(Settings.BrushHardness, LeastHardness, MostHardness));
  BrTransp->SetPosition(std::clamp(BrushTransparency, 0, MostTransparency));
  BrushLabel(BrSizeVal, BrSize->GetPosition());
  BrushLabel(BrHardnessVal, BrHardness->GetPosition());
  BrushLabel(BrTranspVal, BrTransp->GetPosition());
  changingShape_ = true;
  FactoryShapeRB->SetChecked(!CustomBrush);
  CustomShapeRB->SetChecked(CustomBrush);
  changingShape_ = false;
  showingBrushSettings_ = false;
}

void TToolForm::BrushLabel(TLabel* label, int value) {
  label->SetCaption(std::to_string(value));
  // Right-aligned with the end of the transparency bar.
  label->SetLeft(BrTransp->GetLeft() + BrTransp->GetWidth() - label->GetWidth());
}

void TToolForm::CreateBrushShape(TObject* sender) {
  HideToolFeedback();
  if (FactoryShapeRB->GetChecked()) {
    const bool square = BrRectShape->GetDown();
    // The pixel pen's toggle makes the factory brush again in the shape chosen here.
    BrushState.ShapeKind = square ? 1 : 0;
    MakeFactoryBrush(square ? FactoryShape::Square : FactoryShape::Round, BrSize->GetPosition(),
                     BrHardness->GetPosition(), DrawingColour());
    SetBrushModeColor();
    if (RememberedTool == &PenOneTool || RememberedTool == &PenDiscTool) PendingTool = &PenContTool;
  } else if (sender) {
    UpdateBrushShape(false);
  }
  ShowToolFeedback();
  DrawBrushPreview();
}

void TToolForm::ShapeChangeClick(TObject* sender) {
  if (changingShape_) return;
  changingShape_ = true;
  FactoryShapeRB->SetChecked(sender == FactoryShapeRB);
  CustomShapeRB->SetChecked(sender == CustomShapeRB);
  CustomBrush = CustomShapeRB->GetChecked();
  changingShape_ = false;
  CreateBrushShape(sender);
}

void TToolForm::BrSizeChange(TObject* sender) {
  BrushLabel(BrSizeVal, BrSize->GetPosition());
  Settings.BrushSize = BrSize->GetPosition();
  if (sender && !showingBrushSettings_ && FactoryShapeRB->GetChecked()) CreateBrushShape(sender);
}

void TToolForm::BrHardnessChange(TObject* sender) {
  BrushLabel(BrHardnessVal, BrHardness->GetPosition());
  Settings.BrushHardness = BrHardness->GetPosition();
  if (sender && !showingBrushSettings_ && FactoryShapeRB->GetChecked()) CreateBrushShape(sender);
}

void TToolForm::BrTranspChange(TObject* sender) {
  BrushLabel(BrTranspVal, BrTransp->GetPosition());
  BrushTransparency = BrTransp->GetPosition();
  Settings.BrushTransp = BrushTransparency;
  if (sender && !showingBrushSettings_) CreateBrushShape(sender);
}

void TToolForm::BrOpenBtnClick(TObject* sender) {
  if (PageControl->GetActivePage() != BrushSheet) return;
  TheToolHost().OpenBrush();
  CreateBrushShape(sender);
}

void TToolForm::BrSaveBtnClick(TObject*) {
  if (PageControl->GetActivePage() != BrushSheet) return;
  TheToolHost().SaveBrush();
}

void TToolForm::RefreshBrushSheet(TObject*) {
  if (!GetVisible() || PageControl->GetActivePage() != BrushSheet) return;
  if (BrushState.ShapeKind == 0) BrCircShape->SetDown(true);
  else if (BrushState.ShapeKind == 1) BrRectShape->SetDown(true);
}

void TToolForm::DrawBrushPreview() {
  const uint back = BackgroundColour();
  Buffer shown;
  if (BrushShape.pixels && !BrushShape.Empty()) {
    const int bw = BrushShape.Width(), bh = BrushShape.Height();
    const float scale = std::min(static_cast<float>(PreviewSize) / static_cast<float>(bw),
                                 static_cast<float>(PreviewSize) / static_cast<float>(bh));
    if (scale < 1.001f) {
      shown.Alloc(Pair<int>(std::max(1, static_cast<int>(static_cast<float>(bw) * scale + 0.5f)),
                             std::max(1, static_cast<int>(static_cast<float>(bh) * scale + 0.5f))));
      shown.Box(shown.rect, back);
      try {
        shown.Scale(BrushShape, {shown.Width(), shown.Height()}, {shown.rect.left, shown.rect.top}, Buffer::kComposite,
                    0);
      } catch (const std::exception&) {
        // The preview shows what the scaling managed.
      }
    } else {
      shown.Alloc(Pair<int>(bw, bh));
      shown.Copy(BrushShape, {shown.rect.left - BrushShape.rect.left, shown.rect.top - BrushShape.rect.top},
                 Buffer::kPlain);
    }
  }
  ToolFormPicture.Box(ToolFormPicture.rect, back);
  if (!shown.Empty()) {
    const Pair<int> offset((PreviewSize - shown.Width()) / 2, (PreviewSize - shown.Height()) / 2);
    ToolFormPicture.Copy(shown, {ToolFormPicture.rect.left + offset.x - shown.rect.left,
                                 ToolFormPicture.rect.top + offset.y - shown.rect.top},
                         Buffer::kComposite);
  }
  BrPrevHolder->Invalidate();
}
