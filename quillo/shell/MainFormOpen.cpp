// The main window's File > Open items and buttons and its recent-files list.

#include "platform/vcl/Menus.h"
#include "quillo/components/files/MRUFileList.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/files/BrowseForm.h"
#include "quillo/files/OpenCommands.h"
#include "quillo/output/CreateHTMLForm.h"
#include "quillo/shell/MainForm.h"

void TMainForm::ConnectOpenCommands() {
  TMenuItem* open = MenuItemNamed("OpenImage");
  open->OnClick = [](TObject* sender) { OpenImageClick(sender); };
  open->SetEnabled(true);
  if (TMenuItem* browse = MenuItemNamed("Browse1")) {
    browse->OnClick = Browse1Click;
    browse->SetEnabled(true);
  }
  ShowGalleryDialog = ShowCreateHTMLForm;
  struct Button {
    const char* name;
    TNotifyEvent handler;
  };
  for (const Button& b : {Button{"OpenBtn", [](TObject* sender) { OpenImageClick(sender); }},
                          Button{"OpenPrevBtn", OpenPrevBtnClick}, Button{"OpenNextBtn", OpenNextBtnClick}}) {
    auto* button = dynamic_cast<tbx::TToolbarButtonX*>(FindComponent(b.name));
    if (button == nullptr) continue;
    button->OnClick = b.handler;
    button->SetEnabled(true);
  }
  MRUFileList1->OnMRUItemClick = MRUFileList1MRUItemClick;
}
