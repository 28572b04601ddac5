#pragma once
// TImageForm: the top-level window of one open image. It embeds the image object and shows
// it through the view control inside a scroll box, with rulers above and to the left, a
// status bar (holding the progress bar, its Cancel button and the instant-brush toggle) and a
// dock at each side for the program's toolbars. It snaps to the edges of the work area, the
// main window and the other document windows while it is moved, and moves the windows beside
// it while it is sized.

#include <cstdint>
#include <vector>

#include "platform/vcl/Messages.h"
#include "quillo/components/captions/GradientForm.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/WindowArrangement.h"

class TBuffer;
class TEventScrollBox;
class TFriendlyStatusBar;
class TImage;
class TPanel;
class TPercentProgress;
class TSpeedButton;
namespace tbx {
class TDockX;
class TToolbarButtonX;
}  // namespace tbx

// The panels of the status bar.
enum StatusPanel {
  spMessage = 0,     // general messages
  spCoordinates = 1, // the mouse in the image: x,y
  spSizes = 2,       // sizes and colour values shown by tools and keys
  spPrompt = 3,      // timed prompts
  spBrushMode = 4,   // the brush mode's letter
};

class TImageForm;
struct Neighbour {
  NeighbourSide side;
  TImageForm* window;
};

class TImageForm : public TGradientForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TImageForm(TComponent* owner);
  ~TImageForm() override;

  // Components (named as here, so the language file and tests find them).
  tbx::TDockX* LeftDock = nullptr;
  tbx::TDockX* RightDock = nullptr;
  TFriendlyStatusBar* StatusBar = nullptr;
  TSpeedButton* CancelProgressBtn = nullptr;
  tbx::TToolbarButtonX* InstBrushBtn = nullptr;
  TPercentProgress* ProgressBar = nullptr;
  TPanel* ImagePanel = nullptr;
  TImage* TopRuler = nullptr;
  TImage* LeftRuler = nullptr;
  TEventScrollBox* MaxSize = nullptr;
  TBuffer* ShowBuf = nullptr;

  // The document's image; CurrentPicture points here while the window is active.
  UDBuffer Picture;
  // This window's place in ImgForms.
  int ListIndex = 0;
  // The zoom control's position for this document, and its zoom factor.
  int ZoomIndex = 1;
  double Zoom = 1.0;
  // The document windows whose edges touch this one (LinkAdjacentWindows).
  std::vector<Neighbour> Neighbours;

  // The window's rectangle and whether it is minimised, for the window arrangement.
  WindowPlace Place() const;
  void SetPanelText(StatusPanel panel, const AnsiString& text);
  AnsiString StatusText(StatusPanel panel) const;
  // Whether the close query let it go: it is on its way out and is released once only.
  bool Closing() const { return closing_; }
  // Redraws both rulers for the present scroll position and zoom (when they are shown).
  void DrawRulers();
  // Centres the view where it is smaller than the scroll box; sets the scroll range where it
  // is larger; redraws the rulers.
  void MaxSizeResize(TObject* sender);
  void MaxSizeScroll(TObject* sender);
  // The instant-brush toggle's place at the novice level (no toggle) or the expert one.
  void ArrangeStatusBarForLevel(int level);
  // The prompt panel takes the room the other panels leave on the bar.
  void FitPromptPanel();

  void FormActivate(TObject* sender);
  void FormCloseQuery(TObject* sender, bool& canClose);
  void FormDestroy(TObject* sender);
  void CancelProgressBtnClick(TObject* sender);
  void InstBrushBtnClick(TObject* sender);

  // The pointer's image point on the status bar, in the unit of the setting.
  void ShowMouseCoordinates();
  // The view's own paint: the marching selection outline over the picture.
  void ShowBufPaint(TObject* sender);

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;

private:
  void BuildComponents();
  void WMMouseWheel(TMessage& message);
  void WMGetMinMaxInfo(TMessage& message);
  void WMSysCommand(TMessage& message);
  void WMSizing(TMessage& message);
  void WMMoving(TMessage& message);
  void UndockToolbars();

  bool closing_ = false;
  bool destroyed_ = false;
  bool laying_ = false;  // MaxSizeResize is placing the view
};
