#pragma once
// What the tests of the preferences dialog share: the program started from a program folder
// of the test's own (the built one's files, a small second language "Tiny", a damaged
// language "Broken", and besides the program's skin the fixture skin "Tiny" and a damaged
// skin "Broken"), two document windows, and Options > Preferences opened as a user opens it.

#include <functional>
#include <string>

#include "ProgramFixture.h"

class TControl;
class TPreferences;

class PreferencesTest : public ProgramTest {
public:
  // Shows the control's page and clicks it near its left edge, where a check box's box is.
  void ClickControl(TControl* control);

protected:
  PreferencesTest();
  ~PreferencesTest() override;

  // Starts the program on the test's program folder with the record's settings.
  void StartProgram();
  // Opens the dialog from the Options menu; user runs once it waits, as a user would act in
  // it, and must close it (Enter, Esc, a button).
  void OpenPreferences(std::function<void(TPreferences*)> user);
  // The same from the standard toolbar's button.
  void OpenPreferencesByButton(std::function<void(TPreferences*)> user);
  // The dialog showing now.
  static TPreferences* Dialog();
  void PressWith(int modifier, int vk);
  // File > Exit and a new start on what the registry holds; nothing of the first run is kept
  // in memory.
  void Restart();

  std::string programFolder;
  std::string englishText;  // the English language file's source
};
