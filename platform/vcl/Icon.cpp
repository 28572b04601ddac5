#include "platform/vcl/Icon.h"

#include "platform/gdi/DibFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Canvas.h"

QUILLO_DEFINE_CLASS(TIcon, TGraphic)

namespace {

// Pixels of a bitmap, bottom row first, packed at the depth asked for.
std::vector<std::uint8_t> Rows(HBITMAP bitmap, int width, int height, int bits) {
  std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD), 0);
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
  *header = BITMAPINFOHEADER{};
  header->biWidth = width;
  header->biHeight = height;
  header->biBitCount = static_cast<WORD>(bits);
  std::vector<std::uint8_t> rows(DibRowBytes(width, bits) * height);
  GetDIBits(nullptr, bitmap, 0, static_cast<UINT>(height), rows.data(), reinterpret_cast<BITMAPINFO*>(info.data()),
            DIB_RGB_COLORS);
  return rows;
}

// A one-image icon file: a 24-bit colour image over its AND mask.
std::vector<std::uint8_t> IconFile(HICON icon, int width, int height) {
  ICONINFO info;
  if (!GetIconInfo(icon, &info)) return {};
  const std::vector<std::uint8_t> colour = Rows(info.hbmColor, width, height, 24);
  const std::vector<std::uint8_t> mask = Rows(info.hbmMask, width, height, 1);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  std::vector<std::uint8_t> out;
  const std::uint32_t imageSize = static_cast<std::uint32_t>(40 + colour.size() + mask.size());
  PutLe16(out, 0);
  PutLe16(out, 1);
  PutLe16(out, 1);
  out.push_back(static_cast<std::uint8_t>(width >= 256 ? 0 : width));
  out.push_back(static_cast<std::uint8_t>(height >= 256 ? 0 : height));
  out.push_back(0);
  out.push_back(0);
  PutLe16(out, 1);
  PutLe16(out, 24);
  PutLe32(out, imageSize);
  PutLe32(out, 22);
  PutLe32(out, 40);
  PutLe32(out, static_cast<std::uint32_t>(width));
  PutLe32(out, static_cast<std::uint32_t>(height * 2));
  PutLe16(out, 1);
  PutLe16(out, 24);
  PutLe32(out, BI_RGB);
  PutLe32(out, static_cast<std::uint32_t>(colour.size() + mask.size()));
  for (int i = 0; i < 4; ++i) PutLe32(out, 0);
  out.insert(out.end(), colour.begin(), colour.end());
  out.insert(out.end(), mask.begin(), mask.end());
  return out;
}

}  // namespace

TIcon::TIcon() = default;

TIcon::~TIcon() { Clear(); }

void TIcon::Clear() {
  if (handle_ != nullptr) DestroyIcon(handle_);
  handle_ = nullptr;
  bytes_.clear();
  width_ = height_ = 0;
}

void TIcon::SetWidth(int width) {
  if (width != width_) throw EInvalidOperation(VclText::ChangeIconSize);
}

void TIcon::SetHeight(int height) {
  if (height != height_) throw EInvalidOperation(VclText::ChangeIconSize);
}

void TIcon::MeasureHandle() {
  ICONINFO info;
  width_ = height_ = 0;
  if (handle_ == nullptr || !GetIconInfo(handle_, &info)) return;
  BITMAP bm;
  GetObject(info.hbmColor, sizeof bm, &bm);
  width_ = bm.bmWidth;
  height_ = bm.bmHeight;
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
}

HICON TIcon::GetHandle() {
  if (handle_ == nullptr && !bytes_.empty()) handle_ = CreateIconFromIconFile(bytes_.data(), static_cast<DWORD>(bytes_.size()));
  return handle_;
}

void TIcon::SetHandle(HICON icon) {
  if (icon == handle_) return;
  Clear();
  handle_ = icon;
  MeasureHandle();
  Changed();
}

HICON TIcon::ReleaseHandle() {
  HICON icon = GetHandle();
  handle_ = nullptr;
  Clear();
  Changed();
  return icon;
}

void TIcon::Assign(const TPersistent* source) {
  if (source == this) return;
  if (source == nullptr) {
    Clear();
    Changed();
    return;
  }
  const auto* icon = dynamic_cast<const TIcon*>(source);
  if (icon == nullptr) return TGraphic::Assign(source);
  HICON copy = icon->handle_ ? CopyIcon(icon->handle_) : nullptr;
  std::vector<std::uint8_t> bytes = icon->bytes_;
  Clear();
  handle_ = copy;
  bytes_ = std::move(bytes);
  width_ = icon->width_;
  height_ = icon->height_;
  Changed();
}

void TIcon::LoadFromStream(TStream* stream) {
  const std::int64_t size = stream->Size() - stream->Position();
  if (size <= 0 || size > (64 << 20)) throw EInvalidGraphic(VclText::InvalidIcon);
  std::vector<std::uint8_t> bytes(static_cast<size_t>(size));
  stream->ReadBuffer(bytes.data(), static_cast<int>(size));
  HICON icon = CreateIconFromIconFile(bytes.data(), static_cast<DWORD>(bytes.size()));
  if (icon == nullptr) throw EInvalidGraphic(VclText::InvalidIcon);
  Clear();
  handle_ = icon;
  bytes_ = std::move(bytes);
  MeasureHandle();
  Changed();
}

void TIcon::SaveToStream(TStream* stream) {
  if (Empty()) return;
  const std::vector<std::uint8_t> bytes = bytes_.empty() ? IconFile(GetHandle(), width_, height_) : bytes_;
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
}

void TIcon::Draw(TCanvas* canvas, const TRect& rect) {
  DrawIconEx(canvas->GetHandle(), rect.left, rect.top, GetHandle(), rect.right - rect.left, rect.bottom - rect.top, 0,
             nullptr, DI_NORMAL);
}
