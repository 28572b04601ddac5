#include "platform/controls/ListItems.h"

#include <utility>
#include <vector>

struct ListItems::Node {
  ListItem item;
  std::uint32_t priority = 0;
  int size = 1;
  int selected = 0;
  std::unique_ptr<Node> left;
  std::unique_ptr<Node> right;
};

ListItems::ListItems() = default;

ListItems::~ListItems() { Clear(); }

int ListItems::Size(const Node* n) { return n ? n->size : 0; }
int ListItems::Selected(const Node* n) { return n ? n->selected : 0; }

void ListItems::Update(Node* n) {
  n->size = 1 + Size(n->left.get()) + Size(n->right.get());
  n->selected = (n->item.selected ? 1 : 0) + Selected(n->left.get()) + Selected(n->right.get());
}

int ListItems::Count() const { return Size(root_.get()); }
int ListItems::SelectedCount() const { return Selected(root_.get()); }

ListItems::Node* ListItems::Find(int index) const {
  Node* n = root_.get();
  while (n) {
    int left = Size(n->left.get());
    if (index < left) {
      n = n->left.get();
    } else if (index == left) {
      return n;
    } else {
      index -= left + 1;
      n = n->right.get();
    }
  }
  return nullptr;
}

const ListItem& ListItems::At(int index) const { return Find(index)->item; }

template <class Change>
void ListItems::Modify(Node* n, int index, Change&& change) {
  // Iterative descent, then the counts are mended from the item back up.
  std::vector<Node*> path;
  while (n) {
    path.push_back(n);
    int left = Size(n->left.get());
    if (index < left) {
      n = n->left.get();
    } else if (index == left) {
      change(n->item);
      break;
    } else {
      index -= left + 1;
      n = n->right.get();
    }
  }
  for (auto it = path.rbegin(); it != path.rend(); ++it) Update(*it);
}

void ListItems::SetText(int index, std::string text) {
  Find(index)->item.text = std::move(text);
}

void ListItems::SetData(int index, ULONG_PTR data) { Find(index)->item.data = data; }

void ListItems::SetHeight(int index, int height) { Find(index)->item.height = height; }

bool ListItems::SetSelected(int index, bool selected) {
  Node* n = Find(index);
  if (!n || n->item.selected == selected) return false;
  Modify(root_.get(), index, [selected](ListItem& item) { item.selected = selected; });
  return true;
}

void ListItems::SelectSubtree(Node* n, bool selected) {
  // An explicit stack: the tree is shallow, but this also visits every node once.
  std::vector<Node*> stack;
  if (n) stack.push_back(n);
  while (!stack.empty()) {
    Node* top = stack.back();
    stack.pop_back();
    top->item.selected = selected;
    top->selected = selected ? top->size : 0;
    if (top->left) stack.push_back(top->left.get());
    if (top->right) stack.push_back(top->right.get());
  }
}

void ListItems::SelectAll(bool selected) {
  if (SelectedCount() == (selected ? Count() : 0)) return;
  SelectSubtree(root_.get(), selected);
}

void ListItems::SelectRange(int first, int last, bool selected) {
  if (first > last) return;
  std::unique_ptr<Node> before, rest, range, after;
  Split(std::move(root_), first, before, rest);
  Split(std::move(rest), last - first + 1, range, after);
  SelectSubtree(range.get(), selected);
  root_ = Merge(Merge(std::move(before), std::move(range)), std::move(after));
}

int ListItems::SelectedBefore(int index) const {
  int selected = 0;
  const Node* n = root_.get();
  while (n) {
    int left = Size(n->left.get());
    if (index <= left) {
      n = n->left.get();
    } else {
      selected += Selected(n->left.get()) + (n->item.selected ? 1 : 0);
      index -= left + 1;
      n = n->right.get();
    }
  }
  return selected;
}

std::unique_ptr<ListItems::Node> ListItems::Merge(std::unique_ptr<Node> a, std::unique_ptr<Node> b) {
  if (!a) return b;
  if (!b) return a;
  if (a->priority > b->priority) {
    a->right = Merge(std::move(a->right), std::move(b));
    Update(a.get());
    return a;
  }
  b->left = Merge(std::move(a), std::move(b->left));
  Update(b.get());
  return b;
}

