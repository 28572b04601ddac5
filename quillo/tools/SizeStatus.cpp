#include "quillo/tools/SizeStatus.h"

#include "platform/rtl/SysUtils.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"

namespace {

// One side in the unit. The small addition keeps an exact hundredth from printing one lower;
// centimetres use 2.5399 per inch, as the sizes have always shown.
AnsiString SideText(int value, int unit, int resolution) {
  if (unit == 2 || resolution <= 0) return Format("%d", value);
  const double perInch = unit == 1 ? 2.5399 : 1.0;
  return Format("%.2lf", value * perInch / resolution + 0.0001);
}

}  // namespace

AnsiString SizeText(int width, int height, int unit, int resolution) {
  // Appended piece by piece: GCC 12 at -O3 takes "[" + a temporary for an overlapping copy.
  AnsiString text = "[";
  text += SideText(width, unit, resolution);
  text += ",";
  text += SideText(height, unit, resolution);
  text += "]";
  return text;
}

void ShowSizeInStatus(int width, int height) {
  if (!ImageForm || !CurrentPicture) return;
  ImageForm->SetPanelText(spSizes, SizeText(width, height, Settings.MeasurementUnit, CurrentPicture->Resolution));
}

void ClearSizeInStatus() {
  if (ImageForm) ImageForm->SetPanelText(spSizes, "");
}
