#include "quillo/components/utilities/VclUtils.h"

#include <cstdint>
#include <cstdlib>

#include "platform/rtl/Clock.h"
#include "platform/rtl/LastError.h"
#include "platform/rtl/Module.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/WinControl.h"
#include "platform/vcl/Screen.h"
#include "quillo/components/utilities/BitmapUtils.h"
#include "quillo/components/utilities/ComponentErrors.h"
#include "quillo/components/utilities/InstanceChannel.h"

TCursor WaitCursor = crHourGlass;

namespace {
int waitCount = 0;
TCursor savedCursor = crDefault;
}  // namespace

void StartWait() {
  if (waitCount++ == 0) {
    savedCursor = Screen()->GetCursor();
    Screen()->SetCursor(WaitCursor);
  }
}

void StopWait() {
  if (waitCount == 0) return;
  if (--waitCount == 0) Screen()->SetCursor(savedCursor);
}

int WaitCount() { return waitCount; }

void Delay(DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    Application()->ProcessMessages();
    if (GetTickCount() - start >= ms) break;
    Sleep(1);  // on a manual clock this moves it on
  }
}

// Words are read one after the other: before a word, control characters, blanks and empty
// quote pairs are skipped; a word runs over printable characters, a double quote opening a
// run that takes everything up to the next one (the quotes are dropped). Counting stops at
// the first empty word. The program is the first word; the parameters are the others joined
// by single spaces, each put back in quotes when it holds a space.
void SplitCommandLine(const AnsiString& cmdLine, AnsiString& exeName, AnsiString& params) {
  exeName.clear();
  params.clear();
  std::vector<AnsiString> words;
  size_t i = 0;
  const size_t n = cmdLine.size();
  for (;;) {
    for (;;) {
      if (i < n && static_cast<unsigned char>(cmdLine[i]) >= 1 && static_cast<unsigned char>(cmdLine[i]) <= 32) {
        ++i;
      } else if (i + 1 < n && cmdLine[i] == '"' && cmdLine[i + 1] == '"') {
        i += 2;
      } else {
        break;
      }
    }
    AnsiString word;
    while (i < n && static_cast<unsigned char>(cmdLine[i]) > 32) {
      if (cmdLine[i] == '"') {
        ++i;
        while (i < n && cmdLine[i] != '"') word += cmdLine[i++];
        if (i < n) ++i;
      } else {
        word += cmdLine[i++];
      }
    }
    if (word.empty()) break;
    words.push_back(word);
  }
  if (words.empty()) return;
  exeName = words[0];
  for (size_t w = 1; w < words.size(); ++w) {
    if (!params.empty()) params += ' ';
    params += words[w].find(' ') != AnsiString::npos ? "\"" + words[w] + "\"" : words[w];
  }
}

AnsiString MinimizeText(const AnsiString& text, TCanvas* canvas, int maxWidth) {
  if (canvas->TextWidth(text) <= maxWidth) return text;
  AnsiString cut = text;
  while (!cut.empty()) {
    cut.pop_back();
    if (canvas->TextWidth(cut + "...") <= maxWidth) return cut + "...";
  }
  return "...";
}

TPoint GetAveCharSize(TCanvas* canvas) {
  AnsiString letters;
  for (char c = 'A'; c <= 'Z'; ++c) letters += c;
  for (char c = 'a'; c <= 'z'; ++c) letters += c;
  const SIZE size = canvas->TextExtent(letters);
  return TPoint(size.cx / 52, size.cy);
}

