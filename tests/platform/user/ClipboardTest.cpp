// The clipboard: who may open and fill it, the owner told when it loses the clipboard, text
// formats converted into one another, formats of the program's own, promised data, and text
// exchanged with the host's clipboard.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/user/Clipboard.h"
#include "platform/user/Desktop.h"
#include "support/UiDriver.h"

namespace {

HGLOBAL Block(const void* bytes, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(block), bytes, size);
  GlobalUnlock(block);
  return block;
}

HGLOBAL TextBlock(const std::string& text) { return Block(text.c_str(), text.size() + 1); }

std::string Bytes(HANDLE block) {
  if (!block) return "<none>";
  const char* p = static_cast<const char*>(GlobalLock(block));
  std::string s(p, GlobalSize(block));
  GlobalUnlock(block);
  return s;
}

std::string ClipboardText() {
  if (!OpenClipboard(nullptr)) return "<closed>";
  std::string s = Bytes(GetClipboardData(CF_TEXT));
  CloseClipboard();
  if (s != "<none>") s = s.c_str();
  return s;
}

// A window class whose windows count the clipboard messages they hear.
class Owners {
public:
  Owners() {
    WNDCLASS wc;
    wc.lpfnWndProc = [this](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
      if (m == WM_DESTROYCLIPBOARD) destroyed.push_back(w);
      if (m == WM_RENDERFORMAT) {
        rendered.push_back(static_cast<UINT>(wp));
        SetClipboardData(static_cast<UINT>(wp), TextBlock("rendered"));
      }
      return DefWindowProc(w, m, wp, lp);
    };
    wc.lpszClassName = "ClipboardOwner";
    RegisterClass(&wc);
  }
  ~Owners() { UnregisterClass("ClipboardOwner", nullptr); }
  HWND Make() {
    return CreateWindowEx(0, "ClipboardOwner", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  }
  std::vector<HWND> destroyed;
  std::vector<UINT> rendered;
};

TEST(Clipboard, OnlyTheWindowThatOpenedItUsesIt) {
  UiDriver ui;
  Owners owners;
  HWND a = owners.Make(), b = owners.Make();
  EXPECT_FALSE(CloseClipboard());
  EXPECT_FALSE(EmptyClipboard());
  EXPECT_EQ(SetClipboardData(CF_TEXT, TextBlock("x")), nullptr) << "not open";
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
  ASSERT_TRUE(OpenClipboard(a));
  EXPECT_EQ(GetOpenClipboardWindow(), a);
  EXPECT_TRUE(OpenClipboard(a));
  EXPECT_FALSE(OpenClipboard(b));
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_EQ(GetClipboardOwner(), a);
  EXPECT_TRUE(CloseClipboard());
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
  // Emptying in b's name takes the clipboard from a, which hears of it.
  ASSERT_TRUE(OpenClipboard(b));
  EmptyClipboard();
  CloseClipboard();
  EXPECT_EQ(GetClipboardOwner(), b);
  EXPECT_EQ(owners.destroyed, std::vector<HWND>{a});
  DestroyWindow(b);
  EXPECT_EQ(GetClipboardOwner(), nullptr);
}

TEST(Clipboard, TextFormatsAreConvertedIntoOneAnother) {
  UiDriver ui;
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  EXPECT_NE(SetClipboardData(CF_TEXT, TextBlock("h\xC3\xA9\r\n\xF0\x9F\x98\x80")), nullptr);
  const std::string utf16 = Bytes(GetClipboardData(CF_UNICODETEXT));
  const std::string expected("h\0\xE9\0\r\0\n\0\x3D\xD8\x00\xDE\0\0", 14);
  EXPECT_EQ(utf16, expected);
  CloseClipboard();
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));

  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  const char units[] = {'o', 0, 'k', 0, '\xAC', ' ', 0, 0};  // "ok€"
  SetClipboardData(CF_UNICODETEXT, Block(units, sizeof units));
  EXPECT_EQ(Bytes(GetClipboardData(CF_TEXT)), std::string("ok\xE2\x82\xAC\0", 6));
  // A text format set afterwards replaces the text the clipboard held in every format.
  SetClipboardData(CF_TEXT, TextBlock("new"));
  EXPECT_EQ(Bytes(GetClipboardData(CF_UNICODETEXT)), std::string("n\0e\0w\0\0\0", 8));
  CloseClipboard();
}

