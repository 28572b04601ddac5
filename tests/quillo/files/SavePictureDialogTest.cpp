// The save dialog's panel: the depths each file type offers and the one it picks for the
// picture, the options that follow the depth, the parameters it hands to Save As, the check of
// the accepted name against the type, and the recent folders kept in the registry.

#include <string>
#include <vector>

#include "FilesFixture.h"
#include "platform/vcl/Application.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/files/SavePictureDialog.h"

namespace {

// Formats that write depths none of the depth buttons names: only 2 bits; 2 and 3 bits (an
// adaptive palette picks one); 2 bits or 8-bit grey. Made once, after the library's own.
class OddDepthFormat : public GFXFile {
public:
  OddDepthFormat(const char* name, const char* extensions, unsigned long depths, unsigned char grey)
      : GFXFile(name, extensions, depths, grey, false, 0) {}
  int Test(TStream*, GFXFileDesc*) override { return 0; }
  bool Load(Buffer&, TStream*, int, GFXtra32*, GFXFileDesc*) override { return false; }
};

void RegisterOddFormats() {
  GFXFile::Formats();
  static OddDepthFormat twoBits("Two-bit test", "*.TWO", 0x2, 0);
  static OddDepthFormat twoOrThree("Two-or-three-bit test", "*.TOT", 0x6, 0);
  static OddDepthFormat twoOrGrey("Two-bit-or-grey test", "*.TOG", 0x2, 0x80);
}

int WritablePlaceOf(const char* name) {
  int place = 0;
  for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next) {
    if (f->depths != 0) ++place;
    if (f->name == name) return f->depths != 0 ? place : 0;
  }
  return 0;
}

// The depth buttons as letters in the panel's order: 32 bits, 24, 16, 15, 8, 4, grey,
// monochrome, adaptive; '-' for a button that is off.
const char* const kButtonLetters = "TtHhBbGMA";
std::string EnabledButtons(const TSavePlus& plus) {
  std::string s;
  for (int i = 0; i < TSavePlus::kDepthButtons; ++i) s += plus.DepthButton(i)->GetEnabled() ? kButtonLetters[i] : '-';
  return s;
}
char CheckedButton(const TSavePlus& plus) {
  char checked = '-';
  for (int i = 0; i < TSavePlus::kDepthButtons; ++i)
    if (plus.DepthButton(i)->GetChecked()) {
      EXPECT_EQ(checked, '-') << "two depth buttons checked";
      checked = kButtonLetters[i];
    }
  return checked;
}

class SavePictureDialogTest : public FilesFixture {
protected:
  SavePictureDialogTest() {
    RegisterOddFormats();
    picture.Alloc(4, 4);
    plus = TheSaveDialog();
    plus->PictureToSave = &picture;
  }
  ~SavePictureDialogTest() override { picture.Free(); }

  // The picture was loaded at this depth; the user picks the type.
  char PickedFor(const char* format, signed char bits, bool grey = false) {
    picture.SaveParams = GFXSaveParams();
    picture.SaveParams.bits = bits;
    picture.SaveParams.grey = grey;
    plus->SavePicDlgTypeChange(nullptr, WritablePlaceOf(format));
    return CheckedButton(*plus);
  }

  UDBuffer picture;
  TSavePlus* plus = nullptr;
};

// Each file type offers the depths it writes, its interlacing and its quality, and picks the
// nearest offered depth at or above the picture's, else the deepest below.
TEST_F(SavePictureDialogTest, EachTypeOffersItsDepthsAndPicksTheNearest) {
  struct Case {
    const char* format;
    const char* enabled;
    bool interlace;
    bool quality;
    char for32, for24, for8, for1, forGrey;
  };
  const std::vector<Case> cases = {
      {"Dornick Frame", "Tt-------", false, false, 'T', 't', 't', 't', 't'},
      {"PC PaintBrush PCX", "-t--Bb-MA", false, false, 't', 't', 'B', 'M', 'B'},
      {"Amiga IFF", "-t--Bb-MA", false, false, 't', 't', 'B', 'M', 'B'},
      {"Windows Bitmap", "Tt--Bb-MA", false, false, 'T', 't', 'B', 'M', 'B'},
      {"JPEG", "-t----G--", true, true, 't', 't', 't', 't', 'G'},
      {"Portable Network Graphics", "Tt--Bb-MA", true, false, 'T', 't', 'B', 'M', 'B'},
      {"CompuServe GIF", "----Bb-MA", true, false, 'B', 'B', 'B', 'M', 'B'},
      {"TrueVision Targa", "Tt--B----", false, false, 'T', 't', 'B', 'B', 'B'},
      {"WAP Bitmap", "-------M-", false, false, 'M', 'M', 'M', 'M', 'M'},
      // Depths no button names: never a greyed button; grey or adaptive when offered, else
      // none (the type's own depth).
      {"Two-bit test", "---------", false, false, '-', '-', '-', '-', '-'},
      {"Two-or-three-bit test", "--------A", false, false, 'A', 'A', 'A', 'A', 'A'},
      {"Two-bit-or-grey test", "------G--", false, false, 'G', 'G', 'G', 'G', 'G'},
  };
  for (const Case& c : cases) {
    ASSERT_NE(WritablePlaceOf(c.format), 0) << c.format;
    EXPECT_EQ(PickedFor(c.format, 32), c.for32) << c.format;
    EXPECT_EQ(EnabledButtons(*plus), c.enabled) << c.format;
    EXPECT_EQ(plus->MultiPass->GetEnabled(), c.interlace) << c.format;
    EXPECT_EQ(plus->Quality->GetEnabled(), c.quality) << c.format;
    EXPECT_EQ(plus->QualityLab->GetEnabled(), c.quality) << c.format;
    EXPECT_EQ(PickedFor(c.format, 24), c.for24) << c.format;
    EXPECT_EQ(PickedFor(c.format, 8), c.for8) << c.format;
    EXPECT_EQ(PickedFor(c.format, 1), c.for1) << c.format;
    EXPECT_EQ(PickedFor(c.format, 8, true), c.forGrey) << c.format;
  }
}

