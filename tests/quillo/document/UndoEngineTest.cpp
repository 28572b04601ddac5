// The undo history on pictures of its own: steps of every shape undone and redone bit for bit,
// in memory and in swap files, the redo chain emptied by a new step, the budgets, the
// counters, and every failure leaving picture and history as they were.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "FailingUndoMemory.h"
#include "platform/rtl/Clock.h"
#include "platform/vcl/Application.h"
#include "quillo/document/UndoSwapFile.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "support/TempHome.h"
#include "support/UiDriver.h"
#include "UndoFixture.h"

namespace {

constexpr std::int64_t kNoLimit = 1LL << 40;

class UndoTest : public ::testing::Test {
protected:
  UndoTest() {
    Lang = std::make_unique<Language>(QUILLO_BIN_DIR);
    Lang->Load("English");
    MakePicture(p, 70, 45, 1);
  }
  ~UndoTest() override {
    p.FreeUndo();
    p.FreeRedo();
    Lang.reset();
    ResetApplication();
  }
  void UseMemoryBudget(std::int64_t kb) { Settings.UndoMem = kb; }
  std::vector<std::string> Messages() const { return ui.MessageBoxTexts(); }

  TempHome home;
  UiDriver ui;
  UndoSettingsScope settings{home.Path(), kNoLimit, kNoLimit};
  UDBuffer p;
};

// ---- sizes ----

TEST(UndoSizeTest, MaskAndPixelBytesRoundedUpToWholeKB) {
  struct Case {
    int w, h;
    std::int64_t kb;
  } cases[] = {
      {100, 100, 41},  // 40000 + 1600 bytes
      {1, 1, 1},
      {32, 32, 5},     // 4096 + 128
      {33, 1, 1},
      {0, 10, 0},
      {70000, 70000, 19738907},  // beyond 4 GB: 64-bit arithmetic
  };
  for (const Case& c : cases) EXPECT_EQ(UndoSizeKB(c.w, c.h), c.kb) << c.w << "x" << c.h;
}

// ---- exact undo and redo, in memory and in swap files ----

class UndoRunTest : public UndoTest, public ::testing::WithParamInterface<std::int64_t> {};

struct StepPlan {
  int x1, y1, x2, y2;  // x1 = -1: the whole image
  bool stroke;         // opened over the whole image and narrowed to the rectangle at the end
};

const StepPlan kPlans[] = {
    {-1, 0, 0, 0, false},
    {3, 5, 40, 20, false},
    {33, 0, 69, 44, false},
    {0, 10, 31, 10, false},     // one row, whole words of mask
    {65, 40, 200, 200, false},  // clipped to the picture
    {10, 12, 50, 30, true},
    {31, 1, 33, 43, true},      // across a mask word boundary
    {-1, 0, 0, 0, false},
};

TEST_P(UndoRunTest, EveryStepUndoesAndRedoesBitForBit) {
  UseMemoryBudget(GetParam());
  std::vector<PictureState> states;
  unsigned seed = 10;
  for (const StepPlan& plan : kPlans) {
    states.push_back(StateOf(p));
    if (plan.stroke) {
      ASSERT_TRUE(p.PushUndo("Pen"));
      PaintRect(p, plan.x1, plan.y1, plan.x2, plan.y2, ++seed);
      p.ExtendUndo(plan.x1, plan.y1, plan.x2, plan.y2);
    } else {
      ASSERT_TRUE(p.PushUndo("Box", nullptr, plan.x1, plan.y1, plan.x2, plan.y2));
      if (plan.x1 < 0) PaintRect(p, 0, 0, 69, 44, ++seed);
      else PaintRect(p, plan.x1, plan.y1, plan.x2, plan.y2, ++seed);
    }
    ExpectCountersMatch({&p});
  }
  states.push_back(StateOf(p));
  const std::size_t n = std::size(kPlans);
  ASSERT_EQ(Steps(p.UndoChain).size(), n);
  if (GetParam() == 0) {
    for (UndoEntry* s : Steps(p.UndoChain)) EXPECT_TRUE(s->OnDisk);
    const std::vector<std::string> files = SwapFiles();
    EXPECT_EQ(files.size(), n);
    for (const std::string& name : files) EXPECT_TRUE(std::regex_match(name, std::regex("QL[0-9]+[A-Z]*")));
  }
  for (int round = 0; round < 2; ++round) {
    for (std::size_t i = n; i-- > 0;) {
      ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
      ASSERT_EQ(StateOf(p), states[i]) << "undo to state " << i;
      ExpectCountersMatch({&p});
    }
    EXPECT_EQ(p.UndoChain, nullptr);
    for (std::size_t i = 1; i <= n; ++i) {
      ASSERT_TRUE(p.Redo());
      ASSERT_EQ(StateOf(p), states[i]) << "redo to state " << i;
      ExpectCountersMatch({&p});
    }
    EXPECT_EQ(p.RedoChain, nullptr);
  }
  EXPECT_TRUE(Messages().empty());
  p.FreeUndo();
  ExpectCountersMatch({&p});
  EXPECT_TRUE(SwapFiles().empty());
}

TEST_P(UndoRunTest, ANewStepAfterAnUndoEmptiesTheRedoChain) {
  UseMemoryBudget(GetParam());
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(p.PushUndo("Box", nullptr, i * 10, 0, i * 10 + 20, 30));
    PaintRect(p, i * 10, 0, i * 10 + 20, 30, 20 + i);
  }
  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_EQ(Steps(p.RedoChain).size(), 2u);
  const PictureState before = StateOf(p);
  ASSERT_TRUE(p.PushUndo("Box", nullptr, 5, 5, 9, 9));
  PaintRect(p, 5, 5, 9, 9, 40);
  EXPECT_EQ(p.RedoChain, nullptr);
  EXPECT_EQ(Steps(p.UndoChain).size(), 2u);
  ExpectCountersMatch({&p});
  if (GetParam() == 0) {
    EXPECT_EQ(SwapFiles().size(), 2u);
  }
  EXPECT_FALSE(p.Redo());
  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_EQ(StateOf(p), before);
}

