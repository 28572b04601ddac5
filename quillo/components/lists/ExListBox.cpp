#include "quillo/components/lists/ExListBox.h"

#include <algorithm>
#include <cmath>

#include "platform/vcl/TypInfo.h"

QUILLO_DEFINE_CLASS(TExCustomListBox, TCustomListBox)
QUILLO_DEFINE_PUBLISHED_CLASS(TExListBox, TExCustomListBox)
QUILLO_DEFINE_CLASS(TTextListBox, TListBox)

// ---- THorizontalExtent ----

void THorizontalExtent::Send(TWinControl* list) const {
  if (list->HandleAllocated()) SendMessage(list->GetHandle(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest_), 0);
}

void THorizontalExtent::Rebuild(TWinControl* list, const ItemWidth& itemWidth, bool enabled) {
  widest_ = 0;
  if (enabled && list->HandleAllocated()) {
    const int count = static_cast<int>(SendMessage(list->GetHandle(), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) widest_ = std::max(widest_, itemWidth(i));
  }
  Send(list);
}

bool THorizontalExtent::Handle(TWinControl* list, TMessage& m, const ItemWidth& itemWidth,
                               const std::function<void()>& inherited) {
  switch (m.Msg) {
    case WM_SETFONT:
      inherited();
      Rebuild(list, itemWidth, true);
      return true;
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
      inherited();
      if (static_cast<int>(m.Result) >= 0) {
        widest_ = std::max(widest_, itemWidth(static_cast<int>(m.Result)));
        Send(list);
      }
      return true;
    case LB_DELETESTRING: {
      const int index = static_cast<int>(m.WParam);
      const int count = static_cast<int>(SendMessage(list->GetHandle(), LB_GETCOUNT, 0, 0));
      if (index >= 0 && index < count && itemWidth(index) >= widest_) {
        SendMessage(list->GetHandle(), WM_HSCROLL, SB_TOP, 0);
        inherited();
        Rebuild(list, itemWidth, true);
      } else {
        inherited();
      }
      return true;
    }
    case LB_RESETCONTENT:
      widest_ = 0;
      Send(list);
      SendMessage(list->GetHandle(), WM_HSCROLL, SB_TOP, 0);
      inherited();
      return true;
    default:
      return false;
  }
}

int ListItemTextWidth(TCanvas* canvas, const AnsiString& text, int tabWidth) {
  const AnsiString measured = text + "x";
  if (tabWidth < 1 || measured.find('\t') == AnsiString::npos) return canvas->TextWidth(measured);
  const int stop = std::max(1, static_cast<int>(std::lround(tabWidth * canvas->TextWidth("0") / 4.0)));
  int x = 0;
  size_t start = 0;
  while (true) {
    size_t tab = measured.find('\t', start);
    x += canvas->TextWidth(measured.substr(start, tab == AnsiString::npos ? AnsiString::npos : tab - start));
    if (tab == AnsiString::npos) break;
    x = (x / stop + 1) * stop;
    start = tab + 1;
  }
  return x;
}

// ---- TExCustomListBox ----

TExCustomListBox::TExCustomListBox(TComponent* owner) : TCustomListBox(owner) {}

TExCustomListBox::~TExCustomListBox() = default;

int TExCustomListBox::GetItemWidth(int index) {
  if (GetStyle() != lbStandard && OnGetItemWidth && OnDrawItem) {
    int width = 0;
    OnGetItemWidth(this, index, width);
    return width;
  }
  GetCanvas()->SetFont(GetFont());
  return ListItemTextWidth(GetCanvas(), GetItems()->Get(index), GetTabWidth());
}

int TExCustomListBox::HorizontalExtent() const {
  if (!HandleAllocated()) return 0;
  return static_cast<int>(SendMessage(const_cast<TExCustomListBox*>(this)->GetHandle(), LB_GETHORIZONTALEXTENT, 0, 0));
}

void TExCustomListBox::ResetExtent() {
  if (!HandleAllocated()) return;
  SendMessage(GetHandle(), WM_HSCROLL, SB_TOP, 0);
  extent_.Rebuild(this, [this](int i) { return GetItemWidth(i); }, AutoScrollEffective());
}

void TExCustomListBox::SetAutoScroll(bool value) {
  if (value == autoScroll_) return;
  autoScroll_ = value;
  ResetExtent();
}

void TExCustomListBox::ItemWidthHandlersChanged() { ResetExtent(); }

void TExCustomListBox::SetGraySelection(bool value) {
  if (value == graySelection_) return;
  graySelection_ = value;
  if (!Focused()) Invalidate();
}

void TExCustomListBox::CreateWnd() {
  TCustomListBox::CreateWnd();
  extent_.Rebuild(this, [this](int i) { return GetItemWidth(i); }, AutoScrollEffective());
}

void TExCustomListBox::WndProc(TMessage& m) {
  if (AutoScrollEffective() && HandleAllocated() &&
      extent_.Handle(this, m, [this](int i) { return GetItemWidth(i); }, [&] { TCustomListBox::WndProc(m); }))
    return;
  TCustomListBox::WndProc(m);
}

void TExCustomListBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TCustomListBox::Dispatch(m);
      if (graySelection_ && GetMultiSelect() && GetSelCount() > 1) Invalidate();
      else if (graySelection_ && GetItemIndex() >= 0) Invalidate();
      return;
    default:
      TCustomListBox::Dispatch(m);
  }
}

void TExCustomListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  TCanvas* c = GetCanvas();
  if (state.Contains(odSelected) && graySelection_ && !ComponentState().Contains(csDesigning) && !Focused()) {
    c->GetBrush()->SetColor(clBtnFace);
    if (ColorToRGB(c->GetFont()->GetColor()) == ColorToRGB(clBtnFace)) c->GetFont()->SetColor(clBtnText);
    else c->GetFont()->SetColor(GetFont()->GetColor());
  }
  if (OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  c->FillRect(rect);
  if (index < 0 || index >= GetItems()->Count()) return;
  const AnsiString text = GetItems()->Get(index);
  const int y = std::max<int>(rect.top, (rect.top + rect.bottom - c->TextHeight("Wy")) / 2);
  HDC dc = c->GetHandle();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(c->GetFont()->GetColor()));
  RECT r{rect.left + 2, y, rect.right, rect.bottom};
  UINT flags = DT_SINGLELINE | DT_NOPREFIX;
  if (GetTabWidth() >= 1) flags |= DT_EXPANDTABS;
  ::DrawText(dc, text.c_str(), -1, &r, flags);
}

void TExCustomListBox::PaintTo(HDC dc) {
  if (!HandleAllocated()) return;
  const int count = GetItems()->Count();
  const int clientHeight = GetClientHeight();
  TCanvas* c = GetCanvas();
  for (int i = GetTopIndex(); i < count; ++i) {
    TRect r = ItemRect(i);
    if (r.top >= clientHeight) break;
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_LISTBOX;
    item.itemID = static_cast<UINT>(i);
    item.itemAction = ODA_DRAWENTIRE;
    item.hDC = dc;
    item.hwndItem = GetHandle();
    item.rcItem = r;
    TMessage m{CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item), 0};
    Dispatch(m);
  }
  (void)c;
}

// ---- TExListBox ----

TExListBox::~TExListBox() = default;

const TPropTable* TExListBox::PublishedProperties() {
  using L = TExListBox;
  static const TPropTable table = TPublisher<L>()
                                      .Property("AutoScroll", &L::GetAutoScroll, &L::SetAutoScroll)
                                      .Property("BorderStyle", &L::GetBorderStyle, &L::SetBorderStyle)
                                      .Property("Columns", &L::GetColumns, &L::SetColumns)
                                      .Property("ExtendedSelect", &L::GetExtendedSelect, &L::SetExtendedSelect)
                                      .Property("GraySelection", &L::GetGraySelection, &L::SetGraySelection)
                                      .Property("IntegralHeight", &L::GetIntegralHeight, &L::SetIntegralHeight)
                                      .Property("ItemHeight", &L::GetItemHeight, &L::SetItemHeight)
                                      .Property("Items", &L::GetItems, &L::SetItems)
                                      .Property("MultiSelect", &L::GetMultiSelect, &L::SetMultiSelect)
                                      .Property("Sorted", &L::GetSorted, &L::SetSorted)
                                      .Property("Style", &L::GetStyle, &L::SetStyle)
                                      .Property("TabWidth", &L::GetTabWidth, &L::SetTabWidth)
                                      .Table();
  return &table;
}

// ---- TTextListBox ----

TTextListBox::~TTextListBox() = default;

void TTextListBox::WndProc(TMessage& m) {
  auto width = [this](int i) {
    GetCanvas()->SetFont(GetFont());
    return ListItemTextWidth(GetCanvas(), GetItems()->Get(i), GetTabWidth());
  };
  if (HandleAllocated() && extent_.Handle(this, m, width, [&] { TListBox::WndProc(m); })) return;
  TListBox::WndProc(m);
}
