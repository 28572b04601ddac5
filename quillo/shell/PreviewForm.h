#pragma once
// TPreviewForm: the full-screen preview. A borderless black window over the whole screen
// showing the active picture alone, scaled to fit and never enlarged, centred. Any key or
// mouse button ends it.

#include "platform/vcl/Form.h"

class TBuffer;
class Buffer;

class TPreviewForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TPreviewForm(TComponent* owner);

  TBuffer* Buffer1 = nullptr;

  // Takes the whole screen and fits the picture (CurrentPicture unless another was given).
  void FormShow(TObject* sender);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void FormMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

  // The picture shown; CurrentPicture when none is set.
  void SetPicture(Buffer* picture) { picture_ = picture; }

private:
  Buffer* picture_ = nullptr;
};

// The zoom that fits a width x height picture on a screen, never above 1:1, in ten-thousandths
// (10000 is 1:1), and the size the picture takes at it (at least 1 x 1).
struct PreviewFit {
  int zoom = 10000;
  int width = 1;
  int height = 1;
};
PreviewFit FitPreview(int width, int height, int screenWidth, int screenHeight);
