#pragma once
// The program's own colour dialog. TColorBox is the component callers keep (the main window
// has one); Execute shows TColorSel modally: a hue ring round a saturation/value square, the
// red, green, blue, hue, saturation and value fields with spin buttons, and the HTML code.
// Every change is reported through OnChange so the caller can preview it; Cancel reports the
// starting colour again before Execute returns it.

#include <array>
#include <cstdint>
#include <functional>

#include "platform/vcl/Form.h"
#include "vorlen/core/Buffer.h"

class TBandCaption;
class TBuffer;
class TButton;
class TEdit;
class TLabel;
class TUpDown;

// sender and a colour 0x00BBGGRR.
using TColorChangeEvent = std::function<void(TObject* sender, TColor colour)>;

class TColorBox : public TComponent {
  QUILLO_DECLARE_CLASS()

public:
  explicit TColorBox(TComponent* owner);

  // The caller's own choice (the main window keeps the swatch being edited here).
  TObject* Target = nullptr;
  // The dialog's caption; empty: the application's title.
  AnsiString Title = "Select Color";
  AnsiString HueCaption = "Hue", SaturationCaption = "Saturation", ValueCaption = "Value";
  AnsiString RedCaption = "Red", GreenCaption = "Green", BlueCaption = "Blue", HTMLCaption = "HTML";
  AnsiString OkCaption = "&Ok", HelpCaption = "&Help", CancelCaption = "&Cancel";
  AnsiString HueHint = "Hue Component", SaturationHint = "Saturation Component",
             ValueHint = "Value (Intensity) Component", RedHint = "Red Component", GreenHint = "Green Component",
             BlueHint = "Blue Component", HTMLHint = "HTML Code", OkHint = "Accept Color",
             HelpHint = "Show Help on Dialog", CancelHint = "Abandon Color";
  // 0 hides the Help button.
  int HelpContext = 0;
  TColor CaptionColor = clActiveCaption;
  TColorChangeEvent OnChange;

  // Shows the dialog with start (0x00BBGGRR); the colour chosen, or start when cancelled.
  TColor Execute(TColor start);

  static void RGB2HSV(int r, int g, int b, int& h, int& s, int& v);
  static void HSV2RGB(int h, int s, int v, int& r, int& g, int& b);
};

// The hue ring's picture: 216 x 216 in the face colour (0x00RRGGBB), the ring from 84 to 108
// pixels round the centre (108, 108), its edges blended into the face.
void DrawHueRing(Buffer& ring, std::uint32_t face);

class TColorSel : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TColorSel(TComponent* owner);
  ~TColorSel() override;

  TBandCaption* Cap = nullptr;
  TBuffer* ColCircle = nullptr;
  TBuffer* HSVBuf = nullptr;
  TEdit* RedEdit = nullptr;
  TEdit* GreenEdit = nullptr;
  TEdit* BlueEdit = nullptr;
  TEdit* HueEdit = nullptr;
  TEdit* SaturationEdit = nullptr;
  TEdit* ValueEdit = nullptr;
  TEdit* HTML = nullptr;
  TUpDown* Red = nullptr;
  TUpDown* Green = nullptr;
  TUpDown* Blue = nullptr;
  TUpDown* Hue = nullptr;
  TUpDown* Saturation = nullptr;
  TUpDown* Value = nullptr;
  TLabel* Labels[7] = {};
  TButton* OkBtn = nullptr;
  TButton* CancelBtn = nullptr;
  TButton* HelpBtn = nullptr;

  TColorChangeEvent OnColorChange;

  // Starts on a colour: the RGB fields take it and the rest follows.
  void SetStartColour(TColor colour);
  // The colour of the three RGB spin positions, 0x00BBGGRR.
  TColor Colour() const;

private:
  void BuildComponents();
  void ValChange();
  void ColorEditChange(TEdit* edit, TUpDown* spin);
  void HueChange();
  void SVChange(TEdit* edit);
  void SpinClick(TEdit* edit, TUpDown* spin);
  void SetRGB(int r, int g, int b);
  void SetText(TEdit* edit, int value);
  // Writes a field without its change handler running; FieldChanged then runs it.
  void SetQuietly(TEdit* edit, int value);
  void FieldChanged(TEdit* edit);
  void PickSV(int x, int y);
  void PickHue(int x, int y, bool click);
  void DrawSquare();
  void MoveSquareMarker();
  void MoveHueMarker(int hue);
  void EditMouseDown(TEdit* edit, int y);
  void EditMouseMove(TEdit* edit, int y);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  TUpDown* SpinOf(TEdit* edit) const;

  struct SavedPixels {
    std::array<Pair<int>, 4> at{};
    std::array<std::uint32_t, 4> colour{};
    bool saved = false;
    void Restore(Buffer& b);
    void Mark(Buffer& b, Pair<int> centre, std::uint32_t colour);
  };

  Buffer ring_;
  Buffer square_;
  SavedPixels hueMarker_;
  SavedPixels squareMarker_;
  int s_ = 0;
  int v_ = 0;
  // 0 idle, 1 hue typed, 2 square picked, 3 spin clicked or set by the program.
  int guard_ = 0;
  bool squareDrag_ = false;
  bool ringDrag_ = false;
  TEdit* dragEdit_ = nullptr;
  int dragStartValue_ = 0;
};