// A Redo keeps the rest of the redo chain; a further Undo gives the state back again.
TEST_P(UndoRunTest, RedoKeepsTheOtherRedoStepsAndUndoesAgain) {
  UseMemoryBudget(GetParam());
  const PictureState s0 = StateOf(p);
  ASSERT_TRUE(p.PushUndo("Box", nullptr, 0, 0, 9, 9));
  PaintRect(p, 0, 0, 9, 9, 3);
  const PictureState s1 = StateOf(p);
  ASSERT_TRUE(p.PushUndo("Box", nullptr, 20, 20, 29, 29));
  PaintRect(p, 20, 20, 29, 29, 4);
  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_EQ(StateOf(p), s0);
  ASSERT_TRUE(p.Redo());
  EXPECT_EQ(StateOf(p), s1);
  EXPECT_EQ(Steps(p.RedoChain).size(), 1u);
  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_EQ(StateOf(p), s0);
  EXPECT_EQ(Steps(p.RedoChain).size(), 2u);
}

// Taking a step back (a tool giving up) leaves nothing to redo.
TEST_P(UndoRunTest, TakingAStepBackKeepsNoRedoStep) {
  UseMemoryBudget(GetParam());
  ASSERT_TRUE(p.PushUndo("Box", nullptr, 0, 0, 9, 9));
  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
  const PictureState before = StateOf(p);
  ASSERT_TRUE(p.PushUndo("Pen"));
  PaintRect(p, 0, 0, 30, 30, 5);
  ASSERT_TRUE(p.Undo());
  EXPECT_EQ(StateOf(p), before);
  EXPECT_EQ(p.UndoChain, nullptr);
  EXPECT_EQ(p.RedoChain, nullptr);  // the new step emptied it, the take-back adds none
  ExpectCountersMatch({&p});
}

TEST_P(UndoRunTest, UndoingAWholeImageStepGivesBackTheOldSize) {
  UseMemoryBudget(GetParam());
  const PictureState before = StateOf(p);
  ASSERT_TRUE(p.PushUndo("Resize"));
  const int changes = p.ChangeCount;
  MakePicture(p, 20, 11, 77);
  p.ChangeCount = changes + 1;
  const PictureState resized = StateOf(p);
  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_EQ(StateOf(p), before);
  ASSERT_TRUE(p.Redo());
  EXPECT_EQ(StateOf(p), resized);
  ExpectCountersMatch({&p});
}

struct ExtendCase {
  const char* name;
  int sx1, sy1, sx2, sy2;  // the step (sx1 = -1: whole image)
  int dx1, dy1, dx2, dy2;  // the dirty rectangle
  int left, top, right, bottom;  // the step after; right < left: dropped
};

const ExtendCase kExtendCases[] = {
    {"whole image cut to the dirty rectangle", -1, 0, 0, 0, 12, 3, 40, 20, 12, 3, 40, 20},
    {"part of the image intersected with its own rectangle", 10, 10, 40, 30, 0, 0, 20, 20, 10, 10, 20, 20},
    {"dirty rectangle past the picture", 33, 7, 69, 44, 50, 30, 500, 500, 50, 30, 69, 44},
    {"same rectangle keeps the step", 10, 10, 40, 30, 10, 10, 40, 30, 10, 10, 40, 30},
    {"dirty rectangle outside the step drops it", 10, 10, 40, 30, 50, 35, 60, 40, 0, 0, -1, -1},
    {"empty dirty rectangle drops it", -1, 0, 0, 0, 65535, 65535, -1, -1, 0, 0, -1, -1},
};

TEST_P(UndoRunTest, ExtendUndoNarrowsTheStepToItsPartOfTheDirtyRectangle) {
  UseMemoryBudget(GetParam());
  for (const ExtendCase& c : kExtendCases) {
    SCOPED_TRACE(c.name);
    MakePicture(p, 70, 45, 5);
    ASSERT_TRUE(p.PushUndo("Older", nullptr, 0, 0, 3, 3));
    const PictureState before = StateOf(p);
    ASSERT_TRUE(p.PushUndo("Pen", nullptr, c.sx1, c.sy1, c.sx2, c.sy2));
    const int dirtyLeft = std::max(c.dx1, 0), dirtyTop = std::max(c.dy1, 0);
    PaintRect(p, std::max(dirtyLeft, c.sx1 < 0 ? 0 : c.sx1), std::max(dirtyTop, c.sy1),
              c.sx1 < 0 ? c.dx2 : std::min(c.dx2, c.sx2), c.sx1 < 0 ? c.dy2 : std::min(c.dy2, c.sy2), 9);
    p.ExtendUndo(c.dx1, c.dy1, c.dx2, c.dy2);
    ExpectCountersMatch({&p});
    if (c.right < c.left) {
      ASSERT_EQ(Steps(p.UndoChain).size(), 1u);
      EXPECT_EQ(p.UndoChain->Description, "Older");
    } else {
      ASSERT_EQ(Steps(p.UndoChain).size(), 2u);
      UndoEntry* s = p.UndoChain;
      EXPECT_EQ((std::vector<int>{s->Left, s->Top, s->Right, s->Bottom}),
                (std::vector<int>{c.left, c.top, c.right, c.bottom}));
      EXPECT_FALSE(s->WholeImage);
      EXPECT_EQ(s->OnDisk, GetParam() == 0);
      ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
      EXPECT_EQ(StateOf(p), before);
    }
    p.FreeUndo();
    p.FreeRedo();
    if (GetParam() == 0) {
      EXPECT_TRUE(SwapFiles().empty());
    }
  }
}

