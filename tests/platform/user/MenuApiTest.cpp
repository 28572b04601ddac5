// The HMENU interface call by call: each step of a table changes a menu, and the menu after
// it is written out ("&Open|-|[x]&Save:grey" ...) and compared with what Windows keeps.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/UiDriver.h"

namespace {

// One line per item: the caption, "-" for a separator, "[x]" checked, "(o)" radio-checked,
// ":grey", ":default", ">" and the submenu's items in braces.
std::string Dump(HMENU menu) {
  std::string out;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    if (i) out += "|";
    MENUITEMINFO info;
    char text[64] = "";
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    GetMenuItemInfo(menu, static_cast<UINT>(i), TRUE, &info);
    if (info.fType & MFT_SEPARATOR) {
      out += "-";
      continue;
    }
    if (info.fState & MFS_CHECKED) out += (info.fType & MFT_RADIOCHECK) ? "(o)" : "[x]";
    out += text;
    if (!info.hSubMenu) {
      out += '#';
      out += std::to_string(info.wID);
    }
    if (info.fState & MFS_GRAYED) out += ":grey";
    if (info.fState & MFS_DEFAULT) out += ":default";
    if (info.hSubMenu) out += ">{" + Dump(info.hSubMenu) + "}";
  }
  return out;
}

struct Step {
  const char* what;
  std::function<long(HMENU menu, HMENU sub)> call;
  long answer;
  const char* after;
};

