#pragma once
// The main window's side of the filter plug-ins: the Image menu they join, the window they are
// told about and the colour dialog they may ask for.

// Installs the main window's host for the filter plug-ins; with false takes it out again.
void InstallFilterPluginHost(bool install);
