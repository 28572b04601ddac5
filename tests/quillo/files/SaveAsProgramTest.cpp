// File > Save As and File > Save in the started program, as a user works them: the save
// dialog with the type's depths and options in its panel, the overwrite question, and saves
// that fail without losing anything.

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "support/FileDialogUser.h"
#include "../shell/ProgramFixture.h"
#include "platform/user/WinConst.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/files/SavePictureDialog.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "support/TempHome.h"
#include "platform/rtl/SysUtils.h"
#include "vorlen/formats/ReferenceTools.h"
#include "support/FileSizeLimit.h"

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
  // The document window becomes the active one, as a click on it makes it.
  void ActivateDocument(TImageForm* window) {
    SetActiveWindow(window->GetHandle());
    ui.RunUntilIdle();
    ASSERT_EQ(ImageForm, window);
  }
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

// For the screenshot script: the JPEG type's quality, its number beside the scroll bar.
TEST_F(SavePictureShot, TheSaveDialogWithTheJpegQuality) {
  const std::string photo = WriteImage("photo.png", 120, 90, 0x3070C0);
  Start({photo});
  bool clear = false;
  SaveAs({[&] {
    user.ChooseType(TypePlace("JPEG") - 1);
    clear = SavePlus->QualityVal->GetLeft() >= SavePlus->Quality->GetLeft() + SavePlus->Quality->GetWidth();
    ui.ShowToViewer();
    user.ClickControl(IDCANCEL);
  }});
  EXPECT_TRUE(clear);
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

// Writes the sample picture at a depth (bits, or grey) in the test's folder.
std::string WriteSampleAt(const std::string& folder, const std::string& name, signed char bits, bool grey) {
  Buffer image;
  image.Alloc(Pair<int>(kWidth, kHeight));
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) *image.At(x, y) = BlockColour(x, y);
  const std::string path = folder + "/" + name;
  GFXSaveParams params;
  params.bits = bits;
  params.grey = grey;
  GFXFile::Save(image, path, nullptr, &params);
  image.Free();
  return path;
}

// The user changes the picture: one block takes another colour.
void ChangeTheFirstBlock(std::uint32_t colour) {
  for (int y = 0; y < std::min(16, CurrentPicture->Height()); ++y)
    for (int x = 0; x < std::min(16, CurrentPicture->Width()); ++x) *CurrentPicture->At(x, y) = colour;
  MarkPictureChanged();
}

// File > Save writes the picture back in its file's type and at its file's depth, asking
// nothing; the change is in the file, as both readers see it.
// The JPEG quality is set with its scroll bar as a user sets it: the bar is there, under the
// pointer, and its arrows step the number beside it by one.
TEST_F(SaveAsProgramTest, TheJpegQualityScrollBarChangesTheNumber) {
  const std::string photo = WriteImage("photo.png", 120, 90, 0x3070C0);
  Start({photo});
  std::vector<std::string> numbers;
  HWND underRight = nullptr, underLeft = nullptr, bar = nullptr;
  SaveAs({[&] {
    user.ChooseType(TypePlace("JPEG") - 1);
    TScrollBar* quality = SavePlus->Quality;
    bar = quality->GetHandle();
    const int middle = quality->GetHeight() / 2;
    const TPoint right = quality->ClientToScreen(TPoint(quality->GetWidth() - 4, middle));
    const TPoint left = quality->ClientToScreen(TPoint(3, middle));
    underRight = WindowFromPoint(POINT{right.x, right.y});
    underLeft = WindowFromPoint(POINT{left.x, left.y});
    numbers.push_back(SavePlus->QualityVal->GetCaption().c_str());
    ui.Click(right.x, right.y);
    numbers.push_back(SavePlus->QualityVal->GetCaption().c_str());
    ui.Click(left.x, left.y);
    ui.Click(left.x, left.y);
    numbers.push_back(SavePlus->QualityVal->GetCaption().c_str());
    user.ClickControl(IDCANCEL);
  }});
  EXPECT_EQ(underRight, bar);
  EXPECT_EQ(underLeft, bar);
  // The quality starts where an earlier save of the run left it.
  ASSERT_EQ(numbers.size(), 3u);
  const int start = std::stoi(numbers[0]);
  EXPECT_EQ(numbers, (std::vector<std::string>{std::to_string(start), std::to_string(start + 1),
                                               std::to_string(start - 1)}));
}