void WriteText(TCanvas* canvas, const TRect& rect, int dx, int dy, const AnsiString& text, TCellAlign alignment,
               bool wordWrap, bool rightToLeft) {
  HDC dc = canvas->GetHandle();
  const COLORREF brush = ColorToRGB(canvas->GetBrush()->GetColor());
  if (!wordWrap && GetNearestColor(dc, brush) == brush && text.find('\r') == AnsiString::npos) {
    int x = rect.left + dx;
    if (alignment == TCellAlign::Right)
      x = rect.right - canvas->TextWidth(text) - 3;
    else if (alignment == TCellAlign::Center)
      x = rect.left + (WidthOf(rect) - canvas->TextWidth(text)) / 2;
    canvas->TextRect(rect, x, rect.top + dy, text);
    return;
  }
  const int w = WidthOf(rect), h = HeightOf(rect);
  if (w <= 0 || h <= 0) return;
  auto buffer = MakeObject<TBitmap>();
  buffer->SetSize(w, h);
  TCanvas* b = buffer->GetCanvas();
  b->GetFont()->Assign(canvas->GetFont());
  b->GetBrush()->Assign(canvas->GetBrush());
  b->FillRect(TRect(0, 0, w, h));
  SetBkMode(b->GetHandle(), TRANSPARENT);
  RECT r{dx, dy, w - 1, h - 1};
  UINT flags = DT_NOPREFIX | (wordWrap ? DT_WORDBREAK : 0) | (rightToLeft ? DT_RTLREADING : 0);
  if (alignment == TCellAlign::Right) flags |= DT_RIGHT;
  if (alignment == TCellAlign::Center) flags |= DT_CENTER;
  DrawText(b->GetHandle(), text.c_str(), static_cast<int>(text.size()), &r, flags);
  canvas->CopyRect(rect, b, TRect(0, 0, w, h));
}

void DrawCellTextEx(TCanvas* canvas, const TRect& rect, const AnsiString& text, TCellAlign alignment,
                    TCellVAlign vertical, bool wordWrap, bool rightToLeft) {
  const int textHeight = canvas->TextHeight("W");
  int dy = 2;
  if (vertical == TCellVAlign::Center)
    dy = std::max(1, (HeightOf(rect) - textHeight) / 2);
  else if (vertical == TCellVAlign::Bottom)
    dy = std::max(2, HeightOf(rect) - textHeight);
  WriteText(canvas, rect, 2, dy, text, alignment, wordWrap, rightToLeft);
}

void DrawCellText(TCanvas* canvas, const TRect& rect, const AnsiString& text, TCellAlign alignment,
                  TCellVAlign vertical, bool rightToLeft) {
  DrawCellTextEx(canvas, rect, text, alignment, vertical, vertical == TCellVAlign::Bottom, rightToLeft);
}

void DrawCellBitmap(TCanvas* canvas, const TRect& rect, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  canvas->Draw(rect.left + (WidthOf(rect) - graphic->GetWidth()) / 2,
               rect.top + (HeightOf(rect) - graphic->GetHeight()) / 2, graphic);
}

namespace {

TPoint DialogBaseUnits() {
  auto bitmap = MakeObject<TBitmap>();
  bitmap->SetSize(1, 1);
  return GetAveCharSize(bitmap->GetCanvas());
}

}  // namespace

int DialogUnitsToPixelsX(int units) { return units * DialogBaseUnits().x / 4; }
int DialogUnitsToPixelsY(int units) { return units * DialogBaseUnits().y / 8; }
int PixelsToDialogUnitsX(int pixels) { return pixels * 4 / std::max(1, DialogBaseUnits().x); }
int PixelsToDialogUnitsY(int pixels) { return pixels * 8 / std::max(1, DialogBaseUnits().y); }

void AssignBitmapCell(TGraphic* source, TBitmap* dest, int cols, int rows, int index) {
  cols = std::max(cols, 1);
  rows = std::max(rows, 1);
  index = std::max(index, 0);
  const int w = source->GetWidth() / cols, h = source->GetHeight() / rows;
  const int left = (index % cols) * w, top = (index / cols) * h;
  dest->SetSize(w, h);
  if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
    dest->GetCanvas()->CopyRect(TRect(0, 0, w, h), bitmap->GetCanvas(), TRect(left, top, left + w, top + h));
    dest->SetTransparentColor(bitmap->GetTransparentColor());
  } else {
    dest->GetCanvas()->GetBrush()->SetColor(static_cast<TColor>(0xC0C0C0));
    dest->GetCanvas()->FillRect(TRect(0, 0, w, h));
    dest->GetCanvas()->Draw(-left, -top, source);
  }
  dest->SetTransparent(source->GetTransparent());
}

