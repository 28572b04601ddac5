#include "platform/rtl/RegistryText.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/RegistryApi.h"

namespace {

// The literal's bytes, inner nulls included, without the terminator the compiler adds.
template <size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

const RegValue* ValueAt(const RegistryTree& tree, RegRoot root, const RegPath& path, const AnsiString& name) {
  const RegKey* key = tree.Find(root, path);
  return key != nullptr ? key->Value(name) : nullptr;
}

}  // namespace

TEST(RegistryText, WritesAReadableText) {
  RegistryTree tree;
  RegKey& prefs = tree.Create(RegRoot::CurrentUser, {"Software", "Dornick", "QL", "Preferences"});
  prefs.SetValue("Clipping", REG_DWORD, Bytes("\x01\x00\x00\x00"));
  prefs.SetValue("UndoDir", REG_SZ, Bytes("/tmp/undo\0"));
  prefs.SetValue("", REG_SZ, Bytes("a \"b\" \\ c\nd\0"));
  prefs.SetValue("Shape", REG_BINARY, Bytes("\x00\xff\x10"));
  tree.Create(RegRoot::ClassesRoot, {".png"});
  EXPECT_EQ(RegistryText(tree),
            "quillo registry 1\n"
            "\n[HKEY_CLASSES_ROOT\\.png]\n"
            "\n[HKEY_CURRENT_USER\\Software]\n"
            "\n[HKEY_CURRENT_USER\\Software\\Dornick]\n"
            "\n[HKEY_CURRENT_USER\\Software\\Dornick\\QL]\n"
            "\n[HKEY_CURRENT_USER\\Software\\Dornick\\QL\\Preferences]\n"
            "\"Clipping\"=dword:00000001\n"
            "\"UndoDir\"=\"/tmp/undo\"\n"
            "@=\"a \\\"b\\\" \\\\ c\\nd\"\n"
            "\"Shape\"=hex:00,ff,10\n");
}

// Every name and every byte comes back, whatever the type and contents.
TEST(RegistryText, RoundTripsEveryValueExactly) {
  struct Case {
    const char* name;
    DWORD type;
    std::string data;
  } cases[] = {
      {"plain", REG_SZ, Bytes("text\0")},
      {"empty string", REG_SZ, Bytes("\0")},
      {"lines and escapes", REG_SZ, Bytes("a\r\nb\t\"q\" \\x41 \x01\x1f\x7f\0")},
      {"utf-8 and high bytes", REG_SZ, Bytes("gr\xc3\xbc\xc3\x9f \xff\xfe\0")},
      {"string without terminator", REG_SZ, Bytes("abc")},
      {"string with inner null", REG_SZ, Bytes("a\0b\0")},
      {"no bytes", REG_SZ, std::string()},
      {"number", REG_DWORD, Bytes("\x78\x56\x34\x12")},
      {"short number", REG_DWORD, Bytes("\x01\x02")},
      {"binary", REG_BINARY, Bytes("\x00\x01\xfe\xff")},
      {"empty binary", REG_BINARY, std::string()},
      {"list", REG_MULTI_SZ, Bytes("a\0bc\0\0")},
      {"expand", REG_EXPAND_SZ, Bytes("%TEMP%\0")},
      {"odd type", 0x12345678, Bytes("x")},
      {"", REG_SZ, Bytes("default\0")},
      {"@", REG_SZ, Bytes("named at\0")},
      {"name \"with\" = and \\ and \n", REG_DWORD, Bytes("\0\0\0\0")},
  };
  RegistryTree tree;
  const RegPath path{"Key ] with [brackets]", "spaces  ", "gr\xc3\xbc\xc3\x9f"};
  RegKey& key = tree.Create(RegRoot::LocalMachine, path);
  for (const Case& c : cases) key.SetValue(c.name, c.type, c.data);
  tree.Create(RegRoot::Users, {"empty"});
  tree.Root(RegRoot::DynData).SetValue("at the root", REG_DWORD, Bytes("\x05\0\0\0"));

  const std::string text = RegistryText(tree);
  const RegistryFileContents read = ParseRegistryText(text);
  ASSERT_FALSE(read.Damaged()) << read.problem << " at line " << read.firstBadLine << "\n" << text;
  for (const Case& c : cases) {
    const RegValue* value = ValueAt(read.tree, RegRoot::LocalMachine, path, c.name);
    ASSERT_NE(value, nullptr) << c.name;
    EXPECT_EQ(value->type, c.type) << c.name;
    EXPECT_EQ(value->data, c.data) << c.name;
  }
  EXPECT_NE(read.tree.Find(RegRoot::Users, {"empty"}), nullptr);
  EXPECT_NE(ValueAt(read.tree, RegRoot::DynData, {}, "at the root"), nullptr);
  EXPECT_EQ(RegistryText(read.tree), text);
}