TEST_F(SaveAsProgramTest, SaveKeepsTheFilesTypeAndDepth) {
  struct Case {
    const char* name;
    signed char bits;
    bool grey;
  };
  const std::vector<Case> cases = {{"four.bmp", 4, false},  {"palette.gif", 8, false}, {"mono.png", 1, false},
                                   {"grey.jpg", 8, true},   {"alpha.tga", 32, false},  {"index.pcx", 8, false},
                                   {"deep.png", 24, false}, {"planes.iff", 4, false}};
  std::vector<std::string> paths;
  for (const Case& c : cases) paths.push_back(WriteSampleAt(home.Path(), c.name, c.bits, c.grey));
  Start(paths);
  ASSERT_EQ(ImgFormCount, static_cast<int>(cases.size()));
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    GFXFileDesc before;
    ASSERT_TRUE(GFXFile::Test(paths[i], &before)) << c.name;
    ActivateDocument(ImgForms[i]);
    ASSERT_EQ(CurrentPicture->FileName, paths[i]) << c.name;
    // Black becomes white where the depth keeps both (a one-bit palette holds the two).
    ChangeTheFirstBlock(0xFFFFFF);
    ChooseFileItem("&Save", {});  // a dialog would wait for an answer that never comes
    EXPECT_EQ(CurrentPicture->ChangeCount, 0) << c.name;
    GFXFileDesc after;
    ASSERT_TRUE(GFXFile::Test(paths[i], &after)) << c.name;
    EXPECT_EQ(after.format, before.format) << c.name;
    EXPECT_EQ(after.bits, before.bits) << c.name;
    EXPECT_EQ(after.colour, before.colour) << c.name;
    UDBuffer back;
    ASSERT_EQ(LoadImageFile(&back, paths[i], 0, true), LoadOk) << c.name;
    EXPECT_GE(*back.At(5, 5) & 0xFF, 0xF0u) << c.name << ": the changed block";
    const std::string reader = c.name == std::string("planes.iff") ? "ilbmtoppm" : "convert";
    if (reference::Find(reader.c_str()).empty()) continue;
    const reference::Image other =
        reader == "convert" ? reference::MagickRead(paths[i]) : reference::NetpbmRead("ilbmtoppm", paths[i]);
    EXPECT_EQ(reference::Compare(other, back, c.grey ? 3 : 0), "") << c.name;
  }
}

// The overwrite question: No keeps the dialog open and the file as it was; Yes replaces it.
TEST_F(SaveAsProgramTest, TheOverwriteQuestionKeepsTheFileUnlessTheUserSaysYes) {
  const std::string taken = home.WriteFile("taken.png", "the user's file");
  Start({WriteSampleAt(home.Path(), "sample.png", 24, false)});
  ui.AnswerMessageBoxes({IDNO});
  bool stillOpen = false;
  std::string contents;
  SaveAs({[&] { user.TypeName(taken); },
          [&] {
            stillOpen = FileDialogUser::Dialog() != nullptr && IsWindowVisible(FileDialogUser::Dialog());
            contents = FileContents(taken);
            user.ClickControl(IDCANCEL);
          }});
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_NE(ui.MessageBoxTexts()[0].find("already exists"), std::string::npos) << ui.MessageBoxTexts()[0];
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(contents, "the user's file");
  EXPECT_EQ(FileContents(taken), "the user's file");
  EXPECT_EQ(CurrentPicture->FileName, home.Path() + "/sample.png");

  ui.AnswerMessageBoxes({IDYES});
  SaveAs({[&] { TypeName(taken); }});
  EXPECT_EQ(CurrentPicture->FileName, taken);
  UDBuffer back;
  ASSERT_EQ(LoadImageFile(&back, taken, 0, true), LoadOk);
  EXPECT_EQ(*back.At(20, 0), BlockColour(20, 0));
}

