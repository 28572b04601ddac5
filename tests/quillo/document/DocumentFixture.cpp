#include "DocumentFixture.h"

#include "platform/vcl/Application.h"
#include "platform/vcl/Label.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/files/SaveCommands.h"

DocumentTest::DocumentTest() {
  Start();
  // The documents a test makes are numbered from 1, after the blank one of the start.
  UntitledCounter = 1;
}

DocumentTest::~DocumentTest() {
  ResetApplication();
  EXPECT_EQ(ImgFormCount, 0) << "every document window left the list as it was freed";
  ImgFormCount = 0;
  ImgForms.fill(nullptr);
  ImageForm = nullptr;
  CurrentPicture = nullptr;
  SaveCancelled = 0;
  UntitledCounter = 1;
}

TImageForm* DocumentTest::NewDocument(int width, int height) {
  TImageForm* window = CreateDocumentWindow(width, height, "");
  ui.RunUntilIdle();
  return window;
}

void DocumentTest::ClickZoom(TUDBtnType button, bool shift) {
  RECT r;
  GetWindowRect(form->Zoom->GetHandle(), &r);
  const int midX = (r.left + r.right) / 2;
  const int midY = (r.top + r.bottom) / 2;
  int x = midX, y = midY;
  if (form->Zoom->GetOrientation() == udVertical) y = button == btNext ? (r.top + midY) / 2 : (midY + r.bottom) / 2;
  else x = button == btNext ? (midX + r.right) / 2 : (r.left + midX) / 2;
  if (shift) ui.KeyDown(VK_SHIFT);
  ui.Click(x, y);
  if (shift) ui.KeyUp(VK_SHIFT);
}

int DocumentTest::ZoomPosition() const { return form->Zoom->GetPosition(); }

std::string DocumentTest::ZoomLabel() const { return form->ZoomLabel->GetCaption(); }
