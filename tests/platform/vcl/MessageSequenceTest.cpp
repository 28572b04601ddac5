// Each row of platform/vcl/MessageSequences.md, as forms built in code hear it.

#include "VclFixture.h"

#include <map>

namespace {

using Log = std::vector<std::string>;

const std::map<UINT, std::string>& Names() {
  static const std::map<UINT, std::string> names = {
      {WM_CREATE, "CREATE"}, {WM_DESTROY, "DESTROY"}, {WM_NCDESTROY, "NCDESTROY"}, {WM_MOVE, "MOVE"},
      {WM_SIZE, "SIZE"}, {WM_ACTIVATE, "ACTIVATE"}, {WM_SETFOCUS, "SETFOCUS"}, {WM_KILLFOCUS, "KILLFOCUS"},
      {WM_PAINT, "PAINT"}, {WM_ERASEBKGND, "ERASEBKGND"}, {WM_SHOWWINDOW, "SHOWWINDOW"},
      {WM_ACTIVATEAPP, "ACTIVATEAPP"}, {WM_MOUSEACTIVATE, "MOUSEACTIVATE"}, {WM_GETMINMAXINFO, "GETMINMAXINFO"},
      {WM_WINDOWPOSCHANGING, "WINDOWPOSCHANGING"}, {WM_WINDOWPOSCHANGED, "WINDOWPOSCHANGED"},
      {WM_NCCREATE, "NCCREATE"}, {WM_NCCALCSIZE, "NCCALCSIZE"}, {WM_NCPAINT, "NCPAINT"},
      {WM_NCACTIVATE, "NCACTIVATE"}, {WM_LBUTTONDOWN, "LBUTTONDOWN"}, {WM_LBUTTONUP, "LBUTTONUP"},
      {WM_CAPTURECHANGED, "CAPTURECHANGED"}, {WM_ENABLE, "ENABLE"}, {WM_MOUSEMOVE, "MOUSEMOVE"},
      {WM_CHILDACTIVATE, "CHILDACTIVATE"}, {WM_MDIACTIVATE, "MDIACTIVATE"}, {WM_SYSCOMMAND, "SYSCOMMAND"}};
  return names;
}

// Records the messages it hears (by name, prefixed with its own name) and its events.
template <class Base>
class TRecording : public Base {
public:
  TRecording(TComponent* owner, Log* log, const std::string& tag) : Base(owner), log_(log), tag_(tag) {}
  void WndProc(TMessage& m) override {
    auto it = Names().find(m.Msg);
    if (it != Names().end() && Recording) {
      std::string entry = tag_ + ":" + it->second;
      if (m.Msg == WM_ACTIVATE) entry += LOWORD(m.WParam) == WA_INACTIVE ? "(0)" : LOWORD(m.WParam) == WA_CLICKACTIVE ? "(2)" : "(1)";
      if (m.Msg == WM_ENABLE || m.Msg == WM_SHOWWINDOW) entry += m.WParam ? "(1)" : "(0)";
      log_->push_back(entry);
    }
    Base::WndProc(m);
  }
  void Note(const std::string& what) {
    if (Recording) log_->push_back(tag_ + ":" + what);
  }
  bool Recording = true;

private:
  Log* log_;
  std::string tag_;
};

class TRecForm : public TRecording<TForm> {
public:
  TRecForm(TComponent* owner, Log* log, const std::string& tag, int x) : TRecording<TForm>(owner, log, tag) {
    SetBounds(x, 50, 250, 180);
    Field = NewComponent<TRecording<TSwatch>>(this, log, tag + "field");
    Field->SetParent(this);
    Field->SetBounds(10, 10, 100, 40);
    Field->SetTabStop(true);
    Other = NewComponent<TSwatch>(this);
    Other->SetParent(this);
    Other->SetBounds(10, 60, 100, 40);
    Other->SetTabStop(true);
    Mark = NewComponent<TBlock>(this);
    Mark->SetParent(this);
    Mark->SetBounds(150, 10, 40, 40);
    Mark->SetColor(clRed);
    OnCreate = [this](TObject*) { Note("OnCreate"); };
    OnShow = [this](TObject*) { Note("OnShow"); };
    OnHide = [this](TObject*) { Note("OnHide"); };
    OnActivate = [this](TObject*) { Note("OnActivate"); };
    OnDeactivate = [this](TObject*) { Note("OnDeactivate"); };
    OnPaint = [this](TObject*) { Note("OnPaint"); };
    OnClose = [this](TObject*, TCloseAction&) { Note("OnClose"); };
    OnCloseQuery = [this](TObject*, bool&) { Note("OnCloseQuery"); };
    OnDestroy = [this](TObject*) { Note("OnDestroy"); };
    Field->OnEnter = [this](TObject*) { Note("field OnEnter"); };
    Field->OnExit = [this](TObject*) { Note("field OnExit"); };
    Field->OnClick = [this](TObject*) { Note("field OnClick"); };
    Other->OnEnter = [this](TObject*) { Note("other OnEnter"); };
    Other->OnExit = [this](TObject*) { Note("other OnExit"); };
  }
  TRecording<TSwatch>* Field;
  TSwatch* Other;
  TBlock* Mark;
};

// The same as an MDI child of the main form, which must be an MDI frame.
class TRecChild : public TRecForm {
public:
  TRecChild(TComponent* owner, Log* log, const std::string& tag, int x) : TRecForm(owner, log, tag, x) {
    SetFormStyle(fsMDIChild);
  }
};

class MessageSequenceTest : public VclTest {
protected:
  TRecForm* Form(const std::string& tag, int x) { return NewComponent<TRecForm>(Application(), &log, tag, x); }
  Log Take() {
    Log out;
    out.swap(log);
    return out;
  }
};

TEST_F(MessageSequenceTest, CreateThenFirstShow) {
  TRecForm* a = Form("a", 50);
  EXPECT_EQ(Take(), (Log{"a:OnCreate"}));
  a->HandleNeeded();
  Log created = Take();
  created.erase(std::remove_if(created.begin(), created.end(), [](auto& s) { return s.rfind("afield", 0) == 0; }),
                created.end());
  EXPECT_EQ(created, (Log{"a:GETMINMAXINFO", "a:NCCREATE", "a:NCCALCSIZE", "a:CREATE"}));
  a->Show();
  Log shown = Take();
  shown.erase(std::remove_if(shown.begin(), shown.end(),
                             [](auto& s) { return s.rfind("afield:", 0) == 0 && s != "afield:SETFOCUS"; }),
              shown.end());
  ASSERT_GE(shown.size(), 14u);
  EXPECT_EQ(Log(shown.begin(), shown.begin() + 14),
            (Log{"a:OnShow", "a:SHOWWINDOW(1)", "a:WINDOWPOSCHANGING", "a:ACTIVATEAPP", "a:NCACTIVATE", "a:ACTIVATE(1)",
                 "afield:SETFOCUS", "a:OnActivate", "a:field OnEnter", "a:NCPAINT", "a:ERASEBKGND",
                 "a:WINDOWPOSCHANGED", "a:SIZE", "a:MOVE"}));
  ui.RunUntilIdle();
  Log painted = Take();
  EXPECT_NE(std::find(painted.begin(), painted.end(), "a:PAINT"), painted.end());
  EXPECT_NE(std::find(painted.begin(), painted.end(), "a:OnPaint"), painted.end());
}

TEST_F(MessageSequenceTest, ActivateByClickThenByKeyboard) {
  TRecForm* a = Form("a", 50);
  TRecForm* b = Form("b", 400);
  a->Show();
  b->Show();
  ui.RunUntilIdle();
  Take();
  ui.Advance(1000);
  ClickOn(a->Field, 20, 20);
  Log got = Take();
  got.erase(std::remove_if(got.begin(), got.end(),
                           [](auto& s) { return s.find("PAINT") != std::string::npos || s.find("OnPaint") != std::string::npos || s.find("ERASE") != std::string::npos ||
                                                s.find("MOUSEMOVE") != std::string::npos || s.find("WINDOWPOS") != std::string::npos ||
                                                s.find("CAPTURE") != std::string::npos; }),
            got.end());
  EXPECT_EQ(got, (Log{"afield:MOUSEACTIVATE", "a:MOUSEACTIVATE", "b:NCACTIVATE", "b:ACTIVATE(0)", "a:NCACTIVATE",
                      "a:ACTIVATE(2)", "bfield:KILLFOCUS", "afield:SETFOCUS", "b:OnDeactivate", "a:OnActivate",
                      "afield:LBUTTONDOWN", "afield:LBUTTONUP", "a:field OnClick"}));
  // A key whose handler switches to the other form.
  a->SetKeyPreview(true);
  a->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    if (key == VK_F1 + 5) b->SetFocus();
  };
  ui.Press(VK_F1 + 5);
  got = Take();
  got.erase(std::remove_if(got.begin(), got.end(),
                           [](auto& s) { return s.find("PAINT") != std::string::npos || s.find("OnPaint") != std::string::npos || s.find("ERASE") != std::string::npos ||
                                                s.find("WINDOWPOS") != std::string::npos; }),
            got.end());
  EXPECT_EQ(got, (Log{"a:NCACTIVATE", "a:ACTIVATE(0)", "b:NCACTIVATE", "b:ACTIVATE(1)", "afield:KILLFOCUS",
                      "bfield:SETFOCUS", "a:OnDeactivate", "b:OnActivate"}));
}

