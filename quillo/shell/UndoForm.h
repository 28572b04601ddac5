#pragma once
// TUndoForm: the undo history drop-down of the Undo and Redo buttons. A small borderless list
// of the steps of one chain of the active picture, newest first; clicking an entry undoes (or
// redoes) every step down to and including it. Made by the first drop-down and kept; it closes
// on Escape, on a click elsewhere, when a tool is selected and when the main window closes its
// popups.

#include <cstdint>

#include "platform/vcl/Form.h"

class TListBox;
class TPanel;
class UDBuffer;

enum class HistoryMode { Undo = 0, Redo = 1 };  // UndoList's Tag

class TUndoForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TUndoForm(TComponent* owner);
  ~TUndoForm() override;

  static constexpr int kClientWidth = 175;
  static constexpr int kItemHeight = 13;
  static constexpr int kMaxRows = 8;

  TPanel* Panel1 = nullptr;
  TListBox* UndoList = nullptr;

  // Lists the chain of that mode of the picture, newest first, sizes the window for up to
  // kMaxRows rows, puts it at the screen point (kept inside the work area) and shows it.
  // Nothing when the chain is empty.
  void ShowHistory(UDBuffer& picture, HistoryMode mode, TPoint at);
  HistoryMode Mode() const;

  // Undoes or redoes down to the selected entry, unless a tool operation is under way.
  void UndoListClick(TObject* sender);
  // The entry under the pointer is the selected one.
  void MouseTrack(TObject* sender, TShiftState shift, int x, int y);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void CloseForm(TObject* sender);

private:
  void ListMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  // The picture the list was made from: the list means nothing for another one.
  UDBuffer* picture_ = nullptr;
  bool pressedOnList_ = false;
};

// The one drop-down, made on demand; null before the first.
extern TUndoForm* UndoForm;
// 1 while the drop-down is open.
extern std::uint8_t UndoFormShown;
// Closes the drop-down when it is open.
void CloseUndoForm();
