// The Edit menu through the started program: copy, cut, delete, paste and paste as a new
// image through the desktop's clipboard (the headless host keeps its pictures in memory),
// the selection a paste makes, the undo step of each command, and the clipboard contents a
// paste must refuse (damaged pictures, text, nothing, a clipboard someone else holds open).

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "DibBuilder.h"
#include "platform/rtl/GlobalMemory.h"
#include "platform/user/Clipboard.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/files/EditCommands.h"
#include "quillo/base/Language.h"
#include "quillo/shell/ProgramFixture.h"
#include "quillo/base/Settings.h"
#include "quillo/tools/Tool.h"

namespace {

std::uint32_t Pattern(int x, int y) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 0x9E3779B1u ^ static_cast<std::uint32_t>(y) * 0x85EBCA77u;
  h ^= h >> 15;
  return h & 0x00FFFFFF;
}

// A picture's pixels, top row first.
std::vector<std::uint32_t> PixelsOf(const Buffer& b) {
  std::vector<std::uint32_t> out;
  for (int y = b.rect.top; y <= b.rect.bottom; ++y)
    for (int x = b.rect.left; x <= b.rect.right; ++x) out.push_back(*b.At(x, y));
  return out;
}

bool HasSelectionForTest(const UDBuffer& p) { return p.Outline != nullptr; }

std::vector<bool> MaskOf(const UDBuffer& p) {
  std::vector<bool> out;
  for (int y = 0; y < p.Height(); ++y)
    for (int x = 0; x < p.Width(); ++x) out.push_back(p.IsSelected(x, y));
  return out;
}

// The program's clipboard DIB as the test reads it: a 40-byte header, then 32-bit rows from
// the bottom one up.
struct ClipboardPicture {
  bool present = false;
  int width = 0, height = 0, bits = 0;
  std::uint32_t headerSize = 0, compression = 0;
  std::vector<std::uint32_t> pixels;  // top row first
};

std::uint32_t Le32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

ClipboardPicture ReadClipboard() {
  ClipboardPicture out;
  if (!OpenClipboard(nullptr)) return out;
  if (HANDLE data = GetClipboardData(CF_DIB)) {
    const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(data));
    const std::size_t size = GlobalSize(data);
    if (bytes && size >= 40) {
      out.present = true;
      out.headerSize = Le32(bytes);
      out.width = static_cast<int>(Le32(bytes + 4));
      out.height = static_cast<int>(Le32(bytes + 8));
      out.bits = bytes[14];
      out.compression = Le32(bytes + 16);
      if (out.bits == 32 && out.width > 0 && out.height > 0 &&
          size >= 40 + std::size_t(out.width) * out.height * 4)
        for (int y = out.height - 1; y >= 0; --y)
          for (int x = 0; x < out.width; ++x) out.pixels.push_back(Le32(bytes + 40 + (std::size_t(y) * out.width + x) * 4));
    }
    GlobalUnlock(data);
  }
  CloseClipboard();
  return out;
}

void PutOnClipboard(UINT format, const std::vector<std::uint8_t>& bytes) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  ASSERT_NE(block, nullptr);
  if (!bytes.empty()) std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  SetClipboardData(format, block);
  CloseClipboard();
}

void EmptyTheClipboard() {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
}

class EditCommandsTest : public ProgramTest {
protected:
  // Starts the program and paints the start document with the pattern; the background
  // swatch is a colour of its own.
  void StartWithPattern() {
    Start();
    ASSERT_NE(CurrentPicture, nullptr);
    form->BackCol->SetColor(static_cast<TColor>(0x00302010));  // framework order: blue 0x30
    picture = CurrentPicture;
    for (int y = 0; y < picture->Height(); ++y)
      for (int x = 0; x < picture->Width(); ++x) *picture->At(x, y) = Pattern(x, y);
    MarkPictureChanged();  // as painting it would: no longer the untouched blank document
  }
  static constexpr std::uint32_t kBackground = 0x102030;