TEST_F(MessageSequenceTest, FocusMovesExitBeforeEnter) {
  TRecForm* a = Form("a", 50);
  a->Show();
  ui.RunUntilIdle();
  Take();
  ui.Press(VK_TAB);
  EXPECT_EQ(Take(), (Log{"afield:KILLFOCUS", "a:field OnExit", "a:other OnEnter"}));
  EXPECT_EQ(a->GetActiveControl(), a->Other);
}

TEST_F(MessageSequenceTest, ModalLoopEntryAndExit) {
  TRecForm* a = Form("a", 50);
  a->Show();
  ui.RunUntilIdle();
  TRecForm* m = Form("m", 300);
  Take();
  Log during;
  ui.WhenModalWaits([&] {
    during = Take();
    m->SetModalResult(mrOk);
  });
  EXPECT_EQ(m->ShowModal(), mrOk);
  Log after = Take();
  auto keep = [](const Log& l, std::initializer_list<const char*> wanted) {
    Log out;
    for (auto& s : l)
      for (const char* w : wanted)
        if (s == w) out.push_back(s);
    return out;
  };
  // The form that was focused hears no OnDeactivate: the modal form takes the focus over.
  EXPECT_EQ(keep(during, {"a:ENABLE(0)", "m:OnShow", "a:OnDeactivate", "a:ACTIVATE(0)", "mfield:SETFOCUS", "m:OnActivate"}),
            (Log{"a:ENABLE(0)", "m:OnShow", "a:ACTIVATE(0)", "mfield:SETFOCUS", "m:OnActivate"}));
  EXPECT_EQ(keep(after, {"m:OnCloseQuery", "m:OnClose", "m:OnHide", "m:ACTIVATE(0)", "a:ENABLE(1)", "a:ACTIVATE(1)",
                         "afield:SETFOCUS", "a:OnActivate"}),
            (Log{"m:OnCloseQuery", "m:OnClose", "m:OnHide", "m:ACTIVATE(0)", "a:ENABLE(1)", "a:ACTIVATE(1)",
                 "afield:SETFOCUS"}));
  EXPECT_EQ(GetActiveWindow(), a->GetHandle());
  EXPECT_EQ(GetFocus(), a->Field->GetHandle());
}

