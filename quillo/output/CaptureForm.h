#pragma once
// TCaptureForm: copies the whole desktop or the window in front, frame included, into a new
// untitled document. The user picks the source and the trigger (a hot key, or a delay in
// seconds); Capture hides the program so that its windows are out of the picture, and the
// program comes back with the new document once the grab is done. The dialog frees itself
// when it closes; its choices are kept in the registry (section "Capture"), its place for the
// run of the program.

#include <cstdint>
#include <vector>

#include "platform/vcl/Form.h"

class TBandCaption;
class TButton;
class TComboBox;
class TExSpinEdit;
class TFormStorage;
class TRadioGroup;
class TTimer;

class TCaptureForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCaptureForm(TComponent* owner);

  static constexpr int kHotKeyId = 13417;

  TBandCaption* Cap = nullptr;
  TRadioGroup* SourceRG = nullptr;
  TRadioGroup* TriggerRG = nullptr;
  TComboBox* ModCombo = nullptr;
  TComboBox* KeyCombo = nullptr;
  TExSpinEdit* DelayInSec = nullptr;
  TTimer* Timer = nullptr;
  TButton* CaptureBtn = nullptr;
  TButton* CancelBtn = nullptr;
  TButton* HelpBtn = nullptr;
  TFormStorage* FormStorage1 = nullptr;

  void FormStorage1RestorePlacement(TObject* sender);
  void CaptureBtnClick(TObject* sender);
  void TimerTimer(TObject* sender);
  void SwitchToHotKey(TObject* sender);
  void DelayInSecChange(TObject* sender);
  void CancelBtnClick(TObject* sender);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void FormClose(TObject* sender, TCloseAction& action);
  void HelpBtnClick(TObject* sender);

  // Copies width x height of the window's whole-window area from (x0, y0) into a new
  // untitled, changed, opaque document.
  void Grab(HWND window, int width, int height, int x0, int y0);
  // The grabbed 0x00RRGGBB pixels, top row first, as that document.
  void NewCapturedDocument(int width, int height, const std::vector<std::uint32_t>& pixels);

protected:
  void Dispatch(TMessage& message) override;

private:
  void BuildControls();
  void BuildStorage();
  UINT HotKeyModifiers() const;
};

// Creates the dialog and shows it (Desktop > Capture).
void ShowCaptureForm();
// The dialog's remembered place goes (a fresh run).
void ForgetCaptureFormPlace();
