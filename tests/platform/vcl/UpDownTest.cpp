// TUpDown and a descendant that reports only the direction (as a spin edit's button does):
// OnChanging, OnChangingEx and OnClick in their order, the associate, and the overrides a
// descendant relies on.

#include "VclFixture.h"

#include "platform/controls/UpDown.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/TypInfo.h"
#include "platform/vcl/UpDown.h"

namespace {

// Rests at 0 between -1 and 1 and turns each step into a click on one button.
class TDirectionUpDown : public TCustomUpDown {
public:
  explicit TDirectionUpDown(TComponent* owner) : TCustomUpDown(owner) {
    SetOrientation(udVertical);
    SetMin(-1);
    SetMax(1);
    SetPosition(0);
  }
  int DefaultWidth = 15;

  void Dispatch(TMessage& m) override {
    TCustomUpDown::Dispatch(m);
    if (m.Msg == WM_SIZE && GetWidth() != DefaultWidth) SetWidth(DefaultWidth);
  }

protected:
  void CNScroll(TMessage& m) override {
    if (LOWORD(m.WParam) != SB_THUMBPOSITION || reentered_) return;
    reentered_ = true;
    int pos = static_cast<short>(HIWORD(m.WParam));
    if (pos > 0) Click(btNext);
    else if (pos < 0) Click(btPrev);
    if (HandleAllocated()) SendMessage(GetHandle(), UDM_SETPOS, 0, 0);
    reentered_ = false;
  }

private:
  bool reentered_ = false;
};

// Stands for an edit: keeps its text and wants the arrow keys.
class TTextBox : public TSwatch {
public:
  using TSwatch::TSwatch;
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_GETDLGCODE) {
      m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      return;
    }
    TSwatch::Dispatch(m);
  }
};

class TUpDownTest : public VclTest {
protected:
  TUpDownTest() {
    form = NewComponent<TForm>(Application());
    form->SetBounds(50, 50, 400, 300);
  }
  template <class T>
  T* Make() {
    auto* ud = NewComponent<T>(form);
    ud->SetLeft(200);
    ud->SetTop(20);
    ud->SetParent(form);
    ud->OnClick = [this, ud](TObject*, TUDBtnType b) {
      log.push_back(std::string(b == btNext ? "next " : "prev ") + std::to_string(ud->GetPosition()));
    };
    return ud;
  }
  void ClickArrow(TControl* ud, bool up) { ClickOn(ud, ud->GetWidth() / 2, up ? 4 : ud->GetHeight() - 4); }
  TForm* form;
};

TEST_F(TUpDownTest, AClickAsksFirstThenStepsThenTellsWhichButton) {
  auto* ud = Make<TUpDown>();
  ud->SetMin(-8);
  ud->SetMax(32);
  ud->SetPosition(1);
  bool allow = true;
  ud->OnChanging = [&](TObject*, bool& a) {
    log.push_back("changing " + std::to_string(ud->GetPosition()));
    a = allow;
  };
  ud->OnChangingEx = [&](TObject*, bool&, short value, TUpDownDirection direction) {
    log.push_back("changingEx " + std::to_string(value) + " " + std::to_string(direction));
  };
  form->Show();
  ui.RunUntilIdle();
  ClickArrow(ud, true);
  ClickArrow(ud, false);
  ClickArrow(ud, false);
  EXPECT_EQ(log, (std::vector<std::string>{"changing 1", "changingEx 2 1", "next 2", "changing 2", "changingEx 1 2",
                                            "prev 1", "changing 1", "changingEx 0 2", "prev 0"}));
  log.clear();
  allow = false;
  ClickArrow(ud, true);
  EXPECT_EQ(log, (std::vector<std::string>{"changing 0", "changingEx 1 1"})) << "refused: no step, no click";
  EXPECT_EQ(ud->GetPosition(), 0);
  log.clear();
  allow = true;
  ud->SetPosition(32);
  ClickArrow(ud, true);
  EXPECT_EQ(log, (std::vector<std::string>{"changing 32", "changingEx 33 0"})) << "at the end nothing moves";
  EXPECT_EQ(GetOrdProp(ud, "Max"), 32);
  EXPECT_EQ(GetOrdProp(ud, "Position"), 32);
}

TEST_F(TUpDownTest, WrappingClicksStillNameTheButtonPressed) {
  auto* ud = Make<TUpDown>();
  ud->SetMax(3);
  ud->SetWrap(true);
  ud->SetPosition(3);
  form->Show();
  ui.RunUntilIdle();
  ClickArrow(ud, true);
  ClickArrow(ud, false);
  EXPECT_EQ(log, (std::vector<std::string>{"next 0", "prev 3"}));
}

TEST_F(TUpDownTest, TheAssociateShowsThePositionAndTakesTheArrowKeys) {
  auto* buddy = NewComponent<TTextBox>(form);
  buddy->SetBounds(100, 20, 80, 21);
  buddy->SetTabStop(true);
  buddy->SetParent(form);
  auto* ud = Make<TUpDown>();
  ud->SetMax(50);
  ud->SetPosition(7);
  ud->SetAssociate(buddy);
  form->Show();
  ui.RunUntilIdle();
  EXPECT_EQ(buddy->GetText(), "7");
  EXPECT_EQ(ud->GetLeft(), buddy->GetLeft() + buddy->GetWidth() - 2) << "beside its associate";
  buddy->SetFocus();
  ui.Press(VK_UP);
  ui.Press(VK_UP);
  EXPECT_EQ(buddy->GetText(), "9");
  EXPECT_EQ(ud->GetPosition(), 9);
  EXPECT_EQ(log, (std::vector<std::string>{"next 8", "next 9"}));
  buddy->SetText("20");
  EXPECT_EQ(ud->GetPosition(), 20) << "typed text is read back";
  EXPECT_EQ(GetObjectProp(ud, "Associate"), buddy);
  FreeObject(buddy);
  EXPECT_EQ(ud->GetAssociate(), nullptr);
}

TEST_F(TUpDownTest, ADescendantThatOnlyReportsDirectionRestsAtZero) {
  auto* ud = Make<TDirectionUpDown>();
  ud->SetHeight(40);
  form->Show();
  ui.RunUntilIdle();
  EXPECT_EQ(ud->GetWidth(), 15) << "its width is its own";
  ClickArrow(ud, true);
  ClickArrow(ud, true);
  ClickArrow(ud, false);
  EXPECT_EQ(log, (std::vector<std::string>{"next 1", "next 1", "prev -1"}));
  EXPECT_EQ(ud->GetPosition(), 0);
  log.clear();
  // Held: one step at once, the next after the first delay, then at the repeat rate.
  POINT up = At(ud, 7, 4);
  ui.MouseDown(up.x, up.y);
  ui.Advance(500);
  ui.Advance(100);
  ui.MouseUp(up.x, up.y);
  EXPECT_EQ(log.size(), 3u);
  ud->SetWidth(30);
  EXPECT_EQ(ud->GetWidth(), 15);
}

}  // namespace
