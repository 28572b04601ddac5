#include "quillo/components/utilities/BitmapUtils.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/rtl/SysUtils.h"
#include "platform/user/User.h"
#include "quillo/components/utilities/VclUtils.h"

namespace {

constexpr DWORD kPaintWhereBlack = 0x00E20746;  // the brush where the (mono) source is black
constexpr DWORD kAndPattern = 0x00A000C9;       // destination AND pattern

// A memory context with one bitmap selected, both freed with it.
class MemoryDC {
public:
  MemoryDC(HDC reference, HBITMAP bitmap) : dc_(CreateCompatibleDC(reference)), bitmap_(bitmap) {
    old_ = SelectObject(dc_, bitmap_);
  }
  ~MemoryDC() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC dc() const { return dc_; }

private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

TOwnedPtr<TBitmap> FilledBitmap(int w, int h, TColor fill) {
  auto bitmap = MakeObject<TBitmap>();
  bitmap->SetSize(w, h);
  bitmap->GetCanvas()->GetBrush()->SetColor(fill);
  bitmap->GetCanvas()->FillRect(TRect(0, 0, w, h));
  return bitmap;
}

}  // namespace

TOwnedPtr<TBitmap> MakeModuleBitmap(HINSTANCE module, LPCSTR resName) {
  HBITMAP handle = LoadBitmap(module, resName);
  if (!handle) {
    throw EResNotFound(Format("Resource %s not found", ResourceNameText(resName).c_str()));
  }
  auto bitmap = MakeObject<TBitmap>();
  bitmap->SetHandle(handle);
  return bitmap;
}

TOwnedPtr<TBitmap> MakeBitmap(LPCSTR resName) { return MakeModuleBitmap(GetModuleHandle(nullptr), resName); }

TOwnedPtr<TBitmap> MakeBitmapID(WORD resId) {
  return MakeModuleBitmap(GetModuleHandle(nullptr), reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(resId)));
}

TOwnedPtr<TIcon> MakeModuleIcon(HINSTANCE module, LPCSTR resName) {
  HICON shared = LoadIcon(module, resName);
  if (!shared) return nullptr;
  // A private copy, so that freeing the TIcon never touches the resource's shared icon.
  HICON own = CopyIcon(shared);
  if (!own) return nullptr;
  auto icon = MakeObject<TIcon>();
  icon->SetHandle(own);
  return icon;
}

TOwnedPtr<TIcon> MakeIcon(LPCSTR resName) { return MakeModuleIcon(GetModuleHandle(nullptr), resName); }

TOwnedPtr<TIcon> MakeIconID(WORD resId) {
  return MakeModuleIcon(GetModuleHandle(nullptr), reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(resId)));
}

void StretchBltTransparent(HDC dstDC, int x, int y, int w, int h, HDC srcDC, int srcX, int srcY, int srcW,
                           int srcH, COLORREF maskColor) {
  if (w <= 0 || h <= 0 || srcW <= 0 || srcH <= 0) return;
  // A monochrome mask: white where the source has the mask colour.
  MemoryDC mask(dstDC, CreateBitmap(srcW, srcH, 1, 1, nullptr));
  const COLORREF oldBack = SetBkColor(srcDC, maskColor);
  BitBlt(mask.dc(), 0, 0, srcW, srcH, srcDC, srcX, srcY, SRCCOPY);
  SetBkColor(srcDC, oldBack);
  // The source with its transparent pixels made black.
  MemoryDC source(dstDC, CreateCompatibleBitmap(dstDC, srcW, srcH));
  BitBlt(source.dc(), 0, 0, srcW, srcH, srcDC, srcX, srcY, SRCCOPY);
  SetBkColor(source.dc(), RGB(0, 0, 0));
  SetTextColor(source.dc(), RGB(255, 255, 255));
  BitBlt(source.dc(), 0, 0, srcW, srcH, mask.dc(), 0, 0, SRCAND);
  // The destination with a hole where the source is opaque, the source ORed into it.
  MemoryDC work(dstDC, CreateCompatibleBitmap(dstDC, w, h));
  BitBlt(work.dc(), 0, 0, w, h, dstDC, x, y, SRCCOPY);
  SetBkColor(work.dc(), RGB(255, 255, 255));
  SetTextColor(work.dc(), RGB(0, 0, 0));
  StretchBlt(work.dc(), 0, 0, w, h, mask.dc(), 0, 0, srcW, srcH, SRCAND);
  StretchBlt(work.dc(), 0, 0, w, h, source.dc(), 0, 0, srcW, srcH, SRCPAINT);
  BitBlt(dstDC, x, y, w, h, work.dc(), 0, 0, SRCCOPY);
}

void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, COLORREF transparentColor) {
  BITMAP info{};
  if (!GetObject(bitmap, sizeof info, &info)) return;
  HDC src = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(src, bitmap);
  StretchBltTransparent(dc, x, y, info.bmWidth, info.bmHeight, src, 0, 0, info.bmWidth, info.bmHeight,
                        transparentColor);
  SelectObject(src, old);
  DeleteDC(src);
}