TEST(RegistryText, ToleratesWhatAPersonMightWrite) {
  const RegistryFileContents read = ParseRegistryText(
      "; my settings\r\n"
      "quillo registry 1\r\n"
      "\r\n"
      "  [hkey_current_user\\A]  \r\n"
      "\"n\" = dword:2a\r\n"
      "@=hex(1):41,42,00\r\n"
      "[HKEY_CURRENT_USER\\A]\r\n"
      "\"n\"=dword:2b\r\n");
  ASSERT_FALSE(read.Damaged()) << read.problem;
  const RegValue* number = ValueAt(read.tree, RegRoot::CurrentUser, {"a"}, "N");
  ASSERT_NE(number, nullptr);
  EXPECT_EQ(number->data, Bytes("\x2b\0\0\0"));
  EXPECT_EQ(ValueAt(read.tree, RegRoot::CurrentUser, {"A"}, "")->data, Bytes("AB\0"));
  EXPECT_TRUE(ParseRegistryText("").tree.Root(RegRoot::CurrentUser).subkeys.empty());
  EXPECT_FALSE(ParseRegistryText("").Damaged());
}

// A bad line is reported with its number; every good line around it is still read, and the
// values under a bad header are dropped rather than put into another key.
TEST(RegistryText, ReadsPastDamageAndReportsTheFirstBadLine) {
  struct Case {
    const char* bad;
    bool dropsFollowingValues;
  } cases[] = {
      {"\"unterminated=dword:00000001", false},
      {"\"bad escape \\q\"=dword:00000001", false},
      {"\"x\"=dword:123456789", false},
      {"\"x\"=dword:zz", false},
      {"\"x\"=hex:0,1", false},
      {"\"x\"=hex:01,", false},
      {"\"x\"=hex(q):01", false},
      {"\"x\"=\"text\" trailing", false},
      {"\"x\" dword:00000001", false},
      {"\"\"=dword:00000001", false},
      {"just words", false},
      {"\x01\x02\x03 binary junk", false},
      {"[HKEY_NOWHERE\\A]", true},
      {"[HKEY_CURRENT_USER\\A\\\\B]", true},
      {"[HKEY_CURRENT_USER\\bad\x01name]", true},
  };
  for (const Case& c : cases) {
    const std::string text = std::string("quillo registry 1\n[HKEY_CURRENT_USER\\Good]\n\"before\"=dword:00000001\n") +
                             c.bad + "\n\"after\"=dword:00000002\n[HKEY_CURRENT_USER\\Next]\n\"last\"=\"x\"\n";
    const RegistryFileContents read = ParseRegistryText(text);
    EXPECT_EQ(read.firstBadLine, 4) << c.bad;
    EXPECT_FALSE(read.problem.empty()) << c.bad;
    EXPECT_NE(ValueAt(read.tree, RegRoot::CurrentUser, {"Good"}, "before"), nullptr) << c.bad;
    EXPECT_EQ(ValueAt(read.tree, RegRoot::CurrentUser, {"Good"}, "after") == nullptr, c.dropsFollowingValues)
        << c.bad;
    EXPECT_NE(ValueAt(read.tree, RegRoot::CurrentUser, {"Next"}, "last"), nullptr) << c.bad;
  }
}

TEST(RegistryText, NeedsItsFirstLineAndLeavesALaterFormatAlone) {
  const RegistryFileContents unsigned_ = ParseRegistryText("[HKEY_CURRENT_USER\\A]\n\"v\"=\"1\"\n");
  EXPECT_EQ(unsigned_.firstBadLine, 1);
  EXPECT_NE(ValueAt(unsigned_.tree, RegRoot::CurrentUser, {"A"}, "v"), nullptr);

  const RegistryFileContents later = ParseRegistryText("quillo registry 2\n[HKEY_CURRENT_USER\\A]\n");
  EXPECT_TRUE(later.laterVersion);
  EXPECT_FALSE(later.Damaged());
  EXPECT_EQ(later.tree.Find(RegRoot::CurrentUser, {"A"}), nullptr);

  const RegistryFileContents zero = ParseRegistryText("quillo registry 0\n");
  EXPECT_EQ(zero.firstBadLine, 1);
}

TEST(RegistryText, RefusesNestingBeyondWindowsLimit) {
  std::string header = "[HKEY_CURRENT_USER";
  for (size_t i = 0; i <= kMaxKeyDepth; ++i) header += "\\k";
  const RegistryFileContents read = ParseRegistryText("quillo registry 1\n" + header + "]\n");
  EXPECT_EQ(read.firstBadLine, 2);
  EXPECT_EQ(read.tree.Find(RegRoot::CurrentUser, {"k"}), nullptr);
}
