#pragma once
// What the language tests share: a program folder of their own (a fresh temporary folder)
// to write language files into, a desktop to show message boxes on, and the global language
// table and application freed afterwards.

#include <gtest/gtest.h>

#include <string>

#include "platform/vcl/Application.h"
#include "quillo/base/Language.h"
#include "support/TempHome.h"
#include "support/UiDriver.h"
#include "tools/lngmaker/LanguageEncoder.h"

class LanguageFixture : public ::testing::Test {
protected:
  ~LanguageFixture() override {
    Lang.reset();
    ResetApplication();
  }

  // Writes text encoded as the language file <name>.lng of the program folder.
  std::string WriteLanguage(const std::string& name, const std::string& text) const {
    const std::vector<std::uint8_t> bytes = EncodeLanguageText(text);
    return folder.WriteFile(name + ".lng", std::string(bytes.begin(), bytes.end()));
  }
  // Makes the global table over the program folder.
  void MakeTable() { Lang = std::make_unique<Language>(folder.Path()); }

  TempHome folder;
  UiDriver ui;
};