// A deferred step (the pens' press) holds only the rows kept before they changed, yet every
// use of it sees the picture as it was when it opened: undone, taken back, narrowed, read by
// CopyFromUndo, swapped out, or under a newer step. The picture spans several bands of rows.
struct DeferredCase {
  const char* name;
  void (*use)(UDBuffer& p);  // after rows 70..80 and 190..199 were kept and changed
};

void PaintKeptRows(UDBuffer& p, int y1, int y2, unsigned seed) {
  p.KeepRowsForUndo(y1, y2);
  PaintRect(p, 0, y1, p.Width() - 1, y2, seed);
}

const DeferredCase kDeferredCases[] = {
    {"undone with Edit/Undo", [](UDBuffer& p) { ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep)); }},
    {"taken back", [](UDBuffer& p) { ASSERT_TRUE(p.Undo()); }},
    {"narrowed to the changed rows",
     [](UDBuffer& p) {
       p.ExtendUndo(0, 70, p.Width() - 1, 199);
       ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
     }},
    {"narrowed to the whole picture",
     [](UDBuffer& p) {
       p.ExtendUndo(0, 0, p.Width() - 1, p.Height() - 1);
       ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
     }},
    {"under a newer step",
     [](UDBuffer& p) {
       ASSERT_TRUE(p.PushUndo("Box", nullptr, 0, 100, 20, 150));
       PaintRect(p, 0, 100, 20, 150, 9);
       ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
       ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
     }},
    {"swapped out",
     [](UDBuffer& p) {
       Settings.UndoMem = 0;
       MakeUndoMemory(p, 1, ProtectNewest::No);
       ASSERT_TRUE(p.UndoChain->OnDisk);
       ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
     }},
    {"read by CopyFromUndo",
     [](UDBuffer& p) {
       UDBuffer old;
       ASSERT_TRUE(p.CopyFromUndo(old, 0, 0, p.Width() - 1, p.Height() - 1));
       p.FreeUndo();
       static_cast<Buffer&>(p) = static_cast<Buffer&>(old);
       p.Mask = old.Mask;
       p.ChangeCount = 0;
       p.UpdateSelectionBounds();
     }},
};

TEST_P(UndoRunTest, ADeferredStepGivesBackThePictureAsItWasOpened) {
  for (const DeferredCase& c : kDeferredCases) {
    SCOPED_TRACE(c.name);
    UseMemoryBudget(GetParam());
    UDBuffer q;
    MakePicture(q, 50, 200, 4);
    q.UpdateSelectionBounds();
    const PictureState before = StateOf(q);
    ASSERT_TRUE(q.PushDeferredUndo("Pen"));
    // In memory nothing is copied yet; a step into a swap file is copied whole at once.
    EXPECT_EQ(q.UndoChain->PendingBands.size(), GetParam() == 0 ? 0u : 4u);
    PaintKeptRows(q, 70, 80, 5);
    PaintKeptRows(q, 190, 199, 6);
    c.use(q);
    EXPECT_EQ(StateOf(q), before);
    ExpectCountersMatch({&q});
    EXPECT_TRUE(Messages().empty());
    q.FreeUndo();
    q.FreeRedo();
  }
}

