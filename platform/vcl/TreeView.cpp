#include "platform/vcl/TreeView.h"

#include <algorithm>
#include <strings.h>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

QUILLO_DEFINE_CLASS(TTreeNode, TPersistent)
QUILLO_DEFINE_CLASS(TTreeNodes, TPersistent)
QUILLO_DEFINE_PUBLISHED_CLASS(TCustomTreeView, TWinControl)
QUILLO_DEFINE_PUBLISHED_CLASS(TTreeView, TCustomTreeView)

namespace {

template <class T>
LRESULT Send(HWND window, UINT message, WPARAM wParam, T* lParam) {
  return SendMessage(window, message, wParam, reinterpret_cast<LPARAM>(lParam));
}

}  // namespace

// ---- TTreeNode ----

TTreeNode::TTreeNode(TTreeNodes* owner, TTreeNode* parent) : owner_(owner), parent_(parent) {}

TTreeNode::~TTreeNode() = default;

void TTreeNode::SetText(const AnsiString& text) {
  text_ = text;
  owner_->owner_->UpdateItem(this);
}

void TTreeNode::SetImageIndex(int index) {
  imageIndex_ = index;
  owner_->owner_->UpdateItem(this);
}

void TTreeNode::SetSelectedIndex(int index) {
  selectedIndex_ = index;
  owner_->owner_->UpdateItem(this);
}

void TTreeNode::SetHasChildren(bool value) {
  hasChildren_ = value;
  owner_->owner_->UpdateItem(this);
}

void TTreeNode::SetExpanded(bool value) {
  if (value) Expand(false);
  else Collapse(false);
}

void TTreeNode::Expand(bool recurse) {
  TCustomTreeView* view = owner_->owner_;
  if (GetHasChildren() && !expanded_) {
    if (view->HandleAllocated() && item_) {
      Send(view->GetHandle(), TVM_EXPAND, TVE_EXPAND, item_);
    } else if (view->CanExpand(this)) {
      expanded_ = true;
      if (view->OnExpanded) view->OnExpanded(view, this);
    }
  }
  if (recurse)
    for (auto& child : children_) child->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
  TCustomTreeView* view = owner_->owner_;
  if (expanded_) {
    if (view->HandleAllocated() && item_) {
      Send(view->GetHandle(), TVM_EXPAND, TVE_COLLAPSE, item_);
    } else if (view->CanCollapse(this)) {
      expanded_ = false;
      if (view->OnCollapsed) view->OnCollapsed(view, this);
    }
  }
  if (recurse)
    for (auto& child : children_) child->Collapse(true);
}

bool TTreeNode::GetSelected() const { return owner_->owner_->GetSelected() == this; }

void TTreeNode::SetSelected(bool value) {
  TCustomTreeView* view = owner_->owner_;
  if (value) view->SetSelected(this);
  else if (GetSelected()) view->SetSelected(nullptr);
}

void TTreeNode::MakeVisible() {
  TCustomTreeView* view = owner_->owner_;
  if (view->HandleAllocated() && item_) {
    Send(view->GetHandle(), TVM_ENSUREVISIBLE, 0, item_);
    return;
  }
  for (TTreeNode* at = parent_; at; at = at->parent_) at->Expand(false);
}

bool TTreeNode::EditText() {
  TCustomTreeView* view = owner_->owner_;
  return item_ && Send(view->GetHandle(), TVM_EDITLABEL, 0, item_) != 0;
}

TTreeNode* TTreeNode::Item(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format(RtlText::ListIndexError, index));
  return children_[static_cast<size_t>(index)].get();
}

int TTreeNode::Index() const {
  const auto& siblings = owner_->SiblingsOf(parent_);
  for (size_t i = 0; i < siblings.size(); ++i)
    if (siblings[i].get() == this) return static_cast<int>(i);
  return -1;
}

int TTreeNode::Level() const {
  int level = 0;
  for (TTreeNode* at = parent_; at; at = at->parent_) ++level;
  return level;
}

TTreeNode* TTreeNode::GetNextSibling() const {
  const auto& siblings = owner_->SiblingsOf(parent_);
  const int index = Index();
  return index + 1 < static_cast<int>(siblings.size()) ? siblings[static_cast<size_t>(index + 1)].get() : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
  const int index = Index();
  return index > 0 ? owner_->SiblingsOf(parent_)[static_cast<size_t>(index - 1)].get() : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
  if (!children_.empty()) return children_.front().get();
  for (const TTreeNode* at = this; at; at = at->parent_)
    if (TTreeNode* next = at->GetNextSibling()) return next;
  return nullptr;
}

