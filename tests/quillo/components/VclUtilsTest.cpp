// The window, cursor, drawing and text helpers.

#include "ComponentFixture.h"

#include "platform/rtl/LastError.h"
#include "platform/rtl/Module.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/GraphicControl.h"
#include "platform/vcl/Screen.h"
#include "quillo/components/utilities/MaxMin.h"
#include "quillo/components/utilities/VclUtils.h"

namespace {

class VclUtilsTest : public ComponentTest {};

// A window that paints a blue strip on the left of its background.
class StripedParent : public TCustomControl {
public:
  using TCustomControl::TCustomControl;

protected:
  void Paint() override {
    GetCanvas()->GetBrush()->SetColor(clBlue);
    GetCanvas()->FillRect(TRect(0, 0, 10, GetHeight()));
  }
};

// A windowless control painted in one colour.
class Patch : public TGraphicControl {
public:
  Patch(TComponent* owner, TColor colour) : TGraphicControl(owner), colour_(colour) {}

protected:
  void Paint() override {
    GetCanvas()->GetBrush()->SetColor(colour_);
    GetCanvas()->FillRect(GetClientRect());
  }

private:
  TColor colour_;
};

// A see-through control: it paints what its parent shows under it, copied by CopyParentImage.
class SeeThrough : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;
  TOwnedPtr<TBitmap> copy = MakeObject<TBitmap>();
  int depth = 0, deepest = 0, paints = 0;

protected:
  void Paint() override {
    ++paints;
    deepest = std::max(deepest, ++depth);
    copy->SetSize(GetWidth(), GetHeight());
    copy->GetCanvas()->GetBrush()->SetColor(clWhite);
    copy->GetCanvas()->FillRect(GetClientRect());
    CopyParentImage(this, copy->GetCanvas());
    GetCanvas()->Draw(0, 0, copy.get());
    --depth;
  }
};

TEST_F(VclUtilsTest, CommandLinesSplitIntoProgramAndParameters) {
  const struct {
    const char* line;
    const char* exe;
    const char* params;
  } cases[] = {
      {"\"/opt/my apps/quillo\" photo.png \"my holiday.png\"", "/opt/my apps/quillo", "photo.png \"my holiday.png\""},
      {"  quillo   a.png\tb.png ", "quillo", "a.png b.png"},
      {"\"\" quillo x", "quillo", "x"},
      {"", "", ""},
      {"   ", "", ""},
      {"quillo \"unterminated quote", "quillo", "\"unterminated quote\""},
  };
  for (const auto& c : cases) {
    AnsiString exe = "?", params = "?";
    SplitCommandLine(c.line, exe, params);
    EXPECT_EQ(exe, c.exe) << c.line;
    EXPECT_EQ(params, c.params) << c.line;
  }
}

TEST_F(VclUtilsTest, WaitCursorNests) {
  Screen()->SetCursor(crCross);
  StopWait();  // without a start: nothing
  EXPECT_EQ(Screen()->GetCursor(), crCross);
  StartWait();
  StartWait();
  EXPECT_EQ(Screen()->GetCursor(), crHourGlass);
  StopWait();
  EXPECT_EQ(Screen()->GetCursor(), crHourGlass);
  StopWait();
  EXPECT_EQ(Screen()->GetCursor(), crCross);
  EXPECT_EQ(WaitCount(), 0);
  Screen()->SetCursor(crDefault);
}

TEST_F(VclUtilsTest, MinimizedTextFitsItsWidth) {
  auto bitmap = MakeObject<TBitmap>();
  bitmap->SetSize(10, 10);
  TCanvas* canvas = bitmap->GetCanvas();
  EXPECT_EQ(MinimizeText("short", canvas, 1000), "short");
  const AnsiString cut = MinimizeText("a rather long caption for a narrow label", canvas, 80);
  EXPECT_LE(canvas->TextWidth(cut), 80);
  EXPECT_EQ(cut.substr(cut.size() - 3), "...");
  EXPECT_EQ(MinimizeText("never fits", canvas, 1), "...");
  EXPECT_GT(GetAveCharSize(canvas).x, 0);
}

