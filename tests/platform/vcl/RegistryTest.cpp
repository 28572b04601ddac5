#include "platform/vcl/Registry.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/vcl/Strings.h"
#include "support/TempHome.h"

namespace {

std::string StoreText(const TempHome& home) {
  std::ifstream in(home.Path() + "/registry.txt", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Lines(const TStrings& strings) {
  std::vector<std::string> lines;
  for (int i = 0; i < strings.Count(); ++i) lines.push_back(strings.Get(i));
  return lines;
}

// The message of the ERegistryException the call raises; "" when it raises none.
std::string RegistryError(const std::function<void()>& call) {
  try {
    call();
  } catch (const ERegistryException& error) {
    return error.Message;
  }
  return "";
}

}  // namespace

// How the program keeps its settings: a base key with a trailing separator, subkeys opened
// with creation allowed, numbers and booleans as numbers.
TEST(TRegistry, KeepsSettingsUnderTheCurrentUser) {
  TempHome home;
  {
    TRegistry reg;
    EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey("Software\\Dornick\\QL\\MainForm", true));
    EXPECT_EQ(RegistryError([&] { reg.ReadInteger("Left"); }), "Failed to get data for 'Left'");
    EXPECT_EQ(reg.ReadString("Skin"), "") << "a missing string reads as empty";
    EXPECT_FALSE(reg.ValueExists("Left"));
    reg.WriteInteger("Left", -12);
    reg.WriteBool("Maximized", true);
    reg.WriteString("Skin", "Standard Shaded");
    reg.WriteString("", "the default");
    EXPECT_TRUE(reg.ValueExists("LEFT"));
    EXPECT_EQ(reg.ReadInteger("left"), -12);
    EXPECT_TRUE(reg.ReadBool("Maximized"));
    EXPECT_EQ(reg.GetDataType("Maximized"), rdInteger);
    EXPECT_EQ(reg.GetDataSize("Skin"), 16);
    EXPECT_EQ(reg.GetDataSize("none"), -1);
    EXPECT_EQ(reg.ReadString(""), "the default");
    reg.CloseKey();
    EXPECT_EQ(reg.CurrentKey(), nullptr);
  }
  const std::string text = StoreText(home);
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Dornick\\QL\\MainForm]\n"
                      "\"Left\"=dword:fffffff4\n"
                      "\"Maximized\"=dword:00000001\n"
                      "\"Skin\"=\"Standard Shaded\"\n"
                      "@=\"the default\"\n"),
            std::string::npos)
      << text;
}

TEST(TRegistry, RefusesToReadAValueAsAnotherType) {
  TempHome home;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Types", true));
  reg.WriteString("short", "1");
  reg.WriteString("long", "a longer text");
  reg.WriteInteger("number", 5);
  const unsigned char bytes[3] = {1, 2, 3};
  reg.WriteBinaryData("binary", bytes, 3);
  struct Case {
    const char* what;
    std::function<void()> read;
    const char* error;
  } cases[] = {
      {"integer from a short string", [&] { reg.ReadInteger("short"); }, "Invalid data type for 'short'"},
      {"integer from a long string", [&] { reg.ReadInteger("long"); }, "Failed to get data for 'long'"},
      {"string from a number", [&] { reg.ReadString("number"); }, "Invalid data type for 'number'"},
      {"binary from a string", [&] { char b[32]; reg.ReadBinaryData("long", b, 32); }, "Invalid data type for 'long'"},
      {"binary too big for the buffer", [&] { char b[2]; reg.ReadBinaryData("binary", b, 2); },
       "Invalid data type for 'binary'"},
      {"write with a negative size", [&] { reg.WriteBinaryData("bad", bytes, -1); }, "Failed to set data for 'bad'"},
  };
  for (const Case& c : cases) EXPECT_EQ(RegistryError(c.read), c.error) << c.what;
  unsigned char read[8] = {};
  EXPECT_EQ(reg.ReadBinaryData("binary", read, 8), 3);
  EXPECT_EQ(read[2], 3);
  EXPECT_EQ(reg.ReadBinaryData("missing", read, 8), 0);
  EXPECT_FALSE(reg.ValueExists("bad"));
}

