// A windowed control hands its Font to its window: once when the window is made, again each
// time the font changes, and again when the window is made anew; the window class then
// answers WM_GETFONT with it and draws in it.

#include "VclFixture.h"

#include <functional>
#include <memory>

#include "platform/vcl/ComCtrlsBars.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/StdButtons.h"
#include "platform/vcl/TreeView.h"

namespace {

// Any wrapper, counting the WM_SETFONT its window receives.
template <class T>
class TFontCounting : public T {
public:
  explicit TFontCounting(TComponent* owner) : T(owner) {}
  int SetFonts = 0;
  WPARAM LastFont = 0;

  void WndProc(TMessage& m) override {
    if (m.Msg == WM_SETFONT) {
      ++SetFonts;
      LastFont = m.WParam;
    }
    T::WndProc(m);
  }
};

struct Counted {
  TWinControl* control;
  std::function<int()> setFonts;
};

template <class T>
Counted Make(TComponent* owner) {
  auto* c = NewComponent<TFontCounting<T>>(owner);
  return Counted{c, [c] { return c->SetFonts; }};
}

class ControlFontTest : public VclTest {};

TEST_F(ControlFontTest, TheWindowGetsTheFontOnceWhenMadeAndOnEveryChange) {
  struct Case {
    const char* name;
    Counted (*make)(TComponent*);
  };
  const Case cases[] = {
      {"TButton", &Make<TButton>},         {"TCheckBox", &Make<TCheckBox>},
      {"TRadioButton", &Make<TRadioButton>}, {"TStaticText", &Make<TStaticText>},
      {"TEdit", &Make<TEdit>},             {"TMemo", &Make<TMemo>},
      {"TListBox", &Make<TListBox>},       {"TComboBox", &Make<TComboBox>},
      {"TTabControl", &Make<TTabControl>}, {"TStatusBar", &Make<TStatusBar>},
      {"THeaderControl", &Make<THeaderControl>}, {"TTreeView", &Make<TTreeView>},
      {"TListView", &Make<TListView>},
  };
  auto* form = Application()->CreateForm<TForm>();
  form->SetBounds(50, 50, 500, 400);
  form->Show();
  ui.RunUntilIdle();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Counted counted = c.make(form);
    TWinControl* control = counted.control;
    control->SetParent(form);
    control->SetBounds(10, 10, 200, 120);
    ui.RunUntilIdle();
    ASSERT_TRUE(control->HandleAllocated());
    HWND h = control->GetHandle();
    EXPECT_EQ(counted.setFonts(), 1);  // no wrapper sends it a second time
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessage(h, WM_GETFONT, 0, 0)), control->GetFont()->GetHandle());

    control->GetFont()->SetSize(14);
    HFONT bigger = control->GetFont()->GetHandle();
    EXPECT_EQ(counted.setFonts(), 2);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessage(h, WM_GETFONT, 0, 0)), bigger);

    // From the parent: the form's font reaches a control that follows it.
    control->SetParentFont(true);
    form->GetFont()->SetStyle(fsBold);
    EXPECT_EQ(control->GetFont()->GetStyle(), fsBold);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessage(h, WM_GETFONT, 0, 0)), control->GetFont()->GetHandle());

    control->RecreateWnd();
    ui.RunUntilIdle();
    ASSERT_TRUE(control->HandleAllocated());
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessage(control->GetHandle(), WM_GETFONT, 0, 0)),
              control->GetFont()->GetHandle());
    FreeObject(control);
    form->GetFont()->SetStyle(0);
  }
}

// The text a standard control draws comes out in the control's font: a bigger font, wider text.
TEST_F(ControlFontTest, AStandardControlDrawsInTheFrameworksFont) {
  auto* form = Application()->CreateForm<TForm>();
  form->SetBounds(50, 50, 400, 200);
  auto* text = NewComponent<TStaticText>(form);
  text->SetParent(form);
  text->SetAutoSize(false);
  text->SetBounds(10, 10, 360, 60);
  text->SetCaption("WWWWWW");
  form->Show();
  ui.RunUntilIdle();
  auto inkWidth = [&] {
    int right = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 360; ++x)
        if ((PixelOf(text, x, y) & 0xFF) < 0x60) right = std::max(right, x);
    return right;
  };
  int small = inkWidth();
  text->GetFont()->SetSize(20);
  ui.RunUntilIdle();
  int big = inkWidth();
  EXPECT_GT(small, 20);
  EXPECT_GT(big, small * 2);
}

// A label draws and sizes itself in its own font, the mnemonic underlined.
TEST_F(ControlFontTest, ALabelDrawsInItsFont) {
  auto* form = Application()->CreateForm<TForm>();
  form->SetBounds(50, 50, 400, 200);
  auto* label = NewComponent<TLabel>(form);
  label->SetParent(form);
  label->SetLeft(10);
  label->SetTop(10);
  label->SetCaption("&Name");
  form->Show();
  for (int points : {8, 16}) {
    SCOPED_TRACE(points);
    label->GetFont()->SetSize(points);
    ui.RunUntilIdle();
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, label->GetFont()->GetHandle());
    SIZE text{};
    GetTextExtentPoint32(dc, "Name", 4, &text);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(label->GetWidth(), text.cx);
    EXPECT_EQ(label->GetHeight(), text.cy);
    int right = -1, bottom = -1;
    for (int y = 0; y < label->GetHeight(); ++y)
      for (int x = 0; x < label->GetWidth(); ++x)
        if ((PixelOf(label, x, y) & 0xFF) < 0x60) {
          right = std::max(right, x);
          bottom = std::max(bottom, y);
        }
    EXPECT_GT(right, text.cx * 3 / 4);
    EXPECT_LT(right, text.cx);
    // The underline of N: the lowest ink, under the first letter only.
    int underlined = 0;
    for (int x = 0; x < label->GetWidth(); ++x) underlined += (PixelOf(label, x, bottom) & 0xFF) < 0x60;
    EXPECT_GT(underlined, 2);
    EXPECT_LT(underlined, text.cx / 2);
  }
}

}  // namespace
