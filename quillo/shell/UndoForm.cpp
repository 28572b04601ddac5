#include "quillo/shell/UndoForm.h"

#include <algorithm>

#include "platform/host/KeyCodes.h"
#include "platform/vcl/Color.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/ListBox.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/Tool.h"

TUndoForm* UndoForm = nullptr;
std::uint8_t UndoFormShown = 0;

QUILLO_DEFINE_CLASS(TUndoForm, TForm)

namespace {

// The list sits inside the panel's bevel with this margin on every side.
constexpr int kListMargin = 4;

}  // namespace

TUndoForm::TUndoForm(TComponent* owner) : TForm(owner) {
  SetName("UndoForm");
  SetBorderStyle(bsNone);
  SetBorderIcons(TBorderIcons{});
  SetFormStyle(fsStayOnTop);
  SetKeyPreview(true);
  SetColor(clBtnFace);
  SetClientWidth(kClientWidth);
  SetClientHeight(kMaxRows * kItemHeight + 2 * kListMargin + 2);

  Panel1 = NewComponent<TPanel>(this);
  Panel1->SetName("Panel1");
  Panel1->SetCaption("");
  Panel1->SetBevelOuter(bvRaised);
  Panel1->SetAlign(alClient);
  Panel1->SetParent(this);

  UndoList = NewComponent<TListBox>(this);
  UndoList->SetName("UndoList");
  UndoList->SetBorderStyle(bsNone);
  UndoList->SetTabStop(false);
  UndoList->SetColor(clBtnFace);
  // Owner-drawn rows keep their height whatever the font; the default drawing writes the text.
  UndoList->SetStyle(lbOwnerDrawFixed);
  UndoList->SetItemHeight(kItemHeight);
  UndoList->SetIntegralHeight(true);
  UndoList->SetBounds(kListMargin, kListMargin, kClientWidth - 2 * kListMargin, kMaxRows * kItemHeight + 2);
  UndoList->SetParent(Panel1);
  UndoList->OnMouseMove = [this](TObject* sender, TShiftState shift, int x, int y) { MouseTrack(sender, shift, x, y); };
  // The platform's list reports no change when the row clicked is the one the pointer
  // already highlighted, so the click is taken from the button's release: only one whose
  // press came down on the list too. Near the work area's corner the list opens under the
  // pointer, and the release of the press that opened it must not choose a step.
  UndoList->OnMouseDown = [this](TObject*, TMouseButton button, TShiftState, int, int) {
    if (button == mbLeft) pressedOnList_ = true;
  };
  UndoList->OnMouseUp = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    ListMouseUp(sender, button, shift, x, y);
  };

  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnDeactivate = [this](TObject* sender) { CloseForm(sender); };
  OnClose = [](TObject*, TCloseAction& action) {
    UndoFormShown = 0;
    action = caHide;
  };
  TranslateComponent(this, "[UndoForm]");
  UndoForm = this;
  UndoFormShown = 1;
}

TUndoForm::~TUndoForm() {
  if (UndoForm != this) return;
  UndoForm = nullptr;
  UndoFormShown = 0;
}

HistoryMode TUndoForm::Mode() const {
  return UndoList->GetTag() == static_cast<int>(HistoryMode::Redo) ? HistoryMode::Redo : HistoryMode::Undo;
}

void TUndoForm::ShowHistory(UDBuffer& picture, HistoryMode mode, TPoint at) {
  const UndoEntry* newest = mode == HistoryMode::Redo ? picture.RedoChain : picture.UndoChain;
  if (newest == nullptr) return;
  picture_ = &picture;
  pressedOnList_ = false;
  UndoFormShown = 1;
  UndoList->Clear();
  int count = 0;
  for (const UndoEntry* s = newest; s != nullptr; s = s->Next, ++count) UndoList->GetItems()->Add(LangMessage(s->Description));
  UndoList->SetTag(static_cast<int>(mode));

  const int rows = std::min(count, kMaxRows);
  const int width = kClientWidth;
  const int height = kItemHeight * rows + 2 * kListMargin + 2;
  UndoList->SetHeight(kItemHeight * rows + 2);
  // At the pointer, moved back inside the work area where it would pass its right or bottom
  // edge.
  int left = at.x, top = at.y;
  if (left + width > WorkArea.right) left = WorkArea.right - width;
  if (top + height > WorkArea.bottom) top = WorkArea.bottom - height;
  SetBounds(left, top, width, height);
  UndoList->SetItemIndex(-1);
  UndoList->SetTopIndex(0);
  // The list takes the keys and the wheel.
  SetActiveControl(UndoList);
  Show();
}

void TUndoForm::MouseTrack(TObject*, TShiftState, int x, int y) {
  const int index = UndoList->ItemAtPos(TPoint(x, y), true);
  if (index >= 0 && index != UndoList->GetItemIndex()) UndoList->SetItemIndex(index);
}

void TUndoForm::ListMouseUp(TObject* sender, TMouseButton button, TShiftState, int x, int y) {
  if (button != mbLeft || !pressedOnList_) return;
  pressedOnList_ = false;
  const int index = UndoList->ItemAtPos(TPoint(x, y), true);
  if (index < 0) return;
  UndoList->SetItemIndex(index);
  UndoListClick(sender);
}

void TUndoForm::UndoListClick(TObject*) {
  const int index = UndoList->GetItemIndex();
  if (index < 0 || ToolPhase != 0) return;
  if (CurrentPicture == nullptr || CurrentPicture != picture_) {
    Close();
    return;
  }
  const HistoryMode mode = Mode();
  SuspendTool();
  // A step that cannot be restored says so once and ends the walk: an older step restored
  // over the newer change it failed to take back would give a picture that never was.
  for (int i = 0; i <= index; ++i) {
    const bool done = mode == HistoryMode::Redo ? CurrentPicture->Redo() : CurrentPicture->Undo(UDBuffer::RedoRecord::Keep);
    if (!done) break;
  }
  Close();
  if (ImageForm != nullptr) UpdateDocumentCaption(ImageForm);
  ResumeTool();
  if (MainForm != nullptr) MainForm->UpdateUndoItems();
}

void TUndoForm::FormKeyDown(TObject* sender, WORD& key, TShiftState) {
  if (key == VK_ESCAPE) {
    key = 0;
    Close();
  } else if (key == VK_RETURN) {
    key = 0;
    UndoListClick(sender);
  }
}

void TUndoForm::CloseForm(TObject*) {
  if (UndoFormShown) Close();
  UndoFormShown = 0;
}

void CloseUndoForm() {
  if (UndoFormShown && UndoForm != nullptr) UndoForm->Close();
  UndoFormShown = 0;
}
