#pragma once
// SkinManager: the program's skins. A skin is an image file "<name>.skn" in the program's
// "Skins" folder holding two strips of equally sized icons under a small header drawn in a
// 3 x 5 pixel digit font (rows of icons, icon width and height, for each strip). Loading one
// adapts its key colours to the system's button face; applying it copies the icon a
// component's Tag names (SkinGlyphs.h) into that component.
//
// A skin that cannot be read or whose header does not fit its image is refused with
// ESkinError and the skin loaded before stays; before any skin loads, components keep their
// blank glyphs and GetIcon hands out blank button-face icons of the default sizes.

#include <functional>
#include <memory>
#include <vector>

#include "platform/gdi/GdiTypes.h"
#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Object.h"
#include "platform/vcl/Strings.h"

class Buffer;
class TBitmap;
class TComponent;

// A skin file that is missing, unreadable or damaged. The skin in use is kept.
class ESkinError : public Exception {
public:
  explicit ESkinError(AnsiString message);
  ~ESkinError() override;
};

namespace SkinText {
// The message for a skin file the graphics library cannot read.
inline constexpr const char* CantFind = "Can't find icon set";
// The start of the message for a file that reads as an image but is no skin.
inline constexpr const char* Damaged = "Damaged icon set";
}  // namespace SkinText

// The header's numbers and the strip geometry that follows from them and the image width.
struct SkinLayout {
  int Rows1 = 0;
  int Columns1 = 0;
  int Width1 = 0;
  int Height1 = 0;
  int Rows2 = 0;
  int Columns2 = 0;
  int Width2 = 0;
  int Height2 = 0;
  int Top2 = 0;  // first image row of the second strip
};

// The first image row of the first strip and the least image width the header needs.
constexpr int SkinHeaderRows = 6;
constexpr int SkinHeaderWidth = 68;

// Reads the header of a skin image and checks it against the image: every icon cell of both
// strips lies inside the image and each strip has at least one column. ESkinError (Damaged...)
// otherwise. The image is a decoded 32-bit buffer, top row first.
SkinLayout ReadSkinHeader(const Buffer& image);
// The digit drawn at column x of the header, compared with the reference colour (0, 5). The
// caller keeps x + 2 < width and the image at least 6 rows high.
int ReadSkinDigit(const Buffer& image, int x);

class SkinManager {
public:
  // Lists the skins "*.skn" of folder (given with its trailing '/').
  explicit SkinManager(const AnsiString& folder);
  ~SkinManager();
  SkinManager(const SkinManager&) = delete;
  SkinManager& operator=(const SkinManager&) = delete;

  // The skins found, by name: the file name without ".skn", lower case with its first letter
  // upper case, in the order found.
  TStringList* Names() const { return names_.get(); }
  const AnsiString& Folder() const { return folder_; }
  // The file of the skin of this name.
  AnsiString FileOf(const AnsiString& name) const;

  // Loads the skin of this name. ESkinError "Can't find icon set" when the file cannot be
  // read as an image, ESkinError "Damaged icon set..." when its header does not fit; either
  // way the skin loaded before stays.
  void Load(const AnsiString& name);
  // Takes a decoded skin image as the skin (tests and the fuzz target feed images directly);
  // refuses it as Load does.
  void LoadImage(const Buffer& image);
  // Load, then ApplyToComponent for every form of the application, then applied (may be
  // empty). Nothing is applied when the load fails.
  void Reload(const AnsiString& name, const std::function<void()>& applied);
  // Reload, and on success the skin becomes the user's choice (Settings.Skin). A refused
  // skin changes neither the glyphs nor the setting.
  void Choose(const AnsiString& name, const std::function<void()>& applied);
  // Reload; a skin that cannot be loaded is told to the user, naming its file, and the
  // program's own skin is taken instead; when that cannot be loaded either (said so too), the
  // glyphs built into the program. The setting stays.
  void ReloadOrFallBack(const AnsiString& name, const std::function<void()>& applied);
  // Takes the program's own skin as built into the program.
  void LoadBuiltIn();

  // Copies the icon named by the component's Tag into it (its owned components instead, when
  // it owns any). Toolbar buttons, images, speed buttons, menu items and image lists are
  // handled; Tag 0 and an index past the strip leave the component as it is.
  void ApplyToComponent(TComponent* component) const;
  // ApplyToComponent for every form of the application.
  void ApplyToForms() const;

  // The icon of the first strip at index (1-based) on a bitmap of its size; an index without
  // an icon gives a blank one of the button face.
  TOwnedPtr<TBitmap> GetIcon(int index) const;
  // The icon of either strip by glyph index (1.. first strip, 1001.. second); null when the
  // index names no icon of the skin.
  TOwnedPtr<TBitmap> IconBitmap(int index) const;

  // Whether a skin is loaded, and which.
  bool Loaded() const { return !bits_.empty(); }
  const AnsiString& LoadedName() const { return loadedName_; }
  const SkinLayout& Layout() const { return layout_; }
  // Icon sizes of the strips (the default skin's sizes while none is loaded).
  int Width1() const { return layout_.Width1; }
  int Height1() const { return layout_.Height1; }
  int Width2() const { return layout_.Width2; }
  int Height2() const { return layout_.Height2; }
  // The loaded skin as a bottom-up 24-bit DIB (key colours blended, background replaced).
  const BITMAPINFOHEADER& BitmapInfo() const { return info_.bmiHeader; }
  const std::vector<unsigned char>& Bits() const { return bits_; }

private:
  struct Prepared;
  void Adopt(Prepared&& prepared);
  bool IconSource(int index, RECT& source) const;
  void CopyIcon(const RECT& source, TBitmap* target) const;
  void ApplyToImageList(TComponent* list, int tag) const;

  AnsiString folder_;
  TOwnedPtr<TStringList> names_;
  AnsiString loadedName_;
  SkinLayout layout_;
  BITMAPINFO info_{};
  std::vector<unsigned char> bits_;
};

// The program's skin manager, made at start-up on the program folder's "Skins/".
extern std::unique_ptr<SkinManager> Skins;

// Runs once Choose has applied a skin to the forms, before its own callback: the tool
// palette, whose glyphs come from its own table rather than the buttons' Tags, takes them
// here. The program sets it at start-up.
extern std::function<void()> OnSkinChosen;
