#include "QlcFixture.h"

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
#include "quillo/plugins/ComponentRun.h"
#include "quillo/tools/ToolObjects.h"

namespace fs = std::filesystem;

QlcProgramTest::~QlcProgramTest() {
  // No component tool outlives the test's windows.
  if (ComponentToolCurrent()) SelectTool(&PenContTool, false, -1);
  for (auto& [name, module] : kept) FreeLibrary(module);
  LogEnabled = 0;
  ForgetComponentBrushEntries();
}

void QlcProgramTest::StartOn(int width, int height, std::uint32_t colour) {
  Start();
  UDBuffer& picture = Picture();
  picture.Alloc(width, height);
  picture.Box(picture.rect, colour);
  picture.FreeUndo();
  // A picture the test works on is no untouched blank one that a new document replaces.
  picture.BlankStart = 0;
  // The test's first scan is the run's first: its brushes get their palette buttons.
  ForgetComponentBrushEntries();
  if (ImageForm && ImageForm->ShowBuf) ImageForm->ShowBuf->Invalidate();
  ui.RunUntilIdle();
}

std::string QlcProgramTest::Built(const std::string& name) { return std::string(QUILLO_QLC_DIR) + "/" + name + ".qlc"; }

std::string QlcProgramTest::FreshComponentFolder() {
  programFolder = home.Path() + "/program/";
  fs::remove_all(programFolder + "Comps");
  fs::create_directories(programFolder + "Comps");
  return programFolder + "Comps/";
}

void QlcProgramTest::ScanTestComponents() {
  SetProgramFolder(programFolder);
  ScanComponents();
  SetProgramFolder(QUILLO_BIN_DIR);
  ui.RunUntilIdle();
}

void QlcProgramTest::InstallComponentFiles(const std::vector<std::pair<std::string, std::string>>& files) {
  const std::string folder = FreshComponentFolder();
  for (const auto& [name, bytes] : files) std::ofstream(folder + name + ".qlc", std::ios::binary) << bytes;
  ScanTestComponents();
}

void QlcProgramTest::InstallComponents(const std::vector<std::string>& places) {
  const std::string folder = FreshComponentFolder();
  for (const std::string& place : places) {
    const fs::path target = folder + place + ".qlc";
    fs::create_directories(target.parent_path());
    const std::string name = fs::path(place).filename().string();
    // A numbered copy ("inverter-7") is the same component.
    const std::string built = Built(name.substr(0, name.find('-')));
    // Linked, so the program loads the very library whose cells the test reads.
    if (fs::exists(built)) {
      fs::create_symlink(built, target);
      // A library that faults when loaded is loaded by the scan alone, under its guard.
      if (name.rfind("faultloading", 0) != 0) Keep(name.substr(0, name.find('-')));
    } else {
      std::ofstream(target) << "This is no library.\n";
    }
  }
  ScanTestComponents();
}

HMODULE QlcProgramTest::Keep(const std::string& component) {
  for (auto& [name, module] : kept)
    if (name == component) return module;
  HMODULE module = LoadLibrary(Built(component).c_str());
  kept.emplace_back(component, module);
  return module;
}

void QlcProgramTest::Release(const std::string& component) {
  for (auto it = kept.begin(); it != kept.end(); ++it)
    if (it->first == component) {
      FreeLibrary(it->second);
      kept.erase(it);
      return;
    }
}

TMenuItem* QlcProgramTest::ImageItem(const std::string& caption) const {
  for (int i = 0; i < form->Image1->Count(); ++i)
    if (form->Image1->Items(i)->GetCaption() == caption) return form->Image1->Items(i);
  return nullptr;
}

UDBuffer& QlcProgramTest::Picture() const { return *CurrentPicture; }

void QlcProgramTest::Choose(const std::string& caption, std::vector<std::function<void()>> whileModal) {
  ChooseMenuItem(form->Image1->GetCaption(), caption, std::move(whileModal));
  ui.RunUntilIdle();
}

std::string QlcProgramTest::LogText() const {
  std::ifstream in(LogFilePath());
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}
