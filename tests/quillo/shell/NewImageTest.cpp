// File > New: the dialog that asks the size of a new image (proposing the last one, keeping
// the sizes between 1 and 16384, Enter and Esc, its place), and the blank document it makes:
// of that size, in the background colour, maximised like the active one; an image too large
// for memory or a 33rd document gives a message and no window.

#include <functional>
#include <string>
#include <vector>

#include "../document/DocumentFixture.h"
#include "platform/controls/Edit.h"
#include "platform/rtl/Exceptions.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/base/Language.h"
#include "quillo/shell/NewForm.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolObjects.h"

namespace {

constexpr TColor kBackground = static_cast<TColor>(0x00336699);  // framework order: 0x00BBGGRR
constexpr uint kBackgroundPixel = 0x996633;

std::uint64_t LittleMemory() { return 1u << 20; }

class NewImageTest : public DocumentTest {
protected:
  // A document of the user's own: the blank one of the start would go as the first new one
  // opens.
  NewImageTest() {
    NewFormLeft = -1;
    NewFormTop = 0;
    form->BackCol->SetColor(kBackground);
    NewDocument(64, 48);
  }
  ~NewImageTest() override {
    NewFormLeft = -1;
    NewFormTop = 0;
    NewImageMemoryAvailable = savedQuery_;
    WorkArea = savedWorkArea_;
  }

  static TNewForm* Dialog() { return dynamic_cast<TNewForm*>(Screen()->ActiveForm()); }

  // Chooses File > New from the menu bar; the user's doings run once the dialog waits.
  void ChooseFileNew(std::function<void(TNewForm*)> user) {
    const MenuPlace bar = FindMenuItem({"&File"});
    const MenuPlace entry = FindMenuItem({"&File", "&New..."});
    ASSERT_NE(entry.position, -1);
    RECT r{};
    ASSERT_TRUE(GetMenuItemRect(form->GetHandle(), bar.menu, static_cast<UINT>(bar.position), &r));
    ui.WhenModalWaits([this, entry, user] {
      RECT item{};
      GetMenuItemRect(form->GetHandle(), entry.menu, static_cast<UINT>(entry.position), &item);
      ui.QueueClick((item.left + item.right) / 2, (item.top + item.bottom) / 2);
      ui.WhenModalWaits([this, user] { Answer(user); });
    });
    ui.Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }

  void Answer(const std::function<void(TNewForm*)>& user) {
    TNewForm* dialog = Dialog();
    ASSERT_NE(dialog, nullptr) << "the dialog is the active window";
    seen_.push_back({dialog->GetBoundsRect(), static_cast<int>(dialog->SizeX->GetAsInteger()),
                     static_cast<int>(dialog->SizeY->GetAsInteger()), dialog->GetActiveControl() == dialog->SizeX});
    user(dialog);
  }

  // Replaces a field's text as a user does: a click into it, everything selected, typing.
  void TypeInto(TWinControl* field, const std::string& text) {
    RECT r{};
    GetWindowRect(field->GetHandle(), &r);
    ui.Click(r.left + 20, (r.top + r.bottom) / 2);
    SendMessage(field->GetHandle(), EM_SETSEL, 0, -1);
    ui.Type(text);
  }
  void ClickButton(TWinControl* button) {
    RECT r{};
    GetWindowRect(button->GetHandle(), &r);
    ui.Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }

  // What the dialog showed when it opened.
  struct Seen {
    TRect bounds;
    int sizeX;
    int sizeY;
    bool sizeXActive;
  };
  std::vector<Seen> seen_;

private:
  MemoryQuery savedQuery_ = NewImageMemoryAvailable;
  TRect savedWorkArea_ = WorkArea;
};

bool AllPixelsAre(const UDBuffer& picture, uint colour) {
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x)
      if ((*picture.At(x, y) & 0x00FFFFFF) != colour) return false;
  return true;
}

