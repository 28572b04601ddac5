// The hooked open and save dialogs, driven as a user drives them: the host form's controls
// lent to the dialog and given back, the events, the veto of OK, and the hook steering the
// dialog's folder, name and type.

#include "quillo/components/files/HookedFileDialog.h"

#include <gtest/gtest.h>

#include "platform/vcl/Application.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdButtons.h"
#include "support/TempHome.h"
#include "support/UiDriver.h"
#include "support/FileDialogUser.h"

namespace {

template <class T>
T* Make(TComponent* owner, TWinControl* parent, const char* name, int left, int top, int width, int height) {
  T* c = NewComponent<T>(owner);
  c->SetName(name);
  c->SetBounds(left, top, width, height);
  c->SetParent(parent);
  return c;
}

POINT CentreOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A host form as the program makes one: a panel with a button, a button of its own, a
// hidden panel, and the dialog component; never shown by itself.
class HostForm {
public:
  explicit HostForm(bool save) {
    form = Application()->CreateForm<TForm>();
    form->SetName("HostForm");
    form->SetClientWidth(300);
    form->SetClientHeight(90);
    panel = Make<TPanel>(form, form, "Panel", 5, 6, 200, 60);
    inner = Make<TButton>(form, panel, "Inner", 10, 10, 80, 24);
    inner->OnClick = [this](TObject*) { clicks.push_back("inner"); };
    direct = Make<TButton>(form, form, "Direct", 210, 10, 80, 24);
    direct->OnClick = [this](TObject*) { clicks.push_back("direct"); };
    hidden = Make<TPanel>(form, form, "Hidden", 210, 50, 60, 30);
    hidden->SetVisible(false);
    if (save) {
      auto* d = NewComponent<TSaveDialogEx>(form);
      hook = &d->Hook();
      dialog = d;
    } else {
      auto* d = NewComponent<TCustomOpenDialog>(form);
      hook = &d->Hook();
      dialog = d;
    }
    dialog->SetFilter("Pictures|*.png;*.bmp|Text|*.txt");
    // Shown once far off the desktop, so that its windows exist, and hidden again.
    form->SetTop(-20000);
    form->SetVisible(true);
    form->SetVisible(false);
  }
  ~HostForm() { FreeObject(form); }
  HostForm(const HostForm&) = delete;
  HostForm& operator=(const HostForm&) = delete;

