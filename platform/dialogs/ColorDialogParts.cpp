#include "platform/dialogs/ColorDialogParts.h"

#include <algorithm>
#include <vector>

#include "platform/controls/ControlInstance.h"
#include "platform/dialogs/ColorDialog.h"
#include "platform/gdi/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/user/SystemClasses.h"
#include "platform/user/UserDraw.h"

namespace {

void FillColour(HDC dc, const RECT& rect, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void FrameColour(HDC dc, const RECT& rect, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FrameRect(dc, &rect, brush);
  DeleteObject(brush);
}

void Notify(HWND window, WORD code) {
  SendMessage(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), code),
              reinterpret_cast<LPARAM>(window));
}

// Paints a window through BeginPaint/EndPaint.
template <class Draw>
LRESULT PaintWith(HWND window, Draw draw) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  draw(dc, client);
  EndPaint(window, &paint);
  return 0;
}

// Copies 0x00RRGGBB pixels, top row first, to the device.
void PutPixels(HDC dc, int x, int y, int width, int height, const std::vector<std::uint32_t>& pixels) {
  BITMAPINFO info;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biBitCount = 32;
  SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                    static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
}

std::uint32_t PixelOf(COLORREF c) {
  return (std::uint32_t{GetRValue(c)} << 16) | (std::uint32_t{GetGValue(c)} << 8) | GetBValue(c);
}

// A grid of colour swatches, eight to a row. One may be selected; arrows move the selection.
class ColorSwatches {
public:
  explicit ColorSwatches(HWND window) : window_(window) {}

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_PAINT: return PaintWith(window_, [this](HDC dc, const RECT& client) { Paint(dc, client); });
      case WM_ERASEBKGND: return 1;
      case WM_GETDLGCODE: return DLGC_WANTARROWS;
      case WM_SETFOCUS:
      case WM_KILLFOCUS: InvalidateRect(window_, nullptr, FALSE); return 0;
      case WM_LBUTTONDOWN: OnClick(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
      case WM_LBUTTONDBLCLK: Notify(window_, CPN_DBLCLK); return 0;
      case WM_KEYDOWN: return OnKey(static_cast<int>(wParam)) ? 0 : DefWindowProc(window_, message, wParam, lParam);
      case CPM_SETCOLORS:
        colours_.assign(reinterpret_cast<const COLORREF*>(lParam),
                        reinterpret_cast<const COLORREF*>(lParam) + wParam);
        if (selected_ >= Count()) selected_ = -1;
        InvalidateRect(window_, nullptr, FALSE);
        return 0;
      case CPM_SETSEL:
        Select(static_cast<int>(static_cast<INT_PTR>(wParam)));
        return 0;
      case CPM_GETSEL: return selected_;
      case CPM_GETCOLOR: return selected_ >= 0 ? colours_[static_cast<size_t>(selected_)] : 0;
    }
    return DefWindowProc(window_, message, wParam, lParam);
  }

private:
  int Count() const { return static_cast<int>(colours_.size()); }
  int Rows() const { return std::max(1, (Count() + kSwatchColumns - 1) / kSwatchColumns); }

  RECT Cell(int index) const {
    RECT client;
    GetClientRect(window_, &client);
    int width = client.right / kSwatchColumns, height = client.bottom / Rows();
    int col = index % kSwatchColumns, row = index / kSwatchColumns;
    return RECT{col * width, row * height, (col + 1) * width, (row + 1) * height};
  }

  void Paint(HDC dc, const RECT& client) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    bool focused = GetFocus() == window_;
    int focus = selected_ >= 0 ? selected_ : 0;
    for (int i = 0; i < Count(); ++i) {
      RECT cell = Cell(i);
      RECT swatch{cell.left + 3, cell.top + 3, cell.right - 3, cell.bottom - 3};
      if (i == selected_) FrameColour(dc, RECT{cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1}, 0);
      DrawEdge(dc, &swatch, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
      FillColour(dc, swatch, colours_[static_cast<size_t>(i)]);
      if (focused && i == focus) DrawFocusRect(dc, &cell);
    }
  }

  void Select(int index) {
    if (index < -1 || index >= Count()) index = -1;
    if (index == selected_) return;
    selected_ = index;
    InvalidateRect(window_, nullptr, FALSE);
  }

  void OnClick(int x, int y) {
    if (GetFocus() != window_) SetFocus(window_);
    for (int i = 0; i < Count(); ++i) {
      RECT cell = Cell(i);
      POINT p{x, y};
      if (PtInRect(&cell, p)) {
        Select(i);
        Notify(window_, CPN_CHANGED);
        return;
      }
    }
  }

  bool OnKey(int key) {
    int from = selected_ >= 0 ? selected_ : 0;
    int col = from % kSwatchColumns, row = from / kSwatchColumns;
    switch (key) {
      case VK_LEFT: col = std::max(0, col - 1); break;
      case VK_RIGHT: col = std::min(kSwatchColumns - 1, col + 1); break;
      case VK_UP: row = std::max(0, row - 1); break;
      case VK_DOWN: row = std::min(Rows() - 1, row + 1); break;
      case VK_SPACE: break;
      default: return false;
    }
    int index = std::min(Count() - 1, row * kSwatchColumns + col);
    if (index < 0) return true;
    Select(index);
    Notify(window_, CPN_CHANGED);
    return true;
  }

  HWND window_;
  std::vector<COLORREF> colours_;
  int selected_ = -1;
};