void ListItems::Split(std::unique_ptr<Node> n, int count, std::unique_ptr<Node>& first, std::unique_ptr<Node>& second) {
  if (!n) {
    first.reset();
    second.reset();
    return;
  }
  int left = Size(n->left.get());
  if (count <= left) {
    std::unique_ptr<Node> l, r;
    Split(std::move(n->left), count, l, r);
    n->left = std::move(r);
    Update(n.get());
    first = std::move(l);
    second = std::move(n);
  } else {
    std::unique_ptr<Node> l, r;
    Split(std::move(n->right), count - left - 1, l, r);
    n->right = std::move(l);
    Update(n.get());
    first = std::move(n);
    second = std::move(r);
  }
}

void ListItems::Insert(int index, ListItem item) {
  auto node = std::make_unique<Node>();
  node->item = std::move(item);
  // xorshift: the priorities only have to look random to the order of insertion.
  seed_ ^= seed_ << 13;
  seed_ ^= seed_ >> 17;
  seed_ ^= seed_ << 5;
  node->priority = seed_;
  Update(node.get());
  std::unique_ptr<Node> before, after;
  Split(std::move(root_), index, before, after);
  root_ = Merge(Merge(std::move(before), std::move(node)), std::move(after));
}

ListItem ListItems::Erase(int index) {
  std::unique_ptr<Node> before, rest, item, after;
  Split(std::move(root_), index, before, rest);
  Split(std::move(rest), 1, item, after);
  root_ = Merge(std::move(before), std::move(after));
  return item ? std::move(item->item) : ListItem{};
}

void ListItems::Destroy(std::unique_ptr<Node> n) {
  // Children are taken off before their parent goes, so no destructor recurses.
  std::vector<std::unique_ptr<Node>> stack;
  if (n) stack.push_back(std::move(n));
  while (!stack.empty()) {
    std::unique_ptr<Node> top = std::move(stack.back());
    stack.pop_back();
    if (top->left) stack.push_back(std::move(top->left));
    if (top->right) stack.push_back(std::move(top->right));
  }
}

void ListItems::Clear() { Destroy(std::move(root_)); }

int ListItems::LowerBound(const std::function<int(const ListItem&)>& compare) const {
  int base = 0;
  int found = Count();
  const Node* n = root_.get();
  while (n) {
    int left = Size(n->left.get());
    if (compare(n->item) < 0) {
      base += left + 1;
      n = n->right.get();
    } else {
      found = base + left;
      n = n->left.get();
    }
  }
  return found;
}

int ListItems::FirstSelected(const Node* n, int base, int from) {
  // Inside a subtree that lies wholly at or after from, the counts lead straight to the
  // answer; only the path along from can fail, so this stays O(log n).
  if (!n || n->selected == 0) return -1;
  int index = base + Size(n->left.get());
  if (from < index) {
    int found = FirstSelected(n->left.get(), base, from);
    if (found >= 0) return found;
  }
  if (from <= index && n->item.selected) return index;
  return FirstSelected(n->right.get(), index + 1, from);
}

int ListItems::NextSelected(int from) const { return FirstSelected(root_.get(), 0, from < 0 ? 0 : from); }

void ListItems::ForEachFrom(int from, const std::function<bool(int, const ListItem&)>& visit) const {
  if (from < 0) from = 0;
  // An in-order walk that starts at from: the path down to it is the stack.
  std::vector<std::pair<const Node*, int>> stack;  // node, its index
  const Node* n = root_.get();
  int base = 0;
  while (n) {
    int index = base + Size(n->left.get());
    if (from <= index) {
      stack.push_back({n, index});
      n = n->left.get();
    } else {
      base = index + 1;
      n = n->right.get();
    }
  }
  while (!stack.empty()) {
    auto [node, index] = stack.back();
    stack.pop_back();
    if (!visit(index, node->item)) return;
    const Node* r = node->right.get();
    int rbase = index + 1;
    while (r) {
      int ri = rbase + Size(r->left.get());
      stack.push_back({r, ri});
      r = r->left.get();
    }
  }
}
