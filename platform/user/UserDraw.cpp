// Classic 3-D drawing: edges, frame controls (buttons, caption buttons, scroll arrows,
// check marks) and the dotted focus rectangle.

#include <algorithm>
#include <cstring>

#include "platform/gdi/Display.h"
#include "platform/gdi/Raster.h"
#include "platform/user/UserDraw.h"

namespace {

void Fill(HDC dc, int l, int t, int r, int b, COLORREF c) {
  HBRUSH brush = CreateSolidBrush(c);
  RECT rect{l, t, r, b};
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

// One ring of an edge: the top-left colour on the top row and left column, the
// bottom-right colour on the bottom row and right column (which owns the corners).
void Ring(HDC dc, const RECT& r, COLORREF tl, COLORREF br, UINT sides) {
  if (sides & BF_TOP) Fill(dc, r.left, r.top, r.right - 1, r.top + 1, tl);
  if (sides & BF_LEFT) Fill(dc, r.left, r.top, r.left + 1, r.bottom - 1, tl);
  if (sides & BF_BOTTOM) Fill(dc, r.left, r.bottom - 1, r.right, r.bottom, br);
  if (sides & BF_RIGHT) Fill(dc, r.right - 1, r.top, r.right, r.bottom, br);
}

void Shrink(RECT& r, UINT sides) {
  if (sides & BF_LEFT) ++r.left;
  if (sides & BF_TOP) ++r.top;
  if (sides & BF_RIGHT) --r.right;
  if (sides & BF_BOTTOM) --r.bottom;
}

}  // namespace

BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags) {
  if (!rect) return FALSE;
  RECT r = *rect;
  UINT sides = flags & BF_RECT;
  COLORREF light = GetSysColor(COLOR_3DLIGHT), hilight = GetSysColor(COLOR_BTNHIGHLIGHT),
           shadow = GetSysColor(COLOR_BTNSHADOW), dark = GetSysColor(COLOR_3DDKSHADOW);
  if (flags & (BF_MONO | BF_FLAT)) {
    COLORREF c = (flags & BF_MONO) ? GetSysColor(COLOR_WINDOWFRAME) : shadow;
    if (edge & BDR_OUTER) {
      Ring(dc, r, c, c, sides);
      Shrink(r, sides);
    }
    if (edge & BDR_INNER) {
      COLORREF inner = (flags & BF_MONO) ? GetSysColor(COLOR_WINDOW) : GetSysColor(COLOR_BTNFACE);
      Ring(dc, r, inner, inner, sides);
      Shrink(r, sides);
    }
  } else {
    bool soft = flags & BF_SOFT;
    if (edge & BDR_OUTER) {
      if (edge & BDR_RAISEDOUTER) Ring(dc, r, soft ? hilight : light, dark, sides);
      else Ring(dc, r, shadow, hilight, sides);
      Shrink(r, sides);
    }
    if (edge & BDR_INNER) {
      if (edge & BDR_RAISEDINNER) Ring(dc, r, soft ? light : hilight, shadow, sides);
      else Ring(dc, r, dark, light, sides);
      Shrink(r, sides);
    }
  }
  if (flags & BF_MIDDLE)
    Fill(dc, r.left, r.top, r.right, r.bottom, GetSysColor((flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE));
  if (flags & BF_ADJUST) *rect = r;
  return TRUE;
}

namespace {

// Draws a glyph given as rows of characters ('#' ink), centred in the rectangle, in a
// colour; disabled glyphs are embossed: white one pixel down-right, then grey.
void Glyph(HDC dc, const RECT& r, const std::vector<const char*>& rows, COLORREF colour, bool disabled,
           int shift) {
  int h = static_cast<int>(rows.size()), w = static_cast<int>(std::strlen(rows[0]));
  int x0 = r.left + (r.right - r.left - w) / 2 + shift, y0 = r.top + (r.bottom - r.top - h) / 2 + shift;
  auto paint = [&](int dx, COLORREF c) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (rows[y][x] == '#') Fill(dc, x0 + x + dx, y0 + y + dx, x0 + x + dx + 1, y0 + y + dx + 1, c);
  };
  if (disabled) {
    paint(1, GetSysColor(COLOR_BTNHIGHLIGHT));
    paint(0, GetSysColor(COLOR_BTNSHADOW));
  } else {
    paint(0, colour);
  }
}

const std::vector<const char*>& CaptionGlyph(UINT kind) {
  static const std::vector<const char*> close{"##    ##", " ##  ## ", "  ####  ", "   ##   ",
                                              "  ####  ", " ##  ## ", "##    ##"};
  static const std::vector<const char*> minimize{"      ", "      ", "      ", "      ",
                                                 "      ", "######", "######"};
  static const std::vector<const char*> maximize{"#########", "#########", "#       #",
                                                 "#       #", "#       #", "#       #",
                                                 "#       #", "#########"};
  static const std::vector<const char*> restore{"  ######", "  ######", "  #    #", "######  #",
                                                "###### ##", "#    #   ", "#    #   ", "######   "};
  static const std::vector<const char*> help{" #### ", "##  ##", "    ##", "   ## ", "  ##  ",
                                             "      ", "  ##  "};
  switch (kind) {
    case DFCS_CAPTIONMIN: return minimize;
    case DFCS_CAPTIONMAX: return maximize;
    case DFCS_CAPTIONRESTORE: return restore;
    case DFCS_CAPTIONHELP: return help;
  }
  return close;
}

const std::vector<const char*>& ArrowGlyph(UINT kind) {
  static const std::vector<const char*> up{"   #   ", "  ###  ", " ##### ", "#######"};
  static const std::vector<const char*> down{"#######", " ##### ", "  ###  ", "   #   "};
  static const std::vector<const char*> left{"   #", "  ##", " ###", "####", " ###", "  ##", "   #"};
  static const std::vector<const char*> right{"#   ", "##  ", "### ", "####", "### ", "##  ", "#   "};
  switch (kind) {
    case DFCS_SCROLLDOWN: case DFCS_SCROLLCOMBOBOX: return down;
    case DFCS_SCROLLLEFT: return left;
    case DFCS_SCROLLRIGHT: return right;
  }
  return up;
}

const std::vector<const char*>& CheckGlyph() {
  static const std::vector<const char*> check{"      #", "     ##", "#   ###", "## ### ",
                                              "#####  ", " ###   ", "  #    "};
  return check;
}

BOOL ButtonFrame(HDC dc, RECT& r, UINT state) {
  bool pushed = state & (DFCS_PUSHED | DFCS_CHECKED);
  if (state & DFCS_FLAT) DrawEdge(dc, &r, pushed ? BDR_SUNKENOUTER : 0, BF_RECT | BF_ADJUST | BF_FLAT);
  else if (pushed) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST | BF_SOFT);
  else DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
  if (!(state & DFCS_TRANSPARENT)) Fill(dc, r.left, r.top, r.right, r.bottom, GetSysColor(COLOR_BTNFACE));
  return TRUE;
}

