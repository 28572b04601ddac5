#pragma once
// The thumbnail of one image file as the image browser shows it: from the folder's cache when
// the file is unchanged, else loaded quietly, fitted into 120 x 90 and stored in the cache; with
// the cell's caption (the file's name) and hint (its size in pixels and kilobytes).

#include <cstdint>

#include "platform/rtl/AnsiString.h"

class ThumbCache;
class UDBuffer;

struct ThumbnailInfo {
  AnsiString caption;
  AnsiString hint;
  bool fromCache = false;
};

// Answers 0 when thumb holds a thumbnail (also of a file that loads only in part), else the
// loader's failure code; a file that is not a regular file fails without being opened. cache
// may be null or closed.
int MakeThumbnail(const AnsiString& path, UDBuffer& thumb, ThumbCache* cache, ThumbnailInfo& info);

// "W x H Pixels\r\nK KB", K the size in kilobytes rounded up.
AnsiString ThumbnailHint(int width, int height, std::int64_t fileSize);
