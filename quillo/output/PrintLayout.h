#pragma once
// Where a picture lands on the printed page: the printer's page, the picture's scales and
// offset in printer pixels, the page as the print dialog's preview shows it, and the options
// the dialog remembers for the run of the program (never written to the registry). The
// geometry here is plain arithmetic, so the dialog and its tests share it.

#include <string>
#include <vector>

#include "platform/gdi/PrintDevice.h"

enum class PrintImageSize { Original = 0, FitToPage = 1, Custom = 2 };
enum class PrintAlign { Start = 0, Center = 1, End = 2, Custom = 3 };

// The printer's page in its own pixels; printable sizes are the device's own (HORZRES,
// VERTRES), so unequal margins place the picture where it will print.
struct PrintPage {
  int physicalWidth = 0;
  int physicalHeight = 0;
  int physicalOffsetX = 0;
  int physicalOffsetY = 0;
  int printableWidth = 0;
  int printableHeight = 0;
  int printerDpi = 0;
  bool Valid() const { return physicalWidth > 0 && physicalHeight > 0 && printableWidth > 0 && printableHeight > 0 && printerDpi > 0; }
};

// The picture's rectangle in the preview, its corners and the midpoints of its sides.
struct PreviewBox {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int Xm() const { return (x1 + x2) / 2; }
  int Ym() const { return (y1 + y2) / 2; }
};

struct PrintLayoutState {
  std::vector<unsigned char> pageSettings;  // the printer's device mode block, empty when none
  PrintPage page;
  int screenDpi = 96;
  double scaleX = 0;
  double scaleY = 0;
  int offsetX = 0;
  int offsetY = 0;
  double aspectRatio = 0;
  double previewScale = 0;
  int pageLeft = 0;
  int pageTop = 0;
  double builtScaleX = -1.0;
  double builtScaleY = -1.0;
  // Remembered options.
  std::string fontName = "Arial";
  int fontSize = 10;
  int fontColor = 0;
  int fontStyle = 0;
  bool drawBorder = false;
  bool keepAspect = true;
  int orientation = 0;
  int left = -1;
  int top = -1;
  bool printed = false;

  DEVMODE* Settings();
};

// The one layout of the run.
extern PrintLayoutState PrintLayout;
// Back to the program's start (tests).
void ResetPrintLayout();

// An image without a resolution prints at this one.
inline constexpr int kFallbackDpi = 200;
int PrintResolution(int dpi);

// The page in a preview picture of width x height.
void LayOutPreview(PrintLayoutState& layout, int width, int height);
// The scales by the chosen image size for a w x h picture at dpi; answers the size mode in
// force afterwards (Original switches to Custom when the picture had to be fitted).
PrintImageSize ApplyImageSize(PrintLayoutState& layout, PrintImageSize size, int w, int h, int dpi);
// The offsets by the chosen alignments.
void ApplyAlignment(PrintLayoutState& layout, PrintAlign horizontal, PrintAlign vertical, int w, int h);
// The printable area's outline and the picture's rectangle in the preview.
PreviewBox PrintableBox(const PrintLayoutState& layout);
PreviewBox PictureBox(const PrintLayoutState& layout, int w, int h);
// The picture's size in the preview (the scaled copy's size).
int PreviewExtent(double pixels, double scale, double previewScale);
// The picture's printed rectangle in printer pixels from the printable area's corner.
struct PrintedRect {
  int x = 0, y = 0, width = 0, height = 0;
};
PrintedRect PrintedPicture(const PrintLayoutState& layout, int w, int h);
