// The framework's open and save dialogs: their properties reach the layer's dialog, the
// user's choice comes back in FileName, Files and FilterIndex, the events come in the
// dialog's order, and a derived dialog can put its own hook and child in front of the
// framework's, as the program's hooked dialogs do.

#include <gtest/gtest.h>

#include "support/FileDialogUser.h"
#include "VclFixture.h"
#include "platform/controls/Static.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/FileDialogs.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/PictureDialogs.h"
#include "support/TempHome.h"

namespace {

class FileDialogsTest : public VclTest {
protected:
  TempHome home;
  TForm* form = nullptr;
  FileDialogUser user{ui};

  void SetUp() override {
    form = Application()->CreateForm<TForm>();
    form->SetBounds(50, 50, 300, 200);
    form->Show();
    ui.RunUntilIdle();
  }
  std::string Path(const std::string& name) const { return home.Path() + "/" + name; }
};

TEST(FileDialogFilter, FilterTextBecomesPairsEndedByTwoNuls) {
  using namespace std::string_literals;
  struct Case {
    const char* filter;
    std::string expected;
  };
  const Case cases[] = {
      {"", ""s},
      {"Pictures|*.png;*.bmp", "Pictures\0*.png;*.bmp\0\0"s},
      {"A|*.a|B|*.b", "A\0*.a\0B\0*.b\0\0"s},
      {"A|*.a|Dangling", "A\0*.a\0\0"s},
  };
  for (const Case& c : cases) EXPECT_EQ(TOpenDialog::FilterString(c.filter), c.expected) << c.filter;
}

TEST_F(FileDialogsTest, OpenDialogRaisesItsEventsInOrderAndReturnsEveryChosenFile) {
  home.WriteFile("a.png", "a");
  home.WriteFile("b c.png", "b");
  home.WriteFile("notes.txt", "t");
  auto* dialog = NewComponent<TOpenDialog>(form);
  dialog->SetFilter("Pictures|*.png;*.bmp|Text|*.txt");
  dialog->SetFilterIndex(1);
  dialog->SetInitialDir(home.Path());
  dialog->SetTitle("Pick pictures");
  dialog->SetOptions(dialog->GetOptions() << ofAllowMultiSelect << ofFileMustExist << ofNoChangeDir);
  int vetoes = 1;
  dialog->SetOnShow([&](TObject*) { log.push_back(dialog->GetHandle() ? "show" : "show without window"); });
  dialog->SetOnClose([&](TObject*) { log.push_back("close"); });
  dialog->SetOnFolderChange([&](TObject*) { log.push_back("folder"); });
  dialog->SetOnSelectionChange([&](TObject*) { log.push_back("selection"); });
  dialog->SetOnTypeChange([&](TObject*) { log.push_back("type " + std::to_string(dialog->GetFilterIndex())); });
  dialog->SetOnCanClose([&](TObject*, bool& canClose) {
    log.push_back("can close " + std::to_string(dialog->GetFiles()->Count()));
    canClose = vetoes-- <= 0;
  });
  std::string caption;
  ui.WhenModalWaits([&] {
    char text[64] = {};
    GetWindowText(FileDialogUser::Dialog(), text, sizeof text);
    caption = text;
    user.ChooseType(1);
    user.ChooseType(0);
    user.ClickItem("a.png");
    user.ClickItem("b c.png", true);
    user.ClickControl(IDOK);
    user.ClickControl(IDOK);
  });
  ASSERT_TRUE(dialog->Execute());
  EXPECT_EQ(caption, "Pick pictures");
  EXPECT_EQ(log, (std::vector<std::string>{"show", "folder", "selection", "type 2", "type 1", "selection",
                                           "selection", "can close 2", "can close 2", "close"}));
  ASSERT_EQ(dialog->GetFiles()->Count(), 2);
  EXPECT_EQ(dialog->GetFiles()->Get(0), Path("a.png"));
  EXPECT_EQ(dialog->GetFiles()->Get(1), Path("b c.png"));
  EXPECT_EQ(dialog->GetFileName(), Path("a.png"));
  EXPECT_EQ(dialog->GetFilterIndex(), 1);
  EXPECT_EQ(dialog->GetHandle(), nullptr);
}

TEST_F(FileDialogsTest, SaveDialogAsksBeforeReplacingAndAddsTheDefaultExtension) {
  const std::string existing = home.WriteFile("drawing.png", "old");
  auto* dialog = NewComponent<TSaveDialog>(form);
  dialog->SetFilter("PNG image|*.png|All files|*.*");
  dialog->SetDefaultExt("png");
  dialog->SetInitialDir(home.Path());
  dialog->SetOptions(dialog->GetOptions() << ofOverwritePrompt << ofNoChangeDir);
  ui.AnswerMessageBoxes({IDNO});
  bool openAfterNo = false;
  ui.WhenModalWaits([&] {
    user.TypeName("drawing");
    openAfterNo = FileDialogUser::Dialog() != nullptr;
    user.TypeName("drawing v2");
  });
  ASSERT_TRUE(dialog->Execute());
  EXPECT_TRUE(openAfterNo);
  EXPECT_EQ(FileContents(existing), "old");
  EXPECT_EQ(dialog->GetFileName(), Path("drawing v2.png"));
  EXPECT_FALSE(dialog->GetOptions().Contains(ofExtensionDifferent));

  ui.WhenModalWaits([&] {
    user.ChooseType(1);
    user.TypeName("notes.txt");
  });
  ASSERT_TRUE(dialog->Execute());
  EXPECT_EQ(dialog->GetFileName(), Path("notes.txt"));
  EXPECT_EQ(dialog->GetFilterIndex(), 2);
  EXPECT_TRUE(dialog->GetOptions().Contains(ofExtensionDifferent));
}

TEST_F(FileDialogsTest, CancelLeavesTheFileNameAlone) {
  auto* dialog = NewComponent<TOpenDialog>(form);
  dialog->SetFileName("before.png");
  ui.WhenModalWaits([&] { user.ClickControl(IDCANCEL); });
  EXPECT_FALSE(dialog->Execute());
  EXPECT_EQ(dialog->GetFileName(), "before.png");
}

// A dialog that puts its own hook and an empty child in front of the framework's, consumes
// the selection change and passes everything else on.
class THookedOpenDialog : public TOpenDialog {
public:
  explicit THookedOpenDialog(TComponent* owner) : TOpenDialog(owner) {
    child_.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK | DS_CONTROL;
    child_.cx = child_.cy = 10;
  }
  std::vector<std::string> heard;

protected:
  BOOL TaskModalDialog(DialogFunction function, OPENFILENAME& record) override {
    record.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATEHANDLE;
    record.hInstance = &child_;
    LPOFNHOOKPROC old = record.lpfnHook;
    record.lpfnHook = [this, old](HWND hook, UINT message, WPARAM wParam, LPARAM lParam) -> UINT_PTR {
      if (message == WM_INITDIALOG) {
        heard.push_back("init");
        return 1;
      }
      if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_SELCHANGE) {
        heard.push_back("selection");
        return 1;
      }
      return old(hook, message, wParam, lParam);
    };
    return TOpenDialog::TaskModalDialog(function, record);
  }

private:
  DialogTemplate child_;
};

