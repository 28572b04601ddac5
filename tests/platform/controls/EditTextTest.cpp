// The edit's text layout: lines laid out again after an edit are the lines a fresh layout
// of the whole text gives, whatever was typed, deleted or pasted where.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/controls/EditText.h"

namespace {

// Every character is as wide as its bytes, a space 1: easy to reason about in the cases.
int Width(const char* bytes, int length) { return bytes[0] == ' ' ? 1 : length * 2; }

EditText Wrapped(const std::string& text, int width) {
  EditText t;
  t.SetCharWidth(&Width);
  t.SetMultiLine(true);
  t.SetTabWidth(8);
  t.SetWrapWidth(width);
  t.SetText(text);
  return t;
}

std::vector<std::string> Lines(const EditText& t) {
  std::vector<std::string> out;
  for (int i = 0; i < t.LineCount(); ++i) {
    const EditText::Line& l = t.LineAt(i);
    out.push_back(t.Text().substr(static_cast<size_t>(l.start), static_cast<size_t>(l.end - l.start)) + "|" +
                  std::to_string(l.width));
  }
  return out;
}

TEST(EditText, WrapsAtSpacesCutsLongWordsAndBreaksAtLineEnds) {
  struct Case {
    std::string text;
    int width;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"", 10, {"|0"}},
      {"ab cd ef", 10, {"ab cd |10", "ef|4"}},       // spaces hang at the end of the line
      {"abcdefgh", 6, {"abc|6", "def|6", "gh|4"}},  // a word longer than the line is cut
      {"ab\r\ncd\nef", 100, {"ab|4", "cd|4", "ef|4"}},
      {"ab\r\n", 100, {"ab|4", "|0"}},  // a break at the end starts an empty last line
      {"a\tb", 100, {"a\tb|10"}},       // a tab reaches the next stop
      {"ab cd", 0, {"ab cd|9"}},        // no wrap width: one line
  };
  for (const Case& c : cases) EXPECT_EQ(Lines(Wrapped(c.text, c.width)), c.lines) << c.text;
}

TEST(EditText, StepsByWholeCharactersAndWords) {
  EditText t;
  t.SetMultiLine(true);
  t.SetText("h\xC3\xA9llo w\xE2\x82\xACrld\r\nnext");
  EXPECT_EQ(t.Next(1), 3);   // é is two bytes
  EXPECT_EQ(t.Prev(3), 1);
  EXPECT_EQ(t.Snap(2), 1);   // inside é
  EXPECT_EQ(t.Next(14), 16);  // CR LF is one step
  EXPECT_EQ(t.Prev(16), 14);
  EXPECT_EQ(t.WordRight(0), 7);
  EXPECT_EQ(t.WordRight(7), 14);
  EXPECT_EQ(t.WordRight(14), 16);
  EXPECT_EQ(t.WordLeft(16), 14);
  EXPECT_EQ(t.WordLeft(14), 7);
  EXPECT_EQ(t.WordLeft(7), 0);
  int start = 0, end = 0;
  t.WordAt(9, start, end);
  EXPECT_EQ(start, 7);
  EXPECT_EQ(end, 14);
  t.WordAt(2, start, end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 7);  // with the space after it
}

TEST(EditText, AnEditLaysOutAsAFreshLayoutWould) {
  std::mt19937 random(1234);
  const std::vector<std::string> pieces = {"a", "bb", " ", "  ", "word ", "\r\n", "\n", "longerword", "\t", "x y z ",
                                           "\xC3\xA9", ""};
  for (int width : {0, 7, 12, 30}) {
    EditText t = Wrapped("", width);
    for (int step = 0; step < 600; ++step) {
      const int n = t.Length();
      int from = t.Snap(static_cast<int>(random() % static_cast<unsigned>(n + 1)));
      int to = t.Snap(std::min(n, from + static_cast<int>(random() % 6)));
      if (to < from) std::swap(from, to);
      const std::string& piece = pieces[random() % pieces.size()];
      t.Replace(from, to, piece);
      const EditText fresh = Wrapped(t.Text(), width);
      ASSERT_EQ(Lines(t), Lines(fresh)) << "width " << width << " step " << step;
    }
  }
}

}  // namespace
