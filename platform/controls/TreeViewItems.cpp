#include "platform/controls/TreeViewItems.h"

#include <algorithm>
#include <strings.h>

TreeViewItems::TreeViewItems() { root_.state = TVIS_EXPANDED; root_.depth = -1; }

TreeViewItem* TreeViewItems::ParentFor(HTREEITEM handle) {
  if (!handle || handle == TVI_ROOT) return &root_;
  return IsItem(handle) ? handle : nullptr;
}

TreeViewItem* TreeViewItems::Insert(TreeViewItem* parent, HTREEITEM after, std::string text) {
  auto owned = std::make_unique<TreeViewItem>();
  TreeViewItem* item = owned.get();
  item->text = std::move(text);
  item->parent = parent;
  item->depth = parent->depth + 1;
  items_.emplace(item, std::move(owned));

  TreeViewItem* before = nullptr;  // the sibling the new item goes in front of; null: at the end
  if (after == TVI_FIRST) {
    before = parent->firstChild;
  } else if (after == TVI_SORT) {
    before = parent->firstChild;
    while (before && strcasecmp(before->text.c_str(), item->text.c_str()) <= 0) before = before->next;
  } else if (after != TVI_LAST && IsItem(after) && after->parent == parent) {
    before = after->next;
  }
  item->next = before;
  item->prev = before ? before->prev : parent->lastChild;
  (item->prev ? item->prev->next : parent->firstChild) = item;
  (before ? before->prev : parent->lastChild) = item;
  rowsValid_ = false;
  return item;
}

std::vector<TreeViewItem*> TreeViewItems::Subtree(TreeViewItem* item) {
  std::vector<TreeViewItem*> out;
  std::vector<TreeViewItem*> stack{item};
  while (!stack.empty()) {
    TreeViewItem* at = stack.back();
    stack.pop_back();
    out.push_back(at);
    for (TreeViewItem* child = at->lastChild; child; child = child->prev) stack.push_back(child);
  }
  return out;
}

void TreeViewItems::Unlink(TreeViewItem* item) {
  TreeViewItem* parent = item->parent;
  (item->prev ? item->prev->next : parent->firstChild) = item->next;
  (item->next ? item->next->prev : parent->lastChild) = item->prev;
  item->next = item->prev = nullptr;
}

void TreeViewItems::Remove(TreeViewItem* item) {
  if (item == &root_) {
    items_.clear();
    root_.firstChild = root_.lastChild = nullptr;
  } else {
    Unlink(item);
    for (TreeViewItem* gone : Subtree(item)) items_.erase(gone);
  }
  rowsValid_ = false;
}

void TreeViewItems::SortChildren(TreeViewItem* parent, bool recurse) {
  std::vector<TreeViewItem*> parents{parent};
  while (!parents.empty()) {
    TreeViewItem* at = parents.back();
    parents.pop_back();
    std::vector<TreeViewItem*> children;
    for (TreeViewItem* child = at->firstChild; child; child = child->next) children.push_back(child);
    std::stable_sort(children.begin(), children.end(), [](const TreeViewItem* a, const TreeViewItem* b) {
      return strcasecmp(a->text.c_str(), b->text.c_str()) < 0;
    });
    TreeViewItem* previous = nullptr;
    for (TreeViewItem* child : children) {
      child->prev = previous;
      child->next = nullptr;
      (previous ? previous->next : at->firstChild) = child;
      previous = child;
      if (recurse && child->firstChild) parents.push_back(child);
    }
    at->lastChild = previous;
  }
  rowsValid_ = false;
}

bool TreeViewItems::IsAncestor(const TreeViewItem* ancestor, const TreeViewItem* item) const {
  for (const TreeViewItem* at = item ? item->parent : nullptr; at; at = at->parent)
    if (at == ancestor) return true;
  return false;
}

bool TreeViewItems::IsShown(const TreeViewItem* item) const {
  for (const TreeViewItem* at = item->parent; at && at != &root_; at = at->parent)
    if (!at->Expanded()) return false;
  return true;
}

const std::vector<TreeViewItem*>& TreeViewItems::Rows() {
  if (rowsValid_) return rows_;
  rows_.clear();
  ++generation_;
  // Depth first, children of expanded items only; the next sibling of an item is visited
  // after its whole visible subtree.
  TreeViewItem* at = root_.firstChild;
  while (at) {
    at->row = static_cast<int>(rows_.size());
    at->rowGeneration = generation_;
    rows_.push_back(at);
    if (at->firstChild && at->Expanded()) {
      at = at->firstChild;
      continue;
    }
    while (at && !at->next) at = at->parent == &root_ ? nullptr : at->parent;
    if (at) at = at->next;
  }
  rowsValid_ = true;
  return rows_;
}

int TreeViewItems::RowOf(const TreeViewItem* item) {
  Rows();
  return item && item->rowGeneration == generation_ ? item->row : -1;
}