bool TTreeNode::IsChildOf(const TTreeNode* ancestor) const {
  for (TTreeNode* at = parent_; at; at = at->parent_)
    if (at == ancestor) return true;
  return false;
}

void TTreeNode::Delete() { owner_->Delete(this); }

void TTreeNode::DeleteChildren() {
  while (!children_.empty()) owner_->Delete(children_.back().get());
}

// ---- TTreeNodes ----

TTreeNodes::TTreeNodes(TCustomTreeView* owner) : owner_(owner) {}

TTreeNodes::~TTreeNodes() = default;

int TTreeNodes::Count() const {
  int count = 0;
  for (TTreeNode* at = GetFirstNode(); at; at = at->GetNext()) ++count;
  return count;
}

TTreeNode* TTreeNodes::Item(int index) const {
  TTreeNode* at = GetFirstNode();
  for (int i = 0; at && i < index; ++i) at = at->GetNext();
  if (index < 0 || !at) throw EListError(Format(RtlText::ListIndexError, index));
  return at;
}

TTreeNode* TTreeNodes::Make(TTreeNode* parent, size_t index, const AnsiString& text, void* data) {
  auto& siblings = SiblingsOf(parent);
  TOwnedPtr<TTreeNode> node = MakeObject<TTreeNode>(this, parent);
  node->text_ = text;
  node->data_ = data;
  TTreeNode* made = node.get();
  siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(std::min(index, siblings.size())), std::move(node));
  owner_->InsertItem(made);
  return made;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const AnsiString& text) { return AddObject(sibling, text, nullptr); }

TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const AnsiString& text, void* data) {
  TTreeNode* parent = sibling ? sibling->parent_ : nullptr;
  return Make(parent, SiblingsOf(parent).size(), text, data);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const AnsiString& text) {
  return Make(sibling ? sibling->parent_ : nullptr, 0, text, nullptr);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const AnsiString& text) { return AddChildObject(parent, text, nullptr); }

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const AnsiString& text, void* data) {
  return Make(parent, SiblingsOf(parent).size(), text, data);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const AnsiString& text) { return Make(parent, 0, text, nullptr); }

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const AnsiString& text) {
  if (!sibling) return Add(nullptr, text);
  return Make(sibling->parent_, static_cast<size_t>(sibling->Index()), text, nullptr);
}

TOwnedPtr<TTreeNode> TTreeNodes::Detach(TTreeNode* node) {
  auto& siblings = SiblingsOf(node->parent_);
  auto it = std::find_if(siblings.begin(), siblings.end(), [node](const auto& n) { return n.get() == node; });
  if (it == siblings.end()) return nullptr;
  TOwnedPtr<TTreeNode> owned = std::move(*it);
  siblings.erase(it);
  return owned;
}

void TTreeNodes::Delete(TTreeNode* node) {
  if (!node || node->owner_ != this) return;
  // The window's item goes first: the control tells of every item it frees.
  owner_->RemoveItem(node);
  std::vector<TTreeNode*> gone{node};
  for (size_t i = 0; i < gone.size(); ++i)
    for (auto& child : gone[i]->children_) gone.push_back(child.get());
  for (TTreeNode* n : gone) owner_->NodeGone(n);
  if (TTreeNode* parent = node->parent_) {
    TOwnedPtr<TTreeNode> owned = Detach(node);
    if (parent->children_.empty()) parent->expanded_ = false;
  } else {
    Detach(node);
  }
}

void TTreeNodes::Clear() {
  owner_->clearing_ = true;
  while (!roots_.empty()) Delete(roots_.back().get());
  owner_->clearing_ = false;
}

void TTreeNodes::BeginUpdate() {
  if (updateCount_++ == 0 && owner_->HandleAllocated()) drawing_.Begin(owner_->GetHandle());
}

void TTreeNodes::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0 && owner_->HandleAllocated()) {
    drawing_.End(owner_->GetHandle());
    owner_->Invalidate();
  }
}

