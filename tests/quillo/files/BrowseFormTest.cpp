// File > Browse as a user meets it: the grid of thumbnails of the folder shown, their places,
// sizes, captions and hints, files that are damaged or not files at all, opening an image by a
// double click, scrolling, and a second visit served from the folder's thumbnail cache.

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "../shell/ProgramFixture.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/StdButtons.h"
#include "platform/vcl/TreeView.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageView.h"
#include "quillo/files/BrowseForm.h"
#include "quillo/files/BrowseGrid.h"
#include "quillo/files/ThumbCache.h"
#include "support/SpecialFiles.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/formats/GFXFile.h"

namespace {

// "stem", i with at least `digits` digits, then "ext" (appended piece by piece: GCC's release
// warnings misjudge a literal joined to to_string).
std::string Numbered(const char* stem, int i, const char* ext, int digits = 1) {
  std::string number = std::to_string(i);
  while (static_cast<int>(number.size()) < digits) number.insert(number.begin(), '0');
  std::string name = stem;
  name += number;
  name += ext;
  return name;
}

namespace fs = std::filesystem;

class BrowseFormTest : public ProgramTest {
protected:
  BrowseFormTest() {
    ForgetBrowseFormPlace();
    fs::create_directories(Pics());
  }
  ~BrowseFormTest() override { ForgetBrowseFormPlace(); }

  std::string Pics() const { return home.Path() + "/pics/"; }

  // An image whose pixel (x, y) is x * 3 | y << 8 | colour.
  std::string Picture(const std::string& name, int width, int height, std::uint32_t colour = 0x400000) const {
    Buffer image;
    image.Alloc(Pair<int>(width, height));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) *image.At(x, y) = (static_cast<std::uint32_t>(x * 3 + (y << 8)) & 0xFFFF) | colour;
    const std::string path = Pics() + name;
    EXPECT_TRUE(GFXFile::Save(image, path, nullptr, nullptr));
    image.Free();
    return path;
  }

  // The browser opened on the pictures folder, not modally, its timer given a tick.
  TBrowseForm* OpenBrowser() {
    Settings.ImageDir = Pics();
    browser.reset(NewComponent<TBrowseForm>(Application()));
    browser->Show();
    ui.RunUntilIdle();
    Tick();
    return browser.get();
  }
  void Tick() { ui.Advance(50); }
  void CloseBrowser() { browser.reset(); }

  static TBrowseForm* Shown() {
    for (int i = 0; i < Screen()->FormCount(); ++i)
      if (auto* b = dynamic_cast<TBrowseForm*>(Screen()->Forms(i)); b && b->GetVisible()) return b;
    return nullptr;
  }
  int Columns() const { return browse_grid::Columns(browser->ScrollBox->GetClientWidth()); }

  TOwnedPtr<TBrowseForm> browser;
};

TEST_F(BrowseFormTest, GridShowsEveryImageAtItsPlace) {
  Picture("a-wide.png", 300, 100);
  Picture("b-small.png", 60, 45);
  for (int i = 0; i < 4; ++i) Picture(Numbered("c", i, ".bmp"), 20 + i, 30);
  home.WriteFile("pics/notes.txt", "not an image");
  fs::create_directories(Pics() + "sub");
  Start();
  OpenBrowser();
  ASSERT_NE(browser->TreeView->GetSelected(), nullptr);
  EXPECT_EQ(browser->NodePath(browser->TreeView->GetSelected()), Pics());
  ASSERT_EQ(browser->Entries().size(), 6u);
  const int c = Columns();
  EXPECT_EQ(c, (browser->ScrollBox->GetClientWidth() + 7) / 135);
  for (int n = 0; n < 6; ++n) {
    const TBrowseForm::Cell* cell = browser->CellShowing(n);
    ASSERT_NE(cell, nullptr) << n;
    EXPECT_TRUE(cell->view->GetVisible());
    const int boxLeft = n % c * 135 + 4, boxTop = n / c * 118 + 4;
    const int w = cell->view->GetWidth(), h = cell->view->GetHeight();
    EXPECT_EQ(cell->view->GetLeft(), boxLeft + (120 - w) / 2) << n;
    EXPECT_EQ(cell->view->GetTop(), boxTop + (90 - h) / 2) << n;
    EXPECT_EQ(cell->label->GetLeft(), boxLeft);
    EXPECT_EQ(cell->label->GetTop(), n / c * 118 + 100);
  }
  const TBrowseForm::Cell* wide = browser->CellShowing(0);
  EXPECT_EQ(wide->view->GetWidth(), 120);
  EXPECT_EQ(wide->view->GetHeight(), 40);
  EXPECT_EQ(wide->label->GetCaption(), "a-wide.png");
  const TBrowseForm::Cell* small = browser->CellShowing(1);
  EXPECT_EQ(small->view->GetWidth(), 120);
  EXPECT_EQ(small->view->GetHeight(), 90);
  // The thumbnail is on the screen, its left column the image's left column scaled.
  const POINT at = UiDriver::At(wide->view->GetHandle(), 0, 20);
  EXPECT_EQ(ui.Pixel(at.x, at.y) & 0xFF0000, 0x400000u);
}

