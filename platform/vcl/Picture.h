#pragma once
// TPicture: holds one graphic of any kind (bitmap, icon, metafile), chosen by the file it is
// loaded from or by the graphic assigned to it, and tells OnChange when it changes.

#include <memory>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Graphic.h"
#include "platform/vcl/Icon.h"
#include "platform/vcl/Metafile.h"

class TPicture : public TPersistent {
  QUILLO_DECLARE_CLASS()

public:
  TPicture();
  ~TPicture() override;
  // A picture takes a copy of another picture's graphic or of a graphic; null empties it.
  void Assign(const TPersistent* source) override;

  TGraphic* GetGraphic() const { return graphic_.get(); }
  void SetGraphic(const TGraphic* graphic);
  // The graphic as a bitmap, icon or metafile; a graphic of another kind is replaced by an
  // empty one of the asked kind.
  TBitmap* GetBitmap();
  void SetBitmap(const TBitmap* bitmap) { SetGraphic(bitmap); }
  TIcon* GetIcon();
  void SetIcon(const TIcon* icon) { SetGraphic(icon); }
  TMetafile* GetMetafile();
  void SetMetafile(const TMetafile* metafile) { SetGraphic(metafile); }
  int GetWidth() const { return graphic_ ? graphic_->GetWidth() : 0; }
  int GetHeight() const { return graphic_ ? graphic_->GetHeight() : 0; }

  // The kind comes from the extension: .bmp, .ico, .wmf and .emf. EInvalidGraphic for any
  // other; the picture is kept as it was when the file cannot be read.
  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName);

  TNotifyEvent OnChange;

protected:
  void AssignTo(TPersistent* destination) const override;
  virtual void Changed();

private:
  void Take(std::unique_ptr<TGraphic> graphic);

  std::unique_ptr<TGraphic> graphic_;
};

namespace VclText {
inline constexpr const char* UnknownExtension = "Unknown picture file extension (%s)";
inline constexpr const char* UnknownGraphic = "Unknown graphic format";
}  // namespace VclText
