#pragma once
// The text tool: a multi-line text from the tool options window's Text sheet, shown as a live
// preview in the image at an anchor the user sets by clicking or dragging, and put into the
// image (or into the selection) by the sheet's Apply with one undo step. Each line is drawn
// into a canvas of its own, at twice the size when anti-aliased, given an outline and a drop
// shadow there, and scaled into the image at the horizontal and vertical size asked for.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/AnsiString.h"
#include "quillo/tools/Tool.h"

class TFont;

// Everything a rendering reads of the Text sheet.
struct TextSettings {
  AnsiString Text;
  TFont* Font = nullptr;  // at the oversampling factor times the chosen size
  double SizeX = 100;     // percent
  double SizeY = 100;
  int X = 0;
  int Y = 0;
  int Spacing = 1;
  bool Outline = false;
  bool Shadow = false;
  int ShadowDepth = 2;
  std::uint32_t ShadowColour = 0;  // 0x00RRGGBB
  bool SelectionOnly = false;
  std::uint32_t TextColour = 0;     // the drawing colour
  std::uint32_t OutlineColour = 0;  // the background colour
};

// What DrawTextBox does with the text besides the preview.
enum TextMode { TextPreview = 0, TextPaintAndSelect = 1, TextSelectOnly = 2 };

// Alignment codes: the image indexes of the sheet's alignment buttons.
enum TextAlignment { AlignLeftCode = 1, AlignCentreCode = 2, AlignRightCode = 3, AlignJustifiedCode = 4 };

class P_text : public P_icon {
public:
  explicit P_text(const ToolTraits& traits) : P_icon(traits) {}
  void ShowFeedback() override;
  void HideFeedback() override;
  void AddPoint() override;
  void Activate() override;
  void Deactivate(P_icon* next) override;
  bool PreviewsThroughDialog() const override { return true; }

  // -1 until the Text sheet first shows; then the index of its font in the list.
  int FontIndex = -1;
  // Which point of the box lies at the anchor: column + 3 x row.
  int HandlePosition = 4;
  int Alignment = AlignLeftCode;
  std::uint8_t AntiAliasing = 0;
  // Set while the tool or the sheet writes the sheet's fields itself.
  std::uint8_t Updating = 0;
  // 1 while placing text; 0 while the sheet's pick mode waits for a click in the image.
  std::uint32_t BoxShown = 1;

  // The oversampling factor: 2 when anti-aliased.
  int Factor() const { return AntiAliasing ? 2 : 1; }
  // The sheet's values now; the defaults without a sheet.
  TextSettings Settings() const;
  // Settings replaced for a test or a benchmark; null gives the sheet back.
  const TextSettings* SettingsOverride = nullptr;

private:
  void WriteAnchor();
};

// The box of the last drawing: size and anchor.
extern int TextBoxW;
extern int TextBoxH;
extern int TextAnchorX;
extern int TextAnchorY;

struct TextMargins {
  int Above = 0, Below = 0, Left = 0, Right = 0;
};

// The lines of a text: the pieces between line breaks (CR LF, or LF alone); a break at the end
// starts no further line. An empty text is one empty line.
std::vector<std::string> TextLines(const AnsiString& text);

int TextLineHeight(const P_text& tool, const TextSettings& s);
int TextBoxWidth(const P_text& tool, const TextSettings& s, const AnsiString& text);
int TextBoxHeight(const P_text& tool, const TextSettings& s, const AnsiString& text);
int TextCanvasWidth(const P_text& tool, const TextSettings& s, const AnsiString& text);
// The box's reach round the anchor for the handle position and a box of w x h.
TextMargins TextBoxMargins(int handle, int w, int h);
// The box (inclusive) for those margins round the anchor.
Rect TextBoxRect(int x, int y, const TextMargins& m);

// The sheet's metrics for the tool's current settings.
int TextLineHeight(const P_text& tool);
int TextBoxHeight(const P_text& tool, const AnsiString& text);

// Measures, saves the area beneath, renders and repaints; true when some line could not be
// rendered (too big). Nothing happens when the area cannot be saved.
bool DrawTextBox(P_text& tool, bool updateNow, int mode);
// Puts back the image under the last box drawn.
void HideTextBox(P_text& tool);
// Draws every line, the text's top-left at (x, y): into DrawView for the preview and paint
// modes, into the active picture's selection for the selection modes. True when a line's
// canvas could not be had; that line draws nothing.
bool RenderText(P_text& tool, const TextSettings& s, int x, int y, int mode);

// The outline of a line's canvas: every fully transparent pixel within r of a text pixel (of
// the colour text, on both axes) takes colour outline. Text pixels are found on the canvas as
// it was, so the outline is r wide whatever the two colours are.
class Buffer;
void OutlineText(Buffer& canvas, std::uint32_t text, std::uint32_t outline, int r);
// The shadow: each fully transparent pixel k right and k below a pixel that is not takes
// colour, behind what is there.
void ShadowText(Buffer& canvas, std::uint32_t colour, int k);
