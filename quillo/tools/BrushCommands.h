#pragma once
// The brush menu's commands on the brush as a whole, each one step of the brush's own undo
// history: its undo and redo, the whole image as the brush, halving, doubling, mirroring,
// quarter and half turns, the outline, the drop shadow and the hot spot. The main window's
// Brush menu calls them; the selection commands are in SelectionToBrush.h.

#include <cstdint>

#include "platform/rtl/AnsiString.h"
#include "quillo/tools/BrushTransforms.h"

class UndoEntry;

// A step of the brush's undo history opened for one command, and taken back on its failure
// path only when it was opened (a step that could not be had leaves the previous one alone).
// A command whose step was not opened leaves the brush as it was.
class BrushStep {
public:
  // Replaced: the command gives Brush new pixels and never writes into the present ones, so
  // the step takes them instead of a copy (UDBuffer::PushReplacedUndo).
  enum class Pixels { Copied, Replaced };
  explicit BrushStep(const AnsiString& key, Pixels pixels = Pixels::Copied);
  bool Opened() const;
  // Undoes the step without keeping a redo step, when it was opened.
  void TakeBack();

private:
  const UndoEntry* before_;
};

// Brush > Undo and Redo: the brush's own history.
void UndoBrush();
void RedoBrush();
// The captions of Brush > Undo and Redo: "Undo" or "Redo", and the newest step's name after
// a space when there is one.
AnsiString BrushUndoCaption();
AnsiString BrushRedoCaption();

// Brush > Get All: the active picture becomes the brush, its background colour outside.
void GetAllAsBrush();
// Brush > Halve and Double: both sides, the width or the height. Doubling a side beyond
// 16384 pixels is refused without a word.
enum class BrushAxes { Both, Width, Height };
void HalveBrush(BrushAxes axes);
void DoubleBrush(BrushAxes axes);
// Brush > Mirror and Rotate.
void MirrorBrush(bool leftToRight);
void RotateBrushQuarterCommand();
void RotateBrushHalfCommand();
// Brush > Outline: a one-pixel outline in the drawing colour; the brush keeps its place.
void OutlineBrushCommand();
// The drop shadow dialog's work: false when the brush could not be made (the message shown,
// the brush as it was).
bool DropShadowCommand(int depth, ShadowDirection direction);
// Brush > Handle: the hot spot, the feedback hidden and shown around the change.
void SetBrushHandle(std::uint8_t mode);