TEST_F(VclUtilsTest, GradientsRunInBandsTowardsTheEndColour) {
  auto bitmap = MakeObject<TBitmap>();
  bitmap->SetSize(10, 7);
  TCanvas* canvas = bitmap->GetCanvas();
  // More colours than lines: one band per line, black at the top to blue at the bottom.
  GradientFillRect(canvas, TRect(0, 0, 10, 7), clBlack, static_cast<TColor>(0xFF0000), fdTopToBottom, 256);
  EXPECT_EQ(ColorToRGB(canvas->GetPixel(5, 0)), 0x000000u);
  EXPECT_EQ(ColorToRGB(canvas->GetPixel(5, 6)), 0xFF0000u);
  EXPECT_EQ(ColorToRGB(canvas->GetPixel(5, 3)), 0x800000u);
  // Bottom to top swaps the ends; a strip left over takes the far end's colour.
  GradientFillRect(canvas, TRect(0, 0, 10, 7), clBlack, static_cast<TColor>(0xFF0000), fdRightToLeft, 3);
  EXPECT_EQ(ColorToRGB(canvas->GetPixel(0, 0)), 0xFF0000u);
  EXPECT_EQ(ColorToRGB(canvas->GetPixel(9, 0)), 0x000000u);
  // Fewer than two colours: the start colour alone.
  GradientFillRect(canvas, TRect(0, 0, 10, 7), clRed, clBlue, fdLeftToRight, 1);
  EXPECT_EQ(ColorToRGB(canvas->GetPixel(9, 6)), ColorToRGB(clRed));
}

TEST_F(VclUtilsTest, ACheckerboardPattern) {
  auto pattern = CreateTwoColorsBrushPattern(clWhite, clBlack);
  EXPECT_EQ(ColorToRGB(pattern->GetCanvas()->GetPixel(0, 0)), ColorToRGB(clBlack));
  EXPECT_EQ(ColorToRGB(pattern->GetCanvas()->GetPixel(1, 0)), ColorToRGB(clWhite));
  EXPECT_EQ(ColorToRGB(pattern->GetCanvas()->GetPixel(1, 1)), ColorToRGB(clBlack));
}

TEST_F(VclUtilsTest, RectanglesAndPolygons) {
  EXPECT_TRUE(PointInRect(TPoint(10, 10), TRect(0, 0, 10, 10)));
  EXPECT_FALSE(PointInRect(TPoint(11, 10), TRect(0, 0, 10, 10)));
  const std::vector<TPoint> triangle{TPoint(0, 0), TPoint(10, 0), TPoint(0, 10)};
  EXPECT_TRUE(PointInPolyRgn(TPoint(2, 2), triangle));
  EXPECT_FALSE(PointInPolyRgn(TPoint(8, 8), triangle));
  EXPECT_EQ(WidthOf(TRect(3, 4, 10, 20)), 7);
  EXPECT_EQ(HeightOf(TRect(3, 4, 10, 20)), 16);
}

TEST_F(VclUtilsTest, CentringAForm) {
  auto* form = Application()->CreateForm<TForm>();
  form->SetBounds(0, 0, 400, 300);
  CenterControl(form);
  EXPECT_EQ(form->GetLeft(), (1280 - 400) / 2);
  EXPECT_EQ(form->GetTop(), (800 - 300) / 2);
  form->SetBounds(0, 0, 2000, 300);
  CenterControl(form);
  EXPECT_EQ(form->GetLeft(), 0);
  CenterWindow(form->GetHandle());
  EXPECT_EQ(WindowClassName(form->GetHandle()), form->ClassName());
}

