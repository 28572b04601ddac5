#include "quillo/shell/AboutPicture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/Font.h"

namespace {

constexpr TColor Rgb(int r, int g, int b) { return static_cast<TColor>(b << 16 | g << 8 | r); }

struct Rgb3 {
  int r, g, b;
};

// The ground runs from night blue at the top to violet at the bottom.
constexpr Rgb3 GroundTop{16, 26, 64};
constexpr Rgb3 GroundBottom{62, 26, 98};

TColor GroundAt(int y) {
  const int span = AboutPictureHeight - 1;
  auto mix = [&](int top, int bottom) { return top + (bottom - top) * y / span; };
  return Rgb(mix(GroundTop.r, GroundBottom.r), mix(GroundTop.g, GroundBottom.g), mix(GroundTop.b, GroundBottom.b));
}

void Fill(TCanvas* canvas, TColor colour) {
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->GetBrush()->SetColor(colour);
}

void Outline(TCanvas* canvas, TColor colour, int width = 1) {
  canvas->GetPen()->SetStyle(psSolid);
  canvas->GetPen()->SetColor(colour);
  canvas->GetPen()->SetWidth(width);
}

void PaintGround(TCanvas* canvas) {
  for (int y = 0; y < AboutPictureHeight; ++y) {
    Fill(canvas, GroundAt(y));
    canvas->FillRect(TRect(0, y, AboutPictureWidth, y + 1));
  }
  // A sky of small stars, the same every time.
  std::uint32_t seed = 0x2F6E2B1u;
  auto next = [&seed](int range) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(range));
  };
  for (int i = 0; i < 46; ++i) {
    const int x = next(AboutPictureWidth), y = next(176);
    const int light = 150 + next(106);
    canvas->SetPixel(x, y, Rgb(light, light, 255));
    if (i % 7 == 0) {
      canvas->SetPixel(x + 1, y, Rgb(light, light, 255));
      canvas->SetPixel(x, y + 1, Rgb(light, light, 255));
      canvas->SetPixel(x + 1, y + 1, Rgb(light, light, 255));
    }
  }
}

void PaintPalette(TCanvas* canvas) {
  Outline(canvas, Rgb(150, 120, 86), 2);
  Fill(canvas, Rgb(238, 222, 194));
  canvas->Ellipse(240, 18, 424, 170);
  // The thumb hole shows the ground through it.
  Fill(canvas, GroundAt(132));
  canvas->Ellipse(377, 118, 405, 146);
  struct Dab {
    int x, y;
    TColor colour;
  };
  const std::array<Dab, 7> dabs{{{270, 96, Rgb(214, 38, 44)},
                                 {290, 62, Rgb(244, 138, 28)},
                                 {328, 46, Rgb(250, 214, 46)},
                                 {368, 52, Rgb(56, 168, 78)},
                                 {398, 78, Rgb(34, 176, 206)},
                                 {306, 128, Rgb(44, 92, 214)},
                                 {346, 136, Rgb(146, 58, 178)}}};
  Outline(canvas, Rgb(120, 96, 70));
  for (const Dab& dab : dabs) {
    Fill(canvas, dab.colour);
    canvas->Ellipse(dab.x - 12, dab.y - 11, dab.x + 13, dab.y + 12);
  }
}

// A feather from its nib up to its top, the vane wider on the left than on the right.
void PaintQuill(TCanvas* canvas) {
  const double nibX = 44, nibY = 236, topX = 176, topY = 24;
  const double dx = topX - nibX, dy = topY - nibY;
  const double length = std::hypot(dx, dy);
  const double ux = dx / length, uy = dy / length;
  const double nx = -uy, ny = ux;  // to the left of the shaft (up the picture's left)
  auto along = [&](double t) { return std::array<double, 2>{nibX + dx * t, nibY + dy * t}; };
  auto width = [](double t) {
    const double s = (t - 0.18) / 0.82;
    // At the very top the sine may come out a hair below zero, whose power is no number.
    const double bulge = s <= 0 || s >= 1 ? 0.0 : std::max(0.0, std::sin(std::numbers::pi * s));
    return 26.0 * std::pow(bulge, 0.7);
  };
  std::vector<TPoint> vane;
  constexpr int Steps = 40;
  for (int i = 0; i <= Steps; ++i) {
    const double t = 0.18 + 0.82 * i / Steps;
    const auto p = along(t);
    vane.emplace_back(static_cast<int>(p[0] + nx * width(t)), static_cast<int>(p[1] + ny * width(t)));
  }
  for (int i = Steps; i >= 0; --i) {
    const double t = 0.18 + 0.82 * i / Steps;
    const auto p = along(t);
    const double w = 0.75 * width(t);
    vane.emplace_back(static_cast<int>(p[0] - nx * w), static_cast<int>(p[1] - ny * w));
  }
  Outline(canvas, Rgb(168, 170, 206));
  Fill(canvas, Rgb(242, 242, 250));
  canvas->Polygon(vane);
  // Barbs: fine lines from the shaft out and upwards.
  Outline(canvas, Rgb(196, 198, 226));
  for (int i = 1; i < 24; ++i) {
    const double t = 0.2 + 0.78 * i / 24;
    const auto p = along(t);
    const auto q = along(std::min(t + 0.05, 1.0));
    const double w = width(t) * 0.92;
    canvas->MoveTo(static_cast<int>(p[0]), static_cast<int>(p[1]));
    canvas->LineTo(static_cast<int>(q[0] + nx * w), static_cast<int>(q[1] + ny * w));
    canvas->MoveTo(static_cast<int>(p[0]), static_cast<int>(p[1]));
    canvas->LineTo(static_cast<int>(q[0] - nx * w * 0.75), static_cast<int>(q[1] - ny * w * 0.75));
  }
  // The shaft, and the dark nib that has just been dipped.
  Outline(canvas, Rgb(128, 104, 82), 3);
  const auto end = along(0.97);
  canvas->MoveTo(static_cast<int>(nibX), static_cast<int>(nibY));
  canvas->LineTo(static_cast<int>(end[0]), static_cast<int>(end[1]));
  Outline(canvas, Rgb(20, 20, 30), 4);
  const auto nib = along(0.07);
  canvas->MoveTo(static_cast<int>(nibX), static_cast<int>(nibY));
  canvas->LineTo(static_cast<int>(nib[0]), static_cast<int>(nib[1]));
}

