// A handle outlives its object: once the object is gone the handle stays stale, whatever is
// made after it, for windows, menus and GDI objects alike.

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "Recorder.h"
#include "support/UiDriver.h"

namespace {

struct HandleKind {
  std::string name;
  std::function<void*()> make;
  std::function<void(void*)> destroy;
  std::function<bool(void*)> alive;
};

bool LiveGdi(void* h) { return GetObjectType(static_cast<HGDIOBJ>(h)) != 0; }
void DeleteGdi(void* h) { DeleteObject(static_cast<HGDIOBJ>(h)); }

std::vector<HandleKind> Kinds() {
  return {
      {"window",
       [] {
         return static_cast<void*>(CreateWindowEx(0, "HandleKinds", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                                  nullptr, nullptr));
       },
       [](void* h) { DestroyWindow(static_cast<HWND>(h)); }, [](void* h) { return IsWindow(static_cast<HWND>(h)) != 0; }},
      {"menu", [] { return static_cast<void*>(CreatePopupMenu()); },
       [](void* h) { DestroyMenu(static_cast<HMENU>(h)); }, [](void* h) { return IsMenu(static_cast<HMENU>(h)) != 0; }},
      {"brush", [] { return static_cast<void*>(CreateSolidBrush(RGB(1, 2, 3))); }, DeleteGdi, LiveGdi},
      {"bitmap", [] { return static_cast<void*>(CreateBitmap(8, 8, 1, 32, nullptr)); }, DeleteGdi, LiveGdi},
      {"region", [] { return static_cast<void*>(CreateRectRgn(0, 0, 5, 5)); }, DeleteGdi, LiveGdi},
      {"memory dc", [] { return static_cast<void*>(CreateCompatibleDC(nullptr)); },
       [](void* h) { DeleteDC(static_cast<HDC>(h)); }, LiveGdi},
  };
}

TEST(HandleUniqueness, AStaleHandleNeverNamesAnObjectMadeAfterIt) {
  UiDriver ui;
  Recorder rec("HandleKinds");
  constexpr int kRounds = 200;
  for (const HandleKind& kind : Kinds()) {
    std::set<void*> seen;
    for (int round = 0; round < kRounds; ++round) {
      void* old = kind.make();
      ASSERT_NE(old, nullptr) << kind.name;
      kind.destroy(old);
      ui.RunUntilIdle();  // destroyed windows are freed once no message is being sent
      void* fresh = kind.make();
      EXPECT_FALSE(kind.alive(old)) << kind.name << " round " << round;
      EXPECT_TRUE(kind.alive(fresh)) << kind.name;
      seen.insert(old);
      seen.insert(fresh);
      kind.destroy(fresh);
      ui.RunUntilIdle();
    }
    EXPECT_EQ(seen.size(), 2u * kRounds) << kind.name;
  }
}

// Messages meant for a window that has gone reach nothing, not the window made after it.
TEST(HandleUniqueness, MessagesToADestroyedWindowReachNoOther) {
  UiDriver ui;
  Recorder rec("HandleMessages");
  int received = 0;
  rec.OnMessage([&](HWND, UINT m, WPARAM, LPARAM, LRESULT& result) {
    if (m != WM_APP) return false;
    ++received;
    result = 42;
    return true;
  });
  auto make = [] {
    return CreateWindowEx(0, "HandleMessages", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  };
  for (int round = 0; round < 100; ++round) {
    HWND old = make();
    DestroyWindow(old);
    ui.RunUntilIdle();
    HWND fresh = make();
    EXPECT_EQ(SendMessage(old, WM_APP, 0, 0), 0);
    EXPECT_FALSE(PostMessage(old, WM_APP, 0, 0));
    ui.RunUntilIdle();
    EXPECT_EQ(SendMessage(fresh, WM_APP, 0, 0), 42);
    DestroyWindow(fresh);
    ui.RunUntilIdle();
  }
  EXPECT_EQ(received, 100);
}

}  // namespace
