#include "platform/vcl/Clipbrd.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/gdi/DibFile.h"
#include "platform/user/ClipboardImage.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Picture.h"

QUILLO_DEFINE_CLASS(TClipboard, TPersistent)

TClipboard::TClipboard() = default;
TClipboard::~TClipboard() = default;

// The clipboard is opened for no window: what the framework puts there belongs to the program
// as a whole, and no window of it has to outlive a desktop for that.
void TClipboard::Open() {
  if (openCount_ == 0) {
    if (!OpenClipboard(nullptr)) throw Exception(RtlText::CannotOpenClipboard);
    emptied_ = false;
  }
  ++openCount_;
}

void TClipboard::Close() {
  if (openCount_ == 0) return;
  if (--openCount_ == 0) CloseClipboard();
}

void TClipboard::Clear() {
  Open();
  try {
    EmptyClipboard();
    emptied_ = true;
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

void TClipboard::Adding() {
  if (openCount_ > 0 && !emptied_) {
    EmptyClipboard();
    emptied_ = true;
  }
}

bool TClipboard::HasFormat(UINT format) const { return IsClipboardFormatAvailable(format) != FALSE; }

int TClipboard::FormatCount() const { return CountClipboardFormats(); }

UINT TClipboard::Formats(int index) {
  Open();
  UINT format = 0;
  for (int i = 0; i <= index; ++i) {
    format = EnumClipboardFormats(format);
    if (!format) break;
  }
  Close();
  return format;
}

void TClipboard::SetBuffer(UINT format, const void* bytes, size_t size) {
  Open();
  try {
    Adding();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    if (!block) throw EOutOfMemory(RtlText::OutOfMemory);
    std::memcpy(GlobalLock(block), bytes, size);
    GlobalUnlock(block);
    if (!SetClipboardData(format, block)) GlobalFree(block);
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

AnsiString TClipboard::GetAsText() {
  Open();
  AnsiString text;
  if (HANDLE block = GetClipboardData(CF_TEXT)) {
    const char* p = static_cast<const char*>(GlobalLock(block));
    if (p) text.assign(p, strnlen(p, GlobalSize(block)));
    GlobalUnlock(block);
  }
  Close();
  return text;
}

void TClipboard::SetAsText(const AnsiString& text) { SetBuffer(CF_TEXT, text.c_str(), text.size() + 1); }

void TClipboard::SetTextBuf(const char* text) { SetAsText(text ? text : ""); }

int TClipboard::GetTextBuf(char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  const AnsiString text = GetAsText();
  const int n = std::min<int>(size - 1, static_cast<int>(text.size()));
  std::memcpy(buffer, text.data(), static_cast<size_t>(n));
  buffer[n] = '\0';
  return n;
}

HANDLE TClipboard::GetAsHandle(UINT format) {
  Open();
  HANDLE data = GetClipboardData(format);
  Close();
  return data;
}

void TClipboard::SetAsHandle(UINT format, HANDLE value) {
  Open();
  try {
    Adding();
    SetClipboardData(format, value);
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

void TClipboard::Assign(const TPersistent* source) {
  if (const auto* picture = dynamic_cast<const TPicture*>(source)) {
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(picture->GetGraphic())) return AssignBitmap(*bitmap);
  } else if (const auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
    return AssignBitmap(*bitmap);
  }
  TPersistent::Assign(source);
}

// The clipboard takes a copy of the bitmap and of its palette: the program keeps its own.
void TClipboard::AssignBitmap(const TBitmap& bitmap) {
  TBitmap copy;
  copy.Assign(&bitmap);
  HBITMAP handle = copy.ReleaseHandle();
  HPALETTE palette = copy.ReleasePalette();
  Open();
  try {
    Adding();
    if (handle && !SetClipboardData(CF_BITMAP, handle)) DeleteObject(handle);
    if (palette && !SetClipboardData(CF_PALETTE, palette)) DeleteObject(palette);
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

void TClipboard::AssignTo(TPersistent* destination) const {
  auto* picture = dynamic_cast<TPicture*>(destination);
  auto* bitmap = dynamic_cast<TBitmap*>(destination);
  if (!picture && !bitmap) return TPersistent::AssignTo(destination);
  // The DIB as a BMP file in memory, read as a file would be: its depth and colours kept,
  // damaged data refused before anything changes.
  auto* self = const_cast<TClipboard*>(this);
  self->Open();
  std::vector<std::uint8_t> dib;
  try {
    dib = BlockBytes(GetClipboardData(CF_DIB));
  } catch (...) {
    self->Close();
    throw;
  }
  self->Close();
  PackedDibLayout layout;
  if (!ReadPackedDibLayout(dib.data(), dib.size(), layout)) throw EInvalidGraphic(RtlText::UnknownClipboardFormat);
  std::vector<std::uint8_t> file{'B', 'M'};
  PutLe32(file, static_cast<std::uint32_t>(14 + layout.bitsOffset + layout.bitsSize));
  PutLe32(file, 0);
  PutLe32(file, static_cast<std::uint32_t>(14 + layout.bitsOffset));
  file.insert(file.end(), dib.begin(), dib.begin() + static_cast<std::ptrdiff_t>(layout.bitsOffset + layout.bitsSize));
  TMemoryStream stream;
  stream.WriteBuffer(file.data(), static_cast<int>(file.size()));
  stream.SetPosition(0);
  if (bitmap) return bitmap->LoadFromStream(&stream);
  TBitmap loaded;
  loaded.LoadFromStream(&stream);
  picture->Assign(&loaded);
}

TClipboard* Clipboard() {
  static TOwnedPtr<TClipboard> instance = MakeObject<TClipboard>();
  return instance.get();
}
