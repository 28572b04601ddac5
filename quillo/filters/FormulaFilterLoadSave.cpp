#include "quillo/filters/FormulaFilterLoadSave.h"

#include <exception>
#include <limits>

#include "platform/rtl/SysUtils.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ScrollBar.h"
#include "quillo/base/Language.h"
#include "quillo/filters/FilterFactory.h"
#include "quillo/filters/FormulaFilterOpenDialog.h"
#include "quillo/filters/FormulaFilterSaveDialog.h"

namespace {

constexpr UINT kProblemBox = MB_OK | MB_ICONEXCLAMATION;
constexpr int kAppend = std::numeric_limits<int>::max();

bool AgreesToReplace(const AnsiString& title) {
  const AnsiString text = LangMessage("ReplaceFilter") + " " + title + " " + LangMessage("ReplaceFilter2");
  return Application()->MessageBox(text, LangMessage("Err"), MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

void SaveIntoLibraryAt(const AnsiString& fileName, int place, const FormulaFilter& filter) {
  switch (SaveIntoLibrary(fileName, place, filter, AgreesToReplace)) {
    case LibrarySaveResult::Saved:
    case LibrarySaveResult::Declined:
      return;
    case LibrarySaveResult::NotALibrary:
      LangMessageBox("FFLNotALibrary", "Err", kProblemBox);
      return;
    case LibrarySaveResult::CannotHold:
      LangMessageBox("FFLCannotHold", "Err", kProblemBox);
      return;
    case LibrarySaveResult::CannotWrite:
      LangMessageBox("CantSaveFilter", "Err", kProblemBox);
      return;
  }
}

}  // namespace

bool LoadFormulaFilter(FormulaFilter& filter) {
  if (FFOpenPlus == nullptr || !FFOpenPlus->Run(FormulaFilterFolder)) return false;
  const AnsiString fileName = FFOpenPlus->OpenDlg->GetFileName();
  FormulaFilterFolder = ExtractFilePath(fileName);
  if (FFSavePlus != nullptr) FFSavePlus->SaveDlg->SetFileName(fileName);
  filter = FFOpenPlus->Filter;
  return true;
}

void SaveFormulaFilter(const FormulaFilter& filter) {
  if (FFSavePlus == nullptr || !FFSavePlus->Run(FormulaFilterFolder, filter.title)) return;
  const AnsiString fileName = FFSavePlus->SaveDlg->GetFileName();
  FormulaFilterFolder = ExtractFilePath(fileName);
  if (FFOpenPlus != nullptr) FFOpenPlus->OpenDlg->SetFileName(fileName);
  if (IsFilterLibraryName(fileName)) {
    // The place the chooser showed for this file. A name typed and confirmed without the
    // chooser ever showing its places chose none: the filter is added after the last entry.
    const int place = FFSavePlus->SelectedFile == fileName ? FFSavePlus->FilterIndex->GetPosition() : kAppend;
    SaveIntoLibraryAt(fileName, place, filter);
    return;
  }
  try {
    if (!WriteSingleFilter(fileName, filter)) LangMessageBox("FFLCannotHold", "Err", kProblemBox);
  } catch (const std::exception&) {
    LangMessageBox("CantSaveFilter", "Err", kProblemBox);
  }
}