namespace {

// While the parent paints itself for a copy, its windowless children keep out of it: each
// has its paint messages swallowed and loses csOpaque (which would make the parent leave its
// rectangle unpainted). Put back when the scope ends, whatever happens.
class ChildrenPaintMuted {
public:
  explicit ChildrenPaintMuted(TWinControl* parent) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
      TControl* child = parent->Controls(i);
      if (dynamic_cast<TWinControl*>(child)) continue;
      saved_.push_back({child, child->WindowProc, child->ControlStyle()});
      TWndMethod original = child->WindowProc;
      child->WindowProc = [original](TMessage& m) {
        if (m.Msg == WM_PAINT) return;
        original(m);
      };
      TControlStyle style = child->ControlStyle();
      style >> csOpaque;
      child->SetControlStyle(style);
    }
  }
  ~ChildrenPaintMuted() {
    for (const Saved& s : saved_) {
      s.control->WindowProc = s.windowProc;
      s.control->SetControlStyle(s.style);
    }
  }
  ChildrenPaintMuted(const ChildrenPaintMuted&) = delete;
  ChildrenPaintMuted& operator=(const ChildrenPaintMuted&) = delete;

private:
  struct Saved {
    TControl* control;
    TWndMethod windowProc;
    TControlStyle style;
  };
  std::vector<Saved> saved_;
};

class PaintCopyMark {
public:
  explicit PaintCopyMark(TControl* parent) : parent_(parent), old_(parent->ControlState()) {
    TControlState state = old_;
    state << csPaintCopy;
    parent_->SetControlState(state);
  }
  ~PaintCopyMark() {
    TControlState state = parent_->ControlState();
    if (!old_.Contains(csPaintCopy)) state >> csPaintCopy;
    parent_->SetControlState(state);
  }
  PaintCopyMark(const PaintCopyMark&) = delete;
  PaintCopyMark& operator=(const PaintCopyMark&) = delete;

private:
  TControl* parent_;
  TControlState old_;
};

}  // namespace

void CopyParentImage(TControl* control, TCanvas* dest) {
  TWinControl* parent = control ? control->GetParent() : nullptr;
  if (!parent || !dest) return;
  const TRect bounds = control->GetBoundsRect();
  HDC dc = dest->GetHandle();
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, 0, 0, bounds.Width(), bounds.Height());
  OffsetViewportOrgEx(dc, -bounds.left, -bounds.top, nullptr);
  {
    PaintCopyMark mark(parent);
    {
      ChildrenPaintMuted muted(parent);
      parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
      parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
    // The windowless siblings below the control, each with its own origin and clip.
    for (int i = 0; i < parent->ControlCount(); ++i) {
      TControl* sibling = parent->Controls(i);
      if (sibling == control) break;
      if (dynamic_cast<TWinControl*>(sibling) || !sibling->GetVisible()) continue;
      const TRect r = sibling->GetBoundsRect();
      TRect overlap;
      if (!IntersectRect(&overlap, &r, &bounds)) continue;
      const int siblingSaved = SaveDC(dc);
      OffsetViewportOrgEx(dc, r.left, r.top, nullptr);
      IntersectClipRect(dc, 0, 0, r.Width(), r.Height());
      sibling->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
      RestoreDC(dc, siblingSaved);
    }
  }
  RestoreDC(dc, saved);
}

void MergeForm(TWinControl* control, TCustomForm* form, TAlign align, bool show) {
  form->SetBorderStyle(bsNone);
  form->SetBorderIcons(TBorderIcons{});
  form->SetParent(control);
  if (align != alNone) {
    form->SetAlign(align);
  } else {
    const TRect client = control->GetClientRect();
    form->SetBounds(form->GetLeft() + client.left, form->GetTop() + client.top, form->GetWidth(), form->GetHeight());
  }
  form->SetAutoScroll(false);
  form->SetVisible(show);
}