  // Selects the pixels inside the ellipse in (l, t)-(r, b), as a selection tool leaves them.
  void SelectEllipse(int l, int t, int r, int b) {
    const double cx = (l + r) / 2.0, cy = (t + b) / 2.0, rx = (r - l) / 2.0 + 0.5, ry = (b - t) / 2.0 + 0.5;
    for (int y = t; y <= b; ++y)
      for (int x = l; x <= r; ++x)
        if (std::pow((x - cx) / rx, 2) + std::pow((y - cy) / ry, 2) <= 1.0) picture->SetMaskPixel(x, y, true);
    SelectionMade();
  }

  // The mask as a selection tool leaves it: bounds, outline and its view at the zoom.
  void SelectionMade() {
    picture->UpdateSelectionBounds();
    picture->BuildSelectionOutline(false);
    picture->ScaleSelectionOutline();
  }

  void Choose(const char* item) { ChooseMenuItem("&Edit", item); }
  AnsiString NewestStep(const UDBuffer& p) const { return p.UndoChain ? p.UndoChain->Description : AnsiString(); }
  int StepCount(const UDBuffer& p) const {
    int n = 0;
    for (const UndoEntry* e = p.UndoChain; e; e = e->Next) ++n;
    return n;
  }

  UDBuffer* picture = nullptr;
};

// Every bit of the mask turns, whatever the width's place in a word, and the bits past the
// right edge stay as they were.
TEST(InvertSelectionMaskTest, TurnsEveryBitInsideAndNoneBeyond) {
  for (const int width : {1, 31, 32, 33, 70}) {
    SCOPED_TRACE(width);
    UDBuffer p;
    p.Alloc(width, 3);
    ASSERT_NE(p.Mask.words, nullptr);
    const int words = p.Mask.stride;
    for (int i = 0; i < words * 3; ++i) p.Mask.words[i] = 0x9E3779B9u * static_cast<unsigned>(i + 1);
    std::vector<std::uint32_t> before(p.Mask.words, p.Mask.words + words * 3);
    InvertSelectionMask(p);
    for (int y = 0; y < 3; ++y) {
      for (int i = 0; i < words; ++i) {
        const std::uint32_t inside = i < width / 32 ? ~0u : width - i * 32 >= 32 ? ~0u : (1u << (width - i * 32)) - 1;
        EXPECT_EQ(p.Mask.words[y * words + i], before[static_cast<std::size_t>(y * words + i)] ^ inside)
            << "row " << y << " word " << i;
      }
    }
  }
}

TEST_F(EditCommandsTest, CopyWithoutASelectionTakesTheWholeImage) {
  StartWithPattern();
  const std::vector<std::uint32_t> before = PixelsOf(*picture);
  Choose("&Copy");
  const ClipboardPicture copied = ReadClipboard();
  ASSERT_TRUE(copied.present);
  EXPECT_EQ(copied.headerSize, 40u);
  EXPECT_EQ(copied.bits, 32);
  EXPECT_EQ(copied.compression, 0u);
  EXPECT_EQ(copied.width, picture->Width());
  EXPECT_EQ(copied.height, picture->Height());
  EXPECT_EQ(copied.pixels, before);
  EXPECT_EQ(PixelsOf(*picture), before);
  EXPECT_EQ(StepCount(*picture), 0) << "a copy changes nothing to undo";
}

