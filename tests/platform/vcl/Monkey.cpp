#include "Monkey.h"

#include "ImageListUser.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <thread>

#include "platform/rtl/Exceptions.h"
#include "platform/user/Desktop.h"
#include "platform/user/SysParams.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/Timer.h"

namespace {

// Hears every tracked component's end and tells the monkey.
class TTracker : public TComponent {
  QUILLO_DECLARE_CLASS()

public:
  TTracker(TComponent* owner, Monkey* monkey) : TComponent(owner), monkey_(monkey) {}

protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove) monkey_->Forget(component);
  }

private:
  Monkey* monkey_;
};
QUILLO_DEFINE_CLASS(TTracker, TComponent)

// A windowed panel whose click does what the monkey chose for it.
class TMonkeyPanel : public TSwatch {
  QUILLO_DECLARE_CLASS()

public:
  TMonkeyPanel(TComponent* owner, Monkey* monkey) : TSwatch(owner) {
    OnClick = [monkey](TObject* sender) { monkey->HandlerAction(static_cast<TControl*>(sender)); };
  }
};
QUILLO_DEFINE_CLASS(TMonkeyPanel, TSwatch)

// A windowed control that draws the first image of a list it follows.
class TMonkeyGlyph : public TImageListUser {
  QUILLO_DECLARE_CLASS()

public:
  using TImageListUser::TImageListUser;

protected:
  void Paint() override {
    GetCanvas()->GetBrush()->SetColor(clBtnFace);
    GetCanvas()->FillRect(GetClientRect());
    TCustomImageList* images = GetImages();
    if (images && images->GetCount() > 0) images->Draw(GetCanvas(), 2, 2, 0, GetEnabled());
  }
};
QUILLO_DEFINE_CLASS(TMonkeyGlyph, TImageListUser)

// Text made of parts (an ostream sidesteps a false overlap warning of GCC 12 about
// literal + string at -O3).
template <class... Parts>
std::string Cat(const Parts&... parts) {
  std::ostringstream out;
  (out << ... << parts);
  return out.str();
}

// Thrown through the message loops to leave a modal loop that will not end.
struct MonkeyAbort {};

constexpr TColor kColours[] = {clRed, clGreen, clBlue, clYellow, clTeal, clNavy, clSilver, clPurple};

}  // namespace

Monkey::Monkey(UiDriver& ui, std::uint32_t seed) : ui_(ui), rng_(seed) {
  tracker_ = TOwnedPtr<TComponent>(new TTracker(nullptr, this));
  tracker_->AfterConstruction();
}

Monkey::~Monkey() {
  // The forms go before the tracker, so it hears of them all.
  ResetApplication();
}

void Monkey::Track(TComponent* component) {
  live_.push_back(component);
  liveSet_.insert(component);
  freed_.erase(component);
  component->FreeNotification(tracker_.get());
}

void Monkey::Forget(TComponent* component) {
  if (!liveSet_.count(component)) return;
  if (auto* w = dynamic_cast<TWinControl*>(component); w && w->HandleAllocated())
    deadWindows_.push_back(w->GetHandle());
  liveSet_.erase(component);
  freed_.insert(component);
  live_.erase(std::find(live_.begin(), live_.end(), component));
}

void Monkey::Note(const std::string& what) {
  journal_.push_back(modalDepth_ ? Cat(step_, " (modal ", modalDepth_, ") ", what) : Cat(step_, " ", what));
}

template <class T>
std::vector<T*> Monkey::LiveOf() const {
  std::vector<T*> out;
  for (TComponent* c : live_)
    if (auto* t = dynamic_cast<T*>(c)) out.push_back(t);
  return out;
}

template <class T>
T* Monkey::Pick() {
  std::vector<T*> all = LiveOf<T>();
  return all.empty() ? nullptr : all[Next(static_cast<std::uint32_t>(all.size()))];
}

// ---------------------------------------------------------------------------------------
// Making things

TImageList* Monkey::SomeImageList() { return Pick<TImageList>(); }

