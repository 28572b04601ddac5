#pragma once
// The text of an edit control and how it falls into lines. Positions are byte offsets into
// the UTF-8 text (as an ANSI edit counts its characters); the stepping functions never split
// a character. A multi-line text breaks at CR LF (and a lone LF), and, given a wrap width, at
// the last space that lets a line fit (a word longer than the line is cut). Replace lays out
// again only the lines an edit touched, so typing stays cheap in long texts.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class EditText {
public:
  // The width in pixels of one character (its bytes); tabs are measured by the text itself.
  using CharWidth = std::function<int(const char* bytes, int length)>;

  struct Line {
    int start = 0;
    int end = 0;    // where its characters end (before the line break, if any)
    int width = 0;  // pixels
  };

  EditText();
  void SetCharWidth(CharWidth measure);
  // Multi-line texts break into lines; a single-line text is one line whatever it holds.
  void SetMultiLine(bool multiLine);
  // 0: lines break only at line breaks.
  void SetWrapWidth(int pixels);
  void SetTabWidth(int pixels);  // tab stops of a multi-line text; 0 measures a tab as a character
  // Lays every line out again (the measure changed).
  void Relayout();

  const std::string& Text() const { return text_; }
  int Length() const { return static_cast<int>(text_.size()); }
  void SetText(std::string text);
  // Replaces [from, to) with the text; answers the lines laid out again, [first, last]
  // (the lines after them kept their layout, only moved).
  struct Changed {
    int first = 0;
    int last = 0;
  };
  Changed Replace(int from, int to, std::string_view text);

  int LineCount() const { return static_cast<int>(lines_.size()); }
  const Line& LineAt(int index) const { return lines_[static_cast<size_t>(index)]; }
  int LineFromPos(int pos) const;
  int WidestLine() const;

  // Characters: the start of the character after or before a position, and a position moved
  // back to the start of the character it falls in.
  int Next(int pos) const;
  int Prev(int pos) const;
  int Snap(int pos) const;
  static int CharLength(std::string_view text, int pos);
  // Words (runs of anything but spaces, tabs and line breaks), for Ctrl+arrows and double-click.
  int WordLeft(int pos) const;
  int WordRight(int pos) const;
  // The word at a position with the spaces after it, as a double-click selects it.
  void WordAt(int pos, int& start, int& end) const;

  // The x of a position within its line (0 at the line's left), and the position nearest x.
  int XOf(int line, int pos) const;
  int PosAtX(int line, int x) const;

private:
  bool IsBreakAt(int pos, int& breakLength) const;
  int Width(int pos, int length, int x) const;
  // The line starting at start, and where the next one starts (-1: it is the last).
  Line LayOut(int start, int& next) const;
  void LayOutAll();

  std::string text_;
  std::vector<Line> lines_;
  CharWidth measure_;
  bool multiLine_ = false;
  int wrapWidth_ = 0;
  int tabWidth_ = 0;
};
