// The BUTTON class: one message switch into a handler per message; the state of each button
// lives in a record owned by the class's table and freed at WM_NCDESTROY.

#include "platform/controls/Button.h"
#include "platform/controls/ControlPaint.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "platform/rtl/Everlasting.h"
#include "platform/user/Dialog.h"
#include "platform/user/SystemClasses.h"

namespace {

struct ButtonData {
  LRESULT check = BST_UNCHECKED;
  bool pushed = false;    // drawn pressed (BST_PUSHED)
  bool focused = false;   // has the focus (BST_FOCUS)
  bool tracking = false;  // the left button went down on it and the mouse is captured
  bool spaceDown = false;
  bool focusByMouse = false;  // the focus comes from a press on the button
  HFONT font = nullptr;
  void* image = nullptr;
  WPARAM imageKind = IMAGE_BITMAP;
};

std::map<HWND, std::unique_ptr<ButtonData>>& Buttons() {
  static Everlasting<std::map<HWND, std::unique_ptr<ButtonData>>> buttons;
  return *buttons;
}

ButtonData& Data(HWND window) {
  auto& slot = Buttons()[window];
  if (!slot) slot = std::make_unique<ButtonData>();
  return *slot;
}

DWORD Style(HWND window) { return static_cast<DWORD>(GetWindowLongPtr(window, GWL_STYLE)); }
DWORD Type(HWND window) { return Style(window) & BS_TYPEMASK; }

bool IsCheckType(DWORD type) {
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
}
bool IsRadioType(DWORD type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }
bool IsPushType(DWORD type) { return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_PUSHBOX; }

void Notify(HWND window, WORD code) {
  HWND parent = GetParent(window);
  if (!parent) return;
  SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), code), reinterpret_cast<LPARAM>(window));
}

void Redraw(HWND window) {
  InvalidateRect(window, nullptr, FALSE);
}

