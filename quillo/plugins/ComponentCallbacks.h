#pragma once
// The 25 callbacks a component reads and writes pictures, progress and its options through.
// Every pixel and mask callback checks its coordinates against the picture it addresses
// (outside: a read gives 0, a write changes nothing), and every number against its range, so
// a component cannot reach past a picture, also not after it resized the destination.

#include "platform/gdi/WinDefs.h"
#include "platform/rtl/AnsiString.h"
#include "quillo/plugins/ComponentApi.h"

// The table handed to components in HostParams.
ComponentCallbacks HostCallbackTable();

// While one lives, a full run of a component on the image goes on and the user may stop it:
// the component's progress lets the waiting messages run that stop it (clicks on stopButton,
// which may be null, or on the progress bar's Cancel button; Esc and Enter). Nothing else
// runs meanwhile: no other command starts, no document closes, the tool stays.
class StoppableComponentRun {
public:
  explicit StoppableComponentRun(HWND stopButton);
  ~StoppableComponentRun();
  StoppableComponentRun(const StoppableComponentRun&) = delete;
  StoppableComponentRun& operator=(const StoppableComponentRun&) = delete;
  // A run is on: another must not start inside it.
  static bool Active();
  static HWND StopButton();

private:
  HWND outerButton_;
  bool outerActive_;
};

// What the option callbacks do while the component's option page exists (option: 0-based).
class ComponentOptionPage {
public:
  virtual ~ComponentOptionPage() = default;
  virtual void SetOptionValue(int option, double value, bool notify) = 0;
  virtual void SetOptionLabel(int option, const AnsiString& text) = 0;
  virtual void SetOptionStep(int option, double step) = 0;
  virtual void SetOptionDecimals(int option, int decimals) = 0;
  virtual void SetOptionMin(int option, double minimum) = 0;
  virtual void SetOptionMax(int option, double maximum) = 0;
  virtual void EnableOption(int option, bool enabled) = 0;
  virtual void ShowOption(int option, bool visible) = 0;
};
// The page while it exists; null otherwise (the callbacks then write the value block only).
extern ComponentOptionPage* ActiveOptionPage;

// Writes value into option's slot (0-based) of block as the type reads it.
void WriteOptionValue(std::uint8_t* block, int option, double value);
