#include "quillo/shell/Settings.h"

#include <memory>

#include "quillo/shell/Language.h"
#include "quillo/shell/StartUp.h"

TSettings Settings;

void LoadSettings(TMainForm*) {
  Lang = std::make_unique<Language>(ProgramFolder());
  Lang->Load(Settings.Language);
}

void SaveSettings(TMainForm*) {}