TEST_F(BrowseFormTest, HintGivesSizeAndKilobytes) {
  const std::string path = Picture("hint.png", 300, 100);
  // Padded after the image's end to 1,025 bytes: one byte past a whole kilobyte.
  ASSERT_LT(fs::file_size(path), 1025u);
  fs::resize_file(path, 1025);
  Start();
  OpenBrowser();
  const TBrowseForm::Cell* cell = browser->CellShowing(0);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->view->GetHint(), "300 x 100 Pixels\r\n2 KB");
}

TEST_F(BrowseFormTest, DamagedFilesAndNonFilesAreHandledQuietly) {
  const std::string longName = "a-very-long-file-name-that-cannot-fit-under-its-thumbnail.png";
  Picture(longName, 50, 50);
  home.WriteFile("pics/b-damaged.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0", 18));
  MakeSpecialFile(SpecialFile::Fifo, Pics() + "x.png");
  Start();
  OpenBrowser();
  ASSERT_EQ(browser->Entries().size(), 2u);  // the FIFO is passed by
  const TBrowseForm::Cell* named = browser->CellShowing(0);
  ASSERT_NE(named, nullptr);
  const AnsiString caption = named->label->GetCaption();
  ASSERT_GT(caption.size(), 3u);
  EXPECT_EQ(caption.substr(caption.size() - 3), "...");
  EXPECT_EQ(longName.compare(0, caption.size() - 3, caption.substr(0, caption.size() - 3)), 0);
  const TBrowseForm::Cell* damaged = browser->CellShowing(1);
  ASSERT_NE(damaged, nullptr);
  EXPECT_TRUE(damaged->view->GetVisible());
  EXPECT_EQ(damaged->view->GetBuffer(), nullptr);
  EXPECT_EQ(damaged->view->GetWidth(), 120);
  EXPECT_EQ(damaged->view->GetHeight(), 90);
  EXPECT_EQ(damaged->label->GetCaption(), "b-damaged.png");
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

TEST_F(BrowseFormTest, ScrollingFreesAndRefillsCells) {
  for (int i = 0; i < 40; ++i) Picture(Numbered("p", i, ".bmp", 2), 8, 6);
  Start();
  OpenBrowser();
  const int c = Columns();
  EXPECT_NE(browser->CellShowing(0), nullptr);
  EXPECT_EQ(browser->CellShowing(39), nullptr);  // far below the window
  browser->ScrollBox->GetVertScrollBar()->SetPosition(118 * (39 / c));
  ui.RunUntilIdle();
  Tick();
  EXPECT_NE(browser->CellShowing(39), nullptr);
  EXPECT_EQ(browser->CellShowing(0), nullptr);
  browser->ScrollBox->GetVertScrollBar()->SetPosition(0);
  ui.RunUntilIdle();
  Tick();
  EXPECT_NE(browser->CellShowing(0), nullptr);
  EXPECT_EQ(browser->CellShowing(39), nullptr);
}