HFONT FontOf(HWND window) {
  HFONT font = Data(window).font;
  return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// --- Painting -------------------------------------------------------------------------------

UINT TextFormat(DWORD style, bool pushLook) {
  UINT format = 0;
  switch (style & BS_CENTER) {
    case BS_LEFT: format |= DT_LEFT; break;
    case BS_RIGHT: format |= DT_RIGHT; break;
    case BS_CENTER: format |= DT_CENTER; break;
    default: format |= pushLook ? DT_CENTER : DT_LEFT; break;
  }
  if (!(style & BS_MULTILINE)) format |= DT_SINGLELINE;
  else format |= DT_WORDBREAK;
  switch (style & BS_VCENTER) {
    case BS_TOP: format |= DT_TOP; break;
    case BS_BOTTOM: format |= DT_BOTTOM; break;
    default: format |= DT_VCENTER; break;
  }
  return format;
}

// The rectangle the label (text or image) takes inside area, as the format places it.
RECT LabelRect(HDC dc, HWND window, const RECT& area, UINT format) {
  const ButtonData& data = Data(window);
  DWORD style = Style(window);
  RECT r = area;
  int width = 0, height = 0;
  if ((style & (BS_BITMAP | BS_ICON)) && data.image) {
    if (data.imageKind == IMAGE_ICON) {
      width = GetSystemMetrics(SM_CXICON);
      height = GetSystemMetrics(SM_CYICON);
    } else {
      BITMAP bm{};
      GetObject(static_cast<HGDIOBJ>(data.image), sizeof(bm), &bm);
      width = bm.bmWidth;
      height = bm.bmHeight;
    }
  } else {
    std::string text(GetWindowTextLength(window) + 1, '\0');
    GetWindowText(window, text.data(), static_cast<int>(text.size()));
    text.resize(text.find('\0'));
    if (text.empty()) return RECT{area.left, area.top, area.left, area.top};
    RECT calc{0, 0, area.right - area.left, 0};
    DrawText(dc, text.c_str(), -1, &calc, (format & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT);
    width = std::min<int>(calc.right - calc.left, area.right - area.left);
    height = std::min<int>(calc.bottom - calc.top, area.bottom - area.top);
  }
  if (format & DT_CENTER) r.left = area.left + (area.right - area.left - width) / 2;
  else if (format & DT_RIGHT) r.left = area.right - width;
  if (format & DT_VCENTER) r.top = area.top + (area.bottom - area.top - height) / 2;
  else if (format & DT_BOTTOM) r.top = area.bottom - height;
  r.right = r.left + width;
  r.bottom = r.top + height;
  return r;
}

void DrawLabel(HDC dc, HWND window, const RECT& where, UINT format) {
  const ButtonData& data = Data(window);
  DWORD style = Style(window);
  bool enabled = IsWindowEnabled(window);
  if ((style & (BS_BITMAP | BS_ICON)) && data.image) {
    if (data.imageKind == IMAGE_ICON) {
      DrawIconEx(dc, where.left, where.top, static_cast<HICON>(data.image), 0, 0, 0, nullptr, DI_NORMAL);
    } else {
      HDC memory = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(memory, static_cast<HGDIOBJ>(data.image));
      BitBlt(dc, where.left, where.top, where.right - where.left, where.bottom - where.top, memory, 0, 0, SRCCOPY);
      SelectObject(memory, old);
      DeleteDC(memory);
    }
    return;
  }
  std::string text(GetWindowTextLength(window) + 1, '\0');
  GetWindowText(window, text.data(), static_cast<int>(text.size()));
  text.resize(text.find('\0'));
  RECT r = where;
  int oldMode = SetBkMode(dc, TRANSPARENT);
  // Clipped to its place: a text too long for the button stays off the box beside it.
  UINT drawFormat = format & ~(DT_VCENTER | DT_BOTTOM | DT_CENTER | DT_RIGHT);
  if (format & DT_CENTER) drawFormat |= DT_CENTER;
  if (format & DT_RIGHT) drawFormat |= DT_RIGHT;
  if (!enabled) {
    // The engraved look of disabled text: a highlight below and right, the shadow on top.
    COLORREF old = SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    RECT below = r;
    OffsetRect(&below, 1, 1);
    DrawText(dc, text.c_str(), -1, &below, drawFormat);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawText(dc, text.c_str(), -1, &r, drawFormat);
    SetTextColor(dc, old);
  } else {
    DrawText(dc, text.c_str(), -1, &r, drawFormat);
  }
  SetBkMode(dc, oldMode);
}

void DrawFocus(HDC dc, RECT r) {
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  DrawFocusRect(dc, &r);
}

HBRUSH AskColours(HWND window, HDC dc, UINT message) {
  HWND parent = GetParent(window);
  HBRUSH brush = nullptr;
  if (parent) brush = reinterpret_cast<HBRUSH>(SendMessage(parent, message, reinterpret_cast<WPARAM>(dc),
                                                           reinterpret_cast<LPARAM>(window)));
  if (!brush) brush = reinterpret_cast<HBRUSH>(DefWindowProc(parent ? parent : window, message,
                                                             reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(window)));
  return brush;
}

void PaintPushLook(HDC dc, HWND window, const RECT& client, bool pressed) {
  ButtonData& data = Data(window);
  DWORD type = Type(window);
  AskColours(window, dc, WM_CTLCOLORBTN);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  RECT r = client;
  bool isDefault = type == BS_DEFPUSHBUTTON;
  if (isDefault) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&r, -1, -1);
  }
  if (pressed && isDefault) {
    // A pressed default button: a flat shadow frame inside its black one.
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
    InflateRect(&r, -1, -1);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  } else {
    UINT state = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0);
    if (Style(window) & BS_FLAT) state |= DFCS_FLAT;
    DrawFrameControl(dc, &r, DFC_BUTTON, state);
  }
  RECT inner = client;
  InflateRect(&inner, -4, -4);
  UINT format = TextFormat(Style(window), true);
  RECT label = LabelRect(dc, window, inner, format);
  if (pressed) OffsetRect(&label, 1, 1);
  DrawLabel(dc, window, label, format);
  if (data.focused) {
    RECT focus = client;
    InflateRect(&focus, isDefault ? -4 : -3, isDefault ? -4 : -3);
    DrawFocus(dc, focus);
  }
}

