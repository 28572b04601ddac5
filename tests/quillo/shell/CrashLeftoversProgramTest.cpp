// The started program and what a killed run left: the swap folders of the undo history that
// no running program holds go at start, with the steps in them.

#include <filesystem>

#include "ProgramFixture.h"
#include "quillo/base/Settings.h"
#include "quillo/document/UndoEngine.h"

namespace {

class CrashLeftoversProgramTest : public ProgramTest {
protected:
  ~CrashLeftoversProgramTest() override { RemoveUndoSwapFolder(); }
};

TEST_F(CrashLeftoversProgramTest, AStartRemovesTheUndoFoldersOfKilledRuns) {
  const std::string undo = home.Path() + "/undo";
  home.WriteFile("undo/quillo-undo-K1lled/QL4711", std::string(4096, 'x'));
  home.WriteFile("undo/photo.png", "not the program's");
  Settings.UndoDir = undo;
  Start();
  EXPECT_FALSE(std::filesystem::exists(undo + "/quillo-undo-K1lled"));
  EXPECT_TRUE(std::filesystem::exists(undo + "/photo.png"));
}

}  // namespace
