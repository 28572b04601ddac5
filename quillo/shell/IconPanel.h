#pragma once
// TIconPanel: the small borderless popup that shows a palette group's variants while the user
// holds the group's button; a click on a variant makes it the group's tool and the current
// tool. The main window creates, places and fills it (ShowIconPanel).

#include <cstdint>

#include "platform/vcl/Form.h"

class TBevel;
namespace tbx {
class TToolbarButtonX;
}  // namespace tbx

constexpr int IconPanelButtonCount = 32;

class TIconPanel : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TIconPanel(TComponent* owner);
  ~TIconPanel() override;

  TBevel* IconBevel = nullptr;

  void IconSelected(TObject* sender);
  void CloseForm2(TObject* sender, char& key);
  void CloseForm(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);

  // The palette group the panel shows (its Tag); -1 when the Tag names none.
  int Group() const;
};

// The panel open now (or closed and waiting to be freed); null when none.
extern TIconPanel* IconPanel;
extern tbx::TToolbarButtonX* IconPanelButtons[IconPanelButtonCount];
// 1 while the panel is open.
extern std::uint8_t IconPanelOpen;
// 0 while a palette click selects a tool: the panel's deactivation then leaves it open.
extern std::uint8_t IconClicked;