// Sizes typed into the dialog, and the image they give: the fields keep to 1 .. 16384.
TEST_F(NewImageTest, FileNewMakesABlankImageOfTheSizeAskedInTheBackgroundColour) {
  struct Case {
    const char* width;
    const char* height;
    int expectedWidth;
    int expectedHeight;
  };
  const Case cases[] = {{"300", "200", 300, 200}, {"1", "1", 1, 1},         {"16384", "1", 16384, 1},
                        {"1", "16384", 1, 16384}, {"0", "20000", 1, 16384}, {"77777", "3", 16384, 3}};
  int documents = ImgFormCount;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.width) + " x " + c.height);
    ChooseFileNew([&](TNewForm* dialog) {
      TypeInto(dialog->SizeX, c.width);
      TypeInto(dialog->SizeY, c.height);
      ui.Press(VK_RETURN);
    });
    ui.RunUntilIdle();
    ASSERT_EQ(ImgFormCount, ++documents);
    EXPECT_EQ(Screen()->ActiveForm(), ImageForm);
    EXPECT_TRUE(ImageForm->GetVisible());
    EXPECT_EQ(CurrentPicture->Width(), c.expectedWidth);
    EXPECT_EQ(CurrentPicture->Height(), c.expectedHeight);
    EXPECT_TRUE(AllPixelsAre(*CurrentPicture, kBackgroundPixel));
    EXPECT_EQ(form->LastImageSize, TPoint(c.expectedWidth, c.expectedHeight));
    EXPECT_EQ(CurrentPicture->ChangeCount, 0);
    EXPECT_EQ(ImageForm->GetCaption().find(LangMessage("Untitled")), 0u);
    EXPECT_NE(ImageForm->GetCaption().find("%]"), AnsiString::npos) << "the long caption with the zoom";
    EXPECT_EQ(ToolSuspendDepth, 0);
    EXPECT_EQ(CurrentTool, &PenContTool);
  }
  // Each opening proposed the size made last.
  ASSERT_EQ(seen_.size(), std::size(cases));
  EXPECT_EQ(seen_[0].sizeX, BlankDocumentWidth);
  EXPECT_EQ(seen_[0].sizeY, BlankDocumentHeight);
  for (std::size_t i = 1; i < seen_.size(); ++i) {
    EXPECT_EQ(seen_[i].sizeX, cases[i - 1].expectedWidth);
    EXPECT_EQ(seen_[i].sizeY, cases[i - 1].expectedHeight);
  }
  for (const Seen& s : seen_) EXPECT_TRUE(s.sizeXActive);
}

// The ways out of the dialog: Enter from either field and OK make the image; Esc from either
// field and Cancel make nothing and keep the size it had.
TEST_F(NewImageTest, EnterAndOkAcceptEscapeAndCancelMakeNothing) {
  enum class Field { X, Y };
  enum class Finish { Enter, OkButton, Escape, CancelButton };
  struct Case {
    const char* name;
    Field field;
    const char* text;
    Finish finish;
    bool accepted;
  };
  const Case cases[] = {
      {"Enter in Size X", Field::X, "40", Finish::Enter, true},
      {"Enter in Size Y", Field::Y, "30", Finish::Enter, true},
      {"OK", Field::X, "50", Finish::OkButton, true},
      {"Esc in Size X", Field::X, "60", Finish::Escape, false},
      {"Esc in Size Y", Field::Y, "60", Finish::Escape, false},
      {"Cancel", Field::X, "70", Finish::CancelButton, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int documents = ImgFormCount;
    const TPoint sizeBefore = form->LastImageSize;
    ChooseFileNew([&](TNewForm* dialog) {
      TypeInto(c.field == Field::X ? dialog->SizeX : dialog->SizeY, c.text);
      switch (c.finish) {
        case Finish::Enter: ui.Press(VK_RETURN); break;
        case Finish::OkButton: ClickButton(dialog->OkBtn); break;
        case Finish::Escape: ui.Press(VK_ESCAPE); break;
        case Finish::CancelButton: ClickButton(dialog->CancelBtn); break;
      }
    });
    ui.RunUntilIdle();
    EXPECT_EQ(ImgFormCount, documents + (c.accepted ? 1 : 0));
    if (!c.accepted) {
      EXPECT_EQ(form->LastImageSize, sizeBefore);
    }
    EXPECT_EQ(Dialog(), nullptr) << "the dialog is gone";
    EXPECT_EQ(ToolSuspendDepth, 0);
  }
  EXPECT_EQ(form->LastImageSize, TPoint(50, 30));
}

// The standard toolbar's New button opens the same dialog.
TEST_F(NewImageTest, TheNewButtonOpensTheDialog) {
  auto* button = dynamic_cast<tbx::TToolbarButtonX*>(form->FindComponent("NewBtn"));
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(button->GetEnabled());
  const int documents = ImgFormCount;
  ui.WhenModalWaits([this] { Answer([this](TNewForm*) { ui.Press(VK_RETURN); }); });
  const TPoint centre = button->ClientToScreen(TPoint(button->GetWidth() / 2, button->GetHeight() / 2));
  ui.Click(centre.x, centre.y);
  ASSERT_EQ(seen_.size(), 1u);
  EXPECT_EQ(ImgFormCount, documents + 1);
}

// The first opening centres the dialog on the work area (also one that does not start at the
// screen's corner); after it was moved and closed it opens again where it was.
TEST_F(NewImageTest, TheDialogOpensCentredThenWhereItWasClosed) {
  for (const TRect area : {WorkArea, TRect(200, 100, 1000, 700)}) {
    NewFormLeft = -1;
    WorkArea = area;
    seen_.clear();
    const TPoint moved(area.left + 37, area.top + 51);
    ChooseFileNew([&](TNewForm* dialog) {
      dialog->SetBounds(moved.x, moved.y, dialog->GetWidth(), dialog->GetHeight());
      ui.Press(VK_ESCAPE);
    });
    ChooseFileNew([&](TNewForm*) { ui.Press(VK_ESCAPE); });
    ASSERT_EQ(seen_.size(), 2u);
    const TRect first = seen_[0].bounds;
    EXPECT_EQ(first.left, area.left + (area.Width() - first.Width()) / 2);
    EXPECT_EQ(first.top, area.top + (area.Height() - first.Height()) / 2);
    EXPECT_EQ(seen_[1].bounds.left, moved.x);
    EXPECT_EQ(seen_[1].bounds.top, moved.y);
    EXPECT_EQ(seen_[1].bounds.Width(), first.Width());
  }
}

TEST_F(NewImageTest, WithAMaximisedActiveDocumentTheNewOneOpensMaximised) {
  ImageForm->SetWindowState(wsMaximized);
  ui.RunUntilIdle();
  TImageForm* before = ImageForm;
  ChooseFileNew([&](TNewForm* dialog) {
    TypeInto(dialog->SizeX, "120");
    ui.Press(VK_RETURN);
  });
  ui.RunUntilIdle();
  ASSERT_NE(ImageForm, before);
  EXPECT_EQ(ImageForm->GetWindowState(), wsMaximized);
  EXPECT_EQ(CurrentPicture->Width(), 120);

  // From a document of normal size the next one is normal too.
  ImageForm->SetWindowState(wsNormal);
  ui.RunUntilIdle();
  ChooseFileNew([&](TNewForm*) { ui.Press(VK_RETURN); });
  EXPECT_EQ(ImageForm->GetWindowState(), wsNormal);
}

// An image too large for the memory there is: the message "NoMem", no window, and the
// program goes on (a smaller one is made next).
TEST_F(NewImageTest, AnImageTooLargeForMemoryGivesNoMemAndNoWindow) {
  NewImageMemoryAvailable = LittleMemory;
  const int documents = ImgFormCount;
  const int forms = Screen()->FormCount();
  TImageForm* active = ImageForm;
  ChooseFileNew([&](TNewForm* dialog) {
    TypeInto(dialog->SizeX, "1000");
    TypeInto(dialog->SizeY, "1000");
    ui.Press(VK_RETURN);
  });
  ui.RunUntilIdle();
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts().back(), LangMessage("NoMem").c_str());
  EXPECT_EQ(ImgFormCount, documents);
  EXPECT_EQ(Screen()->FormCount(), forms);
  EXPECT_EQ(ImageForm, active);
  EXPECT_EQ(ToolSuspendDepth, 0);

  ChooseFileNew([&](TNewForm* dialog) {
    TypeInto(dialog->SizeX, "200");
    TypeInto(dialog->SizeY, "100");
    ui.Press(VK_RETURN);
  });
  ui.RunUntilIdle();
  EXPECT_EQ(ImgFormCount, documents + 1);
  EXPECT_EQ(CurrentPicture->Width(), 200);
  EXPECT_EQ(ui.MessageBoxTexts().size(), 1u);
}

