// Scanning with SANE's test backend, from a configuration of the test's own that names only
// it: the new document is what scanimage writes for the same device and options, pixel for
// pixel, in grey and in colour, at the resolution scanned; Cancel makes no document; the
// source chosen is the one scanned from.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "ProgramFixture.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/ListBox.h"
#include "platform/scanners/ScanDialogs.h"
#include "platform/scanners/ScannerApi.h"
#include "platform/user/Dialog.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "support/SaneTestScanner.h"

namespace {

namespace fs = std::filesystem;

struct Pnm {
  bool colour = false;
  int width = 0;
  int height = 0;
  std::vector<unsigned char> samples;
};

Pnm ReadPnm(const std::string& path) {
  Pnm image;
  std::ifstream in(path, std::ios::binary);
  // The header's fields, comments skipped.
  const auto field = [&in]() {
    std::string word;
    while (in >> word && word[0] == '#') std::getline(in, word);
    return word;
  };
  const std::string magic = field();
  image.width = std::atoi(field().c_str());
  image.height = std::atoi(field().c_str());
  const int max = std::atoi(field().c_str());
  in.get();
  if ((magic != "P5" && magic != "P6") || max != 255) return Pnm{};
  image.colour = magic == "P6";
  image.samples.resize(static_cast<size_t>(image.width) * image.height * (image.colour ? 3 : 1));
  in.read(reinterpret_cast<char*>(image.samples.data()), static_cast<std::streamsize>(image.samples.size()));
  return image;
}

class ScanTest : public ProgramTest {
protected:
  ScanTest()
      : sane_("number_of_devices 2\nmode Gray\ndepth 8\nresolution 50.0\ntest-picture \"Color pattern\"\n"
              "tl_x 0.0\ntl_y 0.0\nbr_x 80.0\nbr_y 100.0\n") {}

  // What scanimage writes for the device and options.
  Pnm Reference(const std::string& device, const std::string& mode, int dpi, int width, int height) {
    const std::string out = home.Path() + "/reference.pnm";
    const std::string command = "scanimage -d " + device + " --mode " + mode + " --resolution " + std::to_string(dpi) +
                                " -l 0 -t 0 -x " + std::to_string(width) + " -y " + std::to_string(height) +
                                " --format=pnm > '" + out + "' 2>/dev/null";
    return std::system(command.c_str()) == 0 ? ReadPnm(out) : Pnm{};
  }

  // Answers the options window: mode, resolution and area (millimetres from the corner).
  void WhenOptionsAsk(const std::string& mode, int dpi, int width, int height) {
    ui.WhenModalWaits([=, this] {
      HWND dialog = GetActiveWindow();
      SendDlgItemMessage(dialog, kScanModeCombo, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(mode.c_str()));
      SetDlgItemText(dialog, kScanResolutionEdit, std::to_string(dpi).c_str());
      SetDlgItemText(dialog, kScanRightEdit, std::to_string(width).c_str());
      SetDlgItemText(dialog, kScanBottomEdit, std::to_string(height).c_str());
      const POINT at = UiDriver::At(GetDlgItem(dialog, IDOK), 10, 6);
      ui.QueueClick(at.x, at.y);
    });
  }

  void ExpectScanned(const Pnm& reference) {
    ASSERT_GT(reference.width, 0) << "scanimage wrote nothing";
    ASSERT_NE(CurrentPicture, nullptr);
    ASSERT_EQ(CurrentPicture->Width(), reference.width);
    ASSERT_EQ(CurrentPicture->Height(), reference.height);
    int differing = 0;
    for (int y = 0; y < reference.height; ++y)
      for (int x = 0; x < reference.width; ++x) {
        const size_t i = static_cast<size_t>(y) * reference.width + x;
        const std::uint32_t want = reference.colour ? (std::uint32_t{reference.samples[3 * i]} << 16 |
                                                       std::uint32_t{reference.samples[3 * i + 1]} << 8 | reference.samples[3 * i + 2])
                                                    : std::uint32_t{reference.samples[i]} * 0x010101u;
        if ((*CurrentPicture->At(CurrentPicture->rect.left + x, CurrentPicture->rect.top + y) & 0xFFFFFF) != want) ++differing;
      }
    EXPECT_EQ(differing, 0);
  }

  SaneTestScanner sane_;
};

TEST_F(ScanTest, AGreyScanIsWhatScanimageWrites) {
  Start();
  const int before = ImgFormCount;
  WhenOptionsAsk("Gray", 300, 20, 10);
  form->Acquire1Click(nullptr);
  EXPECT_EQ(ImgFormCount, before + 1);
  ExpectScanned(Reference("test:0", "Gray", 300, 20, 10));
  EXPECT_EQ(CurrentPicture->Resolution, 300);
  EXPECT_EQ(CurrentPicture->SaveAsRequired, 1);
}

TEST_F(ScanTest, AColourScanIsWhatScanimageWrites) {
  Start();
  WhenOptionsAsk("Color", 75, 40, 30);
  form->Acquire1Click(nullptr);
  ExpectScanned(Reference("test:0", "Color", 75, 40, 30));
  EXPECT_EQ(CurrentPicture->Resolution, 75);
}

TEST_F(ScanTest, CancelMakesNoDocument) {
  Start();
  const int before = ImgFormCount;
  ui.WhenModalWaits([&] { ui.QueuePress(VK_ESCAPE); });
  form->Acquire1Click(nullptr);
  EXPECT_EQ(ImgFormCount, before);
}

TEST_F(ScanTest, TheChosenSourceIsScanned) {
  Start();
  EXPECT_EQ(ScannerSources(), (std::vector<std::string>{"test:0", "test:1"}));
  ui.WhenModalWaits([&] {
    HWND dialog = GetActiveWindow();
    SendDlgItemMessage(dialog, kScanSourceList, LB_SETCURSEL, 1, 0);
    const POINT at = UiDriver::At(GetDlgItem(dialog, IDOK), 10, 6);
    ui.QueueClick(at.x, at.y);
  });
  form->SelectSource1Click(nullptr);
  EXPECT_EQ(ChosenScannerSource(), "test:1");
  WhenOptionsAsk("Gray", 100, 10, 10);
  form->Acquire1Click(nullptr);
  ExpectScanned(Reference("test:1", "Gray", 100, 10, 10));
}

TEST_F(ScanTest, WithoutScannersBothCommandsSaySo) {
  std::ofstream(sane_.Path() + "/dll.conf") << "\n";
  Start();
  ui.AnswerMessageBoxes({IDOK, IDOK});
  form->SelectSource1Click(nullptr);
  form->Acquire1Click(nullptr);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 2u);
  EXPECT_NE(ui.MessageBoxTexts()[0].find("No scanner"), std::string::npos);
  EXPECT_NE(ui.MessageBoxTexts()[1].find("No scanner"), std::string::npos);
}

}  // namespace
