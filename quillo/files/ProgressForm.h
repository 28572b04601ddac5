#pragma once
// TProgressForm: the small stay-on-top window of a batch conversion run: its message lines,
// a progress bar and Cancel. Made once, the first time a run needs it, and kept for the rest
// of the program; each run shows and empties it and closes it at the end unless lines were
// added, which then stay until the user closes the window or the next run starts.

#include "platform/vcl/Form.h"
#include "quillo/files/BatchRun.h"

class TBandCaption;
class TButton;
class TMemo;
class TPercentProgress;

class TProgressForm : public TForm, public BatchProgressSink {
  QUILLO_DECLARE_CLASS()

public:
  explicit TProgressForm(TComponent* owner);
  ~TProgressForm() override;

  TBandCaption* Cap = nullptr;
  TMemo* Memo = nullptr;
  TPercentProgress* ProgressBar = nullptr;
  TButton* CancelBtn = nullptr;

  // Lines added since the window was last shown.
  int MessageCount() const { return messageCount_; }
  // Between the start and the end of a run; Cancel closes the window only outside one, or
  // once the bar is full.
  void SetRunning(bool running) { running_ = running; }

  // No lines, the bar at its start and no Cancel pending: what each run starts with, also
  // when the window is still open from the one before.
  void Empty();

  void FormShow(TObject* sender);
  void CancelBtnClick(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);

  void SetFileCount(int files) override;
  void SetFilesDone(int done) override;
  void AddMessage(const AnsiString& line) override;
  bool Cancelled() const override { return cancelled_; }
  void Pump() override;

private:
  bool cancelled_ = false;
  bool running_ = false;
  int messageCount_ = 0;
};

// The one progress window, made when first asked for.
TProgressForm* BatchProgressForm();
// Closes the progress window when there is one (the batch window does as it closes).
void CloseBatchProgressForm();
