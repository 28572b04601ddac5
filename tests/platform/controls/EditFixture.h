#pragma once
// A parent window for edit controls that records their notifications and colour requests,
// with keys written as text: "ab{LEFT}{S-HOME}{C-Z}" types a, b, presses Left, Shift+Home
// and Ctrl+Z (S- Shift, C- Ctrl, CS- both).

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/controls/Edit.h"
#include "support/UiDriver.h"

class EditFixture : public ::testing::Test {
public:
  static std::string Text(HWND edit);
  static std::pair<int, int> Sel(HWND edit);

protected:
  void SetUp() override;
  void TearDown() override;

  HWND Make(DWORD style, const char* text, int width = 200, int height = 24, DWORD exStyle = WS_EX_CLIENTEDGE,
            int x = 10, int y = 10, int id = 7);
  void Keys(const std::string& keys);
  // Notifications since the last call, by code.
  std::vector<WORD> TakeNotes();

  UiDriver ui;
  HWND parent = nullptr;
  std::vector<WORD> notes;
  std::vector<UINT> colourRequests;
  HBRUSH answerBrush = nullptr;  // what the parent answers to WM_CTLCOLOR*, null: the default
};
