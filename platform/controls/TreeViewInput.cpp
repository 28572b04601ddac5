// The tree view's keys, mouse and label editing.

#include "platform/controls/TreeViewWindow.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

#include "platform/rtl/Clock.h"

namespace treeview {

// ---- input ----

void TreeViewWindow::KeyDown(WPARAM key) {
  NMTVKEYDOWN nm;
  nm.wVKey = static_cast<WORD>(key);
  Notify(nm.hdr, TVN_KEYDOWN);
  const auto& rows = items_.Rows();
  if (rows.empty()) return;
  const int count = static_cast<int>(rows.size());
  const int at = caret_ ? items_.RowOf(caret_) : -1;
  const int page = std::max(1, VisibleRows() - 1);
  auto go = [&](int row) { SelectCaret(rows[std::clamp(row, 0, count - 1)], TVC_BYKEYBOARD); };
  switch (key) {
    case VK_UP: go(at < 0 ? 0 : at - 1); break;
    case VK_DOWN: go(at + 1); break;
    case VK_HOME: go(0); break;
    case VK_END: go(count - 1); break;
    case VK_PRIOR: go(at < 0 ? 0 : at - page); break;
    case VK_NEXT: go(at < 0 ? 0 : at + page); break;
    case VK_LEFT:
      if (!caret_) go(0);
      else if (caret_->Expanded() && caret_->HasChildren()) Expand(caret_, TVE_COLLAPSE, true);
      else if (caret_->parent != items_.Root()) SelectCaret(caret_->parent, TVC_BYKEYBOARD);
      break;
    case VK_RIGHT:
      if (!caret_) go(0);
      else if (!caret_->HasChildren()) break;
      else if (!caret_->Expanded()) Expand(caret_, TVE_EXPAND, true);
      else if (caret_->firstChild) SelectCaret(caret_->firstChild, TVC_BYKEYBOARD);
      break;
    case VK_ADD:
      if (caret_) Expand(caret_, TVE_EXPAND, true);
      break;
    case VK_SUBTRACT:
      if (caret_) Expand(caret_, TVE_COLLAPSE, true);
      break;
    case VK_MULTIPLY:
      if (caret_)
        for (TreeViewItem* item : items_.Subtree(caret_))
          if (item->HasChildren()) Expand(item, TVE_EXPAND, true);
      break;
    case VK_RETURN: SendNotify(window_, NM_RETURN); break;
    case VK_F2:
      if (caret_ && Has(TVS_EDITLABELS)) EditLabel(caret_);
      break;
  }
}

void TreeViewWindow::Char(char c) {
  if (static_cast<unsigned char>(c) < ' ') return;
  const DWORD now = GetTickCount();
  if (now - typedAt_ > kTypeAheadPause) typed_.clear();
  typedAt_ = now;
  typed_ += c;
  const auto& rows = items_.Rows();
  if (rows.empty()) return;
  const int count = static_cast<int>(rows.size());
  const int at = caret_ ? items_.RowOf(caret_) : -1;
  // A first letter moves on from the caret; further letters refine the caret's own match.
  const int start = typed_.size() == 1 ? at + 1 : std::max(at, 0);
  for (int i = 0; i < count; ++i) {
    TreeViewItem* item = rows[(start + i) % count];
    if (strncasecmp(item->text.c_str(), typed_.c_str(), typed_.size()) == 0) {
      SelectCaret(item, TVC_BYKEYBOARD);
      return;
    }
  }
}

void TreeViewWindow::ButtonDown(POINT p, bool doubleClick) {
  KillTimer(window_, kEditTimer);
  EndEdit(false);
  const bool hadFocus = GetFocus() == window_;
  SetFocus(window_);
  const TVHITTESTINFO hit = HitTest(p);
  TreeViewItem* item = hit.hItem;
  if (!item) return;
  if (hit.flags & TVHT_ONITEMBUTTON) {
    Expand(item, TVE_TOGGLE, true);
    return;
  }
  const bool onItem = (hit.flags & TVHT_ONITEM) || ((hit.flags & TVHT_ONITEMRIGHT) && Has(TVS_FULLROWSELECT));
  if (!onItem) return;
  if (doubleClick) {
    if (!SendNotify(window_, NM_DBLCLK) && items_.IsItem(item)) Expand(item, TVE_TOGGLE, true);
    return;
  }
  const bool wasCaret = item == caret_;
  SelectCaret(item, TVC_BYMOUSE);
  if (!items_.IsItem(item)) return;
  SendNotify(window_, NM_CLICK);
  // A second click on the selected label, slower than a double click, edits it.
  if (wasCaret && hadFocus && (hit.flags & TVHT_ONITEMLABEL) && Has(TVS_EDITLABELS))
    SetTimer(window_, kEditTimer, GetDoubleClickTime(), nullptr);
}

HWND TreeViewWindow::EditLabel(TreeViewItem* item) {
  EndEdit(false);
  if (!items_.IsItem(item)) return nullptr;
  SelectCaret(item, TVC_UNKNOWN);
  if (caret_ != item) return nullptr;
  NMTVDISPINFO nm;
  FillItem(item, TVIF_HANDLE | TVIF_PARAM | TVIF_STATE | TVIF_TEXT, nm.item);
  if (Notify(nm.hdr, TVN_BEGINLABELEDIT) || !items_.IsItem(item)) return nullptr;
  RECT r;
  if (!ItemRect(item, true, r)) return nullptr;
  RECT client;
  GetClientRect(window_, &client);
  r.left -= 1;
  r.right = std::max<LONG>(r.right + 16, std::min<LONG>(client.right, r.left + 120));
  editing_ = item;
  const bool opened = edit_.Open(window_, r, item->text, Font(), [this](bool cancelled, const std::string& text) {
    TreeViewItem* edited = editing_;
    editing_ = nullptr;
    if (!items_.IsItem(edited)) return;
    NMTVDISPINFO end;
    FillItem(edited, TVIF_HANDLE | TVIF_PARAM | TVIF_STATE, end.item);
    std::string answer = text;
    end.item.mask |= TVIF_TEXT;
    end.item.pszText = cancelled ? nullptr : answer.data();
    end.item.cchTextMax = static_cast<int>(answer.size() + 1);
    if (Notify(end.hdr, TVN_ENDLABELEDIT) && !cancelled && items_.IsItem(edited)) {
      edited->text = answer;
      RowsChanged();
    }
  });
  if (!opened) editing_ = nullptr;
  return edit_.Window();
}

void TreeViewWindow::EndEdit(bool cancel) { edit_.End(cancel); }

}  // namespace treeview
