// The list view's keys, mouse and label editing.

#include "platform/controls/ListViewWindow.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

#include "platform/rtl/Clock.h"

namespace listview {

// ---- input ----

void ListViewWindow::KeyDown(WPARAM key) {
  NMLVKEYDOWN nm;
  nm.wVKey = static_cast<WORD>(key);
  Notify(nm.hdr, LVN_KEYDOWN);
  if (items_.empty()) return;
  const Grid grid = Cells();
  const int lineStep = grid.perLine;
  int target = -1;
  const int at = Valid(focused_) ? focused_ : -1;
  const bool columns = grid.linesAreColumns;
  switch (key) {
    case VK_UP: target = at < 0 ? 0 : at - (columns || Report() ? 1 : lineStep); break;
    case VK_DOWN: target = at < 0 ? 0 : at + (columns || Report() ? 1 : lineStep); break;
    case VK_LEFT:
      if (Report()) {
        ScrollToX(xOffset_ - kSideStep);
        return;
      }
      target = at < 0 ? 0 : at - (columns ? lineStep : 1);
      break;
    case VK_RIGHT:
      if (Report()) {
        ScrollToX(xOffset_ + kSideStep);
        return;
      }
      target = at < 0 ? 0 : at + (columns ? lineStep : 1);
      break;
    case VK_HOME: target = 0; break;
    case VK_END: target = Count() - 1; break;
    case VK_PRIOR: target = at - std::max(1, CountPerPage() - grid.perLine); break;
    case VK_NEXT: target = at + std::max(1, CountPerPage() - grid.perLine); break;
    case VK_SPACE:
      if (Valid(focused_)) {
        if (GetKeyState(VK_CONTROL) < 0) {
          if (!(Style() & LVS_SINGLESEL) || !(items_[focused_].state & LVIS_SELECTED)) {
            if (Style() & LVS_SINGLESEL) SelectOnly(-1);
            ChangeState(focused_, items_[focused_].state ^ LVIS_SELECTED, LVIS_SELECTED);
          }
        } else {
          ChangeState(focused_, LVIS_SELECTED, LVIS_SELECTED);
        }
        mark_ = focused_;
      }
      return;
    case VK_RETURN: SendNotify(window_, NM_RETURN); return;
    case VK_F2:
      if (Valid(focused_) && (Style() & LVS_EDITLABELS)) EditLabel(focused_);
      return;
    default: return;
  }
  target = std::clamp(target, 0, Count() - 1);
  const bool shift = GetKeyState(VK_SHIFT) < 0 && !(Style() & LVS_SINGLESEL);
  const bool control = GetKeyState(VK_CONTROL) < 0 && !(Style() & LVS_SINGLESEL);
  Focus(target);
  if (shift) {
    SelectRange(Valid(mark_) ? mark_ : target, target);
  } else if (!control) {
    SelectOnly(target);
    mark_ = target;
  }
}

void ListViewWindow::Char(char c) {
  if (static_cast<unsigned char>(c) <= ' ') return;
  const DWORD now = GetTickCount();
  if (now - typedAt_ > kTypeAheadPause) typed_.clear();
  typedAt_ = now;
  typed_ += c;
  LVFINDINFO find;
  find.flags = LVFI_STRING | LVFI_PARTIAL | LVFI_WRAP;
  find.psz = typed_.c_str();
  const int start = typed_.size() == 1 ? focused_ : focused_ - 1;
  const int found = Find(start, &find);
  if (found < 0) return;
  Focus(found);
  SelectOnly(found);
  mark_ = found;
}

void ListViewWindow::HeaderDown(POINT p) {
  bool onDivider = false;
  const int column = ColumnAtX(p.x, onDivider);
  if (column < 0) return;
  SetCapture(window_);
  if (onDivider) {
    sizingColumn_ = column;
    sizingStartX_ = p.x;
    sizingStartWidth_ = columns_[column].width;
    return;
  }
  if (Style() & LVS_NOSORTHEADER) {
    ReleaseCapture();
    return;
  }
  pressedColumn_ = column;
  pressedInside_ = true;
  RECT header{0, 0, 1 << 15, HeaderHeight()};
  InvalidateRect(window_, &header, FALSE);
}

void ListViewWindow::MouseMove(POINT p) {
  if (sizingColumn_ >= 0) {
    columns_[sizingColumn_].width = std::max(0, sizingStartWidth_ + p.x - sizingStartX_);
    InvalidateRect(window_, nullptr, TRUE);
    Rescroll();
  } else if (pressedColumn_ >= 0) {
    bool divider;
    const bool inside = p.y >= 0 && p.y < HeaderHeight() && ColumnAtX(p.x, divider) == pressedColumn_;
    if (inside != pressedInside_) {
      pressedInside_ = inside;
      RECT header{0, 0, 1 << 15, HeaderHeight()};
      InvalidateRect(window_, &header, FALSE);
    }
  }
}

void ListViewWindow::ButtonUp(POINT) {
  const int column = pressedColumn_;
  const bool inside = pressedInside_;
  pressedColumn_ = sizingColumn_ = -1;
  pressedInside_ = false;
  if (GetCapture() == window_) ReleaseCapture();
  if (column >= 0) {
    InvalidateRect(window_, nullptr, FALSE);
    if (inside) {
      NMLISTVIEW nm;
      nm.iSubItem = columns_[column].subItem;
      Notify(nm.hdr, LVN_COLUMNCLICK);
    }
  }
}

void ListViewWindow::ButtonDown(POINT p, bool doubleClick, bool right) {
  KillTimer(window_, kEditTimer);
  edit_.End(false);
  const bool hadFocus = GetFocus() == window_;
  SetFocus(window_);
  if (!right && p.y < HeaderHeight()) {
    HeaderDown(p);
    return;
  }
  const LVHITTESTINFO hit = HitTest(p, false);
  const int index = hit.iItem;
  const bool shift = GetKeyState(VK_SHIFT) < 0 && !(Style() & LVS_SINGLESEL);
  const bool control = GetKeyState(VK_CONTROL) < 0 && !(Style() & LVS_SINGLESEL);
  if (!Valid(index)) {
    if (!control && !shift) SelectOnly(-1);
    SendNotify(window_, right ? NM_RCLICK : NM_CLICK);
    return;
  }
  if (doubleClick) {
    SendNotify(window_, right ? NM_RDBLCLK : NM_DBLCLK);
    return;
  }
  const bool wasOnlyFocus = index == focused_ && (items_[index].state & LVIS_SELECTED) && selectedCount_ == 1;
  if (right) {
    if (!(items_[index].state & LVIS_SELECTED)) SelectOnly(index);
    Focus(index);
    return;
  }
  if (shift) {
    SelectRange(Valid(mark_) ? mark_ : index, index);
  } else if (control) {
    ChangeState(index, items_[index].state ^ LVIS_SELECTED, LVIS_SELECTED);
    mark_ = index;
  } else {
    SelectOnly(index);
    mark_ = index;
  }
  if (Valid(index)) Focus(index);
  SendNotify(window_, NM_CLICK);
  if (wasOnlyFocus && hadFocus && !shift && !control && (hit.flags & LVHT_ONITEMLABEL) && (Style() & LVS_EDITLABELS))
    SetTimer(window_, kEditTimer, GetDoubleClickTime(), nullptr);
}

HWND ListViewWindow::EditLabel(int index) {
  edit_.End(false);
  if (!Valid(index)) return nullptr;
  EnsureVisible(index);
  NMLVDISPINFO nm;
  nm.item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_STATE;
  nm.item.iItem = index;
  nm.item.pszText = items_[index].text.data();
  nm.item.lParam = items_[index].param;
  nm.item.state = items_[index].state;
  if (Notify(nm.hdr, LVN_BEGINLABELEDIT) || !Valid(index)) return nullptr;
  RECT r;
  PartRect(index, LVIR_LABEL, r);
  r.right = std::max<LONG>(r.right, r.left + 60);
  editing_ = index;
  const bool opened = edit_.Open(window_, r, items_[index].text, Font(), [this](bool cancelled, const std::string& text) {
    const int edited = editing_;
    editing_ = -1;
    if (!Valid(edited)) return;
    std::string answer = text;
    NMLVDISPINFO end;
    end.item.mask = LVIF_TEXT | LVIF_PARAM;
    end.item.iItem = edited;
    end.item.lParam = items_[edited].param;
    end.item.pszText = cancelled ? nullptr : answer.data();
    end.item.cchTextMax = static_cast<int>(answer.size() + 1);
    if (Notify(end.hdr, LVN_ENDLABELEDIT) && !cancelled && Valid(edited)) {
      items_[edited].text = answer;
      InvalidateItem(edited);
    }
  });
  if (!opened) editing_ = -1;
  return edit_.Window();
}

}  // namespace listview
