// The save optimiser's slots and probes: the settings a first and a later opening show, what a
// probe writes and shows, Stop, Accept and Cancel, and that nothing is left behind or written
// anywhere but the window's own folder.

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "SaveOptimTestSupport.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ScrollBar.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/files/ImageFiles.h"
#include "support/FileSizeLimit.h"
#include "tools/lngmaker/LanguageEncoder.h"

namespace {

class SaveOptimFormTest : public SaveOptimFixture {};

std::vector<unsigned char> BytesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

TEST_F(SaveOptimFormTest, TheFirstOpeningOffersFourJpegSlotsAndALaterOneWhatWasStored) {
  {
    auto f = Open();
    for (int k = 0; k < 4; ++k) {
      ClickTab(*f, k);
      EXPECT_EQ(f->CurrentSlot, k);
      EXPECT_EQ(f->Type->GetText(), "JPEG") << k;
      EXPECT_EQ(f->CDepth->GetText(), LangMessage("SOTC24")) << k;
      EXPECT_TRUE(f->InterlCB->GetChecked()) << k;
      EXPECT_FALSE(f->LimitCB->GetChecked()) << k;
      EXPECT_EQ(f->LimitED->GetAsInteger(), 234) << k;
      EXPECT_EQ(f->QScbar->GetPosition(), 75 - 10 * k) << k;
      EXPECT_EQ(f->QValue->GetCaption(), std::to_string(75 - 10 * k)) << k;
      EXPECT_EQ(f->PrevBtn->GetCaption(), LangMessage("SOPreview")) << k;
    }
    f->QScbar->SetPosition(30);
    ClickTab(*f, 0);  // stores slot 4
  }
  auto f = Open();
  ClickTab(*f, 3);
  EXPECT_EQ(f->QScbar->GetPosition(), 30);
}

TEST_F(SaveOptimFormTest, EveryOpeningStartsBlackAndIdle) {
  {
    auto f = Open();
    Click(f->PrevBtn);
    ASSERT_EQ(f->SlotState[0], TSaveOptimForm::kProbed);
  }
  auto f = Open();
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(f->SlotState[k], TSaveOptimForm::kIdle) << k;
    ASSERT_NE(f->SlotPicture[k].pixels, nullptr);
    for (int y = 0; y < picture.Height(); y += 7)
      for (int x = 0; x < picture.Width(); x += 7) ASSERT_EQ(*f->SlotPicture[k].At(x, y), 0u) << k;
  }
  EXPECT_EQ(f->PrevBtn->GetCaption(), LangMessage("SOPreview"));
}

// A JPEG probe is read back: the slot shows what loading the probe file gives, and the size is
// the file's.
TEST_F(SaveOptimFormTest, AJpegProbeShowsTheFileReadBack) {
  auto f = Open();
  Click(f->PrevBtn);
  ASSERT_EQ(f->SlotState[0], TSaveOptimForm::kProbed);
  const std::string probe = f->ProbeFile[0];
  ASSERT_TRUE(std::filesystem::exists(probe));
  EXPECT_EQ(f->SlotSize[0], static_cast<int>(std::filesystem::file_size(probe)));
  EXPECT_EQ(f->SizeValue->GetCaption(), LangMessage("SOSize") + ": " + std::to_string(f->SlotSize[0]));
  EXPECT_EQ(f->PrevBtn->GetCaption(), LangMessage("SOAccept"));
  UDBuffer loaded;
  ASSERT_EQ(LoadImageFile(&loaded, probe, 0, true), LoadOk);
  EXPECT_TRUE(SamePixels(loaded, f->SlotPicture[0]));
  EXPECT_FALSE(SamePixels(picture, f->SlotPicture[0])) << "a lossy file shows its losses";
  // libjpeg reads the probe as a progressive file of the picture's size.
  const reference::Decoded decoded = reference::Decode(BytesOf(probe));
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(decoded.image.width, picture.Width());
  EXPECT_EQ(decoded.image.height, picture.Height());
}