// Whatever the panel picks, the type can write it: a save with the panel's parameters is
// never refused for its depth.
TEST_F(SavePictureDialogTest, ThePickedDepthIsOneTheTypeWrites) {
  for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next) {
    if (f->depths == 0) continue;
    for (signed char bits : {1, 4, 8, 15, 16, 24, 32}) {
      PickedFor(f->name.c_str(), bits);
      GFXSaveParams params = plus->ChosenParams();
      EXPECT_NO_THROW(f->SetSaveDefaults(&params)) << f->name << " for " << int{bits} << " bits";
    }
  }
}

// The quality starts at the type's default and is shown in digits.
TEST_F(SavePictureDialogTest, TheQualityStartsAtTheTypesDefault) {
  PickedFor("JPEG", 24);
  EXPECT_EQ(plus->Quality->GetPosition(), 75);
  EXPECT_EQ(plus->QualityVal->GetCaption(), "75");
  plus->Quality->SetPosition(42);
  EXPECT_EQ(plus->QualityVal->GetCaption(), "42");
  EXPECT_EQ(plus->ChosenParams().quality, 42);
}

// The quality's number stands clear of its scroll bar at every width it takes, right-aligned
// with the colour limit's arrows above it.
TEST_F(SavePictureDialogTest, TheQualityNumberIsNeverUnderItsScrollBar) {
  PickedFor("JPEG", 24);
  for (int quality : {1, 9, 50, 75, 100}) {
    plus->Quality->SetPosition(quality);
    const TLabel* number = plus->QualityVal;
    EXPECT_GE(number->GetLeft(), plus->Quality->GetLeft() + plus->Quality->GetWidth()) << quality;
    EXPECT_EQ(number->GetLeft() + number->GetWidth(), plus->LimitCols->GetLeft() + plus->LimitCols->GetWidth())
        << quality;
  }
}

// The options follow the depth: a colour limit and dithering for palettes, transparency on
// with 32 bits and off with 24.
TEST_F(SavePictureDialogTest, TheOptionsFollowTheDepth) {
  PickedFor("Portable Network Graphics", 24);
  EXPECT_FALSE(plus->LimitColsCB->GetEnabled());
  EXPECT_FALSE(plus->Transparent->GetEnabled());
  EXPECT_FALSE(plus->Transparent->GetChecked());
  plus->TC32RB->SetChecked(true);
  EXPECT_TRUE(plus->Transparent->GetChecked());
  EXPECT_FALSE(plus->TC24RB->GetChecked());
  plus->TC24RB->SetChecked(true);
  EXPECT_FALSE(plus->Transparent->GetChecked());
  plus->B8RB->SetChecked(true);
  EXPECT_TRUE(plus->LimitColsCB->GetEnabled());
  EXPECT_TRUE(plus->Dither->GetEnabled());
  EXPECT_TRUE(plus->Transparent->GetEnabled());
  EXPECT_FALSE(plus->LimColEd->GetEnabled());
  plus->LimitColsCB->SetChecked(true);
  EXPECT_TRUE(plus->LimColEd->GetEnabled());
  EXPECT_TRUE(plus->LimitCols->GetEnabled());
  // Back to true colour: the limit is greyed and limits nothing.
  plus->TC24RB->SetChecked(true);
  EXPECT_FALSE(plus->LimColEd->GetEnabled());
  EXPECT_EQ(plus->ChosenParams().colours, 0);
}

