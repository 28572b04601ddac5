#pragma once
// Every tool object of the program: each painting tool, selection tool and palette function
// is one object of its own class, built before the main window and alive for the whole run.
// The families below are abstract (no object of their own). Tools whose behaviour comes with
// their own module keep P_icon's empty operations here until then.

#include "quillo/tools/Boxes.h"
#include "quillo/tools/CloneTool.h"
#include "quillo/tools/ColourTools.h"
#include "quillo/tools/ComponentTools.h"
#include "quillo/tools/BrushTools.h"
#include "quillo/tools/Ellipses.h"
#include "quillo/tools/FilledShapes.h"
#include "quillo/tools/Fills.h"
#include "quillo/tools/Grid.h"
#include "quillo/tools/Lines.h"
#include "quillo/tools/MoveTool.h"
#include "quillo/tools/PaletteFunctions.h"
#include "quillo/tools/ResizeTools.h"
#include "quillo/tools/Pens.h"
#include "quillo/tools/SelectionTools.h"
#include "quillo/tools/Spray.h"
#include "quillo/tools/TextTool.h"
#include "quillo/tools/Tool.h"

// A tool class whose operations come with its own module; until then P_icon's defaults.
#define QUILLO_TOOL_CLASS(name, base)                                \
  class name : public base {                                         \
  public:                                                            \
    explicit name(const ToolTraits& traits) : base(traits) {}        \
  }


#undef QUILLO_TOOL_CLASS

// --- The objects ---
extern P_pen_one PenOneTool;
extern P_pen_cont PenContTool;
extern P_pen_disc PenDiscTool;
extern P_line LineTool;
extern P_line_cont LineContTool;
extern P_spline SplineTool;
extern P_spline_cont SplineContTool;
extern P_box_sqr BoxSqrTool;
extern P_box_sqrf BoxSqrfTool;
extern P_box_rect BoxRectTool;
extern P_box_rectf BoxRectfTool;
extern P_circle CircleTool;
extern P_circlef CirclefTool;
extern P_ellipse EllipseTool;
extern P_ellipsef EllipsefTool;
extern P_fill_draw FillDrawTool;
extern P_fill_poly FillPolyTool;
extern P_clone CloneTool;
extern P_fill_solid FillSolidTool;
extern P_fill_pattern FillPatternTool;
extern P_fill_pos FillPosTool;
extern P_spray SprayTool;
extern P_airbrush AirbrushTool;
extern P_cut_box CutBoxTool;
extern P_cut_resize CutResizeTool;
extern P_cut_draw CutDrawTool;
extern P_cut_poly CutPolyTool;
extern P_cut_wand CutWandTool;
extern P_text TextTool;
extern P_get_col GetColTool;
extern P_ch_col ChColTool;
extern P_grid GridTool;
extern P_gridpos GridposTool;
extern P_clear ClearTool;
extern P_show_brush_panel ShowBrushPanelTool;
extern P_move MoveTool;
extern P_bend_brush_UnD BendBrushUnDTool;
extern P_bend_brush_LnR BendBrushLnRTool;
extern P_shear_brush_UnD ShearBrushUnDTool;
extern P_shear_brush_LnR ShearBrushLnRTool;
extern P_rotate_brush RotateBrushTool;
extern P_stretch_brush StretchBrushTool;
extern P_stretch_brush_X StretchBrushXTool;
extern P_stretch_brush_Y StretchBrushYTool;
extern P_resize_spray ResizeSprayTool;
extern P_ql_component QlComponentTool;
extern P_ql_component_brush QlComponentBrushTool;
