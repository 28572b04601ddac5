#include "platform/controls/CommonNotify.h"

LRESULT SendNotify(HWND control, NMHDR& header, UINT code) {
  header.hwndFrom = control;
  header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
  header.code = code;
  HWND parent = GetParent(control);
  if (!parent) return 0;
  return SendMessage(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

LRESULT SendSimpleNotify(HWND control, UINT code) {
  NMHDR header;
  return SendNotify(control, header, code);
}