// A large deferred step narrowed at a stroke's end keeps its own memory instead of a fresh
// copy, and so do Undo and Redo of it; it still gives back the picture, pixels and mask, as it was when it opened, from the
// rows kept before they changed and from those the stroke never reached.
TEST_F(UndoTest, ALargeStepIsNarrowedWithinItsOwnMemory) {
  UDBuffer q;
  MakePicture(q, 2048, 1100, 8);
  const PictureState before = StateOf(q);
  ASSERT_TRUE(q.PushDeferredUndo("Pen"));
  const uint* block = q.UndoChain->Saved.pixels;
  q.KeepRowsForUndo(300, 310);
  PaintRect(q, 100, 300, 1500, 310, 5);
  q.KeepRowsForUndo(990, 1000);
  PaintRect(q, 100, 990, 1500, 1000, 6);
  q.ExtendUndo(100, 300, 1500, 1000);
  ASSERT_NE(q.UndoChain, nullptr);
  EXPECT_EQ(q.UndoChain->Saved.pixels, block);
  EXPECT_EQ(q.UndoChain->Saved.Width(), 1401);
  EXPECT_EQ(q.UndoChain->Saved.Height(), 701);
  ExpectCountersMatch({&q});
  const PictureState painted = StateOf(q);
  // Undo and Redo trade the step's pixels with the picture's, in the same memory.
  ASSERT_TRUE(q.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_EQ(StateOf(q), before);
  ASSERT_NE(q.RedoChain, nullptr);
  EXPECT_EQ(q.RedoChain->Saved.pixels, block);
  ExpectCountersMatch({&q});
  ASSERT_TRUE(q.Redo());
  EXPECT_EQ(StateOf(q), painted);
  ASSERT_NE(q.UndoChain, nullptr);
  EXPECT_EQ(q.UndoChain->Saved.pixels, block);
  ExpectCountersMatch({&q});
  q.FreeUndo();
  q.FreeRedo();
}

INSTANTIATE_TEST_SUITE_P(Budgets, UndoRunTest, ::testing::Values(kNoLimit, 0),
                         [](const auto& info) {
                           return info.param == 0 ? std::string("EveryStepSwapped")
                                                  : std::string("InMemory");
                         });

// ---- budgets ----

TEST_F(UndoTest, AMemoryBudgetOfZeroPutsEveryStepInAPrivateSwapFolder) {
  UseMemoryBudget(0);
  ASSERT_TRUE(p.PushUndo("Box", nullptr, 1, 1, 20, 20));
  UndoEntry* s = p.UndoChain;
  ASSERT_TRUE(s->OnDisk);
  EXPECT_EQ(s->Saved.pixels, nullptr);
  const std::string folder = UndoSwapFolderPath();
  EXPECT_EQ(folder.rfind(home.Path() + "/", 0), 0u) << folder;
  struct stat st;
  ASSERT_EQ(lstat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ASSERT_EQ(lstat(s->SwapFile.c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(st.st_size, SwapFileBytes(20, 20));
  const std::string file = s->SwapFile;
  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Skip));
  EXPECT_NE(access(file.c_str(), F_OK), 0);  // the step's file goes with it
  RemoveUndoSwapFolder();
  EXPECT_NE(access(folder.c_str(), F_OK), 0);
}

TEST_F(UndoTest, ASmallDiskBudgetDeletesTheOldestSwappedStepsNeverTheNewest) {
  UseMemoryBudget(0);
  const std::int64_t step = UndoSizeKB(21, 21);
  Settings.UndoDisk = 3 * step;
  std::vector<PictureState> states;
  for (int i = 0; i < 6; ++i) {
    states.push_back(StateOf(p));
    ASSERT_TRUE(p.PushUndo("Box", nullptr, i * 5, i * 3, i * 5 + 20, i * 3 + 20));
    PaintRect(p, i * 5, i * 3, i * 5 + 20, i * 3 + 20, 50 + i);
    EXPECT_LE(p.UndoDiskKB, 3 * step);
    EXPECT_EQ(p.UndoChain->Left, i * 5);  // the newest is always kept
    ExpectCountersMatch({&p});
  }
  EXPECT_EQ(Steps(p.UndoChain).size(), 3u);
  EXPECT_EQ(SwapFiles().size(), 3u);
  // Under a budget of nothing the newest step still stays: the one there while the new step
  // is made, then the new one.
  Settings.UndoDisk = 0;
  ASSERT_TRUE(p.PushUndo("Box", nullptr, 0, 0, 20, 20));
  EXPECT_EQ(Steps(p.UndoChain).size(), 2u);
  EXPECT_EQ(MakeUndoDisk(p, 0), step);
  EXPECT_EQ(Steps(p.UndoChain).size(), 1u);
  ExpectCountersMatch({&p});
  Settings.UndoDisk = 3 * step;
  p.FreeUndo();
  MakePicture(p, 70, 45, 1);
  for (int i = 0; i < 6; ++i) {
    ASSERT_TRUE(p.PushUndo("Box", nullptr, i * 5, i * 3, i * 5 + 20, i * 3 + 20));
    PaintRect(p, i * 5, i * 3, i * 5 + 20, i * 3 + 20, 50 + i);
  }
  // The three kept steps undo exactly.
  for (int i = 5; i >= 3; --i) {
    ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Skip));
    EXPECT_EQ(StateOf(p), states[static_cast<std::size_t>(i)]);
  }
}

// Budgets and use are signed: a budget set below what is in use makes room for the
// difference instead of wrapping round to a huge room.
TEST_F(UndoTest, ABudgetBelowTheUseSwapsAndDeletesDownToIt) {
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(p.PushUndo("Box", nullptr, 0, i * 10, 40, i * 10 + 9));
  const std::int64_t step = UndoSizeKB(41, 10);
  EXPECT_EQ(p.UndoMemKB, 3 * step);
  Settings.UndoMem = 1;
  EXPECT_EQ(MakeUndoMemory(p, 0, ProtectNewest::No), 0);
  EXPECT_EQ(p.UndoMemKB, 0);
  EXPECT_EQ(p.UndoDiskKB, 3 * step);
  Settings.UndoDisk = step;
  EXPECT_EQ(MakeUndoDisk(p, 0), 0);
  EXPECT_EQ(Steps(p.UndoChain).size(), 1u);
  ExpectCountersMatch({&p});
  Settings.UndoDisk = 0;
  EXPECT_EQ(MakeUndoDisk(p, 0), step);  // only the protected newest is left: never below 0
  EXPECT_EQ(MakeUndoMemory(p, -5, ProtectNewest::No), 0);
}

// Redo steps take memory and disk as undo steps do: they count against both budgets.
TEST_F(UndoTest, RedoStepsCountAgainstTheBudgets) {
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(p.PushUndo("Box", nullptr, 0, i * 10, 40, i * 10 + 9));
  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
  const std::int64_t step = UndoSizeKB(41, 10);
  EXPECT_EQ(p.RedoMemKB, 2 * step);
  Settings.UndoMem = step;
  EXPECT_EQ(MakeUndoMemory(p, 0, ProtectNewest::No), 0);
  EXPECT_EQ(p.RedoMemKB, step);
  EXPECT_EQ(p.RedoDiskKB, step);
  Settings.UndoDisk = 0;
  EXPECT_EQ(MakeUndoDisk(p, 0), 0);  // the older redo step, not the chain's newest
  EXPECT_EQ(Steps(p.RedoChain).size(), 1u);
  ExpectCountersMatch({&p});
}