TEST_F(SaveOptimFormTest, ATrueColourPngProbeIsTheImageAndReportsTheWrittenSize) {
  auto f = Open();
  ChooseType(*f, "Portable Network Graphics");
  ChooseDepth(*f, "SOTC24");
  EXPECT_FALSE(f->QScbar->GetEnabled());
  Click(f->PrevBtn);
  ASSERT_EQ(f->SlotState[0], TSaveOptimForm::kProbed);
  const std::string probe = f->ProbeFile[0];
  EXPECT_EQ(std::filesystem::path(probe).filename(), "$$$QL$$$0.PNG");
  EXPECT_EQ(f->SlotSize[0], static_cast<int>(std::filesystem::file_size(probe)));
  EXPECT_TRUE(SamePixels(picture, f->SlotPicture[0]));
  const libpng::Result read = libpng::Read(BytesOf(probe));
  ASSERT_EQ(read.width, picture.Width());
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x)
      ASSERT_EQ(read.rgba[static_cast<size_t>(y) * read.width + x] & 0xFFFFFF, *picture.At(x, y) & 0xFFFFFF);
}

// A trial save is not the user's: the type's defaults, which the save dialog offers next,
// stay as they were.
TEST_F(SaveOptimFormTest, AProbeLeavesTheTypesDefaultSettingsAlone) {
  GFXFile* jpeg = nullptr;
  for (GFXFile* format = GFXFile::Formats(); format != nullptr; format = format->next)
    if (format->name == "JPEG") jpeg = format;
  ASSERT_NE(jpeg, nullptr);
  const int quality = jpeg->defaults.quality;
  const bool interlaced = jpeg->defaults.interlaced;
  auto f = Open();
  ClickTab(*f, 3);
  ASSERT_NE(f->QScbar->GetPosition(), quality);
  Click(f->PrevBtn);
  ASSERT_EQ(f->SlotState[3], TSaveOptimForm::kProbed);
  EXPECT_EQ(jpeg->defaults.quality, quality);
  EXPECT_EQ(jpeg->defaults.interlaced, interlaced);
}

// A language may word two depths alike: each entry keeps its own code all the same.
TEST_F(SaveOptimFormTest, DepthsWordedAlikeKeepTheirOwnCodes) {
  std::string text = FileContents(QUILLO_SOURCE_DIR "/data/languages/English.txt");
  const std::string sixteen = "SO16=16 Colors";
  ASSERT_NE(text.find(sixteen), std::string::npos);
  text.replace(text.find(sixteen), sixteen.size(), "SO16=256 Colors");
  const std::vector<std::uint8_t> bytes = EncodeLanguageText(text);
  const std::string path = home.WriteFile("Alike.lng", std::string(bytes.begin(), bytes.end()));
  ASSERT_EQ(Lang->LoadFile(path), Language::LoadResult::Ok);
  auto f = Open();
  ChooseType(*f, "CompuServe GIF");
  ASSERT_EQ(f->CDepth->GetItems()->Get(0), f->CDepth->GetItems()->Get(1));
  f->CDepth->SetItemIndex(1);
  f->SetDitherAndLimitCols(f->CDepth);
  EXPECT_EQ(f->ChosenDepthCode(), 4);
  Click(f->PrevBtn);
  ASSERT_EQ(f->SlotState[0], TSaveOptimForm::kProbed);
  UDBuffer back;
  ASSERT_EQ(LoadImageFile(&back, f->ProbeFile[0], 0, true), LoadOk);
  EXPECT_EQ(back.SaveParams.bits, 4) << "the 16-colour entry writes 4 bits";
  EXPECT_EQ(f->DepthIndex(4), 1);
  EXPECT_EQ(f->DepthIndex(8), 0);
}