void PaintCheckLook(HDC dc, HWND window, const RECT& client) {
  ButtonData& data = Data(window);
  DWORD style = Style(window);
  DWORD type = style & BS_TYPEMASK;
  HBRUSH brush = AskColours(window, dc, WM_CTLCOLORSTATIC);
  FillRect(dc, &client, brush);
  bool leftText = style & BS_LEFTTEXT;
  int box = kButtonCheckBoxSize;
  RECT boxRect{leftText ? client.right - box : client.left, client.top, 0, 0};
  boxRect.right = boxRect.left + box;
  switch (style & BS_VCENTER) {
    case BS_TOP: boxRect.top = client.top; break;
    case BS_BOTTOM: boxRect.top = client.bottom - box; break;
    default: boxRect.top = client.top + (client.bottom - client.top - box) / 2; break;
  }
  boxRect.bottom = boxRect.top + box;
  UINT state = IsRadioType(type) ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
  if (data.check == BST_CHECKED) state |= DFCS_CHECKED;
  if (data.check == BST_INDETERMINATE && (type == BS_3STATE || type == BS_AUTO3STATE))
    state |= DFCS_BUTTON3STATE | DFCS_CHECKED | DFCS_INACTIVE;
  if (data.pushed) state |= DFCS_PUSHED;
  if (!IsWindowEnabled(window)) state |= DFCS_INACTIVE;
  if (style & BS_FLAT) state |= DFCS_FLAT;
  DrawFrameControl(dc, &boxRect, DFC_BUTTON, state);
  RECT textArea = client;
  if (leftText) textArea.right -= box + 4;
  else textArea.left += box + 4;
  SetTextColor(dc, GetTextColor(dc));
  UINT format = TextFormat(style, false);
  RECT label = LabelRect(dc, window, textArea, format);
  DrawLabel(dc, window, label, format);
  if (data.focused && label.right > label.left) {
    RECT focus = label;
    InflateRect(&focus, 1, 1);
    IntersectRect(&focus, &focus, &client);
    DrawFocus(dc, focus);
  }
}

void PaintGroupBox(HDC dc, HWND window, const RECT& client) {
  HBRUSH brush = AskColours(window, dc, WM_CTLCOLORSTATIC);
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  RECT frame = client;
  frame.top += tm.tmHeight / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  std::string text(GetWindowTextLength(window) + 1, '\0');
  GetWindowText(window, text.data(), static_cast<int>(text.size()));
  text.resize(text.find('\0'));
  if (text.empty()) return;
  RECT calc{0, 0, 0, 0};
  DrawText(dc, text.c_str(), -1, &calc, DT_SINGLELINE | DT_CALCRECT);
  int width = std::min<int>(calc.right, client.right - client.left - 16);
  RECT label{client.left + 8, client.top, client.left + 8 + width + 4, client.top + tm.tmHeight};
  if (Style(window) & BS_RIGHT && !((Style(window) & BS_CENTER) == BS_CENTER))
    OffsetRect(&label, client.right - 16 - (label.right - label.left), 0);
  else if ((Style(window) & BS_CENTER) == BS_CENTER)
    OffsetRect(&label, (client.right - client.left - (label.right - label.left)) / 2 - 8, 0);
  FillRect(dc, &label, brush);
  RECT textRect = label;
  textRect.left += 2;
  DrawLabel(dc, window, textRect, DT_SINGLELINE | DT_LEFT | DT_TOP);
}

void PaintOwnerDrawn(HDC dc, HWND window, const RECT& client, UINT action) {
  const ButtonData& data = Data(window);
  DRAWITEMSTRUCT dis;
  dis.CtlType = ODT_BUTTON;
  dis.CtlID = static_cast<UINT>(GetDlgCtrlID(window));
  dis.itemAction = action;
  dis.itemState = (data.pushed ? ODS_SELECTED : 0) | (data.focused ? ODS_FOCUS : 0) |
                  (IsWindowEnabled(window) ? 0 : ODS_DISABLED);
  dis.hwndItem = window;
  dis.hDC = dc;
  dis.rcItem = client;
  AskColours(window, dc, WM_CTLCOLORBTN);
  if (HWND parent = GetParent(window))
    SendMessage(parent, WM_DRAWITEM, static_cast<WPARAM>(dis.CtlID), reinterpret_cast<LPARAM>(&dis));
}

