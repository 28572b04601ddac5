#include "platform/vcl/Clipbrd.h"

#include <cstring>
#include <algorithm>

#include "platform/rtl/Exceptions.h"

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

TClipboard* Clipboard() {
  static TOwnedPtr<TClipboard> instance = MakeObject<TClipboard>();
  return instance.get();
}