// An elliptical selection goes as its bounding rectangle, the corners fully transparent;
// pasting it back copies only the ellipse, which becomes the selection.
TEST_F(EditCommandsTest, ACopiedSelectionKeepsItsShapeThroughAPaste) {
  StartWithPattern();
  SelectEllipse(10, 20, 40, 36);
  Choose("&Copy");
  const ClipboardPicture copied = ReadClipboard();
  ASSERT_TRUE(copied.present);
  ASSERT_EQ(copied.width, 31);
  ASSERT_EQ(copied.height, 17);
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 31; ++x) {
      const std::uint32_t want = picture->IsSelected(10 + x, 20 + y) ? Pattern(10 + x, 20 + y) : 0xFF000000u;
      ASSERT_EQ(copied.pixels[std::size_t(y) * 31 + x], want) << x << "," << y;
    }

  // Into the other corner of a plain picture: the selection there says where it goes.
  for (int y = 0; y < picture->Height(); ++y)
    for (int x = 0; x < picture->Width(); ++x) *picture->At(x, y) = 0x00ABCDEF;
  picture->SetMaskAll(false);
  SelectionMade();
  picture->SetMaskRect(true, Rect(100, 50, 110, 60));
  SelectionMade();
  Choose("&Paste");
  for (int y = 0; y < picture->Height(); ++y)
    for (int x = 0; x < picture->Width(); ++x) {
      const int sx = x - 100 + 10, sy = y - 50 + 20;
      const bool pasted = x >= 100 && x < 131 && y >= 50 && y < 67 && copied.pixels[std::size_t(y - 50) * 31 + (x - 100)] != 0xFF000000u;
      ASSERT_EQ(*picture->At(x, y), pasted ? Pattern(sx, sy) : 0x00ABCDEFu) << x << "," << y;
      ASSERT_EQ(picture->IsSelected(x, y), pasted) << "selected " << x << "," << y;
    }
  // The bounds are those of the pasted pixels, not of the old selection or the rectangle.
  EXPECT_EQ(picture->SelLeft, 100);
  EXPECT_EQ(picture->SelTop, 50);
  EXPECT_EQ(picture->SelRight, 130);
  EXPECT_EQ(picture->SelBottom, 66);
  EXPECT_EQ(NewestStep(*picture), "PasteImg");
  EXPECT_GT(picture->ChangeCount, 1);
}

// Cut: the clipboard gets the selection, the selected pixels the background colour, the
// selection stays, and one undo brings the pixels back.
TEST_F(EditCommandsTest, CutErasesTheSelectionAndOneUndoRestoresIt) {
  StartWithPattern();
  SelectEllipse(5, 5, 25, 15);
  const std::vector<std::uint32_t> before = PixelsOf(*picture);
  const std::vector<bool> mask = MaskOf(*picture);
  Choose("Cu&t");
  const ClipboardPicture copied = ReadClipboard();
  ASSERT_TRUE(copied.present);
  EXPECT_EQ(copied.width, 21);
  EXPECT_EQ(copied.pixels[std::size_t(5) * 21 + 10], Pattern(15, 10));
  for (int y = 0; y < picture->Height(); ++y)
    for (int x = 0; x < picture->Width(); ++x)
      ASSERT_EQ(*picture->At(x, y), picture->IsSelected(x, y) ? kBackground : Pattern(x, y)) << x << "," << y;
  EXPECT_EQ(MaskOf(*picture), mask);
  EXPECT_EQ(NewestStep(*picture), "CutImg");
  EXPECT_EQ(StepCount(*picture), 1);
  ASSERT_TRUE(picture->Undo());
  EXPECT_EQ(PixelsOf(*picture), before);
}

TEST_F(EditCommandsTest, DeleteWithoutASelectionFillsTheWholeImage) {
  StartWithPattern();
  const std::vector<std::uint32_t> before = PixelsOf(*picture);
  Choose("&Delete");
  EXPECT_EQ(PixelsOf(*picture), std::vector<std::uint32_t>(before.size(), kBackground));
  EXPECT_EQ(NewestStep(*picture), "DeleteImg");
  EXPECT_EQ(picture->ChangeCount, 2);
  ASSERT_TRUE(picture->Undo());
  EXPECT_EQ(PixelsOf(*picture), before);
}

TEST_F(EditCommandsTest, DeleteWithASelectionErasesOnlyTheSelectedPixels) {
  StartWithPattern();
  SelectEllipse(30, 30, 50, 44);
  picture->SetMaskPixel(2, 2, true);  // a second, separate island
  SelectionMade();
  Choose("&Delete");
  for (int y = 0; y < picture->Height(); ++y)
    for (int x = 0; x < picture->Width(); ++x)
      ASSERT_EQ(*picture->At(x, y), picture->IsSelected(x, y) ? kBackground : Pattern(x, y)) << x << "," << y;
  EXPECT_TRUE(picture->IsSelected(2, 2)) << "the selection stays";
}