void GradientFillRect(TCanvas* canvas, const TRect& rect, TColor startColor, TColor endColor,
                      TFillDirection direction, int colors) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  TBrush* brush = canvas->GetBrush();
  const TColor savedColor = brush->GetColor();
  if (colors < 2) {
    brush->SetColor(startColor);
    canvas->FillRect(rect);
    brush->SetColor(savedColor);
    return;
  }
  COLORREF from = ColorToRGB(startColor), to = ColorToRGB(endColor);
  if (direction == fdBottomToTop || direction == fdRightToLeft) std::swap(from, to);
  const bool vertical = direction == fdTopToBottom || direction == fdBottomToTop;
  const int extent = vertical ? HeightOf(rect) : WidthOf(rect);
  const int n = std::max(2, std::min(colors, extent));
  const int band = extent / n;
  auto channel = [](COLORREF c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
  for (int i = 0; i < n; ++i) {
    int rgb[3];
    for (int k = 0; k < 3; ++k) {
      const int base = channel(from, 8 * k);
      rgb[k] = base + MulDiv(i, channel(to, 8 * k) - base, n - 1);
    }
    brush->SetColor(static_cast<TColor>(rgb[0] | (rgb[1] << 8) | (rgb[2] << 16)));
    TRect r = rect;
    if (vertical) {
      r.top = rect.top + i * band;
      r.bottom = r.top + band;
    } else {
      r.left = rect.left + i * band;
      r.right = r.left + band;
    }
    canvas->FillRect(r);
  }
  if (extent % n != 0) {
    brush->SetColor(static_cast<TColor>(to));
    TRect r = rect;
    if (vertical)
      r.top = rect.top + n * band;
    else
      r.left = rect.left + n * band;
    canvas->FillRect(r);
  }
  brush->SetColor(savedColor);
}

TOwnedPtr<TBitmap> CreateTwoColorsBrushPattern(TColor color1, TColor color2) {
  auto bitmap = MakeObject<TBitmap>();
  bitmap->SetSize(8, 8);
  TCanvas* canvas = bitmap->GetCanvas();
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) canvas->SetPixel(x, y, (x % 2) == (y % 2) ? color2 : color1);
  return bitmap;
}

bool PointInRect(const TPoint& p, const TRect& r) {
  return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom;
}

bool PointInPolyRgn(const TPoint& p, const std::vector<TPoint>& points) {
  int winding = 0;
  const size_t n = points.size();
  for (size_t i = 0; i < n; ++i) {
    const TPoint& a = points[i];
    const TPoint& b = points[(i + 1) % n];
    const long long cross = static_cast<long long>(b.x - a.x) * (p.y - a.y) - static_cast<long long>(p.x - a.x) * (b.y - a.y);
    if (a.y <= p.y) {
      if (b.y > p.y && cross > 0) ++winding;
    } else if (b.y <= p.y && cross < 0) {
      --winding;
    }
  }
  return winding != 0;
}

void CenterControl(TControl* control) {
  int x = 0, y = 0;
  if (TWinControl* parent = control->GetParent()) {
    const TRect client = parent->GetClientRect();
    x = (WidthOf(client) - control->GetWidth()) / 2;
    y = (HeightOf(client) - control->GetHeight()) / 2;
  } else {
    x = (Screen()->GetWidth() - control->GetWidth()) / 2;
    y = (Screen()->GetHeight() - control->GetHeight()) / 2;
  }
  control->SetBounds(std::max(0, x), std::max(0, y), control->GetWidth(), control->GetHeight());
}

