#pragma once
// A top-level window for common-control tests: it records the WM_NOTIFY codes (and the item
// of each) its children send, answers them as a test says, and keeps what WM_DRAWITEM asked.

#include <functional>
#include <string>
#include <vector>

#include "platform/controls/CommonNotify.h"

class NotifyParent {
public:
  NotifyParent(int width = 400, int height = 300, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  ~NotifyParent();
  NotifyParent(const NotifyParent&) = delete;
  NotifyParent& operator=(const NotifyParent&) = delete;

  HWND Window() const { return window_; }
  HWND Child(const char* className, DWORD style, int x, int y, int width, int height, int id = 1,
             const char* text = "");

  struct Note {
    UINT code;
    int item;  // NMHEADER's item, NMMOUSE's part, or -2 for other records
    int width;  // NMHEADER's width when it carries one, else -1
  };
  std::vector<Note> notes;
  std::vector<UINT> Codes() const;
  std::vector<UINT> TakeCodes();
  // The reply to each WM_NOTIFY (0 when unset).
  std::function<LRESULT(const NMHDR&)> answer;
  std::vector<DRAWITEMSTRUCT> drawn;
  // Called for each owner-drawn item with its context, to paint something a test can see.
  std::function<void(const DRAWITEMSTRUCT&)> draw;
  int sizes = 0;  // WM_SIZE messages heard
  // Children that hear this window's WM_SIZE, as a status bar's parent passes it on.
  std::vector<HWND> passSizeTo;

private:
  LRESULT Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  HWND window_ = nullptr;
};
