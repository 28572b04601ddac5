#pragma once
// TAboutPanel: the about panel, a borderless window always on top, centred on the screen,
// holding the about picture and the version. It is also the splash screen while the program
// starts. Any key, a click and the loss of activation close it, and closing frees it, so
// Help > About makes a new one each time. A press on the picture's web link opens the
// home page instead.

#include "platform/vcl/Form.h"

class TImage;
class TLabel;
class TPanel;

class TAboutPanel : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TAboutPanel(TComponent* owner);
  ~TAboutPanel() override;

  TPanel* Panel1 = nullptr;    // 441 x 341
  TImage* Image1 = nullptr;    // the about picture, 436 x 337
  TLabel* VersionLab = nullptr;

  // The hand cursor over the web link, the default one elsewhere.
  void Image1MouseMove(TObject* sender, TShiftState shift, int x, int y);
  // A press on the web link opens the home page; anywhere else it closes the panel.
  void Image1MouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void FormDeactivate(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
};

// The panel while it exists (between its making and its freeing); null otherwise.
extern TAboutPanel* AboutPanel;

// The program's version as the panel shows it.
constexpr int VersionMajor = 2;
constexpr int VersionMinor = 82;

// A new panel, centred on the screen, shown, into AboutPanel (Help > About).
TAboutPanel* ShowAboutPanel();
// Start-up: makes the panel, centred; shows it as the splash when show is set, else closes
// it at once.
void BeginSplash(bool show);
// The end of start-up: the splash closes.
void EndSplash();