TEST(Clipboard, FormatsOfTheProgramAreCountedEnumeratedAndNamed) {
  UiDriver ui;
  const UINT mine = RegisterClipboardFormat("Quillo Shapes");
  EXPECT_GE(mine, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormat("QUILLO shapes"), mine);
  EXPECT_NE(RegisterClipboardFormat("Other"), mine);
  EXPECT_EQ(RegisterClipboardFormat(""), 0u);
  char name[32];
  EXPECT_EQ(GetClipboardFormatName(mine, name, sizeof name), 13);
  EXPECT_STREQ(name, "Quillo Shapes");
  EXPECT_EQ(GetClipboardFormatName(mine, name, 5), 4);  // cut to the buffer
  EXPECT_STREQ(name, "Quil");

  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  const unsigned char data[] = {1, 2, 3, 0, 5};
  SetClipboardData(mine, Block(data, sizeof data));
  SetClipboardData(CF_TEXT, TextBlock("t"));
  EXPECT_EQ(CountClipboardFormats(), 2);
  EXPECT_EQ(EnumClipboardFormats(0), mine);
  EXPECT_EQ(EnumClipboardFormats(mine), CF_TEXT);
  EXPECT_EQ(EnumClipboardFormats(CF_TEXT), 0u);
  EXPECT_EQ(Bytes(GetClipboardData(mine)), std::string(reinterpret_cast<const char*>(data), sizeof data));
  EXPECT_EQ(GetClipboardData(CF_DIB), nullptr);
  EXPECT_EQ(SetClipboardData(CF_DIB, reinterpret_cast<HANDLE>(&ui)), nullptr) << "not a memory block";
  CloseClipboard();
  EXPECT_TRUE(IsClipboardFormatAvailable(mine));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
}

TEST(Clipboard, PromisedDataIsRenderedByTheOwnerWhenAskedFor) {
  UiDriver ui;
  Owners owners;
  HWND a = owners.Make();
  ASSERT_TRUE(OpenClipboard(a));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, nullptr);
  CloseClipboard();
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_TRUE(owners.rendered.empty());
  EXPECT_EQ(ClipboardText(), "rendered");
  EXPECT_EQ(owners.rendered, std::vector<UINT>{CF_TEXT});
  EXPECT_EQ(ClipboardText(), "rendered");  // once
  EXPECT_EQ(owners.rendered.size(), 1u);
}

TEST(Clipboard, TextGoesToTheHostAndNewerHostTextComesBack) {
  UiDriver ui;
  Owners owners;
  HWND a = owners.Make();
  Host& host = DesktopHost();
  std::string seen;
  EXPECT_FALSE(host.GetClipboardText(seen));

  ASSERT_TRUE(OpenClipboard(a));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, TextBlock("line one\r\nline two"));
  const UINT mine = RegisterClipboardFormat("Quillo Shapes");
  SetClipboardData(mine, TextBlock("shape"));
  CloseClipboard();
  ASSERT_TRUE(host.GetClipboardText(seen));
  EXPECT_EQ(seen, "line one\nline two");  // the host's line ends
  // The host still holds what the program gave it: the program's clipboard stays whole.
  EXPECT_TRUE(IsClipboardFormatAvailable(mine));
  EXPECT_EQ(GetClipboardOwner(), a);

  // Another program of the user's copies text: it is newer, and replaces the program's own.
  host.SetClipboardText("from\nthe host");
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(mine));
  EXPECT_EQ(owners.destroyed, std::vector<HWND>{a});
  EXPECT_EQ(GetClipboardOwner(), nullptr);
  EXPECT_EQ(ClipboardText(), "from\r\nthe host");

  // The program's next copy is the newest again.
  ASSERT_TRUE(OpenClipboard(a));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, TextBlock("mine again"));
  CloseClipboard();
  ASSERT_TRUE(host.GetClipboardText(seen));
  EXPECT_EQ(seen, "mine again");
  EXPECT_EQ(ClipboardText(), "mine again");
}

TEST(Clipboard, ANewDesktopStartsWithAnEmptyClipboard) {
  {
    UiDriver ui;
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, TextBlock("old"));
    CloseClipboard();
  }
  UiDriver ui;
  EXPECT_EQ(CountClipboardFormats(), 0);
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
}

}  // namespace
