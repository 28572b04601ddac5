#include "quillo/tools/ColorSelector.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/gdi/Display.h"
#include "platform/gdi/WinDefs.h"
#include "platform/host/KeyCodes.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/StdButtons.h"
#include "platform/vcl/UpDown.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/document/ImageView.h"
#include "quillo/tools/ColorSpace.h"

QUILLO_DEFINE_CLASS(TColorBox, TComponent)
QUILLO_DEFINE_CLASS(TColorSel, TForm)

namespace {

constexpr int RingSize = 216;
constexpr int RingCentre = 108;
constexpr int RingInner = 84;
constexpr int RingOuter = 108;
constexpr int MarkerRadius = 96;
constexpr int SquareSize = 128;
constexpr int SquareLeft = 4 + RingCentre - SquareSize / 2;
constexpr int SquareTop = 4 + RingCentre - SquareSize / 2;
constexpr int DialogHelp = 1000;
constexpr int MostHue = 359;
constexpr double Pi = 3.14159265358979323846;

std::uint32_t Blend(std::uint32_t a, int wa, std::uint32_t b, int wb) {
  std::uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int ca = static_cast<int>(a >> shift & 0xFF), cb = static_cast<int>(b >> shift & 0xFF);
    out |= static_cast<std::uint32_t>((wa * ca + wb * cb) / (wa + wb)) << shift;
  }
  return out;
}

std::uint32_t HsvPixel(int h, int s, int v) {
  int r = 0, g = 0, b = 0;
  HSV2RGB(h, s, v, r, g, b);
  return static_cast<std::uint32_t>(r << 16 | g << 8 | b);
}

int RingHue(int dx, int dy) {
  int hue = static_cast<int>(std::atan2(static_cast<double>(dy), static_cast<double>(dx)) * 180.0 / Pi + 360.0);
  if (hue > 360) hue -= 360;
  return hue;
}

}  // namespace

void DrawHueRing(Buffer& ring, std::uint32_t face) {
  ring.Alloc(Pair<int>(RingSize, RingSize));
  ring.Box(ring.rect, face);
  for (int dy = -RingCentre; dy < RingSize - RingCentre; ++dy) {
    for (int dx = -RingCentre; dx < RingSize - RingCentre; ++dx) {
      const double d = std::sqrt(static_cast<double>(dx * dx + dy * dy));
      if (d < RingInner || d > RingOuter) continue;
      const std::uint32_t c = HsvPixel(RingHue(dx, dy), 255, 255);
      std::uint32_t p = c;
      if (d < 84.33 || d > 107.67) p = Blend(face, 3, c, 1);
      else if (d < 84.66 || d > 107.34) p = Blend(face, 1, c, 1);
      else if (d < 85 || d > 107) p = Blend(face, 1, c, 3);
      *ring.At(ring.rect.left + RingCentre + dx, ring.rect.top + RingCentre + dy) = p;
    }
  }
}

// ---------------------------------------------------------------------------------------
// TColorBox

TColorBox::TColorBox(TComponent* owner) : TComponent(owner) {}

void TColorBox::RGB2HSV(int r, int g, int b, int& h, int& s, int& v) { ::RGB2HSV(r, g, b, h, s, v); }
// Any hue is taken round the circle, so that every call gives a colour.
void TColorBox::HSV2RGB(int h, int s, int v, int& r, int& g, int& b) { ::HSV2RGB(h, s, v, r, g, b); }

