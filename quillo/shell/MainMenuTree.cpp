#include "quillo/shell/MainMenuTree.h"

#include <array>

#include "platform/user/WinConst.h"

namespace {

constexpr TShortCut Ctrl(char key) { return static_cast<TShortCut>(scCtrl | key); }
constexpr TShortCut CtrlShift(char key) { return static_cast<TShortCut>(scCtrl | scShift | key); }
constexpr MainMenuEntry Line(int depth, const char* name) { return {depth, name, true, scNone, true}; }

// Items that work now: New, Open, Browse, Save and Save As, closing (one, all, the program), batch
// conversion, sending by e-mail, the image information, the toolbars' and rulers' check marks, fitting the
// window to its image, the preview, the custom filter, the filter factory, the Window menu, the Edit menu's
// clipboard and selection items, the brush modes, the Brush menu, the Desktop menu, the preferences, the
// tips, the home page and the about panel.
constexpr auto kTree = std::to_array<MainMenuEntry>({
    {0, "File1", true},
    {1, "New1", true},
    {1, "OpenImage", true},
    {1, "Browse1", true},
    Line(1, "N2"),
    {1, "Save1", true},
    {1, "Saveas1", true},
    {1, "Close1", true},
    {1, "CloseAll1", true},
    Line(1, "N3"),
    {1, "Print1", true},
    {1, "PrinterSetup1", true},
    {1, "SendviaEmail1", true},
    {1, "BatchConvert1", true},
    Line(1, "N4"),
    {1, "SelectSource1", true},
    {1, "Acquire1", true},
    Line(1, "N5"),
    {1, "Exit1", true},

    {0, "Edit1", true},
    {1, "Undo1", true},
    {1, "Redo1", true},
    Line(1, "N6"),
    {1, "Cut1", true},
    {1, "Copy1", true},
    {1, "Paste1", true},
    {1, "PasteAsNew1", true},
    {1, "Delete1", true},
    Line(1, "N8"),
    {1, "ClearSel1", true},
    {1, "InvertSel1", true},

    {0, "Options1", true},
    {1, "ToolbarVisib", true},
    {1, "StdFuncVisib", true},
    {1, "RulersVisib", true},
    Line(1, "N9"),
    {1, "PaletteVisib", true},
    {1, "BrushVisib", true},
    {1, "HistVisib", true},
    Line(1, "N10"),
    {1, "Paint1", true, scNone, false, 2},
    {1, "Color1", true, scNone, false, 2},
    {1, "Replace1", true, scNone, false, 2},
    Line(1, "N11"),
    {1, "PrefsMenu", true},

    {0, "Image1", true},
    {1, "Info1", true},
    {1, "Crop2", false},
    {1, "FitToImage1", true},
    {1, "Preview1", true},
    Line(1, "N12"),
    {1, "CustomFilter1", true},
    {1, "FilterFactory1", true},

    {0, "Brush1", true},
    {1, "UndoBrush1", true},
    {1, "RedoBrush1", true},
    Line(1, "N7"),
    {1, "GetAll1", true, Ctrl('A')},
    {1, "GetSel1", true},
    {2, "GetCompSel", true, Ctrl('G')},
    {2, "NoBackground", true},
    {1, "Conv2Image1", true, Ctrl('M')},
    {1, "Outline1", true, CtrlShift('O')},
    {1, "Halve1", true},
    {2, "Both1", true, Ctrl('H')},
    {2, "Width1", true},
    {2, "Height1", true},
    {1, "Double1", true},
    {2, "Both2", true, CtrlShift('U')},
    {2, "Width2", true},
    {2, "Height2", true},
    {1, "Stretch1", true},
    {2, "Both3", true, Ctrl('B')},
    {2, "Width3", true},
    {2, "Height3", true},
    {1, "Mirror1", true},
    {2, "LefttoRight1", true, CtrlShift('X')},
    {2, "ToptoBottom1", true, CtrlShift('Y')},
    {1, "Rotate2", true},
    {2, "N90Degrees1", true},
    {2, "N180Degrees1", true},
    {2, "AnyAngle1", true, Ctrl('R')},
    {1, "Bend1", true},
    {2, "UpandDown1", true},
    {2, "LeftandRight1", true},
    {1, "Shear1", true},
    {2, "UpandDown2", true},
    {2, "LeftandRight2", true},
    {1, "DropShadow1", true},
    {1, "Handle1", true},
    {2, "Center1", true, Ctrl('E'), false, 1},
    {2, "LTCorner1", true, scNone, false, 1},
    {2, "RTCorner1", true, scNone, false, 1},
    {2, "RBCorner1", true, scNone, false, 1},
    {2, "LBCorner1", true, scNone, false, 1},

    {0, "Desktop1", true},
    {1, "Capture1", true},
    Line(1, "N13"),
    {1, "Wallpaper1", true},
    {2, "Import1", true},
    {2, "Export1", true},
    {1, "Startup1", true},
    {2, "Import2", true},
    {2, "Export2", true},
    {1, "Waiting1", true},
    {2, "Import3", true},
    {2, "Export3", true},
    {1, "Shutdown1", true},
    {2, "Import4", true},
    {2, "Export4", true},

    {0, "WindowMenu", true},
    {1, "Cascade1", true},
    {1, "PrevImage1", true},
    {1, "NextImage1", true},

    {0, "Help1", true},
    {1, "Contents1", true},
    {1, "Tod1", true},
    {1, "Homepage", true},
    Line(1, "N14"),
    {1, "About1", true},
});

}  // namespace

std::span<const MainMenuEntry> MainMenuTree() { return kTree; }
