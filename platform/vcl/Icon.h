#pragma once
// TIcon: an icon picture, from an icon file (kept as read, so it saves unchanged) or from an
// icon handle (saved as a one-image icon file of 24 bits with its mask). Icons are always
// drawn transparently, stretched to the rectangle; their size cannot be changed.

#include <vector>

#include "platform/user/User.h"
#include "platform/vcl/Graphic.h"

class TIcon : public TGraphic {
  QUILLO_DECLARE_CLASS()

public:
  TIcon();
  ~TIcon() override;
  void Assign(const TPersistent* source) override;
  std::unique_ptr<TGraphic> NewEmpty() const override { return std::make_unique<TIcon>(); }

  bool Empty() const override { return handle_ == nullptr && bytes_.empty(); }
  int GetWidth() const override { return width_; }
  int GetHeight() const override { return height_; }
  // EInvalidOperation: an icon's size is its image's.
  void SetWidth(int width) override;
  void SetHeight(int height) override;
  bool GetTransparent() const override { return true; }

  // The icon, made from the file on first use and owned by the TIcon; SetHandle takes over
  // an icon made elsewhere, ReleaseHandle hands it over and leaves the TIcon empty.
  HICON GetHandle();
  void SetHandle(HICON icon);
  HICON ReleaseHandle();

  // An icon file; EInvalidGraphic (the icon kept as it was) when it is not one.
  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;

protected:
  void Draw(TCanvas* canvas, const TRect& rect) override;

private:
  void Clear();
  void MeasureHandle();

  HICON handle_ = nullptr;
  std::vector<std::uint8_t> bytes_;  // the icon file, when the icon came from one
  int width_ = 0;
  int height_ = 0;
};

namespace VclText {
inline constexpr const char* ChangeIconSize = "Cannot change the size of an icon";
inline constexpr const char* InvalidIcon = "Icon image is not valid";
}  // namespace VclText
