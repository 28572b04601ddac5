// The tool options window's Palette sheet: the grid of 256 colour cells that picks the
// drawing and background colours (or stores a swatch's colour with Shift, Alt or Ctrl), its
// marks for the two colours, and the palette files.

#include <iterator>

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/FileDialogs.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Language.h"
#include "quillo/base/PaletteFolder.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/ImageView.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/PaletteFile.h"
#include "quillo/tools/Swatches.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolHost.h"

Buffer PaletteImage;

namespace {

constexpr int CellSize = 10;
constexpr int GridCells = 16;
constexpr int GridSize = CellSize * GridCells;
// Before the palette is installed the grid is a small blank picture.
constexpr int BlankGridWidth = 56;
constexpr int BlankGridHeight = 128;

Rect CellRect(int i) {
  const int left = i / GridCells * CellSize;
  const int top = i % GridCells * CellSize;
  return Rect(left, top, left + CellSize - 1, top + CellSize - 1);
}

int CellAt(int x, int y) {
  if (x < 0 || y < 0 || x >= GridSize || y >= GridSize) return -1;
  return x / CellSize * GridCells + y / CellSize;
}


}  // namespace

void TToolForm::BuildPaletteSheet() {
  PalHolder = NewNamedComponent<TBuffer>(this, "PalHolder");
  PalHolder->SetParent(PaletteSheet);
  PalHolder->SetBounds(4, 4, BlankGridWidth, BlankGridHeight);
  PaletteImage.Alloc(Pair<int>(BlankGridWidth, BlankGridHeight));
  PaletteImage.Box(PaletteImage.rect, 0);
  PalHolder->SetBuffer(&PaletteImage);
  PalHolder->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    PaletteHolderMouseDown(s, b, sh, x, y);
  };
  PalHolder->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { PaletteHolderMouseMove(s, sh, x, y); };
  PalHolder->OnMouseLeave = [this](TObject* s) { PaletteHolderMouseLeave(s); };

  struct ButtonPlace {
    TButton** button;
    const char* name;
    const char* caption;
    TNotifyEvent click;
  };
  const ButtonPlace buttons[] = {
      {&LoadPaletteBtn, "LoadPaletteBtn", "&Load", [this](TObject* s) { LoadPaletteClick(s); }},
      {&SavePaletteBtn, "SavePaletteBtn", "&Save", [this](TObject* s) { SavePaletteClick(s); }},
      {&LimitColorsBtn, "LimitColorsBtn", "Limit &Colors", [this](TObject* s) { LimitColorsClick(s); }},
      {&PaletteHelpBtn, "PaletteHelpBtn", "&Help", [this](TObject* s) { HelpBtnClick(s); }},
  };
  int top = 4;
  for (const ButtonPlace& b : buttons) {
    *b.button = NewNamedComponent<TButton>(this, b.name);
    (*b.button)->SetParent(PaletteSheet);
    (*b.button)->SetBounds(GridSize + 12, top, 80, 25);
    (*b.button)->SetCaption(b.caption);
    (*b.button)->OnClick = b.click;
    top += 31;
  }

  auto* open = NewNamedComponent<TOpenDialog>(this, "OpenPaletteDlg");
  open->SetTitle("Open Fast Palette");
  open->SetFilter("Fast Palettes (*.pal)|*.pal");
  open->SetDefaultExt("pal");
  open->SetOptions({ofHideReadOnly, ofFileMustExist, ofEnableSizing});
  open->SetHelpContext(PaletteSheetHelp);
  auto* save = NewNamedComponent<TSaveDialog>(this, "SavePaletteDlg");
  save->SetTitle("Save Fast Palette");
  save->SetFilter("Fast Palettes (*.pal)|*.pal");
  save->SetDefaultExt("pal");
  save->SetOptions({ofHideReadOnly, ofOverwritePrompt, ofEnableSizing});
  save->SetHelpContext(PaletteSheetHelp);
}

void TToolForm::DrawPaletteCell(int i, std::uint32_t c) {
  if (i < 0 || i >= PaletteCellCount) return;
  PaletteColors[static_cast<std::size_t>(i)] = c;
  if (PaletteImage.Width() < GridSize || PaletteImage.Height() < GridSize) return;
  const Rect cell = CellRect(i);
  PaletteImage.Box(cell, c);
  const double luminance = 0.3 * (c >> 16 & 0xFF) + 0.59 * (c >> 8 & 0xFF) + 0.11 * (c & 0xFF);
  const std::uint32_t mark = luminance <= 128 ? 0xFFFFFF : 0x000000;
  if (c == BackgroundColour()) PaletteImage.Rectangle(cell, mark);
  if (c == DrawingColour()) {
    PaletteImage.Line({cell.left, cell.top}, {cell.right, cell.bottom}, mark);
    PaletteImage.Line({cell.right, cell.top}, {cell.left, cell.bottom}, mark);
  }
  if (PalHolder) PalHolder->Invalidate();
}