// Paste as new: a window of the clipboard picture's size, its pixels exactly, for each
// depth and layout other programs put there.
TEST_F(EditCommandsTest, PasteAsNewImageOpensAWindowOfTheClipboardPicture) {
  StartWithPattern();
  const std::vector<std::uint32_t> six{0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0, 0x010203};
  struct Case {
    const char* name;
    std::vector<std::uint8_t> dib;
    int width, height;
    std::vector<std::uint32_t> want;
  };
  std::vector<Case> cases;
  cases.push_back({"24 bits", Dib24(six, 3), 3, 2, six});
  cases.push_back({"24 bits top-down", Dib24(six, 3, true), 3, 2, six});
  {
    DibSpec s;
    s.width = 3, s.height = 2, s.bits = 8, s.used = 3, s.table = {0xFF0000, 0x00FF00, 0x0000FF};
    s.rows = {2, 1, 0, 0, 0, 1, 2, 0};
    cases.push_back({"8 bits with a palette", BuildDib(s), 3, 2,
                     {0xFF0000, 0x00FF00, 0x0000FF, 0x0000FF, 0x00FF00, 0xFF0000}});
  }
  {
    DibSpec s;
    s.width = 10, s.height = 2, s.bits = 1, s.table = {0x000000, 0xFFFFFF};
    s.rows = {0b01001100, 0b01000000, 0, 0, 0b10110011, 0b10000000, 0, 0};
    std::vector<std::uint32_t> want;
    for (char c : std::string("1011001110") + "0100110001") want.push_back(c == '1' ? 0xFFFFFF : 0);
    cases.push_back({"1 bit", BuildDib(s), 10, 2, want});
  }
  {
    DibSpec s;
    s.width = 3, s.height = 2, s.bits = 32, s.compression = BI_BITFIELDS;
    s.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    s.rows = Rows32(six, 3, false);
    cases.push_back({"32-bit bit fields", BuildDib(s), 3, 2, six});
  }
  for (const Case& c : cases) {
    PutOnClipboard(CF_DIB, c.dib);
    const int before = ImgFormCount;
    Choose("Paste as &New Image");
    ui.RunUntilIdle();
    ASSERT_EQ(ImgFormCount, before + 1) << c.name;
    ASSERT_NE(CurrentPicture, nullptr);
    EXPECT_EQ(CurrentPicture, &ImageForm->Picture) << c.name;
    EXPECT_EQ(CurrentPicture->Width(), c.width) << c.name;
    EXPECT_EQ(CurrentPicture->Height(), c.height) << c.name;
    EXPECT_EQ(PixelsOf(*CurrentPicture), c.want) << c.name;
    EXPECT_EQ(NewestStep(*CurrentPicture), "PasteImgNew") << c.name;
    EXPECT_FALSE(HasSelectionForTest(*CurrentPicture)) << c.name;
    EXPECT_TRUE(CurrentPicture->FileName.empty()) << c.name;
    EXPECT_EQ(CurrentPicture->SaveAsRequired, 1) << c.name;
    EXPECT_GT(CurrentPicture->ChangeCount, 0) << c.name;
  }
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

// The same pictures pasted into the active image land at its top-left corner without a
// selection, and become the selection.
TEST_F(EditCommandsTest, PasteWithoutASelectionGoesToTheTopLeftCorner) {
  StartWithPattern();
  const std::vector<std::uint32_t> six{0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0, 0x010203};
  PutOnClipboard(CF_DIB, Dib24(six, 3, true));
  Choose("&Paste");
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) {
      const bool inside = x < 3 && y < 2;
      EXPECT_EQ(*picture->At(x, y), inside ? six[std::size_t(y) * 3 + x] : Pattern(x, y)) << x << "," << y;
      EXPECT_EQ(picture->IsSelected(x, y), inside) << x << "," << y;
    }
  EXPECT_EQ(picture->SelRight, 2);
  EXPECT_EQ(picture->SelBottom, 1);
}