// A second visit shows what the cache holds: files changed behind the browser's back, but
// with their size and time kept, still show their first thumbnails, so none was decoded.
TEST_F(BrowseFormTest, WarmVisitDecodesNoImage) {
  Settings.CacheThumbs = true;
  std::vector<std::string> paths;
  for (int i = 0; i < 5; ++i) paths.push_back(Picture(Numbered("w", i, ".bmp"), 40, 30, 0x100000u * (i + 1)));
  Start();
  OpenBrowser();
  std::vector<std::uint32_t> first;
  for (int n = 0; n < 5; ++n) {
    ASSERT_NE(browser->CellShowing(n), nullptr);
    first.push_back(*browser->CellShowing(n)->picture->At(5, 5));
  }
  CloseBrowser();
  ASSERT_TRUE(fs::exists(Pics() + "browser.ql"));
  for (const std::string& path : paths) {
    struct stat before {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    const auto size = fs::file_size(path);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << std::string(size, '\xEE');
    const timeval times[2] = {{before.st_atime, 0}, {before.st_mtime, 0}};
    ASSERT_EQ(utimes(path.c_str(), times), 0);
  }
  OpenBrowser();
  for (int n = 0; n < 5; ++n) {
    ASSERT_NE(browser->CellShowing(n), nullptr) << n;
    ASSERT_NE(browser->CellShowing(n)->picture->pixels, nullptr) << n;
    EXPECT_EQ(*browser->CellShowing(n)->picture->At(5, 5), first[n]) << n;
  }
}

TEST_F(BrowseFormTest, LeavingAnEmptyFolderRemovesItsCache) {
  Settings.CacheThumbs = true;
  Start();
  OpenBrowser();
  EXPECT_TRUE(browser->Entries().empty());
  CloseBrowser();
  EXPECT_FALSE(fs::exists(Pics() + "browser.ql"));
}

TEST_F(BrowseFormTest, DoubleClickOpensTheImageAndEscapeCloses) {
  const std::string path = Picture("open-me.png", 30, 20);
  Start();
  Settings.ImageDir = Pics();
  const MenuPlace item = FindMenuItem({"&File", "&Browse..."});
  ASSERT_NE(item.menu, nullptr);
  EXPECT_EQ(GetMenuState(item.menu, static_cast<UINT>(item.position), MF_BYPOSITION) & MF_GRAYED, 0u);
  ui.WhenModalWaits([&] { Tick(); });
  ui.WhenModalWaits([&] {
    ASSERT_NE(Shown(), nullptr);
    const TBrowseForm::Cell* cell = Shown()->CellShowing(0);
    ASSERT_NE(cell, nullptr);
    const POINT at = UiDriver::At(cell->view->GetHandle(), 5, 5);
    ui.QueueClick(at.x, at.y);
    ui.QueueClick(at.x, at.y);
  });
  Browse1Click(nullptr);
  EXPECT_EQ(Shown(), nullptr);
  ASSERT_NE(CurrentPicture, nullptr);
  EXPECT_EQ(CurrentPicture->FileName, path);
  EXPECT_EQ(CurrentPicture->Width(), 30);

  ui.WhenModalWaits([&] { ui.QueuePress(VK_ESCAPE); });
  Browse1Click(nullptr);
  EXPECT_EQ(Shown(), nullptr);
  ASSERT_NE(CurrentPicture, nullptr);
  EXPECT_EQ(CurrentPicture->FileName, path);  // Escape opened nothing
}

// The purge of vanished files runs once every shown cell is filled, also when the grid is
// shorter than the window.
TEST_F(BrowseFormTest, PurgeRunsWhenTheGridIsShorterThanTheWindow) {
  Settings.CacheThumbs = true;
  Picture("kept.bmp", 10, 10);
  Picture("renamed.bmp", 10, 10);
  Start();
  OpenBrowser();
  CloseBrowser();
  fs::rename(Pics() + "renamed.bmp", Pics() + "new-name.bmp");
  OpenBrowser();
  ASSERT_EQ(browser->Entries().size(), 2u);
  CloseBrowser();
  ThumbCache cache;
  ASSERT_TRUE(cache.Open(Pics()));
  int slot = -1;
  EXPECT_NE(cache.FindThumbEntry("kept.bmp", slot), nullptr);
  EXPECT_NE(cache.FindThumbEntry("new-name.bmp", slot), nullptr);
  EXPECT_EQ(cache.FindThumbEntry("renamed.bmp", slot), nullptr);
}

// With the pictures under the home folder, the tree opens them below the home root.
TEST_F(BrowseFormTest, AFolderUnderHomeIsSelectedBelowTheHomeRoot) {
  const char* saved = std::getenv("HOME");
  const std::string previous = saved != nullptr ? saved : "";
  setenv("HOME", home.Path().c_str(), 1);
  Picture("h.bmp", 10, 10);
  Start();
  OpenBrowser();
  setenv("HOME", previous.c_str(), 1);
  TTreeNode* node = browser->TreeView->GetSelected();
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->GetText(), "pics");
  ASSERT_NE(node->GetParent(), nullptr);
  EXPECT_EQ(node->GetParent()->GetParent(), nullptr);  // the home root itself
  EXPECT_EQ(node->GetParent()->GetText(), home.Path());
  EXPECT_EQ(browser->Entries().size(), 1u);
}

}  // namespace