TCustomForm* Monkey::NewForm(TFormStyle style, bool dialog) {
  int n = ++made_;
  TCustomForm* form = nullptr;
  if (!Application()->GetMainForm() && !dialog) {
    if (style == fsMDIChild) style = fsMDIForm;
    form = Application()->CreateForm<TForm>();
  } else {
    // Styles are set before the window is made, as a form's constructor would.
    form = NewComponent<TForm>(Application());
  }
  Track(form);
  form->SetName(Cat("Form", n));
  form->SetCaption(form->GetName());
  form->SetBounds(static_cast<int>(20 + Next(400)), static_cast<int>(20 + Next(300)),
                  static_cast<int>(150 + Next(400)), static_cast<int>(120 + Next(300)));
  if (dialog) {
    form->SetBorderStyle(Chance(50) ? bsDialog : bsSizeable);
    form->SetPosition(poScreenCenter);
  } else {
    try {
      form->SetFormStyle(style);
    } catch (const Exception& e) {
      Note(std::string("style refused: ") + e.what());
    }
  }
  form->SetKeyPreview(Chance(30));
  form->SetShowHint(Chance(50));
  // The tag holds whether the form refuses to close (bit 0) and the close action it asks
  // for (above, caNone..caMinimize plus one); the monkey clears it to end a modal loop.
  form->SetTag((Chance(15) ? 1 : 0) | (static_cast<int>(Next(5)) << 1));
  form->OnCloseQuery = [](TObject* sender, bool& can) { can = !(static_cast<TComponent*>(sender)->GetTag() & 1); };
  form->OnClose = [](TObject* sender, TCloseAction& action) {
    if (int asked = static_cast<int>(static_cast<TComponent*>(sender)->GetTag() >> 1); asked > 0)
      action = static_cast<TCloseAction>(asked - 1);
  };

  // Panels inside panels, windowless blocks and glyphs, aligned, anchored or placed.
  std::vector<TWinControl*> parents{form};
  int controls = static_cast<int>(2 + Next(8));
  for (int i = 0; i < controls; ++i) {
    TWinControl* parent = parents[Next(static_cast<std::uint32_t>(parents.size()))];
    TControl* c = nullptr;
    std::uint32_t kind = Next(10);
    if (kind < 5) {
      auto* panel = NewComponent<TMonkeyPanel>(form, this);
      panel->SetTabStop(Chance(70));
      parents.push_back(panel);
      c = panel;
    } else if (kind < 8) {
      c = NewComponent<TBlock>(form);
      c->OnClick = [this](TObject* sender) { HandlerAction(static_cast<TControl*>(sender)); };
    } else {
      auto* glyph = NewComponent<TMonkeyGlyph>(form);
      if (TImageList* list = SomeImageList()) glyph->SetImages(list);
      c = glyph;
    }
    Track(c);
    c->SetName(Cat("C", n, "_", i));
    c->SetColor(kColours[Next(8)]);
    c->SetBounds(static_cast<int>(Next(200)), static_cast<int>(Next(150)), static_cast<int>(20 + Next(150)),
                 static_cast<int>(15 + Next(100)));
    if (Chance(40)) c->SetAlign(static_cast<TAlign>(1 + Next(5)));
    else if (Chance(40)) c->SetAnchors(TAnchors{akRight, akBottom});
    if (Chance(40)) {
      c->SetHint("Hint " + c->GetName() + "|long");
      c->SetShowHint(true);
    }
    c->SetParent(parent);
  }
  if (Chance(40)) {
    auto* list = NewComponent<TImageList>(form, 16, 16);
    Track(list);
    auto glyph = MakeObject<TBitmap>();
    glyph->SetSize(16, 16);
    glyph->GetCanvas()->GetBrush()->SetColor(kColours[Next(8)]);
    glyph->GetCanvas()->FillRect(TRect(0, 0, 16, 16));
    list->AddMasked(glyph.get(), clFuchsia);
  }
  if (Chance(40)) {
    auto* timer = NewComponent<TTimer>(form);
    Track(timer);
    timer->SetInterval(50 + Next(1000));
    std::uint32_t what = Next(6);
    timer->SetOnTimer([this, timer, what](TObject*) {
      Note("timer " + std::to_string(what));
      TCustomForm* owner = static_cast<TCustomForm*>(timer->Owner());
      switch (what) {
        case 0: owner->Invalidate(); break;
        case 1:
          if (TControl* c = Pick<TControl>()) c->SetVisible(!c->GetVisible());
          break;
        case 2: FreeObject(timer); break;
        case 3: owner->Release(); break;
        case 4: timer->SetEnabled(false); break;
        default:
          if (TWinControl* w = Pick<TWinControl>(); w && w->CanFocus()) w->SetFocus();
          break;
      }
    });
  }
  return form;
}