void TToolForm::DrawPalette() {
  for (int i = 0; i < PaletteCellCount; ++i) DrawPaletteCell(i, PaletteColors[static_cast<std::size_t>(i)]);
}

void TToolForm::SetPalette(bool defaults) {
  if (defaults) PaletteColors = DefaultPalette();
  PaletteImage.Alloc(Pair<int>(GridSize, GridSize));
  PalHolder->SetBuffer(&PaletteImage);
  PalHolder->SetBounds(PalHolder->GetLeft(), PalHolder->GetTop(), GridSize, GridSize);
  // The sheet was measured round the small blank grid: it grows to show the whole one.
  PaletteSheet->SetTag(ContentHeight(PaletteSheet));
  if (GetVisible() && PageControl->GetActivePage() == PaletteSheet) PageControlChange(this);
  PalHolder->Invalidate();
  DrawPalette();
}

bool TToolForm::LoadPalette(const AnsiString& fileName) {
  AnsiString refusal;
  const std::optional<PaletteFileContents> contents = ReadPaletteFile(fileName, &refusal);
  if (!contents) {
    LangMessageBox("ErrOpenPal", refusal, "Err", MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  PaletteArray colours = PaletteColors;
  ApplyPaletteFile(*contents, colours);
  PaletteColors = colours;
  SetPalette(false);
  return true;
}

bool TToolForm::SavePalette(const AnsiString& fileName) {
  try {
    AtomicFile::WriteFile(fileName, PaletteFileText(PaletteColors));
    return true;
  } catch (const Exception&) {
    LangMessageBox("ErrSavePal", "Err", MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
}

void TToolForm::LoadPaletteClick(TObject*) {
  if (PageControl->GetActivePage() != PaletteSheet) return;
  ReselectTool(true);
  auto* dialog = dynamic_cast<TOpenDialog*>(FindComponent("OpenPaletteDlg"));
  dialog->SetInitialDir(PaletteDir);
  if (!dialog->Execute()) return;
  PaletteDir = ExtractFilePath(dialog->GetFileName());
  PaletteFile = dialog->GetFileName();
  LoadPalette(PaletteFile);
}

void TToolForm::SavePaletteClick(TObject*) {
  if (PageControl->GetActivePage() != PaletteSheet) return;
  ReselectTool(true);
  auto* dialog = dynamic_cast<TSaveDialog*>(FindComponent("SavePaletteDlg"));
  dialog->SetFileName(PaletteFile);
  dialog->SetInitialDir(PaletteDir);
  if (!dialog->Execute()) return;
  PaletteDir = ExtractFilePath(dialog->GetFileName());
  PaletteFile = dialog->GetFileName();
  SavePalette(PaletteFile);
}

void TToolForm::LimitColorsClick(TObject*) {
  if (PageControl->GetActivePage() != PaletteSheet) return;
  TheToolHost().LimitColors();
}

void TToolForm::PaletteHolderMouseDown(TObject*, TMouseButton button, TShiftState shift, int x, int y) {
  const int index = CellAt(x, y);
  if (index < 0) return;
  TPanel* swatch =
      button == mbRight ? TheDocumentHost().BackgroundSwatch() : TheDocumentHost().DrawingSwatch();
  if (!swatch) return;
  if (shift.Contains(ssShift) || shift.Contains(ssAlt) || shift.Contains(ssCtrl)) {
    DrawPaletteCell(index, SwatchColour(swatch));
  } else {
    SetSwatchColour(swatch, PaletteColors[static_cast<std::size_t>(index)]);
    TheToolHost().ColourChanged();
  }
  DrawPalette();
}

void TToolForm::PaletteHolderMouseMove(TObject*, TShiftState, int x, int y) {
  const int px = x / CellSize * CellSize + 4;
  const int py = y / CellSize * CellSize + 2;
  if (px < 0 || py < 0 || px >= PaletteImage.Width() || py >= PaletteImage.Height()) return;
  ShowColourReadout(ColourReadout(*PaletteImage.At(PaletteImage.rect.left + px, PaletteImage.rect.top + py)));
}

void TToolForm::PaletteHolderMouseLeave(TObject*) { ShowColourReadout(""); }