TEST_F(FileDialogsTest, ADerivedDialogsHookComesFirstAndPassesTheRestOn) {
  home.WriteFile("x.png", "x");
  auto* dialog = NewComponent<THookedOpenDialog>(form);
  dialog->SetInitialDir(home.Path());
  dialog->SetOptions(dialog->GetOptions() << ofNoChangeDir);
  dialog->SetOnShow([&](TObject*) { log.push_back("show"); });
  dialog->SetOnSelectionChange([&](TObject*) { log.push_back("selection"); });
  dialog->SetOnFolderChange([&](TObject*) { log.push_back("folder"); });
  ui.WhenModalWaits([&] {
    user.ClickItem("x.png");
    user.ClickControl(IDOK);
  });
  ASSERT_TRUE(dialog->Execute());
  EXPECT_EQ(dialog->GetFileName(), Path("x.png"));
  EXPECT_EQ(dialog->heard, (std::vector<std::string>{"init", "selection", "selection"}));
  EXPECT_EQ(log, (std::vector<std::string>{"show", "folder"}));
}

TEST_F(FileDialogsTest, PictureDialogPreviewsThePictureUnderTheCursorBesideTheList) {
  TBitmap bitmap;
  bitmap.SetSize(40, 30);
  bitmap.SaveToFile(Path("small.bmp"));
  home.WriteFile("broken.bmp", "not a bitmap");
  auto* dialog = NewComponent<TOpenPictureDialog>(form);
  dialog->SetInitialDir(home.Path());
  dialog->SetOptions(dialog->GetOptions() << ofNoChangeDir);
  std::vector<std::string> sizes;
  int previewWidth = 0;
  RECT list{}, frame{};
  ui.WhenModalWaits([&] {
    HWND window = FileDialogUser::Dialog();
    HWND child = nullptr;
    for (HWND w = GetWindow(window, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
      if (GetDlgItem(w, kPicturePreviewSize)) child = w;
    ASSERT_TRUE(child);
    auto sizeText = [&] {
      char text[64] = {};
      GetDlgItemText(child, kPicturePreviewSize, text, sizeof text);
      return std::string(text);
    };
    sizes.push_back(sizeText());
    user.ClickItem("small.bmp");
    sizes.push_back(sizeText());
    previewWidth = dialog->GetPreview()->GetWidth();
    user.ClickItem("broken.bmp");
    sizes.push_back(sizeText());
    GetWindowRect(GetDlgItem(window, lst1), &list);
    GetWindowRect(GetDlgItem(child, kPicturePreviewFrame), &frame);
    user.ClickControl(IDCANCEL);
  });
  EXPECT_FALSE(dialog->Execute());
  EXPECT_EQ(sizes, (std::vector<std::string>{"(None)", "(40x30)", "(None)"}));
  EXPECT_EQ(previewWidth, 40);
  EXPECT_GE(frame.left, list.right);
  EXPECT_EQ(dialog->GetPreview()->GetGraphic(), nullptr);  // freed as the dialog closed
}

}  // namespace