  TForm* form = nullptr;
  TPanel* panel = nullptr;
  TButton* inner = nullptr;
  TButton* direct = nullptr;
  TPanel* hidden = nullptr;
  TOpenDialog* dialog = nullptr;
  TCustomDialog* hook = nullptr;
  std::vector<std::string> clicks;
};

class HookedFileDialogTest : public ::testing::Test {
protected:
  ~HookedFileDialogTest() override { ResetApplication(); }
  UiDriver ui;
  TempHome home;
  FileDialogUser user{ui};
};

// The panel and the form's own controls sit in the dialog while it runs (the hidden one stays
// hidden) and work there; afterwards they are back on the form where they stood.
TEST_F(HookedFileDialogTest, TheHostFormLendsItsControlsAndGetsThemBack) {
  for (bool save : {false, true}) {
    SCOPED_TRACE(save ? "save" : "open");
    HostForm host(save);
    host.dialog->SetInitialDir(home.Path());
    HWND panelParent = nullptr, hiddenParent = nullptr, child = nullptr, childParent = nullptr, dialog = nullptr,
         hookDialog = nullptr;
    bool panelShown = false, hiddenShown = true;
    RECT childRect{};
    ui.WhenModalWaits([&] {
      dialog = FileDialogUser::Dialog();
      child = host.hook->ChildWnd;
      childParent = GetParent(child);
      hookDialog = host.hook->DialogWnd;
      panelParent = GetParent(host.panel->GetHandle());
      hiddenParent = GetParent(host.hidden->GetHandle());
      panelShown = IsWindowVisible(host.panel->GetHandle());
      hiddenShown = IsWindowVisible(host.hidden->GetHandle());
      GetClientRect(child, &childRect);
      POINT p = CentreOf(host.inner->GetHandle());
      ui.Click(p.x, p.y);
      p = CentreOf(host.direct->GetHandle());
      ui.Click(p.x, p.y);
      host.hook->Cancel();
    });
    EXPECT_FALSE(host.dialog->Execute());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(hookDialog, dialog);
    EXPECT_EQ(childParent, dialog);
    // Once closed the hook sends nothing to windows that are gone.
    EXPECT_EQ(host.hook->DialogWnd, nullptr);
    EXPECT_EQ(host.hook->GetSelFileName(), "");
    EXPECT_EQ(panelParent, child);
    EXPECT_EQ(hiddenParent, child);
    EXPECT_TRUE(panelShown);
    EXPECT_FALSE(hiddenShown);
    EXPECT_EQ(childRect.right, 300);
    EXPECT_EQ(childRect.bottom, 90);
    EXPECT_EQ(host.clicks, (std::vector<std::string>{"inner", "direct"}));

    EXPECT_EQ(GetParent(host.panel->GetHandle()), host.form->GetHandle());
    EXPECT_EQ(GetParent(host.hidden->GetHandle()), host.form->GetHandle());
    RECT r{};
    GetWindowRect(host.panel->GetHandle(), &r);
    POINT topLeft{r.left, r.top};
    ScreenToClient(host.form->GetHandle(), &topLeft);
    EXPECT_EQ(topLeft.x, 5);
    EXPECT_EQ(topLeft.y, 6);
    EXPECT_EQ(host.panel->GetLeft(), 5);
    EXPECT_FALSE(IsWindowVisible(host.hidden->GetHandle()));
    EXPECT_FALSE(IsWindow(child));
  }
}

// OK asks OnFileOk: a handler that leaves the flag false keeps the dialog open; without a
// handler the file is taken at once.
TEST_F(HookedFileDialogTest, OkIsRefusedUntilTheHandlerAccepts) {
  home.WriteFile("cat.png", "png");
  for (bool withHandler : {false, true}) {
    SCOPED_TRACE(withHandler ? "handler" : "none");
    HostForm host(false);
    auto* dialog = static_cast<TCustomOpenDialog*>(host.dialog);
    dialog->SetInitialDir(home.Path());
    int asked = 0;
    if (withHandler)
      dialog->SetOnFileOk([&](TObject* sender, bool& accept) {
        EXPECT_EQ(sender, dialog);
        EXPECT_FALSE(accept);
        accept = ++asked == 2;
      });
    bool openAfterFirstOk = false;
    ui.WhenModalWaits([&] {
      user.ClickItem("cat.png");
      user.ClickControl(IDOK);
      if (!withHandler) return;  // one OK is enough
      openAfterFirstOk = FileDialogUser::Dialog() != nullptr;
      user.ClickControl(IDOK);
    });
    ASSERT_TRUE(dialog->Execute());
    EXPECT_EQ(openAfterFirstOk, withHandler);
    EXPECT_EQ(asked, withHandler ? 2 : 0);
    EXPECT_EQ(dialog->GetFileName(), home.Path() + "/cat.png");
    EXPECT_EQ(host.hook->SelPath, home.Path() + "/cat.png");
  }
}

// The selection and type events, and the hook reading and choosing the name and the type.
TEST_F(HookedFileDialogTest, SelectionAndTypeReachTheHostAndTheHostSteersThem) {
  home.WriteFile("cat.png", "png");
  home.WriteFile("notes.txt", "txt");
  HostForm host(false);
  auto* dialog = static_cast<TCustomOpenDialog*>(host.dialog);
  dialog->SetInitialDir(home.Path());
  std::vector<std::string> selections;
  std::vector<int> types;
  dialog->SetOnSelChange([&](TObject* sender) {
    EXPECT_EQ(sender, dialog);
    selections.push_back(host.hook->SelPath);
  });
  dialog->SetOnTypeChange([&](TObject*, int index) { types.push_back(index); });
  std::string name;
  int typeAfterSet = 0;
  std::vector<std::string> listed;
  ui.WhenModalWaits([&] {
    user.ClickItem("cat.png");
    name = host.hook->GetSelFileName();
    host.hook->SetSelFilterIndex(2);
    typeAfterSet = host.hook->GetSelFilterIndex();
    listed = user.ListNames();
    host.hook->SetSelFileName("other.txt");
    name += '|';
    name += user.Spec();
    host.hook->Cancel();
  });
  EXPECT_FALSE(dialog->Execute());
  // Before any file is chosen the selection is the folder the dialog shows.
  ASSERT_FALSE(selections.empty());
  EXPECT_EQ(selections.back(), home.Path() + "/cat.png");
  EXPECT_EQ(name, "cat.png|other.txt");
  EXPECT_EQ(types, (std::vector<int>{2}));
  EXPECT_EQ(typeAfterSet, 2);
  EXPECT_EQ(listed, (std::vector<std::string>{"notes.txt"}));
}

// Sending the dialog to another folder keeps a typed name, unless the dialog clears the name
// on every change of folder; the OK that carries the folder never accepts a file.
TEST_F(HookedFileDialogTest, AnotherFolderKeepsOrClearsTheTypedName) {
  home.WriteFile("sub/inner.png", "png");
  for (bool clear : {false, true}) {
    SCOPED_TRACE(clear ? "clears" : "keeps");
    HostForm host(false);
    auto* dialog = static_cast<TCustomOpenDialog*>(host.dialog);
    dialog->SetInitialDir(home.Path());
    dialog->SetClearFileNameOnFolderChange(clear);
    bool okAsked = false;
    dialog->SetOnFileOk([&](TObject*, bool& accept) {
      okAsked = true;
      accept = true;
    });
    std::string folder, spec;
    bool stillOpen = false;
    ui.WhenModalWaits([&] {
      user.TypeName("typed.png", false);
      host.hook->SetSelFolder((home.Path() + "/sub/").c_str());
      stillOpen = FileDialogUser::Dialog() != nullptr;
      folder = user.Folder();
      spec = user.Spec();
      host.hook->Cancel();
    });
    EXPECT_FALSE(dialog->Execute());
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(okAsked);
    EXPECT_FALSE(host.hook->InSetFolder);
    EXPECT_EQ(folder, home.Path() + "/sub");
    EXPECT_EQ(spec, clear ? "" : "typed.png");
  }
}

// The host changes its panel while the dialog runs: RefreshControls shows and hides the lent
// controls as they now are and grows the dialog by what the form grew. (Where the room goes
// inside the dialog is the dialog's own layout.)
TEST_F(HookedFileDialogTest, RefreshControlsFollowsTheHostForm) {
  HostForm host(false);
  host.dialog->SetInitialDir(home.Path());
  RECT dialogBefore{}, dialogAfter{};
  bool hiddenShown = false, panelShown = true;
  int panelHeight = 0;
  ui.WhenModalWaits([&] {
    GetWindowRect(host.hook->DialogWnd, &dialogBefore);
    host.form->SetClientHeight(120);
    host.hidden->SetVisible(true);
    host.panel->SetVisible(false);
    host.hook->RefreshControls();
    GetWindowRect(host.hook->DialogWnd, &dialogAfter);
    hiddenShown = IsWindowVisible(host.hidden->GetHandle());
    panelShown = IsWindowVisible(host.panel->GetHandle());
    panelHeight = host.hook->PanelHeight;
    host.hook->Cancel();
  });
  EXPECT_FALSE(host.dialog->Execute());
  EXPECT_EQ(dialogAfter.bottom - dialogAfter.top, dialogBefore.bottom - dialogBefore.top + 30);
  EXPECT_EQ(dialogAfter.right - dialogAfter.left, dialogBefore.right - dialogBefore.left);
  EXPECT_TRUE(hiddenShown);
  EXPECT_FALSE(panelShown);
  EXPECT_EQ(panelHeight, 120);
}

}  // namespace