void Monkey::HandlerAction(TControl* sender) {
  std::uint32_t what = Next(8);
  Note("handler " + std::to_string(what) + " on " + sender->GetName());
  TCustomForm* form = GetParentForm(sender);
  switch (what) {
    case 0:
    case 1: RunDialog(form); break;
    case 2:
      if (form) form->Release();
      break;
    case 3:
      if (form) form->Close();
      break;
    case 4: sender->SetVisible(false); break;
    case 5:
      if (TWinControl* w = Pick<TWinControl>(); w && w->CanFocus()) w->SetFocus();
      break;
    default: break;
  }
}

void Monkey::RunDialog(TCustomForm*) {
  if (modalDepth_ >= 3) return;
  TCustomForm* dialog = NewForm(fsNormal, true);
  Note("modal " + dialog->GetName());
  ++modalDepth_;
  try {
    TModalResult result = dialog->ShowModal();
    Note("modal ended " + std::to_string(result));
  } catch (const Exception& e) {
    Note(std::string("modal raised ") + e.what());
  }
  --modalDepth_;
  if (Live(dialog) && Chance(60)) FreeObject(dialog);
}

// ---------------------------------------------------------------------------------------
// Where to point

POINT Monkey::PointOn(TControl* control) {
  int w = std::max(1, control->GetWidth()), h = std::max(1, control->GetHeight());
  TPoint p = control->ClientToScreen(TPoint(static_cast<int>(Next(w)), static_cast<int>(Next(h))));
  return POINT{p.x, p.y};
}

// The caption, the system buttons, the borders and corners, or the client.
POINT Monkey::PointOnForm(TCustomForm* form) {
  RECT r;
  GetWindowRect(form->GetHandle(), &r);
  int w = std::max(1, static_cast<int>(r.right - r.left)), h = std::max(1, static_cast<int>(r.bottom - r.top));
  int caption = GetSystemMetrics(SM_CYCAPTION);
  switch (Next(6)) {
    case 0:  // caption
      return POINT{r.left + static_cast<int>(Next(w)), r.top + 4 + static_cast<int>(Next(std::max(1, caption)))};
    case 1:  // a system button
      return POINT{r.right - 8 - static_cast<int>(Next(3)) * caption + static_cast<int>(Next(caption)),
                   r.top + 5 + static_cast<int>(Next(std::max(1, caption - 4)))};
    case 2: {  // a border or a corner
      int x = Chance(50) ? r.left + static_cast<int>(Next(4)) : r.right - 1 - static_cast<int>(Next(4));
      int y = Chance(50) ? r.top + static_cast<int>(Next(4)) : r.top + static_cast<int>(Next(h));
      if (Chance(50)) std::swap(x, y), x = r.left + static_cast<int>(Next(w)), y = r.bottom - 1 - static_cast<int>(Next(4));
      return POINT{x, y};
    }
    default: return POINT{r.left + static_cast<int>(Next(w)), r.top + static_cast<int>(Next(h))};
  }
}

POINT Monkey::SomePoint() {
  std::uint32_t where = Next(10);
  if (where < 5) {
    if (auto* f = Pick<TCustomForm>(); f && f->HandleAllocated() && IsWindowVisible(f->GetHandle()))
      return PointOnForm(f);
  } else if (where < 9) {
    if (auto* c = Pick<TControl>(); c && c->Showing() && c->GetParent()) return PointOn(c);
  }
  return POINT{static_cast<int>(Next(1280)), static_cast<int>(Next(800))};
}

// ---------------------------------------------------------------------------------------
// Operations

void Monkey::OpMouse() {
  POINT p = SomePoint();
  switch (Next(9)) {
    case 0: Note("move"); ui_.MoveTo(p.x, p.y); break;
    case 1: Note("click"); ui_.Click(p.x, p.y); break;
    case 2: Note("double-click"); ui_.DoubleClick(p.x, p.y); break;
    case 3: Note("right-click"); ui_.Click(p.x, p.y, InputEvent::Right); break;
    case 4: Note("down"); ui_.MouseDown(p.x, p.y); break;
    case 5: Note("up"); ui_.MouseUp(p.x, p.y); break;
    case 6: Note("wheel"); ui_.Wheel(p.x, p.y, Chance(50) ? 120 : -120); break;
    default: {
      POINT to = Chance(50) ? SomePoint() : POINT{p.x + static_cast<int>(Next(200)) - 100, p.y + static_cast<int>(Next(200)) - 100};
      Note("drag " + std::to_string(p.x) + "," + std::to_string(p.y) + " to " + std::to_string(to.x) + "," +
           std::to_string(to.y));
      ui_.Drag(p, to, 1 + static_cast<int>(Next(6)));
      break;
    }
  }
}