TEST_F(SaveOptimFormTest, AnyChangeTurnsAcceptBackToPreviewAndTheSizeStaysUntilTheTabChanges) {
  const std::vector<std::pair<const char*, std::function<void(TSaveOptimForm&)>>> changes = {
      {"type", [](TSaveOptimForm& f) { ChooseType(f, "CompuServe GIF"); }},
      {"depth", [](TSaveOptimForm& f) { ChooseDepth(f, "SOGS"); }},
      {"dither", [](TSaveOptimForm& f) { f.DitherCB->SetChecked(true); }},
      {"colour limit", [](TSaveOptimForm& f) { f.LimitED->SetAsInteger(100); }},
      {"interlaced", [](TSaveOptimForm& f) { f.InterlCB->SetChecked(false); }},
      {"quality", [](TSaveOptimForm& f) { f.QScbar->SetPosition(12); }},
  };
  for (const auto& [what, change] : changes) {
    OptimSlots.fill(OptimSlot{});
    auto f = Open();
    Click(f->PrevBtn);
    ASSERT_EQ(f->SlotState[0], TSaveOptimForm::kProbed) << what;
    const AnsiString size = f->SizeValue->GetCaption();
    change(*f);
    EXPECT_EQ(f->SlotState[0], TSaveOptimForm::kIdle) << what;
    EXPECT_EQ(f->PrevBtn->GetCaption(), LangMessage("SOPreview")) << what;
    EXPECT_EQ(f->SizeValue->GetCaption(), size) << what;
    ClickTab(*f, 1);
    ClickTab(*f, 0);
    EXPECT_EQ(f->SizeValue->GetCaption(), "") << what;
  }
}

// Stop during the probe of a large image: the save ends at its next progress step, the slot is
// idle again and no probe file is left.
TEST_F(SaveOptimFormTest, StopDuringAProbeReturnsTheSlotToIdleAndLeavesNoFile) {
  MakePicture(1600, 1200);
  auto f = Open();
  QueueClick(f->PrevBtn);  // Preview
  QueueClick(f->PrevBtn);  // Stop, taken while the probe runs
  ui.RunUntilIdle();
  EXPECT_EQ(f->SlotState[0], TSaveOptimForm::kIdle);
  EXPECT_EQ(f->GetModalResult(), mrNone) << "the second click was not an Accept";
  EXPECT_FALSE(f->Probing());
  EXPECT_EQ(f->PrevBtn->GetCaption(), LangMessage("SOPreview"));
  EXPECT_TRUE(NamesIn(f->ProbeFolderPath()).empty());
  EXPECT_FALSE(f->ProgressBar->GetVisible());
  EXPECT_TRUE(f->Type->GetEnabled()) << "the controls come back";
}

// While a probe runs the other slots can be looked at but nothing started or changed; the
// button stays Stop on every tab.
TEST_F(SaveOptimFormTest, WhileAProbeRunsOnlyStopAndTheTabsAreLive) {
  MakePicture(1600, 1200);
  auto f = Open();
  QueueClick(f->PrevBtn);  // probes slot 1
  const POINT second = TabCentre(*f, 1);
  ui.QueueClick(second.x, second.y);  // looks at slot 2 meanwhile
  QueueClick(f->PrevBtn);             // the button there is Stop, not a second probe
  ui.RunUntilIdle();
  EXPECT_EQ(f->CurrentSlot, 1);
  EXPECT_EQ(f->SlotState[0], TSaveOptimForm::kIdle);
  EXPECT_EQ(f->SlotState[1], TSaveOptimForm::kIdle);
  EXPECT_TRUE(f->ProbeFile[1].empty()) << "slot 2 was never probed";
  EXPECT_TRUE(NamesIn(f->ProbeFolderPath()).empty());
  EXPECT_EQ(f->PrevBtn->GetCaption(), LangMessage("SOPreview"));
  // Slot 2's own settings are shown, and its controls are live again.
  EXPECT_EQ(f->QScbar->GetPosition(), 65);
  EXPECT_TRUE(f->QScbar->GetEnabled());
  EXPECT_TRUE(f->Type->GetEnabled());
  EXPECT_TRUE(f->ExpandBtn->GetEnabled());
  EXPECT_FALSE(f->LimitED->GetEnabled()) << "true colour takes no limit";
}