void TTreeNodes::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TTreeNodes*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  Clear();
  std::vector<std::pair<const TTreeNode*, TTreeNode*>> work;
  for (TTreeNode* from = other->GetFirstNode(); from; from = from->GetNextSibling())
    work.emplace_back(from, AddObject(nullptr, from->text_, from->data_));
  while (!work.empty()) {
    auto [from, to] = work.back();
    work.pop_back();
    to->imageIndex_ = from->imageIndex_;
    to->selectedIndex_ = from->selectedIndex_;
    to->hasChildren_ = from->hasChildren_;
    owner_->UpdateItem(to);
    for (TTreeNode* child = from->GetFirstChild(); child; child = child->GetNextSibling())
      work.emplace_back(child, AddChildObject(to, child->text_, child->data_));
  }
}

TTreeNode* TTreeNodes::GetNode(HTREEITEM item) const {
  if (!item || !owner_->HandleAllocated()) return nullptr;
  TVITEM tv;
  tv.mask = TVIF_PARAM;
  tv.hItem = item;
  if (!Send(owner_->GetHandle(), TVM_GETITEM, 0, &tv)) return nullptr;
  return reinterpret_cast<TTreeNode*>(tv.lParam);
}

// ---- TCustomTreeView ----

const TPropTable* TCustomTreeView::PublishedProperties() {
  static const TPropTable table = TPublisher<TCustomTreeView>()
                                      .Property("ShowButtons", &TCustomTreeView::GetShowButtons, &TCustomTreeView::SetShowButtons)
                                      .Property("ShowLines", &TCustomTreeView::GetShowLines, &TCustomTreeView::SetShowLines)
                                      .Property("ShowRoot", &TCustomTreeView::GetShowRoot, &TCustomTreeView::SetShowRoot)
                                      .Property("ReadOnly", &TCustomTreeView::GetReadOnly, &TCustomTreeView::SetReadOnly)
                                      .Property("HideSelection", &TCustomTreeView::GetHideSelection,
                                                &TCustomTreeView::SetHideSelection)
                                      .Property("Indent", &TCustomTreeView::GetIndent, &TCustomTreeView::SetIndent)
                                      .Table();
  return &table;
}

const TPropTable* TTreeView::PublishedProperties() {
  static const TPropTable table = TPublisher<TTreeView>().Table();
  return &table;
}

TCustomTreeView::TCustomTreeView(TComponent* owner) : TWinControl(owner), items_(MakeObject<TTreeNodes>(this)) {
  SetBounds(GetLeft(), GetTop(), 121, 97);
  SetTabStop(true);
  GetBrush()->SetColor(clWindow);
  imageLink_ = MakeObject<TChangeLink>();
  imageLink_->OnChange = [this](TObject*) {
    if (HandleAllocated()) Invalidate();
  };
}

TCustomTreeView::~TCustomTreeView() {
  // The nodes go without the window hearing of each (it is going too).
  clearing_ = true;
  if (images_) images_->UnRegisterChanges(imageLink_.get());
}

void TCustomTreeView::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, WC_TREEVIEW);
  params.Style |= style_ | WS_BORDER;
  params.ExStyle |= WS_EX_CLIENTEDGE;
  params.Style &= ~WS_BORDER;
}

void TCustomTreeView::CreateWnd() {
  TWinControl::CreateWnd();
  HWND window = GetHandle();
  SendMessage(window, TVM_SETINDENT, static_cast<WPARAM>(indent_), 0);
  if (images_) Send(window, TVM_SETIMAGELIST, TVSIL_NORMAL, images_->GetHandle());
  filling_ = true;
  for (auto& root : items_->roots_) InsertSubtree(root.get());
  filling_ = false;
  if (selected_ && selected_->item_) Send(window, TVM_SELECTITEM, TVGN_CARET, selected_->item_);
}

void TCustomTreeView::DestroyWnd() {
  // The model keeps every node; the window's items go with it.
  filling_ = true;
  TWinControl::DestroyWnd();
  filling_ = false;
  for (TTreeNode* at = items_->GetFirstNode(); at; at = at->GetNext()) at->item_ = nullptr;
}

void TCustomTreeView::SetStyle(DWORD style, bool on) {
  const DWORD wanted = on ? (style_ | style) : (style_ & ~style);
  if (wanted == style_) return;
  style_ = wanted;
  if (HandleAllocated()) {
    HWND window = GetHandle();
    SetWindowLongPtr(window, GWL_STYLE, static_cast<LONG_PTR>((GetWindowLongPtr(window, GWL_STYLE) & ~0xFFFF) | style_));
    Invalidate();
  }
}

