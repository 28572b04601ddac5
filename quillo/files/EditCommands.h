#pragma once
// The Edit menu's work on a picture, apart from undo and redo: copying to the clipboard,
// erasing to the background colour, reading the clipboard's picture and pasting it, and
// inverting and dropping the selection. The main window's handlers (MainFormEdit.cpp) bracket
// these with the tool suspension, the undo steps and the view's refresh.

#include <cstdint>

#include "platform/user/UserTypes.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/core/Types.h"

class UDBuffer;

// Whether anything is selected: the picture has a selection outline.
bool HasSelection(const UDBuffer& picture);
// Deselects without an undo step: outline, mask and bounds.
void DropSelection(UDBuffer& picture);

// The rectangle Copy and Cut take: the selection bounds, or the whole image.
Rect EditRectangle(const UDBuffer& picture);

enum class ClipboardWrite {
  Written,
  NoMemory,  // no block for the picture; the clipboard is unchanged
  Refused,   // the clipboard could not be opened or would not take the block; unchanged
};
// Puts the selection (its bounding rectangle, unselected pixels fully transparent) or the
// whole image on the clipboard as the program's 32-bit DIB, in place of what was there.
ClipboardWrite CopyPictureToClipboard(const UDBuffer& picture, HWND owner);

// Every selected pixel becomes the colour (the selection stays); without a selection the whole
// image does. The colour is 0x00RRGGBB.
void ErasePicture(UDBuffer& picture, uint colour);

// Inverts every pixel's mask bit (the outline is left to the caller).
void InvertSelectionMask(UDBuffer& picture);

// Whether the clipboard offers a picture.
bool ClipboardHasPicture();

enum class ClipboardRead {
  Read,
  NoPicture,  // the clipboard holds no picture (empty, or text only)
  Busy,       // it could not be opened
  Damaged,    // its picture is not one that can be decoded: nothing to paste
  Failed,     // preparing the decoding failed (no memory)
};
// Decodes the clipboard's picture into picture; on anything but Read, picture is empty. The
// clipboard is closed again in every case.
ClipboardRead ReadClipboardPicture(HWND owner, Buffer& picture);

enum class PastePlacement {
  AsSelection,  // at the selection's top-left corner (0, 0 without one); becomes the selection
  TopLeft,      // at 0, 0; the selection is left alone
};
// Copies pasted into target, fully transparent pixels left out. AsSelection drops the old
// selection first and afterwards selects the pasted opaque pixels that landed in target
// (unless selectPasted is false) and outlines them. Answers the rectangle of target that
// changed (empty when the paste fell outside it).
Rect PasteIntoPicture(UDBuffer& target, const Buffer& pasted, PastePlacement placement, bool selectPasted);
