#include "PreferencesFixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "SkinFixture.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/Screen.h"
#include "quillo/base/Language.h"
#include "quillo/base/ProgramFolder.h"
#include "quillo/base/Settings.h"
#include "quillo/base/Skins.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/files/SaveCommands.h"
#include "quillo/shell/FileAssociations.h"
#include "quillo/shell/PreferencesForm.h"
#include "tools/lngmaker/LanguageEncoder.h"

namespace fs = std::filesystem;

namespace {

void WriteLanguage(const std::string& path, const std::string& text) {
  const std::vector<std::uint8_t> bytes = EncodeLanguageText(text);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void Replace(std::string& text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) text.replace(at, from.size(), to);
}

}  // namespace

PreferencesTest::PreferencesTest() {
  programFolder = home.Path() + "/program";
  fs::create_directories(programFolder + "/Skins");
  for (const auto& entry : fs::directory_iterator(QUILLO_BIN_DIR)) {
    const std::string name = entry.path().filename().string();
    // The components' folder is the test's own: what a test puts there must never reach the
    // build's program folder through a link.
    if (name != "Skins" && name != "Comps") fs::create_symlink(entry.path(), programFolder + "/" + name);
  }
  const fs::path skins = fs::path(QUILLO_BIN_DIR) / "Skins";
  if (fs::exists(skins))
    for (const auto& entry : fs::directory_iterator(skins))
      fs::create_symlink(entry.path(), programFolder + "/Skins/" + entry.path().filename().string());
  SkinFixture::Write(programFolder + "/Skins", "Tiny");
  std::ofstream(programFolder + "/Skins/Broken.skn", std::ios::binary) << std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0", 18);

  std::ifstream in(std::string(QUILLO_SOURCE_DIR) + "/data/languages/English.txt", std::ios::binary);
  std::stringstream source;
  source << in.rdbuf();
  englishText = source.str();
  // The second language: the English texts with a few of every kind changed.
  std::string tiny = englishText;
  Replace(tiny, "File1.Caption=&File", "File1.Caption=&Fichier");
  Replace(tiny, "IBBtn=Instant Brush", "IBBtn=Pinceau instantane");
  Replace(tiny, "ContFhandIcon=Continuous Pen", "ContFhandIcon=Stylo continu");
  Replace(tiny, "SingleLineIcon=Line", "SingleLineIcon=Ligne");
  Replace(tiny, "LINEBAR=Line,L,Spacing,", "LINEBAR=Line,L,Espacement,");
  Replace(tiny, "Caption=Preferences", "Caption=Reglages");
  Replace(tiny, "Browse=&Browse...", "Browse=&Parcourir...");
  WriteLanguage(programFolder + "/Tiny.lng", tiny);
  std::ofstream(programFolder + "/Broken.lng", std::ios::binary) << "not a language file";

  SetProgramFolder(programFolder);
  PreferencesLeft = -1;
  PreferencesTop = 0;
  PreferencesPage = 0;
}

PreferencesTest::~PreferencesTest() {
  ResetApplication();
  ImgFormCount = 0;
  ImgForms.fill(nullptr);
  ImageForm = nullptr;
  CurrentPicture = nullptr;
  UntitledCounter = 1;
  Skins.reset();
  AssociationAccess = KEY_ALL_ACCESS;
  PreferencesLeft = -1;
  PreferencesTop = 0;
  PreferencesPage = 0;
  TBuffer::StretchPatch = 0;
  TBuffer::GlobalICM = 0;
  TBuffer::GlobalGammaCorr = 0;
  SetProgramFolder(QUILLO_BIN_DIR);
}

void PreferencesTest::StartProgram() {
  Start();
  // Two documents of the user's own (the first closes the blank one of the start).
  CreateDocumentWindow(40, 30, "");
  ui.RunUntilIdle();
  CreateDocumentWindow(50, 20, "");
  ui.RunUntilIdle();
}

TPreferences* PreferencesTest::Dialog() { return dynamic_cast<TPreferences*>(Screen()->ActiveForm()); }

void PreferencesTest::OpenPreferences(std::function<void(TPreferences*)> user) {
  ChooseMenuItem("&Options", "Pre&ferences...", {[user] {
                   TPreferences* dialog = Dialog();
                   ASSERT_NE(dialog, nullptr) << "the dialog is the active window";
                   user(dialog);
                 }});
  ui.RunUntilIdle();
}

void PreferencesTest::OpenPreferencesByButton(std::function<void(TPreferences*)> user) {
  auto* button = dynamic_cast<TControl*>(form->FindComponent("PrefsBtn"));
  ASSERT_NE(button, nullptr);
  ui.WhenModalWaits([user] {
    TPreferences* dialog = Dialog();
    ASSERT_NE(dialog, nullptr);
    user(dialog);
  });
  const TPoint middle = button->ClientToScreen(TPoint(button->GetWidth() / 2, button->GetHeight() / 2));
  ui.Click(middle.x, middle.y);
  ui.RunUntilIdle();
}

void PreferencesTest::ClickControl(TControl* control) {
  for (TControl* c = control; c != nullptr; c = c->GetParent())
    if (auto* sheet = dynamic_cast<TTabSheet*>(c)) sheet->GetPageControl()->SetActivePage(sheet);
  ui.RunUntilIdle();
  const TPoint middle = control->ClientToScreen(TPoint(8, control->GetHeight() / 2));
  ui.Click(middle.x, middle.y);
}

void PreferencesTest::PressWith(int modifier, int vk) {
  ui.KeyDown(modifier);
  ui.Press(vk);
  ui.KeyUp(modifier);
}

void PreferencesTest::Restart() {
  // By the window: the menu may speak another language by now.
  PostMessage(form->GetHandle(), WM_CLOSE, 0, 0);
  ui.RunUntilIdle();
  ASSERT_TRUE(Application()->Terminated()) << "the program closed";
  ResetApplication();
  Lang.reset();
  MSG quit{};
  while (PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  ImgFormCount = 0;
  ImgForms.fill(nullptr);
  ImageForm = nullptr;
  CurrentPicture = nullptr;
  Settings = TSettings{};
  TBuffer::StretchPatch = 0;
  TBuffer::GlobalICM = 0;
  TBuffer::GlobalGammaCorr = 0;
  TBuffer::GlobalGammaRed = TBuffer::GlobalGammaGreen = TBuffer::GlobalGammaBlue = 0;
  Start({}, StoredSettings::AsTheyAre);
}
