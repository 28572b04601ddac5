#pragma once
// What the document-window tests share: the program started as WinMain starts it (a fresh
// desktop with a manual clock, a fresh settings folder, the main window and its start-up),
// helpers to make documents and click the zoom control, and the document list's globals
// checked and reset afterwards.

#include <string>

#include "../shell/ProgramFixture.h"
#include "platform/vcl/UpDown.h"

class TImageForm;

class DocumentTest : public ProgramTest {
protected:
  DocumentTest();
  ~DocumentTest() override;

  // A new untitled document of that size, shown, with the loop run (which closes the blank
  // document the program started with).
  TImageForm* NewDocument(int width = 64, int height = 48);
  // Clicks an arrow of the main window's zoom control, with Shift held when asked.
  void ClickZoom(TUDBtnType button, bool shift = false);
  // The zoom control's position and label.
  int ZoomPosition() const;
  std::string ZoomLabel() const;
};
