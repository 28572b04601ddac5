#include "quillo/files/Thumbnails.h"

#include <sys/stat.h>

#include "platform/rtl/SysUtils.h"
#include "quillo/base/Language.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/files/ThumbCache.h"

AnsiString ThumbnailHint(int width, int height, std::int64_t fileSize) {
  const std::int64_t kilobytes = (fileSize + 1023) / 1024;
  return IntToStr(width) + " x " + IntToStr(height) + " " + LangMessage("Pixels") + "\r\n" +
         std::to_string(kilobytes) + " " + LangMessage("KBytes");
}

int MakeThumbnail(const AnsiString& path, UDBuffer& thumb, ThumbCache* cache, ThumbnailInfo& info) {
  info = ThumbnailInfo{};
  info.caption = ExtractFileName(path);
  thumb.Free();
  struct stat status {};
  // A FIFO or a device under an image's name would block or never end: it is passed by.
  if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return LoadCannotOpen;
  const std::int64_t time = status.st_mtime;
  const std::int64_t size = status.st_size;
  info.hint = std::to_string((size + 1023) / 1024) + " " + LangMessage("KBytes");

  int fullWidth = 0, fullHeight = 0;
  if (cache != nullptr && cache->Fetch(info.caption, time, size, thumb, fullWidth, fullHeight)) {
    info.fromCache = true;
    info.hint = ThumbnailHint(fullWidth, fullHeight, size);
    return LoadOk;
  }
  UDBuffer image;
  const int result = LoadImageFile(&image, path, 0, true);
  if (result != LoadOk && result != LoadDamaged && result != LoadReadFailed) return result;
  if (image.pixels == nullptr || image.Width() <= 0 || image.Height() <= 0) return LoadCannotOpen;
  thumb.ScaleToFit(image, ThumbCache::kThumbWidth, ThumbCache::kThumbHeight, true, false);
  if (thumb.pixels == nullptr) return LoadNoMemory;
  info.hint = ThumbnailHint(image.Width(), image.Height(), size);
  if (cache != nullptr) cache->Store(info.caption, time, size, thumb, image.Width(), image.Height());
  return LoadOk;
}
