// Forms built in code and used through the UI driver: showing, painting, the event order,
// the mouse, the keyboard, modal loops and closing.

#include "VclFixture.h"

#include "platform/vcl/Timer.h"

namespace {

class FormTest : public VclTest {};

// A form with two windowed controls and a windowless one, each logging its focus and clicks.
class TTwoFieldForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  TTwoFieldForm(TComponent* owner, std::vector<std::string>* log, const char* name = "TwoFieldForm")
      : TForm(owner), log_(log) {
    SetName(name);
    SetBounds(100, 80, 300, 200);
    SetCaption("Two fields");
    First = NewComponent<TSwatch>(this);
    First->SetName("First");
    First->SetParent(this);
    First->SetBounds(10, 10, 100, 40);
    First->SetTabStop(true);
    First->SetColor(clRed);
    Second = NewComponent<TSwatch>(this);
    Second->SetName("Second");
    Second->SetParent(this);
    Second->SetBounds(10, 60, 100, 40);
    Second->SetTabStop(true);
    Second->SetColor(clLime);
    Mark = NewComponent<TBlock>(this);
    Mark->SetName("Mark");
    Mark->SetParent(this);
    Mark->SetBounds(150, 10, 50, 50);
    Mark->SetColor(clBlue);
    for (TSwatch* s : {First, Second}) {
      s->OnEnter = [this](TObject* o) { Log("enter " + static_cast<TComponent*>(o)->GetName()); };
      s->OnExit = [this](TObject* o) { Log("exit " + static_cast<TComponent*>(o)->GetName()); };
      s->OnClick = [this](TObject* o) { Log("click " + static_cast<TComponent*>(o)->GetName()); };
      s->OnKeyPress = [this](TObject* o, char& key) {
        Log("key " + static_cast<TComponent*>(o)->GetName() + " " + std::string(1, key));
      };
    }
    Mark->OnClick = [this](TObject*) { Log("click Mark"); };
    OnCreate = [this](TObject*) { Log("create"); };
    OnShow = [this](TObject*) { Log("show"); };
    OnHide = [this](TObject*) { Log("hide"); };
    OnActivate = [this](TObject*) { Log("activate"); };
    OnDeactivate = [this](TObject*) { Log("deactivate"); };
    OnPaint = [this](TObject*) { Log("paint"); };
    OnCloseQuery = [this](TObject*, bool& can) {
      Log("closequery");
      can = AllowClose;
    };
    OnClose = [this](TObject*, TCloseAction& action) {
      Log("close");
      action = CloseAction;
    };
    OnDestroy = [this](TObject*) { Log("destroy"); };
  }
  void Log(const std::string& s) {
    if (log_) log_->push_back(s);
  }
  TSwatch* First;
  TSwatch* Second;
  TBlock* Mark;
  bool AllowClose = true;
  TCloseAction CloseAction = caHide;

private:
  std::vector<std::string>* log_;
};
QUILLO_DEFINE_CLASS(TTwoFieldForm, TForm)

using Log = std::vector<std::string>;

TEST_F(FormTest, ShownFormPaintsItsControlsAndTheEventsComeInOrder) {
  auto* form = Application()->CreateForm<TTwoFieldForm>(&log);
  EXPECT_EQ(log, (Log{"create"}));
  EXPECT_EQ(Application()->GetMainForm(), form);
  form->Show();
  ui.RunUntilIdle();
  EXPECT_EQ(log, (Log{"create", "show", "activate", "enter First", "paint"}));
  HWND h = form->GetHandle();
  char cls[32];
  GetClassName(h, cls, sizeof cls);
  EXPECT_STREQ(cls, "TTwoFieldForm");
  EXPECT_EQ(FindWindow("TTwoFieldForm", "Two fields"), h);
  EXPECT_EQ(GetParent(form->First->GetHandle()), h);
  EXPECT_EQ(Rgb(clRed), PixelOf(form->First, 50, 20));
  EXPECT_EQ(Rgb(clBlack), PixelOf(form->First, 0, 20));  // its frame
  EXPECT_EQ(Rgb(clBlue), PixelOf(form->Mark, 25, 25));
  EXPECT_EQ(Rgb(clBtnFace), PixelOf(form, 250, 150));
  EXPECT_EQ(GetFocus(), form->First->GetHandle());
  EXPECT_EQ(form->GetActiveControl(), form->First);
  EXPECT_EQ(Screen()->ActiveForm(), form);
}