void Monkey::OpKeys() {
  auto chord = [&](std::initializer_list<int> held, int key) {
    for (int vk : held) ui_.KeyDown(vk);
    ui_.Press(key);
    for (int vk : held) ui_.KeyUp(vk);
  };
  switch (Next(14)) {
    case 0: Note("tab"); ui_.Press(VK_TAB); break;
    case 1: Note("shift+tab"); chord({VK_SHIFT}, VK_TAB); break;
    case 2: Note("escape"); ui_.Press(VK_ESCAPE); break;
    case 3: Note("enter"); ui_.Press(VK_RETURN); break;
    case 4: Note("alt"); ui_.Press(VK_MENU); break;
    case 5: Note("f10"); ui_.Press(VK_F10); break;
    case 6: Note("ctrl+f4"); chord({VK_CONTROL}, VK_F4); break;
    case 7: Note("ctrl+f6"); chord({VK_CONTROL}, VK_F6); break;
    case 8: Note("ctrl+tab"); chord({VK_CONTROL}, VK_TAB); break;
    case 9: Note("alt+f4"); chord({VK_MENU}, VK_F4); break;
    case 10: Note("space"); ui_.Press(VK_SPACE); break;
    case 11: Note("held key down"); ui_.KeyDown('A' + static_cast<int>(Next(26))); break;
    case 12: Note("arrows"); ui_.Press(VK_LEFT + static_cast<int>(Next(4))); break;
    default: Note("type"); ui_.Type("Hello, world!"); break;
  }
}

void Monkey::OpMake() {
  std::uint32_t what = Next(10);
  TCustomForm* main = Application()->GetMainForm();
  bool mdi = main && Live(main) && main->GetFormStyle() == fsMDIForm;
  if (what < 4 && mdi) {
    Note("make MDI child");
    TCustomForm* child = NewForm(fsMDIChild, false);
    if (Live(child) && Chance(30)) child->SetWindowState(wsMaximized);
  } else if (what < 5) {
    Note("make dialog from code");
    RunDialog(nullptr);
  } else {
    TFormStyle style = what < 6 ? fsStayOnTop : (what < 7 && !main ? fsMDIForm : fsNormal);
    TCustomForm* form = NewForm(style, false);
    Note("make form " + form->GetName() + " style " + std::to_string(form->GetFormStyle()));
    if (Live(form) && Chance(80)) form->Show();
  }
}

void Monkey::OpFree() {
  TComponent* doomed = nullptr;
  std::string why;
  switch (Next(7)) {
    case 0:
      if (HWND f = GetFocus()) doomed = FindControl(f), why = "focused";
      break;
    case 1:
      if (HWND c = GetCapture()) doomed = FindControl(c), why = "captured";
      break;
    case 2:
      if (TCustomForm* main = Application()->GetMainForm(); main && Live(main) && main->ActiveMDIChild())
        doomed = main->ActiveMDIChild(), why = "active MDI child";
      break;
    case 3: doomed = Pick<TImageList>(), why = "image list"; break;
    case 4: doomed = Pick<TCustomForm>(), why = "form"; break;
    case 5: doomed = Pick<TTimer>(), why = "timer"; break;
    default: doomed = Pick<TControl>(), why = "control"; break;
  }
  if (!doomed || !Live(doomed)) return;
  // The application's own windows (the hint window) are not the monkey's to free.
  if (!Live(doomed)) return;
  Note("free " + why + " " + doomed->GetName());
  if (auto* form = dynamic_cast<TCustomForm*>(doomed); form && Chance(40)) {
    form->Release();
    ui_.RunUntilIdle();
  } else {
    FreeObject(doomed);
  }
}