TColor TColorBox::Execute(TColor start) {
  TOwnedPtr<TColorSel> dialog(NewComponent<TColorSel>(Application()));
  dialog->OnColorChange = OnChange;
  const AnsiString title = Title.empty() ? Application()->GetTitle() : Title;
  dialog->SetCaption(title);
  dialog->Cap->SetApplicationName(title);
  const AnsiString captions[] = {HueCaption, SaturationCaption, ValueCaption, RedCaption,
                                 GreenCaption, BlueCaption, HTMLCaption};
  for (int i = 0; i < 7; ++i) dialog->Labels[i]->SetCaption(captions[i]);
  dialog->OkBtn->SetCaption(OkCaption);
  dialog->HelpBtn->SetCaption(HelpCaption);
  dialog->CancelBtn->SetCaption(CancelCaption);
  dialog->Hue->SetHint(HueHint);
  dialog->Saturation->SetHint(SaturationHint);
  dialog->Value->SetHint(ValueHint);
  dialog->Red->SetHint(RedHint);
  dialog->Green->SetHint(GreenHint);
  dialog->Blue->SetHint(BlueHint);
  dialog->HTML->SetHint(HTMLHint);
  dialog->OkBtn->SetHint(OkHint);
  dialog->HelpBtn->SetHint(HelpHint);
  dialog->CancelBtn->SetHint(CancelHint);
  if (HelpContext == 0) dialog->HelpBtn->SetVisible(false);
  else dialog->SetHelpContext(HelpContext);
  dialog->Cap->SetActiveBeginColor(CaptionColor);
  dialog->Cap->SetActiveEndColor(ActiveCaptionEndColor);
  dialog->SetStartColour(start);
  if (dialog->ShowModal() == mrOk) return dialog->Colour();
  if (OnChange) OnChange(this, start);
  return start;
}

// ---------------------------------------------------------------------------------------
// TColorSel

void TColorSel::SavedPixels::Restore(Buffer& b) {
  if (!saved) return;
  for (std::size_t i = 0; i < at.size(); ++i) *b.At(at[i].x, at[i].y) = colour[i];
  saved = false;
}

void TColorSel::SavedPixels::Mark(Buffer& b, Pair<int> centre, std::uint32_t markColour) {
  const Pair<int> around[] = {{centre.x - 1, centre.y}, {centre.x, centre.y - 1}, {centre.x + 1, centre.y},
                              {centre.x, centre.y + 1}};
  for (std::size_t i = 0; i < at.size(); ++i) {
    at[i] = {std::clamp(around[i].x, b.rect.left, b.rect.right), std::clamp(around[i].y, b.rect.top, b.rect.bottom)};
    colour[i] = *b.At(at[i].x, at[i].y);
  }
  for (const Pair<int>& p : at) *b.At(p.x, p.y) = markColour;
  saved = true;
}

TColorSel::TColorSel(TComponent* owner) : TForm(owner) {
  SetName("ColorSel");
  SetBorderStyle(bsSingle);
  SetBorderIcons({biSystemMenu});
  SetFormStyle(fsStayOnTop);
  SetPosition(poScreenCenter);
  SetKeyPreview(true);
  SetHelpContext(DialogHelp);
  SetColor(clBtnFace);
  GetFont()->SetName("MS Sans Serif");
  GetFont()->SetSize(8);
  SetClientWidth(328);
  SetClientHeight(235);
  DrawHueRing(ring_, PixelFromColor(GetSysColor(COLOR_BTNFACE)));
  square_.Alloc(Pair<int>(SquareSize, SquareSize));
  square_.Box(square_.rect, 0);
  BuildComponents();
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnDeactivate = [this](TObject*) { BringToFront(); };
}

TColorSel::~TColorSel() = default;