// A rectangle wholly outside the picture opens an empty step, so that the operation's
// ExtendUndo drops its own step and never narrows an older one.
TEST_F(UndoTest, AStepOutsideThePictureIsEmptyAndNarrowingDropsIt) {
  ASSERT_TRUE(p.PushUndo("Older", nullptr, 0, 0, 9, 9));
  ASSERT_TRUE(p.PushUndo("Box", nullptr, 100, 100, 120, 120));
  EXPECT_EQ(p.UndoChain->SizeKB(), 0);
  EXPECT_EQ(UndoStepWidth(p), 0);
  p.ExtendUndo(0, 0, 5, 5);
  ASSERT_EQ(Steps(p.UndoChain).size(), 1u);
  EXPECT_EQ(p.UndoChain->Description, "Older");
  EXPECT_EQ(UndoStepWidth(p), 10);
  ExpectCountersMatch({&p});
}

TEST_F(UndoTest, ASwappedStepWaitsWhenTheDiskBudgetIsFull) {
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(p.PushUndo("Box", nullptr, 0, 0, 40, 20));
  Settings.UndoMem = 0;
  Settings.UndoDisk = 0;
  EXPECT_GT(MakeUndoMemory(p, 0, ProtectNewest::No), 0);
  for (UndoEntry* s : Steps(p.UndoChain)) EXPECT_FALSE(s->OnDisk);
  ExpectCountersMatch({&p});
}

// ---- failures ----

struct Damage {
  const char* name;
  void (*apply)(const std::string& path, const std::string& otherFile);
};

void Truncate(const std::string& path, const std::string&) {
  ASSERT_EQ(truncate(path.c_str(), SwapFileBytes(20, 20) - 1), 0);
}
void Lengthen(const std::string& path, const std::string&) {
  std::ofstream(path, std::ios::app | std::ios::binary) << 'x';
}
void Remove(const std::string& path, const std::string&) { ASSERT_EQ(unlink(path.c_str()), 0); }
// A header whose size disagrees with the step, the file's length still that of the step.
void ForeignHeader(const std::string& path, const std::string&) {
  std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
  const char header[8] = {10, 0, 0, 0, 40, 0, 0, 0};
  f.write(header, 8);
}
// Another step's file in its place.
void OtherStepsFile(const std::string& path, const std::string& other) {
  ASSERT_EQ(rename(other.c_str(), path.c_str()), 0);
}

const Damage kDamages[] = {
    {"deleted", Remove},
    {"truncated", Truncate},
    {"lengthened", Lengthen},
    {"header of another size", ForeignHeader},
    {"another step's file", OtherStepsFile},
};

TEST_F(UndoTest, AnUnreadableSwapFileLeavesPictureAndHistoryAsTheyWere) {
  UseMemoryBudget(0);
  for (const Damage& d : kDamages) {
    SCOPED_TRACE(d.name);
    MakePicture(p, 70, 45, 2);
    ASSERT_TRUE(p.PushUndo("Other", nullptr, 0, 0, 9, 29));
    ASSERT_TRUE(p.PushUndo("Box", nullptr, 5, 5, 24, 24));
    PaintRect(p, 5, 5, 24, 24, 8);
    const std::string other = p.UndoChain->Next->SwapFile;
    d.apply(p.UndoChain->SwapFile, other);
    if (d.apply == OtherStepsFile) p.UndoChain->Next->SwapFile.clear();  // its file moved
    const PictureState before = StateOf(p);
    const std::vector<UndoEntry*> undo = Steps(p.UndoChain);
    const std::size_t shown = Messages().size();
    EXPECT_FALSE(p.Undo(UDBuffer::RedoRecord::Keep));
    ASSERT_EQ(Messages().size(), shown + 1);
    EXPECT_EQ(Messages().back(), LangMessage("UndoFileErr"));
    EXPECT_EQ(StateOf(p), before);
    EXPECT_EQ(Steps(p.UndoChain), undo);
    EXPECT_EQ(p.RedoChain, nullptr);
    ExpectCountersMatch({&p});
    p.FreeUndo();
    EXPECT_TRUE(SwapFiles().empty());
  }
}

// With the clock standing still every new swap file is first offered the name of a deleted
// one; the step must still be found missing, in both directions.
TEST_F(UndoTest, ADeletedSwapFileIsFoundMissingWhenItsNameIsTakenAgain) {
  UseMemoryBudget(0);
  SetManualClock(true);
  struct ClockBack {
    ~ClockBack() { SetManualClock(false); }
  } clockBack;
  for (const bool redo : {false, true}) {
    SCOPED_TRACE(redo ? "redo" : "undo");
    MakePicture(p, 70, 45, 2);
    ASSERT_TRUE(p.PushUndo("Box", nullptr, 5, 5, 24, 24));
    PaintRect(p, 5, 5, 24, 24, 8);
    if (redo) {
      ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
    }
    UndoEntry* step = redo ? p.RedoChain : p.UndoChain;
    ASSERT_TRUE(step->OnDisk);
    Remove(step->SwapFile, "");
    const PictureState before = StateOf(p);
    EXPECT_FALSE(redo ? p.Redo() : p.Undo(UDBuffer::RedoRecord::Keep));
    EXPECT_EQ(Messages().back(), LangMessage("UndoFileErr"));
    EXPECT_EQ(StateOf(p), before);
    EXPECT_EQ(redo ? p.RedoChain : p.UndoChain, step);
    ExpectCountersMatch({&p});
    p.FreeUndo();
    p.FreeRedo();
    EXPECT_TRUE(SwapFiles().empty());
  }
}

