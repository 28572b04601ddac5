#include "quillo/shell/PreviewForm.h"

#include <algorithm>
#include <cstdint>

#include "platform/vcl/Screen.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"

QUILLO_DEFINE_CLASS(TPreviewForm, TForm)

namespace {

constexpr int FullScale = 10000;

}  // namespace

// In whole numbers: trunc(min(screen / picture) * 10000) without the rounding of a real
// quotient, which could land one below an exact fit (1024 / 4000 gives 2560, not 2559).
PreviewFit FitPreview(int width, int height, int screenWidth, int screenHeight) {
  PreviewFit fit;
  if (width < 1 || height < 1) return fit;
  const std::int64_t byWidth = std::int64_t{screenWidth} * FullScale / width;
  const std::int64_t byHeight = std::int64_t{screenHeight} * FullScale / height;
  fit.zoom = static_cast<int>(std::max<std::int64_t>(std::min({byWidth, byHeight, std::int64_t{FullScale}}), 1));
  fit.width = static_cast<int>(std::max<std::int64_t>(std::int64_t{width} * fit.zoom / FullScale, 1));
  fit.height = static_cast<int>(std::max<std::int64_t>(std::int64_t{height} * fit.zoom / FullScale, 1));
  return fit;
}

TPreviewForm::TPreviewForm(TComponent* owner) : TForm(owner) {
  SetName("PreviewForm");
  SetBorderStyle(bsNone);
  SetColor(clBlack);
  SetKeyPreview(true);
  Buffer1 = NewComponent<TBuffer>(this);
  Buffer1->SetName("Buffer1");
  Buffer1->SetParent(this);
  OnShow = [this](TObject* sender) { FormShow(sender); };
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  auto mouseDown = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    FormMouseDown(sender, button, shift, x, y);
  };
  OnMouseDown = mouseDown;
  Buffer1->OnMouseDown = mouseDown;
}

void TPreviewForm::FormShow(TObject*) {
  const int screenWidth = Screen()->GetWidth(), screenHeight = Screen()->GetHeight();
  SetBounds(0, 0, screenWidth, screenHeight);
  Buffer* picture = picture_ ? picture_ : CurrentPicture;
  if (!picture) return;
  const PreviewFit fit = FitPreview(picture->Width(), picture->Height(), screenWidth, screenHeight);
  Buffer1->SetZoom(fit.zoom | FullScale << 16);
  Buffer1->SetBuffer(picture);
  Buffer1->SetBounds((screenWidth - fit.width) / 2, (screenHeight - fit.height) / 2, fit.width, fit.height);
}

void TPreviewForm::FormKeyDown(TObject*, WORD& key, TShiftState) {
  key = 0;
  SetModalResult(mrOk);
}

void TPreviewForm::FormMouseDown(TObject*, TMouseButton, TShiftState, int, int) { SetModalResult(mrOk); }