// The part inside a sunken edge where the colours are.
RECT Inside(const RECT& client) { return RECT{client.left + 2, client.top + 2, client.right - 2, client.bottom - 2}; }

// Hue across, saturation up, at the middle luminance; a cross marks the current colour.
class ColorSpectrum {
public:
  explicit ColorSpectrum(HWND window) : window_(window) {}

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_PAINT: return PaintWith(window_, [this](HDC dc, const RECT& client) { Paint(dc, client); });
      case WM_ERASEBKGND: return 1;
      case WM_LBUTTONDOWN:
        SetCapture(window_);
        Track(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
      case WM_MOUSEMOVE:
        if (GetCapture() == window_) Track(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
      case WM_LBUTTONUP:
        if (GetCapture() == window_) ReleaseCapture();
        return 0;
      case CPM_SETHLS:
        hue_ = LOWORD(wParam);
        saturation_ = HIWORD(wParam);
        InvalidateRect(window_, nullptr, FALSE);
        return 0;
      case CPM_GETHLS: return MAKELONG(hue_, saturation_);
    }
    return DefWindowProc(window_, message, wParam, lParam);
  }

private:
  void Paint(HDC dc, const RECT& client) {
    RECT edge = client;
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
    RECT in = Inside(client);
    int width = in.right - in.left, height = in.bottom - in.top;
    if (width <= 1 || height <= 1) return;
    if (static_cast<int>(pixels_.size()) != width * height) Render(width, height);
    PutPixels(dc, in.left, in.top, width, height, pixels_);
    DrawCross(dc, in);
  }

  void Render(int width, int height) {
    pixels_.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
      WORD saturation = static_cast<WORD>(240 - y * 240 / (height - 1));
      for (int x = 0; x < width; ++x) {
        WORD hue = static_cast<WORD>(x * 239 / (width - 1));
        pixels_[static_cast<size_t>(y * width + x)] = PixelOf(ColorHLSToRGB(hue, 120, saturation));
      }
    }
  }

  void DrawCross(HDC dc, const RECT& in) {
    int width = in.right - in.left, height = in.bottom - in.top;
    int x = in.left + hue_ * (width - 1) / 239, y = in.top + (240 - saturation_) * (height - 1) / 240;
    HRGN clip = CreateRectRgn(in.left, in.top, in.right, in.bottom);
    SelectClipRgn(dc, clip);
    const RECT arms[] = {{x - 9, y - 1, x - 3, y + 2}, {x + 4, y - 1, x + 10, y + 2},
                         {x - 1, y - 9, x + 2, y - 3}, {x - 1, y + 4, x + 2, y + 10}};
    for (const RECT& arm : arms) FillColour(dc, arm, 0);
    SelectClipRgn(dc, nullptr);
    DeleteObject(clip);
  }

  void Track(int x, int y) {
    RECT client;
    GetClientRect(window_, &client);
    RECT in = Inside(client);
    int width = in.right - in.left, height = in.bottom - in.top;
    if (width <= 1 || height <= 1) return;
    x = std::clamp(x - in.left, 0, width - 1);
    y = std::clamp(y - in.top, 0, height - 1);
    hue_ = static_cast<WORD>(x * 239 / (width - 1));
    saturation_ = static_cast<WORD>(240 - y * 240 / (height - 1));
    InvalidateRect(window_, nullptr, FALSE);
    Notify(window_, CPN_CHANGED);
  }

  HWND window_;
  WORD hue_ = 0, saturation_ = 0;
  std::vector<std::uint32_t> pixels_;
};