void Monkey::OpChange() {
  TControl* c = Pick<TControl>();
  if (!c) return;
  auto* form = dynamic_cast<TCustomForm*>(c);
  switch (Next(8)) {
    case 0:
      Note("toggle visible " + c->GetName());
      c->SetVisible(!c->GetVisible());
      break;
    case 1:
      Note("toggle enabled " + c->GetName());
      c->SetEnabled(!c->GetEnabled());
      break;
    case 2:
      Note("bounds " + c->GetName());
      c->SetBounds(static_cast<int>(Next(300)) - 20, static_cast<int>(Next(300)) - 20, static_cast<int>(Next(500)),
                   static_cast<int>(Next(400)));
      break;
    case 3:
      Note("align " + c->GetName());
      if (!form) c->SetAlign(static_cast<TAlign>(Next(6)));
      break;
    case 4:
      Note("anchors " + c->GetName());
      c->SetAnchors(TAnchors{static_cast<TAnchorKind>(Next(4)), static_cast<TAnchorKind>(Next(4))});
      break;
    case 5:
      Note("focus " + c->GetName());
      if (auto* w = dynamic_cast<TWinControl*>(c)) w->SetFocus();
      break;
    case 6:
      Note("z-order " + c->GetName());
      if (Chance(50)) c->BringToFront();
      else c->SendToBack();
      break;
    default:
      Note("show " + c->GetName());
      if (form) form->Show();
      else c->Show();
      break;
  }
}

void Monkey::OpWindowState() {
  auto* form = Pick<TCustomForm>();
  if (!form) return;
  switch (Next(6)) {
    case 0: Note("maximise " + form->GetName()); form->SetWindowState(wsMaximized); break;
    case 1: Note("minimise " + form->GetName()); form->SetWindowState(wsMinimized); break;
    case 2: Note("restore " + form->GetName()); form->SetWindowState(wsNormal); break;
    case 3: Note("close " + form->GetName()); form->Close(); break;
    case 4: {
      TCustomForm* main = Application()->GetMainForm();
      if (main && Live(main) && main->GetFormStyle() == fsMDIForm) {
        static const char* names[] = {"cascade", "tile", "arrange icons", "next", "previous"};
        std::uint32_t which = Next(5);
        Note(names[which]);
        switch (which) {
          case 0: main->Cascade(); break;
          case 1: main->Tile(); break;
          case 2: main->ArrangeIcons(); break;
          case 3: main->Next(); break;
          default: main->Previous(); break;
        }
      }
      break;
    }
    default: {
      static const UINT commands[] = {SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE, SC_CLOSE, SC_MOVE, SC_SIZE};
      UINT command = commands[Next(6)];
      Note("syscommand " + std::to_string(command) + " " + form->GetName());
      // A user reaches the system commands of a window on the screen only (posted to a hidden
      // form, the default handling would show its window behind the form's back).
      if (form->HandleAllocated() && IsWindowVisible(form->GetHandle()))
        PostMessage(form->GetHandle(), WM_SYSCOMMAND, command, 0);
      break;
    }
  }
}

void Monkey::OpReparent() {
  TControl* c = Pick<TControl>();
  TWinControl* p = Pick<TWinControl>();
  if (!c || !p || dynamic_cast<TCustomForm*>(c)) return;
  for (TWinControl* up = p; up; up = up->GetParent())
    if (up == c) return;  // into itself
  Note("reparent " + c->GetName() + " into " + p->GetName());
  c->SetParent(p);
}

void Monkey::OpRecreate() {
  auto* w = Pick<TWinControl>();
  if (!w || !w->HandleAllocated()) return;
  Note("recreate " + w->GetName());
  w->RecreateWnd();
}

void Monkey::OpThreadPost() {
  std::vector<HWND> targets;
  for (auto* w : LiveOf<TWinControl>())
    if (w->HandleAllocated() && Chance(30)) targets.push_back(w->GetHandle());
  if (!deadWindows_.empty()) targets.push_back(deadWindows_[Next(static_cast<std::uint32_t>(deadWindows_.size()))]);
  static const UINT messages[] = {WM_NULL, WM_USER + 7, WM_CLOSE, WM_CANCELMODE, WM_PAINT, WM_KILLFOCUS};
  std::vector<UINT> chosen;
  for (HWND target : targets) {
    UINT message = messages[Next(6)];
    // WM_CLOSE goes to forms: the default handling of a child's destroys the window under
    // its control, which re-makes it hidden on next use.
    if (message == WM_CLOSE && IsWindow(target) && (GetWindowLong(target, GWL_STYLE) & WS_CHILD)) message = WM_NULL;
    chosen.push_back(message);
  }
  Note("thread posts " + std::to_string(targets.size()));
  std::thread worker([&] {
    for (std::size_t i = 0; i < targets.size(); ++i) PostMessage(targets[i], chosen[i], 0, 0);
  });
  worker.join();
  ui_.RunUntilIdle();
}