TEST_F(FormTest, ClosingAsksThenHidesOrFreesTheForm) {
  auto* owner = Application()->CreateForm<TTwoFieldForm>(nullptr);  // the main form
  owner->Show();
  auto* form = NewComponent<TTwoFieldForm>(Application(), &log, "OtherForm");
  form->Show();
  ui.RunUntilIdle();
  log.clear();
  form->AllowClose = false;
  form->Close();
  EXPECT_EQ(log, (Log{"closequery"}));
  EXPECT_TRUE(form->GetVisible());
  form->AllowClose = true;
  log.clear();
  form->Close();
  EXPECT_EQ(log, (Log{"closequery", "close", "hide", "deactivate"}));  // the focused control stays the form's
  EXPECT_FALSE(IsWindowVisible(form->GetHandle()));
  form->Show();
  ui.RunUntilIdle();
  form->CloseAction = caFree;
  log.clear();
  PostMessage(form->GetHandle(), WM_CLOSE, 0, 0);  // the close box
  ui.RunUntilIdle();
  EXPECT_EQ(Application()->ComponentCount(), 1);  // released and freed
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(Log(log.begin(), log.begin() + 3), (Log{"closequery", "close", "hide"}));
  EXPECT_EQ(log.back(), "destroy");
  EXPECT_EQ(Screen()->FormCount(), 1);
}

TEST_F(FormTest, ClosingTheMainFormEndsTheApplicationLoop) {
  auto* form = Application()->CreateForm<TTwoFieldForm>(&log);
  ui.WhenModalWaits([&] { PostMessage(form->GetHandle(), WM_CLOSE, 0, 0); });
  Application()->Run();
  EXPECT_TRUE(Application()->Terminated());
  EXPECT_EQ(log.front(), "create");
  EXPECT_NE(std::find(log.begin(), log.end(), "close"), log.end());
}

TEST_F(FormTest, ClicksReachWindowedAndWindowlessControls) {
  auto* form = Application()->CreateForm<TTwoFieldForm>(&log);
  form->Show();
  ui.RunUntilIdle();
  log.clear();
  ClickOn(form->Second, 20, 20);
  ClickOn(form->Mark, 10, 10);
  EXPECT_EQ(log, (Log{"exit First", "enter Second", "click Second", "click Mark"}));
  // A press that leaves the control before the release is no click.
  log.clear();
  POINT in = At(form->First, 5, 5), out = At(form, 280, 150);
  ui.MouseDown(in.x, in.y);
  ui.MoveTo(out.x, out.y);
  ui.MouseUp(out.x, out.y);
  EXPECT_EQ(std::count(log.begin(), log.end(), "click First"), 0);
}

TEST_F(FormTest, TabMovesTheFocusInTabOrderAndKeysReachTheFocusedControl) {
  auto* form = Application()->CreateForm<TTwoFieldForm>(&log);
  form->Show();
  ui.RunUntilIdle();
  log.clear();
  ui.Press(VK_TAB);
  EXPECT_EQ(form->GetActiveControl(), form->Second);
  ui.Type("a");
  ui.KeyDown(VK_SHIFT);
  ui.Press(VK_TAB);
  ui.KeyUp(VK_SHIFT);
  ui.Type("b");
  EXPECT_EQ(log, (Log{"exit First", "enter Second", "key Second a", "exit Second", "enter First", "key First b"}));
  form->Second->SetTabOrder(0);
  log.clear();
  ui.Press(VK_TAB);  // First is now second in the order: Tab wraps to Second
  EXPECT_EQ(form->GetActiveControl(), form->Second);
}