TEST(TRegistry, OpensKeysRelativeToTheCurrentKeyOrFromTheRoot) {
  TempHome home;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("A", true));
  ASSERT_TRUE(reg.OpenKey("B", true));
  EXPECT_EQ(reg.CurrentPath(), "A\\B");
  EXPECT_TRUE(reg.KeyExists("\\A\\B"));
  EXPECT_FALSE(reg.KeyExists("A")) << "relative to A\\B";
  ASSERT_TRUE(reg.OpenKey("\\C", true));
  EXPECT_EQ(reg.CurrentPath(), "C");
  EXPECT_FALSE(reg.OpenKey("Missing", false));
  EXPECT_EQ(reg.CurrentPath(), "C") << "a failed open keeps the current key";

  reg.SetRootKey(HKEY_CLASSES_ROOT);
  EXPECT_EQ(reg.CurrentKey(), nullptr) << "a new root closes the key";
  EXPECT_FALSE(reg.KeyExists("A"));
  ASSERT_TRUE(reg.OpenKey(".png", true));
  reg.WriteString("", "Quillory");
  reg.SetRootKey(HKEY_CURRENT_USER);
  EXPECT_TRUE(reg.KeyExists("A"));

  ASSERT_TRUE(reg.OpenKeyReadOnly("\\A"));
  EXPECT_EQ(reg.Access, KEY_READ);
  EXPECT_EQ(RegistryError([&] { reg.WriteString("v", "x"); }), "Failed to set data for 'v'");
  EXPECT_EQ(RegistryError([&] { reg.CreateKey("New"); }), "Failed to create key New");
  EXPECT_TRUE(reg.OpenKey("B", false)) << "opening needs only read access";
}

TEST(TRegistry, ListsAndDeletesKeysWithEverythingBelow) {
  TempHome home;
  TRegistry reg;
  for (const char* key : {"\\Tree\\b\\deep\\deeper", "\\Tree\\a", "\\Tree\\c"}) ASSERT_TRUE(reg.CreateKey(key));
  ASSERT_TRUE(reg.OpenKey("\\Tree", false));
  reg.WriteString("two", "2");
  reg.WriteString("one", "1");
  TStringList names;
  names.Add("stale");
  reg.GetKeyNames(&names);
  EXPECT_EQ(Lines(names), (std::vector<std::string>{"a", "b", "c"}));
  reg.GetValueNames(&names);
  EXPECT_EQ(Lines(names), (std::vector<std::string>{"two", "one"}));
  EXPECT_TRUE(reg.HasSubKeys());

  EXPECT_TRUE(reg.DeleteKey("b"));
  EXPECT_FALSE(reg.KeyExists("b"));
  EXPECT_FALSE(reg.DeleteKey("b"));
  EXPECT_FALSE(reg.DeleteKey("")) << "an empty name deletes nothing";
  EXPECT_FALSE(reg.DeleteKey("\\"));
  reg.GetKeyNames(&names);
  EXPECT_EQ(Lines(names), (std::vector<std::string>{"a", "c"}));
  EXPECT_TRUE(reg.DeleteValue("two"));
  EXPECT_FALSE(reg.DeleteValue("two"));
}

// A key held open defers the saving of what other objects change; LazyWrite off saves at
// CloseKey all the same.
TEST(TRegistry, SavesAtCloseKeyUnlessLazy) {
  TempHome home;
  TRegistry holder;
  ASSERT_TRUE(holder.OpenKey("Held", true));
  {
    TRegistry lazy;
    ASSERT_TRUE(lazy.OpenKey("Lazy", true));
    lazy.WriteString("v", "lazy");
  }
  EXPECT_EQ(StoreText(home).find("Lazy"), std::string::npos);
  {
    TRegistry eager;
    eager.LazyWrite = false;
    ASSERT_TRUE(eager.OpenKey("Eager", true));
    eager.WriteString("v", "eager");
  }
  const std::string text = StoreText(home);
  EXPECT_NE(text.find("\"v\"=\"eager\""), std::string::npos);
  EXPECT_NE(text.find("\"v\"=\"lazy\""), std::string::npos) << "a save takes every pending change";
}