// A size the library cannot hold (other commands make images of sizes larger than the dialog
// allows) fails in the making of the window, which leaves nothing behind either.
TEST_F(NewImageTest, APictureTheLibraryCannotHoldLeavesNoWindow) {
  NewImageMemoryAvailable = [] { return UINT64_MAX; };
  const int documents = ImgFormCount;
  const int forms = Screen()->FormCount();
  form->LastImageSize = TPoint(40000, 40000);
  EXPECT_THROW(CreateNewImage(), EOutOfMemory);
  ui.RunUntilIdle();
  EXPECT_EQ(ImgFormCount, documents);
  EXPECT_EQ(Screen()->FormCount(), forms);
}

TEST_F(NewImageTest, TheThirtyThirdDocumentIsRefusedWithItsOwnWarning) {
  while (ImgFormCount < MaxDocuments) CreateDocumentWindow(16, 16, "");
  ui.RunUntilIdle();
  ChooseFileNew([&](TNewForm*) { ui.Press(VK_RETURN); });
  ui.RunUntilIdle();
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts().back(), LangMessage("TooManyImages").c_str());
  EXPECT_EQ(ImgFormCount, MaxDocuments);
  EXPECT_EQ(ToolSuspendDepth, 0);
}

TEST_F(NewImageTest, APictureTakesItsPixelsAndItsMask) {
  EXPECT_EQ(NewImageBytes(1, 1), 5u);
  EXPECT_EQ(NewImageBytes(16384, 16384), 16384ull * 16384 * 4 + 16384ull * 16384 / 8);
  EXPECT_EQ(NewImageBytes(-5, 10), 0u);
}

}  // namespace
