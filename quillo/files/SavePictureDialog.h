#pragma once
// The image Save As dialog: the host form TSavePlus, whose panel Panel1 is lent to the save
// dialog SavePicDlg while it runs. The panel offers the colour depths the chosen file type can
// write, the colour limit, dithering, transparency, interlacing and the quality of lossy
// formats, and the last eight folders saved to. It writes no file: Save As (PictureSaving.h)
// runs the dialog and takes the choice as GFXSaveParams (ChosenParams).

#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/GroupBox.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ScrollBar.h"
#include "platform/vcl/StdButtons.h"
#include "platform/vcl/UpDown.h"
#include "quillo/components/files/HookedFileDialog.h"
#include "quillo/files/SaveOptimSlots.h"
#include "vorlen/formats/GFXFile.h"

class UDBuffer;

class TSavePlus : public TForm {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TSavePlus(TComponent* owner);
  ~TSavePlus() override;

  TSaveDialogEx* SavePicDlg = nullptr;
  TPanel* Panel1 = nullptr;
  TLabel* RecFoldersLab = nullptr;
  TComboBox* RecFolders = nullptr;
  TGroupBox* Colors = nullptr;
  TRadioButton* TC32RB = nullptr;
  TRadioButton* TC24RB = nullptr;
  TRadioButton* HC16RB = nullptr;
  TRadioButton* HC15RB = nullptr;
  TRadioButton* B8RB = nullptr;
  TRadioButton* B4RB = nullptr;
  TRadioButton* GSRB = nullptr;
  TRadioButton* MCRB = nullptr;
  TRadioButton* ADRB = nullptr;
  TCheckBox* LimitColsCB = nullptr;
  TEdit* LimColEd = nullptr;
  TUpDown* LimitCols = nullptr;
  TCheckBox* Dither = nullptr;
  TCheckBox* Transparent = nullptr;
  TCheckBox* MultiPass = nullptr;
  TLabel* QualityLab = nullptr;
  TScrollBar* Quality = nullptr;
  TLabel* QualityVal = nullptr;
  TButton* OptimizeBtn = nullptr;
  TButton* SetAsDefault = nullptr;

  // The picture being saved; Save As sets it before every run. Only read.
  UDBuffer* PictureToSave = nullptr;
  // Set when the accepted name does not agree with the chosen type: Save As shows the dialog
  // again.
  bool ReshowDialog = false;

  // The user (or Save As, with a null sender) chose the index-th writable format, from 1:
  // the panel offers what it can write, set for the picture, and the name takes its extension.
  void SavePicDlgTypeChange(TObject* sender, int index);
  void SavePicDlgFileOk(TObject* sender, bool& accept);
  // A depth button was checked: the options that depend on the depth follow it.
  void BPPClick(TObject* sender);
  void LimitColsCBClick(TObject* sender);
  void QualityChange(TObject* sender);
  void RecFoldersChange(TObject* sender);
  // Opens the save optimiser on the picture; the settings it accepts become the panel's.
  void OptimizeBtnClick(TObject* sender);
  // Takes the optimiser's accepted settings: its type in the dialog, then its depth, limit,
  // dither, transparency, interlacing and (where the type has one) quality.
  void TakeOptimResult(const OptimSlot& result);
  void SetAsDefaultClick(TObject* sender);

  // Checks the enabled depth button nearest the picture's depth: at or above it, else the
  // deepest below; a disabled button is never checked.
  void SelectDepthButton();
  // Puts the folder of fileName at the top of the recent folders (at most eight).
  void AddRecentFolder(const AnsiString& fileName);
  // The parameters of the save as the panel shows them.
  GFXSaveParams ChosenParams() const;
  // The depth buttons in the order the parameters are read from them.
  static constexpr int kDepthButtons = 9;
  TRadioButton* DepthButton(int i) const;

  // The writable format at a 1-based place among the writable formats; null when none.
  static GFXFile* WritableFormatAt(int place);
  // A format's first extension, without "*." (JPG of "*.JPG;*.JPEG").
  static AnsiString FirstExtensionOf(const GFXFile* format);

private:
  void BuildPanel();
  void BuildDepthButtons();
  void BuildOptions();
  void CheckDepth(TRadioButton* button);
  void EnableDepthButtons(const GFXFile* format);
  void GiveNameExtension(TObject* sender, const AnsiString& extension);
  // While the dialog runs, its name box and type box; else the component's FileName and
  // FilterIndex, which the next run starts with.
  bool DialogRunning() const;
  AnsiString ChosenName() const;
  int ChosenType() const;
  // Lays the quality's scroll bar and number out against the colour limit's arrows.
  void PlaceQuality();

  int widestQualityNumber_ = 0;  // the width "100" takes beside the quality's scroll bar
};

// The one save dialog of the program, made at start.
extern TSavePlus* SavePlus;
// Makes it when it is not there yet (start-up, or a caller that runs without it).
TSavePlus* TheSaveDialog();
