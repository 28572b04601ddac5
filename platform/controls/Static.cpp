// The STATIC class: one message switch into a handler per message; the state of each static
// lives in a record owned by the class's table and freed at WM_NCDESTROY.

#include "platform/controls/Static.h"
#include "platform/controls/ControlPaint.h"

#include <map>
#include <memory>

#include "platform/controls/Button.h"
#include "platform/rtl/Everlasting.h"
#include "platform/user/SystemClasses.h"

namespace {

struct StaticData {
  HFONT font = nullptr;
  void* image = nullptr;  // the icon of SS_ICON, the bitmap of SS_BITMAP
};

std::map<HWND, std::unique_ptr<StaticData>>& Statics() {
  static Everlasting<std::map<HWND, std::unique_ptr<StaticData>>> statics;
  return *statics;
}

StaticData& Data(HWND window) {
  auto& slot = Statics()[window];
  if (!slot) slot = std::make_unique<StaticData>();
  return *slot;
}

DWORD Style(HWND window) { return static_cast<DWORD>(GetWindowLongPtr(window, GWL_STYLE)); }
DWORD Type(HWND window) { return Style(window) & SS_TYPEMASK; }

bool IsTextType(DWORD type) {
  return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
}

void Notify(HWND window, WORD code) {
  if (!(Style(window) & SS_NOTIFY)) return;
  if (HWND parent = GetParent(window))
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), code), reinterpret_cast<LPARAM>(window));
}

std::string TextOf(HWND window) {
  std::string text(GetWindowTextLength(window) + 1, '\0');
  GetWindowText(window, text.data(), static_cast<int>(text.size()));
  text.resize(text.find('\0'));
  return text;
}

SIZE ImageSize(HWND window) {
  const StaticData& data = Data(window);
  if (!data.image) return SIZE{0, 0};
  if (Type(window) == SS_ICON) return SIZE{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
  BITMAP bm{};
  GetObject(static_cast<HGDIOBJ>(data.image), sizeof(bm), &bm);
  return SIZE{bm.bmWidth, bm.bmHeight};
}

// An image static takes its image's size, unless it centres the image in its own.
void FitToImage(HWND window) {
  if (Style(window) & SS_CENTERIMAGE) return;
  SIZE size = ImageSize(window);
  if (size.cx > 0 && size.cy > 0)
    SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HBRUSH AskColours(HWND window, HDC dc) {
  HWND parent = GetParent(window);
  HBRUSH brush = nullptr;
  if (parent)
    brush = reinterpret_cast<HBRUSH>(
        SendMessage(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window)));
  if (!brush)
    brush = reinterpret_cast<HBRUSH>(DefWindowProc(parent ? parent : window, WM_CTLCOLORSTATIC,
                                                   reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window)));
  return brush;
}

UINT TextFormat(DWORD style) {
  UINT format = DT_EXPANDTABS;
  switch (style & SS_TYPEMASK) {
    case SS_LEFT: format |= DT_LEFT | DT_WORDBREAK; break;
    case SS_CENTER: format |= DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: format |= DT_RIGHT | DT_WORDBREAK; break;
    case SS_SIMPLE: format = DT_LEFT | DT_SINGLELINE | DT_NOCLIP; break;
    case SS_LEFTNOWORDWRAP: format |= DT_LEFT; break;
  }
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  if ((style & SS_CENTERIMAGE) && (style & SS_TYPEMASK) != SS_SIMPLE) {
    format &= ~DT_WORDBREAK;
    format |= DT_VCENTER | DT_SINGLELINE;
  }
  switch (style & SS_ELLIPSISMASK) {
    case SS_ENDELLIPSIS: format |= DT_END_ELLIPSIS | DT_SINGLELINE; format &= ~DT_WORDBREAK; break;
    case SS_PATHELLIPSIS: format |= DT_PATH_ELLIPSIS | DT_SINGLELINE; format &= ~DT_WORDBREAK; break;
    case SS_WORDELLIPSIS: format |= DT_WORD_ELLIPSIS | DT_SINGLELINE; format &= ~DT_WORDBREAK; break;
  }
  return format;
}

