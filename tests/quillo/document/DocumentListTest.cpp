// The list of open documents as a user meets it: new windows placed, numbered and active;
// the 33rd refused with its own message; the Window menu's entries, checks and choices;
// previous and next; closing windows (with the save question answered each way); the blank
// document that replaces the last one; fitting a window to its image; cascading.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "DocumentFixture.h"
#include "platform/rtl/Exceptions.h"
#include "platform/user/Menu.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Messages.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/RulerTicks.h"
#include "quillo/files/SaveCommands.h"
#include "quillo/shell/MainForm.h"
#include "quillo/document/Zoom.h"

namespace {

std::string WindowText(HWND window) {
  char text[512] = {};
  GetWindowText(window, text, sizeof text);
  return text;
}

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

struct MenuEntry {
  std::string caption;
  bool checked;
};

class DocumentListTest : public DocumentTest {
protected:
  // Opens the Window menu from the menu bar, reads its document entries as the user sees
  // them, and chooses the entry at choose (or closes the menu when choose is -1).
  std::vector<MenuEntry> OpenWindowMenu(int choose) {
    RECT bar;
    GetMenuItemRect(form->GetHandle(), form->MainMenu1->GetHandle(), form->WindowMenu->MenuIndex(), &bar);
    const POINT at = Centre(bar);
    ui.QueueClick(at.x, at.y);
    std::vector<MenuEntry> entries;
    ui.WhenModalWaits([&] {
      HMENU menu = form->WindowMenu->GetHandle();
      for (int i = 0; i < ImgFormCount; ++i) {
        char text[256] = {};
        GetMenuString(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        const bool checked = (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) != 0;
        entries.push_back({text, checked});
      }
      if (choose < 0) {
        ui.QueuePress(VK_ESCAPE);
        ui.QueuePress(VK_ESCAPE);
        return;
      }
      RECT item;
      GetMenuItemRect(nullptr, menu, static_cast<UINT>(choose), &item);
      const POINT p = Centre(item);
      ui.QueueMove(p.x, p.y);
      ui.QueueClick(p.x, p.y);
    });
    ui.RunUntilIdle();
    return entries;
  }

  void CloseByUser(TImageForm* window) {
    PostMessage(window->GetHandle(), WM_CLOSE, 0, 0);
    ui.RunUntilIdle();
  }

  std::vector<TImageForm*> OpenWindows() const {
    return std::vector<TImageForm*>(ImgForms.begin(), ImgForms.begin() + ImgFormCount);
  }
};

TEST_F(DocumentListTest, NewDocumentsAreNumberedPlacedAndActive) {
  TImageForm* first = NewDocument(64, 48);
  TImageForm* second = NewDocument(64, 48);

  ASSERT_EQ(OpenWindows(), (std::vector<TImageForm*>{first, second}));
  EXPECT_EQ(first->ListIndex, 0);
  EXPECT_EQ(second->ListIndex, 1);
  EXPECT_EQ(ImageForm, second);
  EXPECT_EQ(CurrentPicture, &second->Picture);
  EXPECT_EQ(GetActiveWindow(), second->GetHandle());
  // The first below the main window, the next cascaded from it.
  EXPECT_EQ(first->GetLeft(), std::max(form->GetLeft(), 0));
  EXPECT_EQ(first->GetTop(), form->GetTop() + form->GetHeight() - 1);
  EXPECT_EQ(second->GetLeft(), first->GetLeft() + WindowOffset);
  EXPECT_EQ(second->GetTop(), first->GetTop() + WindowOffset);
  EXPECT_EQ(WindowText(first->GetHandle()), "Untitled 1 [100%]");
  EXPECT_EQ(WindowText(second->GetHandle()), "Untitled 2 [100%]");
  // A new picture is the background colour, unchanged, and must be saved under a name.
  const COLORREF back = ColorToRGB(form->BackCol->GetColor());
  const uint expected = GetRValue(back) << 16 | GetGValue(back) << 8 | GetBValue(back);
  EXPECT_EQ(*second->Picture.At(10, 10) & 0xFFFFFF, expected);
  EXPECT_EQ(second->Picture.ChangeCount, 0);
  EXPECT_EQ(second->Picture.SaveAsRequired, 1);
  // Only the active window's caption has the active colours.
  EXPECT_EQ(second->GetGradientStopColor(), ActiveCaptionEndColor);
  EXPECT_EQ(first->GetGradientStopColor(), InactiveCaptionEndColor);
}

TEST_F(DocumentListTest, TheThirtyThirdDocumentIsRefusedWithItsOwnMessage) {
  NewDocument(16, 16);  // the blank start document gives way to it
  for (int i = 1; i < MaxDocuments; ++i) CreateDocumentWindow(16, 16, "");
  ui.RunUntilIdle();
  ASSERT_EQ(ImgFormCount, MaxDocuments);
  const std::vector<TImageForm*> before = OpenWindows();
  const int menuItems = form->WindowMenu->Count();

  std::vector<std::string> boxes;
  ui.OnMessageBox([&](const std::string& text, const std::string& caption, UINT flags) {
    boxes.push_back(text + " | " + caption + " | " + std::to_string(flags & 0xF0));
    return IDOK;
  });
  EXPECT_THROW(CreateDocumentWindow(16, 16, ""), EAbort) << "the command ends without a further message";
  ui.RunUntilIdle();

  EXPECT_EQ(boxes, (std::vector<std::string>{"Too many images are open. Close one first. | Error | " +
                                            std::to_string(MB_ICONEXCLAMATION)}));
  EXPECT_EQ(OpenWindows(), before);
  EXPECT_EQ(ImageForm, before.back());
  EXPECT_EQ(form->WindowMenu->Count(), menuItems);
  EXPECT_EQ(UntitledCounter, static_cast<std::uint32_t>(MaxDocuments + 1)) << "no number was used up";
}

TEST_F(DocumentListTest, TheWindowMenuListsTheDocumentsAndActivatesTheOneChosen) {
  for (int i = 0; i < 10; ++i) NewDocument(32, 24);

  std::vector<MenuEntry> entries = OpenWindowMenu(2);
  ASSERT_EQ(entries.size(), 10u);
  EXPECT_EQ(entries[0].caption, "[ 1] Untitled 1");
  EXPECT_EQ(entries[8].caption, "[ 9] Untitled 9");
  EXPECT_EQ(entries[9].caption, "[10] Untitled 10");
  for (int i = 0; i < 10; ++i) EXPECT_EQ(entries[static_cast<std::size_t>(i)].checked, i == 9) << i;
  EXPECT_EQ(ImageForm, ImgForms[2]);
  EXPECT_EQ(CurrentPicture, &ImgForms[2]->Picture);
  EXPECT_EQ(GetActiveWindow(), ImgForms[2]->GetHandle());

  entries = OpenWindowMenu(-1);
  ASSERT_EQ(entries.size(), 10u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(entries[static_cast<std::size_t>(i)].checked, i == 2) << i;
}

TEST_F(DocumentListTest, PreviousAndNextWrapAround) {
  for (int i = 0; i < 3; ++i) NewDocument(32, 24);
  TMenuItem* next = form->MenuItemNamed("NextImage1");
  TMenuItem* previous = form->MenuItemNamed("PrevImage1");
  ASSERT_TRUE(next && previous);
  next->Click();
  ui.RunUntilIdle();
  EXPECT_EQ(ImageForm, ImgForms[0]) << "after the last comes the first";
  next->Click();
  ui.RunUntilIdle();
  EXPECT_EQ(ImageForm, ImgForms[1]);
  previous->Click();
  previous->Click();
  ui.RunUntilIdle();
  EXPECT_EQ(ImageForm, ImgForms[2]) << "before the first comes the last";
  EXPECT_EQ(GetActiveWindow(), ImgForms[2]->GetHandle());
  EXPECT_EQ(CurrentPicture, &ImgForms[2]->Picture);
}

TEST_F(DocumentListTest, ClosingTheThirdOfFiveRenumbersTheLaterOnes) {
  for (int i = 0; i < 5; ++i) NewDocument(32, 24);
  const std::vector<TImageForm*> windows = OpenWindows();
  const int menuItems = form->WindowMenu->Count();

  CloseByUser(windows[2]);
  EXPECT_EQ(OpenWindows(), (std::vector<TImageForm*>{windows[0], windows[1], windows[3], windows[4]}));
  EXPECT_EQ(windows[3]->ListIndex, 2);
  EXPECT_EQ(windows[4]->ListIndex, 3);
  EXPECT_EQ(form->WindowMenu->Count(), menuItems - 1);
  EXPECT_EQ(ImageForm, windows[4]) << "the active window stays active";
  std::vector<MenuEntry> entries = OpenWindowMenu(-1);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[2].caption, "[ 3] Untitled 4");
  EXPECT_EQ(entries[3].caption, "[ 4] Untitled 5");
  EXPECT_TRUE(entries[3].checked);

  // Closing the active last window activates the new last one.
  CloseByUser(windows[4]);
  EXPECT_EQ(ImgFormCount, 3);
  EXPECT_EQ(ImageForm, windows[3]);
  EXPECT_EQ(CurrentPicture, &windows[3]->Picture);
}

// The save question on closing a changed document, answered each way.
TEST_F(DocumentListTest, ClosingAChangedDocumentAsksWhetherToSave) {
  struct Case {
    const char* what;
    int answer;
    const char* file;  // the picture's name, under the settings folder
    bool written;
    bool closes;
  };
  const Case cases[] = {
      {"Yes saves and closes", IDYES, "kept.bmp", true, true},
      {"No closes without writing", IDNO, "dropped.bmp", false, true},
      {"Cancel keeps the window", IDCANCEL, "cancelled.bmp", false, false},
      {"Yes with a save that fails keeps the window", IDYES, "no such folder/failed.bmp", false, false},
  };
  NewDocument(32, 24);  // the oldest stays open throughout
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TImageForm* window = NewDocument(32, 24);
    const std::string path = home.Path() + "/" + c.file;
    window->Picture.FileName = path;
    window->Picture.SaveAsRequired = 0;
    MarkPictureChanged();
    const int open = ImgFormCount;

    std::vector<std::string> questions;
    ui.OnMessageBox([&](const std::string& text, const std::string& caption, UINT flags) {
      if (flags == (MB_YESNOCANCEL | MB_ICONQUESTION)) {
        questions.push_back(text + " | " + caption);
        return c.answer;
      }
      return IDOK;  // the save's own error
    });
    CloseByUser(window);

    EXPECT_EQ(questions, (std::vector<std::string>{path + " [" + std::to_string(open) + "] has been changed. Save the changes? | Warning"}));
    EXPECT_EQ(std::filesystem::exists(path), c.written);
    EXPECT_EQ(ImgFormCount, c.closes ? open - 1 : open);
    EXPECT_EQ(SaveCancelled, c.closes ? 0 : 1);
    if (!c.closes) {
      EXPECT_EQ(ImgForms[static_cast<std::size_t>(open - 1)], window);
      EXPECT_TRUE(IsWindowVisible(window->GetHandle()));
      EXPECT_NE(window->Picture.ChangeCount, 0) << "the changes are still there to save";
      window->Picture.ChangeCount = 0;
      CloseByUser(window);
    }
  }
}

TEST_F(DocumentListTest, CloseAllStopsAtADocumentWhoseSaveFailed) {
  TImageForm* oldest = NewDocument(32, 24);
  TImageForm* changed = NewDocument(32, 24);
  NewDocument(32, 24);
  changed->Picture.FileName = home.Path() + "/no such folder/x.bmp";
  changed->Picture.SaveAsRequired = 0;
  changed->Picture.ChangeCount = 1;
  ui.OnMessageBox([](const std::string&, const std::string&, UINT flags) {
    return flags == (MB_YESNOCANCEL | MB_ICONQUESTION) ? IDYES : IDOK;
  });

  EXPECT_FALSE(CloseAllDocuments());
  ui.RunUntilIdle();
  EXPECT_EQ(OpenWindows(), (std::vector<TImageForm*>{oldest, changed})) << "the newest closed, the rest kept";
  EXPECT_EQ(changed->Picture.ChangeCount, 1);
}

// The main window hears when the last document has gone (it makes the blank one unless the
// program is closing) and when one has opened (it closes the untouched blank one).
TEST_F(DocumentListTest, TheMainWindowHearsOfTheLastDocumentClosingAndOfOpenings) {
  std::vector<UINT> heard;
  TWndMethod previous = form->WindowProc;
  form->WindowProc = [&heard, previous](TMessage& m) {
    if (m.Msg == UM_LASTDOCCLOSED || m.Msg == UM_DOCOPENED) heard.push_back(m.Msg);
    previous(m);
  };
  TImageForm* first = NewDocument(32, 24);
  NewDocument(32, 24);
  EXPECT_EQ(heard, (std::vector<UINT>{UM_DOCOPENED, UM_DOCOPENED}));
  heard.clear();
  CloseByUser(first);
  EXPECT_TRUE(heard.empty()) << "documents remain";
  EXPECT_TRUE(CloseAllDocuments());
  ui.RunUntilIdle();
  ASSERT_FALSE(heard.empty());
  EXPECT_EQ(heard.front(), UM_LASTDOCCLOSED);
  form->WindowProc = previous;
  // The main window then makes the blank document: there is always one.
  ASSERT_EQ(ImgFormCount, 1);
  TImageForm* blank = ImgForms[0];
  EXPECT_EQ(ImageForm, blank);
  EXPECT_EQ(CurrentPicture, &blank->Picture);
  EXPECT_EQ(blank->Picture.BlankStart, 1);
  EXPECT_EQ(blank->Picture.Width(), 384);
  EXPECT_EQ(blank->Picture.Height(), 288);
}

TEST_F(DocumentListTest, ClosingTheProgramLeavesNoBlankDocument) {
  NewDocument(32, 24);
  NewDocument(32, 24);
  form->Close();
  ui.RunUntilIdle();
  EXPECT_EQ(ImgFormCount, 0);
}

// An untouched blank document gives way to the next one: that one is placed below the main
// window, where the blank one was, not cascaded from it.
TEST_F(DocumentListTest, AnUntouchedBlankDocumentGivesWayToTheNextOne) {
  TImageForm* blank = NewDocument(32, 24);
  blank->Picture.BlankStart = 1;
  TImageForm* next = CreateDocumentWindow(32, 24, "");
  CloseUntouchedBlankDocuments();
  ui.RunUntilIdle();
  EXPECT_EQ(OpenWindows(), (std::vector<TImageForm*>{next}));
  EXPECT_EQ(next->ListIndex, 0);
  EXPECT_EQ(ImageForm, next);
  EXPECT_EQ(next->GetLeft(), std::max(form->GetLeft(), 0));
  EXPECT_EQ(next->GetTop(), form->GetTop() + form->GetHeight() - 1);
}

TEST_F(DocumentListTest, AnUntouchedBlankDocumentIsReleasedOnce) {
  TImageForm* blank = NewDocument(32, 24);
  blank->Picture.BlankStart = 1;
  const HWND handle = blank->GetHandle();
  CreateDocumentWindow(32, 24, "");
  // Two documents opening before the loop runs, and a close of the user's on top.
  CloseUntouchedBlankDocuments();
  CloseUntouchedBlankDocuments();
  blank->Close();

  int releases = 0;
  MSG message;
  while (PeekMessage(&message, handle, CM_RELEASE, CM_RELEASE, PM_REMOVE)) ++releases;
  EXPECT_EQ(releases, 1);
  PostMessage(handle, CM_RELEASE, 0, 0);
  ui.RunUntilIdle();
  EXPECT_EQ(ImgFormCount, 1);
  EXPECT_FALSE(IsWindow(handle));
}

TEST_F(DocumentListTest, FittingShowsATinyAndALargeImageWhole) {
  struct Case {
    int width, height;
  };
  for (Case c : {Case{1, 1}, Case{3000, 2000}}) {
    SCOPED_TRACE(c.width);
    TImageForm* window = NewDocument(c.width, c.height);
    const int position = ZoomPosition();
    EXPECT_EQ(window->ShowBuf->GetWidth(), ZoomedSize(c.width, position));
    EXPECT_EQ(window->ShowBuf->GetHeight(), ZoomedSize(c.height, position));
    EXPECT_FALSE(window->MaxSize->GetHorzScrollBar()->IsScrollBarVisible()) << "the whole width shows";
    EXPECT_FALSE(window->MaxSize->GetVertScrollBar()->IsScrollBarVisible()) << "the whole height shows";
    RECT frame;
    GetWindowRect(window->GetHandle(), &frame);
    EXPECT_LE(frame.right, WorkArea.right);
    EXPECT_LE(frame.bottom, WorkArea.bottom);
    if (c.width == 1) {
      EXPECT_GT(position, 1) << "a tiny image is zoomed in";
      EXPECT_GE(frame.right - frame.left, 0);
    } else {
      EXPECT_LT(position, 1) << "a large image is zoomed out";
      const int frameWidth = frame.right - frame.left - window->MaxSize->GetClientWidth();
      const int frameHeight = frame.bottom - frame.top - window->MaxSize->GetClientHeight();
      EXPECT_TRUE(ZoomedSize(c.width, position + 1) > WorkArea.right - frame.left - frameWidth ||
                  ZoomedSize(c.height, position + 1) > WorkArea.bottom - frame.top - frameHeight)
          << "the next preset up would not fit";
    }
  }
}

TEST_F(DocumentListTest, TheRulersShowTheTicksOfEachNewZoom) {
  TImageForm* window = NewDocument(400, 300);
  for (int step = 0; step < 3; ++step) {
    ClickZoom(btNext);
    SCOPED_TRACE(window->Zoom);
    const double resolution = window->Picture.Resolution;
    const TickSpacing spacing = ChooseTickSpacing(RulerUnit::Inches, resolution, window->Zoom);
    const double perInch = ImagePixelsPerUnit(RulerUnit::Inches, resolution);
    const int originX = window->MaxSize->GetLeft() + 2 + std::max(window->ShowBuf->GetLeft(), 0);
    const auto ticks = ListRulerTicks(window->MaxSize->GetHorzScrollBar()->ScrollPos(), window->Zoom, 400,
                                      window->MaxSize->GetClientWidth(), spacing.minor * perInch, spacing.major * perInch);
    TCanvas* ruler = window->TopRuler->GetPicture()->GetBitmap()->GetCanvas();
    int numbered = 0;
    for (const RulerTick& tick : ticks) {
      if (!tick.numbered) continue;
      ++numbered;
      // A numbered tick's line reaches up to row 9; the short ones start at row 12.
      EXPECT_NE(ColorToRGB(ruler->GetPixel(originX + tick.offset, 10)), ColorToRGB(clBtnFace)) << tick.position;
    }
    EXPECT_GT(numbered, 1);
  }
}

TEST_F(DocumentListTest, CascadeLaysTheWindowsOutBelowTheMainWindow) {
  for (int i = 0; i < 3; ++i) NewDocument(32, 24);
  const std::vector<TImageForm*> windows = OpenWindows();
  windows[0]->SetBounds(500, 400, windows[0]->GetWidth(), windows[0]->GetHeight());
  windows[1]->SetBounds(300, 500, windows[1]->GetWidth(), windows[1]->GetHeight());
  TMenuItem* cascade = form->MenuItemNamed("Cascade1");
  ASSERT_TRUE(cascade);
  cascade->Click();
  ui.RunUntilIdle();

  const int left = form->GetLeft();
  const int top = form->GetTop() + form->GetHeight() - 1;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(windows[static_cast<std::size_t>(i)]->GetLeft(), left + i * WindowOffset) << i;
    EXPECT_EQ(windows[static_cast<std::size_t>(i)]->GetTop(), top + i * WindowOffset) << i;
  }
  EXPECT_EQ(ImageForm, windows[2]) << "the active document stays active, on top";
  EXPECT_EQ(GetActiveWindow(), windows[2]->GetHandle());
}

}  // namespace
