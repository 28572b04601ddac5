#pragma once
// TNewForm: File > New's small modal dialog asking the width and height of a new blank
// image, and CreateNewImage, which makes a document of the size the main window keeps
// (LastImageSize) for every command that makes one: File > New, crop to a new image, the
// brush as an image, capture and scanning.

#include <cstdint>

#include "platform/vcl/Form.h"

class TBandCaption;
class TButton;
class TExLabel;
class TExSpinEdit;
class TImageForm;

// The sizes the dialog accepts, in pixels.
constexpr int NewImageLeastSize = 1;
constexpr int NewImageMostSize = 16384;

class TNewForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TNewForm(TComponent* owner);
  ~TNewForm() override;

  // Components (named as here, so the language file and tests find them).
  TBandCaption* Cap = nullptr;
  TExLabel* ExLabel1 = nullptr;
  TExLabel* ExLabel2 = nullptr;
  TExSpinEdit* SizeX = nullptr;
  TExSpinEdit* SizeY = nullptr;
  TButton* OkBtn = nullptr;
  TButton* CancelBtn = nullptr;
  TButton* HelpBtn = nullptr;

  // Esc cancels and Enter accepts, from either size field.
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void HelpBtnClick(TObject* sender);
  // The dialog's place for the next time.
  void FormDestroy(TObject* sender);
  // Stays above the other windows while it is open.
  void FormDeactivate(TObject* sender);

private:
  void BuildComponents();
  void PlaceOnWorkArea();
};

// The dialog's last place; NewFormLeft is -1 until it was closed once.
extern int NewFormLeft;
extern int NewFormTop;

// A new document of LastImageSize filled with the background colour, shown, zoomed and
// fitted; maximised (with the toolbars gathered into it) when the active document was. Too
// many documents: the window's own warning, then EAbort; no memory for the picture:
// EOutOfMemory. No window is left behind by a failure.
TImageForm* CreateNewImage();

// The bytes of memory a new picture may take: what the system has free, memory and swap.
// The system promises more than it has and ends a program that fills what it cannot give,
// open documents and all; so a picture larger than this is refused before it is made. Tests
// put a figure of their own here.
using MemoryQuery = std::uint64_t (*)();
extern MemoryQuery NewImageMemoryAvailable;
// What a picture of that size takes: its pixels and its selection mask.
std::uint64_t NewImageBytes(int width, int height);
