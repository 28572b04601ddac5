#pragma once
// The program's help: HTML pages in the "help" folder beside the program, one for each help
// context the windows give, opened in the desktop's browser. Installed as the application's
// help handler, so F1, the Help buttons and Help > Contents all come here.

#include <span>

#include "platform/rtl/AnsiString.h"

struct HelpPage {
  int context;
  const char* file;  // in the help folder
};

// Every help context the program's windows use, with its page.
std::span<const HelpPage> HelpPages();

// The page of a context: its own, or the index for a context without one (0 included).
const char* HelpPageFile(int context);
inline constexpr const char* HelpIndexFile = "index.html";

// The help folder beside the program, with its trailing '/'.
AnsiString HelpFolder();

// Opens the context's page in the desktop's browser, without waiting for it. A component
// whose description names an HTML help file of its own has that opened instead. A browser
// that cannot be started is reported; false then.
bool ShowHelp(int context);
// Help > Contents: the index.
bool ShowHelpContents();

// Makes ShowHelp the application's help handler.
void InstallHelp();