TEST_F(UndoTest, AnUnreadableRedoFileLeavesPictureAndHistoryAsTheyWere) {
  UseMemoryBudget(0);
  ASSERT_TRUE(p.PushUndo("Box", nullptr, 5, 5, 24, 24));
  PaintRect(p, 5, 5, 24, 24, 8);
  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
  Truncate(p.RedoChain->SwapFile, "");
  const PictureState before = StateOf(p);
  UndoEntry* redo = p.RedoChain;
  EXPECT_FALSE(p.Redo());
  EXPECT_EQ(Messages().back(), LangMessage("UndoFileErr"));
  EXPECT_EQ(StateOf(p), before);
  EXPECT_EQ(Steps(p.RedoChain), std::vector<UndoEntry*>{redo});
  EXPECT_EQ(p.UndoChain, nullptr);
  ExpectCountersMatch({&p});
  EXPECT_EQ(SwapFiles().size(), 1u);
}


// The picture a whole-image step comes back into is made before the old one is let go.
TEST_F(UndoTest, NoMemoryToRestoreKeepsPictureAndHistory) {
  UseMemoryBudget(0);
  ASSERT_TRUE(p.PushUndo("Resize"));
  MakePicture(p, 30, 30, 4);
  const PictureState before = StateOf(p);
  UndoEntry* step = p.UndoChain;
  {
    FailingAllocator noMemory;
    EXPECT_FALSE(p.Undo(UDBuffer::RedoRecord::Keep));
  }
  EXPECT_EQ(Messages().back(), LangMessage("NoMem"));
  EXPECT_EQ(StateOf(p), before);
  EXPECT_EQ(Steps(p.UndoChain), std::vector<UndoEntry*>{step});
  EXPECT_EQ(p.RedoChain, nullptr);
  ExpectCountersMatch({&p});
  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_EQ(p.Width(), 70);
}

// A whole-image step in memory changes hands with the present state: Undo and Redo copy no
// pixels and need no new memory, and the states come back bit for bit.
TEST_F(UndoTest, AWholeImageStepInMemoryIsExchangedWithoutACopy) {
  const PictureState before = StateOf(p);
  ASSERT_TRUE(p.PushUndo("Resize"));
  MakePicture(p, 90, 33, 12);
  p.ChangeCount = before.changeCount + 1;
  const PictureState after = StateOf(p);
  uint* const present = p.pixels;
  uint* const saved = p.UndoChain->Saved.pixels;
  {
    FailingAllocator noMemory;
    ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
    EXPECT_EQ(p.pixels, saved);
    ASSERT_NE(p.RedoChain, nullptr);
    EXPECT_EQ(p.RedoChain->Saved.pixels, present);
    EXPECT_EQ(StateOf(p), before);
    ExpectCountersMatch({&p});
    ASSERT_TRUE(p.Redo());
  }
  EXPECT_EQ(p.pixels, present);
  EXPECT_EQ(StateOf(p), after);
  EXPECT_EQ(p.RedoChain, nullptr);
  ExpectCountersMatch({&p});
  EXPECT_TRUE(Messages().empty());
}

// The present state handed over to a redo step still fits the memory budget: a larger picture
// than the step's swaps older steps out as a copied one would.
TEST_F(UndoTest, AHandOverToALargerPictureKeepsTheMemoryBudget) {
  ASSERT_TRUE(p.PushUndo("Box", nullptr, 0, 0, 29, 29));
  PaintRect(p, 0, 0, 29, 29, 3);
  ASSERT_TRUE(p.PushUndo("Resize"));
  MakePicture(p, 140, 90, 5);
  const PictureState larger = StateOf(p);
  UseMemoryBudget(p.UndoMemKB + UndoSizeKB(140, 90) - UndoSizeKB(70, 45) - 1);
  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_LE(p.UndoMemKB + p.RedoMemKB, Settings.UndoMem);
  ASSERT_NE(p.UndoChain, nullptr);
  EXPECT_TRUE(p.UndoChain->OnDisk);
  ExpectCountersMatch({&p});
  ASSERT_TRUE(p.Redo());
  EXPECT_EQ(StateOf(p), larger);
  ExpectCountersMatch({&p});
}

// Memory that runs out within the budget does not cost the step: it goes to the swap file,
// which needs a row at a time, and comes back as any other.
TEST_F(UndoTest, AStepThatFindsNoMemoryGoesToTheSwapFile) {
  const PictureState before = StateOf(p);
  {
    FailingAllocator noMemory;
    ASSERT_TRUE(p.PushUndo("Box", nullptr, 0, 0, 9, 9));
  }
  EXPECT_TRUE(Messages().empty());
  ASSERT_NE(p.UndoChain, nullptr);
  EXPECT_TRUE(p.UndoChain->OnDisk);
  EXPECT_EQ(SwapFiles().size(), 1u);
  ExpectCountersMatch({&p});
  PaintRect(p, 0, 0, 9, 9, 3);
  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_EQ(StateOf(p), before);
}