void Paint(HWND window, HDC dc, UINT action) {
  RECT client;
  GetClientRect(window, &client);
  HGDIOBJ oldFont = SelectObject(dc, FontOf(window));
  DWORD style = Style(window);
  DWORD type = style & BS_TYPEMASK;
  const ButtonData& data = Data(window);
  if (type == BS_OWNERDRAW) PaintOwnerDrawn(dc, window, client, action);
  else if (type == BS_GROUPBOX) PaintGroupBox(dc, window, client);
  else if (IsPushType(type) || type == BS_USERBUTTON) PaintPushLook(dc, window, client, data.pushed);
  else if (style & BS_PUSHLIKE) PaintPushLook(dc, window, client, data.pushed || data.check != BST_UNCHECKED);
  else PaintCheckLook(dc, window, client);
  SelectObject(dc, oldFont);
}

void PaintNow(HWND window, UINT action) {
  if (!IsWindowVisible(window)) return;
  HDC dc = GetDC(window);
  Paint(window, dc, action);
  ReleaseDC(window, dc);
}

// --- State changes --------------------------------------------------------------------------

void SetPushed(HWND window, bool pushed) {
  ButtonData& data = Data(window);
  if (data.pushed == pushed) return;
  data.pushed = pushed;
  if (Type(window) == BS_USERBUTTON) Notify(window, pushed ? BN_HILITE : BN_UNHILITE);
  PaintNow(window, ODA_SELECT);
}

void SetCheck(HWND window, WPARAM check) {
  ButtonData& data = Data(window);
  DWORD type = Type(window);
  if (!IsCheckType(type) && !IsRadioType(type)) return;
  LRESULT value = check == BST_INDETERMINATE && (type == BS_3STATE || type == BS_AUTO3STATE) ? BST_INDETERMINATE
                  : check ? BST_CHECKED : BST_UNCHECKED;
  // A checked radio button is its group's tab stop.
  if (IsRadioType(type)) {
    DWORD style = Style(window);
    DWORD wanted = value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
    if (wanted != style) SetWindowLongPtr(window, GWL_STYLE, static_cast<LONG_PTR>(wanted));
  }
  if (data.check == value) return;
  data.check = value;
  Redraw(window);
}

