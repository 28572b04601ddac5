#pragma once
// TClipboard: the framework's view of the clipboard. Open and Close nest; each setter opens
// the clipboard for itself when it is not open, and empties it once per opening before it
// adds the first format. Clipboard() is the program's one instance.
//
// Pictures: Clipboard()->Assign(bitmap or picture) puts a copy of the bitmap (CF_BITMAP) and
// of its palette (CF_PALETTE) there; bitmap->Assign(Clipboard()) or picture->Assign(Clipboard())
// takes the clipboard's picture (its DIB, at the DIB's depth with its colour table), raising
// EInvalidGraphic, the destination kept as it was, when there is none or it is damaged.

#include "platform/user/Clipboard.h"
#include "platform/vcl/Object.h"
#include "platform/rtl/AnsiString.h"

namespace RtlText {
inline constexpr const char* CannotOpenClipboard = "Cannot open clipboard";
inline constexpr const char* UnknownClipboardFormat = "Unsupported clipboard format";
}  // namespace RtlText

class TBitmap;

class TClipboard : public TPersistent {
  QUILLO_DECLARE_CLASS()

public:
  TClipboard();
  ~TClipboard() override;

  // Raises an Exception when another window holds the clipboard open.
  void Open();
  void Close();
  void Clear();
  bool HasFormat(UINT format) const;
  int FormatCount() const;
  UINT Formats(int index);

  AnsiString GetAsText();
  void SetAsText(const AnsiString& text);
  void Assign(const TPersistent* source) override;
  HANDLE GetAsHandle(UINT format);
  // The clipboard owns the block from now on.
  void SetAsHandle(UINT format, HANDLE value);
  // Copies up to size - 1 bytes of the text and a zero; answers how many.
  int GetTextBuf(char* buffer, int size);
  void SetTextBuf(const char* text);

protected:
  void AssignTo(TPersistent* destination) const override;

private:
  void AssignBitmap(const TBitmap& bitmap);
  void Adding();
  void SetBuffer(UINT format, const void* bytes, size_t size);

  int openCount_ = 0;
  bool emptied_ = false;
};

TClipboard* Clipboard();