// A picture hanging over the image's edge is clipped, pixels and selection alike.
TEST_F(EditCommandsTest, APasteNearTheEdgeIsClippedToTheImage) {
  StartWithPattern();
  const int w = picture->Width(), h = picture->Height();
  std::vector<std::uint32_t> block(8 * 8, 0x00777777);
  PutOnClipboard(CF_DIB, Dib24(block, 8));
  picture->SetMaskPixel(w - 3, h - 2, true);
  SelectionMade();
  Choose("&Paste");
  EXPECT_EQ(*picture->At(w - 1, h - 1), 0x00777777u);
  EXPECT_EQ(*picture->At(w - 4, h - 1), Pattern(w - 4, h - 1));
  EXPECT_EQ(picture->SelLeft, w - 3);
  EXPECT_EQ(picture->SelTop, h - 2);
  EXPECT_EQ(picture->SelRight, w - 1);
  EXPECT_EQ(picture->SelBottom, h - 1);
}

// Undoing a paste gives back the pixels and the old selection.
TEST_F(EditCommandsTest, UndoingAPasteRestoresPixelsAndSelection) {
  StartWithPattern();
  picture->SetMaskRect(true, Rect(20, 20, 24, 24));
  SelectionMade();
  const std::vector<std::uint32_t> before = PixelsOf(*picture);
  const std::vector<bool> mask = MaskOf(*picture);
  PutOnClipboard(CF_DIB, Dib24(std::vector<std::uint32_t>(4 * 3, 0x00FF00FF), 4));
  Choose("&Paste");
  ASSERT_NE(PixelsOf(*picture), before);
  ASSERT_TRUE(picture->Undo());
  EXPECT_EQ(PixelsOf(*picture), before);
  EXPECT_EQ(MaskOf(*picture), mask);
  EXPECT_EQ(picture->SelLeft, 20);
  EXPECT_EQ(picture->SelBottom, 24);
}

// With the instant brush on, a paste drops the old selection and makes no new one.
TEST_F(EditCommandsTest, WithTheInstantBrushAPasteSelectsNothing) {
  Settings.InstBrush = true;
  StartWithPattern();
  picture->SetMaskRect(true, Rect(20, 20, 24, 24));
  SelectionMade();
  PutOnClipboard(CF_DIB, Dib24(std::vector<std::uint32_t>(4, 0x00FF00FF), 2));
  Choose("&Paste");
  EXPECT_EQ(*picture->At(21, 21), 0x00FF00FFu);
  EXPECT_FALSE(HasSelectionForTest(*picture));
}

