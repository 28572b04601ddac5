#pragma once
// How a second process of the program finds the running one and asks it to come forward.
// Each process has its own desktop, so a window search cannot see another process's windows.
// The running instance claims a name (an abstract Unix socket named after the user, the
// settings folder, and the main form's class and title) and reads the requests sent to it on
// a timer. Binding the name fails while another live process holds it, and the name goes
// with the process, so a crashed instance leaves nothing stale behind.

#include <memory>

#include "platform/rtl/AnsiString.h"
#include "platform/gdi/WinDefs.h"

class TInstanceChannel {
public:
  // Claims the name for this process; Listening() is false when another process holds it.
  TInstanceChannel(const AnsiString& mainFormClass, const AnsiString& title);
  ~TInstanceChannel();
  TInstanceChannel(const TInstanceChannel&) = delete;
  TInstanceChannel& operator=(const TInstanceChannel&) = delete;

  bool Listening() const { return socket_ >= 0; }
  bool Names(const AnsiString& mainFormClass, const AnsiString& title) const {
    return mainFormClass == mainFormClass_ && title == title_;
  }
  // Takes every waiting request, bringing this process's main window forward for each;
  // answers how many there were.
  int ProcessRequests();

  // Whether a running instance of that class and title answers, and asks it to come forward.
  static bool Request(const AnsiString& mainFormClass, const AnsiString& title);

private:
  AnsiString mainFormClass_;
  AnsiString title_;
  int socket_ = -1;
  HWND window_ = nullptr;  // its timer reads the requests
};

// Makes this process the running instance of that class and title, reading requests every
// 200 ms until WithdrawInstance or the end of the process. False when another process is
// the running instance already (or this one has announced itself already).
bool AnnounceInstance(const AnsiString& mainFormClass, const AnsiString& title);
void WithdrawInstance();
// The running instance in another process asked to come forward; false when there is none.
bool RequestInstanceActivation(const AnsiString& mainFormClass, const AnsiString& title);
