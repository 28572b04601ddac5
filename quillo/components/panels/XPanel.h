#pragma once
// TXPanel: a group panel with a header strip across its top. A left click on the header
// collapses the panel to the strip or expands it again; the controls below it (within its
// horizontal extent) move up or down by as much, and the parent shrinks or grows with it
// unless ResizeParent is off.

#include "platform/vcl/ExtCtrls.h"

class TXPanel : public TPanel {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TXPanel(TComponent* owner);
  ~TXPanel() override;

  AnsiString GetButtonCaption() const;
  void SetButtonCaption(const AnsiString& value);
  bool GetExpanded() const { return expanded_; }
  void SetExpanded(bool value);
  bool GetResizeParent() const { return resizeParent_; }
  void SetResizeParent(bool value) { resizeParent_ = value; }
  TPanel* Header() const { return header_; }

private:
  void OnHeaderMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

  TPanel* header_ = nullptr;
  bool expanded_ = true;
  bool resizeParent_ = true;
  int fullHeight_ = 0;
};
