#include "ComponentFixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/vcl/Menus.h"
#include "quillo/base/ProgramFolder.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/Progress.h"
#include "quillo/plugins/ComponentRegistry.h"

namespace fs = std::filesystem;

ComponentTest::~ComponentTest() {
  for (auto& [name, module] : kept) FreeLibrary(module);
  LogEnabled = 0;
  ForgetComponentBrushEntries();
}

void ComponentTest::StartOn(int width, int height, std::uint32_t colour) {
  Start();
  UDBuffer& picture = Picture();
  picture.Alloc(width, height);
  picture.Box(picture.rect, colour);
  picture.FreeUndo();
  if (ImageForm && ImageForm->ShowBuf) ImageForm->ShowBuf->Invalidate();
  ui.RunUntilIdle();
}

std::string ComponentTest::Built(const std::string& name) { return std::string(QUILLO_QLC_DIR) + "/" + name + ".qlc"; }

void ComponentTest::InstallComponents(const std::vector<std::string>& places, bool link) {
  programFolder = home.Path() + "/program/";
  fs::remove_all(programFolder + "Comps");
  fs::create_directories(programFolder + "Comps");
  for (const std::string& place : places) {
    const fs::path target = programFolder + "Comps/" + place + ".qlc";
    fs::create_directories(target.parent_path());
    const std::string name = fs::path(place).filename().string();
    // A numbered copy ("inverter-7") is the same component.
    const std::string built = Built(name.substr(0, name.find('-')));
    if (fs::exists(built)) {
      if (link) fs::create_symlink(built, target);
      else fs::copy_file(built, target);
    } else {
      std::ofstream(target) << "This is no library.\n";
    }
  }
  SetProgramFolder(programFolder);
  ScanComponents();
  SetProgramFolder(QUILLO_BIN_DIR);
  ui.RunUntilIdle();
}

HMODULE ComponentTest::Keep(const std::string& component) {
  for (auto& [name, module] : kept)
    if (name == component) return module;
  HMODULE module = LoadLibrary(Built(component).c_str());
  kept.emplace_back(component, module);
  return module;
}

TMenuItem* ComponentTest::ImageItem(const std::string& caption) const {
  for (int i = 0; i < form->Image1->Count(); ++i)
    if (form->Image1->Items(i)->GetCaption() == caption) return form->Image1->Items(i);
  return nullptr;
}

UDBuffer& ComponentTest::Picture() const { return *CurrentPicture; }

void ComponentTest::Choose(const std::string& caption, std::vector<std::function<void()>> whileModal) {
  ChooseMenuItem(form->Image1->GetCaption(), caption, std::move(whileModal));
  ui.RunUntilIdle();
}

std::string ComponentTest::LogText() const {
  std::ifstream in(LogFilePath());
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}
