// The text tool's metrics, rendering and placing. The preview lives in the image's own pixels
// with the area beneath in SavedArea until HideTextBox puts it back; only the Text sheet's
// Apply reaches the undo history.

#include "quillo/tools/TextTool.h"

#include <algorithm>
#include <cstdio>

#include "platform/vcl/Font.h"
#include "quillo/base/Settings.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/Zoom.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/ToolForm.h"
#include "vorlen/core/BitBuffer.h"
#include "vorlen/core/Buffer.h"

int TextBoxW = 0;
int TextBoxH = 0;
int TextAnchorX = 0;
int TextAnchorY = 0;

namespace {

constexpr std::uint32_t Transparent = 0xFF000000u;
// A line canvas larger than this is refused as too big to render.
constexpr long long MostCanvasPixels = 1LL << 24;
// Nor may the line's scaled size pass this (its shape is a mask of that size).
constexpr long long MostOutputPixels = 1LL << 28;

Buffer& Measurer() {
  static Buffer measurer;
  return measurer;
}

Pair<int> Extent(TFont* font, const std::string& text) {
  if (!font || text.empty()) return {0, text.empty() ? Measurer().GetTextExtent(font, "X").y : 0};
  return Measurer().GetTextExtent(font, text);
}

int WidestLine(const TextSettings& s, const AnsiString& text) {
  int m = 1;
  for (const std::string& line : TextLines(text)) m = std::max(m, Extent(s.Font, line).x);
  return m;
}

int ShadowReach(const TextSettings& s) { return s.Shadow ? s.ShadowDepth : 0; }

// The part of the box on the picture: only that is saved and put back, however large the
// text is.
Rect BoxOnPicture(const Rect& box) {
  if (!CurrentPicture) return Rect(0, 0, -1, -1);
  return Intersect(box, Rect(0, 0, CurrentPicture->Width() - 1, CurrentPicture->Height() - 1));
}

void UpdateViewNow() {
  if (ImageForm && ImageForm->ShowBuf) ImageForm->ShowBuf->Update();
}

// Draws one justified line: the words spread so that the line fills width.
void DrawJustified(Buffer& canvas, const TextSettings& s, const std::string& line, int width, int f) {
  int gaps = static_cast<int>(std::count(line.begin(), line.end(), ' '));
  double remainingTarget = width;
  double remainingNatural = Extent(s.Font, line).x;
  double x = 0;
  std::size_t start = 0;
  while (start < line.size()) {
    std::string word;
    double extra = 0;
    if (gaps > 0) {
      const std::size_t space = line.find(' ', start);
      word = line.substr(start, space - start + 1);
      start = space + 1;
      extra = (remainingTarget - remainingNatural) / gaps;
    } else {
      word = line.substr(start);
      start = line.size();
    }
    canvas.OutText(s.Font, {static_cast<int>(x) + f, f}, word, s.TextColour);
    const int c = Extent(s.Font, word).x;
    x = static_cast<int>(x + c + extra);
    remainingTarget = static_cast<int>(remainingTarget - c - extra);
    remainingNatural -= c;
    --gaps;
  }
}

// The 1-bit shape of the canvas's non-transparent pixels, scaled to the output size.
bool OrShapeIntoSelection(const Buffer& canvas, int wo, int ho, int x, int y) {
  if (!CurrentPicture || !CurrentPicture->Mask.words) return false;
  BitBuffer shape;
  shape.Alloc(canvas.Width(), canvas.Height());
  for (int row = 0; row < canvas.Height(); ++row) {
    const std::uint32_t* p = canvas.At(canvas.rect.left, canvas.rect.top + row);
    for (int col = 0; col < canvas.Width(); ++col) shape.PutPixel(col, row, p[col] != Transparent ? 1 : 0);
  }
  BitBuffer scaled;
  scaled.Alloc(wo, ho);
  scaled.Scale(shape, true);
  CurrentPicture->Mask.Copy(scaled, x, y, BitBuffer::kOr);
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Metrics

std::vector<std::string> TextLines(const AnsiString& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  if (lines.empty()) lines.emplace_back();
  return lines;
}

int TextLineHeight(const P_text& tool, const TextSettings& s) {
  const int cy = Extent(s.Font, "Xg").y;
  return static_cast<int>(cy * s.SizeY * 0.01 / tool.Factor() + 2 * (s.Outline ? 1 : 0) + 1);
}

int TextBoxWidth(const P_text& tool, const TextSettings& s, const AnsiString& text) {
  const int m = WidestLine(s, text);
  const int w = static_cast<int>(m * s.SizeX * 0.01 / tool.Factor() + 2 * (s.Outline ? 1 : 0) + ShadowReach(s) + 0.5);
  return std::max(1, w);
}

int TextBoxHeight(const P_text& tool, const TextSettings& s, const AnsiString& text) {
  const int n = static_cast<int>(TextLines(text).size());
  return 1 + (n - 1) * s.Spacing + TextLineHeight(tool, s) + ShadowReach(s);
}

int TextCanvasWidth(const P_text& tool, const TextSettings& s, const AnsiString& text) {
  return static_cast<int>(WidestLine(s, text) + (ShadowReach(s) + 2) * tool.Factor() + 0.5);
}

int TextLineHeight(const P_text& tool) { return TextLineHeight(tool, tool.Settings()); }

int TextBoxHeight(const P_text& tool, const AnsiString& text) { return TextBoxHeight(tool, tool.Settings(), text); }

TextMargins TextBoxMargins(int handle, int w, int h) {
  TextMargins m;
  switch (handle / 3) {
    case 0: m.Above = 2, m.Below = h; break;
    case 1: m.Above = h / 2 + 1, m.Below = h - h / 2 + 1; break;
    default: m.Above = h, m.Below = 2; break;
  }
  switch (handle % 3) {
    case 0: m.Left = 2, m.Right = w; break;
    case 1: m.Left = w / 2 + 1, m.Right = w - w / 2 + 1; break;
    default: m.Left = w, m.Right = 2; break;
  }
  return m;
}

Rect TextBoxRect(int x, int y, const TextMargins& m) {
  return Rect(x - m.Left - 1, y - m.Above - 1, x + m.Right + 1, y + m.Below + 1);
}

// ---------------------------------------------------------------------------------------
// Outline and shadow

void OutlineText(Buffer& canvas, std::uint32_t text, std::uint32_t outline, int r) {
  const int w = canvas.Width(), h = canvas.Height();
  if (w <= 0 || h <= 0 || r <= 0) return;
  // The text pixels, found on the canvas as it was; each row widened by r along the row, then
  // a pixel is near text when any row within r above or below marks it. Whole rows of bytes,
  // so the loops run many pixels an instruction.
  const std::size_t width = static_cast<std::size_t>(w);
  const std::size_t padded = width + 2 * static_cast<std::size_t>(r);
  std::vector<std::uint8_t> isText(padded, 0);
  std::vector<std::uint8_t> across(width * static_cast<std::size_t>(h));
  for (int y = 0; y < h; ++y) {
    const std::uint32_t* p = canvas.At(canvas.rect.left, canvas.rect.top + y);
    std::uint8_t* marks = isText.data() + r;
    for (std::size_t x = 0; x < width; ++x) marks[x] = p[x] == text;
    std::uint8_t* row = &across[static_cast<std::size_t>(y) * width];
    std::fill(row, row + width, 0);
    for (int k = 0; k <= 2 * r; ++k) {
      const std::uint8_t* shifted = isText.data() + k;
      for (std::size_t x = 0; x < width; ++x) row[x] |= shifted[x];
    }
  }
  std::vector<std::uint8_t> near(width);
  for (int y = 0; y < h; ++y) {
    std::fill(near.begin(), near.end(), 0);
    for (int k = std::max(0, y - r); k <= std::min(h - 1, y + r); ++k) {
      const std::uint8_t* row = &across[static_cast<std::size_t>(k) * width];
      for (std::size_t x = 0; x < width; ++x) near[x] |= row[x];
    }
    std::uint32_t* p = canvas.At(canvas.rect.left, canvas.rect.top + y);
    for (std::size_t x = 0; x < width; ++x) p[x] = near[x] && p[x] == Transparent ? outline : p[x];
  }
}

void ShadowText(Buffer& canvas, std::uint32_t colour, int k) {
  const int w = canvas.Width(), h = canvas.Height();
  if (k <= 0 || k >= w || k >= h) return;
  // A pixel written lies k rows further down, which the rising scan has already read, so a
  // shadow never casts a shadow of its own; within one row source and target do not meet.
  for (int y = h - 1 - k; y >= 0; --y) {
    const std::uint32_t* from = canvas.At(canvas.rect.left, canvas.rect.top + y);
    std::uint32_t* to = canvas.At(canvas.rect.left + k, canvas.rect.top + y + k);
    for (int x = 0; x < w - k; ++x) to[x] = from[x] != Transparent && to[x] == Transparent ? colour : to[x];
  }
}

// ---------------------------------------------------------------------------------------
// Rendering

bool RenderText(P_text& tool, const TextSettings& s, int x, int y, int mode) {
  if (s.Text.empty()) return false;
  const int f = tool.Factor();
  const int o = s.Outline ? 1 : 0;
  const int ds = ShadowReach(s);
  const double sx = s.SizeX / 100.0 / f, sy = s.SizeY / 100.0 / f;
  const int justifiedWidth = TextCanvasWidth(tool, s, s.Text);
  bool failed = false;
  double top = y;
  for (const std::string& line : TextLines(s.Text)) {
    const int liney = static_cast<int>(top);
    const Pair<int> extent = Extent(s.Font, line);
    const double wide = (ds + 2) * f + extent.x + 0.5, high = (ds + 2) * f + extent.y + 0.5;
    const int wc = tool.Alignment == AlignJustifiedCode ? justifiedWidth : static_cast<int>(std::min(wide, 1e9));
    const int hc = static_cast<int>(std::min(high, 1e9));
    int wo = static_cast<int>(wc * sx + 0.5), ho = static_cast<int>(hc * sy + 0.5);
    Buffer canvas;
    bool drawn = false;
    if (static_cast<long long>(wc) * hc <= MostCanvasPixels && static_cast<long long>(wo) * ho <= MostOutputPixels) {
      try {
        canvas.Alloc({wc, hc});
        if (canvas.pixels) {
          canvas.Box(canvas.rect, Transparent);
          if (tool.Alignment == AlignJustifiedCode) DrawJustified(canvas, s, line, wc, f);
          else canvas.OutText(s.Font, {f, f}, line, s.TextColour);
          drawn = true;
        }
      } catch (...) {
        drawn = false;
      }
    }
    if (!drawn) {
      // Too big: the line goes through a small transparent canvas and shows nothing.
      failed = true;
      canvas.Alloc({4, 4});
      canvas.Box(canvas.rect, Transparent);
      wo = ho = 4;
    }
    if (s.Outline) OutlineText(canvas, s.TextColour, s.OutlineColour, f == 2 ? 3 : 1);
    if (s.Shadow) ShadowText(canvas, s.ShadowColour & 0xFFFFFFu, f * s.ShadowDepth);

    const int lw = ds + 2 * o + wo;
    int xl = x;
    if (tool.Alignment == AlignCentreCode) xl = x + 2 + (TextBoxW - lw) / 2;
    else if (tool.Alignment == AlignRightCode) xl = x + 4 + TextBoxW - lw;
    if (wo > 0 && ho > 0) {
      if (mode != TextPreview) OrShapeIntoSelection(canvas, wo, ho, xl + o - 1, liney + o - 1);
      if (mode != TextSelectOnly) DrawView.Scale(canvas, {wo, ho}, {xl + o - 1, liney + o - 1}, Transparent, f == 2 ? 1 : 0);
    }
    top = static_cast<int>(top + s.Spacing);
  }
  if (mode != TextPreview && CurrentPicture) {
    const Rect box = TextBoxRect(TextAnchorX, TextAnchorY, TextBoxMargins(tool.HandlePosition, TextBoxW, TextBoxH));
    CurrentPicture->SelLeft = std::max(0, box.left);
    CurrentPicture->SelTop = std::max(0, box.top);
    CurrentPicture->SelRight = std::min(box.right, CurrentPicture->Width() - 1);
    CurrentPicture->SelBottom = std::min(box.bottom, CurrentPicture->Height() - 1);
    CurrentPicture->BuildSelectionOutline(false);
    CurrentPicture->ScaleSelectionOutline();
  }
  return failed;
}

bool DrawTextBox(P_text& tool, bool updateNow, int mode) {
  if (!CurrentPicture || !CurrentPicture->pixels) return false;
  const TextSettings s = tool.Settings();
  TextBoxW = TextBoxWidth(tool, s, s.Text);
  TextBoxH = TextBoxHeight(tool, s, s.Text);
  TextAnchorX = s.X;
  TextAnchorY = s.Y;
  const TextMargins m = TextBoxMargins(tool.HandlePosition, TextBoxW, TextBoxH);
  const Rect box = TextBoxRect(s.X, s.Y, m);
  const Rect saved = BoxOnPicture(box);
  if (saved.Empty()) SavedArea.Free();
  else if (!SaveImageRect(saved.left, saved.top, saved.right, saved.bottom)) return false;
  // The instant brush makes no selection of painted text; "Selection Only" still selects.
  if (Settings.InstBrush && mode == TextPaintAndSelect) mode = TextPreview;
  SetDrawViewClip();
  const bool failed = RenderText(tool, s, s.X - m.Left + 3, s.Y - m.Above + 3, mode);
  RepaintImageRect(box.left, box.top, box.right + 1, box.bottom + 1);
  if (updateNow) UpdateViewNow();
  ExtendDirtyRect(box.left, box.top, box.right, box.bottom);
  return failed;
}

void HideTextBox(P_text& tool) {
  const Rect box =
      BoxOnPicture(TextBoxRect(TextAnchorX, TextAnchorY, TextBoxMargins(tool.HandlePosition, TextBoxW, TextBoxH)));
  if (!box.Empty()) RestoreImageRect(box.left, box.top, box.right, box.bottom);
}

// ---------------------------------------------------------------------------------------
// Placing and picking

void P_text::WriteAnchor() {
  if (!ToolForm || !ToolForm->TextXPos) return;
  Updating = 1;
  ToolForm->TextXPos->SetValue(ToolPoint.x);
  ToolForm->TextYPos->SetValue(ToolPoint.y);
  Updating = 0;
}

void P_text::Activate() {
  SetStatusText("TextIP");
  BoxShown = 1;
  if (ToolForm) ToolForm->ShowSheet(ToolForm->TextSheet, true, true);
  SavedArea.Free();
  Updating = 0;
  // As if from the Spacing field: the line pitch the user set stays.
  if (ToolForm) ToolForm->TextFontChanged(ToolForm->Spacing);
  if (CurrentPicture) CurrentPicture->ClearSelection(true);
}

void P_text::Deactivate(P_icon*) {
  if (ToolForm) ToolForm->ShowSheet(ToolForm->TextSheet, false, false);
  HideTextBox(*this);
  SavedArea.Free();
}

void P_text::AddPoint() {
  if (BoxShown) {
    HideTextBox(*this);
    WriteAnchor();
    if (!MouseCaptured) DrawTextBox(*this, true, TextPreview);
    return;
  }
  // Pick mode: the shadow colour from the image.
  if (CurrentPicture && ToolForm && MousePoint.x >= 0 && MousePoint.y >= 0 && MousePoint.x < CurrentPicture->Width() &&
      MousePoint.y < CurrentPicture->Height())
    ToolForm->SetShadowColour(*CurrentPicture->At(MousePoint.x, MousePoint.y) & 0xFFFFFFu);
  if (ImageForm) ImageForm->SetPanelText(spSizes, "");
  if (!MouseCaptured) {
    BoxShown = 1;
    SetStatusText("TextIP");
    HideTextBox(*this);
    DrawTextBox(*this, true, TextPreview);
  }
}

void P_text::HideFeedback() {
  if (BoxShown && ToolPhase == ToolPhaseDrag) HideTextBox(*this);
}

void P_text::ShowFeedback() {
  if (!BoxShown) {
    if (ToolPointOutside || !CurrentPicture) return;
    const std::uint32_t p = *CurrentPicture->At(ToolPoint.x, ToolPoint.y);
    const unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF, a = p >> 24;
    char text[64];
    if (::Settings.ColorInHex) std::snprintf(text, sizeof text, "r:%02X g:%02X b:%02X a:%02X", r, g, b, a);
    else std::snprintf(text, sizeof text, "r:%u g:%u b:%u a:%u", r, g, b, a);
    if (ImageForm) ImageForm->SetPanelText(spSizes, text);
    if (!MouseCaptured && ToolPhase == 1) {
      BoxShown = 1;
      SetStatusText("TextIP");
      HideTextBox(*this);
    }
    return;
  }
  if (ToolPhase != ToolPhaseDrag && ToolPhase != 1) return;
  WriteAnchor();
  DrawTextBox(*this, true, TextPreview);
  if (ToolPhase == 1) ToolPhase = 0;
}
