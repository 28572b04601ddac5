#pragma once
// The items of a list box: text, the owner's data, a selection flag and (for owner-drawn
// lists of variable height) a height each. Held in a tree ordered by position, balanced by
// random priorities, whose nodes know how many items and how many selected items lie below
// them: reading, inserting and removing at an index, finding the sorted place of a new item
// and finding the next selected item all take O(log n), so a list of 100,000 items costs no
// more per message than a short one.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "platform/gdi/WinDefs.h"

struct ListItem {
  std::string text;
  ULONG_PTR data = 0;
  int height = 0;  // variable-height lists only
  bool selected = false;
};

class ListItems {
public:
  ListItems();
  ~ListItems();
  ListItems(const ListItems&) = delete;
  ListItems& operator=(const ListItems&) = delete;

  int Count() const;
  int SelectedCount() const;
  // index must lie in [0, Count()).
  const ListItem& At(int index) const;
  void SetText(int index, std::string text);
  void SetData(int index, ULONG_PTR data);
  void SetHeight(int index, int height);
  // Answers whether the flag changed.
  bool SetSelected(int index, bool selected);
  // Every item selected or none: one pass over the tree.
  void SelectAll(bool selected);
  // Items first..last (inside the list) selected or not: one pass over the range alone.
  void SelectRange(int first, int last, bool selected);
  // How many items before index are selected.
  int SelectedBefore(int index) const;

  // index in [0, Count()].
  void Insert(int index, ListItem item);
  ListItem Erase(int index);
  void Clear();
  void Swap(ListItems& other) noexcept {
    root_.swap(other.root_);
    std::swap(seed_, other.seed_);
  }

  // The first index whose item is not less than the new one: compare(item) < 0 when the
  // item lies before the new one.
  int LowerBound(const std::function<int(const ListItem&)>& compare) const;
  // The first selected index at or after from; -1 when there is none.
  int NextSelected(int from) const;
  // Visits items in order from index from while visit answers true.
  void ForEachFrom(int from, const std::function<bool(int index, const ListItem&)>& visit) const;

private:
  struct Node;
  static int Size(const Node* n);
  static int Selected(const Node* n);
  static void Update(Node* n);
  static std::unique_ptr<Node> Merge(std::unique_ptr<Node> a, std::unique_ptr<Node> b);
  // Splits off the first count items of n into first; the rest go to second.
  static void Split(std::unique_ptr<Node> n, int count, std::unique_ptr<Node>& first, std::unique_ptr<Node>& second);
  Node* Find(int index) const;
  // Runs change on the item at index and brings the counts on the path up to date.
  template <class Change>
  static void Modify(Node* n, int index, Change&& change);
  static int FirstSelected(const Node* n, int base, int from);
  static void SelectSubtree(Node* n, bool selected);
  static void Destroy(std::unique_ptr<Node> n);

  std::unique_ptr<Node> root_;
  std::uint32_t seed_ = 0x9E3779B9u;
};