void TColorSel::BuildComponents() {
  Cap = NewNamedComponent<TBandCaption>(this, "Cap");
  Cap->SetActiveBeginColor(clActiveCaption);
  Cap->SetInactiveBeginColor(clInactiveCaption);
  Cap->SetInactiveEndColor(InactiveCaptionEndColor);

  ColCircle = NewNamedComponent<TBuffer>(this, "ColCircle");
  ColCircle->SetParent(this);
  ColCircle->SetBounds(4, 4, RingSize, RingSize);
  ColCircle->SetBuffer(&ring_);
  ColCircle->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int x, int y) {
    ringDrag_ = true;
    PickHue(x, y, true);
  };
  ColCircle->OnMouseMove = [this](TObject*, TShiftState, int x, int y) {
    if (ringDrag_) PickHue(x, y, false);
  };
  ColCircle->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { ringDrag_ = false; };

  HSVBuf = NewNamedComponent<TBuffer>(this, "HSVBuf");
  HSVBuf->SetParent(this);
  HSVBuf->SetBounds(SquareLeft, SquareTop, SquareSize, SquareSize);
  HSVBuf->SetBuffer(&square_);
  HSVBuf->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int x, int y) {
    squareDrag_ = true;
    PickSV(x, y);
  };
  HSVBuf->OnMouseMove = [this](TObject*, TShiftState, int x, int y) {
    if (squareDrag_) PickSV(x, y);
  };
  HSVBuf->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int x, int y) {
    squareDrag_ = false;
    PickSV(x, y);
  };

  struct Field {
    TEdit** edit;
    TUpDown** spin;
    const char* editName;
    const char* spinName;
    int max;
  };
  const Field fields[] = {
      {&HueEdit, &Hue, "HueEdit", "Hue", MostHue},          {&SaturationEdit, &Saturation, "SaturationEdit", "Saturation", 255},
      {&ValueEdit, &Value, "ValueEdit", "Value", 255},      {&RedEdit, &Red, "RedEdit", "Red", 255},
      {&GreenEdit, &Green, "GreenEdit", "Green", 255},      {&BlueEdit, &Blue, "BlueEdit", "Blue", 255},
  };
  const char* labelNames[] = {"HueLabel", "SaturationLabel", "ValueLabel", "RedLabel",
                              "GreenLabel", "BlueLabel", "HTMLLabel"};
  const char* labelTexts[] = {"Hue", "Saturation", "Value", "Red", "Green", "Blue", "HTML"};
  constexpr int fieldsLeft = 226;
  for (int i = 0; i < 7; ++i) {
    Labels[i] = NewNamedComponent<TLabel>(this, labelNames[i]);
    Labels[i]->SetParent(this);
    Labels[i]->SetBounds(fieldsLeft, 8 + i * 25, 56, 13);
    Labels[i]->SetCaption(labelTexts[i]);
  }
  int top = 4;
  for (const Field& f : fields) {
    TEdit* edit = *f.edit = NewNamedComponent<TEdit>(this, f.editName);
    edit->SetParent(this);
    edit->SetBounds(fieldsLeft + 56, top, 30, 21);
    edit->SetMaxLength(3);
    TUpDown* spin = *f.spin = NewNamedComponent<TUpDown>(this, f.spinName);
    spin->SetParent(this);
    spin->SetBounds(fieldsLeft + 87, top, 15, 21);
    spin->SetMin(0);
    spin->SetMax(f.max);
    edit->OnMouseDown = [this, edit](TObject*, TMouseButton, TShiftState, int, int y) { EditMouseDown(edit, y); };
    edit->OnMouseMove = [this, edit](TObject*, TShiftState, int, int y) { EditMouseMove(edit, y); };
    edit->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { dragEdit_ = nullptr; };
    top += 25;
  }
  for (TEdit* e : {RedEdit, GreenEdit, BlueEdit}) {
    TUpDown* spin = SpinOf(e);
    e->OnChange = [this, e, spin](TObject*) { ColorEditChange(e, spin); };
    e->OnExit = [this, e, spin](TObject*) { ColorEditChange(e, spin); };
  }
  HueEdit->OnChange = [this](TObject*) { HueChange(); };
  SaturationEdit->OnChange = [this](TObject*) { SVChange(SaturationEdit); };
  ValueEdit->OnChange = [this](TObject*) { SVChange(ValueEdit); };
  for (TEdit* e : {RedEdit, GreenEdit, BlueEdit, HueEdit, SaturationEdit, ValueEdit}) {
    TUpDown* spin = SpinOf(e);
    spin->OnClick = [this, e, spin](TObject*, TUDBtnType) { SpinClick(e, spin); };
  }
  HTML = NewNamedComponent<TEdit>(this, "HTML");
  HTML->SetParent(this);
  HTML->SetBounds(fieldsLeft + 40, top, 62, 21);
  HTML->SetReadOnly(true);
  // The code is shown, not typed: the field looks as read-only as it is.
  HTML->SetColor(clBtnFace);

  OkBtn = NewNamedComponent<TButton>(this, "OkBtn");
  OkBtn->SetParent(this);
  OkBtn->SetBounds(fieldsLeft, 206, 48, 23);
  OkBtn->SetModalResult(mrOk);
  OkBtn->SetDefault(true);
  CancelBtn = NewNamedComponent<TButton>(this, "CancelBtn");
  CancelBtn->SetParent(this);
  CancelBtn->SetBounds(fieldsLeft + 52, 206, 48, 23);
  CancelBtn->SetModalResult(mrCancel);
  HelpBtn = NewNamedComponent<TButton>(this, "HelpBtn");
  HelpBtn->SetParent(this);
  HelpBtn->SetBounds(fieldsLeft, 180, 100, 23);
  HelpBtn->OnClick = [this](TObject*) { Application()->HelpContext(GetHelpContext()); };
}

