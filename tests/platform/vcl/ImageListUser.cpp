#include "ImageListUser.h"

QUILLO_DEFINE_CLASS(TImageListUser, TCustomControl)

TImageListUser::TImageListUser(TComponent* owner) : TCustomControl(owner), link_(MakeObject<TChangeLink>()) {
  link_->OnChange = [this](TObject*) { Invalidate(); };
}

TImageListUser::~TImageListUser() { SetImages(nullptr); }

void TImageListUser::SetImages(TCustomImageList* images) {
  if (images == images_) return;
  if (images_) {
    images_->UnRegisterChanges(link_.get());
    images_->RemoveFreeNotification(this);
  }
  images_ = images;
  if (images_) {
    images_->RegisterChanges(link_.get());
    images_->FreeNotification(this);
  }
  Invalidate();
}

void TImageListUser::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == opRemove && component == images_) SetImages(nullptr);
}
