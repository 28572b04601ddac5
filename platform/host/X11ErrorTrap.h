#pragma once
// Errors on the host's own X connections: Xlib's default handler would end the program, so
// they are recorded for the connection instead (a request refused, a window that went away
// meanwhile). One handler serves every connection of ours; others keep the one they had.

struct _XDisplay;

// From now on the connection's errors are recorded, not fatal.
void TrapXErrors(_XDisplay* display);
// Before the connection closes.
void ForgetXErrors(_XDisplay* display);
// The error code of the first error since the last call (0: none), and forgets it.
int TakeXError(_XDisplay* display);
