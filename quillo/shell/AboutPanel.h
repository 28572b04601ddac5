#pragma once
// The about panel, which is also the splash screen while the program starts.

// Start-up: creates the panel, centred; shows it as the splash when show is set, else closes
// it at once.
void BeginSplash(bool show);
// The end of start-up: the splash closes.
void EndSplash();
