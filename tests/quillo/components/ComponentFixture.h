#pragma once
// What the component tests share: a fresh desktop on the headless host with a manual clock,
// the application (and every form it owns) freed before the desktop goes, and a fresh
// settings folder so that nothing is read from or written to the user's own.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/vcl/Application.h"
#include "platform/vcl/Form.h"
#include "support/TempHome.h"
#include "support/UiDriver.h"

// The phase this process was started for by RunTestInChild (below); empty in the parent.
std::string ChildPhase();

// The desktop a phase asks for: "phase@WxH" runs on a W x H desktop, anything else on 1280 x 800.
int PhaseDesktopWidth();
int PhaseDesktopHeight();

class ComponentTest : public ::testing::Test {
protected:
  ComponentTest() : home(ChildPhase().empty() ? std::make_unique<TempHome>() : nullptr) {}
  ~ComponentTest() override { ResetApplication(); }
  // A fresh settings folder in the parent; a child started by RunTestInChild keeps its parent's.
  std::unique_ptr<TempHome> home;
  UiDriver ui{PhaseDesktopWidth(), PhaseDesktopHeight()};
};

// Runs this test program again in a child process with only the named test, with the
// environment variable QUILLO_CHILD_PHASE set to phase and the settings folder inherited;
// answers whether every test it ran passed. Settings stored in the parent are then read by a
// process that starts with nothing in memory, as the program does when it is started again.
bool RunTestInChild(const std::string& testName, const std::string& phase);
