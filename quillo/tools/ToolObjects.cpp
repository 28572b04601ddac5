// The tool objects and their data. They are built here, before the main window exists, and
// live for the whole run. The grid toggle's on state starts at 0 (off); its bar key is never
// used, since a toggle builds no option bar.

#include "quillo/tools/ToolObjects.h"

// class, object: points, flags, undo step at the first point, drop selection, feedback kind,
// snap, help context, option bar key, translation key, cursor

P_pen_one PenOneTool({2, 0, 1, 1, 1, 1, 2100, "", "SingleFhandIcon", crToolCross});
P_pen_cont PenContTool({2, 0, 1, 1, 1, 1, 2100, "", "ContFhandIcon", crToolCross});
P_pen_disc PenDiscTool({2, 0, 1, 1, 1, 1, 2100, "", "DotFhandIcon", crToolCross});
P_line LineTool({2, 0, 1, 1, 1, 1, 2200, "LINEBAR", "SingleLineIcon", crToolCross});
P_line_cont LineContTool({2, 0, 1, 1, 1, 1, 2200, "LINEBAR", "ContLineIcon", crToolCross});
P_spline SplineTool({3, 0, 1, 1, 1, 1, 2300, "CURVEBAR", "SingleCurveIcon", crToolCross});
P_spline_cont SplineContTool({3, 0, 1, 1, 1, 1, 2300, "CURVEBAR", "ContCurveIcon", crToolCross});
P_box_sqr BoxSqrTool({2, 0, 1, 1, 1, 1, 2400, "", "BoxSqrIcon", crToolCross});
P_box_sqrf BoxSqrfTool({2, 0, 1, 1, 1, 1, 2400, "", "BoxSqrfIcon", crToolCross});
P_box_rect BoxRectTool({2, 0, 1, 1, 1, 1, 2400, "", "BoxRectIcon", crToolCross});
P_box_rectf BoxRectfTool({2, 0, 1, 1, 1, 1, 2400, "", "BoxRectfIcon", crToolCross});
P_circle CircleTool({2, 0, 0, 1, 1, 1, 2500, "CIRCLEBAR", "CircleIcon", crToolCross});
P_circlef CirclefTool({2, 0, 0, 1, 1, 1, 2500, "", "CirclefIcon", crToolCross});
P_ellipse EllipseTool({2, 0, 0, 1, 1, 1, 2500, "ELLIPSEBAR", "EllipseIcon", crToolCross});
P_ellipsef EllipsefTool({2, 0, 0, 1, 1, 1, 2500, "", "EllipsefIcon", crToolCross});
P_fill_draw FillDrawTool({2, 0, 1, 1, 1, 1, 2600, "", "ShapefIcon", crToolCross});
P_fill_poly FillPolyTool({2, 0, 1, 1, 1, 1, 2600, "", "PolygonfIcon", crToolCross});
P_clone CloneTool({2, 0, 0, 1, 2, 1, 2700, "CLONEBAR", "CloneIcon", crToolCross});
P_fill_solid FillSolidTool({1, 0, 1, 0, 0, 0, 2800, "SFILLBAR", "SolidFillIcon", crToolFill});
P_fill_pattern FillPatternTool({1, 0, 1, 0, 0, 0, 2800, "PFILLBAR", "PatFillIcon", crToolFill});
P_fill_pos FillPosTool({1, tfHandBack, 0, 1, 0, 1, 100, "", "", crToolCross});
P_spray SprayTool({2, 0, 1, 1, 0, 1, 2900, "SPRAYBAR", "SprayIcon", crToolSpray});
P_airbrush AirbrushTool({2, 0, 1, 1, 0, 1, 2900, "AIRBRUSHBAR", "ABrushIcon", crToolAirbrush});
P_cut_box CutBoxTool({2, tfHandBack, 1, 0, 2, 1, 3000, "", "CutRectIcon", crToolCross});
P_cut_resize CutResizeTool({1, tfHandBack, 1, 0, 2, 1, 3000, "CUTBAR", "CutPredefRectIcon", crToolCross});
P_cut_draw CutDrawTool({2, tfHandBack, 1, 0, 1, 1, 3000, "", "CutFhandIcon", crToolCross});
P_cut_poly CutPolyTool({2, tfHandBack, 1, 0, 1, 1, 3000, "", "CutPolygonIcon", crToolCross});
P_cut_wand CutWandTool({1, tfHandBack, 1, 0, 0, 0, 3000, "WANDBAR", "CutWandIcon", crToolWand});
P_text TextTool({2, tfNotRemembered, 0, 0, 0, 1, 3100, "", "TextIcon", crToolCross});
P_get_col GetColTool({2, tfHandBack, 0, 0, 0, 0, 3200, "", "GetColIcon", crToolPipette});
P_ch_col ChColTool({1, 0, 1, 0, 0, 0, 3300, "CHBAR", "ChangeColIcon", crToolPipette});
P_grid GridTool({0, tfToggle, 0, 1, 0, 1, 3400, "xxx", "GridIcon", crToolCross});
P_gridpos GridposTool({1, tfHandBack, 0, 1, 0, 0, 3400, "", "", crToolCross});
P_clear ClearTool({2, tfOneShot, 1, 1, 0, 1, 3700, "", "ClrImageIcon", crToolCross});
P_show_brush_panel ShowBrushPanelTool({2, tfOneShot, 0, 1, 0, 1, 100, "", "BrushPanelIcon", crToolCross});
P_move MoveTool({2, 0, 0, 0, 0, 1, 3800, "", "MoveSelIcon", crToolMoveHand});
P_bend_brush_UnD BendBrushUnDTool({2, tfHandBack, 0, 1, 2, 1, 1200, "", "BendUDBr", crToolCross});
P_bend_brush_LnR BendBrushLnRTool({2, tfHandBack, 0, 1, 2, 1, 1200, "", "BendLRBr", crToolCross});
P_shear_brush_UnD ShearBrushUnDTool({2, tfHandBack, 0, 1, 2, 1, 1200, "", "ShearUDBr", crToolCross});
P_shear_brush_LnR ShearBrushLnRTool({2, tfHandBack, 0, 1, 2, 1, 1200, "", "ShearLRBr", crToolCross});
P_rotate_brush RotateBrushTool({2, tfHandBack, 0, 1, 2, 1, 1200, "", "Rotate", crToolRotate});
P_stretch_brush StretchBrushTool({2, tfHandBack, 0, 1, 0, 1, 1200, "", "StretchBr", crToolCross});
P_stretch_brush_X StretchBrushXTool({2, tfHandBack, 0, 1, 0, 1, 1200, "", "StretchXBr", crToolCross});
P_stretch_brush_Y StretchBrushYTool({2, tfHandBack, 0, 1, 0, 1, 1200, "", "StretchYBr", crToolCross});
P_resize_spray ResizeSprayTool({2, tfHandBack, 0, 1, 2, 1, 2900, "", "ResizeBr", crToolCross});
P_ql_component QlComponentTool({2, tfHandBack, 0, 0, 0, 1, 100, "", "", crToolCross});
P_ql_component_brush QlComponentBrushTool({2, tfNotRemembered, 1, 0, 0, 1, 100, "", "", crToolCross});