TEST(MenuApi, EachCallLeavesTheMenuAsWindowsWould) {
  UiDriver ui;
  HMENU menu = CreatePopupMenu(), sub = CreatePopupMenu();
  auto U = [](UINT v) { return static_cast<long>(static_cast<int>(v)); };
  const Step steps[] = {
      {"append", [](HMENU m, HMENU) { return AppendMenu(m, MF_STRING, 1, "&One"); }, TRUE, "&One#1"},
      {"append a separator", [](HMENU m, HMENU) { return AppendMenu(m, MF_SEPARATOR, 0, nullptr); }, TRUE, "&One#1|-"},
      {"append grey", [](HMENU m, HMENU) { return AppendMenu(m, MF_STRING | MF_GRAYED, 3, "Three"); }, TRUE,
       "&One#1|-|Three#3:grey"},
      {"insert before an id", [](HMENU m, HMENU) { return InsertMenu(m, 3, MF_BYCOMMAND, 2, "Two"); }, TRUE,
       "&One#1|-|Two#2|Three#3:grey"},
      {"insert at a position", [](HMENU m, HMENU) { return InsertMenu(m, 0, MF_BYPOSITION, 9, "Nine"); }, TRUE,
       "Nine#9|&One#1|-|Two#2|Three#3:grey"},
      {"insert before a missing id", [](HMENU m, HMENU) { return InsertMenu(m, 77, MF_BYCOMMAND, 8, "X"); }, FALSE,
       "Nine#9|&One#1|-|Two#2|Three#3:grey"},
      {"check", [](HMENU m, HMENU) { return static_cast<long>(CheckMenuItem(m, 2, MF_CHECKED)); }, MF_UNCHECKED,
       "Nine#9|&One#1|-|[x]Two#2|Three#3:grey"},
      {"check again answers checked", [](HMENU m, HMENU) { return static_cast<long>(CheckMenuItem(m, 2, MF_CHECKED)); },
       MF_CHECKED, "Nine#9|&One#1|-|[x]Two#2|Three#3:grey"},
      {"enable answers grey", [](HMENU m, HMENU) { return static_cast<long>(EnableMenuItem(m, 3, MF_ENABLED)); },
       MF_GRAYED, "Nine#9|&One#1|-|[x]Two#2|Three#3"},
      {"enable a missing item", [U](HMENU m, HMENU) { return U(EnableMenuItem(m, 50, MF_GRAYED)); }, -1,
       "Nine#9|&One#1|-|[x]Two#2|Three#3"},
      {"radio check 1..3", [](HMENU m, HMENU) { return static_cast<long>(CheckMenuRadioItem(m, 1, 3, 3, MF_BYCOMMAND)); },
       TRUE, "Nine#9|&One#1|-|Two#2|(o)Three#3"},
      {"default by position", [](HMENU m, HMENU) { return static_cast<long>(SetMenuDefaultItem(m, 1, TRUE)); }, TRUE,
       "Nine#9|&One#1:default|-|Two#2|(o)Three#3"},
      {"default moves", [](HMENU m, HMENU) { return static_cast<long>(SetMenuDefaultItem(m, 9, FALSE)); }, TRUE,
       "Nine#9:default|&One#1|-|Two#2|(o)Three#3"},
      {"modify the text", [](HMENU m, HMENU) { return ModifyMenu(m, 9, MF_BYCOMMAND | MF_STRING, 10, "Ten"); }, TRUE,
       "Ten#10|&One#1|-|Two#2|(o)Three#3"},
      {"hang a submenu",
       [](HMENU m, HMENU s) {
         AppendMenu(s, MF_STRING, 21, "Deep");
         return InsertMenu(m, 2, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(s), "&Sub");
       },
       TRUE, "Ten#10|&One#1|&Sub>{Deep#21}|-|Two#2|(o)Three#3"},
      {"a menu cannot hold itself",
       [](HMENU m, HMENU s) { return AppendMenu(s, MF_POPUP, reinterpret_cast<UINT_PTR>(m), "Loop"); }, FALSE,
       "Ten#10|&One#1|&Sub>{Deep#21}|-|Two#2|(o)Three#3"},
      {"commands are found inside submenus", [](HMENU m, HMENU) { return static_cast<long>(CheckMenuItem(m, 21, MF_CHECKED)); },
       MF_UNCHECKED, "Ten#10|&One#1|&Sub>{[x]Deep#21}|-|Two#2|(o)Three#3"},
      {"remove keeps the submenu", [](HMENU m, HMENU) { return RemoveMenu(m, 2, MF_BYPOSITION); }, TRUE,
       "Ten#10|&One#1|-|Two#2|(o)Three#3"},
      {"delete by command", [](HMENU m, HMENU) { return DeleteMenu(m, 2, MF_BYCOMMAND); }, TRUE,
       "Ten#10|&One#1|-|(o)Three#3"},
      {"delete past the end", [](HMENU m, HMENU) { return DeleteMenu(m, 9, MF_BYPOSITION); }, FALSE,
       "Ten#10|&One#1|-|(o)Three#3"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    EXPECT_EQ(step.call(menu, sub), step.answer);
    EXPECT_EQ(Dump(menu), step.after);
  }
  EXPECT_TRUE(IsMenu(sub));  // RemoveMenu left it alive
  EXPECT_EQ(Dump(sub), "[x]Deep#21");
  EXPECT_TRUE(DestroyMenu(menu));
  EXPECT_TRUE(DestroyMenu(sub));
  EXPECT_FALSE(IsMenu(menu));
  EXPECT_FALSE(DestroyMenu(menu));  // a stale handle finds nothing
}

TEST(MenuApi, QueriesAnswerLikeWindows) {
  UiDriver ui;
  HMENU menu = CreateMenu(), sub = CreatePopupMenu();
  AppendMenu(sub, MF_STRING, 5, "A");
  AppendMenu(sub, MF_STRING, 6, "B");
  AppendMenu(menu, MF_STRING | MF_CHECKED | MF_GRAYED, 1, "&Plain\tCtrl+P");
  AppendMenu(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&Sub");
  AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
  EXPECT_EQ(GetMenuItemCount(menu), 3);
  EXPECT_EQ(GetMenuItemID(menu, 0), 1u);
  EXPECT_EQ(GetMenuItemID(menu, 1), static_cast<UINT>(-1));  // a submenu has none
  EXPECT_EQ(GetMenuItemID(menu, 7), static_cast<UINT>(-1));
  EXPECT_EQ(GetSubMenu(menu, 1), sub);
  EXPECT_EQ(GetSubMenu(menu, 0), nullptr);
  EXPECT_EQ(GetMenuState(menu, 1, MF_BYCOMMAND), static_cast<UINT>(MF_CHECKED | MF_GRAYED));
  EXPECT_EQ(GetMenuState(menu, 1, MF_BYPOSITION), static_cast<UINT>(MF_POPUP | (2 << 8)));  // count in the high byte
  EXPECT_EQ(GetMenuState(menu, 2, MF_BYPOSITION), static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(GetMenuState(menu, 99, MF_BYCOMMAND), static_cast<UINT>(-1));
  char text[8];
  EXPECT_EQ(GetMenuString(menu, 1, text, sizeof text, MF_BYCOMMAND), 7);  // cut to the buffer
  EXPECT_STREQ(text, "&Plain\t");
  EXPECT_EQ(GetMenuString(menu, 1, nullptr, 0, MF_BYCOMMAND), 13);  // the length without a buffer
  MENUITEMINFO info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = nullptr;
  EXPECT_TRUE(GetMenuItemInfo(menu, 0, TRUE, &info));
  EXPECT_EQ(info.cch, 13u);
  EXPECT_EQ(GetMenuItemCount(reinterpret_cast<HMENU>(0x1234)), -1);  // not a menu
  EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, 0), static_cast<UINT>(-1));
  DestroyMenu(menu);
  EXPECT_FALSE(IsMenu(sub));  // destroyed with the menu that held it
}

TEST(MenuApi, ItemInfoSetsAndReadsEachPart) {
  UiDriver ui;
  HMENU menu = CreatePopupMenu();
  MENUITEMINFO info;
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_STRING;
  info.fType = MFT_STRING | MFT_RADIOCHECK;
  info.fState = MFS_CHECKED | MFS_DEFAULT;
  info.wID = 42;
  info.dwItemData = 0xBEEF;
  info.dwTypeData = const_cast<LPSTR>("Item");
  EXPECT_TRUE(InsertMenuItem(menu, 0, TRUE, &info));
  MENUITEMINFO change;
  change.fMask = MIIM_STATE;
  change.fState = MFS_GRAYED;
  EXPECT_TRUE(SetMenuItemInfo(menu, 42, FALSE, &change));
  MENUITEMINFO out;
  char text[16];
  out.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_STRING;
  out.dwTypeData = text;
  out.cch = sizeof text;
  EXPECT_TRUE(GetMenuItemInfo(menu, 42, FALSE, &out));
  EXPECT_EQ(out.fType, static_cast<UINT>(MFT_STRING | MFT_RADIOCHECK));
  EXPECT_EQ(out.fState, static_cast<UINT>(MFS_GRAYED));
  EXPECT_EQ(out.wID, 42u);
  EXPECT_EQ(out.dwItemData, 0xBEEFu);
  EXPECT_STREQ(text, "Item");
  EXPECT_FALSE(SetMenuItemInfo(menu, 43, FALSE, &change));
  DestroyMenu(menu);
}

TEST(MenuApi, TheSystemMenuIsTheWindowsOwnAndGoesWithIt) {
  UiDriver ui;
  HWND window = CreateWindowEx(0, "#32768", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(window);
  HMENU system = GetSystemMenu(window, FALSE);
  ASSERT_TRUE(IsMenu(system));
  EXPECT_EQ(GetSystemMenu(window, FALSE), system);
  EXPECT_EQ(Dump(system), "&Restore#61728|&Move#61456|&Size#61440|Mi&nimize#61472|Ma&ximize#61488|-|"
                          "&Close\tAlt+F4#61536:default");
  DeleteMenu(system, SC_SIZE, MF_BYCOMMAND);
  EXPECT_EQ(GetSystemMenu(window, TRUE), nullptr);  // reverted: a fresh copy next time
  EXPECT_FALSE(IsMenu(system));
  EXPECT_EQ(GetMenuItemCount(GetSystemMenu(window, FALSE)), 7);
  HMENU again = GetSystemMenu(window, FALSE);
  DestroyWindow(window);
  EXPECT_FALSE(IsMenu(again));
}

TEST(MenuApi, AWindowsBarGoesWithTheWindowAndAFreedBarLeavesIt) {
  UiDriver ui;
  HMENU bar = CreateMenu();
  AppendMenu(bar, MF_STRING, 1, "&Go");
  HWND window = CreateWindowEx(0, "#32768", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, bar, nullptr, nullptr);
  EXPECT_EQ(GetMenu(window), bar);
  EXPECT_FALSE(SetMenu(window, reinterpret_cast<HMENU>(0x99)));  // not a menu: refused
  EXPECT_EQ(GetMenu(window), bar);
  DestroyWindow(window);
  EXPECT_FALSE(IsMenu(bar));
  HMENU other = CreateMenu();
  window = CreateWindowEx(0, "#32768", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, other, nullptr, nullptr);
  DestroyMenu(other);
  EXPECT_EQ(GetMenu(window), nullptr);
  DestroyWindow(window);
}

TEST(MenuApi, AcceleratorTablesCopyTheirEntries) {
  UiDriver ui;
  ACCEL entries[] = {{FVIRTKEY | FCONTROL, 'O', 101}, {0, 'q', 102}};
  HACCEL table = CreateAcceleratorTable(entries, 2);
  ASSERT_TRUE(table);
  EXPECT_EQ(CopyAcceleratorTable(table, nullptr, 0), 2);
  ACCEL out[2];
  EXPECT_EQ(CopyAcceleratorTable(table, out, 1), 1);
  EXPECT_EQ(out[0].cmd, 101);
  EXPECT_TRUE(DestroyAcceleratorTable(table));
  EXPECT_FALSE(DestroyAcceleratorTable(table));
  EXPECT_EQ(CreateAcceleratorTable(entries, 0), nullptr);
}

}  // namespace
