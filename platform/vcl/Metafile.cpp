#include "platform/vcl/Metafile.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/Display.h"
#include "platform/rtl/Exceptions.h"

QUILLO_DEFINE_CLASS(TMetafile, TGraphic)

namespace {

constexpr std::uint32_t kBackground = 0xFFFFFF;

}  // namespace

TMetafile::TMetafile() = default;

TMetafile::~TMetafile() = default;

void TMetafile::Clear() {
  picture_ = Metafile();
  width_ = height_ = 0;
  Changed();
}

void TMetafile::SetWidth(int width) {
  if (!Empty()) throw EInvalidOperation("Cannot change the size of a recorded metafile");
  width_ = std::max(width, 0);
  Changed();
}

void TMetafile::SetHeight(int height) {
  if (!Empty()) throw EInvalidOperation("Cannot change the size of a recorded metafile");
  height_ = std::max(height, 0);
  Changed();
}

void TMetafile::SetEnhanced(bool enhanced) {
  enhanced_ = enhanced;
  Changed();
}

void TMetafile::Assign(const TPersistent* source) {
  if (source == this) return;
  if (source == nullptr) return Clear();
  const auto* metafile = dynamic_cast<const TMetafile*>(source);
  if (metafile == nullptr) return TGraphic::Assign(source);
  Metafile copy;
  if (!metafile->Empty()) copy.Load(metafile->picture_.Bytes());
  picture_ = std::move(copy);
  width_ = metafile->width_;
  height_ = metafile->height_;
  enhanced_ = metafile->enhanced_;
  Changed();
}

void TMetafile::LoadFromStream(TStream* stream) {
  const std::int64_t size = stream->Size() - stream->Position();
  if (size <= 0 || size > (256 << 20)) throw EInvalidGraphic(kMetafileError);
  std::vector<std::uint8_t> bytes(static_cast<size_t>(size));
  stream->ReadBuffer(bytes.data(), static_cast<int>(size));
  Metafile loaded;
  loaded.Load(std::move(bytes));
  picture_ = std::move(loaded);
  enhanced_ = picture_.Enhanced();
  Changed();
}

void TMetafile::SaveToStream(TStream* stream) {
  const std::vector<std::uint8_t>& bytes = picture_.Bytes();
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
}

void TMetafile::Draw(TCanvas* canvas, const TRect& rect) { picture_.Play(canvas->GetHandle(), rect); }

void TMetafile::Record(const std::uint32_t* pixels, int width, int height, int stride) {
  Metafile recorded;
  recorded.Record(pixels, width, height, stride, enhanced_);
  picture_ = std::move(recorded);
  Changed();
}

TMetafileCanvas::TMetafileCanvas(TMetafile* metafile, HDC)
    : metafile_(metafile),
      sized_(metafile->GetWidth() > 0 && metafile->GetHeight() > 0),
      width_(sized_ ? metafile->GetWidth() : ScreenWidth()),
      height_(sized_ ? metafile->GetHeight() : ScreenHeight()) {
  BITMAPINFO info{};
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap_ == nullptr) throw EOutOfMemory("Out of system resources");
  pixels_ = static_cast<std::uint32_t*>(bits);
  std::fill(pixels_, pixels_ + static_cast<size_t>(width_) * height_, kBackground);
  dc_ = CreateCompatibleDC(nullptr);
  old_ = SelectObject(dc_, bitmap_);
  SetHandle(dc_);
}

TMetafileCanvas::~TMetafileCanvas() {
  SetHandle(nullptr);
  int width = width_, height = height_;
  if (!sized_) {
    // The picture reaches as far right and down as anything was drawn.
    width = height = 0;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if ((pixels_[static_cast<size_t>(y) * width_ + x] & 0xFFFFFF) != kBackground) {
          width = std::max(width, x + 1);
          height = std::max(height, y + 1);
        }
  }
  // A destructor reports nothing: a picture the recorder refuses is left as it was.
  if (width > 0 && height > 0) {
    try {
      metafile_->Record(pixels_, width, height, width_);
    } catch (const Exception&) {
    }
  }
  SelectObject(dc_, old_);
  DeleteDC(dc_);
  DeleteObject(bitmap_);
}
