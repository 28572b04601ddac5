#pragma once
// The items of a tree view: a tree of linked siblings owned by one table, so that a handle can
// be checked before it is followed and a subtree of any depth or width is freed without
// recursion. The visible rows (the items whose ancestors are all expanded) are listed on
// demand and kept until the tree changes.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/controls/TreeView.h"

struct TreeViewItem {
  TreeViewItem* parent = nullptr;
  TreeViewItem* firstChild = nullptr;
  TreeViewItem* lastChild = nullptr;
  TreeViewItem* next = nullptr;
  TreeViewItem* prev = nullptr;
  std::string text;
  int image = 0;
  int selectedImage = 0;
  UINT state = 0;
  int childrenHint = 0;  // cChildren as given; used while the item has no children of its own
  bool childrenGiven = false;
  LPARAM param = 0;
  int depth = 0;  // 0 for the top-level items
  int row = -1;   // its place among the visible rows, when rowGeneration is the list's
  unsigned rowGeneration = 0;

  bool HasChildren() const { return firstChild || (childrenGiven && childrenHint != 0); }
  bool Expanded() const { return (state & TVIS_EXPANDED) != 0; }
};

class TreeViewItems {
public:
  TreeViewItems();

  // The parent of the top-level items; not an item of its own.
  TreeViewItem* Root() { return &root_; }
  bool IsItem(const TreeViewItem* item) const { return item && items_.count(item) != 0; }
  // An item handle as a parent: TVI_ROOT and null stand for the root; anything else must be an item.
  TreeViewItem* ParentFor(HTREEITEM handle);
  size_t Count() const { return items_.size(); }

  // Links a new item with text under parent after `after` (TVI_FIRST, TVI_LAST, TVI_SORT or
  // a child of parent; anything else puts it last).
  TreeViewItem* Insert(TreeViewItem* parent, HTREEITEM after, std::string text);
  // Every item of the subtree, the item first; children in order.
  std::vector<TreeViewItem*> Subtree(TreeViewItem* item);
  // Unlinks and frees item and everything below it.
  void Remove(TreeViewItem* item);
  void SortChildren(TreeViewItem* parent, bool recurse);

  bool IsAncestor(const TreeViewItem* ancestor, const TreeViewItem* item) const;
  bool IsShown(const TreeViewItem* item) const;  // every ancestor expanded

  // The visible rows, top to bottom.
  const std::vector<TreeViewItem*>& Rows();
  int RowOf(const TreeViewItem* item);  // -1 when hidden
  void RowsChanged() { rowsValid_ = false; }

private:
  void Unlink(TreeViewItem* item);

  TreeViewItem root_;
  std::unordered_map<const TreeViewItem*, std::unique_ptr<TreeViewItem>> items_;
  std::vector<TreeViewItem*> rows_;
  unsigned generation_ = 0;
  bool rowsValid_ = false;
};