TEST_F(MessageSequenceTest, HideThenDestroy) {
  TRecForm* a = Form("a", 50);
  TRecForm* b = Form("b", 400);
  b->Show();
  a->Show();
  ui.RunUntilIdle();
  Take();
  a->Hide();
  Log hidden = Take();
  ASSERT_GE(hidden.size(), 2u);
  EXPECT_EQ(Log(hidden.begin(), hidden.begin() + 2), (Log{"a:OnHide", "a:WINDOWPOSCHANGING"}));
  auto pos = [&](const std::string& s) { return std::find(hidden.begin(), hidden.end(), s) - hidden.begin(); };
  EXPECT_LT(pos("a:ACTIVATE(0)"), pos("a:OnDeactivate"));
  EXPECT_LT(pos("a:OnDeactivate"), pos("b:OnActivate"));
  EXPECT_LT(pos("b:OnActivate"), static_cast<long>(hidden.size()));
  b->Field->Recording = true;
  FreeObject(b);
  Log gone = Take();
  auto at = [&](const std::string& s) { return std::find(gone.begin(), gone.end(), s) - gone.begin(); };
  EXPECT_LT(at("b:OnHide"), at("b:OnDestroy"));
  EXPECT_LT(at("b:OnDestroy"), at("bfield:DESTROY"));
  EXPECT_LT(at("bfield:DESTROY"), at("bfield:NCDESTROY"));
  EXPECT_LT(at("bfield:NCDESTROY"), static_cast<long>(gone.size()));
}

