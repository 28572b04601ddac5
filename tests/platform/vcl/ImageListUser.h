#pragma once
// A custom control that draws from an image list, as tool buttons do: it repaints when the
// list changes and lets go of the list when the list is freed.

#include "platform/vcl/GraphicControl.h"
#include "platform/vcl/ImageList.h"

class TImageListUser : public TCustomControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TImageListUser(TComponent* owner);
  ~TImageListUser() override;

  TCustomImageList* GetImages() const { return images_; }
  void SetImages(TCustomImageList* images);

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  TCustomImageList* images_ = nullptr;
  TOwnedPtr<TChangeLink> link_;
};
