// File > Save As and File > Save in the started program, as a user works them: the save
// dialog with the type's depths and options in its panel, the overwrite question, and saves
// that fail without losing anything.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "../../platform/dialogs/FileDialogUser.h"
#include "../shell/ProgramFixture.h"
#include "platform/user/WinConst.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/files/SavePictureDialog.h"
#include "quillo/shell/Settings.h"
#include "platform/rtl/SysUtils.h"
#include "vorlen/formats/ReferenceTools.h"

namespace {

// Eight colours, the corners of the colour cube, in 16 x 16 blocks: every depth and every
// reader keeps them (JPEG all but exactly), so what a reader gets is what was written.
constexpr std::uint32_t kCorners[8] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00,
                                       0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF};
std::uint32_t BlockColour(int x, int y) { return kCorners[(x / 16 + 3 * (y / 16)) % 8]; }
constexpr int kWidth = 64;
constexpr int kHeight = 48;


// The place of a format in the save dialog's type list, from 1.
int TypePlace(const std::string& name) {
  int place = 0;
  for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next) {
    if (f->depths != 0) ++place;
    if (f->name == name) return place;
  }
  return 0;
}

class SaveAsProgramTest : public ProgramTest {
protected:
  SaveAsProgramTest() : savedSettings_(Settings) {}
  ~SaveAsProgramTest() override { Settings = savedSettings_; }
  // Chooses File > Save As (or Save) from the menu bar with the mouse; the actions answer the
  // dialogs that follow, in order.
  void ChooseFileItem(const std::string& item, const std::vector<std::function<void()>>& actions) {
    const MenuPlace bar = FindMenuItem({"&File"});
    const MenuPlace entry = FindMenuItem({"&File", item});
    ASSERT_NE(entry.position, -1) << item;
    RECT r{};
    ASSERT_TRUE(GetMenuItemRect(form->GetHandle(), bar.menu, static_cast<UINT>(bar.position), &r));
    ui.WhenModalWaits([this, entry] {
      RECT at{};
      GetMenuItemRect(form->GetHandle(), entry.menu, static_cast<UINT>(entry.position), &at);
      ui.QueueClick((at.left + at.right) / 2, (at.top + at.bottom) / 2);
    });
    for (const auto& action : actions) ui.WhenModalWaits(action);
    ui.Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  void SaveAs(const std::vector<std::function<void()>>& actions) { ChooseFileItem("Save &As...", actions); }
  // Clicks a control of the save dialog's panel where the user sees it.
  void ClickPanelControl(TWinControl* control) {
    const TPoint at = control->ClientToScreen(TPoint(6, control->GetHeight() / 2));
    ui.Click(at.x, at.y);
  }
  // Sets a check box of the panel as the user does, by a click when it differs.
  void SetPanelCheck(TCheckBox* box, bool checked) {
    if (box->GetChecked() != checked) ClickPanelControl(box);
    EXPECT_EQ(box->GetChecked(), checked) << box->GetName();
  }
  // Types the name and presses Enter. The dialog's loop is woken to see that it has closed,
  // so that a next answer goes to the dialog shown after it.
  void TypeName(const std::string& name) {
    user.TypeName(name);
    PostMessage(nullptr, WM_NULL, 0, 0);
  }

  // The sample picture as a 24-bit PNG in the test's folder.
  std::string WriteBlocks(const std::string& name) const {
    Buffer image;
    image.Alloc(Pair<int>(kWidth, kHeight));
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) *image.At(x, y) = BlockColour(x, y);
    const std::string path = home.Path() + "/" + name;
    GFXSaveParams params;
    params.bits = 24;
    GFXFile::Save(image, path, nullptr, &params);
    image.Free();
    return path;
  }
  std::string OutPath(const std::string& name) const { return home.Path() + "/out/" + name; }

  FileDialogUser user{ui};

private:
  TSettings savedSettings_;
};

// What the user sets in the panel beside the type and the depth.
struct PanelOptions {
  bool dither = false;
  bool transparent = false;
  bool interlaced = false;
  int limit = 0;          // the colour limit, 0: none
  int qualitySteps = 0;   // clicks on the quality bar's track right of the thumb (10 each)
};

// How what was written compares with the picture.
enum class Kept { Exactly, Closely, AsGrey, InTwoColours, InLimitedColours };