TUpDown* TColorSel::SpinOf(TEdit* edit) const {
  if (edit == RedEdit) return Red;
  if (edit == GreenEdit) return Green;
  if (edit == BlueEdit) return Blue;
  if (edit == HueEdit) return Hue;
  if (edit == SaturationEdit) return Saturation;
  if (edit == ValueEdit) return Value;
  return nullptr;
}

void TColorSel::SetStartColour(TColor colour) {
  const COLORREF c = ColorToRGB(colour);
  // The hue marker first, so that a start on hue 0 shows it too.
  MoveHueMarker(0);
  SetRGB(GetRValue(c), GetGValue(c), GetBValue(c));
}

TColor TColorSel::Colour() const {
  return static_cast<TColor>(Red->GetPosition() | Green->GetPosition() << 8 | Blue->GetPosition() << 16);
}

void TColorSel::SetText(TEdit* edit, int value) {
  const AnsiString text = IntToStr(value);
  if (edit->GetText() != text) edit->SetText(text);
}

void TColorSel::SetQuietly(TEdit* edit, int value) {
  const int saved = guard_;
  guard_ = 3;
  SetText(edit, value);
  if (TUpDown* spin = SpinOf(edit)) spin->SetPosition(value);
  guard_ = saved;
}

void TColorSel::FieldChanged(TEdit* edit) {
  if (edit == HueEdit) HueChange();
  else if (edit == SaturationEdit || edit == ValueEdit) SVChange(edit);
  else ColorEditChange(edit, SpinOf(edit));
}

// The three fields and spin buttons at once, then one colour change.
void TColorSel::SetRGB(int r, int g, int b) {
  SetQuietly(RedEdit, r);
  SetQuietly(GreenEdit, g);
  SetQuietly(BlueEdit, b);
  ValChange();
}

void TColorSel::ValChange() {
  if (OnColorChange) OnColorChange(this, Colour());
  const int r = Red->GetPosition(), g = Green->GetPosition(), b = Blue->GetPosition();
  char html[8];
  std::snprintf(html, sizeof html, "%02X%02X%02X", r, g, b);
  HTML->SetText(html);
  int h = 0, s = 0, v = 0;
  RGB2HSV(r, g, b, h, s, v);
  if (guard_ == 0 && !squareDrag_) {
    SetQuietly(HueEdit, h);
    SetQuietly(SaturationEdit, s);
    SetQuietly(ValueEdit, v);
    s_ = s;
    v_ = v;
    MoveHueMarker(h);
  }
  DrawSquare();
}

void TColorSel::ColorEditChange(TEdit* edit, TUpDown* spin) {
  const int value = std::clamp(StrToIntDef(edit->GetText(), 0), 0, 255);
  spin->SetPosition(value);
  if (guard_ == 3) return;
  ValChange();
}

void TColorSel::HueChange() {
  if (guard_ != 0) return;
  guard_ = 1;
  int h = StrToIntDef(HueEdit->GetText(), 0);
  // Stepping past either end goes round.
  if (h >= 360) h = 0;
  if (h < 0) h = MostHue;
  SetQuietly(HueEdit, h);
  int r = Red->GetPosition(), g = Green->GetPosition(), b = Blue->GetPosition();
  TColorBox::HSV2RGB(h, s_, v_, r, g, b);
  SetRGB(r, g, b);
  DrawSquare();
  MoveHueMarker(h);
  guard_ = 0;
}

void TColorSel::SVChange(TEdit* edit) {
  if (guard_ != 0) return;
  guard_ = 1;
  const int value = std::clamp(StrToIntDef(edit->GetText(), 0), 0, 255);
  if (edit == SaturationEdit) s_ = value;
  else v_ = value;
  SetQuietly(edit, value);
  int r = Red->GetPosition(), g = Green->GetPosition(), b = Blue->GetPosition();
  TColorBox::HSV2RGB(Hue->GetPosition(), s_, v_, r, g, b);
  SetRGB(r, g, b);
  DrawSquare();
  guard_ = 0;
}

void TColorSel::SpinClick(TEdit* edit, TUpDown* spin) {
  SetQuietly(edit, spin->GetPosition());
  FieldChanged(edit);
}

