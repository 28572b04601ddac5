// A quiet save runs without progress hooks, so nothing can stop it, unless its caller asks to
// keep the hooks it has put in force: then those hooks see the save and may stop it, and a
// stopped save leaves no file.

#include "FilesFixture.h"
#include "quillo/files/ImageFiles.h"

namespace {

int stepsSeen = 0;
bool StopAtOnce(int) {
  ++stepsSeen;
  return false;
}

class QuietSaveHooksTest : public FilesFixture {
protected:
  QuietSaveHooksTest() {
    picture.Alloc(300, 200);
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 300; ++x) *picture.At(x, y) = SampleColour(x, y);
    stepsSeen = 0;
    GFXFile::SetProgFunc(nullptr, StopAtOnce, nullptr);
  }
  ~QuietSaveHooksTest() override {
    GFXFile::SetProgFunc(nullptr, nullptr, nullptr);
    picture.Free();
  }
  UDBuffer picture;
};

TEST_F(QuietSaveHooksTest, OnlyASaveUnderTheCallersHooksCanBeStopped) {
  const struct {
    const char* name;
    QuietProgress progress;
    int code;
    bool written;
  } cases[] = {{"plain.png", QuietProgress::Off, SaveOk, true},
               {"hooked.png", QuietProgress::CallersHooks, SaveStopped, false}};
  for (const auto& c : cases) {
    stepsSeen = 0;
    GFXSaveParams params;
    params.bits = 24;
    EXPECT_EQ(SaveImageFile(PathOf(c.name), &picture, &params, true, c.progress), c.code) << c.name;
    EXPECT_EQ(std::filesystem::exists(PathOf(c.name)), c.written) << c.name;
    EXPECT_EQ(stepsSeen > 0, !c.written) << c.name;
    EXPECT_EQ(GFXFile::PrStep, &StopAtOnce) << "the caller's hooks stay in force: " << c.name;
  }
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"plain.png"});
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

}  // namespace
