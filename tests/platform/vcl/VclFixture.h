#pragma once
// What the framework's UI tests share: a fresh desktop on the headless host with the UI
// driver, freed with the application (and every form it owns) before the desktop goes, and
// small controls that paint a colour and record what happens to them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/vcl/Application.h"
#include "platform/vcl/GraphicControl.h"
#include "platform/vcl/Screen.h"
#include "support/UiDriver.h"

class VclTest : public ::testing::Test {
protected:
  ~VclTest() override { ResetApplication(); }
  UiDriver ui;
  std::vector<std::string> log;

  // The screen point of a control's client point.
  static POINT At(TControl* c, int x, int y) {
    TPoint p = c->ClientToScreen(TPoint(x, y));
    return POINT{p.x, p.y};
  }
  void ClickOn(TControl* c, int x = 5, int y = 5) {
    POINT p = At(c, x, y);
    ui.Click(p.x, p.y);
  }
  std::uint32_t PixelOf(TControl* c, int x, int y) const {
    TPoint p = c->ClientToScreen(TPoint(x, y));
    return ui.Pixel(p.x, p.y);
  }
};

// A windowed control that fills itself with its colour and draws a frame in FrameColor.
class TSwatch : public TCustomControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TSwatch(TComponent* owner) : TCustomControl(owner) { controlStyle_ << csAcceptsControls; }
  TColor FrameColor = clBlack;
  int Paints = 0;

protected:
  // Takes the focus when clicked, as an input control does.
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
    if (GetTabStop() && CanFocus() && !Focused()) SetFocus();
    TCustomControl::MouseDown(button, shift, x, y);
  }
  void Paint() override {
    ++Paints;
    TCanvas* c = GetCanvas();
    c->GetBrush()->SetColor(GetColor());
    c->GetPen()->SetColor(FrameColor);
    c->Rectangle(GetClientRect());
  }
};

// A windowless control that fills itself with its colour.
class TBlock : public TGraphicControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TBlock(TComponent* owner) : TGraphicControl(owner) {}
  int Paints = 0;

protected:
  void Paint() override {
    ++Paints;
    GetCanvas()->GetBrush()->SetColor(GetColor());
    GetCanvas()->FillRect(GetClientRect());
  }
};

// 0x00BBGGRR as the desktop reads it, 0x00RRGGBB.
inline std::uint32_t Rgb(TColor c) {
  COLORREF v = ColorToRGB(c);
  return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}
