#pragma once
// The pictures of the desktop the Desktop menu moves between the editor and the system: the
// wallpaper and the three full-screen pictures shown while the system starts ("logo.sys"),
// while it waits to shut down ("logow.sys") and when it is safe to switch off ("logos.sys").
// Screen files are 320 x 400 8-bit BMP images, shown stretched to twice their width.

#include "platform/rtl/AnsiString.h"

enum class DesktopScreen { Startup, Waiting, Shutdown };

// Where the current wallpaper is (the registry's "Wallpaper"); empty when none is set.
AnsiString WallpaperSourcePath();
// Where the wallpaper is written: the Windows folder's "Quillo.bmp".
AnsiString WallpaperTargetPath();
// The file of a screen; empty when the system names no folder for it.
AnsiString DesktopScreenPath(DesktopScreen screen);
// True when the path names a file that can be read.
bool DesktopFileReadable(const AnsiString& path);

// Opens the wallpaper in a new document.
void ImportWallpaper();
// Writes the active picture as a 24-bit BMP "Quillo.bmp" and, once it is written, makes it
// the wallpaper, kept for the next start. The document keeps its own name and changes.
void ExportWallpaper();
// Opens a screen file as a document twice its width.
void ImportDesktopScreen(DesktopScreen screen);
// After the user confirms, writes the active picture scaled to 320 x 400 as an 8-bit BMP.
void ExportDesktopScreen(DesktopScreen screen);