BOOL CheckBox(HDC dc, RECT r, UINT state) {
  int size = std::min<int>({r.right - r.left, r.bottom - r.top, 13});
  RECT box{r.left, r.top + (r.bottom - r.top - size) / 2, r.left + size, 0};
  box.bottom = box.top + size;
  bool radio = (state & 0xFF) == DFCS_BUTTONRADIO || (state & 0xFF) == DFCS_BUTTONRADIOIMAGE;
  COLORREF face = (state & (DFCS_INACTIVE | DFCS_PUSHED)) ? GetSysColor(COLOR_BTNFACE) : GetSysColor(COLOR_WINDOW);
  if (radio) {
    HBRUSH brush = CreateSolidBrush(face);
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
    Ellipse(dc, box.left, box.top, box.right, box.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
    if (state & DFCS_CHECKED) {
      RECT dot{box.left + size / 2 - 2, box.top + size / 2 - 2, box.left + size / 2 + 2, box.top + size / 2 + 2};
      Fill(dc, dot.left, dot.top, dot.right, dot.bottom, GetSysColor(COLOR_WINDOWTEXT));
    }
    return TRUE;
  }
  DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  Fill(dc, box.left, box.top, box.right, box.bottom, face);
  if (state & DFCS_CHECKED)
    Glyph(dc, box, CheckGlyph(), GetSysColor(COLOR_WINDOWTEXT), state & DFCS_INACTIVE, 0);
  return TRUE;
}

}  // namespace

BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state) {
  if (!rect) return FALSE;
  RECT r = *rect;
  bool disabled = state & DFCS_INACTIVE;
  int shift = (state & DFCS_PUSHED) ? 1 : 0;
  switch (type) {
    case DFC_BUTTON:
      if (state & DFCS_BUTTONPUSH) {
        ButtonFrame(dc, r, state);
        if (state & DFCS_ADJUSTRECT) *rect = r;
        return TRUE;
      }
      return CheckBox(dc, r, state);
    case DFC_CAPTION:
      ButtonFrame(dc, r, state);
      Glyph(dc, r, CaptionGlyph(state & 0xFF), GetSysColor(COLOR_BTNTEXT), disabled, shift);
      return TRUE;
    case DFC_SCROLL:
      if ((state & 0xFF) == DFCS_SCROLLSIZEGRIP) {
        Fill(dc, r.left, r.top, r.right, r.bottom, GetSysColor(COLOR_BTNFACE));
        for (int k = 0; k < 3; ++k) {
          int off = 4 * k + 2;
          for (int i = 0; i < r.right - r.left - off && i < r.bottom - r.top - off; ++i) {
            Fill(dc, r.right - off - i, r.bottom - 1 - i, r.right - off - i + 1, r.bottom - i, GetSysColor(COLOR_BTNHIGHLIGHT));
            Fill(dc, r.right - off - i + 1, r.bottom - 1 - i, r.right - off - i + 3, r.bottom - i, GetSysColor(COLOR_BTNSHADOW));
          }
        }
        return TRUE;
      }
      ButtonFrame(dc, r, state);
      Glyph(dc, r, ArrowGlyph(state & 0xFF), GetSysColor(COLOR_BTNTEXT), disabled, shift);
      return TRUE;
    case DFC_MENU: {
      COLORREF c = GetSysColor(COLOR_MENUTEXT);
      if ((state & 0xFF) == DFCS_MENUCHECK) Glyph(dc, r, CheckGlyph(), c, disabled, 0);
      else if ((state & 0xFF) == DFCS_MENUBULLET) Glyph(dc, r, {" ## ", "####", "####", " ## "}, c, disabled, 0);
      else Glyph(dc, r, ArrowGlyph(DFCS_SCROLLRIGHT), c, disabled, 0);
      return TRUE;
    }
  }
  return FALSE;
}

BOOL DrawFocusRect(HDC handle, const RECT* rect) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc || !rect || !dc->Prepare()) return FALSE;
  RECT r = dc->ToSurface(*rect);
  if (RectEmpty(r)) return TRUE;
  // Every other pixel of the frame is inverted, so drawing it twice removes it.
  auto dot = [&](int x, int y) {
    if (((x + y) & 1) == 0) PlotSurfacePixel(*dc, x, y, 0xFFFFFF, R2_XORPEN);
  };
  for (int x = r.left; x < r.right; ++x) {
    dot(x, r.top);
    if (r.bottom - 1 > r.top) dot(x, r.bottom - 1);
  }
  for (int y = r.top + 1; y < r.bottom - 1; ++y) {
    dot(r.left, y);
    if (r.right - 1 > r.left) dot(r.right - 1, y);
  }
  return TRUE;
}