// Toolbar positions: a registry-as-INI object on a key, sections as subkeys, numbers as text.
TEST(TRegIniFile, KeepsSectionsAsSubkeys) {
  TempHome home;
  {
    TRegIniFile ini("");
    ini.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(ini.OpenKey("Software\\Dornick\\QL\\Toolbars", true));
    EXPECT_EQ(ini.ReadInteger("Palette", "Row", 7), 7);
    EXPECT_EQ(ini.ReadString("Palette", "DockedTo", "none"), "none");
    ini.WriteInteger("Palette", "Row", 2);
    ini.WriteString("Palette", "DockedTo", "+");
    ini.WriteBool("Palette", "Visible", true);
    EXPECT_EQ(ini.ReadInteger("palette", "ROW", 7), 2);
    EXPECT_EQ(ini.ReadString("Palette", "DockedTo", ""), "+");
    EXPECT_TRUE(ini.ReadBool("Palette", "Visible", false));
    EXPECT_FALSE(ini.ReadBool("Palette", "Missing", false));
  }
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Dornick\\QL\\Toolbars\\Palette", false));
  EXPECT_EQ(reg.GetDataType("Row"), rdString);
  EXPECT_EQ(reg.ReadString("Row"), "2");
  EXPECT_EQ(reg.ReadString("Visible"), "1");
}

// Numbers stored as numbers, and text that is no number, read as the framework's INI reads.
TEST(TRegIniFile, ReadsNumbersOfEitherKindAndGarbageAsTheDefault) {
  TempHome home;
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\App\\Section", true));
    reg.WriteInteger("number", 42);
    reg.WriteString("text", "wide");
    reg.WriteString("hex", "0x10");
    reg.WriteString("empty", "");
  }
  TRegIniFile ini("App");
  EXPECT_EQ(ini.FileName(), "App");
  EXPECT_EQ(ini.ReadInteger("Section", "number", 0), 42);
  EXPECT_EQ(ini.ReadString("Section", "number", ""), "42");
  EXPECT_EQ(ini.ReadInteger("Section", "text", -1), -1);
  EXPECT_EQ(ini.ReadInteger("Section", "hex", -1), 16);
  EXPECT_EQ(ini.ReadInteger("Section", "empty", -1), -1);
  EXPECT_TRUE(ini.ReadBool("Section", "number", false));
}

// The recent-files list: a section erased and written again, read back in the order written.
TEST(TRegIniFile, ReadsSectionValuesInTheOrderWritten) {
  TempHome home;
  TRegIniFile ini("\\Software\\Dornick\\QL");
  ini.WriteString("MRU Items", "F0", "/old.png");
  ini.WriteString("Other", "x", "1");
  ini.EraseSection("MRU Items");
  for (int i = 0; i < 12; ++i) {
    const std::string number = std::to_string(i);
    std::string ident(1, 'F'), file(1, '/');  // built by appending: GCC 12 misreads "F" + text at -O3
    ident += number;
    file += 'f' + number + ".png";
    ini.WriteString("MRU Items", ident, file);
  }
  TStringList values;
  ini.ReadSectionValues("MRU Items", &values);
  ASSERT_EQ(values.Count(), 12);
  EXPECT_EQ(values.Get(0), "F0=/f0.png");
  EXPECT_EQ(values.Get(10), "F10=/f10.png");
  EXPECT_EQ(values.Get(11), "F11=/f11.png");

  TStringList sections;
  ini.ReadSections(&sections);
  EXPECT_EQ(Lines(sections), (std::vector<std::string>{"MRU Items", "Other"}));
  TStringList idents;
  idents.Add("kept when the section is missing");
  ini.ReadSection("Nowhere", &idents);
  EXPECT_EQ(idents.Count(), 1);
  ini.DeleteKey("MRU Items", "F0");
  ini.ReadSection("MRU Items", &idents);
  EXPECT_EQ(idents.Get(0), "F1");

  ini.EraseSection("");
  ini.ReadSections(&sections);
  EXPECT_EQ(sections.Count(), 2) << "an empty section name erases nothing";
}