struct SaveCase {
  const char* what;
  const char* type;
  TRadioButton* TSavePlus::*depth;
  PanelOptions options;
  int bits;            // the depth the file reports
  Kept kept;
  const char* reader;  // the independent reader: "magick", "ilbmtoppm", or none
  bool transparent = false;
  bool interlaced = false;
};

// The distinct colours of a picture (without transparency).
std::set<std::uint32_t> Colours(const Buffer& b) {
  std::set<std::uint32_t> c;
  for (int y = b.rect.top; y <= b.rect.bottom; ++y)
    for (int x = b.rect.left; x <= b.rect.right; ++x) c.insert(*b.At(x, y) & 0x00FFFFFF);
  return c;
}

// Channel differences between two colours, the largest.
int Distance(std::uint32_t a, std::uint32_t b) {
  int most = 0;
  for (int shift : {0, 8, 16})
    most = std::max(most, std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)));
  return most;
}

// For the screenshot script: the save dialog with the GIF type's options in its panel.
class SavePictureShot : public SaveAsProgramTest {};

TEST_F(SavePictureShot, TheSaveDialogWithTheFormatOptions) {
  const std::string photo = WriteImage("photo.png", 120, 90, 0x3070C0);
  Start({photo});
  bool shown = false;
  SaveAs({[&] {
    user.ChooseType(TypePlace("CompuServe GIF") - 1);
    ClickPanelControl(SavePlus->LimitColsCB);
    shown = IsWindowVisible(SavePlus->B8RB->GetHandle()) != FALSE;
    ui.ShowToViewer();
    user.ClickControl(IDCANCEL);
  }});
  EXPECT_TRUE(shown);
}

}  // namespace

