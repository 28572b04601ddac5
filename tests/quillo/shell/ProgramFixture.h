#pragma once
// What the tests of the started program share: a fresh desktop with a manual clock, a fresh
// settings folder, the built program folder (language files) as the program's folder, and the
// program started as WinMain starts it (the main window, then StartUp) with a command line of
// the test's choosing. Everything is freed afterwards, the language table and the command line
// included, so no window and no global outlives the test.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/user/User.h"
#include "quillo/shell/MainForm.h"
#include "support/TempHome.h"
#include "support/UiDriver.h"

class ProgramTest : public ::testing::Test {
protected:
  ProgramTest();
  // On a desktop of that size.
  ProgramTest(int desktopWidth, int desktopHeight);
  ~ProgramTest() override;

  // Creates the main window and runs StartUp with these files on the command line, then
  // shows the main window as the message loop does when it starts. Unless the test asked for
  // the registry as it stands (StoredSettings::AsTheyAre: a first run, a restart), the
  // program finds a returning user's preferences stored: the Settings record as the test left
  // it (the level answered), drawing in black on white. The tip of the day that start-up
  // posts is taken off the queue unless showStartTip is set.
  enum class StoredSettings { FromTheRecord, AsTheyAre };
  TMainForm* Start(const std::vector<std::string>& files = {}, StoredSettings stored = StoredSettings::FromTheRecord);
  // A small image file of the given kind ("png", "jpg", "bmp") in the test's folder.
  std::string WriteImage(const std::string& name, int width, int height, std::uint32_t colour) const;
  // A file that names itself an image but holds no sound one.
  std::string WriteDamagedImage(const std::string& name) const;

  // The main menu's item reached by its captions as the bar shows them ("&File", "E&xit").
  struct MenuPlace {
    HMENU menu = nullptr;
    int position = -1;
  };
  MenuPlace FindMenuItem(const std::vector<std::string>& captions) const;
  // Opens the menu on the bar by a click and clicks the item in it, as a user does. Each of
  // whileModal runs in turn when a modal loop the command opens waits for the user.
  void ChooseMenuItem(const std::string& menu, const std::string& item,
                      std::vector<std::function<void()>> whileModal = {});

  TempHome home;
  UiDriver ui;
  TMainForm* form = nullptr;
  bool showStartTip = false;
};
