#include "quillo/base/Skins.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/gdi/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/FindFile.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/Strings.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "quillo/base/BuiltInData.h"
#include "quillo/base/Language.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/base/Settings.h"
#include "quillo/base/SkinGlyphs.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/core/Colconv.h"
#include "vorlen/formats/GFXFile.h"

ESkinError::ESkinError(AnsiString message) : Exception(std::move(message)) {}
ESkinError::~ESkinError() = default;

std::unique_ptr<SkinManager> Skins;

namespace {

constexpr uint kRgb = 0x00FFFFFFu;
constexpr const char* SkinExtension = ".skn";

uint PixelAt(const Buffer& image, int x, int y) { return *image.At(image.rect.left + x, image.rect.top + y) & kRgb; }

[[noreturn]] void Refuse(const AnsiString& why) { throw ESkinError(AnsiString(SkinText::Damaged) + ": " + why); }

// Both ends of a key colour blend, per channel: (a * wa + b * wb) / 4.
uint Blend(uint a, int wa, uint b, int wb) {
  uint out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int ca = static_cast<int>((a >> shift) & 0xFF);
    const int cb = static_cast<int>((b >> shift) & 0xFF);
    out |= static_cast<uint>((ca * wa + cb * wb) / 4) << shift;
  }
  return out;
}

// The system's button face as a pixel 0x00RRGGBB.
uint ButtonFacePixel() {
  const DWORD face = GetSysColor(COLOR_BTNFACE);
  return ((face & 0xFF) << 16) | (face & 0xFF00) | ((face >> 16) & 0xFF);
}

// One strip's grid of icon cells: its first image row, rows, columns and icon size.
struct StripCells {
  int top;
  int rows;
  int columns;
  int width;
  int height;
};

// A skin's name as the list shows it: lower case, the first letter upper case.
AnsiString DisplayName(const AnsiString& fileName) {
  AnsiString name = LowerCase(ChangeFileExt(fileName, ""));
  if (!name.empty()) name[0] = UpperCase(name.substr(0, 1))[0];
  return name;
}

}  // namespace

int ReadSkinDigit(const Buffer& image, int x) {
  const uint r = PixelAt(image, 0, 5);
  const bool a = PixelAt(image, x, 1) == r;
  const bool b = PixelAt(image, x + 1, 2) == r;
  const bool c = PixelAt(image, x + 1, 0) == r;
  const bool d = PixelAt(image, x, 3) == r;
  const bool e = PixelAt(image, x + 2, 1) == r;
  if (a) return b ? (c ? 1 : 7) : (d ? 3 : 2);
  if (e) return d ? 5 : 6;
  if (d) return c ? 4 : 9;
  return b ? 0 : 8;
}

SkinLayout ReadSkinHeader(const Buffer& image) {
  const int width = image.Width();
  const int height = image.Height();
  if (width < SkinHeaderWidth || height < SkinHeaderRows) Refuse("the image is smaller than its header");
  auto number = [&](int x) { return 10 * ReadSkinDigit(image, x) + ReadSkinDigit(image, x + 4); };
  SkinLayout l;
  l.Rows1 = number(0);
  l.Width1 = number(12);
  l.Height1 = number(24);
  l.Rows2 = number(36);
  l.Width2 = number(48);
  l.Height2 = number(60);
  l.Columns1 = (width + 1) / (l.Width1 + 1);
  l.Columns2 = (width + 1) / (l.Width2 + 1);
  l.Top2 = (l.Height1 + 1) * l.Rows1 + SkinHeaderRows;

  if (l.Rows1 < 1) Refuse("the header names no icons");
  const auto checkStrip = [&](int rows, int iconWidth, int iconHeight, int columns, int top, const char* which) {
    if (rows == 0) return;
    if (iconWidth < 1 || iconHeight < 1) Refuse(AnsiString("the ") + which + " strip's icons have no size");
    if (columns < 1) Refuse(AnsiString("the ") + which + " strip's icons are wider than the image");
    // The last row's icons end on the image's last line at the latest (the separator line
    // after them may be missing).
    const long long bottom = top + static_cast<long long>(rows - 1) * (iconHeight + 1) + iconHeight;
    if (bottom > height) Refuse(AnsiString("the ") + which + " strip reaches below the image");
  };
  checkStrip(l.Rows1, l.Width1, l.Height1, l.Columns1, SkinHeaderRows, "first");
  checkStrip(l.Rows2, l.Width2, l.Height2, l.Columns2, l.Top2, "second");
  return l;
}

