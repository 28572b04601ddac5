#pragma once
// Palette buttons that do one thing at once and leave the current tool as it was: clearing
// the image and showing the brush sheet. Selecting one runs its Activate, then the previous
// tool is selected again (SelectTool).

#include "quillo/tools/Tool.h"

class P_func : public P_icon {
protected:
  explicit P_func(const ToolTraits& traits) : P_icon(traits) {}
};

// Fills the active picture with the background colour; the picture becomes untitled and
// unselected. Clearing again right after records no second step.
class P_clear : public P_func {
public:
  explicit P_clear(const ToolTraits& traits) : P_func(traits) {}
  void Activate() override;
};

class P_show_brush_panel : public P_func {
public:
  explicit P_show_brush_panel(const ToolTraits& traits) : P_func(traits) {}
  void Activate() override;
};
