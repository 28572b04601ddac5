#pragma once
// A desktop with one overlapped window that has a menu bar (File, Edit, Help), and a log of
// the menu messages the window is sent, written as "INITMENUPOPUP(&File)", "COMMAND(101)".

#include <functional>
#include <string>
#include <vector>

#include "support/UiDriver.h"

using MenuLog = std::vector<std::string>;

class MenuDesk {
public:
  // Command ids of the bar's items.
  enum : UINT {
    kOpen = 101, kSave = 102, kPrint = 103, kExit = 104, kUndo = 201, kSmall = 211, kLarge = 212, kAbout = 301,
  };
  static constexpr int kLeft = 100, kTop = 80, kWidth = 400, kHeight = 300;

  MenuDesk();
  ~MenuDesk();
  MenuDesk(const MenuDesk&) = delete;
  MenuDesk& operator=(const MenuDesk&) = delete;

  MenuLog Take();
  // What the window answers to WM_MENUCHAR (0: DefWindowProc's answer).
  void AnswerMenuChar(LRESULT answer) { menuChar_ = answer; }
  // Runs for every message before the log and DefWindowProc see it; true: handled.
  void OnMessage(std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> handler) { handler_ = std::move(handler); }

  // The screen centre of a bar item, and of an item of an open popup.
  POINT BarItem(int position) const;
  static POINT PopupItem(HMENU menu, int position);
  // The open popup windows, the first opened first.
  static std::vector<HWND> Popups();
  // Alt+letter, queued.
  void QueueAlt(int letter);

  UiDriver ui;
  HWND window = nullptr;
  HMENU bar = nullptr, file = nullptr, edit = nullptr, size = nullptr, help = nullptr;

private:
  LRESULT Proc(HWND w, UINT m, WPARAM wParam, LPARAM lParam);
  MenuLog log_;
  LRESULT menuChar_ = 0;
  std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> handler_;
};