// Neither memory nor room on the disk: the step is refused and nothing else changes.
TEST_F(UndoTest, AStepThatCannotBeMadeKeepsTheRedoChain) {
  ASSERT_TRUE(p.PushUndo("Box", nullptr, 0, 0, 9, 9));
  PaintRect(p, 0, 0, 9, 9, 3);
  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
  const PictureState before = StateOf(p);
  UndoEntry* redo = p.RedoChain;
  Settings.UndoDisk = 0;
  {
    FailingAllocator noMemory;
    EXPECT_FALSE(p.PushUndo("Box", nullptr, 0, 0, 9, 9));
  }
  EXPECT_EQ(Messages().back(), LangMessage("NoMem"));
  EXPECT_EQ(Steps(p.RedoChain), std::vector<UndoEntry*>{redo});
  EXPECT_EQ(p.UndoChain, nullptr);
  EXPECT_EQ(StateOf(p), before);
  ExpectCountersMatch({&p});
}

// Tests run as root, where permission bits stop nothing: the undo folder is made unusable by
// being a file.
TEST_F(UndoTest, AnUnusableUndoFolderFailsTheStepWithAMessageAndLosesNothing) {
  UseMemoryBudget(0);
  ASSERT_TRUE(p.PushUndo("Box", nullptr, 0, 0, 9, 9));
  PaintRect(p, 0, 0, 9, 9, 3);
  ASSERT_TRUE(p.PushUndo("Box", nullptr, 10, 10, 19, 19));
  PaintRect(p, 10, 10, 19, 19, 4);
  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
  const PictureState before = StateOf(p);
  const std::vector<UndoEntry*> undo = Steps(p.UndoChain), redo = Steps(p.RedoChain);
  Settings.UndoDir = home.WriteFile("not-a-folder", "x");
  EXPECT_FALSE(p.PushUndo("Box", nullptr, 30, 30, 39, 39));
  EXPECT_EQ(Messages().back(), LangMessage("NoMem"));
  EXPECT_FALSE(p.Undo(UDBuffer::RedoRecord::Keep));  // the redo step it needs has nowhere to go
  EXPECT_FALSE(p.Redo());
  EXPECT_EQ(Messages().size(), 3u);
  EXPECT_EQ(StateOf(p), before);
  EXPECT_EQ(Steps(p.UndoChain), undo);
  EXPECT_EQ(Steps(p.RedoChain), redo);
  ExpectCountersMatch({&p});
}

// A full disk, as the file-size limit makes every write past it fail.
TEST_F(UndoTest, AFullDiskFailsTheNewStepAndKeepsSwappedOutStepsInMemory) {
  ASSERT_TRUE(p.PushUndo("Box", nullptr, 0, 0, 40, 30));
  PaintRect(p, 0, 0, 40, 30, 3);
  const PictureState before = StateOf(p);
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 2048;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  UseMemoryBudget(0);
  const bool pushed = p.PushUndo("Box", nullptr, 0, 0, 69, 44);
  const std::int64_t missing = MakeUndoMemory(p, 0, ProtectNewest::No);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(pushed);
  EXPECT_EQ(Messages().back(), LangMessage("NoMem"));
  EXPECT_GT(missing, 0);
  ASSERT_EQ(Steps(p.UndoChain).size(), 1u);
  EXPECT_FALSE(p.UndoChain->OnDisk);
  EXPECT_TRUE(SwapFiles().empty());
  EXPECT_EQ(StateOf(p), before);
  ExpectCountersMatch({&p});
  UseMemoryBudget(kNoLimit);
  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
}

