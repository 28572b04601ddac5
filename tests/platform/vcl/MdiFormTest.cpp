// Multiple-document forms through the UI driver: a frame with a toolbar and a status bar
// around its MDI client, document forms as MDI children made, activated by click and by the
// MDI keys, maximised, arranged, closed, and ended with their frame.

#include "VclFixture.h"

#include <algorithm>

#include "platform/user/WindowArrange.h"

namespace {

using Log = std::vector<std::string>;

// The main form: a toolbar aligned at the top and a status bar at the bottom, the client
// between them.
class TFrameForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  TFrameForm(TComponent* owner, Log* log) : TForm(owner), log_(log) {
    SetName("Frame");
    SetCaption("Frame");
    SetFormStyle(fsMDIForm);
    SetBounds(40, 30, 700, 500);
    Toolbar = NewComponent<TSwatch>(this);
    Toolbar->SetName("Toolbar");
    Toolbar->SetParent(this);
    Toolbar->SetAlign(alTop);
    Toolbar->SetHeight(30);
    Toolbar->SetColor(clNavy);
    Status = NewComponent<TSwatch>(this);
    Status->SetName("Status");
    Status->SetParent(this);
    Status->SetAlign(alBottom);
    Status->SetHeight(20);
    Status->SetColor(clTeal);
    OnCloseQuery = [this](TObject*, bool&) { log_->push_back("closequery Frame"); };
    OnClose = [this](TObject*, TCloseAction&) { log_->push_back("close Frame"); };
    OnDestroy = [this](TObject*) { log_->push_back("destroy Frame"); };
  }
  TSwatch* Toolbar;
  TSwatch* Status;

private:
  Log* log_;
};
QUILLO_DEFINE_CLASS(TFrameForm, TForm)

// A document window: a field that takes the focus, and every event logged with its name.
class TDocumentForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  TDocumentForm(TComponent* owner, Log* log, const std::string& name, TPosition position, const TRect& bounds,
                TWindowState state = wsNormal)
      : TForm(owner), log_(log), name_(name) {
    SetName(name);
    SetCaption(name);
    SetPosition(position);
    SetBounds(bounds.left, bounds.top, bounds.Width(), bounds.Height());
    SetWindowState(state);
    SetFormStyle(fsMDIChild);
    SetColor(clWhite);
    Field = NewComponent<TSwatch>(this);
    Field->SetName("Field");
    Field->SetParent(this);
    Field->SetBounds(10, 10, 80, 40);
    Field->SetTabStop(true);
    Field->SetColor(clYellow);
    Field->OnClick = [this](TObject*) { Note("click"); };
    OnShow = [this](TObject*) { Note("show"); };
    OnActivate = [this](TObject*) { Note("activate"); };
    OnDeactivate = [this](TObject*) { Note("deactivate"); };
    OnCloseQuery = [this](TObject*, bool& can) {
      Note("closequery");
      can = AllowClose;
    };
    OnClose = [this](TObject*, TCloseAction& action) {
      Note("close");
      if (FreeOnClose) action = caFree;
    };
    // Every child hears its end with its window whole.
    OnDestroy = [this](TObject*) {
      Note(HandleAllocated() && IsWindowVisible(GetHandle()) ? "destroy" : "destroy windowless");
    };
  }
  void Note(const std::string& what) { log_->push_back(what + " " + name_); }
  TSwatch* Field;
  bool AllowClose = true;
  bool FreeOnClose = false;

private:
  Log* log_;
  std::string name_;
};
QUILLO_DEFINE_CLASS(TDocumentForm, TForm)

