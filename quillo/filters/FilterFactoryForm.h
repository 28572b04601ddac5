#pragma once
// TFFactForm: the filter factory window. Four channel formulas, eight named sliders and four
// texts; a thumbnail that follows every change; Preview (Stop while it runs) filters the
// document picture from the tool's untouched copy; OK keeps it as one undo step. Load, Save
// and Make keep the filter in files and turn it into a component. Closing it finishes
// FFFilterTool.

#include <array>
#include <memory>

#include "platform/rtl/AnsiString.h"
#include "platform/vcl/Form.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/filters/FormulaCompiler.h"
#include "quillo/filters/FormulaFilterFile.h"

class TBandCaption;
class TBuffer;
class TButton;
class TCheckBox;
class TEdit;
class TLabel;
class TMemo;
class TSaveDialog;
class TScrollBar;

class TFFactForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  // The box the thumbnail is fitted and centred in.
  static constexpr int kThumbLeft = 16;
  static constexpr int kThumbTop = 2;
  static constexpr int kThumbWidth = 160;
  static constexpr int kThumbHeight = 120;

  explicit TFFactForm(TComponent* owner);
  ~TFFactForm() override;

  TBandCaption* Cap = nullptr;
  TMemo* RedCh = nullptr;
  TMemo* GreenCh = nullptr;
  TMemo* BlueCh = nullptr;
  TMemo* AlphaCh = nullptr;
  TLabel* RLab = nullptr;
  TLabel* GLab = nullptr;
  TLabel* BLab = nullptr;
  TLabel* ALab = nullptr;
  TLabel* RedSyntax = nullptr;
  TLabel* GreenSyntax = nullptr;
  TLabel* BlueSyntax = nullptr;
  TLabel* AlphaSyntax = nullptr;
  TEdit* Title = nullptr;
  TEdit* Category = nullptr;
  TEdit* Author = nullptr;
  TEdit* Copyright = nullptr;
  TLabel* TitleLab = nullptr;
  TLabel* CategoryLab = nullptr;
  TLabel* AuthorLab = nullptr;
  TLabel* CopyrightLab = nullptr;
  TCheckBox* InstPreview = nullptr;
  TBuffer* InstPreviewBuf = nullptr;
  TButton* OkBtn = nullptr;
  TButton* PreviewBtn = nullptr;
  TButton* CancelBtn = nullptr;
  TButton* LoadBtn = nullptr;
  TButton* SaveBtn = nullptr;
  TButton* MakeBtn = nullptr;
  TButton* HelpBtn = nullptr;
  TSaveDialog* QLCSaveDlg = nullptr;
  // The slider rows, made in code: a name, a scroll bar 0..255 and its value.
  std::array<TEdit*, kFilterSliders> SliderNames{};
  std::array<TScrollBar*, kFilterSliders> Sliders{};
  std::array<TLabel*, kFilterSliders> SliderValues{};

  // Fills the window from the filter without compiling on every field, then compiles it and
  // runs it on the thumbnail.
  void ShowFilter(const FormulaFilter& filter);
  // The filter as the window shows it.
  FormulaFilter ShownFilter() const;
  // The four formula edits in channel order.
  std::array<TMemo*, kFilterFormulas> FormulaEdits() const { return {RedCh, GreenCh, BlueCh, AlphaCh}; }
  std::array<TLabel*, kFilterFormulas> SyntaxMarks() const {
    return {RedSyntax, GreenSyntax, BlueSyntax, AlphaSyntax};
  }
  void FocusOk();
  void FreeThumbnails();
  bool Running() const { return running_; }
  bool Closing() const { return closing_; }
  // The thumbnail the filter runs into and the window shows.
  const UDBuffer& Thumbnail() const { return thumbResult_; }

  void OkBtnClick(TObject* sender);
  void PreviewBtnClick(TObject* sender);
  void CancelBtnClick(TObject* sender);
  void HelpBtnClick(TObject* sender);
  void LoadBtnClick(TObject* sender);
  void SaveBtnClick(TObject* sender);
  void MakeBtnClick(TObject* sender);
  void ChChange(TObject* sender);
  void InstPreviewClick(TObject* sender);
  void ChEditEnter(TObject* sender);
  void ChExit(TObject* sender);
  void SyntaxClick(int channel);
  void SliderChange(TObject* sender);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void FormCloseQuery(TObject* sender, bool& canClose);
  void FormClose(TObject* sender, TCloseAction& action);

private:
  void BuildComponents();
  void BuildSliderRows();
  void MakeThumbnails();
  // Compiles the formulas the window shows and marks the channels with errors.
  void Compile();
  void RunOnThumbnail();
  void SliderValuesNow(std::int32_t (&values)[kFilterSliders]) const;
  void EnableControls(bool enable);

  CompiledFormula compiled_;
  std::int32_t errorPosition_[kFilterFormulas] = {};
  std::int32_t errorLength_[kFilterFormulas] = {};
  UDBuffer thumbSource_;
  UDBuffer thumbResult_;
  AnsiString entryName_;
  AnsiString previewCaption_;
  bool loading_ = false;
  bool running_ = false;
  bool closing_ = false;
  bool closeAfterRun_ = false;
};