void TCustomTreeView::SetIndent(int value) {
  indent_ = value;
  if (HandleAllocated()) SendMessage(GetHandle(), TVM_SETINDENT, static_cast<WPARAM>(value), 0);
}

void TCustomTreeView::SetImages(TCustomImageList* images) {
  if (images_ == images) return;
  if (images_) {
    images_->UnRegisterChanges(imageLink_.get());
    images_->RemoveFreeNotification(this);
  }
  images_ = images;
  if (images_) {
    images_->RegisterChanges(imageLink_.get());
    images_->FreeNotification(this);
  }
  if (HandleAllocated()) Send(GetHandle(), TVM_SETIMAGELIST, TVSIL_NORMAL, images_ ? images_->GetHandle() : nullptr);
}

void TCustomTreeView::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == images_) SetImages(nullptr);
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
  if (HandleAllocated()) {
    Send(GetHandle(), TVM_SELECTITEM, TVGN_CARET, node ? node->item_ : nullptr);
    return;
  }
  if (node == selected_ || !CanChange(node)) return;
  selected_ = node;
  Change(node);
}

void TCustomTreeView::InsertItem(TTreeNode* node) {
  if (!HandleAllocated() || filling_) return;
  TTreeNode* parent = node->parent_;
  if (parent && !parent->item_) return;
  TTreeNode* before = node->GetPrevSibling();
  TVINSERTSTRUCT insert;
  insert.hParent = parent ? parent->item_ : TVI_ROOT;
  insert.hInsertAfter = before ? before->item_ : TVI_FIRST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
  insert.item.pszText = const_cast<char*>(node->text_.c_str());
  insert.item.iImage = node->imageIndex_;
  insert.item.iSelectedImage = node->selectedIndex_;
  insert.item.cChildren = node->hasChildren_ ? 1 : 0;
  insert.item.lParam = reinterpret_cast<LPARAM>(node);
  node->item_ = reinterpret_cast<HTREEITEM>(Send(GetHandle(), TVM_INSERTITEM, 0, &insert));
}

void TCustomTreeView::InsertSubtree(TTreeNode* node) {
  // Breadth by levels, so each parent's item exists before its children's.
  std::vector<TTreeNode*> level{node};
  while (!level.empty()) {
    std::vector<TTreeNode*> next;
    for (TTreeNode* n : level) {
      const bool saved = filling_;
      filling_ = false;
      InsertItem(n);
      filling_ = saved;
      for (auto& child : n->children_) next.push_back(child.get());
    }
    level.swap(next);
  }
  // Expanded states once every child is in (an item without children cannot be expanded).
  for (TTreeNode* at = node; at && (at == node || at->IsChildOf(node)); at = at->GetNext()) {
    if (at->expanded_ && at->item_) {
      TVITEM tv;
      tv.mask = TVIF_STATE;
      tv.hItem = at->item_;
      tv.stateMask = TVIS_EXPANDED;
      tv.state = TVIS_EXPANDED;
      Send(GetHandle(), TVM_SETITEM, 0, &tv);
    }
  }
}

void TCustomTreeView::UpdateItem(TTreeNode* node) {
  if (!HandleAllocated() || !node->item_) return;
  TVITEM tv;
  tv.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
  tv.hItem = node->item_;
  tv.pszText = const_cast<char*>(node->text_.c_str());
  tv.iImage = node->imageIndex_;
  tv.iSelectedImage = node->selectedIndex_;
  tv.cChildren = node->GetHasChildren() ? 1 : 0;
  Send(GetHandle(), TVM_SETITEM, 0, &tv);
}

void TCustomTreeView::RemoveItem(TTreeNode* node) {
  if (HandleAllocated() && node->item_) Send(GetHandle(), TVM_DELETEITEM, 0, node->item_);
}

void TCustomTreeView::NodeGone(TTreeNode* node) {
  node->item_ = nullptr;
  if (selected_ == node) {
    selected_ = nullptr;
    if (!clearing_) Change(nullptr);
  }
  if (OnDeletion) OnDeletion(this, node);
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) {
  if (!HandleAllocated()) return nullptr;
  TVHITTESTINFO hit;
  hit.pt = POINT{x, y};
  Send(GetHandle(), TVM_HITTEST, 0, &hit);
  return (hit.flags & (TVHT_ONITEM | TVHT_ONITEMBUTTON | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT))
             ? items_->GetNode(hit.hItem)
             : nullptr;
}

