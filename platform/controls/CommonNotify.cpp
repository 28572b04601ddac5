// Notifications and fonts shared by the common controls.

#include "platform/controls/CommonNotify.h"

LRESULT SendNotify(HWND control, UINT code, NMHDR* header) {
  header->hwndFrom = control;
  header->idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
  header->code = code;
  HWND parent = GetParent(control);
  if (!parent) return 0;
  return SendMessage(parent, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

HFONT ControlFont(HFONT chosen) {
  return chosen ? chosen : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int FontLineHeight(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ControlFont(font));
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  return tm.tmHeight;
}