TEST_F(VclUtilsTest, KillMessageTakesOneAndKeepsAQuit) {
  auto* form = Application()->CreateForm<TForm>();
  HWND w = form->GetHandle();
  PostMessage(w, WM_USER + 5, 0, 0);
  PostMessage(w, WM_USER + 5, 0, 0);
  KillMessage(w, WM_USER + 5);
  MSG m{};
  EXPECT_TRUE(PeekMessage(&m, w, WM_USER + 5, WM_USER + 5, PM_REMOVE));
  EXPECT_FALSE(PeekMessage(&m, w, WM_USER + 5, WM_USER + 5, PM_REMOVE));
  PostQuitMessage(3);
  KillMessage(nullptr, WM_QUIT);
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(m.wParam, 3u);
}

TEST_F(VclUtilsTest, DefinedCursorsTakeTheFirstFreeNumberFrom100) {
  const TCursor first = DefineCursor(nullptr, IDC_CROSS);
  EXPECT_EQ(first, 100);
  EXPECT_EQ(DefineCursor(nullptr, IDC_IBEAM), 101);
  EXPECT_EQ(Screen()->Cursors(first), LoadCursor(nullptr, IDC_CROSS));
  EXPECT_THROW(DefineCursor(GetModuleHandle(nullptr), "NO_SUCH_CURSOR"), EResNotFound);
  Screen()->SetCursors(100, nullptr);
  Screen()->SetCursors(101, nullptr);
}

TEST_F(VclUtilsTest, AControlCopiesWhatItsParentShowsUnderIt) {
  auto* form = Application()->CreateForm<TForm>();
  form->SetBounds(0, 0, 200, 150);
  auto* parent = NewComponent<StripedParent>(form);
  parent->SetParent(form);
  parent->SetBounds(0, 0, 100, 100);
  parent->SetColor(clRed);
  auto* below = NewComponent<Patch>(form, clLime);  // z order: first is lowest
  below->SetParent(parent);
  below->SetBounds(15, 5, 10, 10);
  auto* control = NewComponent<SeeThrough>(form);
  control->SetParent(parent);
  control->SetBounds(5, 5, 30, 20);
  auto* above = NewComponent<Patch>(form, clYellow);
  above->SetParent(parent);
  above->SetBounds(20, 10, 10, 10);
  form->Show();
  ui.RunUntilIdle();
  // Painting the parent for the copy never paints the control again.
  ASSERT_GE(control->paints, 1);
  EXPECT_EQ(control->deepest, 1);
  TBitmap* copy = control->copy.get();
  auto at = [&](int x, int y) { return ColorToRGB(copy->GetCanvas()->GetPixel(x, y)); };
  EXPECT_EQ(at(2, 10), ColorToRGB(clBlue));   // the parent's own painting
  EXPECT_EQ(at(25, 2), ColorToRGB(clRed));    // its background
  EXPECT_EQ(at(15, 3), ColorToRGB(clLime));   // the sibling below
  EXPECT_EQ(at(17, 7), ColorToRGB(clLime));   // ...also where the one above covers it
  EXPECT_EQ(at(22, 12), ColorToRGB(clRed));   // the sibling above is not copied
  // The siblings paint as before afterwards, and the parent is no longer marked.
  EXPECT_FALSE(parent->ControlState().Contains(csPaintCopy));
  const POINT origin = UiDriver::At(parent->GetHandle(), 0, 0);
  EXPECT_EQ(ui.Pixel(origin.x + 27, origin.y + 17), 0xFFFF00u);  // yellow, on top
  EXPECT_EQ(ui.Pixel(origin.x + 17, origin.y + 7), 0x00FF00u);   // lime, under the copy
  EXPECT_EQ(ui.Pixel(origin.x + 7, origin.y + 15), 0x0000FFu);   // blue strip, through the control
}

