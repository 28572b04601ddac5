#pragma once
// The main window's Desktop menu (screen capture, the wallpaper and the system's screens) and
// File > Send via E-mail.

class TMainForm;

// Gives the menu items their handlers.
void ConnectDesktopCommands(TMainForm* form);
// As the Desktop menu opens: each Import item is enabled exactly when its file can be read.
void Desktop1Click(TMainForm* form);
