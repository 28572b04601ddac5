#pragma once
// The user's preferences, one record for the whole program. Every field starts at the value a
// first run gets; the settings loader reads the stored values over them at start-up and the
// close-down writes them back. Colours of the two swatches, the menu check marks and the
// view's display switches are kept by their controls, not here.

#include <cstdint>

#include "platform/rtl/AnsiString.h"

struct TSettings {
  bool Clipping = false;         // tools draw only into the visible part of the window
  bool OptimBrush = false;       // brushes are cropped to their content
  bool InstBrush = false;        // selection tools hand back after one use
  bool ResizeNeigh = true;       // sizing a document window moves the windows beside it
  bool AlwaysDock = true;        // toolbars gather in the active document window's docks
  bool FlatIcons = true;         // flat toolbar buttons
  bool MaxQL = false;            // the main window starts maximised
  bool MinToTaskbar = false;     // document windows have their own taskbar buttons
  bool MinToTaskbarNext = false; // the choice for the next start (the preferences change this)
  bool BackupFiles = true;       // an overwritten image file is kept as a backup copy
  bool ColorInHex = false;       // colours are shown in hexadecimal
  bool AutoLoadPalette = false;  // a palette image's palette goes to the palette grid
  AnsiString DefPal;             // palette file loaded at start-up
  bool AutoReload = false;       // an image is loaded again after it was saved
  bool CacheThumbs = false;      // the image browser keeps a thumbnail cache
  bool FixZoom = false;          // new windows open at FixZoomVal instead of a fitting zoom
  int FixZoomVal = 1;            // a zoom position: 1..32 a factor, 0..-8 a fraction
  AnsiString Language = "English";
  int Level = 0;                 // user level: 0 novice, 1 expert
  int MeasurementUnit = 0;       // 0 inches, 1 centimetres, 2 pixels
  int MRUFiles = 6;              // length of the recent-files list
  // The undo history's swap-file folder and budgets; empty and below 0 until set, when
  // start-up gives them their first-run values (ApplyUndoDefaults).
  AnsiString UndoDir;            // folder of the undo swap files
  std::int64_t UndoMem = -1;     // memory budget of the undo history, KB
  std::int64_t UndoDisk = -1;    // disk budget of the undo history, KB
  bool UseQLC = true;            // load the program's own plug-in components
  bool UseAdobe = true;          // load Photoshop-compatible filter plug-ins
  AnsiString AdobeLoc;           // folder scanned for filter plug-ins
  bool ShowTOD = true;           // tip of the day at start-up
  int TODIndex = 0;              // the next tip
  int DefFileExt = 0;            // default file type of the save dialog
  AnsiString ImageDir;           // last folder of images (the program folder at first)
  AnsiString BrushDir;           // last folder of brushes (the program folder at first)
  int GreyGamma = 180;
  int RedGamma = 0;
  int GreenGamma = 0;
  int BlueGamma = 0;
  AnsiString Skin = "Standard Shaded";
  int ActivePanel = 0;           // first sheet of the tool options window: palette, brush, histogram
  // The brush sheet's bars (transparency 0..100, size 1..200, hardness 1..100), kept here
  // until the sheet that shows them exists.
  int BrushTransp = 50;
  int BrushSize = 1;
  int BrushHardness = 100;
  // Whether the palette, brush and histogram sheets show at start, kept here until start-up
  // shows those sheets; their menu check marks follow the sheets themselves.
  bool PaletteVisible = true;
  bool BrushShapeVisible = false;
  bool HistogramVisible = false;
};

extern TSettings Settings;

// The program's key under the current user; "MainForm", "Preferences" and "Toolbars" lie below.
inline constexpr const char* SettingsRegistryKey = "Software\\Dornick\\QL\\";

// The view's gamma factor (16.16 fixed point) of a grey value and a channel's offset, both in
// hundredths: 180 and 0 give 1.8.
std::int32_t GammaFactor(int grey, int channel);
