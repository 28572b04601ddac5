// What a maximised MDI child looks like: its caption gone from the client, its title in the
// frame's caption as "Frame - [Child]".

#include <gtest/gtest.h>

#include "MdiDesk.h"

namespace {

std::uint32_t Rgb(int colorIndex) {
  COLORREF c = GetSysColor(colorIndex);
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// A plain window where the frame is, titled as given, shown over it: its caption is what the
// frame's should look like.
std::vector<std::uint32_t> CaptionTitled(MdiDesk& desk, const char* title) {
  WNDCLASS plain;
  plain.lpfnWndProc = DefWindowProc;
  plain.lpszClassName = "MdiCaptionSample";
  RegisterClass(&plain);
  RECT r;
  GetWindowRect(desk.frame, &r);
  HWND sample = CreateWindowEx(0, "MdiCaptionSample", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, r.left, r.top,
                               r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
  desk.ui.RunUntilIdle();
  std::vector<std::uint32_t> pixels = desk.ui.CaptionPixels(sample);
  DestroyWindow(sample);
  UnregisterClass("MdiCaptionSample", nullptr);
  desk.ui.RunUntilIdle();
  return pixels;
}

TEST(MdiLook, AMaximisedChildsTitleJoinsTheFramesCaption) {
  MdiDesk desk;
  HWND child = desk.ChildAt("Child", RECT{0, 0, 300, 200});
  desk.ui.RunUntilIdle();
  POINT onChildCaption = UiDriver::At(desk.client, 150, 10);
  EXPECT_EQ(desk.ui.Pixel(onChildCaption.x, onChildCaption.y), Rgb(COLOR_ACTIVECAPTION));

  SendMessage(desk.client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
  desk.ui.RunUntilIdle();
  EXPECT_EQ(MdiDesk::Text(desk.frame), "Frame - [Child]");
  // The child's caption lies beyond the client's top edge; its client area shows there.
  EXPECT_EQ(desk.ui.Pixel(onChildCaption.x, onChildCaption.y), Rgb(COLOR_WINDOW));
  std::vector<std::uint32_t> merged = desk.ui.CaptionPixels(desk.frame);
  EXPECT_EQ(merged, CaptionTitled(desk, "Frame - [Child]"));

  // A new title for the child, or for the frame, shows in the joined caption.
  SetWindowText(child, "Other");
  EXPECT_EQ(MdiDesk::Text(desk.frame), "Frame - [Other]");
  SetWindowText(desk.frame, "Main");
  EXPECT_EQ(MdiDesk::Text(desk.frame), "Main - [Other]");

  SendMessage(desk.client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
  desk.ui.RunUntilIdle();
  EXPECT_EQ(MdiDesk::Text(desk.frame), "Main");
  std::vector<std::uint32_t> restored = desk.ui.CaptionPixels(desk.frame);
  EXPECT_NE(restored, merged);
  EXPECT_EQ(restored, CaptionTitled(desk, "Main"));
  EXPECT_EQ(desk.ui.Pixel(onChildCaption.x, onChildCaption.y), Rgb(COLOR_ACTIVECAPTION));
}

TEST(MdiLook, TheClientShowsTheWorkspaceColourAroundTheChildren) {
  MdiDesk desk;
  desk.ChildAt("Child", RECT{0, 0, 300, 200});
  desk.ui.RunUntilIdle();
  POINT beside = UiDriver::At(desk.client, 450, 300);
  EXPECT_EQ(desk.ui.Pixel(beside.x, beside.y), Rgb(COLOR_APPWORKSPACE));
}

}  // namespace