void StretchBitmapRectTransparent(TCanvas* canvas, int x, int y, int w, int h, TRect rect, TBitmap* bitmap,
                                  TColor transparentColor) {
  if (!bitmap || bitmap->Empty()) return;
  if (rect.right <= rect.left || rect.bottom <= rect.top) rect = TRect(0, 0, bitmap->GetWidth(), bitmap->GetHeight());
  if (w == 0) w = rect.right - rect.left;
  if (h == 0) h = rect.bottom - rect.top;
  HDC dst = canvas->GetHandle();
  HDC src = bitmap->GetCanvas()->GetHandle();
  if (transparentColor == clNone) {
    StretchBlt(dst, x, y, w, h, src, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               canvas->GetCopyMode());
    return;
  }
  COLORREF mask;
  if (bitmap->GetMonochrome())
    mask = RGB(255, 255, 255);
  else if (transparentColor == clDefault)
    mask = ColorToRGB(bitmap->GetCanvas()->GetPixel(0, bitmap->GetHeight() - 1));
  else
    mask = ColorToRGB(transparentColor);
  SetStretchBltMode(dst, COLORONCOLOR);  // STRETCH_DELETESCANS
  StretchBltTransparent(dst, x, y, w, h, src, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                        mask);
}

void DrawBitmapRectTransparent(TCanvas* canvas, int x, int y, TRect rect, TBitmap* bitmap, TColor transparentColor) {
  StretchBitmapRectTransparent(canvas, x, y, 0, 0, rect, bitmap, transparentColor);
}

void DrawBitmapTransparent(TCanvas* canvas, int x, int y, TBitmap* bitmap, TColor transparentColor) {
  StretchBitmapRectTransparent(canvas, x, y, 0, 0, TRect(), bitmap, transparentColor);
}

TOwnedPtr<TBitmap> ChangeBitmapColor(TBitmap* bitmap, TColor color, TColor newColor) {
  const int w = bitmap->GetWidth(), h = bitmap->GetHeight();
  auto result = FilledBitmap(w, h, newColor);
  StretchBltTransparent(result->GetCanvas()->GetHandle(), 0, 0, w, h, bitmap->GetCanvas()->GetHandle(), 0, 0, w, h,
                        ColorToRGB(color));
  return result;
}

TOwnedPtr<TBitmap> CreateDisabledBitmapEx(TBitmap* glyph, TColor outlineColor, TColor backColor,
                                          TColor highlightColor, TColor shadowColor, bool drawHighlight) {
  const int w = glyph->GetWidth(), h = glyph->GetHeight();
  auto result = FilledBitmap(w, h, backColor);
  if (w == 0 || h == 0) return result;
  HDC dst = result->GetCanvas()->GetHandle();
  // The glyph's shape: black where it is not the outline colour.
  MemoryDC mask(dst, CreateBitmap(w, h, 1, 1, nullptr));
  HDC src = glyph->GetCanvas()->GetHandle();
  const COLORREF oldBack = SetBkColor(src, glyph->GetMonochrome() ? RGB(255, 255, 255) : ColorToRGB(outlineColor));
  BitBlt(mask.dc(), 0, 0, w, h, src, 0, 0, SRCCOPY);
  SetBkColor(src, oldBack);
  const COLORREF oldText = SetTextColor(dst, RGB(255, 255, 255));
  const COLORREF oldDstBack = SetBkColor(dst, RGB(0, 0, 0));
  auto paint = [&](TColor colour, int dx) {
    HBRUSH brush = CreateSolidBrush(ColorToRGB(colour));
    HGDIOBJ old = SelectObject(dst, brush);
    BitBlt(dst, dx, dx, w - dx, h - dx, mask.dc(), 0, 0, kPaintWhereBlack);
    SelectObject(dst, old);
    DeleteObject(brush);
  };
  if (drawHighlight) paint(highlightColor, 1);
  paint(shadowColor, 0);
  SetTextColor(dst, oldText);
  SetBkColor(dst, oldDstBack);
  return result;
}

TOwnedPtr<TBitmap> CreateDisabledBitmap(TBitmap* glyph, TColor outlineColor) {
  return CreateDisabledBitmapEx(glyph, outlineColor, clBtnFace, clBtnHighlight, clBtnShadow, true);
}

void ImageListDrawDisabled(TCustomImageList* images, TCanvas* canvas, int x, int y, int index,
                           TColor highlightColor, TColor grayColor, bool drawHighlight) {
  if (!images || index < 0 || index >= images->GetCount()) return;
  const int w = images->GetWidth(), h = images->GetHeight();
  if (w <= 0 || h <= 0) return;
  HDC dst = canvas->GetHandle();
  // The image's shape: black where it is opaque, on white.
  MemoryDC mask(dst, CreateBitmap(w, h, 1, 1, nullptr));
  PatBlt(mask.dc(), 0, 0, w, h, WHITENESS);
  ImageList_Draw(images->GetHandle(), index, mask.dc(), 0, 0, ILD_MASK);
  const COLORREF oldText = SetTextColor(dst, RGB(255, 255, 255));
  const COLORREF oldBack = SetBkColor(dst, RGB(0, 0, 0));
  auto paint = [&](TColor colour, int dx) {
    HBRUSH brush = CreateSolidBrush(ColorToRGB(colour));
    HGDIOBJ old = SelectObject(dst, brush);
    BitBlt(dst, x + dx, y + dx, w, h, mask.dc(), 0, 0, kPaintWhereBlack);
    SelectObject(dst, old);
    DeleteObject(brush);
  };
  if (drawHighlight) paint(highlightColor, 1);
  paint(grayColor, 0);
  SetTextColor(dst, oldText);
  SetBkColor(dst, oldBack);
}