// Nothing is lost when a save fails: the file keeps its bytes, the folder gets no stray file,
// the picture keeps its pixels, name and changes, and the message says why.
TEST_F(SaveAsProgramTest, AFailedSaveLosesNothingAndSaysWhy) {
  std::filesystem::create_directories(home.Path() + "/pics");
  const std::string photo = WriteSampleAt(home.Path() + "/pics", "photo.bmp", 24, false);
  const std::string wide = home.Path() + "/pics/wide.png";
  {
    Buffer image;
    image.Alloc(Pair<int>(5000, 2));
    image.Box(image.rect, 0x336699);
    GFXFile::Save(image, wide, nullptr, nullptr);
    image.Free();
  }
  const std::string bytes = FileContents(photo);
  Start({photo, wide});
  ASSERT_EQ(ImgFormCount, 2);
  const auto folderNames = [this] {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(home.Path() + "/pics")) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  };
  const std::vector<std::string> before = folderNames();

  // The disk is full: Save cannot write the new file.
  ActivateDocument(ImgForms[0]);
  ChangeTheFirstBlock(0x808080);
  {
    FileSizeLimit full(1024);
    ChooseFileItem("&Save", {});
  }
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts()[0].rfind(LangMessage("ErrSaveImg").c_str(), 0), 0u) << ui.MessageBoxTexts()[0];
  EXPECT_NE(ui.MessageBoxTexts()[0].find("large"), std::string::npos) << ui.MessageBoxTexts()[0];
  EXPECT_EQ(FileContents(photo), bytes);
  EXPECT_EQ(folderNames(), before);
  EXPECT_EQ(CurrentPicture->FileName, photo);
  EXPECT_NE(CurrentPicture->ChangeCount, 0);
  EXPECT_EQ(*CurrentPicture->At(3, 3), 0x808080u);

  // The folder has gone, a file stands in its place: Save cannot make the new file there.
  std::filesystem::rename(home.Path() + "/pics", home.Path() + "/pics.moved");
  home.WriteFile("pics", "not a folder");
  ChooseFileItem("&Save", {});
  ASSERT_EQ(ui.MessageBoxTexts().size(), 2u);
  EXPECT_EQ(ui.MessageBoxTexts()[1].rfind(LangMessage("ErrSaveImg").c_str(), 0), 0u) << ui.MessageBoxTexts()[1];
  EXPECT_NE(ui.MessageBoxTexts()[1].find("Not a directory"), std::string::npos) << ui.MessageBoxTexts()[1];
  EXPECT_EQ(FileContents(home.Path() + "/pics"), "not a folder");
  EXPECT_EQ(FileContents(home.Path() + "/pics.moved/photo.bmp"), bytes);
  EXPECT_EQ(CurrentPicture->FileName, photo);
  EXPECT_NE(CurrentPicture->ChangeCount, 0);
  std::filesystem::remove(home.Path() + "/pics");
  std::filesystem::rename(home.Path() + "/pics.moved", home.Path() + "/pics");

  // The type cannot hold the picture: a wireless bitmap is at most 4096 pixels wide.
  ActivateDocument(ImgForms[1]);
  ChangeTheFirstBlock(0x000000);
  const GFXSaveParams paramsBefore = CurrentPicture->SaveParams;
  SaveAs({[&] {
    user.ChooseType(TypePlace("WAP Bitmap") - 1);
    TypeName(home.Path() + "/pics/wide.wbmp");
  }});
  ASSERT_EQ(ui.MessageBoxTexts().size(), 3u);
  EXPECT_EQ(ui.MessageBoxTexts()[2], LangMessage("ErrSaveImgForm").c_str());
  EXPECT_FALSE(std::filesystem::exists(home.Path() + "/pics/wide.wbmp"));
  EXPECT_EQ(folderNames(), before);
  EXPECT_EQ(CurrentPicture->FileName, wide);
  EXPECT_NE(CurrentPicture->ChangeCount, 0);
  EXPECT_EQ(CurrentPicture->SaveParams.bits, paramsBefore.bits);
  EXPECT_EQ(CurrentPicture->SaveAsRequired, 0);
  EXPECT_EQ(*CurrentPicture->At(0, 0), 0x000000u);
  EXPECT_EQ(*CurrentPicture->At(4999, 1), 0x336699u);
}

// The folders saved to are offered in the panel, the last first; choosing one takes the
// dialog there, and the name typed then is saved in it.
TEST_F(SaveAsProgramTest, ARecentFolderTakesTheDialogThere) {
  std::filesystem::create_directories(home.Path() + "/a");
  std::filesystem::create_directories(home.Path() + "/b");
  // The remembered image folder is one of the two, so the list holds those two only.
  Settings.ImageDir = home.Path() + "/b/";
  Start({WriteSampleAt(home.Path(), "sample.png", 24, false)});
  SaveAs({[&] { TypeName(home.Path() + "/a/first.png"); }});
  SaveAs({[&] { TypeName(home.Path() + "/b/second.png"); }});
  ASSERT_EQ(CurrentPicture->FileName, home.Path() + "/b/second.png");
  TStrings* folders = SavePlus->RecFolders->GetItems();
  ASSERT_GE(folders->Count(), 2);
  EXPECT_EQ(folders->Get(0), home.Path() + "/b/");
  EXPECT_EQ(folders->Get(1), home.Path() + "/a/");

  std::string folderShown;
  SaveAs({[&] {
    EXPECT_EQ(user.Folder(), home.Path() + "/b");
    ClickPanelControl(SavePlus->RecFolders);
    ui.Press(VK_DOWN);
    ui.Press(VK_RETURN);
    folderShown = user.Folder();
    TypeName("third.png");
  }});
  EXPECT_EQ(folderShown, home.Path() + "/a");
  EXPECT_TRUE(std::filesystem::exists(home.Path() + "/a/third.png"));
  EXPECT_EQ(CurrentPicture->FileName, home.Path() + "/a/third.png");
}

// "Set as default" remembers the type chosen in the dialog, counted over every type the
// library knows; the next untitled picture's Save As starts with it.
TEST_F(SaveAsProgramTest, SetAsDefaultMakesTheChosenTypeTheStartingOne) {
  Start({WriteSampleAt(home.Path(), "sample.png", 24, false)});
  SaveAs({[&] {
    user.ChooseType(TypePlace("TrueVision Targa") - 1);
    ClickPanelControl(SavePlus->SetAsDefault);
    user.ClickControl(IDCANCEL);
  }});
  int position = 0;
  for (GFXFile* f = GFXFile::Formats(); f->name != "TrueVision Targa"; f = f->next) ++position;
  EXPECT_EQ(Settings.DefFileExt, position);

  CurrentPicture->FileName = AnsiString();
  CurrentPicture->SaveAsRequired = 1;
  SaveAs({[&] { user.ClickControl(IDCANCEL); }});
  EXPECT_EQ(SavePlus->SavePicDlg->GetFilterIndex(), TypePlace("TrueVision Targa"));
  EXPECT_TRUE(SavePlus->TC24RB->GetChecked());
}