// What the panel shows is what the save gets.
TEST_F(SavePictureDialogTest, ThePanelBecomesTheSaveParameters) {
  PickedFor("CompuServe GIF", 24);
  plus->ADRB->SetChecked(true);
  plus->LimitColsCB->SetChecked(true);
  plus->LimitCols->SetPosition(20);
  plus->Dither->SetChecked(true);
  plus->Transparent->SetChecked(true);
  plus->MultiPass->SetChecked(true);
  GFXSaveParams p = plus->ChosenParams();
  EXPECT_EQ(p.bits, -1);
  EXPECT_FALSE(p.grey);
  EXPECT_EQ(p.colours, 20);
  EXPECT_TRUE(p.dither);
  EXPECT_TRUE(p.transparent);
  EXPECT_TRUE(p.interlaced);
  EXPECT_EQ(p.format, nullptr);

  PickedFor("JPEG", 24);
  plus->GSRB->SetChecked(true);
  p = plus->ChosenParams();
  EXPECT_EQ(p.bits, 8);
  EXPECT_TRUE(p.grey);
  EXPECT_EQ(p.colours, 0);
}

// The picture's own limit, transparency and interlacing come back with the type.
TEST_F(SavePictureDialogTest, ThePicturesOwnOptionsComeBack) {
  picture.SaveParams = GFXSaveParams();
  picture.SaveParams.bits = 8;
  picture.SaveParams.colours = 16;
  picture.SaveParams.transparent = true;
  picture.SaveParams.interlaced = true;
  plus->SavePicDlgTypeChange(nullptr, WritablePlaceOf("CompuServe GIF"));
  EXPECT_TRUE(plus->LimitColsCB->GetChecked());
  EXPECT_EQ(plus->LimitCols->GetPosition(), 16);
  EXPECT_TRUE(plus->Transparent->GetChecked());
  EXPECT_TRUE(plus->MultiPass->GetChecked());
}

// The name takes the type's first extension; a name of another type brings the dialog back.
TEST_F(SavePictureDialogTest, TheNameFollowsTheTypeAndATypedTypeIsConfirmed) {
  plus->SavePicDlg->SetFileName(PathOf("photo.png"));
  plus->SavePicDlgTypeChange(nullptr, WritablePlaceOf("JPEG"));
  EXPECT_EQ(plus->SavePicDlg->GetFileName(), PathOf("photo.jpg"));
  plus->SavePicDlg->SetFileName(AnsiString());
  plus->SavePicDlgTypeChange(nullptr, WritablePlaceOf("JPEG"));
  EXPECT_EQ(plus->SavePicDlg->GetFileName(), "");

  struct Case {
    const char* typed;
    bool reshow;
  };
  const std::vector<Case> cases = {
      {"photo.jpg", false}, {"photo.JPEG", false}, {"photo.png", true}, {"photo.xyz", true}, {"photo", false}};
  plus->SavePicDlg->SetFilterIndex(WritablePlaceOf("JPEG"));
  for (const Case& c : cases) {
    plus->SavePicDlg->SetFileName(PathOf(c.typed));
    bool accept = false;
    plus->SavePicDlgFileOk(plus->SavePicDlg, accept);
    EXPECT_TRUE(accept) << c.typed;
    EXPECT_EQ(plus->ReshowDialog, c.reshow) << c.typed;
  }
}

TEST_F(SavePictureDialogTest, SetAsDefaultRemembersTheTypesPlaceInTheWholeList) {
  plus->SavePicDlg->SetFilterIndex(WritablePlaceOf("CompuServe GIF"));
  plus->SetAsDefaultClick(nullptr);
  int position = 0;
  for (GFXFile* f = GFXFile::Formats(); f->name != "CompuServe GIF"; f = f->next) ++position;
  EXPECT_EQ(Settings.DefFileExt, position);
  EXPECT_GT(position, WritablePlaceOf("CompuServe GIF") - 1);  // the icon and video types count
}

// At most eight folders, the newest first, none twice, kept as they are spelled, and there
// again when the program starts anew.
TEST_F(SavePictureDialogTest, TheRecentFoldersKeepTheLastEight) {
  for (int i = 0; i < 9; ++i) plus->AddRecentFolder("/pics/Folder" + std::to_string(i) + "/a.png");
  plus->AddRecentFolder("/pics/Folder3/b.png");
  std::vector<std::string> expected = {"/pics/Folder3/", "/pics/Folder8/", "/pics/Folder7/", "/pics/Folder6/",
                                       "/pics/Folder5/", "/pics/Folder4/", "/pics/Folder2/", "/pics/Folder1/"};
  const auto shown = [this] {
    std::vector<std::string> items;
    for (int i = 0; i < plus->RecFolders->GetItems()->Count(); ++i) items.push_back(plus->RecFolders->GetItems()->Get(i));
    return items;
  };
  EXPECT_EQ(shown(), expected);
  ResetApplication();  // the program ends: the folders go to the registry
  plus = TheSaveDialog();
  EXPECT_EQ(shown(), expected);
}

}  // namespace
