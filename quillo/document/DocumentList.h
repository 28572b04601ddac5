#pragma once
// The open documents: every open image has a top-level document window (TImageForm) of its
// own, kept in ImgForms in the order they were created. The routines here create, place,
// caption, fit and close those windows and serve the commands that work on the active one.

#include <array>
#include <cstdint>

#include "platform/rtl/AnsiString.h"
#include "platform/user/User.h"

class TImageForm;
class UDBuffer;

constexpr int MaxDocuments = 32;

// The open document windows in creation order; entries at and above ImgFormCount are null.
// A window's ListIndex always equals its place here.
extern std::array<TImageForm*, MaxDocuments> ImgForms;
extern int ImgFormCount;
// The active document window and its picture; null when none is open.
extern TImageForm* ImageForm;
extern UDBuffer* CurrentPicture;
// The number the next picture without a file name gets (1 at start).
extern std::uint32_t UntitledCounter;
// Set when a document window was moved, sized, minimised or restored; the main window's
// activity tick clears it and calls LinkAdjacentWindows.
extern bool WindowsRearranged;
// GetTickCount time until which an untimed status text does not replace a timed one.
extern DWORD StatusHoldUntil;
// The zoom the fit-to-window key returns to when pressed again; 0 when none.
extern double SavedZoom;

// Creates, places and activates a new document window holding a blank picture of that size
// filled with the background colour; the file name may be empty (the picture then gets the
// next untitled number). With MaxDocuments open it shows the "too many images" warning and
// throws EAbort: nothing is created and the calling command ends without a further message.
// A failing allocation propagates as the framework's exception and leaves no window behind.
TImageForm* CreateDocumentWindow(int width, int height, const AnsiString& fileName);

// The picture's file name, or the translated "Untitled" and its number.
AnsiString DocumentTitle(const UDBuffer& picture);

enum class CaptionMode {
  ByState,  // Short when the window is minimised, else Long
  Short,    // the file name without its folder, or "Untitled n"
  Long,     // DocumentTitle and the zoom in percent
};
void UpdateDocumentCaption(TImageForm* window, CaptionMode mode = CaptionMode::ByState);

// Counts a completed change of the active picture.
void MarkPictureChanged();

// Asks whether to save a changed picture (Yes, No, Cancel). Yes saves it; a save that did
// not succeed (it failed, or its dialog was cancelled) counts as Cancel. No drops the
// changes. Answers true when the window must stay open; also sets SaveCancelled.
bool QuerySaveChanges(TImageForm* window);
// Set to 1 when the user cancels a save (the save question, the Save As dialog); the
// close-down reads it.
extern std::uint8_t SaveCancelled;

enum class FitZoom {
  Fitting,       // the largest zoom at which the image fits the work area
  FixedSetting,  // the zoom of the setting FixZoomVal
};
// Sizes the window to its image at a zoom that fits (or the fixed one) and applies it.
void FitWindowToImage(TImageForm* window, FitZoom zoom);

// Shows a prompt in the active window's status bar. A timed one (seconds not 0) holds the
// place for that long against untimed ones.
void ShowTimedStatus(const AnsiString& text, float seconds = 0);

enum class GatherWhich {
  DocumentToolbars,  // toolbars docked in the other document windows
  AlsoMainToolbar,   // and the main tool palette when it floats
};
// Moves the toolbars docked in the other document windows into this window's docks.
void GatherToolbars(TImageForm* window, GatherWhich which);

// Rebuilds every window's list of windows whose edges touch it.
void LinkAdjacentWindows();

// Active colours for the active document window's caption, inactive ones for the others.
void UpdateCaptionColours();

// Closes every document window, newest first, each asking about its changes. False when one
// stayed open (its question was cancelled or its save failed); the older ones stay open then.
bool CloseAllDocuments();

// Takes a window out of ImgForms as it is destroyed: the later ones move down a place and
// their ListIndex with them.
void RemoveFromDocumentList(TImageForm* window);

// Closes every untouched blank start document when more than one document is open: run when
// another document has opened. Each is closed once.
void CloseUntouchedBlankDocuments();
