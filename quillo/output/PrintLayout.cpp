#include "quillo/output/PrintLayout.h"

#include <algorithm>
#include <cstring>

PrintLayoutState PrintLayout;

void ResetPrintLayout() { PrintLayout = PrintLayoutState(); }

DEVMODE* PrintLayoutState::Settings() {
  if (pageSettings.size() < sizeof(DEVMODE)) return nullptr;
  return reinterpret_cast<DEVMODE*>(pageSettings.data());
}

int PrintResolution(int dpi) { return dpi > 0 ? dpi : kFallbackDpi; }

void LayOutPreview(PrintLayoutState& layout, int width, int height) {
  const PrintPage& page = layout.page;
  layout.builtScaleX = -1.0;
  layout.builtScaleY = -1.0;
  if (!page.Valid()) {
    layout.previewScale = 0;
    layout.pageLeft = layout.pageTop = 0;
    return;
  }
  layout.previewScale = std::min(static_cast<double>(width - 10) / page.physicalWidth,
                                 static_cast<double>(height - 10) / page.physicalHeight);
  layout.pageLeft = static_cast<int>((width - page.physicalWidth * layout.previewScale - 3) * 0.5);
  layout.pageTop = static_cast<int>((height - page.physicalHeight * layout.previewScale - 3) * 0.5);
}

PrintImageSize ApplyImageSize(PrintLayoutState& layout, PrintImageSize size, int w, int h, int dpi) {
  const PrintPage& page = layout.page;
  if (!page.Valid() || w <= 0 || h <= 0) return size;
  const double fitX = static_cast<double>(page.printableWidth) / w;
  const double fitY = static_cast<double>(page.printableHeight) / h;
  switch (size) {
    case PrintImageSize::Original:
      layout.scaleX = static_cast<double>(page.printerDpi) / PrintResolution(dpi);
      if (fitX < layout.scaleX) {
        layout.scaleX = fitX;
        size = PrintImageSize::Custom;
      }
      layout.scaleY = layout.scaleX;
      if (fitY < layout.scaleX) {
        layout.scaleX = layout.scaleY = fitY;
        size = PrintImageSize::Custom;
      }
      break;
    case PrintImageSize::FitToPage:
      layout.scaleX = layout.scaleY = std::min(fitX, fitY);
      break;
    case PrintImageSize::Custom:
      layout.scaleX = std::min(layout.scaleX, fitX);
      layout.scaleY = std::min(layout.scaleY, fitY);
      break;
  }
  return size;
}

namespace {

int AlignedOffset(PrintAlign align, int offset, int printable, double extent) {
  const int end = static_cast<int>(printable - extent + 0.5);
  switch (align) {
    case PrintAlign::Start: return 0;
    case PrintAlign::Center: return static_cast<int>((printable - extent) * 0.5);
    case PrintAlign::End: return end;
    case PrintAlign::Custom: break;
  }
  offset = std::max(offset, 0);
  return extent + offset > printable ? end : offset;
}

}  // namespace

void ApplyAlignment(PrintLayoutState& layout, PrintAlign horizontal, PrintAlign vertical, int w, int h) {
  layout.offsetX = AlignedOffset(horizontal, layout.offsetX, layout.page.printableWidth, w * layout.scaleX);
  layout.offsetY = AlignedOffset(vertical, layout.offsetY, layout.page.printableHeight, h * layout.scaleY);
}

PreviewBox PrintableBox(const PrintLayoutState& layout) {
  const double s = layout.previewScale;
  PreviewBox box;
  box.x1 = static_cast<int>(layout.pageLeft + layout.page.physicalOffsetX * s + 0.5);
  box.y1 = static_cast<int>(layout.pageTop + layout.page.physicalOffsetY * s + 0.5);
  box.x2 = static_cast<int>(box.x1 + layout.page.printableWidth * s);
  box.y2 = static_cast<int>(box.y1 + layout.page.printableHeight * s);
  return box;
}

PreviewBox PictureBox(const PrintLayoutState& layout, int w, int h) {
  const double s = layout.previewScale;
  PreviewBox box;
  box.x1 = static_cast<int>(layout.pageLeft + (layout.page.physicalOffsetX + layout.offsetX) * s + 0.5);
  box.y1 = static_cast<int>(layout.pageTop + (layout.page.physicalOffsetY + layout.offsetY) * s + 0.5);
  box.x2 = static_cast<int>(box.x1 + w * layout.scaleX * s - 1);
  box.y2 = static_cast<int>(box.y1 + h * layout.scaleY * s - 1);
  return box;
}

int PreviewExtent(double pixels, double scale, double previewScale) {
  return static_cast<int>(pixels * scale * previewScale);
}

PrintedRect PrintedPicture(const PrintLayoutState& layout, int w, int h) {
  return {layout.offsetX, layout.offsetY, static_cast<int>(w * layout.scaleX), static_cast<int>(h * layout.scaleY)};
}