// The luminance of the current hue and saturation from white (top) to black, with an arrow
// at the current luminance to its right.
class ColorLuminance {
public:
  static constexpr int kArrowWidth = 8;
  explicit ColorLuminance(HWND window) : window_(window) {}

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_PAINT: return PaintWith(window_, [this](HDC dc, const RECT& client) { Paint(dc, client); });
      case WM_ERASEBKGND: return 1;
      case WM_LBUTTONDOWN:
        SetCapture(window_);
        Track(GET_Y_LPARAM(lParam));
        return 0;
      case WM_MOUSEMOVE:
        if (GetCapture() == window_) Track(GET_Y_LPARAM(lParam));
        return 0;
      case WM_LBUTTONUP:
        if (GetCapture() == window_) ReleaseCapture();
        return 0;
      case CPM_SETHLS:
        hue_ = LOWORD(wParam);
        saturation_ = HIWORD(wParam);
        luminance_ = static_cast<WORD>(std::clamp<LPARAM>(lParam, 0, 240));
        InvalidateRect(window_, nullptr, FALSE);
        return 0;
      case CPM_GETHLS: return luminance_;
    }
    return DefWindowProc(window_, message, wParam, lParam);
  }

private:
  RECT Bar(const RECT& client) const { return RECT{0, 0, client.right - kArrowWidth - 2, client.bottom}; }

  void Paint(HDC dc, const RECT& client) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    RECT bar = Bar(client);
    RECT edge = bar;
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
    RECT in = Inside(bar);
    int width = in.right - in.left, height = in.bottom - in.top;
    if (width <= 0 || height <= 1) return;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
      std::uint32_t pixel = PixelOf(ColorHLSToRGB(hue_, static_cast<WORD>(240 - y * 240 / (height - 1)), saturation_));
      std::fill_n(pixels.begin() + static_cast<std::ptrdiff_t>(y) * width, width, pixel);
    }
    PutPixels(dc, in.left, in.top, width, height, pixels);
    int y = in.top + (240 - luminance_) * (height - 1) / 240;
    int x = bar.right + 1;
    const POINT arrow[] = {{x, y}, {x + kArrowWidth, y - kArrowWidth / 2 - 1}, {x + kArrowWidth, y + kArrowWidth / 2 + 1}};
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Polygon(dc, arrow, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
  }

  void Track(int y) {
    RECT client;
    GetClientRect(window_, &client);
    RECT in = Inside(Bar(client));
    int height = in.bottom - in.top;
    if (height <= 1) return;
    y = std::clamp(y - in.top, 0, height - 1);
    luminance_ = static_cast<WORD>(240 - y * 240 / (height - 1));
    InvalidateRect(window_, nullptr, FALSE);
    Notify(window_, CPN_CHANGED);
  }

  HWND window_;
  WORD hue_ = 0, saturation_ = 0, luminance_ = 0;
};

// The colour (left) and the nearest solid colour (right); on a true-colour desktop they are
// the same.
class ColorSample {
public:
  explicit ColorSample(HWND window) : window_(window) {}

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_PAINT: return PaintWith(window_, [this](HDC dc, const RECT& client) { Paint(dc, client); });
      case WM_ERASEBKGND: return 1;
      case CPM_SETCOLOR:
        colour_ = static_cast<COLORREF>(wParam);
        InvalidateRect(window_, nullptr, FALSE);
        return 0;
    }
    return DefWindowProc(window_, message, wParam, lParam);
  }

private:
  void Paint(HDC dc, const RECT& client) {
    RECT edge = client;
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
    RECT in = Inside(client);
    int middle = (in.left + in.right) / 2;
    FillColour(dc, RECT{in.left, in.top, middle, in.bottom}, colour_);
    FillColour(dc, RECT{middle, in.top, in.right, in.bottom}, GetNearestColor(dc, colour_));
  }

  HWND window_;
  COLORREF colour_ = 0;
};

template <class Part>
void RegisterPart(const char* name) {
  RegisterControlClass(name, &ControlInstanceProc<Part>, CS_DBLCLKS | CS_GLOBALCLASS);
}

}  // namespace

void RegisterColorDialogParts() {
  RegisterPart<ColorSwatches>(WC_COLORSWATCHES);
  RegisterPart<ColorSpectrum>(WC_COLORSPECTRUM);
  RegisterPart<ColorLuminance>(WC_COLORLUMINANCE);
  RegisterPart<ColorSample>(WC_COLORSAMPLE);
}

namespace {
const bool kRegistered = AddSystemClassRegistration(&RegisterColorDialogParts);
}  // namespace