TEST_F(FormTest, KeyPreviewLetsTheFormSeeKeysFirst) {
  auto* form = Application()->CreateForm<TTwoFieldForm>(&log);
  form->SetKeyPreview(true);
  form->OnKeyPress = [&](TObject*, char& key) {
    log.push_back(std::string("form ") + key);
    if (key == 'x') key = 0;  // eaten: the control never sees it
  };
  form->Show();
  ui.RunUntilIdle();
  log.clear();
  ui.Type("xy");
  EXPECT_EQ(log, (Log{"form x", "form y", "key First y"}));
}

// A modal dialog with an OK control that ends it.
class TAskForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TAskForm(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetBounds(0, 0, 200, 120);
    Ok = NewComponent<TSwatch>(this);
    Ok->SetParent(this);
    Ok->SetBounds(60, 40, 80, 30);
    Ok->OnClick = [this](TObject*) { SetModalResult(mrOk); };
  }
  TSwatch* Ok;
};
QUILLO_DEFINE_CLASS(TAskForm, TForm)

TEST_F(FormTest, ShowModalRunsItsOwnLoopAndDisablesTheOtherForms) {
  auto* main = Application()->CreateForm<TTwoFieldForm>(&log);
  main->Show();
  ui.RunUntilIdle();
  auto ask = MakeObject<TAskForm>(nullptr);
  bool mainDisabledMeanwhile = false;
  TRect placed;
  ui.WhenModalWaits([&] {
    mainDisabledMeanwhile = !IsWindowEnabled(main->GetHandle());
    placed = ask->GetBoundsRect();
    POINT p = At(ask->Ok, 10, 10);
    ui.Click(p.x, p.y);
  });
  TModalResult result = ask->ShowModal();
  EXPECT_EQ(result, mrOk);
  EXPECT_TRUE(mainDisabledMeanwhile);
  EXPECT_TRUE(IsWindowEnabled(main->GetHandle()));
  EXPECT_FALSE(ask->GetVisible());
  EXPECT_EQ(GetActiveWindow(), main->GetHandle());
  EXPECT_EQ(placed.left, (1280 - 200) / 2);  // poScreenCenter
  EXPECT_EQ(placed.top, (800 - 120) / 2);
  // Escape-free cancel: closing a modal form sets mrCancel.
  ui.WhenModalWaits([&] { PostMessage(ask->GetHandle(), WM_CLOSE, 0, 0); });
  EXPECT_EQ(ask->ShowModal(), mrCancel);
  EXPECT_THROW({ ask->Show(); ask->ShowModal(); }, EInvalidOperation);  // a visible form cannot go modal
}

TEST_F(FormTest, ATimerFiresOnTheManualClock) {
  auto* form = Application()->CreateForm<TTwoFieldForm>(nullptr);
  auto* timer = NewComponent<TTimer>(form);
  int ticks = 0;
  timer->SetInterval(100);
  timer->SetOnTimer([&](TObject*) { ++ticks; });
  ui.Advance(100);
  ui.Advance(100);
  EXPECT_EQ(ticks, 2);
  ui.Advance(1000);  // a late timer fires once, not once for each interval it missed
  EXPECT_EQ(ticks, 3);
  timer->SetEnabled(false);
  ui.Advance(300);
  EXPECT_EQ(ticks, 3);
}

TEST_F(FormTest, ExceptionsInHandlersReachTheApplication) {
  auto* form = Application()->CreateForm<TTwoFieldForm>(nullptr);
  form->Show();
  ui.RunUntilIdle();
  form->First->OnClick = [](TObject*) { throw EConvertError("bad number"); };
  std::string seen;
  Application()->OnException = [&](TObject*, const std::exception& e) { seen = e.what(); };
  ClickOn(form->First);
  EXPECT_EQ(seen, "bad number");
  Application()->OnException = nullptr;
  ui.Advance(1000);  // the next click is not a double click
  form->First->OnClick = [](TObject*) { throw EConvertError("shown"); };
  ClickOn(form->First);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts()[0], "shown.");
  form->First->OnClick = [](TObject*) { Abort(); };  // silent
  ui.Advance(1000);
  ClickOn(form->First);
  EXPECT_EQ(ui.MessageBoxTexts().size(), 1u);
}

}  // namespace
