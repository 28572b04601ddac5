#include <gtest/gtest.h>

#include "platform/user/WinConst.h"
#include "platform/user/WindowRegistry.h"

namespace {

std::shared_ptr<WindowClass> Class(const char* name) {
  auto cls = std::make_shared<WindowClass>();
  cls->name = name;
  return cls;
}

// Classes are found by name whatever its case, or by atom; a taken name is refused.
TEST(WindowRegistry, ClassesByNameAndAtom) {
  WindowRegistry registry;
  ATOM atom = registry.AddClass(Class("PaintBox"));
  ASSERT_NE(atom, 0);
  EXPECT_EQ(registry.AddClass(Class("PAINTBOX")), 0);
  EXPECT_EQ(registry.FindClass("paintbox")->name, "PaintBox");
  EXPECT_EQ(registry.FindClass(MAKEINTRESOURCE(atom))->name, "PaintBox");
  registry.RemoveClass("PAINTBOX");
  EXPECT_EQ(registry.FindClass("PaintBox"), nullptr);
  EXPECT_EQ(registry.FindClass(MAKEINTRESOURCE(atom)), nullptr);
}

// A buried window is no longer live, and what it owned is no longer listed once its
// owner is forgotten.
TEST(WindowRegistry, BuriedWindowsAreNotLive) {
  WindowRegistry registry;
  auto cls = Class("Box");
  auto owner = std::make_unique<WindowObject>();
  auto owned = std::make_unique<WindowObject>();
  HWND ownerHandle = owner.get(), ownedHandle = owned.get();
  owner->cls = owned->cls = cls;
  owned->owner = ownerHandle;
  registry.Add(std::move(owner));
  registry.Add(std::move(owned));
  EXPECT_EQ(registry.Live(ownedHandle), ownedHandle);
  EXPECT_EQ(registry.OwnedBy(ownerHandle), std::vector<HWND>{ownedHandle});
  EXPECT_TRUE(registry.AnyOfClass(cls));
  registry.ForgetOwner(ownerHandle);
  EXPECT_TRUE(registry.OwnedBy(ownerHandle).empty());
  registry.Bury(ownerHandle);
  EXPECT_EQ(registry.Live(ownerHandle), nullptr);
  registry.CollectGraveyard();
  registry.End();
  EXPECT_EQ(registry.Live(ownedHandle), nullptr);
  EXPECT_FALSE(registry.AnyOfClass(cls));
}

}  // namespace
