#pragma once
// The program's main window started as a user starts it, on a fresh 1600 x 1000 headless
// desktop with the manual clock, the program folder of the build and no image arguments (the
// benchmark's own arguments name no files). Its settings live in the scratch folder every
// benchmark program gets before main (tools/scratchhome/), and its colours are set here: a run neither reads nor changes the
// user's settings, and paints the same on every machine.

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchDesktop.h"
#include "platform/rtl/CommandLine.h"
#include "platform/user/User.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Registry.h"
#include "quillo/shell/MainForm.h"
#include "quillo/base/Settings.h"
#include "quillo/shell/StartUp.h"

inline TMainForm* StartBenchProgram() {
  DesktopConfig config;
  config.width = 1600;
  config.height = 1000;
  RestartDesktop(config, "headless");
  SetManualClock(true);
  SetProgramFolder(QUILLO_BIN_DIR);
  SetParams({});
  // Nobody answers the first run's level question here: a settings folder without a level
  // gets the novice one.
  {
    TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
    if (registry->OpenKey(AnsiString(SettingsRegistryKey) + "Preferences", true)) {
      if (!registry->ValueExists("Level")) registry->WriteInteger("Level", 0);
      registry->CloseKey();
    }
  }
  TMainForm* form = Application()->CreateForm<TMainForm>();
  StartUp(form);
  // Nobody is there to close the tip of the day that start-up posts.
  MSG tip;
  while (PeekMessage(&tip, form->GetHandle(), UM_SHOWTIP, UM_SHOWTIP, PM_REMOVE)) {
  }
  // Black on white, whatever a settings folder held.
  form->DrawCol->SetColor(clBlack);
  form->BackCol->SetColor(clWhite);
  form->Show();
  RunQueue();
  return form;
}