TEST_F(UndoTest, ALinkPlantedUnderTheNextNameIsNotFollowed) {
  UseMemoryBudget(0);
  const std::string folder = UndoSwapFolderPath();
  const std::string target = home.WriteFile("precious.txt", "keep me");
  const std::string planted = folder + "/QL" + std::to_string(GetTickCount());
  ASSERT_EQ(symlink(target.c_str(), planted.c_str()), 0);
  ASSERT_TRUE(p.PushUndo("Box", nullptr, 0, 0, 20, 20));
  EXPECT_EQ(FileContents(target), "keep me");
  EXPECT_NE(p.UndoChain->SwapFile, planted);
  struct stat st;
  ASSERT_EQ(lstat(p.UndoChain->SwapFile.c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  ASSERT_EQ(lstat(planted.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

// ---- moving the swap files ----

TEST_F(UndoTest, MovingTheUndoFolderTakesEverySwappedStepAlong) {
  UseMemoryBudget(0);
  std::vector<PictureState> states;
  for (int i = 0; i < 3; ++i) {
    states.push_back(StateOf(p));
    ASSERT_TRUE(p.PushUndo("Box", nullptr, i * 7, i * 4, i * 7 + 30, i * 4 + 20));
    PaintRect(p, i * 7, i * 4, i * 7 + 30, i * 4 + 20, 60 + i);
  }
  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
  const std::string oldFolder = UndoSwapFolderPath();
  const std::string newDir = home.Path() + "/elsewhere";
  ASSERT_EQ(mkdir(newDir.c_str(), 0755), 0);
  Settings.UndoDir = newDir;
  MoveUndoFiles(p);
  for (UndoEntry* s : Steps(p.UndoChain)) EXPECT_EQ(s->SwapFile.rfind(newDir + "/", 0), 0u);
  EXPECT_EQ(p.RedoChain->SwapFile.rfind(newDir + "/", 0), 0u);
  EXPECT_NE(access(oldFolder.c_str(), F_OK), 0);  // emptied and removed
  ExpectCountersMatch({&p});
  for (int i = 1; i >= 0; --i) {
    ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
    EXPECT_EQ(StateOf(p), states[static_cast<std::size_t>(i)]);
  }
}

// Across file systems a move is a copy, synced, and the original deleted.
TEST_F(UndoTest, MovingTheUndoFolderToAnotherFileSystemCopiesTheFiles) {
  struct stat here {}, there {};
  char pattern[] = "/dev/shm/quillo-undo-test-XXXXXX";
  if (stat(home.Path().c_str(), &here) != 0 || stat("/dev/shm", &there) != 0 ||
      here.st_dev == there.st_dev || mkdtemp(pattern) == nullptr)
    GTEST_SKIP() << "no second file system at /dev/shm";
  const std::string newDir = pattern;
  UseMemoryBudget(0);
  const PictureState before = StateOf(p);
  ASSERT_TRUE(p.PushUndo("Box", nullptr, 3, 4, 50, 40));
  PaintRect(p, 3, 4, 50, 40, 70);
  const std::string oldFile = p.UndoChain->SwapFile;
  Settings.UndoDir = newDir;
  MoveUndoFiles(p);
  EXPECT_EQ(p.UndoChain->SwapFile.rfind(newDir + "/", 0), 0u);
  EXPECT_NE(access(oldFile.c_str(), F_OK), 0);
  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_EQ(StateOf(p), before);
  p.FreeRedo();
  RemoveUndoSwapFolder();
  EXPECT_EQ(rmdir(newDir.c_str()), 0);  // nothing left behind in it
}

TEST_F(UndoTest, AStepWhoseFileCannotBeMovedGoesWithEveryOlderStep) {
  UseMemoryBudget(0);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(p.PushUndo("Box", nullptr, i, i, 20, 20));
  const std::vector<UndoEntry*> steps = Steps(p.UndoChain);
  ASSERT_EQ(unlink(steps[1]->SwapFile.c_str()), 0);
  const std::string newDir = home.Path() + "/elsewhere";
  ASSERT_EQ(mkdir(newDir.c_str(), 0755), 0);
  Settings.UndoDir = newDir;
  MoveUndoFiles(p);
  EXPECT_EQ(Steps(p.UndoChain), std::vector<UndoEntry*>{steps[0]});
  ExpectCountersMatch({&p});
}

// ---- the brush ----

// The brush keeps its own history, and each step the brush state it had.
TEST_F(UndoTest, TheBrushTakesBackItsPixelsAndItsState) {
  const BrushStateBlock savedState = BrushState;
  for (std::int64_t budget : {kNoLimit, std::int64_t{0}}) {
    UseMemoryBudget(budget);
    MakePicture(Brush, 9, 7, 21);
    BrushState.Mode = BrushModeColor;
    BrushState.HandleMode = HandleRightTop;
    BrushState.PositionX = 12;
    const PictureState before = StateOf(Brush);
    ASSERT_TRUE(Brush.PushUndo("Brush"));
    MakePicture(Brush, 4, 3, 22);
    BrushState.Mode = BrushModeReplace;
    BrushState.HandleMode = HandleCentre;
    const PictureState after = StateOf(Brush);
    ASSERT_TRUE(Brush.Undo(UDBuffer::RedoRecord::Keep));
    EXPECT_EQ(StateOf(Brush), before);
    EXPECT_EQ(BrushState.Mode, BrushModeColor);
    EXPECT_EQ(BrushState.HandleMode, HandleRightTop);
    EXPECT_EQ(BrushState.PositionX, 12);
    EXPECT_EQ(BrushShape.Width(), 9);
    EXPECT_EQ(BrushShape.Height(), 7);
    ASSERT_TRUE(Brush.Redo());
    EXPECT_EQ(StateOf(Brush), after);
    EXPECT_EQ(BrushState.Mode, BrushModeReplace);
    EXPECT_EQ(BrushShape.Width(), 4);
    ExpectCountersMatch({&p, &Brush});
    Brush.FreeUndo();
    Brush.FreeRedo();
  }
  Brush.Free();
  BrushShape.Free();
  BrushState = savedState;
  EXPECT_TRUE(Messages().empty());
}

// ---- reading back for tools ----

TEST_F(UndoTest, CopyFromUndoGivesTheOldPixelsAndRepeatsTheEdges) {
  for (std::int64_t budget : {kNoLimit, std::int64_t{0}}) {
    UseMemoryBudget(budget);
    MakePicture(p, 70, 45, 6);
    const PictureState old = StateOf(p);
    ASSERT_TRUE(p.PushUndo("Box", nullptr, 10, 10, 29, 19));
    PaintRect(p, 0, 0, 69, 44, 7);
    UDBuffer out;
    ASSERT_TRUE(p.CopyFromUndo(out, 5, 8, 34, 25));
    ASSERT_EQ(out.Width(), 30);
    ASSERT_EQ(out.Height(), 18);
    for (int y = 0; y < 18; ++y)
      for (int x = 0; x < 30; ++x) {
        const int sx = std::clamp(x + 5, 10, 29), sy = std::clamp(y + 8, 10, 19);
        ASSERT_EQ(*out.At(x, y), old.pixels[static_cast<std::size_t>(sy * 70 + sx)]) << x << "," << y;
        ASSERT_EQ(out.IsSelected(x, y), old.mask[static_cast<std::size_t>(sy * 70 + sx)]) << x << "," << y;
      }
    p.FreeUndo();
  }
}

}  // namespace