TEST_F(VclUtilsTest, AnMdiClientEdgeComesAndGoes) {
  auto* form = Application()->CreateForm<TForm>();
  form->SetFormStyle(fsMDIForm);
  form->SetBounds(0, 0, 400, 300);
  form->Show();
  HWND client = form->ClientHandle();
  ASSERT_NE(client, nullptr);
  auto clientWidth = [&] {
    RECT r;
    GetClientRect(client, &r);
    return r.right - r.left;
  };
  ShowMDIClientEdge(client, true);
  const int withEdge = clientWidth();
  EXPECT_TRUE(GetWindowLongPtr(client, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  ShowMDIClientEdge(client, false);
  EXPECT_FALSE(GetWindowLongPtr(client, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(clientWidth(), withEdge + 4);  // the 2-pixel edge on each side is gone
  ShowMDIClientEdge(client, false);        // no change: nothing happens
  EXPECT_EQ(clientWidth(), withEdge + 4);
  ShowMDIClientEdge(client, true);
  EXPECT_EQ(clientWidth(), withEdge);
}

TEST_F(VclUtilsTest, InvertedRectanglesAndFramesOnTheScreen) {
  HDC dc = GetDC(nullptr);
  RECT all{0, 0, 60, 60};
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  FillRect(dc, &all, white);
  DeleteObject(white);
  ReleaseDC(nullptr, dc);
  // Corners in either order give the same rectangle.
  PaintInverseRect(TPoint(20, 20), TPoint(10, 10));
  EXPECT_EQ(ui.Pixel(10, 10), 0x000000u);
  EXPECT_EQ(ui.Pixel(19, 19), 0x000000u);
  EXPECT_EQ(ui.Pixel(20, 20), 0xFFFFFFu);
  PaintInverseRect(TPoint(10, 10), TPoint(20, 20));
  EXPECT_EQ(ui.Pixel(15, 15), 0xFFFFFFu);
  // A frame 3 pixels wide: the rings at 30, 31, 32 are drawn, the inside left alone.
  DrawInvertFrame(TRect(30, 30, 50, 50), 3);
  auto inked = [&](int x, int y) { return ui.Pixel(x, y) != 0xFFFFFFu; };
  EXPECT_TRUE(inked(30, 30) || inked(31, 30));
  EXPECT_TRUE(inked(32, 40) || inked(32, 41));
  EXPECT_FALSE(inked(40, 40));
  EXPECT_FALSE(inked(33, 40) && inked(33, 41));
  DrawInvertFrame(TRect(30, 30, 50, 50), 3);
  for (int y = 28; y < 52; ++y)
    for (int x = 28; x < 52; ++x) ASSERT_FALSE(inked(x, y)) << x << "," << y;
}

TEST_F(VclUtilsTest, NotImplementedSaysSoAndAbortsSilently) {
  Screen()->SetCursor(crHourGlass);
  ui.AnswerMessageBoxes({IDOK});
  EXPECT_THROW(NotImplemented(), EAbort);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts().back(), "Function not yet implemented");
  EXPECT_EQ(Screen()->GetCursor(), crDefault);
}

TEST_F(VclUtilsTest, LibrariesLoadOrRaiseTheSystemError) {
  EXPECT_THROW(LoadDLL("libquillo-no-such-library.so"), EOSError);
  HMODULE math = LoadDLL("libm.so.6");
  ASSERT_NE(math, nullptr);
  FreeLibrary(math);
  // A library without a registration entry is not registered; a missing one neither.
  EXPECT_FALSE(RegisterServer("libm.so.6"));
  EXPECT_FALSE(RegisterServer("libquillo-no-such-library.so"));
}

TEST_F(VclUtilsTest, APreviousInstanceOnThisDesktopComesForward) {
  EXPECT_FALSE(ActivatePrevInstance("", ""));
  EXPECT_FALSE(ActivatePrevInstance("", "No such window here"));
  auto* main = Application()->CreateForm<TForm>();
  main->SetCaption("Running instance");
  main->SetBounds(10, 10, 300, 200);
  main->Show();
  auto* other = Application()->CreateForm<TForm>();
  other->SetCaption("Something else");
  other->SetBounds(50, 50, 300, 200);
  other->Show();
  ui.RunUntilIdle();
  // A minimised application is restored, its forms shown again.
  Application()->Minimize();
  ASSERT_TRUE(IsIconic(Application()->GetHandle()));
  ASSERT_FALSE(IsWindowVisible(main->GetHandle()));
  EXPECT_TRUE(ActivatePrevInstance("", "Running instance"));
  ui.RunUntilIdle();
  EXPECT_FALSE(IsWindowVisible(Application()->GetHandle()));  // no longer an icon
  EXPECT_TRUE(IsWindowVisible(main->GetHandle()));
  // A form minimised on its own is shown normally and comes to the front; the hidden
  // application window stays hidden.
  ShowWinNoAnimate(main->GetHandle(), SW_MINIMIZE);
  SetForegroundWindow(other->GetHandle());
  ASSERT_TRUE(IsIconic(main->GetHandle()));
  EXPECT_TRUE(ActivatePrevInstance(main->ClassName(), "Running instance"));
  ui.RunUntilIdle();
  EXPECT_FALSE(IsIconic(main->GetHandle()));
  EXPECT_EQ(GetForegroundWindow(), main->GetHandle());
  EXPECT_FALSE(IsWindowVisible(Application()->GetHandle()));
}

TEST_F(VclUtilsTest, APreviousInstanceIsLeftAloneUnderADesignEnvironment) {
  auto* main = Application()->CreateForm<TForm>();
  main->SetCaption("Running instance");
  main->Show();
  WNDCLASS cls;
  cls.lpfnWndProc = &DefWindowProc;
  cls.lpszClassName = "TAppBuilder";
  RegisterClass(&cls);
  HWND builder = CreateWindowEx(0, "TAppBuilder", "Builder", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(builder, nullptr);
  SetForegroundWindow(builder);
  EXPECT_FALSE(ActivatePrevInstance("", "Running instance"));
  DestroyWindow(builder);
  EXPECT_TRUE(ActivatePrevInstance("", "Running instance"));
}

TEST_F(VclUtilsTest, TheScreenCanvasDrawsOnTheDesktop) {
  auto canvas = MakeObject<TScreenCanvas>();
  canvas->GetBrush()->SetColor(clRed);
  canvas->FillRect(TRect(10, 10, 20, 20));
  canvas->SetOrigin(100, 100);
  canvas->GetBrush()->SetColor(clLime);
  canvas->FillRect(TRect(0, 0, 5, 5));
  canvas->FreeHandle();
  EXPECT_EQ(ui.Pixel(15, 15), 0xFF0000u);
  EXPECT_EQ(ui.Pixel(102, 102), 0x00FF00u);
}

// The columns of a bitmap that hold any pixel other than the background, as a range.
std::pair<int, int> InkColumns(TBitmap* b, TColor background) {
  int first = -1, last = -1;
  for (int x = 0; x < b->GetWidth(); ++x)
    for (int y = 0; y < b->GetHeight(); ++y)
      if (ColorToRGB(b->GetCanvas()->GetPixel(x, y)) != ColorToRGB(background)) {
        if (first < 0) first = x;
        last = x;
      }
  return {first, last};
}

int InkBottom(TBitmap* b, TColor background) {
  int bottom = -1;
  for (int y = 0; y < b->GetHeight(); ++y)
    for (int x = 0; x < b->GetWidth(); ++x)
      if (ColorToRGB(b->GetCanvas()->GetPixel(x, y)) != ColorToRGB(background)) bottom = y;
  return bottom;
}

TEST_F(VclUtilsTest, CellTextIsAlignedAndWrapped) {
  auto cell = [] {
    auto b = MakeObject<TBitmap>();
    b->SetSize(120, 60);
    b->GetCanvas()->GetBrush()->SetColor(clWhite);
    b->GetCanvas()->FillRect(TRect(0, 0, 120, 60));
    b->GetCanvas()->GetFont()->SetColor(clBlack);
    return b;
  };
  auto left = cell();
  DrawCellText(left->GetCanvas(), TRect(0, 0, 120, 60), "Abc", TCellAlign::Left, TCellVAlign::Top);
  auto right = cell();
  DrawCellText(right->GetCanvas(), TRect(0, 0, 120, 60), "Abc", TCellAlign::Right, TCellVAlign::Top);
  const auto l = InkColumns(left.get(), clWhite), r = InkColumns(right.get(), clWhite);
  ASSERT_GE(l.first, 0);
  ASSERT_GE(r.first, 0);
  EXPECT_LT(l.first, 10);
  EXPECT_GT(r.second, 100);
  // Wrapped, a long text takes more than one line.
  auto single = cell();
  WriteText(single->GetCanvas(), TRect(0, 0, 120, 60), 2, 2, "word", TCellAlign::Left, true);
  auto wrapped = cell();
  WriteText(wrapped->GetCanvas(), TRect(0, 0, 120, 60), 2, 2, "several words that need two lines", TCellAlign::Left,
            true);
  EXPECT_GT(InkBottom(wrapped.get(), clWhite), InkBottom(single.get(), clWhite) + 5);
}

TEST_F(VclUtilsTest, DialogUnitsFollowTheFont) {
  EXPECT_GT(DialogUnitsToPixelsX(4), 0);
  EXPECT_GT(DialogUnitsToPixelsY(8), 0);
  EXPECT_NEAR(PixelsToDialogUnitsX(DialogUnitsToPixelsX(100)), 100, 4);
  EXPECT_NEAR(PixelsToDialogUnitsY(DialogUnitsToPixelsY(100)), 100, 8);
}

TEST_F(VclUtilsTest, ACellOfAPictureCutIntoEqualParts) {
  auto sheet = MakeObject<TBitmap>();
  sheet->SetSize(8, 4);
  const TColor colours[4] = {clRed, clLime, clBlue, clYellow};
  for (int i = 0; i < 4; ++i) {
    sheet->GetCanvas()->GetBrush()->SetColor(colours[i]);
    sheet->GetCanvas()->FillRect(TRect((i % 2) * 4, (i / 2) * 2, (i % 2) * 4 + 4, (i / 2) * 2 + 2));
  }
  auto cell = MakeObject<TBitmap>();
  for (int i = 0; i < 4; ++i) {
    AssignBitmapCell(sheet.get(), cell.get(), 2, 2, i);
    EXPECT_EQ(cell->GetWidth(), 4);
    EXPECT_EQ(cell->GetHeight(), 2);
    EXPECT_EQ(ColorToRGB(cell->GetCanvas()->GetPixel(1, 1)), ColorToRGB(colours[i])) << i;
  }
  AssignBitmapCell(sheet.get(), cell.get(), 0, 0, -3);  // below 1 and below 0 count as 1 and 0
  EXPECT_EQ(cell->GetWidth(), 8);
}

TEST_F(VclUtilsTest, AMergedFormBecomesABorderlessChild) {
  auto* host = Application()->CreateForm<TForm>();
  host->SetBounds(0, 0, 400, 300);
  auto* guest = NewComponent<TForm>(Application());
  MergeForm(host, guest, alClient, true);
  EXPECT_EQ(guest->GetParent(), host);
  EXPECT_EQ(guest->GetBorderStyle(), bsNone);
  EXPECT_EQ(guest->GetAlign(), alClient);
  EXPECT_TRUE(guest->GetVisible());
}

TEST_F(VclUtilsTest, SmallStringAndNumberHelpers) {
  EXPECT_EQ(DropT("TForm"), "Form");
  EXPECT_EQ(DropT("T"), "T");
  EXPECT_EQ(DropT("Form"), "Form");
  EXPECT_EQ(AnsiUpperFirstChar("hELLO"), "Hello");
  EXPECT_EQ(Max(3, 4), 4);
  EXPECT_EQ(Min(3, 4), 3);
  const int ints[] = {3, 9, -2, 9};
  EXPECT_EQ(MaxInteger(ints), 9);
  EXPECT_EQ(MinInteger(ints), -2);
  const double floats[] = {0.5, -1.5};
  EXPECT_EQ(MinFloat(floats), -1.5);
  EXPECT_THROW(RaiseWin32Error(5), EOSError);
  try {
    RaiseWin32Error(ERROR_FILE_NOT_FOUND);
  } catch (const EOSError& e) {
    EXPECT_EQ(e.Message, "System Error.  Code: 2.\nThe system cannot find the file specified.");
  }
}

}  // namespace