void CenterWindow(HWND window) {
  RECT r;
  if (!GetWindowRect(window, &r)) return;
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  int x = (sw - w) / 2, y = (sh - h) / 2;
  x = std::max(0, std::min(x, sw - w));
  y = std::max(0, std::min(y, sh - h));
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TRect ScreenWorkArea() {
  RECT r{};
  if (SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0)) return TRect(r.left, r.top, r.right, r.bottom);
  return TRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

bool LiesOffWorkArea(int left, int top, int width, int height) {
  const TRect area = ScreenWorkArea();
  const std::int64_t x = left, y = top;
  return x >= area.right || x + width <= area.left || y >= area.bottom || y + height <= area.top;
}

AnsiString WindowClassName(HWND window) {
  char name[256] = {};
  const int n = GetClassName(window, name, sizeof name);
  return AnsiString(name, n > 0 ? static_cast<size_t>(n) : 0);
}

void ShowMDIClientEdge(HWND clientHandle, bool showEdge) {
  if (!clientHandle) return;
  const LONG_PTR style = GetWindowLongPtr(clientHandle, GWL_EXSTYLE);
  const bool hasEdge = (style & WS_EX_CLIENTEDGE) != 0;
  if (hasEdge == showEdge) return;
  SetWindowLongPtr(clientHandle, GWL_EXSTYLE, showEdge ? style | WS_EX_CLIENTEDGE : style & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
  SetWindowPos(clientHandle, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOOWNERZORDER | SWP_NOSIZE | SWP_NOZORDER);
}

BOOL ShowWinNoAnimate(HWND window, int cmdShow) { return ShowWindow(window, cmdShow); }

void SwitchToWindow(HWND window, bool restore) {
  if (!IsWindowEnabled(window)) return;
  if (restore && !IsZoomed(window)) SendMessage(window, WM_SYSCOMMAND, SC_RESTORE, 0);
  SetFocus(window);
}

void ActivateWindow(HWND window) {
  ShowWinNoAnimate(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
}

HWND FindPrevInstance(const AnsiString& mainFormClass, const AnsiString& title) {
  if (mainFormClass.empty() && title.empty()) return nullptr;
  return FindWindow(mainFormClass.empty() ? nullptr : mainFormClass.c_str(), title.empty() ? nullptr : title.c_str());
}

namespace {

// A design environment's main window among the top-level windows (this desktop has one UI
// thread, so every top-level window is of the caller's thread).
bool DesignEnvironmentRunning() {
  bool found = false;
  EnumWindows(
      [&found](HWND w, LPARAM) -> BOOL {
        if (WindowClassName(w) == "TAppBuilder") found = true;
        return !found;
      },
      0);
  return found;
}

}  // namespace

bool ActivatePrevInstance(const AnsiString& mainFormClass, const AnsiString& title) {
  return ActivateInstanceWindow(mainFormClass, title) || RequestInstanceActivation(mainFormClass, title);
}

bool ActivateInstanceWindow(const AnsiString& mainFormClass, const AnsiString& title) {
  HWND window = FindPrevInstance(mainFormClass, title);
  if (!window) return false;
  HWND owner = window;
  while (HWND next = GetWindow(owner, GW_OWNER)) owner = next;
  if (WindowClassName(owner) == "TApplication") {
    if (DesignEnvironmentRunning()) return false;
    // A minimised application (its window shown as an icon) restores its own forms. The
    // window keeps its minimised style while hidden after a restore, so visibility counts too.
    if (IsIconic(owner) && IsWindowVisible(owner)) {
      SendMessage(owner, WM_SYSCOMMAND, SC_RESTORE, 0);
      return true;
    }
    // The application window stays hidden while the application is not minimised (showing
    // it would put an empty window on the desktop); the window found comes forward instead.
    ActivateWindow(window);
  } else {
    ActivateWindow(owner);
    if (window != owner && IsWindowVisible(window) && IsWindowEnabled(window)) SetForegroundWindow(window);
  }
  return true;
}

bool IsForegroundTask() { return GetActiveWindow() != nullptr; }

void KillMessage(HWND window, UINT msg) {
  MSG m{};
  if (PeekMessage(&m, window, msg, msg, PM_REMOVE) && m.message == WM_QUIT) PostQuitMessage(static_cast<int>(m.wParam));
}

int MsgBox(const AnsiString& caption, const AnsiString& text, UINT flags) {
  return Application()->MessageBox(text, caption, flags);
}

void NotImplemented() {
  Screen()->SetCursor(crDefault);
  MessageDlg("Function not yet implemented", mtError, TMsgDlgButtons{mbOK}, 0);
  Abort();
}

void PaintInverseRect(const TPoint& p1, const TPoint& p2) {
  HDC dc = GetDC(nullptr);
  RECT r{std::min(p1.x, p2.x), std::min(p1.y, p2.y), std::max(p1.x, p2.x), std::max(p1.y, p2.y)};
  InvertRect(dc, &r);
  ReleaseDC(nullptr, dc);
}

void DrawInvertFrame(const TRect& rect, int width) {
  HDC dc = GetDC(nullptr);
  RECT r{rect.left, rect.top, rect.right, rect.bottom};
  for (int i = 0; i < width && r.right > r.left && r.bottom > r.top; ++i) {
    DrawFocusRect(dc, &r);
    InflateRect(&r, -1, -1);
  }
  ReleaseDC(nullptr, dc);
}

HMODULE LoadDLL(const AnsiString& name) {
  HMODULE module = LoadLibrary(name.c_str());
  if (!module) RaiseWin32Error(GetLastError());
  return module;
}

bool RegisterServer(const AnsiString& moduleName) {
  HMODULE module = LoadLibrary(moduleName.c_str());
  if (!module) return false;
  using RegisterFunction = long (*)();
  FARPROC entry = GetProcAddress(module, "DllRegisterServer");
  if (entry) reinterpret_cast<RegisterFunction>(entry)();
  FreeLibrary(module);
  return entry != nullptr;
}

AnsiString ResourceNameText(LPCSTR resName) {
  const auto id = reinterpret_cast<std::uintptr_t>(resName);
  return id <= 0xFFFF ? IntToStr(static_cast<int>(id)) : AnsiString(resName);
}

TCursor DefineCursor(HINSTANCE module, LPCSTR resName) {
  HCURSOR cursor = LoadCursor(module, resName);
  if (!cursor) cursor = LoadAniCursor(module, resName);
  if (!cursor) throw EResNotFound(Format("Resource %s not found", ResourceNameText(resName).c_str()));
  const HCURSOR standard = Screen()->Cursors(crDefault);
  for (int number = 100; number < 32768; ++number) {
    if (Screen()->Cursors(static_cast<TCursor>(number)) == standard) {
      Screen()->SetCursors(static_cast<TCursor>(number), cursor);
      return static_cast<TCursor>(number);
    }
  }
  DestroyCursor(cursor);
  throw EOutOfResources("Out of system resources");
}

QUILLO_DEFINE_CLASS(TScreenCanvas, TCanvas)

TScreenCanvas::TScreenCanvas() = default;

TScreenCanvas::~TScreenCanvas() { FreeHandle(); }

void TScreenCanvas::CreateHandle() {
  if (!dc_) dc_ = GetDC(nullptr);
  SetHandle(dc_);
}

void TScreenCanvas::FreeHandle() {
  if (!dc_) return;
  SetHandle(nullptr);
  ReleaseDC(nullptr, dc_);
  dc_ = nullptr;
}

void TScreenCanvas::SetOrigin(int x, int y) { SetWindowOrgEx(GetHandle(), -x, -y, nullptr); }

void RaiseWin32Error(DWORD code) { RaiseLastOSError(code); }

void CheckWin32(bool ok) {
  if (!ok) RaiseWin32Error(GetLastError());
}

AnsiString GetEnvVar(const AnsiString& name) {
  const char* value = std::getenv(name.c_str());
  return value ? AnsiString(value) : AnsiString();
}

AnsiString AnsiUpperFirstChar(const AnsiString& s) {
  AnsiString out = LowerCase(s);
  if (!out.empty()) out[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(out[0])));
  return out;
}

AnsiString DropT(const AnsiString& s) {
  if (s.size() > 1 && (s[0] == 'T' || s[0] == 't')) return s.substr(1);
  return s;
}