// ---------------------------------------------------------------------------------------
// Running

void Monkey::Step() {
  std::uint32_t op = Next(100);
  try {
    if (op < 30) OpMouse();
    else if (op < 45) OpKeys();
    else if (op < 53) OpMake();
    else if (op < 60) OpFree();
    else if (op < 70) OpChange();
    else if (op < 77) OpWindowState();
    else if (op < 81) OpReparent();
    else if (op < 85) OpRecreate();
    else if (op < 88) OpThreadPost();
    else {
      DWORD ms = Next(4) == 0 ? 2000 : Next(300);
      Note("advance " + std::to_string(ms));
      ui_.Advance(ms);
    }
  } catch (const Exception& e) {
    Note(std::string("raised ") + e.what());
  }
  int dispatched = ui_.RunUntilIdle();
  if (dispatched >= 100000) broken_ = "the message loop never went idle";
  Check("after step");
}

// The button released and Escape pressed, left for the innermost loop to read itself (a
// caption drag or a border resize takes them from its own queue, not from the driver's).
void Monkey::EndLoopsByInput() {
  POINT p;
  GetCursorPos(&p);
  InputEvent e;
  e.kind = InputEvent::Kind::MouseUp;
  e.x = p.x;
  e.y = p.y;
  DesktopHost().Inject(e);
  e.kind = InputEvent::Kind::KeyDown;
  e.vk = VK_ESCAPE;
  DesktopHost().Inject(e);
  e.kind = InputEvent::Kind::KeyUp;
  DesktopHost().Inject(e);
}

// A modal loop (a dialog, a caption drag, a border resize) waits for input: the monkey goes
// on inside it, and after a while ends it as a user would (button up, Escape, a result).
void Monkey::ModalStep() {
  ui_.WhenModalWaits([this] { ModalStep(); });
  ++modalWaits_;
  if (!broken_.empty()) {
    // Leave every loop as fast as possible; one that will not end is left by force.
    if (++abortWaits_ > 20) throw MonkeyAbort{};
    for (auto* f : LiveOf<TCustomForm>()) {
      if (!f->FormState().Contains(fsModal)) continue;
      f->SetTag(0);
      f->SetModalResult(mrCancel);
    }
    EndLoopsByInput();
    PostMessage(nullptr, WM_NULL, 0, 0);
    return;
  }
  if (modalWaits_ > 400) {
    broken_ = "a modal loop would not end:";
    for (auto* f : LiveOf<TCustomForm>())
      if (f->FormState().Contains(fsModal))
        broken_ += Cat(" ", f->GetName(), " (result ", f->GetModalResult(), ", tag ", f->GetTag(), ", state ",
                       static_cast<int>(f->GetWindowState()), ")");
    if (GetCapture()) broken_ += " capture held";
    throw MonkeyAbort{};
  }
  if (modalWaits_ > 20) {
    Note("end modal loops");
    EndLoopsByInput();
    for (auto* f : LiveOf<TCustomForm>()) {
      if (!f->FormState().Contains(fsModal)) continue;
      f->SetTag(0);
      f->SetModalResult(Chance(50) ? mrCancel : mrOk);
    }
    PostMessage(nullptr, WM_NULL, 0, 0);
    return;
  }
  ++step_;
  Step();
  // Input arrives as messages: one wakes the loop to look at its state again, as the user's
  // next event would.
  PostMessage(nullptr, WM_NULL, 0, 0);
}

std::string Monkey::Run(int steps) {
  ui_.WhenModalWaits([this] { ModalStep(); });
  try {
    for (step_ = 0; step_ < steps && broken_.empty(); ++step_) {
      if (Application()->Terminated()) break;
      modalWaits_ = 0;
      Step();
    }
  } catch (const MonkeyAbort&) {
  }
  if (broken_.empty()) return {};
  std::ostringstream out;
  out << broken_ << "\n";
  // The last steps, a repeated line once.
  std::vector<std::string> lines;
  for (const std::string& line : journal_)
    if (lines.empty() || lines.back() != line) lines.push_back(line);
  std::size_t keep = std::getenv("QUILLO_STRESS_JOURNAL") ? lines.size() : 60;
  std::size_t from = lines.size() > keep ? lines.size() - keep : 0;
  for (std::size_t i = from; i < lines.size(); ++i) out << "  " << lines[i] << "\n";
  return out.str();
}