TOwnedPtr<TBitmap> CreateBitmapFromIcon(TIcon* icon, TColor backColor) {
  auto bitmap = FilledBitmap(icon->GetWidth(), icon->GetHeight(), backColor);
  bitmap->GetCanvas()->Draw(0, 0, icon);
  bitmap->SetTransparentColor(backColor);
  bitmap->SetTransparent(true);
  return bitmap;
}

TOwnedPtr<TIcon> CreateIconFromBitmap(TBitmap* bitmap, TColor transparentColor) {
  auto icon = MakeObject<TIcon>();
  if (!bitmap || bitmap->Empty()) return icon;
  if (transparentColor == clDefault) transparentColor = bitmap->GetTransparentColor();
  auto list = MakeObject<TImageList>(nullptr, bitmap->GetWidth(), bitmap->GetHeight());
  list->AddMasked(bitmap, transparentColor);
  list->GetIcon(0, icon.get());
  return icon;
}

void ShadeRect(HDC dc, const TRect& rect) {
  static const WORD rows[8] = {0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44, 0x88};
  // One byte of pattern per row, padded to a 16-bit word as monochrome bitmaps are.
  std::uint8_t bits[16] = {};
  for (int r = 0; r < 8; ++r) bits[r * 2] = static_cast<std::uint8_t>(rows[r]);
  HBITMAP pattern = CreateBitmap(8, 8, 1, 1, bits);
  HBRUSH brush = CreatePatternBrush(pattern);
  const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(dc, brush);
  PatBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, kAndPattern);
  SelectObject(dc, old);
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
  DeleteObject(brush);
  DeleteObject(pattern);
}

HFONT CreateRotatedFont(TFont* font, int angle) {
  LOGFONT lf{};
  lf.lfHeight = font->GetHeight();
  lf.lfEscapement = angle * 10;
  lf.lfOrientation = angle * 10;
  const TFontStyles style = font->GetStyle();
  lf.lfWeight = (style & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (style & fsItalic) ? 1 : 0;
  lf.lfUnderline = (style & fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = (style & fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = static_cast<BYTE>(font->GetCharset());
  AnsiString name = font->GetName();
  if (SameText(name, "Default")) name = "MS Sans Serif";
  std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", name.c_str());
  switch (font->GetPitch()) {
    case fpFixed: lf.lfPitchAndFamily = FIXED_PITCH; break;
    case fpVariable: lf.lfPitchAndFamily = VARIABLE_PITCH; break;
    default: lf.lfPitchAndFamily = DEFAULT_PITCH; break;
  }
  return CreateFontIndirect(&lf);
}

namespace {

std::uint32_t Le32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The first frame of an animated-cursor file: the data of the first "icon" chunk of its
// "fram" list, each chunk's size checked against what is left of the file.
const unsigned char* FirstAniFrame(const unsigned char* data, size_t size, size_t& frameSize) {
  if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "ACON", 4) != 0) return nullptr;
  size_t end = std::min<size_t>(size, 8 + static_cast<size_t>(Le32(data + 4)));
  size_t pos = 12;
  while (pos + 8 <= end) {
    const size_t chunk = Le32(data + pos + 4);
    const size_t body = pos + 8;
    if (chunk > end - body) return nullptr;
    if (std::memcmp(data + pos, "LIST", 4) == 0 && chunk >= 4 && std::memcmp(data + body, "fram", 4) == 0) {
      size_t inner = body + 4;
      const size_t listEnd = body + chunk;
      while (inner + 8 <= listEnd) {
        const size_t frame = Le32(data + inner + 4);
        if (frame > listEnd - inner - 8) return nullptr;
        if (std::memcmp(data + inner, "icon", 4) == 0) {
          frameSize = frame;
          return data + inner + 8;
        }
        inner += 8 + frame + (frame & 1);
      }
      return nullptr;
    }
    pos = body + chunk + (chunk & 1);
  }
  return nullptr;
}

}  // namespace

HCURSOR LoadAniCursor(HINSTANCE module, LPCSTR resName) {
  HRSRC resource = FindResource(module, resName, MAKEINTRESOURCE(21));
  if (!resource) resource = FindResource(module, resName, RT_GROUP_CURSOR);
  if (!resource) return nullptr;
  const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module, resource)));
  const size_t size = SizeofResource(module, resource);
  if (!data) return nullptr;
  size_t frameSize = 0;
  const unsigned char* frame = FirstAniFrame(data, size, frameSize);
  if (!frame) return nullptr;
  return CreateIconFromIconFile(frame, static_cast<DWORD>(frameSize));
}
