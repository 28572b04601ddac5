// The main window's Help menu and the full-screen preview.

#include <cstdint>

#include "platform/dialogs/ShellExecute.h"
#include "platform/user/User.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Menus.h"
#include "quillo/document/DocumentList.h"
#include "quillo/shell/AboutPanel.h"
#include "quillo/shell/HelpPages.h"
#include "quillo/base/Language.h"
#include "quillo/shell/MainForm.h"
#include "quillo/shell/PreviewForm.h"
#include "quillo/shell/TipForm.h"
#include "quillo/tools/Tool.h"

namespace {

// The program's home page.
constexpr const char* HomePageAddress = "https://quillory.example.org/";

}  // namespace

void TMainForm::ConnectHelpCommands() {
  auto connect = [this](const char* itemName, void (TMainForm::*handler)(TObject*)) {
    if (TMenuItem* item = MenuItemNamed(itemName)) item->OnClick = [this, handler](TObject* sender) { (this->*handler)(sender); };
  };
  if (TMenuItem* contents = MenuItemNamed("Contents1")) contents->OnClick = [](TObject*) { ShowHelpContents(); };
  connect("About1", &TMainForm::About1Click);
  connect("Homepage", &TMainForm::HomepageClick);
  connect("Tod1", &TMainForm::Tod1Click);
  connect("Preview1", &TMainForm::Preview1Click);
}

void TMainForm::About1Click(TObject*) { ShowAboutPanel(); }

// The page opens in the desktop's browser, which runs on its own: nothing here waits for it.
void TMainForm::HomepageClick(TObject*) {
  const auto result = reinterpret_cast<std::intptr_t>(ShellExecuteA(GetHandle(), nullptr, HomePageAddress, nullptr, nullptr, SW_SHOWNORMAL));
  if (result < 33) LangMessageBox("CantOpenBrowser", "Err", MB_OK | MB_ICONEXCLAMATION);
}

void TMainForm::Tod1Click(TObject*) {
  TOwnedPtr<TTipForm> tips(NewComponent<TTipForm>(Application()));
  tips->ShowModal();
}

void TMainForm::Preview1Click(TObject*) {
  if (!CurrentPicture) return;
  const ToolSuspension aside;  // while the window covers the documents
  TOwnedPtr<TPreviewForm> preview(NewComponent<TPreviewForm>(Application()));
  preview->ShowModal();
}
