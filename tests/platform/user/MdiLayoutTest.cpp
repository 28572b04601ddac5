// Where tiling, cascading and minimising put MDI children, worked out from the rules: tiles
// cover the client without overlapping, the cascade shows every title bar, icons line up
// along the bottom.

#include <gtest/gtest.h>

#include "MdiDesk.h"
#include "platform/user/WindowArrange.h"

namespace {

using Rects = std::vector<RECT>;

// The client's children as they stand, topmost (the active one) first.
Rects Placed(const MdiDesk& desk) {
  Rects out;
  for (HWND child : desk.ZOrder()) out.push_back(desk.InClient(child));
  return out;
}

void MakeChildren(MdiDesk& desk, int count) {
  for (int i = 0; i < count; ++i)
    desk.ChildAt(std::string(1, static_cast<char>('a' + i)), RECT{10 * i, 5 * i, 10 * i + 250, 5 * i + 150});
}

struct TileCase {
  WPARAM how;
  Rects tiles;  // for the topmost child first
};

// The client is 600 x 400. A line holds floor(sqrt(n)) windows, there are n / that many
// lines, and the last line takes the rest: vertical tiles are columns filled top to bottom,
// horizontal tiles rows filled left to right.
const TileCase kTiles[] = {
    {MDITILE_VERTICAL, {{0, 0, 600, 400}}},
    {MDITILE_VERTICAL, {{0, 0, 300, 400}, {300, 0, 600, 400}}},
    {MDITILE_VERTICAL, {{0, 0, 200, 400}, {200, 0, 400, 400}, {400, 0, 600, 400}}},
    {MDITILE_VERTICAL, {{0, 0, 300, 200}, {0, 200, 300, 400}, {300, 0, 600, 200}, {300, 200, 600, 400}}},
    {MDITILE_VERTICAL,
     {{0, 0, 300, 200}, {0, 200, 300, 400}, {300, 0, 600, 133}, {300, 133, 600, 266}, {300, 266, 600, 400}}},
    {MDITILE_HORIZONTAL, {{0, 0, 600, 400}}},
    {MDITILE_HORIZONTAL, {{0, 0, 600, 200}, {0, 200, 600, 400}}},
    {MDITILE_HORIZONTAL, {{0, 0, 600, 133}, {0, 133, 600, 266}, {0, 266, 600, 400}}},
    {MDITILE_HORIZONTAL, {{0, 0, 300, 200}, {300, 0, 600, 200}, {0, 200, 300, 400}, {300, 200, 600, 400}}},
    {MDITILE_HORIZONTAL,
     {{0, 0, 300, 200}, {300, 0, 600, 200}, {0, 200, 200, 400}, {200, 200, 400, 400}, {400, 200, 600, 400}}},
};

TEST(MdiLayout, TilesForOneToFiveChildren) {
  for (const TileCase& c : kTiles) {
    SCOPED_TRACE(testing::Message() << (c.how == MDITILE_HORIZONTAL ? "horizontal " : "vertical ") << c.tiles.size());
    MdiDesk desk;
    MakeChildren(desk, static_cast<int>(c.tiles.size()));
    HWND active = desk.Active();
    std::vector<HWND> order = desk.ZOrder();
    EXPECT_TRUE(SendMessage(desk.client, WM_MDITILE, c.how, 0));
    EXPECT_EQ(Placed(desk), c.tiles);
    EXPECT_EQ(desk.ZOrder(), order);
    EXPECT_EQ(desk.Active(), active);
  }
}

// Beyond the windows: any number of tiles covers the area exactly once.
TEST(MdiLayout, TilesCoverTheAreaWithoutOverlapping) {
  const RECT area{7, 3, 607, 403};
  for (bool horizontal : {false, true})
    for (int n = 1; n <= 12; ++n) {
      Rects tiles = TileRects(area, n, horizontal);
      ASSERT_EQ(tiles.size(), static_cast<size_t>(n));
      long covered = 0;
      for (size_t i = 0; i < tiles.size(); ++i) {
        RECT inside;
        EXPECT_TRUE(IntersectRect(&inside, &tiles[i], &area) && inside == tiles[i]);
        covered += (tiles[i].right - tiles[i].left) * (tiles[i].bottom - tiles[i].top);
        for (size_t j = 0; j < i; ++j) EXPECT_FALSE(IntersectRect(&inside, &tiles[i], &tiles[j])) << n << " " << i << " " << j;
      }
      EXPECT_EQ(covered, 600L * 400L) << n;
    }
}

TEST(MdiLayout, TilingSkipsDisabledChildrenOnlyWhenAsked) {
  MdiDesk desk;
  MakeChildren(desk, 3);
  std::vector<HWND> order = desk.ZOrder();
  EnableWindow(order[1], FALSE);
  RECT kept = desk.InClient(order[1]);
  SendMessage(desk.client, WM_MDITILE, MDITILE_VERTICAL | MDITILE_SKIPDISABLED, 0);
  EXPECT_EQ(desk.InClient(order[0]), (RECT{0, 0, 300, 400}));
  EXPECT_EQ(desk.InClient(order[1]), kept);
  EXPECT_EQ(desk.InClient(order[2]), (RECT{300, 0, 600, 400}));
  SendMessage(desk.client, WM_MDITILE, MDITILE_VERTICAL, 0);
  EXPECT_EQ(desk.InClient(order[1]), (RECT{200, 0, 400, 400}));
}

TEST(MdiLayout, ArrangingRestoresAMaximisedChild) {
  MdiDesk desk;
  MakeChildren(desk, 2);
  HWND top = desk.Active();
  SendMessage(desk.client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(top), 0);
  SendMessage(desk.client, WM_MDITILE, MDITILE_HORIZONTAL, 0);
  EXPECT_FALSE(IsZoomed(top));
  EXPECT_EQ(Placed(desk), (Rects{{0, 0, 600, 200}, {0, 200, 600, 400}}));
  EXPECT_EQ(MdiDesk::Text(desk.frame), "Frame");
}

// The step is a caption and a frame (19 + 4). Over 600 x 400 the stack takes
// s = 400 / (3 * 23) = 5 steps: every window is (600 - 5 * 23) x (400 - 5 * 23), and window
// k from the bottom sits (k mod 6) steps down and right.
TEST(MdiLayout, CascadeShowsEveryTitleBar) {
  MdiDesk desk;
  MakeChildren(desk, 7);
  std::vector<HWND> order = desk.ZOrder();
  EXPECT_TRUE(SendMessage(desk.client, WM_MDICASCADE, 0, 0));
  EXPECT_EQ(desk.ZOrder(), order);
  const int offsets[] = {0, 23, 46, 69, 92, 115, 0};  // from the bottom of the stack
  for (int k = 0; k < 7; ++k) {
    HWND window = order[order.size() - 1 - k];
    EXPECT_EQ(desk.InClient(window), (RECT{offsets[k], offsets[k], offsets[k] + 485, offsets[k] + 285})) << k;
  }
  // Up to the wrap, each window's left border and title bar stay clear of the one above.
  int frame = GetSystemMetrics(SM_CXFRAME), captionBottom = GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
  for (size_t above = 1; above + 1 < order.size(); ++above) {
    RECT upper = desk.InClient(order[above]), lower = desk.InClient(order[above + 1]);
    EXPECT_LE(lower.top + captionBottom, upper.top);
    EXPECT_LE(lower.left + frame, upper.left);
  }
}

TEST(MdiLayout, NewChildrenContinueTheCascade) {
  MdiDesk desk;
  HWND a = desk.Child("a"), b = desk.Child("b");
  EXPECT_EQ(desk.InClient(a), (RECT{0, 0, 485, 285}));
  EXPECT_EQ(desk.InClient(b), (RECT{23, 23, 508, 308}));
}

// Minimised children are 160 x 27 bars in rows of 600 / 160 = 3 from the bottom left.
TEST(MdiLayout, IconsLineUpAlongTheBottom) {
  MdiDesk desk;
  MakeChildren(desk, 5);
  std::vector<HWND> order = desk.ZOrder();  // e d c b a
  for (int i = 0; i < 4; ++i) ShowWindow(order[i], SW_MINIMIZE);
  EXPECT_EQ(desk.InClient(order[0]), (RECT{0, 373, 160, 400}));
  EXPECT_EQ(desk.InClient(order[1]), (RECT{160, 373, 320, 400}));
  EXPECT_EQ(desk.InClient(order[2]), (RECT{320, 373, 480, 400}));
  EXPECT_EQ(desk.InClient(order[3]), (RECT{0, 346, 160, 373}));
  // A freed place is taken again rather than laid over another icon.
  ShowWindow(order[0], SW_RESTORE);
  ShowWindow(order[4], SW_MINIMIZE);
  EXPECT_EQ(desk.InClient(order[4]), (RECT{0, 373, 160, 400}));
  // Arranging closes the gaps, keeping the icons' order.
  ShowWindow(order[1], SW_RESTORE);
  SendMessage(desk.client, WM_MDIICONARRANGE, 0, 0);
  EXPECT_EQ(desk.InClient(order[4]), (RECT{0, 373, 160, 400}));
  EXPECT_EQ(desk.InClient(order[2]), (RECT{160, 373, 320, 400}));
  EXPECT_EQ(desk.InClient(order[3]), (RECT{320, 373, 480, 400}));
  // Tiles keep clear of the row of icons.
  SendMessage(desk.client, WM_MDITILE, MDITILE_VERTICAL, 0);
  EXPECT_EQ(desk.InClient(order[0]), (RECT{0, 0, 300, 373}));
  EXPECT_EQ(desk.InClient(order[1]), (RECT{300, 0, 600, 373}));
}

TEST(MdiLayout, IconsAndAMaximisedChildFollowTheClientsSize) {
  MdiDesk desk;
  MakeChildren(desk, 2);
  std::vector<HWND> order = desk.ZOrder();
  ShowWindow(order[1], SW_MINIMIZE);
  SendMessage(desk.client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(order[0]), 0);
  RECT frame;
  GetWindowRect(desk.frame, &frame);
  MoveWindow(desk.frame, frame.left, frame.top, frame.right - frame.left - 100, frame.bottom - frame.top - 100, TRUE);
  RECT client;
  GetClientRect(desk.client, &client);
  EXPECT_EQ(client, (RECT{0, 0, 500, 300}));  // the frame's WM_SIZE fits the client
  EXPECT_EQ(desk.InClient(order[1]), (RECT{0, 273, 160, 300}));
  RECT inner;
  GetClientRect(order[0], &inner);
  EXPECT_EQ(inner, client);
}

// Top-level windows minimise into the same kind of free places along the work area's bottom.
TEST(MdiLayout, MinimisedTopLevelWindowsDoNotPileUp) {
  UiDriver ui;
  WNDCLASS plain;
  plain.lpfnWndProc = DefWindowProc;
  plain.lpszClassName = "IconSlotWindow";
  RegisterClass(&plain);
  HWND w[3];
  for (HWND& window : w)
    window = CreateWindowEx(0, "IconSlotWindow", "W", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                            nullptr, nullptr, nullptr);
  ShowWindow(w[0], SW_MINIMIZE);
  ShowWindow(w[1], SW_MINIMIZE);
  ShowWindow(w[0], SW_RESTORE);
  ShowWindow(w[2], SW_MINIMIZE);
  RECT r1, r2;
  GetWindowRect(w[1], &r1);
  GetWindowRect(w[2], &r2);
  EXPECT_EQ(r1, (RECT{160, 773, 320, 800}));
  EXPECT_EQ(r2, (RECT{0, 773, 160, 800}));
  for (HWND window : w) DestroyWindow(window);
  UnregisterClass("IconSlotWindow", nullptr);
}

}  // namespace