void PaintText(HWND window, HDC dc, const RECT& client) {
  HBRUSH brush = AskColours(window, dc);
  DWORD style = Style(window);
  if ((style & SS_TYPEMASK) != SS_SIMPLE || brush) FillRect(dc, &client, brush);
  HFONT font = Data(window).font ? Data(window).font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HGDIOBJ oldFont = SelectObject(dc, font);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  if (!IsWindowEnabled(window)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  std::string text = TextOf(window);
  RECT r = client;
  DrawText(dc, text.c_str(), -1, &r, TextFormat(style));
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldFont);
}

void PaintImage(HWND window, HDC dc, const RECT& client) {
  HBRUSH brush = AskColours(window, dc);
  FillRect(dc, &client, brush);
  const StaticData& data = Data(window);
  if (!data.image) return;
  SIZE size = ImageSize(window);
  int x = client.left, y = client.top;
  if (Style(window) & SS_CENTERIMAGE) {
    x += (client.right - client.left - size.cx) / 2;
    y += (client.bottom - client.top - size.cy) / 2;
  }
  if (Type(window) == SS_ICON) {
    DrawIconEx(dc, x, y, static_cast<HICON>(data.image), 0, 0, 0, nullptr, DI_NORMAL);
    return;
  }
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, static_cast<HGDIOBJ>(data.image));
  BitBlt(dc, x, y, size.cx, size.cy, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

void PaintShape(HWND window, HDC dc, RECT client) {
  // Frames and lines stand on the parent's background.
  if (Type(window) >= SS_BLACKFRAME && Type(window) != SS_USERITEM) FillRect(dc, &client, AskColours(window, dc));
  int colour = -1;
  bool frame = false;
  switch (Type(window)) {
    case SS_BLACKRECT: colour = COLOR_WINDOWFRAME; break;
    case SS_GRAYRECT: colour = COLOR_BTNSHADOW; break;
    case SS_WHITERECT: colour = COLOR_BTNHIGHLIGHT; break;
    case SS_BLACKFRAME: colour = COLOR_WINDOWFRAME; frame = true; break;
    case SS_GRAYFRAME: colour = COLOR_BTNSHADOW; frame = true; break;
    case SS_WHITEFRAME: colour = COLOR_BTNHIGHLIGHT; frame = true; break;
    case SS_ETCHEDHORZ: DrawEdge(dc, &client, EDGE_ETCHED, BF_TOP); return;
    case SS_ETCHEDVERT: DrawEdge(dc, &client, EDGE_ETCHED, BF_LEFT); return;
    case SS_ETCHEDFRAME: DrawEdge(dc, &client, EDGE_ETCHED, BF_RECT); return;
  }
  if (colour < 0) return;
  if (frame) FrameRect(dc, &client, GetSysColorBrush(colour));
  else FillRect(dc, &client, GetSysColorBrush(colour));
}

void PaintOwnerDrawn(HWND window, HDC dc, const RECT& client) {
  DRAWITEMSTRUCT dis;
  dis.CtlType = ODT_STATIC;
  dis.CtlID = static_cast<UINT>(GetDlgCtrlID(window));
  dis.itemAction = ODA_DRAWENTIRE;
  dis.itemState = IsWindowEnabled(window) ? 0 : ODS_DISABLED;
  dis.hwndItem = window;
  dis.hDC = dc;
  dis.rcItem = client;
  if (HWND parent = GetParent(window))
    SendMessage(parent, WM_DRAWITEM, static_cast<WPARAM>(dis.CtlID), reinterpret_cast<LPARAM>(&dis));
}

void Paint(HWND window, HDC dc) {
  RECT client;
  GetClientRect(window, &client);
  DWORD type = Type(window);
  if (IsTextType(type)) PaintText(window, dc, client);
  else if (type == SS_ICON || type == SS_BITMAP) PaintImage(window, dc, client);
  else if (type == SS_OWNERDRAW) PaintOwnerDrawn(window, dc, client);
  else PaintShape(window, dc, client);
}

LRESULT OnNcCreate(HWND window, LPARAM lParam) {
  Data(window);
  // A sunken static is one with a static edge.
  if (Style(window) & SS_SUNKEN)
    SetWindowLongPtr(window, GWL_EXSTYLE, GetWindowLongPtr(window, GWL_EXSTYLE) | WS_EX_STATICEDGE);
  return DefWindowProc(window, WM_NCCREATE, 0, lParam);
}

void OnCreate(HWND window, const CREATESTRUCT* cs) {
  DWORD type = Type(window);
  if ((type != SS_ICON && type != SS_BITMAP) || !cs || !cs->lpszName) return;
  // The window text of an image static names its resource.
  HINSTANCE instance = cs->hInstance;
  if (type == SS_ICON) Data(window).image = LoadIcon(instance, cs->lpszName);
  else Data(window).image = LoadBitmap(instance, cs->lpszName);
  FitToImage(window);
}

LRESULT OnSetImage(HWND window, WPARAM kind, LPARAM image) {
  DWORD type = Type(window);
  if ((kind == IMAGE_ICON) != (type == SS_ICON) || (kind == IMAGE_BITMAP) != (type == SS_BITMAP)) return 0;
  StaticData& data = Data(window);
  void* old = data.image;
  data.image = reinterpret_cast<void*>(image);
  FitToImage(window);
  InvalidateRect(window, nullptr, TRUE);
  return reinterpret_cast<LRESULT>(old);
}

LRESULT StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: return OnNcCreate(window, lParam);
    case WM_CREATE: OnCreate(window, reinterpret_cast<const CREATESTRUCT*>(lParam)); return 0;
    case WM_NCDESTROY: Statics().erase(window); break;
    case WM_NCHITTEST: return (Style(window) & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: case WM_PRINTCLIENT: return PaintControl(window, wParam, [window](HDC dc, const RECT&) { Paint(window, dc); });
    case WM_SETFONT:
      Data(window).font = reinterpret_cast<HFONT>(wParam);
      if (lParam) InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(Data(window).font);
    case WM_SETTEXT: {
      if (Type(window) == SS_ICON || Type(window) == SS_BITMAP) return TRUE;
      LRESULT result = DefWindowProc(window, message, wParam, lParam);
      InvalidateRect(window, nullptr, TRUE);
      return result;
    }
    case WM_ENABLE:
      InvalidateRect(window, nullptr, TRUE);
      Notify(window, wParam ? STN_ENABLE : STN_DISABLE);
      return 0;
    case WM_LBUTTONDOWN: Notify(window, STN_CLICKED); return 0;
    case WM_LBUTTONDBLCLK: Notify(window, STN_DBLCLK); return 0;
    case STM_SETICON: return OnSetImage(window, IMAGE_ICON, static_cast<LPARAM>(wParam));
    case STM_GETICON: return Type(window) == SS_ICON ? reinterpret_cast<LRESULT>(Data(window).image) : 0;
    case STM_SETIMAGE: return OnSetImage(window, wParam, lParam);
    case STM_GETIMAGE: {
      DWORD type = Type(window);
      bool matches = (wParam == IMAGE_ICON && type == SS_ICON) || (wParam == IMAGE_BITMAP && type == SS_BITMAP);
      return matches ? reinterpret_cast<LRESULT>(Data(window).image) : 0;
    }
  }
  return DefWindowProc(window, message, wParam, lParam);
}

}  // namespace

void RegisterStaticClass() {
  RegisterControlClass(WC_STATIC, &StaticProc, CS_DBLCLKS | CS_GLOBALCLASS);
}

namespace {
const bool kRegistered = AddSystemClassRegistration(&RegisterStaticClass);
}  // namespace