TEST_F(SaveOptimFormTest, AClosingRequestStopsTheProbeAndClosesOnceItReturned) {
  MakePicture(1600, 1200);
  TOwnedPtr<TSaveOptimForm> f(NewComponent<TSaveOptimForm>(Application(), &picture));
  std::string folder;
  ui.WhenModalWaits([&] {
    folder = f->ProbeFolderPath();
    QueueClick(f->PrevBtn);
    ui.QueuePress(VK_ESCAPE);
  });
  EXPECT_EQ(f->ShowModal(), mrCancel);
  EXPECT_EQ(f->SlotState[0], TSaveOptimForm::kIdle);
  EXPECT_TRUE(NamesIn(folder).empty());
}

TEST_F(SaveOptimFormTest, AcceptingASlotHandsBackItsTypeAndDepthCode) {
  const struct {
    const char* type;
    const char* depth;
    int code;
  } cases[] = {{"CompuServe GIF", "SO256", 8},
               {"Portable Network Graphics", "SOAD", kDepthAdaptive},
               {"JPEG", "SOGS", kDepthGrey},
               {"Portable Network Graphics", "SOTC32", 32}};
  for (const auto& c : cases) {
    TOwnedPtr<TSaveOptimForm> f(NewComponent<TSaveOptimForm>(Application(), &picture));
    ui.WhenModalWaits([&] {
      f->TabControl->SetTabIndex(2);
      f->PageChange(f->TabControl);
      ChooseType(*f, c.type);
      ChooseDepth(*f, c.depth);
      f->LimitCB->SetChecked(true);
      f->LimitED->SetAsInteger(40);
      QueueClick(f->PrevBtn);
    });
    ui.WhenModalWaits([&] {
      EXPECT_EQ(f->SlotState[2], TSaveOptimForm::kProbed) << c.type;
      QueueClick(f->PrevBtn);
    });
    ASSERT_EQ(f->ShowModal(), mrOk) << c.type;
    EXPECT_EQ(f->AcceptedSlot, 2);
    EXPECT_EQ(SaveOptimResult.typeIndex, f->Type->GetItems()->IndexOf(c.type)) << c.type;
    EXPECT_EQ(SaveOptimResult.depthIndex, c.code) << c.type;
    EXPECT_EQ(SaveOptimResult.limit, 1) << c.type;
    EXPECT_EQ(SaveOptimResult.colours, 40) << c.type;
    EXPECT_TRUE(NamesIn(f->ProbeFolderPath()).empty()) << "the probes go when the window closes";
  }
}

TEST_F(SaveOptimFormTest, CancelKeepsWhatTabChangesStoredButNotTheLastTabsEdits) {
  TOwnedPtr<TSaveOptimForm> f(NewComponent<TSaveOptimForm>(Application(), &picture));
  ui.WhenModalWaits([&] {
    f->QScbar->SetPosition(20);  // slot 1, stored by the tab change
    const POINT at = TabCentre(*f, 1);
    ui.QueueClick(at.x, at.y);
  });
  ui.WhenModalWaits([&] {
    EXPECT_EQ(f->CurrentSlot, 1);
    f->QScbar->SetPosition(21);  // slot 2, never stored
    QueueClick(f->CancelBtn);
  });
  EXPECT_EQ(f->ShowModal(), mrCancel);
  EXPECT_EQ(OptimSlots[0].quality, 20);
  EXPECT_EQ(OptimSlots[1].quality, 65);
  EXPECT_EQ(SaveOptimResult.typeIndex, -1) << "a cancelled window hands nothing back";
}

TEST_F(SaveOptimFormTest, EscapeInTheColourLimitLeavesTheFieldAndNotTheWindow) {
  TOwnedPtr<TSaveOptimForm> f(NewComponent<TSaveOptimForm>(Application(), &picture));
  ui.WhenModalWaits([&] {
    ChooseDepth(*f, "SOGS");
    f->LimitCB->SetChecked(true);
    f->LimitED->SetFocus();
    ui.QueuePress(VK_ESCAPE);
  });
  ui.WhenModalWaits([&] {
    EXPECT_EQ(f->GetModalResult(), mrNone);
    EXPECT_EQ(f->GetActiveControl(), nullptr);
    ui.QueuePress(VK_ESCAPE);  // elsewhere it closes the window
  });
  EXPECT_EQ(f->ShowModal(), mrCancel);
}

