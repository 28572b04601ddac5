#pragma once
// What the user's mail program already knows: the sender, the server and so on, read from
// the settings of the program registered for "mailto" links (Netscape's prefs.js, Internet
// Mail and News, or the Internet Account Manager). Nothing is ever written there.

#include "platform/rtl/AnsiString.h"

struct MailDefaults {
  AnsiString userId;
  AnsiString server;
  AnsiString replyTo;
  AnsiString fromName;
  AnsiString from;
};

// The settings of the first of the three mail programs that is the "mailto" handler and has
// its key; empty fields where it keeps nothing.
MailDefaults ReadMailProgramDefaults();

// The value of user_pref("key", "value"); from one line of a prefs.js file; empty when the
// line holds no such preference.
AnsiString ParsePrefsLine(const AnsiString& line, const AnsiString& key);
