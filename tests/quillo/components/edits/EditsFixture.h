#pragma once
// What the edit-control tests share: a shown form on a fresh desktop, and screen points of
// a control's client area for the UI driver.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "../ComponentFixture.h"
#include "platform/rtl/Clock.h"
#include "platform/user/Desktop.h"
#include "platform/vcl/Form.h"

namespace edits_testing {

class EditsTest : public ComponentTest {
protected:
  void SetUp() override {
    form = NewComponent<TForm>(Application());
    form->SetName("EditsForm");
    form->SetBounds(100, 80, 420, 320);
  }
  void ShowForm() {
    form->Show();
    ui.RunUntilIdle();
  }
  static POINT At(TControl* c, int x, int y) {
    TPoint p = c->ClientToScreen(TPoint(x, y));
    return POINT{p.x, p.y};
  }
  void ClickAt(TControl* c, int x, int y) {
    POINT p = At(c, x, y);
    ui.Click(p.x, p.y);
  }

  TForm* form = nullptr;
};

}  // namespace edits_testing
