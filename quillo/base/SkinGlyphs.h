#pragma once
// The glyph indexes of the program's skins: a component's Tag names the icon it shows. 1 to
// 1000 count the first strip (20 x 20 toolbar and palette icons, row by row, 10 a row), from
// 1001 on the second strip (16 x 16 menu icons). The default skin is drawn in this order, so
// an index never changes meaning.

namespace SkinGlyph {

// First strip.
constexpr int BrushSheet = 1;  // shows the brush panel
constexpr int NewImage = 2;    // NewBtn
constexpr int Open = 3;        // OpenBtn
constexpr int OpenPrevious = 4;  // OpenPrevBtn: the previous image in the folder
constexpr int OpenNext = 5;    // OpenNextBtn
constexpr int Save = 6;        // SaveBtn
constexpr int CloseAll = 7;    // CloseAllBtn
constexpr int Print = 8;       // PrintBtn
constexpr int Acquire = 9;     // AcquireBtn: the scanner
constexpr int Cut = 10;        // CutBtn
constexpr int ChangeColour = 11;
constexpr int ClearImage = 12;
constexpr int Clone = 13;
constexpr int Circle = 14;
constexpr int FilledCircle = 15;
constexpr int Ellipse = 16;
constexpr int FilledEllipse = 17;
constexpr int RectangleSelection = 18;
constexpr int FixedSizeSelection = 19;  // a selection of a predefined size
constexpr int FreehandSelection = 20;
constexpr int PolygonSelection = 21;
constexpr int MagicWand = 22;
constexpr int SolidFill = 23;
constexpr int PatternFill = 24;
constexpr int FilledFreehand = 25;
constexpr int FilledPolygon = 26;
constexpr int ColourPicker = 27;
constexpr int Grid = 28;
constexpr int Line = 29;
constexpr int Polyline = 30;  // continuous line
constexpr int Move = 31;      // moves the selection
constexpr int ContinuousPen = 32;
constexpr int DottedFreehand = 33;
constexpr int SingleStroke = 34;  // one freehand stroke
constexpr int FilledRectangle = 35;
constexpr int Rectangle = 36;
constexpr int FilledSquare = 37;
constexpr int Square = 38;
constexpr int Curve = 39;
constexpr int ContinuousCurve = 40;
constexpr int Spray = 41;
constexpr int Airbrush = 42;
constexpr int Text = 43;
constexpr int Copy = 44;        // CopyBtn
constexpr int Paste = 45;       // PasteBtn
constexpr int PasteAsNew = 46;  // PasteAsNewBtn
constexpr int Delete = 47;      // DeleteBtn
constexpr int Undo = 48;        // UndoBtn
constexpr int Redo = 49;        // RedoBtn
constexpr int Preferences = 50; // PrefsBtn
constexpr int Help = 51;        // HelpBtn
constexpr int FirstStripCount = 51;

// Second strip: menu items.
constexpr int MenuNew = 1001;
constexpr int MenuOpen = 1002;
constexpr int MenuSave = 1003;
constexpr int MenuSaveAs = 1004;
constexpr int MenuPrint = 1005;
constexpr int MenuCloseAll = 1006;
constexpr int MenuExit = 1007;
constexpr int MenuUndo = 1008;
constexpr int MenuRedo = 1009;
constexpr int MenuCut = 1010;
constexpr int MenuCopy = 1011;
constexpr int MenuPaste = 1012;
constexpr int MenuPasteAsNew = 1013;
constexpr int MenuDelete = 1014;
constexpr int MenuPreferences = 1015;
constexpr int MenuHelpContents = 1016;
constexpr int MenuZoomIn = 1017;
constexpr int MenuZoomOut = 1018;
constexpr int MenuOpenPrevious = 1019;
constexpr int MenuOpenNext = 1020;
constexpr int SecondStripCount = 20;

// The strips' icon sizes and icons a row in the default skin.
constexpr int FirstStripSize = 20;
constexpr int SecondStripSize = 16;
constexpr int IconsPerRow = 10;

// A component's Tag: the glyph index sits in the low 11 bits.
constexpr int IndexMask = 0x7FF;
// An image list's Tag: the number of icons in the low bits, the strip in bit 0x400.
constexpr int ImageListCountMask = 0x2FF;
constexpr int ImageListSecondStrip = 0x400;
// The indexes above this one are the second strip's.
constexpr int LastFirstStripIndex = 1000;

}  // namespace SkinGlyph
