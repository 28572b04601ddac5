#include "platform/vcl/Picture.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

QUILLO_DEFINE_CLASS(TPicture, TPersistent)

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

void TPicture::Take(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  if (graphic_) graphic_->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

void TPicture::SetGraphic(const TGraphic* graphic) {
  if (graphic == graphic_.get()) return;
  if (graphic == nullptr) return Take(nullptr);
  std::unique_ptr<TGraphic> copy = graphic->NewEmpty();
  if (!copy) throw EInvalidGraphic(VclText::UnknownGraphic);
  copy->Assign(graphic);
  Take(std::move(copy));
}

void TPicture::Assign(const TPersistent* source) {
  if (source == nullptr) return SetGraphic(nullptr);
  if (const auto* picture = dynamic_cast<const TPicture*>(source)) return SetGraphic(picture->graphic_.get());
  if (const auto* graphic = dynamic_cast<const TGraphic*>(source)) return SetGraphic(graphic);
  TPersistent::Assign(source);
}

void TPicture::AssignTo(TPersistent* destination) const {
  // A picture holding a graphic of the destination's kind gives it that graphic.
  if (graphic_ && destination->ClassType() == graphic_->ClassType()) return destination->Assign(graphic_.get());
  TPersistent::AssignTo(destination);
}

TBitmap* TPicture::GetBitmap() {
  if (!dynamic_cast<TBitmap*>(graphic_.get())) Take(std::make_unique<TBitmap>());
  return static_cast<TBitmap*>(graphic_.get());
}

TIcon* TPicture::GetIcon() {
  if (!dynamic_cast<TIcon*>(graphic_.get())) Take(std::make_unique<TIcon>());
  return static_cast<TIcon*>(graphic_.get());
}

TMetafile* TPicture::GetMetafile() {
  if (!dynamic_cast<TMetafile*>(graphic_.get())) Take(std::make_unique<TMetafile>());
  return static_cast<TMetafile*>(graphic_.get());
}

void TPicture::LoadFromFile(const AnsiString& fileName) {
  const AnsiString extension = LowerCase(ExtractFileExt(fileName));
  std::unique_ptr<TGraphic> graphic;
  if (extension == ".bmp") graphic = std::make_unique<TBitmap>();
  else if (extension == ".ico") graphic = std::make_unique<TIcon>();
  else if (extension == ".wmf" || extension == ".emf") graphic = std::make_unique<TMetafile>();
  else throw EInvalidGraphic(Format(VclText::UnknownExtension, extension.c_str()));
  graphic->LoadFromFile(fileName);
  Take(std::move(graphic));
}

void TPicture::SaveToFile(const AnsiString& fileName) {
  if (graphic_) graphic_->SaveToFile(fileName);
}