TEST_F(MessageSequenceTest, CaptureKeepsTheMouseWithThePressedControl) {
  TRecForm* a = Form("a", 50);
  a->Show();
  ui.RunUntilIdle();
  std::vector<TPoint> moves;
  a->Field->OnMouseMove = [&](TObject*, TShiftState, int x, int y) { moves.emplace_back(x, y); };
  POINT in = At(a->Field, 10, 10), out = At(a->Field, 150, 120);
  ui.MouseDown(in.x, in.y);
  EXPECT_EQ(GetCapture(), a->Field->GetHandle());
  ui.MoveTo(out.x, out.y);
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(moves.back(), TPoint(150, 120));  // outside, in the control's coordinates
  Take();
  ui.MouseUp(out.x, out.y);
  Log up = Take();
  EXPECT_NE(std::find(up.begin(), up.end(), "afield:CAPTURECHANGED"), up.end());
  EXPECT_EQ(std::find(up.begin(), up.end(), "a:field OnClick"), up.end());  // released outside
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MessageSequenceTest, PaintComesAfterPostedMessagesWithChildrenAfterTheParent) {
  TRecForm* a = Form("a", 50);
  a->Show();
  ui.RunUntilIdle();
  Take();
  a->Invalidate();
  EXPECT_TRUE(Take().empty());
  PostMessage(a->GetHandle(), WM_NULL, 0, 0);
  bool postedSeen = false;
  a->OnPaint = [&](TObject*) { log.push_back(postedSeen ? "a:OnPaint after posted" : "a:OnPaint"); };
  auto previous = a->WindowProc;
  a->WindowProc = [&, previous](TMessage& m) {
    if (m.Msg == WM_NULL) postedSeen = true;
    previous(m);
  };
  ui.RunUntilIdle();
  Log got = Take();
  EXPECT_EQ(got, (Log{"a:PAINT", "a:ERASEBKGND", "a:OnPaint after posted"}));
  EXPECT_EQ(PixelOf(a->Mark, 20, 20), Rgb(clRed));  // the windowless child painted over the form
}

TEST_F(MessageSequenceTest, MdiChildActivation) {
  auto* frame = Application()->CreateForm<TForm>();
  frame->SetFormStyle(fsMDIForm);
  frame->SetBounds(20, 20, 800, 500);
  frame->Show();
  auto* a = NewComponent<TRecChild>(Application(), &log, "a", 0);
  auto* b = NewComponent<TRecChild>(Application(), &log, "b", 260);
  ui.RunUntilIdle();
  EXPECT_EQ(frame->ActiveMDIChild(), b);
  Take();
  ui.KeyDown(VK_CONTROL);
  ui.Press(VK_F6);
  ui.KeyUp(VK_CONTROL);
  Log got = Take();
  got.erase(std::remove_if(got.begin(), got.end(),
                           [](auto& s) {
                             return s.find("PAINT") != std::string::npos || s.find("OnPaint") != std::string::npos ||
                                    s.find("ERASE") != std::string::npos || s.find("WINDOWPOS") != std::string::npos;
                           }),
            got.end());
  EXPECT_EQ(got, (Log{"b:SYSCOMMAND", "b:NCACTIVATE", "b:MDIACTIVATE", "a:NCACTIVATE", "bfield:KILLFOCUS",
                      "a:SETFOCUS", "a:KILLFOCUS", "afield:SETFOCUS", "b:OnDeactivate", "a:OnActivate",
                      "a:MDIACTIVATE"}));
  EXPECT_EQ(frame->ActiveMDIChild(), a);
  // A click in the other child: its press reaches the client first, which activates the
  // child (WM_CHILDACTIVATE of bringing it to the top); then the click goes on.
  Take();
  ClickOn(b->Field, 20, 20);
  got = Take();
  auto keep = [](const Log& l) {
    Log out;
    for (auto& s : l)
      if (s.find("ACTIVATE") != std::string::npos || s.find("FOCUS") != std::string::npos ||
          s.find("On") != std::string::npos || s.find("BUTTON") != std::string::npos)
        if (s.find("OnPaint") == std::string::npos) out.push_back(s);
    return out;
  };
  EXPECT_EQ(keep(got), (Log{"b:CHILDACTIVATE", "a:NCACTIVATE", "a:MDIACTIVATE", "b:NCACTIVATE", "afield:KILLFOCUS",
                            "b:SETFOCUS", "b:KILLFOCUS", "bfield:SETFOCUS", "a:OnDeactivate", "b:OnActivate",
                            "b:MDIACTIVATE", "bfield:MOUSEACTIVATE", "b:MOUSEACTIVATE", "bfield:LBUTTONDOWN",
                            "bfield:LBUTTONUP", "b:field OnClick"}));
}

}  // namespace