void TCustomTreeView::FullExpand() {
  for (TTreeNode* root = items_->GetFirstNode(); root; root = root->GetNextSibling()) root->Expand(true);
}

void TCustomTreeView::FullCollapse() {
  for (TTreeNode* root = items_->GetFirstNode(); root; root = root->GetNextSibling()) root->Collapse(true);
}

void TCustomTreeView::AlphaSort() {
  std::vector<std::vector<TOwnedPtr<TTreeNode>>*> lists{&items_->roots_};
  for (TTreeNode* at = items_->GetFirstNode(); at; at = at->GetNext()) lists.push_back(&at->children_);
  for (auto* list : lists)
    std::stable_sort(list->begin(), list->end(),
                     [](const auto& a, const auto& b) { return strcasecmp(a->text_.c_str(), b->text_.c_str()) < 0; });
  if (HandleAllocated()) Send(GetHandle(), TVM_SORTCHILDREN, TRUE, TVI_ROOT);
}

bool TCustomTreeView::IsEditing() { return HandleAllocated() && SendMessage(GetHandle(), TVM_GETEDITCONTROL, 0, 0) != 0; }

void TCustomTreeView::Change(TTreeNode* node) {
  if (OnChange) OnChange(this, node);
}

bool TCustomTreeView::CanChange(TTreeNode* node) {
  bool allow = true;
  if (OnChanging) OnChanging(this, node, allow);
  return allow;
}

bool TCustomTreeView::CanExpand(TTreeNode* node) {
  bool allow = true;
  if (OnExpanding) OnExpanding(this, node, allow);
  return allow;
}

bool TCustomTreeView::CanCollapse(TTreeNode* node) {
  bool allow = true;
  if (OnCollapsing) OnCollapsing(this, node, allow);
  return allow;
}

void TCustomTreeView::CNNotify(TMessage& m) {
  const auto& header = *reinterpret_cast<const NMHDR*>(m.LParam);
  const auto& tree = *reinterpret_cast<const NMTREEVIEW*>(m.LParam);
  auto nodeOf = [](const TVITEM& item) { return reinterpret_cast<TTreeNode*>(item.lParam); };
  switch (header.code) {
    case TVN_SELCHANGING:
      m.Result = CanChange(nodeOf(tree.itemNew)) ? 0 : 1;
      break;
    case TVN_SELCHANGED:
      selected_ = nodeOf(tree.itemNew);
      Change(selected_);
      break;
    case TVN_ITEMEXPANDING: {
      TTreeNode* node = nodeOf(tree.itemNew);
      const bool allow = tree.action == TVE_EXPAND ? CanExpand(node) : CanCollapse(node);
      m.Result = allow ? 0 : 1;
      break;
    }
    case TVN_ITEMEXPANDED: {
      TTreeNode* node = nodeOf(tree.itemNew);
      if (!node) break;
      node->expanded_ = tree.action == TVE_EXPAND;
      auto& event = node->expanded_ ? OnExpanded : OnCollapsed;
      if (event) event(this, node);
      break;
    }
    case TVN_BEGINLABELEDIT: {
      const auto& info = *reinterpret_cast<const NMTVDISPINFO*>(m.LParam);
      bool allow = !GetReadOnly();
      if (OnEditing) OnEditing(this, nodeOf(info.item), allow);
      m.Result = allow ? 0 : 1;
      break;
    }
    case TVN_ENDLABELEDIT: {
      const auto& info = *reinterpret_cast<const NMTVDISPINFO*>(m.LParam);
      TTreeNode* node = nodeOf(info.item);
      if (!node || !info.item.pszText) break;
      AnsiString text = info.item.pszText;
      if (OnEdited) OnEdited(this, node, text);
      node->text_ = text;
      UpdateItem(node);
      m.Result = 0;  // the text is set above, as the handler may have changed it
      break;
    }
    case TVN_DELETEITEM: {
      if (filling_) break;
      if (TTreeNode* node = nodeOf(tree.itemOld)) node->item_ = nullptr;
      break;
    }
  }
}

void TCustomTreeView::Dispatch(TMessage& m) {
  if (m.Msg == CN_NOTIFY && m.LParam) {
    CNNotify(m);
    return;
  }
  TWinControl::Dispatch(m);
}
