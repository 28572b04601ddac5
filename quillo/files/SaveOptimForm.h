#pragma once
// TSaveOptimForm: the save optimiser. The user tries up to four sets of save settings (slots)
// on the picture being saved: each slot's Preview really writes a probe file and reads it
// back, so its preview shows what the file will hold and its size in bytes. All previews show
// the same part at one zoom (SaveOptimPreviews.cpp); sets can be kept under a name
// (SaveOptimConfigs.cpp). Accept closes with OK and leaves the slot in SaveOptimResult for the
// save dialog. The user's own file is never written here: probes live in a private folder
// that goes when the window goes.

#include <array>
#include <vector>

#include "platform/vcl/Form.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/files/ProbeFolder.h"
#include "quillo/files/SaveOptimSlots.h"

class TBandCaption;
class TBevel;
class TBuffer;
class TButton;
class TCheckBox;
class TComboBox;
class TExSpinEdit;
class TLabel;
class TPanel;
class TPercentProgress;
class TScrollBar;
class TScrollBox;
class TSpeedButton;
class TTabControl;

class TSaveOptimForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  // picture: the picture being saved; it is only read.
  TSaveOptimForm(TComponent* owner, UDBuffer* picture);
  ~TSaveOptimForm() override;

  TBandCaption* Cap = nullptr;
  TTabControl* TabControl = nullptr;
  TComboBox* Type = nullptr;
  TComboBox* CDepth = nullptr;
  TCheckBox* LimitCB = nullptr;
  TExSpinEdit* LimitED = nullptr;
  TCheckBox* DitherCB = nullptr;
  TCheckBox* TranspCB = nullptr;
  TCheckBox* InterlCB = nullptr;
  TLabel* QLabel = nullptr;
  TScrollBar* QScbar = nullptr;
  TLabel* QValue = nullptr;
  TBevel* Bevel1 = nullptr;
  TLabel* SizeValue = nullptr;
  TButton* PrevBtn = nullptr;
  TComboBox* Config4Combo = nullptr;
  TSpeedButton* Ret4Btn = nullptr;
  TSpeedButton* Add4Btn = nullptr;
  TSpeedButton* Del4Btn = nullptr;
  TPanel* ProgPanel = nullptr;
  TPercentProgress* ProgressBar = nullptr;
  TLabel* ZoomLab = nullptr;
  TButton* CancelBtn = nullptr;
  TButton* HelpBtn = nullptr;
  TButton* ExpandBtn = nullptr;
  std::array<TScrollBox*, kOptimSlotCount> SBox{};        // SBox1..SBox4
  std::array<TBuffer*, kOptimSlotCount> PreviewBuf{};     // PreviewBuf1..PreviewBuf4

  // Slot states.
  static constexpr int kIdle = 0;
  static constexpr int kProbing = 1;
  static constexpr int kProbed = 2;

  std::array<UDBuffer, kOptimSlotCount> SlotPicture;
  std::array<int, kOptimSlotCount> SlotState{};
  std::array<int, kOptimSlotCount> SlotSize{};
  std::array<AnsiString, kOptimSlotCount> ProbeFile;
  bool FourPreviews = true;
  int Zoom = 100;
  int PrevZoom = 100;
  int PreviewWidth = 178;
  bool Dragging = false;
  int DragStartX = 0;
  int DragStartY = 0;
  int AcceptedSlot = 0;
  int CurrentSlot = -1;

  // The slot settings.
  void FormClose(TObject* sender, TCloseAction& action);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void FormDeactivate(TObject* sender);
  void HelpBtnClick(TObject* sender);
  // Stores the controls into the slot shown, then shows the slot of the selected tab.
  void PageChange(TObject* sender);
  void TypeComboChange(TObject* sender);
  void SetDitherAndLimitCols(TObject* sender);
  void ParamChange(TObject* sender);
  void QualityChange(TObject* sender);
  // Preview, Stop or Accept, by the state of the slot shown.
  void PreviewBtnClick(TObject* sender);
  // The code of the depth chosen in CDepth (-1 with none).
  int ChosenDepthCode() const;
  // The position of a depth code in CDepth (any unknown code: adaptive); -1 when missing.
  int DepthIndex(int code) const;
  // Whether a probe is being written now.
  bool Probing() const { return probingSlot_ >= 0; }
  // The folder the probe files go to.
  const AnsiString& ProbeFolderPath() const { return probes_.Path(); }

  // The previews.
  void PreviewBufMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void PreviewBufMouseMove(TObject* sender, TShiftState shift, int x, int y);
  void PreviewBufMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void ExpandBtnClick(TObject* sender);
  void ApplyPreviewZoom();
  void PanPreviews(int dx, int dy);
  void FitPreviewZoom();

  // The named configurations.
  void Config4ComboChange(TObject* sender);
  void Add4BtnClick(TObject* sender);
  void Del4BtnClick(TObject* sender);
  void Ret4BtnClick(TObject* sender);

  // The library's progress hooks while a probe is written.
  static void OptimProgressStart();
  static bool OptimProgressStep(int percent);
  static void OptimProgressEnd();

private:
  void BuildSlotControls();
  void BuildBottomControls();
  void BuildPreviews();
  void LayOutConfigRow();
  void PlaceWindow();
  void FillTypes();
  bool MakeSlotPictures();
  void ListConfigurations();
  // The controls' settings as a slot record.
  OptimSlot ControlsSlot() const;
  // Shows a slot's settings in the controls (its state kept).
  void ShowSlot(int slot);
  // The button and size label for the slot shown.
  void ShowSlotButton(bool withSize);
  void Probe(int slot);
  void ReadBack(int slot, int depthCode, bool qualityEnabled);
  // While a probe is written only the tab control and the Stop button stay live.
  void LockForProbe();
  void UnlockAfterProbe();
  int DepthCodeOfSlot(const OptimSlot& slot) const;

  UDBuffer* picture_;
  ProbeFolder probes_;
  std::vector<int> depthCodes_;   // the code of each CDepth entry
  int defaultType_ = 0;
  int probingSlot_ = -1;
  std::vector<std::pair<TControl*, bool>> lockedControls_;
};

// The optimiser last made; null once it is gone.
extern TSaveOptimForm* SaveOptimForm;
