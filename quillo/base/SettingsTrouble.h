#pragma once
// Trouble with the settings file, told to the user: the registry store reports a damaged file
// (kept aside, what could be read used), a file it cannot read, and changes it cannot save
// (a read-only settings folder, a full disk). Each shows once a run in a message box naming
// the file, and the kept copy of a damaged one.
//
// The store is read before the language is loaded: reports met before then, or on another
// thread, wait until ShowSettingsTrouble runs on the program's thread.

#include "platform/rtl/AnsiString.h"

struct RegistryReport;

// Makes the store report here (at start, before the main window reads its settings); once
// installed, a second call changes nothing.
void InstallSettingsTroubleReports();
// Shows what waits, and from now on shows each report as it comes (once the language is
// loaded).
void ShowSettingsTrouble();
// The store reports to stderr again (at close-down, before the texts go).
void RemoveSettingsTroubleReports();

// The message for a report, in the loaded language.
AnsiString SettingsTroubleText(const RegistryReport& report);