// Unchecks the other automatic radio buttons of the button's group (disabled and hidden
// ones too): the group runs from a sibling with WS_GROUP up to the next one.
void UncheckGroupSiblings(HWND window) {
  HWND parent = GetParent(window);
  if (!parent) return;
  std::vector<HWND> siblings;
  for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) siblings.push_back(w);
  auto at = std::find(siblings.begin(), siblings.end(), window);
  if (at == siblings.end()) return;
  auto first = at;
  while (first != siblings.begin() && !(Style(*first) & WS_GROUP)) --first;
  for (auto it = first; it != siblings.end(); ++it) {
    if (it != first && (Style(*it) & WS_GROUP)) break;
    if (*it == window) continue;
    if ((Style(*it) & BS_TYPEMASK) == BS_AUTORADIOBUTTON &&
        (SendMessage(*it, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
      SendMessage(*it, BM_SETCHECK, BST_UNCHECKED, 0);
  }
}

// What a completed press does: an automatic button changes its check, then the parent hears.
void Clicked(HWND window) {
  ButtonData& data = Data(window);
  switch (Type(window)) {
    case BS_AUTOCHECKBOX: SendMessage(window, BM_SETCHECK, data.check ? BST_UNCHECKED : BST_CHECKED, 0); break;
    case BS_AUTO3STATE:
      SendMessage(window, BM_SETCHECK, data.check == BST_UNCHECKED ? BST_CHECKED
                                       : data.check == BST_CHECKED ? BST_INDETERMINATE : BST_UNCHECKED, 0);
      break;
    case BS_AUTORADIOBUTTON:
      SendMessage(window, BM_SETCHECK, BST_CHECKED, 0);
      UncheckGroupSiblings(window);
      break;
  }
  Notify(window, BN_CLICKED);
}

// --- Messages -------------------------------------------------------------------------------

LRESULT OnGetDlgCode(HWND window) {
  switch (Type(window)) {
    case BS_PUSHBUTTON: case BS_PUSHBOX: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX: return DLGC_STATIC;
  }
  return DLGC_BUTTON;
}

void OnButtonDown(HWND window) {
  if (Type(window) == BS_GROUPBOX) return;
  ButtonData& data = Data(window);
  if (GetFocus() != window) {
    data.focusByMouse = true;
    SetFocus(window);
    if (!IsWindow(window)) return;
    data.focusByMouse = false;
  }
  SetCapture(window);
  data.tracking = true;
  SetPushed(window, true);
}

void OnMouseMove(HWND window, LPARAM lParam) {
  ButtonData& data = Data(window);
  if (!data.tracking || GetCapture() != window) return;
  RECT client;
  GetClientRect(window, &client);
  POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  SetPushed(window, PtInRect(&client, p));
}

void OnButtonUp(HWND window, LPARAM lParam) {
  ButtonData& data = Data(window);
  if (!data.tracking) return;
  RECT client;
  GetClientRect(window, &client);
  POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  bool inside = PtInRect(&client, p) && data.pushed;
  data.tracking = false;
  SetPushed(window, false);
  if (GetCapture() == window) ReleaseCapture();
  if (inside && IsWindow(window)) Clicked(window);
}

void OnDoubleClick(HWND window, LPARAM lParam) {
  DWORD type = Type(window);
  if (IsRadioType(type) || type == BS_OWNERDRAW || type == BS_USERBUTTON || (Style(window) & BS_NOTIFY)) {
    Notify(window, BN_DOUBLECLICKED);
    return;
  }
  OnButtonDown(window);
  (void)lParam;
}

void OnCaptureChanged(HWND window) {
  ButtonData& data = Data(window);
  if (!data.tracking) return;
  data.tracking = false;
  SetPushed(window, false);
}

void OnKeyDown(HWND window, WPARAM key) {
  if (key != VK_SPACE || Type(window) == BS_GROUPBOX) return;
  ButtonData& data = Data(window);
  if (data.spaceDown || data.tracking) return;
  data.spaceDown = true;
  SetPushed(window, true);
}

void OnKeyUp(HWND window, WPARAM key) {
  if (key != VK_SPACE) return;
  ButtonData& data = Data(window);
  if (!data.spaceDown) return;
  data.spaceDown = false;
  bool wasPushed = data.pushed;
  SetPushed(window, false);
  if (wasPushed) Clicked(window);
}

// '+' or '=' checks a check box, '-' unchecks it, as the keyboard of Windows does.
void OnChar(HWND window, WPARAM ch) {
  DWORD type = Type(window);
  if (type != BS_AUTOCHECKBOX && type != BS_AUTO3STATE) return;
  ButtonData& data = Data(window);
  LRESULT wanted = ch == '+' || ch == '=' ? BST_CHECKED : ch == '-' ? BST_UNCHECKED : data.check;
  if (wanted == data.check) return;
  SendMessage(window, BM_SETCHECK, static_cast<WPARAM>(wanted), 0);
  Notify(window, BN_CLICKED);
}

void OnSetFocus(HWND window) {
  ButtonData& data = Data(window);
  data.focused = true;
  if (IsPushType(Type(window))) UpdateDefaultButton(GetParent(window), window);
  Redraw(window);
  PaintNow(window, ODA_FOCUS);
  if (Style(window) & BS_NOTIFY) Notify(window, BN_SETFOCUS);
  // A manual radio button the keyboard moves to tells its parent, which checks it.
  if (Type(window) == BS_RADIOBUTTON && !data.focusByMouse && GetKeyState(VK_LBUTTON) >= 0 &&
      data.check == BST_UNCHECKED)
    Notify(window, BN_CLICKED);
}

void OnKillFocus(HWND window, HWND next) {
  ButtonData& data = Data(window);
  data.focused = false;
  if (data.spaceDown) {
    data.spaceDown = false;
    SetPushed(window, false);
  }
  if (data.tracking && GetCapture() == window) ReleaseCapture();
  if (IsPushType(Type(window))) UpdateDefaultButton(GetParent(window), next);
  Redraw(window);
  if (Style(window) & BS_NOTIFY) Notify(window, BN_KILLFOCUS);
}

LRESULT OnClick(HWND window) {
  if (!IsWindowEnabled(window)) return 0;
  SendMessage(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  SendMessage(window, WM_LBUTTONUP, 0, 0);
  return 0;
}

LRESULT OnSetStyle(HWND window, WPARAM style, LPARAM redraw) {
  DWORD old = Style(window);
  DWORD updated = (old & ~0xFFFFu) | (static_cast<DWORD>(style) & 0xFFFFu);
  if (updated != old) SetWindowLongPtr(window, GWL_STYLE, static_cast<LONG_PTR>(updated));
  if (redraw) Redraw(window);
  return 0;
}

LRESULT OnSetImage(HWND window, WPARAM kind, LPARAM image) {
  ButtonData& data = Data(window);
  if (kind != IMAGE_BITMAP && kind != IMAGE_ICON) return 0;
  void* old = data.imageKind == kind ? data.image : nullptr;
  data.image = reinterpret_cast<void*>(image);
  data.imageKind = kind;
  Redraw(window);
  return reinterpret_cast<LRESULT>(old);
}

LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      Data(window);
      // A group box is drawn around controls that lie above it: it hides none of them.
      if (Type(window) == BS_GROUPBOX)
        SetWindowLongPtr(window, GWL_EXSTYLE, GetWindowLongPtr(window, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
      break;
    case WM_NCDESTROY: Buttons().erase(window); break;
    case WM_GETDLGCODE: return OnGetDlgCode(window);
    case WM_NCHITTEST:
      // A group box lets the mouse through to what lies under it.
      if (Type(window) == BS_GROUPBOX) return HTTRANSPARENT;
      break;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: case WM_PRINTCLIENT:
      return PaintControl(window, wParam, [window](HDC dc, const RECT&) { Paint(window, dc, ODA_DRAWENTIRE); });
    case WM_SETFONT:
      Data(window).font = reinterpret_cast<HFONT>(wParam);
      if (lParam) Redraw(window);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(Data(window).font);
    case WM_SETTEXT: {
      LRESULT result = DefWindowProc(window, message, wParam, lParam);
      Redraw(window);
      return result;
    }
    case WM_ENABLE: Redraw(window); return 0;
    case WM_LBUTTONDOWN: OnButtonDown(window); return 0;
    case WM_LBUTTONDBLCLK: OnDoubleClick(window, lParam); return 0;
    case WM_MOUSEMOVE: OnMouseMove(window, lParam); return 0;
    case WM_LBUTTONUP: OnButtonUp(window, lParam); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(window); return 0;
    case WM_KEYDOWN: OnKeyDown(window, wParam); return 0;
    case WM_KEYUP: OnKeyUp(window, wParam); return 0;
    case WM_CHAR: OnChar(window, wParam); return 0;
    case WM_SETFOCUS: OnSetFocus(window); return 0;
    case WM_KILLFOCUS: OnKillFocus(window, reinterpret_cast<HWND>(wParam)); return 0;
    case BM_GETCHECK: return Data(window).check;
    case BM_SETCHECK: SetCheck(window, wParam); return 0;
    case BM_GETSTATE: {
      const ButtonData& data = Data(window);
      return data.check | (data.pushed ? BST_PUSHED : 0) | (data.focused ? BST_FOCUS : 0);
    }
    case BM_SETSTATE: SetPushed(window, wParam != 0); return 0;
    case BM_SETSTYLE: return OnSetStyle(window, wParam, lParam);
    case BM_CLICK: return OnClick(window);
    case BM_GETIMAGE: return Data(window).imageKind == wParam ? reinterpret_cast<LRESULT>(Data(window).image) : 0;
    case BM_SETIMAGE: return OnSetImage(window, wParam, lParam);
  }
  return DefWindowProc(window, message, wParam, lParam);
}

}  // namespace

void RegisterButtonClass() {
  RegisterControlClass(WC_BUTTON, &ButtonProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS);
}

namespace {
const bool kRegistered = AddSystemClassRegistration(&RegisterButtonClass);
}  // namespace