// A skin read and prepared but not yet in use.
struct SkinManager::Prepared {
  SkinLayout layout;
  BITMAPINFO info{};
  std::vector<unsigned char> bits;
};

SkinManager::SkinManager(const AnsiString& folder) : folder_(folder), names_(MakeObject<TStringList>()) {
  layout_.Width1 = layout_.Height1 = SkinGlyph::FirstStripSize;
  layout_.Width2 = layout_.Height2 = SkinGlyph::SecondStripSize;
  TSearchRec rec;
  if (FindFirst(folder_ + "*" + SkinExtension, faAnyFile, rec) == 0) {
    do {
      if (SameText(ExtractFileExt(rec.Name), SkinExtension)) names_->Add(DisplayName(rec.Name));
    } while (FindNext(rec) == 0);
    FindClose(rec);
  }
}

SkinManager::~SkinManager() = default;

AnsiString SkinManager::FileOf(const AnsiString& name) const {
  // The list shows names in its own case; the file on disk may be spelt otherwise.
  TSearchRec rec;
  AnsiString found;
  if (FindFirst(folder_ + "*" + SkinExtension, faAnyFile, rec) == 0) {
    do {
      if (SameText(ChangeFileExt(rec.Name, ""), name) && SameText(ExtractFileExt(rec.Name), SkinExtension))
        found = rec.Name;
    } while (found.empty() && FindNext(rec) == 0);
    FindClose(rec);
  }
  return folder_ + (found.empty() ? name + SkinExtension : found);
}

void SkinManager::Load(const AnsiString& name) {
  Buffer image;
  try {
    if (!GFXFile::Load(image, FileOf(name), nullptr, 0, nullptr)) throw ESkinError(SkinText::CantFind);
  } catch (const ESkinError&) {
    throw;
  } catch (const std::exception&) {
    throw ESkinError(SkinText::CantFind);
  }
  LoadImage(image);
  loadedName_ = name;
}

void SkinManager::LoadImage(const Buffer& image) {
  Prepared p;
  p.layout = ReadSkinHeader(image);
  const int width = image.Width();
  const int height = image.Height();
  std::vector<uint> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  auto px = [&](int x, int y) -> uint& { return pixels[static_cast<std::size_t>(y) * width + x]; };
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) px(x, y) = PixelAt(image, x, y);

  // The icons' background becomes the button face everywhere.
  const uint face = ButtonFacePixel();
  const uint reference = px(0, 5);
  const uint background = px(0, p.layout.Height1 + 5);
  std::replace(pixels.begin(), pixels.end(), background, face);

  // Key colours: the header's columns from 68 on, while rows 0 and 1 differ, name light,
  // middle and dark shades that are blended toward the face inside the icon cells only.
  const StripCells strips[] = {
      {SkinHeaderRows, p.layout.Rows1, p.layout.Columns1, p.layout.Width1, p.layout.Height1},
      {p.layout.Top2, p.layout.Rows2, p.layout.Columns2, p.layout.Width2, p.layout.Height2},
  };
  auto replaceInCells = [&](uint key, uint by) {
    for (const StripCells& s : strips)
      for (int row = 0; row < s.rows; ++row)
        for (int column = 0; column < s.columns; ++column) {
          const int left = column * (s.width + 1);
          const int top = s.top + row * (s.height + 1);
          for (int y = top; y < top + s.height; ++y)
            for (int x = left; x < left + s.width; ++x)
              if (px(x, y) == key) px(x, y) = by;
        }
  };
  for (int x = SkinHeaderWidth; x < width && px(x, 0) != px(x, 1); ++x) {
    const uint light = px(x, 1), middle = px(x, 2), dark = px(x, 3);
    if (light != reference) replaceInCells(light, Blend(light, 3, face, 1));
    if (middle != reference) replaceInCells(middle, Blend(middle, 2, face, 2));
    if (dark != reference) replaceInCells(dark, Blend(dark, 1, face, 3));
  }

  // A bottom-up 24-bit DIB.
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  p.bits.assign(stride * static_cast<std::size_t>(height), 0);
  for (int y = 0; y < height; ++y)
    RGB32RGB24s(&px(0, y), p.bits.data() + stride * static_cast<std::size_t>(height - 1 - y), width);
  BITMAPINFOHEADER& h = p.info.bmiHeader;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = 24;
  h.biCompression = BI_RGB;
  Adopt(std::move(p));
  loadedName_.clear();
}

