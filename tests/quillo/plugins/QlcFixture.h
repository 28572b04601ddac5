#pragma once
// The started program with test components in its "Comps" folder: each test names the
// components it wants and where, the folder is scanned again, and the test reads what a
// component received through the library's own exported cells (the test keeps it loaded).

#include <string>
#include <vector>

#include "../shell/ProgramFixture.h"
#include "platform/rtl/Module.h"
#include "quillo/document/UDBuffer.h"

class TMenuItem;

class QlcProgramTest : public ProgramTest {
protected:
  QlcProgramTest() = default;
  ~QlcProgramTest() override;

  // Starts the program on a blank image of that size filled with colour.
  void StartOn(int width, int height, std::uint32_t colour);
  // Places the built test components ("special effects/inverter" puts inverter.qlc into the
  // subfolder; "inverter-7" is another file of the same component; a name that was not built
  // is a text file) into a fresh "Comps" folder and scans it.
  void InstallComponents(const std::vector<std::string>& places);
  // Places files of the given bytes ("name" becomes Comps/name.qlc) into a fresh "Comps"
  // folder and scans it.
  void InstallComponentFiles(const std::vector<std::pair<std::string, std::string>>& files);
  // The built component's file.
  static std::string Built(const std::string& name);
  // An exported cell of a component, the library kept loaded for the test.
  template <class T>
  T* Cell(const std::string& component, const char* name) {
    return reinterpret_cast<T*>(GetProcAddress(Keep(component), name));
  }
  HMODULE Keep(const std::string& component);
  // The test lets go of a component it kept loaded.
  void Release(const std::string& component);
  // The Image menu item or submenu with that caption; null when none.
  TMenuItem* ImageItem(const std::string& caption) const;
  // The active picture.
  UDBuffer& Picture() const;
  // Chooses a component's menu item as the user does.
  void Choose(const std::string& caption, std::vector<std::function<void()>> whileModal = {});
  // The lines of the log.
  std::string LogText() const;

  std::string programFolder;
  std::vector<std::pair<std::string, HMODULE>> kept;

private:
  // A fresh, empty "Comps" folder in the test's program folder.
  std::string FreshComponentFolder();
  // Scans the test's program folder as the program's.
  void ScanTestComponents();
};