class MdiFormTest : public VclTest {
protected:
  void SetUp() override {
    frame = Application()->CreateForm<TFrameForm>(&log);
    frame->Show();
    ui.RunUntilIdle();
  }
  // A child at the client's default place (the next step of its cascade).
  TDocumentForm* Open(const std::string& name) {
    return Made(NewComponent<TDocumentForm>(Application(), &log, name, poDefault, TRect(0, 0, 320, 240)));
  }
  TDocumentForm* OpenAt(const std::string& name, const TRect& bounds, TWindowState state = wsNormal) {
    return Made(NewComponent<TDocumentForm>(Application(), &log, name, poDesigned, bounds, state));
  }
  TDocumentForm* Made(TDocumentForm* form) {
    ui.RunUntilIdle();
    return form;
  }
  std::vector<TCustomForm*> Children() const {
    std::vector<TCustomForm*> children;
    for (int i = 0; i < frame->MDIChildCount(); ++i) children.push_back(frame->MDIChildren(i));
    return children;
  }
  // The client's area in its own coordinates.
  RECT ClientArea() const {
    RECT r;
    GetClientRect(frame->ClientHandle(), &r);
    return r;
  }
  static RECT Bounds(TControl* c) {
    TRect r = c->GetBoundsRect();
    return RECT{r.left, r.top, r.right, r.bottom};
  }
  void Chord(std::initializer_list<int> held, int key) {
    for (int vk : held) ui.KeyDown(vk);
    ui.Press(key);
    for (int vk : held) ui.KeyUp(vk);
  }
  Log Take() {
    Log out;
    out.swap(log);
    return out;
  }
  TFrameForm* frame = nullptr;
};