// Save As into every type the program writes, at each depth it offers and with its options,
// chosen in the dialog as a user does; each file is read back by the program's library and,
// where one exists, by an independent reader (ImageMagick, netpbm), which must see the same
// pixels. The dialog's own types, ours alone (the frame format) and the metafiles, have no
// independent reader here.
TEST_F(SaveAsProgramTest, EveryTypeDepthAndOptionReadsBack) {
  Settings.AutoReload = false;  // each save starts from the same picture
  const std::string sample = WriteBlocks("blocks.png");
  std::filesystem::create_directories(home.Path() + "/out");
  Start({sample});
  ASSERT_NE(CurrentPicture, nullptr);
  using P = TSavePlus;
  const PanelOptions none;
  PanelOptions dither;
  dither.dither = true;
  PanelOptions interlaced;
  interlaced.interlaced = true;
  PanelOptions transparent;
  transparent.transparent = true;
  PanelOptions limited;
  limited.limit = 5;
  limited.dither = true;
  PanelOptions quality95;
  quality95.qualitySteps = 2;
  PanelOptions progressive = quality95;
  progressive.interlaced = true;
  const char* magick = "magick";
  const std::vector<SaveCase> cases = {
      {"frame 32", "Dornick Frame", &P::TC32RB, none, 32, Kept::Exactly, nullptr},
      {"frame 24", "Dornick Frame", &P::TC24RB, none, 24, Kept::Exactly, nullptr},
      {"pcx 24", "PC PaintBrush PCX", &P::TC24RB, none, 24, Kept::Exactly, magick},
      {"pcx 8", "PC PaintBrush PCX", &P::B8RB, none, 8, Kept::Exactly, magick},
      {"pcx 4", "PC PaintBrush PCX", &P::B4RB, none, 4, Kept::Exactly, magick},
      // ImageMagick and netpbm colour a one-bit PCX with its header palette; the library
      // shows it black and white, as its writer expects other programs to. They part when
      // the picture's two colours are not black and white, as here.
      {"pcx 1", "PC PaintBrush PCX", &P::MCRB, dither, 1, Kept::InTwoColours, nullptr},
      {"pcx adaptive", "PC PaintBrush PCX", &P::ADRB, none, 4, Kept::Exactly, magick},
      {"iff 24", "Amiga IFF", &P::TC24RB, none, 24, Kept::Exactly, "ilbmtoppm"},
      {"iff 8", "Amiga IFF", &P::B8RB, none, 8, Kept::Exactly, "ilbmtoppm"},
      {"iff 4", "Amiga IFF", &P::B4RB, none, 4, Kept::Exactly, "ilbmtoppm"},
      {"iff 1", "Amiga IFF", &P::MCRB, none, 1, Kept::InTwoColours, "ilbmtoppm"},
      {"iff adaptive", "Amiga IFF", &P::ADRB, none, 3, Kept::Exactly, "ilbmtoppm"},
      {"bmp 32", "Windows Bitmap", &P::TC32RB, none, 32, Kept::Exactly, magick},
      {"bmp 24", "Windows Bitmap", &P::TC24RB, none, 24, Kept::Exactly, magick},
      {"bmp 8", "Windows Bitmap", &P::B8RB, none, 8, Kept::Exactly, magick},
      {"bmp 4", "Windows Bitmap", &P::B4RB, none, 4, Kept::Exactly, magick},
      {"bmp 1", "Windows Bitmap", &P::MCRB, none, 1, Kept::InTwoColours, magick},
      {"bmp 8 limited", "Windows Bitmap", &P::B8RB, limited, 8, Kept::InLimitedColours, magick},
      {"bmp adaptive", "Windows Bitmap", &P::ADRB, none, 4, Kept::Exactly, magick},
      {"jpeg 24", "JPEG", &P::TC24RB, none, 24, Kept::Closely, magick},
      {"jpeg 24 quality 95 progressive", "JPEG", &P::TC24RB, progressive, 24, Kept::Closely, magick, false, true},
      {"jpeg grey", "JPEG", &P::GSRB, quality95, 8, Kept::AsGrey, magick},
      {"png 32", "Portable Network Graphics", &P::TC32RB, none, 32, Kept::Exactly, magick},
      {"png 24 interlaced", "Portable Network Graphics", &P::TC24RB, interlaced, 24, Kept::Exactly, magick, false, true},
      {"png 8", "Portable Network Graphics", &P::B8RB, none, 8, Kept::Exactly, magick},
      {"png 8 transparent", "Portable Network Graphics", &P::B8RB, transparent, 8, Kept::Exactly, magick, true},
      {"png 4", "Portable Network Graphics", &P::B4RB, none, 4, Kept::Exactly, magick},
      {"png 1", "Portable Network Graphics", &P::MCRB, none, 1, Kept::InTwoColours, magick},
      {"png adaptive", "Portable Network Graphics", &P::ADRB, none, 4, Kept::Exactly, magick},
      {"wmf 24", "Windows Metafile", &P::TC24RB, none, 0, Kept::Exactly, nullptr},
      {"emf 24", "Enhanced Metafile", &P::TC24RB, none, 0, Kept::Exactly, nullptr},
      {"gif 8", "CompuServe GIF", &P::B8RB, none, 8, Kept::Exactly, magick},
      {"gif 8 interlaced", "CompuServe GIF", &P::B8RB, interlaced, 8, Kept::Exactly, magick, false, true},
      {"gif 8 transparent", "CompuServe GIF", &P::B8RB, transparent, 8, Kept::Exactly, magick, true},
      {"gif 8 limited", "CompuServe GIF", &P::B8RB, limited, 8, Kept::InLimitedColours, magick},
      {"gif 4", "CompuServe GIF", &P::B4RB, none, 4, Kept::Exactly, magick},
      {"gif 1", "CompuServe GIF", &P::MCRB, none, 1, Kept::InTwoColours, magick},
      {"gif adaptive", "CompuServe GIF", &P::ADRB, none, 3, Kept::Exactly, magick},
      {"tga 32", "TrueVision Targa", &P::TC32RB, none, 32, Kept::Exactly, magick},
      {"tga 24", "TrueVision Targa", &P::TC24RB, none, 24, Kept::Exactly, magick},
      {"tga 8", "TrueVision Targa", &P::B8RB, none, 8, Kept::Exactly, magick},
      {"wbmp 1", "WAP Bitmap", &P::MCRB, none, 1, Kept::InTwoColours, magick},
  };
  // Every type the dialog offers is in the table, and each of its depths.
  std::set<std::string> covered;
  for (const SaveCase& c : cases) covered.insert(c.type);
  for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next)
    if (f->depths != 0 && f->name.find(" test") == AnsiString::npos) {
      EXPECT_TRUE(covered.count(f->name)) << f->name;
    }

  int n = 0;
  for (const SaveCase& c : cases) {
    const std::string name = "case" + std::to_string(++n) + "." + LowerCase(TSavePlus::FirstExtensionOf(
                                                                     TSavePlus::WritableFormatAt(TypePlace(c.type))));
    const std::string path = OutPath(name);
    SaveAs({[&] {
      user.ChooseType(TypePlace(c.type) - 1);
      TRadioButton* depth = SavePlus->*c.depth;
      ASSERT_TRUE(depth->GetEnabled()) << c.what;
      ClickPanelControl(depth);
      EXPECT_TRUE(depth->GetChecked()) << c.what;
      SetPanelCheck(SavePlus->Dither, c.options.dither);
      // True colour decides transparency itself (32 bits keep it, 24 do not).
      if (SavePlus->Transparent->GetEnabled()) SetPanelCheck(SavePlus->Transparent, c.options.transparent);
      if (SavePlus->MultiPass->GetEnabled()) SetPanelCheck(SavePlus->MultiPass, c.options.interlaced);
      // The limit of the picture's last save comes back with the type; this case sets its own.
      if (SavePlus->LimitColsCB->GetEnabled()) SetPanelCheck(SavePlus->LimitColsCB, c.options.limit != 0);
      if (c.options.limit != 0) {
        ClickPanelControl(SavePlus->LimColEd);
        SendMessage(SavePlus->LimColEd->GetHandle(), EM_SETSEL, 0, -1);
        ui.Type(std::to_string(c.options.limit));
      }
      for (int i = 0; i < c.options.qualitySteps; ++i) {
        const TPoint track = SavePlus->Quality->ClientToScreen(
            TPoint(SavePlus->Quality->GetWidth() - 20, SavePlus->Quality->GetHeight() / 2));
        ui.Click(track.x, track.y);
      }
      TypeName(path);
    }});
    ASSERT_TRUE(std::filesystem::exists(path)) << c.what;
    EXPECT_EQ(CurrentPicture->FileName, path) << c.what;
    EXPECT_EQ(CurrentPicture->ChangeCount, 0) << c.what;

    GFXFileDesc desc;
    ASSERT_TRUE(GFXFile::Test(path, &desc)) << c.what;
    if (c.bits != 0) {
      EXPECT_EQ(desc.bits, c.bits) << c.what;
    }
    UDBuffer back;
    ASSERT_EQ(LoadImageFile(&back, path, 0, true), LoadOk) << c.what;
    // What the load learnt of the file, which a later Save keeps.
    EXPECT_EQ(back.SaveParams.transparent, c.transparent) << c.what;
    EXPECT_EQ(back.SaveParams.interlaced, c.interlaced) << c.what;
    ASSERT_EQ(back.Width(), kWidth) << c.what;
    ASSERT_EQ(back.Height(), kHeight) << c.what;

    int worst = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) worst = std::max(worst, Distance(*back.At(x, y), BlockColour(x, y)));
    const std::set<std::uint32_t> colours = Colours(back);
    switch (c.kept) {
      case Kept::Exactly: EXPECT_EQ(worst, 0) << c.what; break;
      case Kept::Closely: EXPECT_LE(worst, 12) << c.what; break;
      case Kept::AsGrey:
        for (std::uint32_t colour : colours)
          EXPECT_TRUE((colour & 0xFF) == (colour >> 8 & 0xFF) && (colour & 0xFF) == (colour >> 16 & 0xFF))
              << c.what << std::hex << " " << colour;
        EXPECT_GE(colours.size(), 4u) << c.what;
        break;
      case Kept::InTwoColours: EXPECT_LE(colours.size(), 2u) << c.what; break;
      case Kept::InLimitedColours: EXPECT_LE(static_cast<int>(colours.size()), c.options.limit) << c.what; break;
    }
    if (c.reader == nullptr) continue;
    const std::string reader = c.reader == std::string(magick) ? "convert" : c.reader;
    if (reference::Find(reader.c_str()).empty()) {
      ADD_FAILURE() << reader << " is not installed (scripts/deps.sh test)";
      continue;
    }
    const reference::Image other =
        reader == "convert" ? reference::MagickRead(path) : reference::NetpbmRead(c.reader, path);
    // Two JPEG decoders may round a step apart.
    EXPECT_EQ(reference::Compare(other, back, c.type == std::string("JPEG") ? 3 : 0), "") << c.what;
  }
}
