#pragma once
// The host side of the call interface: the one parameter record, the value blocks, and the
// one guarded road every command takes into a component. A component runs in the program's
// process, so whatever it throws is caught at that road and reported, and the program goes on.

#include <array>
#include <cstdint>

#include "quillo/plugins/ComponentApi.h"

class UDBuffer;
struct QLCDSTR;

using ComponentValueBlock = std::array<std::uint8_t, QLC_VALUE_BLOCK>;

// The record handed to CMD_INIT and CMD_PROCESS; one for the whole run.
extern ComponentParams HostParams;
// The running component's option values (96 bytes) and the blend mode (byte 96).
extern ComponentValueBlock ComponentOptionValues;
// The values of the last full run; a mode byte other than the current one marks it stale.
extern ComponentValueBlock LastRunValues;
// Option changes are sent to the component at once.
extern bool ComponentAutoSend;
// The blend mode CompPutPixel combines with (0 replace, 1 to 11 the list's modes).
extern int BlendModeInForce;

// Fills the fixed part of HostParams: main window, tables, callbacks; sets the blend mode.
void InitComponentParams(int blendMode);
// Points HostParams at a destination and source picture of the given clip.
void SetComponentPictures(UDBuffer* destination, UDBuffer* source);

enum class CallResult { Done, NotLoaded, Failed };
// Sends a command to the current component through the guard; colours, palette and document
// number are refreshed first and the activity timer pauses for the call. An exception is
// reported ("ErrQLC") and answered with Failed.
CallResult CallComponent(std::int32_t command, void* block);
// CMD_OPTIONS with a copy of the values, "G" values clamped to the open documents.
CallResult SendComponentOptions(const std::uint8_t* values);
// Sends a command to a record's entry through the guard, without the refreshes (CMD_END). A
// fault in the component (see ForeignCallGuard.h) is reported naming the component and the
// fault, marks the component faulted and is answered with Failed; a faulted component is
// answered with Failed without a call.
CallResult CallComponentDirect(QLCDSTR& record, std::int32_t command, void* block);
// The component faulted earlier in this run (a bad access, an abort...): it is refused.
bool ComponentFaulted(const QLCDSTR& record);
// The message box of a component refused because it faulted earlier.
void ShowComponentUnusable(const QLCDSTR& record);
// The message box of a component that failed: "ErrQLC" name "ErrQLC2".
void ShowComponentError(const QLCDSTR& record);
// A test may leave the message out (it counts the failures instead).
extern int ComponentFailures;
