#pragma once
// The start-up probe: with QUILLO_STARTUP_REPORT naming a file, the program writes there, once
// start-up is done and everything it shows is on the screen (the first time the message loop
// runs dry), what it holds in memory: the resident size and its peak, its anonymous, file and
// shared parts, and its threads, as the kernel counts them (/proc/self/status lines, in kB).
// The file is replaced whole, so a reader that finds it finds all of it.

#include <string>

class TApplication;

// Arms the probe on the application's idle event when the environment asks for it.
void InstallStartUpReport(TApplication& app);

// The report's text: the status lines named above, in that order.
std::string StartUpReportText();
