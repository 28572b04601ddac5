#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/host/PresenterChoice.h"
#include "support/ScopedEnv.h"

namespace {

// Where no GPU draws, the window gets SDL's software renderer and the OpenGL driver is never
// brought up; SDL_RENDER_DRIVER, the user's, wins over everything the display tells.
TEST(PresenterChoice, FollowsTheUsersDriverThenTheDisplay) {
  const struct {
    const char* userDriver;
    bool softwareGl, gpu;
    Presenter expected;
  } cases[] = {
      {"", false, false, Presenter::Software},     {"", false, true, Presenter::Accelerated},
      {"", true, true, Presenter::Software},       {"software", false, true, Presenter::Software},
      {"Software", false, true, Presenter::Software}, {"opengl", false, false, Presenter::UsersChoice},
      {"opengles2", true, true, Presenter::UsersChoice},
  };
  for (const auto& c : cases) {
    PresenterFacts facts;
    facts.userDriver = c.userDriver;
    facts.softwareGlRequested = c.softwareGl;
    facts.gpuOffered = c.gpu;
    EXPECT_EQ(ChoosePresenter(facts), c.expected) << c.userDriver << " " << c.softwareGl << " " << c.gpu;
  }
}

TEST(PresenterChoice, KnowsTheOpenGlDriversThatDrawOnTheProcessor) {
  const struct {
    const char* glRenderer;
    bool software;
  } cases[] = {
      {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
      {"softpipe", true},
      {"Mesa DRI Intel(R) UHD Graphics 620 (KBL GT2)", false},
      {"Software Rasterizer", true},
      {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0)", false},
      {"NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsSoftwareGlRenderer(c.glRenderer), c.software) << c.glRenderer;
}

TEST(PresenterChoice, ReadsMesasRequestsForTheProcessorDriver) {
  const struct {
    const char* always;
    const char* gallium;
    bool requested;
  } cases[] = {
      {nullptr, nullptr, false}, {"1", nullptr, true},          {"true", nullptr, true},
      {"0", nullptr, false},     {"false", nullptr, false},     {nullptr, "llvmpipe", true},
      {nullptr, "softpipe", true}, {nullptr, "radeonsi", false}, {"", "", false},
  };
  for (const auto& c : cases) {
    ScopedEnv always("LIBGL_ALWAYS_SOFTWARE", c.always), gallium("GALLIUM_DRIVER", c.gallium);
    EXPECT_EQ(SoftwareGlRequested(), c.requested)
        << (c.always ? c.always : "-") << " " << (c.gallium ? c.gallium : "-");
  }
}

// A card's node alone offers no rendering to a program that is not the display's master; a
// render node does.
TEST(PresenterChoice, FindsARenderNodeThisProcessMayOpen) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / ("presenter-dri-" + std::to_string(getpid()));
  fs::create_directories(folder);
  EXPECT_FALSE(RenderNodeAvailable(folder.string())) << "an empty folder";
  close(open((folder / "card0").c_str(), O_CREAT | O_WRONLY, 0600));
  EXPECT_FALSE(RenderNodeAvailable(folder.string())) << "a card's node only";
  close(open((folder / "renderD128").c_str(), O_CREAT | O_WRONLY, 0600));
  EXPECT_TRUE(RenderNodeAvailable(folder.string()));
  EXPECT_FALSE(RenderNodeAvailable((folder / "missing").string()));
  fs::remove_all(folder);
}

}  // namespace