void TColorSel::PickSV(int x, int y) {
  x = std::clamp(x, 0, SquareSize - 1);
  y = std::clamp(y, 0, SquareSize - 1);
  s_ = std::min(2 * x, 255) == 254 ? 255 : 2 * x;
  v_ = std::min(2 * y, 255) == 254 ? 255 : 2 * y;
  guard_ = 2;
  SetQuietly(SaturationEdit, s_);
  SetQuietly(ValueEdit, v_);
  int r = 0, g = 0, b = 0;
  TColorBox::HSV2RGB(Hue->GetPosition(), s_, v_, r, g, b);
  SetRGB(r, g, b);
  MoveSquareMarker();
  guard_ = 0;
}

void TColorSel::PickHue(int x, int y, bool click) {
  const int dx = x - RingCentre, dy = y - RingCentre;
  const double d = std::sqrt(static_cast<double>(dx * dx + dy * dy));
  if (click && (d < RingInner || d > RingOuter)) {
    ringDrag_ = false;
    return;
  }
  SetQuietly(HueEdit, std::min(RingHue(dx, dy), MostHue + 1));
  FieldChanged(HueEdit);
}

void TColorSel::DrawSquare() {
  if (guard_ != 2) {
    const int h = Hue->GetPosition();
    for (int y = 0; y < SquareSize; ++y) {
      std::uint32_t* row = square_.At(square_.rect.left, square_.rect.top + y);
      for (int x = 0; x < SquareSize; ++x) row[x] = HsvPixel(h, 2 * x, 2 * y);
    }
    squareMarker_.saved = false;
  }
  MoveSquareMarker();
}

void TColorSel::MoveSquareMarker() {
  squareMarker_.Restore(square_);
  const int r = Red->GetPosition(), g = Green->GetPosition(), b = Blue->GetPosition();
  const std::uint32_t mark = 30 * r + 59 * g + 11 * b < 12800 ? 0xFFFFFF : 0x000000;
  squareMarker_.Mark(square_, {square_.rect.left + s_ / 2, square_.rect.top + v_ / 2}, mark);
  HSVBuf->Invalidate();
}

void TColorSel::MoveHueMarker(int hue) {
  hueMarker_.Restore(ring_);
  const double angle = hue * Pi / 180.0;
  const int x = static_cast<int>(MarkerRadius * std::cos(angle) + RingCentre);
  const int y = static_cast<int>(MarkerRadius * std::sin(angle) + RingCentre);
  const std::uint32_t mark = hue < 31 || hue >= 210 ? 0xFFFFFF : 0x000000;
  hueMarker_.Mark(ring_, {ring_.rect.left + x, ring_.rect.top + y}, mark);
  ColCircle->Invalidate();
}

void TColorSel::EditMouseDown(TEdit* edit, int) {
  dragEdit_ = edit;
  dragStartValue_ = StrToIntDef(edit->GetText(), 0);
}

void TColorSel::EditMouseMove(TEdit* edit, int y) {
  if (dragEdit_ != edit) return;
  TUpDown* spin = SpinOf(edit);
  if (!spin) return;
  int value = dragStartValue_;
  if (y < 0) value += -y;
  else if (y >= edit->GetHeight()) value -= y - edit->GetHeight() + 1;
  value = std::clamp(value, spin->GetMin(), spin->GetMax());
  if (edit->GetText() != IntToStr(value)) {
    SetQuietly(edit, value);
    FieldChanged(edit);
  }
  edit->SetSelStart(static_cast<int>(edit->GetText().size()));
}

void TColorSel::FormKeyDown(TObject*, WORD& key, TShiftState) {
  if (key == VK_ESCAPE) {
    SetModalResult(mrCancel);
    key = 0;
    return;
  }
  if (key != VK_UP && key != VK_DOWN) return;
  auto* edit = dynamic_cast<TEdit*>(GetActiveControl());
  TUpDown* spin = edit ? SpinOf(edit) : nullptr;
  if (!spin) return;
  int value = StrToIntDef(edit->GetText(), 0) + (key == VK_UP ? 1 : -1);
  if (edit == HueEdit) value = value > MostHue ? 0 : value < 0 ? MostHue : value;
  else value = std::clamp(value, 0, 255);
  SetQuietly(edit, value);
  FieldChanged(edit);
  key = 0;
}