// The line of ink the quill draws under the name.
void PaintFlourish(TCanvas* canvas) {
  Outline(canvas, Rgb(64, 210, 240), 3);
  const std::array<TPoint, 4> curve{{{44, 238}, {110, 262}, {250, 214}, {420, 240}}};
  canvas->PolyBezier(curve);
}

void PaintTitle(TCanvas* canvas, const AnsiString& productName, const AnsiString& tagline) {
  canvas->GetBrush()->SetStyle(bsClear);
  TFont* font = canvas->GetFont();
  font->SetName("Times New Roman");
  font->SetSize(36);
  font->SetStyle(fsBold | fsItalic);
  font->SetColor(Rgb(8, 8, 28));
  canvas->TextOut(154, 180, productName);
  font->SetColor(Rgb(255, 255, 255));
  canvas->TextOut(151, 177, productName);
  font->SetName("Arial");
  font->SetSize(10);
  font->SetStyle(0);
  font->SetColor(Rgb(206, 214, 255));
  canvas->TextOut(160, 250, tagline);
}

void PaintBand(TCanvas* canvas) {
  Fill(canvas, Rgb(12, 14, 38));
  canvas->FillRect(TRect(0, 276, AboutPictureWidth, AboutPictureHeight));
  Fill(canvas, Rgb(92, 80, 164));
  canvas->FillRect(TRect(0, 276, AboutPictureWidth, 277));
}

// The link: a golden badge with a globe and "www", filling the hot area.
void PaintLinkBadge(TCanvas* canvas) {
  const TRect& area = AboutLinkArea;
  Outline(canvas, Rgb(122, 82, 12));
  Fill(canvas, Rgb(250, 196, 64));
  canvas->RoundRect(area.left, area.top, area.right, area.bottom, 12, 12);
  const int cx = (area.left + area.right) / 2, cy = area.top + 18;
  Outline(canvas, Rgb(232, 242, 255));
  Fill(canvas, Rgb(40, 110, 200));
  canvas->Ellipse(cx - 14, cy - 14, cx + 15, cy + 15);
  canvas->GetBrush()->SetStyle(bsClear);
  canvas->Ellipse(cx - 6, cy - 14, cx + 7, cy + 15);
  canvas->MoveTo(cx - 14, cy);
  canvas->LineTo(cx + 15, cy);
  canvas->MoveTo(cx - 11, cy - 7);
  canvas->LineTo(cx + 12, cy - 7);
  canvas->MoveTo(cx - 11, cy + 7);
  canvas->LineTo(cx + 12, cy + 7);
  TFont* font = canvas->GetFont();
  font->SetName("Arial");
  font->SetSize(7);
  font->SetStyle(fsBold);
  font->SetColor(Rgb(70, 44, 0));
  const char* www = "www";
  canvas->TextOut(cx - canvas->TextWidth(www) / 2 + 1, area.bottom - 14, www);
}

}  // namespace

void PaintAboutPicture(TCanvas* canvas, const AnsiString& productName, const AnsiString& tagline) {
  PaintGround(canvas);
  PaintPalette(canvas);
  PaintQuill(canvas);
  PaintFlourish(canvas);
  PaintTitle(canvas, productName, tagline);
  PaintBand(canvas);
  PaintLinkBadge(canvas);
}