TEST_F(MdiFormTest, TheClientFillsWhatTheAlignedControlsLeave) {
  HWND client = frame->ClientHandle();
  ASSERT_TRUE(client);
  char cls[32];
  GetClassName(client, cls, sizeof cls);
  EXPECT_STREQ(cls, "MDICLIENT");
  EXPECT_EQ(GetParent(client), frame->GetHandle());
  EXPECT_TRUE(GetWindowLong(client, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  auto placed = [&] {
    RECT r;
    GetWindowRect(client, &r);
    MapWindowPoints(nullptr, frame->GetHandle(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  EXPECT_EQ(placed(), (RECT{0, 30, frame->GetClientWidth(), frame->GetClientHeight() - 20}));
  // The client shows the workspace colour inside its sunken edge.
  POINT inside = UiDriver::At(client, 100, 100);
  EXPECT_EQ(ui.Pixel(inside.x, inside.y), Rgb(clAppWorkSpace));
  EXPECT_EQ(PixelOf(frame->Toolbar, 100, 15), Rgb(clNavy));

  frame->SetBounds(20, 20, 800, 560);
  ui.RunUntilIdle();
  EXPECT_EQ(placed(), (RECT{0, 30, frame->GetClientWidth(), frame->GetClientHeight() - 20}));
  frame->Status->SetVisible(false);
  EXPECT_EQ(placed(), (RECT{0, 30, frame->GetClientWidth(), frame->GetClientHeight()}));
  frame->Toolbar->SetHeight(50);
  EXPECT_EQ(placed(), (RECT{0, 50, frame->GetClientWidth(), frame->GetClientHeight()}));

  // A maximised child follows the client.
  TDocumentForm* a = OpenAt("a", TRect(10, 10, 210, 160));
  a->SetWindowState(wsMaximized);
  ui.RunUntilIdle();
  RECT area = ClientArea();
  EXPECT_EQ(a->GetClientRect(), TRect(area));
  frame->Status->SetVisible(true);
  ui.RunUntilIdle();
  EXPECT_EQ(a->GetClientRect(), TRect(ClientArea()));
  EXPECT_NE(a->GetClientRect(), TRect(area));
}

TEST_F(MdiFormTest, ChildrenLiveInTheClientAndShowAtOnce) {
  TDocumentForm* a = Open("a");
  EXPECT_EQ(Take(), (Log{"show a", "activate a"}));
  EXPECT_TRUE(a->GetVisible());
  HWND h = a->GetHandle();
  EXPECT_EQ(GetParent(h), frame->ClientHandle());
  EXPECT_TRUE(GetWindowLong(h, GWL_EXSTYLE) & WS_EX_MDICHILD);
  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_EQ(GetFocus(), a->Field->GetHandle());
  EXPECT_EQ(Screen()->ActiveForm(), a);
  EXPECT_EQ(frame->ActiveMDIChild(), a);
  EXPECT_EQ(Rgb(clYellow), PixelOf(a->Field, 40, 20));
  EXPECT_EQ(Rgb(clWhite), PixelOf(a, 150, 100));
  // A child cannot be hidden.
  EXPECT_THROW(a->SetVisible(false), EInvalidOperation);
  EXPECT_TRUE(IsWindowVisible(h));

  // Children at the default place continue the client's cascade; the list runs in z-order.
  TDocumentForm* b = Open("b");
  TDocumentForm* c = Open("c");
  RECT area = ClientArea();
  EXPECT_EQ(Bounds(a), CascadeRect(area, 0));
  EXPECT_EQ(Bounds(b), CascadeRect(area, 1));
  EXPECT_EQ(Bounds(c), CascadeRect(area, 2));
  EXPECT_EQ(Children(), (std::vector<TCustomForm*>{c, b, a}));
  EXPECT_EQ(frame->MDIChildren(3), nullptr);
  EXPECT_EQ(frame->ActiveMDIChild(), c);
  EXPECT_EQ(GetFocus(), c->Field->GetHandle());
  EXPECT_EQ(frame->MDIChildCount(), 3);
  EXPECT_EQ(a->MDIChildCount(), 0);  // only a frame has children
}

TEST_F(MdiFormTest, AChildNeedsAnMDIFrameAsTheMainForm) {
  ResetApplication();
  auto* main = Application()->CreateForm<TForm>();
  main->Show();
  int forms = Screen()->FormCount();
  EXPECT_THROW(NewComponent<TDocumentForm>(Application(), &log, "a", poDefault, TRect(0, 0, 200, 100)),
               EInvalidOperation);
  // The form that could not be made is gone again.
  EXPECT_EQ(Screen()->FormCount(), forms);
  EXPECT_EQ(Application()->ComponentCount(), 1);
  EXPECT_EQ(main->ClientHandle(), nullptr);
  // A form with a window is refused the style and stays as it was.
  auto* other = NewComponent<TForm>(Application());
  other->Show();
  EXPECT_THROW(other->SetFormStyle(fsMDIChild), EInvalidOperation);
  EXPECT_EQ(other->GetFormStyle(), fsNormal);
  EXPECT_TRUE(IsWindowVisible(other->GetHandle()));
}

TEST_F(MdiFormTest, AFormChangesItsStyleWhileShown) {
  auto* form = NewComponent<TForm>(Application());
  form->SetBounds(100, 100, 200, 150);
  form->SetCaption("changing");
  form->Show();
  ui.RunUntilIdle();
  form->SetFormStyle(fsMDIChild);
  ui.RunUntilIdle();
  EXPECT_EQ(GetParent(form->GetHandle()), frame->ClientHandle());
  EXPECT_TRUE(IsWindowVisible(form->GetHandle()));
  EXPECT_EQ(frame->ActiveMDIChild(), form);
  EXPECT_EQ(form->GetCaption(), "changing");
  form->SetFormStyle(fsNormal);
  ui.RunUntilIdle();
  EXPECT_NE(GetParent(form->GetHandle()), frame->ClientHandle());
  EXPECT_FALSE(GetWindowLong(form->GetHandle(), GWL_STYLE) & WS_CHILD);
  EXPECT_TRUE(IsWindowVisible(form->GetHandle()));
  EXPECT_EQ(frame->MDIChildCount(), 0);
  // An MDI frame that becomes a plain form loses its client.
  Open("a");
  frame->SetFormStyle(fsNormal);
  EXPECT_EQ(frame->ClientHandle(), nullptr);
  EXPECT_EQ(frame->MDIChildCount(), 0);
}

TEST_F(MdiFormTest, AClickActivatesAChild) {
  TDocumentForm* a = OpenAt("a", TRect(0, 0, 200, 150));
  TDocumentForm* b = OpenAt("b", TRect(210, 0, 410, 150));
  TDocumentForm* c = OpenAt("c", TRect(420, 0, 620, 150));
  Take();
  ClickOn(a->Field, 20, 20);
  EXPECT_EQ(Take(), (Log{"deactivate c", "activate a", "click a"}));
  EXPECT_EQ(frame->ActiveMDIChild(), a);
  EXPECT_EQ(Children(), (std::vector<TCustomForm*>{a, c, b}));
  EXPECT_EQ(Screen()->ActiveForm(), a);
  EXPECT_EQ(GetFocus(), a->Field->GetHandle());
  // A click on the form beside its field activates it too; its field takes the focus back.
  ClickOn(b, 150, 100);
  EXPECT_EQ(Take(), (Log{"deactivate a", "activate b"}));
  EXPECT_EQ(frame->ActiveMDIChild(), b);
  EXPECT_EQ(GetFocus(), b->Field->GetHandle());
  // Bringing a child to the front activates it as well.
  c->BringToFront();
  EXPECT_EQ(frame->ActiveMDIChild(), c);
  EXPECT_EQ(Screen()->ActiveForm(), c);
  EXPECT_EQ(GetFocus(), c->Field->GetHandle());
}

TEST_F(MdiFormTest, TheMdiKeysSwitchAndCloseChildren) {
  TDocumentForm* a = Open("a");
  TDocumentForm* b = Open("b");
  TDocumentForm* c = Open("c");
  Take();
  Chord({VK_CONTROL}, VK_F6);
  EXPECT_EQ(Take(), (Log{"deactivate c", "activate b"}));
  EXPECT_EQ(frame->ActiveMDIChild(), b);
  EXPECT_EQ(Children(), (std::vector<TCustomForm*>{b, a, c}));
  EXPECT_EQ(GetFocus(), b->Field->GetHandle());
  Chord({VK_CONTROL}, VK_TAB);
  EXPECT_EQ(frame->ActiveMDIChild(), a);
  Chord({VK_CONTROL, VK_SHIFT}, VK_F6);
  EXPECT_EQ(frame->ActiveMDIChild(), b);
  EXPECT_EQ(Screen()->ActiveForm(), b);
  // Next and Previous do what the keys do.
  frame->Next();
  EXPECT_EQ(frame->ActiveMDIChild(), a);
  frame->Previous();
  EXPECT_EQ(frame->ActiveMDIChild(), b);
  Take();

  // Ctrl+F4 closes the active child: freed when OnClose says so, and the next one is active
  // before it hears its end.
  b->FreeOnClose = true;
  Chord({VK_CONTROL}, VK_F4);
  EXPECT_EQ(Take(), (Log{"closequery b", "close b", "deactivate b", "activate a", "destroy b"}));
  EXPECT_EQ(Children(), (std::vector<TCustomForm*>{a, c}));
  EXPECT_EQ(frame->ActiveMDIChild(), a);
  EXPECT_EQ(GetFocus(), a->Field->GetHandle());
  // Minimised by default.
  Chord({VK_CONTROL}, VK_F4);
  EXPECT_EQ(Take(), (Log{"closequery a", "close a", "deactivate a", "activate c"}));
  EXPECT_EQ(a->GetWindowState(), wsMinimized);
  EXPECT_EQ(frame->ActiveMDIChild(), c);
  EXPECT_EQ(GetFocus(), c->Field->GetHandle());

  // The keys are the frame's only while one of its children has the keyboard.
  auto* tool = NewComponent<TForm>(Application());
  tool->SetBounds(800, 100, 200, 150);
  tool->Show();
  ui.RunUntilIdle();
  EXPECT_EQ(Screen()->ActiveForm(), tool);
  Take();
  Chord({VK_CONTROL}, VK_F4);
  Chord({VK_CONTROL}, VK_F6);
  EXPECT_EQ(frame->ActiveMDIChild(), c);
  EXPECT_EQ(Take(), Log{});
}

TEST_F(MdiFormTest, ClosingTheActiveChildActivatesTheNext) {
  TDocumentForm* a = Open("a");
  TDocumentForm* b = Open("b");
  TDocumentForm* c = Open("c");
  c->FreeOnClose = true;
  Take();
  c->Close();
  ui.RunUntilIdle();
  EXPECT_EQ(Take(), (Log{"closequery c", "close c", "deactivate c", "activate b", "destroy c"}));
  EXPECT_EQ(frame->ActiveMDIChild(), b);
  EXPECT_EQ(Screen()->ActiveForm(), b);
  EXPECT_EQ(GetFocus(), b->Field->GetHandle());
  EXPECT_EQ(Children(), (std::vector<TCustomForm*>{b, a}));
  // A refusal keeps the child as it is.
  b->AllowClose = false;
  b->Close();
  EXPECT_EQ(Take(), (Log{"closequery b"}));
  EXPECT_EQ(b->GetWindowState(), wsNormal);
  EXPECT_EQ(frame->ActiveMDIChild(), b);
  // The last child closing leaves the focus with the frame's client.
  b->AllowClose = true;
  b->FreeOnClose = a->FreeOnClose = true;
  b->Close();
  a->Close();
  ui.RunUntilIdle();
  EXPECT_EQ(frame->MDIChildCount(), 0);
  EXPECT_EQ(frame->ActiveMDIChild(), nullptr);
  EXPECT_EQ(GetFocus(), frame->ClientHandle());
}

TEST_F(MdiFormTest, TheFocusReturnsToTheActiveChildsControl) {
  TDocumentForm* a = Open("a");
  auto* other = NewComponent<TSwatch>(a);
  other->SetParent(a);
  other->SetBounds(10, 60, 80, 40);
  other->SetTabStop(true);
  ui.Press(VK_TAB);
  EXPECT_EQ(GetFocus(), other->GetHandle());
  // A modal dialog and back.
  auto* dialog = NewComponent<TForm>(Application());
  dialog->SetBounds(200, 200, 200, 120);
  ui.WhenModalWaits([&] { dialog->SetModalResult(mrOk); });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(GetActiveWindow(), frame->GetHandle());
  EXPECT_EQ(GetFocus(), other->GetHandle());
  EXPECT_EQ(Screen()->ActiveForm(), a);

  // A child made while another window is active waits for its frame to be activated.
  auto* tool = NewComponent<TForm>(Application());
  tool->SetBounds(800, 100, 200, 150);
  tool->Show();
  ui.RunUntilIdle();
  Take();
  TDocumentForm* b = Open("b");
  EXPECT_EQ(frame->ActiveMDIChild(), b);
  EXPECT_EQ(GetActiveWindow(), tool->GetHandle());
  EXPECT_EQ(Screen()->ActiveForm(), tool);
  EXPECT_EQ(Take(), (Log{"show b"}));
  POINT caption = UiDriver::At(frame->GetHandle(), 300, -10);
  ui.Click(caption.x, caption.y);
  EXPECT_EQ(GetActiveWindow(), frame->GetHandle());
  EXPECT_EQ(GetFocus(), b->Field->GetHandle());
  EXPECT_EQ(Screen()->ActiveForm(), b);
  EXPECT_EQ(Take(), (Log{"activate b"}));
  // Focusing a control of an inactive child activates that child.
  other->SetFocus();
  EXPECT_EQ(frame->ActiveMDIChild(), a);
  EXPECT_EQ(GetFocus(), other->GetHandle());
  EXPECT_EQ(Take(), (Log{"deactivate b", "activate a"}));
}

TEST_F(MdiFormTest, AMaximisedChildJoinsTheFramesCaption) {
  TDocumentForm* a = OpenAt("a", TRect(0, 0, 300, 200));
  TDocumentForm* b = OpenAt("b", TRect(310, 0, 610, 200));
  HWND client = frame->ClientHandle();
  POINT onCaption = UiDriver::At(client, 150, 8);  // on a's caption
  EXPECT_EQ(ui.Pixel(onCaption.x + 310, onCaption.y), Rgb(clActiveCaption));  // b's, the active one
  std::vector<std::uint32_t> plain = ui.CaptionPixels(frame->GetHandle());

  b->SetWindowState(wsMaximized);
  ui.RunUntilIdle();
  EXPECT_EQ(b->GetWindowState(), wsMaximized);
  EXPECT_EQ(frame->GetCaption(), "Frame - [b]");
  // The child's client area covers the client (and a); its caption lies beyond the client's edge.
  EXPECT_EQ(b->ClientOrigin(), TPoint(UiDriver::At(client, 0, 0).x, UiDriver::At(client, 0, 0).y));
  EXPECT_EQ(ui.Pixel(onCaption.x, onCaption.y), Rgb(clWhite));
  EXPECT_EQ(PixelOf(b->Field, 40, 20), Rgb(clYellow));
  std::vector<std::uint32_t> joined = ui.CaptionPixels(frame->GetHandle());
  EXPECT_NE(joined, plain);
  // The frame's caption looks like that of a form titled so.
  auto* sample = NewComponent<TForm>(Application());
  sample->SetBounds(frame->GetLeft(), frame->GetTop(), frame->GetWidth(), frame->GetHeight());
  sample->SetCaption("Frame - [b]");
  sample->Show();
  ui.RunUntilIdle();
  EXPECT_EQ(ui.CaptionPixels(sample->GetHandle()), joined);
  FreeObject(sample);
  ui.RunUntilIdle();

  // Another child activated takes the maximised state over.
  frame->Next();
  ui.RunUntilIdle();
  EXPECT_EQ(frame->ActiveMDIChild(), a);
  EXPECT_EQ(a->GetWindowState(), wsMaximized);
  EXPECT_EQ(b->GetWindowState(), wsNormal);
  EXPECT_EQ(frame->GetCaption(), "Frame - [a]");
  a->SetCaption("renamed");
  EXPECT_EQ(frame->GetCaption(), "Frame - [renamed]");
  a->SetWindowState(wsNormal);
  ui.RunUntilIdle();
  EXPECT_EQ(frame->GetCaption(), "Frame");
  EXPECT_EQ(Bounds(a), (RECT{0, 0, 300, 200}));
  EXPECT_EQ(ui.CaptionPixels(frame->GetHandle()), plain);

  // A child made maximised shows so at once.
  TDocumentForm* c = OpenAt("c", TRect(20, 20, 220, 120), wsMaximized);
  EXPECT_EQ(c->GetWindowState(), wsMaximized);
  EXPECT_EQ(frame->ActiveMDIChild(), c);
  EXPECT_EQ(frame->GetCaption(), "Frame - [c]");
  EXPECT_EQ(c->GetClientRect(), TRect(ClientArea()));
}

TEST_F(MdiFormTest, TileAndCascadeFollowTheWindowManagersRules) {
  TDocumentForm* a = OpenAt("a", TRect(5, 7, 200, 100));
  TDocumentForm* b = OpenAt("b", TRect(50, 60, 400, 300));
  TDocumentForm* c = OpenAt("c", TRect(90, 20, 290, 220));
  std::vector<TCustomForm*> order{c, b, a};
  RECT area = ClientArea();
  for (TTileMode mode : {tbVertical, tbHorizontal}) {
    frame->SetTileMode(mode);
    frame->Tile();
    std::vector<RECT> tiles = TileRects(area, 3, mode == tbHorizontal);
    for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(Bounds(order[i]), tiles[i]) << mode << " " << i;
    EXPECT_EQ(Children(), order);
    EXPECT_EQ(frame->ActiveMDIChild(), c);
  }
  frame->Cascade();
  for (size_t i = 0; i < order.size(); ++i)
    EXPECT_EQ(Bounds(order[i]), CascadeRect(area, 2 - static_cast<int>(i))) << i;
  EXPECT_EQ(Children(), order);

  // A maximised child is restored first; a minimised one keeps its place among the icons
  // and the others share what lies above them.
  c->SetWindowState(wsMaximized);
  a->SetWindowState(wsMinimized);
  ui.RunUntilIdle();
  EXPECT_EQ(frame->ActiveMDIChild(), c);
  frame->SetTileMode(tbVertical);
  frame->Tile();
  EXPECT_EQ(c->GetWindowState(), wsNormal);
  RECT above = area;
  above.bottom -= IconRowsHeight(frame->ClientHandle());
  EXPECT_LT(above.bottom, area.bottom);
  std::vector<RECT> tiles = TileRects(above, 2, false);
  EXPECT_EQ(Bounds(c), tiles[0]);
  EXPECT_EQ(Bounds(b), tiles[1]);
  RECT icon;
  GetWindowRect(a->GetHandle(), &icon);
  MapWindowPoints(nullptr, frame->ClientHandle(), reinterpret_cast<POINT*>(&icon), 2);
  RECT slot0 = IconSlotRect(IconArea(frame->ClientHandle()), 0);
  EXPECT_EQ(icon.left, slot0.left);
  EXPECT_EQ(icon.top, slot0.top);
}

TEST_F(MdiFormTest, ArrangeIconsLinesTheIconsUp) {
  TDocumentForm* a = Open("a");
  TDocumentForm* b = Open("b");
  TDocumentForm* c = Open("c");
  for (TDocumentForm* f : {a, b, c}) f->SetWindowState(wsMinimized);
  ui.RunUntilIdle();
  auto iconAt = [&](TCustomForm* f) {
    RECT r;
    GetWindowRect(f->GetHandle(), &r);
    MapWindowPoints(nullptr, frame->ClientHandle(), reinterpret_cast<POINT*>(&r), 2);
    return POINT{r.left, r.top};
  };
  RECT iconArea = IconArea(frame->ClientHandle());
  auto slot = [&](int i) {
    RECT r = IconSlotRect(iconArea, i);
    return POINT{r.left, r.top};
  };
  EXPECT_EQ(iconAt(a), slot(0));
  EXPECT_EQ(iconAt(b), slot(1));
  EXPECT_EQ(iconAt(c), slot(2));
  EXPECT_EQ(a->GetWindowState(), wsMinimized);
  // With every child an icon the client holds the focus, also when the frame is active again.
  EXPECT_EQ(GetFocus(), frame->ClientHandle());
  auto* dialog = NewComponent<TForm>(Application());
  ui.WhenModalWaits([&] { dialog->SetModalResult(mrOk); });
  dialog->ShowModal();
  EXPECT_EQ(GetActiveWindow(), frame->GetHandle());
  EXPECT_EQ(GetFocus(), frame->ClientHandle());
  b->SetWindowState(wsNormal);  // leaves a gap in the row
  ui.RunUntilIdle();
  frame->ArrangeIcons();
  EXPECT_EQ(iconAt(a), slot(0));
  EXPECT_EQ(iconAt(c), slot(1));
  EXPECT_EQ(b->GetWindowState(), wsNormal);
}

TEST_F(MdiFormTest, ClosingTheFrameAsksEveryChild) {
  TDocumentForm* a = Open("a");
  TDocumentForm* b = Open("b");
  b->AllowClose = false;
  Take();
  frame->Close();
  EXPECT_EQ(Take(), (Log{"closequery b"}));
  EXPECT_FALSE(Application()->Terminated());
  EXPECT_EQ(frame->MDIChildCount(), 2);
  b->AllowClose = true;
  a->AllowClose = false;
  frame->Close();
  EXPECT_EQ(Take(), (Log{"closequery b", "closequery a"}));
  EXPECT_FALSE(Application()->Terminated());
  // With every child agreeing the application's loop ends; the children end with it, before
  // their frame, each with its window whole.
  a->AllowClose = true;
  ui.WhenModalWaits([&] { PostMessage(frame->GetHandle(), WM_CLOSE, 0, 0); });
  Application()->Run();
  EXPECT_TRUE(Application()->Terminated());
  EXPECT_EQ(Take(), (Log{"closequery b", "closequery a", "closequery Frame", "close Frame"}));
  ResetApplication();
  // As a hidden form's would, the activation passes on before each child's end (the newest
  // goes first); nothing is heard from a form after its end.
  EXPECT_EQ(Take(), (Log{"deactivate b", "activate a", "destroy b", "destroy a", "destroy Frame"}));
}

TEST_F(MdiFormTest, AFrameFreedTakesItsChildrenWithIt) {
  Open("a");
  Open("b");
  Take();
  int forms = Screen()->FormCount();
  FreeObject(frame);
  ui.RunUntilIdle();
  // The bottom child first, so that none is activated on the way out.
  EXPECT_EQ(Take(), (Log{"destroy a", "destroy b", "destroy Frame"}));
  EXPECT_EQ(Screen()->FormCount(), forms - 3);
  EXPECT_EQ(Application()->GetMainForm(), nullptr);
  EXPECT_EQ(Application()->ComponentCount(), 0);
}

TEST_F(MdiFormTest, AFrameMadeAgainMakesItsChildrenAgain) {
  TDocumentForm* a = Open("a");
  TDocumentForm* b = Open("b");
  a->SetCaption("first");
  frame->Next();  // a is active, b behind it
  a->SetWindowState(wsMaximized);
  ui.RunUntilIdle();
  EXPECT_EQ(frame->GetCaption(), "Frame - [first]");
  HWND oldClient = frame->ClientHandle();
  frame->SetBorderStyle(bsSingle);  // a new window
  ui.RunUntilIdle();
  ASSERT_TRUE(frame->ClientHandle());
  EXPECT_NE(frame->ClientHandle(), oldClient);
  EXPECT_FALSE(IsWindow(oldClient));
  EXPECT_EQ(Children(), (std::vector<TCustomForm*>{a, b}));
  for (TDocumentForm* f : {a, b}) {
    EXPECT_EQ(GetParent(f->GetHandle()), frame->ClientHandle());
    EXPECT_TRUE(IsWindowVisible(f->GetHandle()));
  }
  EXPECT_EQ(frame->ActiveMDIChild(), a);
  EXPECT_EQ(a->GetWindowState(), wsMaximized);
  // The frame kept its own title, not the joined one.
  EXPECT_EQ(frame->GetCaption(), "Frame - [first]");
  a->SetWindowState(wsNormal);
  EXPECT_EQ(frame->GetCaption(), "Frame");
  EXPECT_EQ(b->GetCaption(), "b");
}

}  // namespace