// Damaged pictures paste nothing: the image, its selection and its undo history stay as they
// were, no step is left behind, nothing is said and no window opens.
TEST_F(EditCommandsTest, DamagedClipboardPicturesPasteNothing) {
  StartWithPattern();
  picture->SetMaskRect(true, Rect(3, 3, 6, 6));
  SelectionMade();
  const std::vector<std::uint32_t> before = PixelsOf(*picture);
  const std::vector<bool> mask = MaskOf(*picture);
  const int changes = picture->ChangeCount;
  const std::vector<std::uint8_t> good = Dib24({1, 2, 3, 4, 5, 6}, 3);
  struct Case {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> damage;
  };
  const std::vector<Case> cases = {
      {"empty block", [](std::vector<std::uint8_t>& d) { d.clear(); }},
      {"shorter than a header", [](std::vector<std::uint8_t>& d) { d.resize(20); }},
      {"rows cut short", [](std::vector<std::uint8_t>& d) { d.resize(d.size() - 5); }},
      {"header size beyond the block", [](std::vector<std::uint8_t>& d) { PutLe(d, 0, 0x10000, 4); }},
      {"negative width", [](std::vector<std::uint8_t>& d) { PutLe(d, 4, static_cast<std::uint32_t>(-3), 4); }},
      {"height larger than the rows", [](std::vector<std::uint8_t>& d) { PutLe(d, 8, 40, 4); }},
      {"huge top-down height", [](std::vector<std::uint8_t>& d) { PutLe(d, 8, 0x80000001u, 4); }},
      {"huge dimensions", [](std::vector<std::uint8_t>& d) { PutLe(d, 4, 100000, 4), PutLe(d, 8, 100000, 4); }},
      {"stated size below the rows", [](std::vector<std::uint8_t>& d) { PutLe(d, 20, 4, 4); }},
      {"JPEG compression", [](std::vector<std::uint8_t>& d) { PutLe(d, 16, 4, 4); }},
      {"13 bits a pixel", [](std::vector<std::uint8_t>& d) { PutLe(d, 14, 13, 2); }},
      {"a core header", [](std::vector<std::uint8_t>& d) { PutLe(d, 0, 12, 4); }},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> dib = good;
    c.damage(dib);
    PutOnClipboard(CF_DIB, dib);
    const int windows = ImgFormCount;
    Choose("&Paste");
    EXPECT_EQ(PixelsOf(*picture), before) << c.name;
    EXPECT_EQ(MaskOf(*picture), mask) << c.name;
    EXPECT_EQ(StepCount(*picture), 0) << c.name << ": no empty step";
    Choose("Paste as &New Image");
    ui.RunUntilIdle();
    EXPECT_EQ(ImgFormCount, windows) << c.name;
    EXPECT_EQ(CurrentPicture, picture) << c.name;
  }
  EXPECT_EQ(picture->ChangeCount, changes);
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

// With nothing on the clipboard, or only text, the paste items are greyed when the menu
// opens and the commands (reached by their buttons) do nothing.
TEST_F(EditCommandsTest, WithoutAPictureOnTheClipboardNothingIsPasted) {
  StartWithPattern();
  const std::vector<std::uint32_t> before = PixelsOf(*picture);
  auto pasteItemsEnabled = [this] {
    form->MenuItemNamed("Edit1")->Click();  // as the menu opens
    const bool paste = form->MenuItemNamed("Paste1")->GetEnabled();
    EXPECT_EQ(form->MenuItemNamed("PasteAsNew1")->GetEnabled(), paste);
    return paste;
  };
  auto pressPasteButtons = [this] {
    for (const char* name : {"PasteBtn", "PasteAsNewBtn"}) {
      auto* button = dynamic_cast<tbx::TToolbarButtonX*>(form->FindComponent(name));
      ASSERT_NE(button, nullptr);
      ASSERT_TRUE(button->OnClick);
      button->OnClick(button);
      ui.RunUntilIdle();
    }
  };
  EmptyTheClipboard();
  EXPECT_FALSE(pasteItemsEnabled());
  pressPasteButtons();
  std::string text = "not a picture";
  PutOnClipboard(CF_TEXT, std::vector<std::uint8_t>(text.c_str(), text.c_str() + text.size() + 1));
  EXPECT_FALSE(pasteItemsEnabled());
  pressPasteButtons();
  EXPECT_EQ(ImgFormCount, 1);
  EXPECT_EQ(PixelsOf(*picture), before);
  EXPECT_EQ(StepCount(*picture), 0);
  PutOnClipboard(CF_DIB, Dib24({1}, 1));
  EXPECT_TRUE(pasteItemsEnabled());
}

// Another program holding the clipboard open: paste says it cannot read it and changes
// nothing; copy says it cannot write and leaves the clipboard as it was; the holder's
// clipboard stays open.
TEST_F(EditCommandsTest, AClipboardHeldOpenElsewhereIsReportedAndLeftAlone) {
  StartWithPattern();
  PutOnClipboard(CF_DIB, Dib24({0x00FF0000}, 1));
  const std::vector<std::uint32_t> before = PixelsOf(*picture);
  ASSERT_TRUE(OpenClipboard(nullptr));
  Choose("&Paste");
  EXPECT_EQ(PixelsOf(*picture), before);
  EXPECT_EQ(StepCount(*picture), 0);
  Choose("&Copy");
  Choose("Cu&t");
  EXPECT_EQ(PixelsOf(*picture), before) << "what could not be copied is not erased";
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
  EXPECT_FALSE(OpenClipboard(form->GetHandle())) << "still held by the other";
  CloseClipboard();
  EXPECT_EQ(ui.MessageBoxTexts(), (std::vector<std::string>{LangMessage("ErrClp").c_str(),
                                                            LangMessage("ErrClpWrite").c_str(),
                                                            LangMessage("ErrClpWrite").c_str()}));
  const ClipboardPicture still = ReadClipboard();
  ASSERT_TRUE(still.present);
  EXPECT_EQ(still.width, 1);
  EXPECT_EQ(still.bits, 24);
}

TEST_F(EditCommandsTest, InvertingTheSelectionFlipsEveryMaskBit) {
  StartWithPattern();
  picture->SetMaskRect(true, Rect(0, 0, picture->Width() - 1, picture->Height() - 1));
  picture->SetMaskRect(false, Rect(0, 0, 9, picture->Height() - 1));
  SelectionMade();
  const std::vector<bool> mask = MaskOf(*picture);
  Choose("&Invert Selection");
  std::vector<bool> flipped = mask;
  flipped.flip();
  EXPECT_EQ(MaskOf(*picture), flipped);
  EXPECT_EQ(picture->SelLeft, 0);
  EXPECT_EQ(picture->SelRight, 9);
  EXPECT_EQ(picture->SelBottom, picture->Height() - 1);
  EXPECT_EQ(NewestStep(*picture), "InvSel");
  ASSERT_TRUE(picture->Undo());
  EXPECT_EQ(MaskOf(*picture), mask);
  EXPECT_EQ(picture->SelLeft, 10);
}

TEST_F(EditCommandsTest, ClearingTheSelectionDeselectsWithAnUndoStep) {
  StartWithPattern();
  SelectEllipse(4, 4, 20, 12);
  const std::vector<bool> mask = MaskOf(*picture);
  Choose("C&lear Selection");
  EXPECT_FALSE(HasSelectionForTest(*picture));
  EXPECT_EQ(MaskOf(*picture), std::vector<bool>(mask.size(), false));
  EXPECT_EQ(NewestStep(*picture), "DelSel");
  ASSERT_TRUE(picture->Undo());
  EXPECT_EQ(MaskOf(*picture), mask);
  // Nothing selected: nothing to clear, no step.
  const int steps = StepCount(*picture);
  picture->SetMaskAll(false);
  SelectionMade();
  Choose("C&lear Selection");
  EXPECT_EQ(StepCount(*picture), steps);
}

TEST_F(EditCommandsTest, PasteAsNewFromAMaximisedWindowOpensMaximised) {
  StartWithPattern();
  ImageForm->SetWindowState(wsMaximized);
  ui.RunUntilIdle();
  PutOnClipboard(CF_DIB, Dib24(std::vector<std::uint32_t>(6, 0x00123456), 3));
  Choose("Paste as &New Image");
  ui.RunUntilIdle();
  ASSERT_EQ(ImgFormCount, 2);
  EXPECT_TRUE(IsZoomed(ImageForm->GetHandle()));
  EXPECT_EQ(PixelsOf(*CurrentPicture), std::vector<std::uint32_t>(6, 0x00123456));
}

// The standard toolbar's buttons run the same commands.
TEST_F(EditCommandsTest, TheToolbarButtonsAreEnabledAndRunTheCommands) {
  StartWithPattern();
  for (const char* name : {"CutBtn", "CopyBtn", "PasteBtn", "PasteAsNewBtn", "DeleteBtn"}) {
    auto* button = dynamic_cast<tbx::TToolbarButtonX*>(form->FindComponent(name));
    ASSERT_NE(button, nullptr) << name;
    EXPECT_TRUE(button->GetEnabled()) << name;
  }
  auto* copy = dynamic_cast<tbx::TToolbarButtonX*>(form->FindComponent("CopyBtn"));
  const TPoint centre = copy->ClientToScreen(TPoint(copy->GetWidth() / 2, copy->GetHeight() / 2));
  ui.Click(centre.x, centre.y);
  ui.RunUntilIdle();
  const ClipboardPicture copied = ReadClipboard();
  ASSERT_TRUE(copied.present);
  EXPECT_EQ(copied.pixels, PixelsOf(*picture));
}

// Every command holds the current tool while it works: deactivated once (also by Cut, which
// copies and deletes), activated again at every way out, the failing ones included.
TEST_F(EditCommandsTest, EveryCommandSuspendsTheToolAndResumesIt) {
  struct Probe : P_icon {
    int deactivated = 0, activated = 0;
    bool nextWasNull = true;
    void Deactivate(P_icon* next) override {
      ++deactivated;
      nextWasNull = nextWasNull && next == nullptr;
    }
    void Activate() override { ++activated; }
  } probe;
  StartWithPattern();
  P_icon* const previous = CurrentTool;
  CurrentTool = &probe;
  picture->SetMaskRect(true, Rect(2, 2, 5, 5));
  SelectionMade();
  struct Step {
    const char* item;
    std::function<void()> before;
  };
  const std::vector<Step> steps = {
      {"&Copy", [] {}},
      {"Cu&t", [] {}},
      {"&Delete", [] {}},
      {"&Paste", [] {}},
      {"&Paste", [] { PutOnClipboard(CF_DIB, std::vector<std::uint8_t>(50, 0)); }},  // damaged
      {"&Invert Selection", [] {}},
      {"C&lear Selection", [] {}},
      {"Paste as &New Image", [] { PutOnClipboard(CF_DIB, Dib24({1, 2}, 2)); }},
      {"&Paste", [] { ASSERT_TRUE(OpenClipboard(nullptr)); }},  // held open elsewhere
  };
  for (const Step& step : steps) {
    step.before();
    probe.deactivated = probe.activated = 0;
    Choose(step.item);
    ui.RunUntilIdle();
    EXPECT_EQ(probe.deactivated, 1) << step.item;
    EXPECT_EQ(probe.activated, 1) << step.item;
    EXPECT_TRUE(probe.nextWasNull) << step.item;
    EXPECT_EQ(CurrentTool, &probe) << step.item;
    EXPECT_EQ(ToolSuspendDepth, 0) << step.item;
  }
  CloseClipboard();
  CurrentTool = previous;
}

// The clipboard keys of the document window run the same commands: Ctrl+Insert copies,
// Shift+Delete cuts, Shift+Insert pastes, Ctrl+Delete deletes.
TEST_F(EditCommandsTest, TheClipboardKeysRunTheSameCommands) {
  StartWithPattern();
  const std::vector<std::uint32_t> before = PixelsOf(*picture);
  auto chord = [this](int modifier, int key) {
    ui.KeyDown(modifier);
    ui.Press(key);
    ui.KeyUp(modifier);
    ui.RunUntilIdle();
  };
  picture->SetMaskRect(true, Rect(0, 0, 3, 1));
  SelectionMade();
  chord(VK_CONTROL, VK_INSERT);
  EXPECT_EQ(ReadClipboard().width, 4);
  chord(VK_SHIFT, VK_DELETE);
  EXPECT_EQ(*picture->At(0, 0), kBackground);
  EXPECT_EQ(NewestStep(*picture), "CutImg");
  picture->SetMaskAll(false);
  SelectionMade();
  PutOnClipboard(CF_DIB, Dib24({0x00ABCDEF}, 1));
  chord(VK_SHIFT, VK_INSERT);
  EXPECT_EQ(*picture->At(0, 0), 0x00ABCDEFu);
  EXPECT_EQ(NewestStep(*picture), "PasteImg");
  picture->SetMaskAll(false);
  SelectionMade();
  chord(VK_CONTROL, VK_DELETE);
  EXPECT_EQ(PixelsOf(*picture), std::vector<std::uint32_t>(before.size(), kBackground));
  EXPECT_EQ(NewestStep(*picture), "DeleteImg");
}

}  // namespace
