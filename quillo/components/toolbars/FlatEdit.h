#pragma once
// TEditX: a single-line edit made to stand on toolbars. It draws its own 3-pixel border in
// the non-client area: flat while idle, sunken while focused or under the mouse. It stays
// flat under the mouse while another toolbar control holds the focus, so only the control
// being typed into looks sunken.

#include "platform/vcl/Edit.h"

namespace tbx {

class TEditX : public TCustomEdit {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TEditX(TComponent* owner);
  ~TEditX() override;

  AnsiString GetVersion() const;
  bool MouseInControl() const { return mouseInControl_; }

  void Loaded() override;
  void WndProc(TMessage& message) override;

  // Draws the border on dc (the window's own DC when dc is null, clipped to the
  // screen-coordinate update region of WM_NCPAINT).
  void DrawNCArea(HDC dc, HRGN updateRegion);

private:
  // The height the font needs: its text height and the border's pixels.
  void NewAdjustHeight();
  bool DrawsFlat() const;
  void RedrawBorder();

  bool mouseInControl_ = false;
};

// How many flat edits live now (the class stays registered as a toolbar control while any does).
int LiveFlatEdits();

}  // namespace tbx