// A window as a failure names it: its control, class and place.
std::string Monkey::Describe(HWND window) const {
  std::string out;
  for (HWND h = window; h; h = GetParent(h)) {
    char cls[64] = {};
    GetClassName(h, cls, sizeof cls);
    TWinControl* c = FindControl(h);
    out += std::string("[") + cls + " " + (c && Live(c) ? std::string(c->GetName()) + (c->GetVisible() ? " Visible" : " not Visible") +
                                  (c->Showing() ? " Showing" : " not Showing") + " in " +
                                  (c->GetParent() ? std::string(c->GetParent()->GetName()) : "-")
                            : "?") +
           (IsWindowVisible(h) ? " visible" : " hidden") + (IsWindowEnabled(h) ? "" : " disabled") + "]";
  }
  return out;
}

// What a user relies on after every step.
void Monkey::Check(const char* where) {
  if (!broken_.empty()) return;
  auto fail = [&](const std::string& what) { broken_ = std::string(where) + ": " + what; };
  auto freed = [&](const void* p) { return p && freed_.count(static_cast<const TObject*>(p)) && !liveSet_.count(static_cast<const TObject*>(p)); };

  for (auto* w : LiveOf<TWinControl>()) {
    if (!w->HandleAllocated()) continue;
    if (!IsWindow(w->GetHandle())) return fail(w->GetName() + " keeps a destroyed window");
    if (FindControl(w->GetHandle()) != w) return fail(w->GetName() + "'s window names another control");
    // A child shows exactly when it is visible inside a parent that shows.
    bool shown = w->GetParent() && w->GetParent()->HandleAllocated() && IsWindowVisible(w->GetParent()->GetHandle());
    for (TWinControl* up = w->GetParent(); up; up = up->GetParent()) shown = shown && up->GetVisible();
    if (shown && w->GetVisible() != static_cast<bool>(IsWindowVisible(w->GetHandle())))
      return fail(w->GetName() + " does not show as its Visible says " + Describe(w->GetHandle()));
  }
  // Every window on the desktop belongs to a live control or to none.
  std::vector<HWND> windows;
  std::function<void(HWND)> collect = [&](HWND parent) {
    for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
      windows.push_back(h);
      collect(h);
    }
  };
  collect(GetDesktopWindow());
  for (HWND h : windows)
    if (freed(FindControl(h))) return fail("a window of a freed control is still on the desktop");

  if (HWND f = GetFocus()) {
    if (!IsWindow(f)) return fail("the focus is on a destroyed window");
    if (!IsWindowVisible(f)) return fail("the focus is on a hidden window " + Describe(f));
    if (!IsWindowEnabled(f)) return fail("the focus is on a disabled window");
    if (freed(FindControl(f))) return fail("the focus is on a freed control's window");
  }
  if (HWND c = GetCapture()) {
    if (!IsWindow(c)) return fail("the capture is held by a destroyed window");
    if (freed(FindControl(c))) return fail("the capture is held by a freed control's window");
  }
  if (HWND a = GetActiveWindow(); a && !IsWindow(a)) return fail("the active window is destroyed");

  TScreen* screen = Screen();
  for (int i = 0; i < screen->FormCount(); ++i)
    if (freed(screen->Forms(i))) return fail("the screen lists a freed form");
  if (freed(screen->ActiveForm())) return fail("the screen's active form is freed");
  if (freed(screen->ActiveControl())) return fail("the screen's active control is freed");
  if (freed(screen->FocusedForm())) return fail("the screen's focused form is freed");
  if (freed(Application()->GetMainForm())) return fail("the main form is freed");
  for (auto* form : LiveOf<TCustomForm>()) {
    if (freed(form->GetActiveControl())) return fail(form->GetName() + "'s active control is freed");
    if (freed(form->FocusedControl())) return fail(form->GetName() + "'s focused control is freed");
    if (form->GetFormStyle() != fsMDIForm || !form->ClientHandle()) continue;
    int zoomed = 0;
    for (int i = 0; i < form->MDIChildCount(); ++i) {
      TCustomForm* child = form->MDIChildren(i);
      if (freed(child)) return fail("the frame lists a freed child");
      if (child->HandleAllocated() && IsZoomed(child->GetHandle())) ++zoomed;
    }
    if (zoomed > 1) return fail("more than one MDI child is maximised");
    if (freed(form->ActiveMDIChild())) return fail("the frame's active child is freed");
  }
}
