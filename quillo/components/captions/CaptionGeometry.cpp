#include "quillo/components/captions/CaptionGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/user/User.h"

namespace captions {

namespace {

int Channel(COLORREF c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }
COLORREF Pack(int r, int g, int b) {
  return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
int RoundHalfEven(double v) { return static_cast<int>(std::nearbyint(v)); }

bool IsToolStyle(TFormBorderStyle style) { return style == bsToolWindow || style == bsSizeToolWin; }

}  // namespace

std::vector<COLORREF> GradientRamp(COLORREF start, COLORREF stop, int count) {
  std::vector<COLORREF> ramp;
  if (count <= 0) return ramp;
  ramp.reserve(static_cast<size_t>(count));
  if (count < 2) {
    ramp.assign(static_cast<size_t>(count), start);
    return ramp;
  }
  double step[3];
  for (int c = 0; c < 3; ++c) step[c] = (Channel(stop, c * 8) - Channel(start, c * 8)) / double(count - 1);
  for (int i = 0; i < count; ++i) {
    int v[3];
    for (int c = 0; c < 3; ++c) v[c] = Channel(start, c * 8) + RoundHalfEven(i * step[c]);
    ramp.push_back(Pack(v[0], v[1], v[2]));
  }
  return ramp;
}

TSpan RoundedBand(int left, int width, int index, int count) {
  if (count <= 0) return TSpan{left, left};
  return TSpan{left + RoundHalfEven(double(index) * width / count), left + RoundHalfEven(double(index + 1) * width / count)};
}

TSpan MulDivBand(int left, int width, int index, int count) {
  if (count <= 0) return TSpan{left, left};
  return TSpan{left + MulDiv(index, width, count), left + MulDiv(index + 1, width, count)};
}

COLORREF BandColor(COLORREF begin, COLORREF end, int index, int count) {
  if (count < 2) return begin;
  int v[3];
  for (int c = 0; c < 3; ++c) {
    int b = Channel(begin, c * 8);
    v[c] = b + MulDiv(index, Channel(end, c * 8) - b, count - 1);
  }
  return Pack(v[0], v[1], v[2]);
}

TRect GradientCaptionRect(TFormBorderStyle style, bool minimised, bool designing, int width, int height) {
  (void)height;
  int fx = 0, fy = 0, h = GetSystemMetrics(SM_CYCAPTION);
  if (designing) {
    fx = GetSystemMetrics(SM_CXFRAME);
    fy = GetSystemMetrics(SM_CYFRAME);
  } else if (style == bsNone) {
    return TRect();
  } else if (minimised || style == bsSingle || style == bsDialog || style == bsToolWindow) {
    fx = GetSystemMetrics(SM_CXDLGFRAME);
    fy = GetSystemMetrics(SM_CYDLGFRAME);
  } else {
    fx = GetSystemMetrics(SM_CXFRAME);
    fy = GetSystemMetrics(SM_CYFRAME);
  }
  if (!designing && IsToolStyle(style)) h = GetSystemMetrics(SM_CYSMCAPTION);
  return TRect(fx, fy, width - fx, fy + h - 1);
}

TCaptionButtonLayout GradientCaptionButtons(const TRect& caption, TFormBorderStyle style, TBorderIcons icons,
                                            bool designing) {
  if (designing) {
    style = bsSizeable;
    icons = TBorderIcons{biSystemMenu, biMinimize, biMaximize};
  }
  TCaptionButtonLayout out;
  TRect r = caption;
  TRect b(r.left + 2, r.top + 2, r.right - 2, r.bottom - 2);
  auto place = [&](TCaptionButtonKind kind, bool enabled) { out.buttons[kind] = {b, enabled}; };
  auto shift = [&](int by) {
    b.left -= by;
    b.right -= by;
    r.right -= by;
  };
  const bool sysMenu = icons.Contains(biSystemMenu);
  if (IsToolStyle(style)) {
    b.left = b.right - GetSystemMetrics(SM_CXSMSIZE) + 2;
    if (sysMenu) place(cbClose, true);
    r.right = b.left - 5;
  } else {
    int s = GetSystemMetrics(SM_CXSMICON) - 2;
    if ((s & 1) != (r.Height() & 1)) ++s;
    b.left = b.right - s - 2;
    if (sysMenu) {
      place(cbClose, true);
      shift(s + 4);
      const bool minMax = icons.Contains(biMinimize) || icons.Contains(biMaximize);
      if ((style == bsSingle || style == bsSizeable) && minMax) {
        place(cbMaximize, icons.Contains(biMaximize));
        shift(s + 2);
        place(cbMinimize, icons.Contains(biMinimize));
        shift(s + 2);
      }
      if (icons.Contains(biHelp) && (style == bsDialog || ((style == bsSingle || style == bsSizeable) && !minMax))) {
        place(cbHelp, true);
        r.right -= s + 2;
      }
    }
    r.right -= 3;
  }
  out.textRight = r.right;
  return out;
}

TBandCaptionLayout LayoutBandCaption(TFormBorderStyle style, TBorderIcons icons, bool minimised, bool designing,
                                     int width, int height) {
  (void)height;
  TBandCaptionLayout l;
  l.style = designing ? bsSizeable : style;
  const bool tool = IsToolStyle(l.style);
  if (minimised || l.style == bsSingle || l.style == bsDialog || l.style == bsToolWindow) {
    l.frameX = GetSystemMetrics(SM_CXDLGFRAME);
    l.frameY = GetSystemMetrics(SM_CYDLGFRAME);
  } else if (l.style == bsSizeable || l.style == bsSizeToolWin) {
    l.frameX = GetSystemMetrics(SM_CXFRAME);
    l.frameY = GetSystemMetrics(SM_CYFRAME);
  }
  if (l.style != bsNone) l.captionHeight = GetSystemMetrics(tool ? SM_CYSMCAPTION : SM_CYCAPTION) - 1;
  l.caption = TRect(l.frameX, l.frameY, width - l.frameX, l.frameY + l.captionHeight);

  // The effective icons.
  if (l.style != bsNone && icons.Contains(biSystemMenu)) {
    l.icons << biSystemMenu;
    if (!tool) {
      if (l.style != bsDialog && (icons.Contains(biMinimize) || icons.Contains(biMaximize)))
        l.icons << biMinimize << biMaximize;
      if (l.style == bsDialog && icons.Contains(biHelp)) l.icons << biHelp;
    }
  }
  const bool sysMenu = l.icons.Contains(biSystemMenu);
  const TRect& c = l.caption;
  l.menuIcon = TRect(c.left, c.top, c.left, c.bottom);
  if (sysMenu && l.style != bsDialog && !tool) l.menuIcon.right = c.left + GetSystemMetrics(SM_CXSIZE);

  const int bw = GetSystemMetrics(SM_CXSIZE) - 2, bh = GetSystemMetrics(SM_CYSIZE) - 4;
  l.buttonsArea = TRect(c.right, c.top + 2, c.right, c.bottom - 2);
  if (sysMenu) {
    int count = 1 + (l.icons.Contains(biMinimize) ? 1 : 0) + (l.icons.Contains(biMaximize) ? 1 : 0) +
                (l.icons.Contains(biHelp) ? 1 : 0);
    int areaWidth = tool ? GetSystemMetrics(SM_CXSMSIZE) : bw * count;
    l.buttonsArea.left = c.right - areaWidth - 2;
  }
  l.title = TRect(l.menuIcon.right + 2, c.top + 2, l.buttonsArea.left - 2, c.bottom - 2);

  if (sysMenu) {
    if (tool) {
      l.buttons[cbClose] = {l.buttonsArea, true};
      l.visible[cbClose] = true;
    } else {
      int x = c.right - 2 - bw;
      auto put = [&](TCaptionButtonKind kind, bool enabled) {
        l.buttons[kind] = {Bounds(x, c.top + 2, bw, bh), enabled};
        l.visible[kind] = true;
        x -= bw;
      };
      put(cbClose, true);
      if (l.icons.Contains(biMaximize)) put(cbMaximize, icons.Contains(biMaximize));
      if (l.icons.Contains(biMinimize)) put(cbMinimize, icons.Contains(biMinimize));
      if (l.icons.Contains(biHelp)) put(cbHelp, true);
    }
  }
  return l;
}

TRect BandButtonHitRect(const TRect& button, TCaptionButtonKind kind) {
  return TRect(button.left, button.top - 2, button.right + (kind == cbClose ? 2 : 0), button.bottom + 2);
}

int BandCaptionHit(const TBandCaptionLayout& layout, const TPoint& p) {
  auto inside = [&](const TRect& r) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; };
  if (!inside(layout.caption)) return HTNOWHERE;
  static constexpr int codes[4] = {HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP};
  for (int kind : {cbClose, cbMaximize, cbMinimize, cbHelp})
    if (layout.visible[kind] && inside(BandButtonHitRect(layout.buttons[kind].rect, TCaptionButtonKind(kind))))
      return codes[kind];
  if (inside(layout.menuIcon)) return HTSYSMENU;
  return HTCAPTION;
}

LPCSTR SizingCursorForHit(int hit) {
  switch (hit) {
    case HTLEFT: case HTRIGHT: return IDC_SIZEWE;
    case HTTOP: case HTBOTTOM: return IDC_SIZENS;
    case HTTOPLEFT: case HTBOTTOMRIGHT: return IDC_SIZENWSE;
    case HTTOPRIGHT: case HTBOTTOMLEFT: return IDC_SIZENESW;
    default: return nullptr;
  }
}

TDitherMaskSize ChooseDitherMask(COLORREF start, COLORREF stop, int width) {
  int d = 0;
  for (int c = 0; c < 3; ++c) d += std::abs(Channel(stop, c * 8) - Channel(start, c * 8));
  // d / width >= 5 / 7, in integers.
  return (width > 0 && d * 7 >= width * 5) ? DitherMaskNarrow : DitherMaskWide;
}

bool CanDither(int width, TDitherMaskSize mask, bool palette) { return !palette && 2 * mask.width <= width; }

std::vector<TDitherBand> DitherBands(COLORREF start, COLORREF stop, int width, int maskWidth) {
  std::vector<TDitherBand> bands;
  if (maskWidth <= 0 || width < 2 * maskWidth) return bands;
  const int steps = width / maskWidth + 1, rest = width % maskWidth;
  int x = 0;
  for (int k = 1; k <= steps; ++k) {
    int v[3];
    for (int c = 0; c < 3; ++c) {
      int s = Channel(start, c * 8);
      v[c] = std::clamp(s + MulDiv(k, Channel(stop, c * 8) - s, steps - 1), 0, 255);
    }
    int strip = 0;
    if (rest > 0) strip = rest / (steps - 2) + (rest % (steps - 2) > k ? 1 : 0);
    bands.push_back(TDitherBand{x, strip, Pack(v[0], v[1], v[2])});
    x += maskWidth + strip;
  }
  return bands;
}

bool DitherMaskBit(int x, int y, TDitherMaskSize mask) {
  static constexpr int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  double density = mask.width > 1 ? 1.0 - double(x) / (mask.width - 1) : 1.0;
  return (bayer[y & 3][x & 3] + 0.5) / 16.0 < density;
}

AnsiString FrameCaptionText(const AnsiString& frame, bool childMaximised, const AnsiString& child) {
  return childMaximised ? frame + " - [" + child + "]" : frame;
}

LRESULT CopyTextToBuffer(const AnsiString& text, WPARAM size, LPARAM buffer) {
  char* out = reinterpret_cast<char*>(buffer);
  if (!out || size == 0) return 0;
  size_t n = std::min<size_t>(text.size(), size - 1);
  std::memcpy(out, text.data(), n);
  out[n] = 0;
  return static_cast<LRESULT>(n);
}

}  // namespace captions
