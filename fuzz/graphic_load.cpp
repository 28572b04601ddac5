// The framework's pictures from untrusted bytes: the input is read as a bitmap and as an
// icon. A bitmap that loads is drawn transparently and through its rows, saved, and must
// load back at the same size and depth; anything else must fail with EInvalidGraphic.

#include <cstdint>
#include <cstdlib>

#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Icon.h"

namespace {

void Fill(TMemoryStream& stream, const std::uint8_t* data, std::size_t size) {
  if (size) stream.Write(data, static_cast<int>(size));
  stream.SetPosition(0);
}

void CheckBitmap(const std::uint8_t* data, std::size_t size) {
  TBitmap bitmap;
  TMemoryStream in;
  Fill(in, data, size);
  try {
    bitmap.LoadFromStream(&in);
  } catch (const EInvalidGraphic&) {
    return;
  }
  // Small pictures only are worked on; large ones have shown they load.
  if (static_cast<long long>(bitmap.GetWidth()) * bitmap.GetHeight() > 4096) return;
  volatile std::uint8_t sink = *static_cast<std::uint8_t*>(bitmap.ScanLine(bitmap.GetHeight() - 1));
  (void)sink;
  TBitmap target;
  target.SetSize(8, 8);
  bitmap.SetTransparent(true);
  target.GetCanvas()->StretchDraw(TRect(0, 0, 8, 8), &bitmap);
  TMemoryStream out;
  bitmap.SaveToStream(&out);
  out.SetPosition(0);
  TBitmap again;
  again.LoadFromStream(&out);
  if (again.GetWidth() != bitmap.GetWidth() || again.GetHeight() != bitmap.GetHeight() ||
      again.GetPixelFormat() != bitmap.GetPixelFormat())
    std::abort();
}

void CheckIcon(const std::uint8_t* data, std::size_t size) {
  TIcon icon;
  TMemoryStream in;
  Fill(in, data, size);
  try {
    icon.LoadFromStream(&in);
  } catch (const EInvalidGraphic&) {
    return;
  }
  TBitmap target;
  target.SetSize(4, 4);
  target.GetCanvas()->Draw(0, 0, &icon);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckBitmap(data, size);
  CheckIcon(data, size);
  return 0;
}