void SkinManager::Adopt(Prepared&& prepared) {
  layout_ = prepared.layout;
  info_ = prepared.info;
  bits_ = std::move(prepared.bits);
}

std::function<void()> OnSkinChosen;

void SkinManager::Reload(const AnsiString& name, const std::function<void()>& applied) {
  Load(name);
  ApplyToForms();
  if (applied) applied();
}

void SkinManager::Choose(const AnsiString& name, const std::function<void()>& applied) {
  Reload(name, [&applied] {
    if (OnSkinChosen) OnSkinChosen();
    if (applied) applied();
  });
  Settings.Skin = name;
}

namespace {

// Tells the user that the skin file could not be loaded and what is used instead.
void TellSkinFailed(const AnsiString& file, const char* insteadKey) {
  const char* what = FileExists(file) ? LangKey("SkinDamaged") : LangKey("SkinMissing");
  Application()->MessageBox(LangMessage(what) + "\n\n" + file + "\n\n" + LangMessage(insteadKey), LangMessage("Warn"),
                            MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

void SkinManager::ReloadOrFallBack(const AnsiString& name, const std::function<void()>& applied) {
  const AnsiString own = TSettings{}.Skin;
  AnsiString tried = name;
  for (;;) {
    try {
      Reload(tried, applied);
      return;
    } catch (const ESkinError&) {
    }
    const bool wasOwn = SameText(tried, own);
    TellSkinFailed(FileOf(tried), wasOwn ? LangKey("SkinBuiltIn") : LangKey("SkinOwn"));
    if (wasOwn) break;
    tried = own;
  }
  LoadBuiltIn();
  ApplyToForms();
  if (applied) applied();
}

void SkinManager::LoadBuiltIn() {
  const std::string_view bytes = BuiltInSkinImage();
  TMemoryStream stream;
  stream.Write(bytes.data(), static_cast<int>(bytes.size()));
  stream.SetPosition(0);
  Buffer image;
  try {
    // As a load by name: the progress hooks see a start and an end.
    GFXProgressScope progress;
    GFXFile* const format = GFXFile::GetFormat(&stream, nullptr);
    if (format == nullptr || !format->Load(image, &stream, 0, nullptr, nullptr)) throw ESkinError(SkinText::CantFind);
  } catch (const ESkinError&) {
    throw;
  } catch (const std::exception&) {
    throw ESkinError(SkinText::CantFind);
  }
  LoadImage(image);
}

void SkinManager::ApplyToForms() const {
  std::vector<TComponent*> forms;
  for (int i = 0; i < Screen()->FormCount(); ++i) forms.push_back(Screen()->Forms(i));
  for (TComponent* form : forms) ApplyToComponent(form);
}

bool SkinManager::IconSource(int index, RECT& source) const {
  if (!Loaded() || index < 1) return false;
  const int height = info_.bmiHeader.biHeight;
  const SkinLayout& l = layout_;
  if (index <= SkinGlyph::LastFirstStripIndex) {
    const int i = index - 1;
    if (i >= l.Rows1 * l.Columns1) return false;
    source.left = (i % l.Columns1) * (l.Width1 + 1);
    source.top = height - 5 - (i / l.Columns1 + 1) * (l.Height1 + 1);
    source.right = source.left + l.Width1;
    source.bottom = source.top + l.Height1;
  } else {
    const int i = index - SkinGlyph::LastFirstStripIndex - 1;
    if (i >= l.Rows2 * l.Columns2) return false;
    source.left = (i % l.Columns2) * (l.Width2 + 1);
    source.top = height + 1 - l.Top2 - (i / l.Columns2 + 1) * (l.Height2 + 1);
    source.right = source.left + l.Width2;
    source.bottom = source.top + l.Height2;
  }
  return true;
}

// The icon at source (bottom-up DIB coordinates) onto a bitmap of its size.
void SkinManager::CopyIcon(const RECT& source, TBitmap* target) const {
  const int w = source.right - source.left;
  const int h = source.bottom - source.top;
  target->SetPixelFormat(pf24bit);
  target->SetSize(w, h);
  StretchDIBits(target->GetCanvas()->GetHandle(), 0, 0, w, h, source.left, source.top, w, h, bits_.data(),
                &info_, DIB_RGB_COLORS, SRCCOPY);
}

TOwnedPtr<TBitmap> SkinManager::IconBitmap(int index) const {
  RECT source{};
  if (!IconSource(index, source)) return nullptr;
  TOwnedPtr<TBitmap> bitmap = MakeObject<TBitmap>();
  CopyIcon(source, bitmap.get());
  return bitmap;
}

TOwnedPtr<TBitmap> SkinManager::GetIcon(int index) const {
  if (index >= 1 && index <= SkinGlyph::LastFirstStripIndex)
    if (TOwnedPtr<TBitmap> icon = IconBitmap(index)) return icon;
  TOwnedPtr<TBitmap> blank = MakeObject<TBitmap>();
  blank->SetSize(layout_.Width1, layout_.Height1);
  blank->GetCanvas()->GetBrush()->SetColor(clBtnFace);
  blank->GetCanvas()->FillRect(TRect(0, 0, layout_.Width1, layout_.Height1));
  return blank;
}

void SkinManager::ApplyToImageList(TComponent* component, int tag) const {
  auto* list = static_cast<TCustomImageList*>(component);
  const bool second = (tag & SkinGlyph::ImageListSecondStrip) != 0;
  const int count = tag & SkinGlyph::ImageListCountMask;
  const int first = second ? SkinGlyph::LastFirstStripIndex + 1 : 1;
  list->Clear();
  list->SetWidth(second ? layout_.Width2 : layout_.Width1);
  list->SetHeight(second ? layout_.Height2 : layout_.Height1);
  for (int i = 0; i < count; ++i) {
    TOwnedPtr<TBitmap> icon = IconBitmap(first + i);
    if (!icon) break;  // past the strip's icons
    list->Add(icon.get(), nullptr);
  }
}

void SkinManager::ApplyToComponent(TComponent* component) const {
  if (!component || !Loaded()) return;
  if (component->ComponentCount() > 0) {
    for (int i = 0; i < component->ComponentCount(); ++i) ApplyToComponent(component->Components(i));
    return;
  }
  auto* toolbarButton = dynamic_cast<tbx::TToolbarButtonX*>(component);
  auto* image = dynamic_cast<TImage*>(component);
  auto* speedButton = dynamic_cast<TSpeedButton*>(component);
  auto* menuItem = dynamic_cast<TMenuItem*>(component);
  auto* imageList = dynamic_cast<TCustomImageList*>(component);
  if (!toolbarButton && !image && !speedButton && !menuItem && !imageList) return;
  const int tag = static_cast<int>(component->GetTag() & SkinGlyph::IndexMask);
  if (tag == 0) return;
  if (imageList) {
    ApplyToImageList(imageList, static_cast<int>(component->GetTag()));
    return;
  }
  TOwnedPtr<TBitmap> icon = IconBitmap(tag);
  if (!icon) return;
  const int w = icon->GetWidth();
  const int h = icon->GetHeight();
  if (toolbarButton) {
    // Room for the drop-down arrow only where the button shows one.
    const bool arrow = toolbarButton->GetDropdownArrow() &&
                       (toolbarButton->GetDropdownMenu() || toolbarButton->GetDropdownAlways());
    toolbarButton->SetWidth(w + 4 + (arrow ? 8 : 0));
    toolbarButton->SetHeight(h + 4);
    toolbarButton->SetGlyph(icon.get());
  } else if (image) {
    image->SetWidth(w);
    image->SetHeight(h);
    image->GetPicture()->SetBitmap(icon.get());
  } else if (speedButton) {
    if (speedButton->GetCaption().empty()) speedButton->SetWidth(w + 4);
    speedButton->SetHeight(h + 6);
    speedButton->SetGlyph(icon.get());
  } else {
    icon->SetTransparentMode(tmAuto);
    menuItem->SetBitmap(icon.get());
  }
}
