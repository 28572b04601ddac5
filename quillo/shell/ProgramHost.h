#pragma once
// The main window as the lower layers see it: it answers what the documents, the tools and
// the file commands ask of the program around them, from MainForm. The main window installs
// it when it is made; every answer checks that MainForm is there.

// Installs the main window's host for the documents, the tools and the file commands; with
// false takes it out again, so that they work on their own.
void InstallProgramHost(bool install);