// A full disk: the probe fails quietly and the slot is idle.
TEST_F(SaveOptimFormTest, AProbeOnAFullDiskReturnsTheSlotToIdleWithoutAMessage) {
  MakePicture(400, 300);
  auto f = Open();
  ChooseType(*f, "Portable Network Graphics");
  ChooseDepth(*f, "SOTC24");
  {
    FileSizeLimit full(1024);
    Click(f->PrevBtn);
  }
  EXPECT_EQ(f->SlotState[0], TSaveOptimForm::kIdle);
  EXPECT_EQ(f->PrevBtn->GetCaption(), LangMessage("SOPreview"));
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
  EXPECT_TRUE(NamesIn(f->ProbeFolderPath()).empty());
}

// Probes go to a folder of the window's own: a file planted under the probe's name in the
// temporary folder is neither followed nor removed, the user's file is never written, and
// the folder goes with the window.
TEST_F(SaveOptimFormTest, ProbesLiveInAPrivateFolderThatGoesWithTheWindow) {
  const std::string planted = temp + "/$$$QL$$$0.JPG";
  const std::string victim = PathOf("victim.txt");
  std::ofstream(victim) << "keep";
  std::filesystem::create_symlink(victim, planted);
  picture.FileName = PathOf("mine.jpg");
  std::string folder;
  {
    auto f = Open();
    folder = f->ProbeFolderPath();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(std::filesystem::path(folder).parent_path().parent_path(), std::filesystem::path(temp));
    EXPECT_EQ(std::filesystem::status(folder).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
    for (int k = 0; k < 2; ++k) {
      ClickTab(*f, k);
      Click(f->PrevBtn);
      EXPECT_EQ(f->SlotState[k], TSaveOptimForm::kProbed);
      EXPECT_EQ(std::filesystem::path(f->ProbeFile[k]).parent_path(), std::filesystem::path(folder).parent_path());
    }
  }
  EXPECT_FALSE(std::filesystem::exists(folder));
  EXPECT_EQ(NamesIn(temp), std::vector<std::string>{"$$$QL$$$0.JPG"});
  EXPECT_EQ(FileContents(victim), "keep");
  EXPECT_FALSE(std::filesystem::exists(PathOf("mine.jpg")));
}

// The first window is centred in the work area; each later one opens where the last closed.
TEST_F(SaveOptimFormTest, TheWindowOpensWhereItWasLastClosed) {
  {
    auto f = Open();
    EXPECT_EQ(f->GetLeft(), std::max(0, static_cast<int>(WorkArea.right - WorkArea.left - f->GetWidth()) / 2));
    EXPECT_EQ(f->GetClientWidth(), 542);
    EXPECT_EQ(f->GetClientHeight(), 391);
    f->SetBounds(31, 47, f->GetWidth(), f->GetHeight());
    f->Close();
    ui.RunUntilIdle();
  }
  EXPECT_EQ(SavedLeft, 31);
  EXPECT_EQ(SavedTop, 47);
  auto f = Open();
  EXPECT_EQ(f->GetLeft(), 31);
  EXPECT_EQ(f->GetTop(), 47);
}

TEST_F(SaveOptimFormTest, NoMemoryForTheSlotPicturesClosesTheWindowAsCancelled) {
  UDBuffer empty;
  TOwnedPtr<TSaveOptimForm> f(NewComponent<TSaveOptimForm>(Application(), &empty));
  ui.AnswerMessageBoxes({IDOK});
  EXPECT_EQ(f->ShowModal(), mrCancel);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts()[0], LangMessage("NoMem"));
}

}  // namespace
