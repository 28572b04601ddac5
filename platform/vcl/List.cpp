#include "platform/vcl/List.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

QUILLO_DEFINE_CLASS(TList, TObject)

TList::~TList() { items_.clear(); }

void TList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format(RtlText::ListIndexError, index));
}

int TList::Add(void* item) {
  items_.push_back(item);
  if (item != nullptr) Notify(item, lnAdded);
  return Count() - 1;
}

void TList::Insert(int index, void* item) {
  if (index < 0 || index > Count()) throw EListError(Format(RtlText::ListIndexError, index));
  items_.insert(items_.begin() + index, item);
  if (item != nullptr) Notify(item, lnAdded);
}

void TList::Delete(int index) {
  CheckIndex(index);
  void* item = items_[index];
  items_.erase(items_.begin() + index);
  if (item != nullptr) Notify(item, lnDeleted);
}

int TList::Remove(void* item) {
  const int index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

void* TList::Extract(void* item) {
  const int index = IndexOf(item);
  if (index < 0) return nullptr;
  items_.erase(items_.begin() + index);
  if (item != nullptr) Notify(item, lnExtracted);
  return item;
}

void TList::Clear() {
  // One at a time from the end, so a notification sees a consistent list.
  while (!items_.empty()) Delete(Count() - 1);
  items_.shrink_to_fit();
}

void TList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(items_[index1], items_[index2]);
}

void TList::Move(int from, int to) {
  if (from == to) return;
  CheckIndex(from);
  CheckIndex(to);
  void* item = items_[from];
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, item);
}

void TList::Pack() { items_.erase(std::remove(items_.begin(), items_.end(), nullptr), items_.end()); }

void TList::Sort(TListSortCompare compare) {
  if (compare == nullptr) return;
  std::stable_sort(items_.begin(), items_.end(), [compare](void* a, void* b) { return compare(a, b) < 0; });
}

int TList::IndexOf(const void* item) const {
  const auto found = std::find(items_.begin(), items_.end(), item);
  return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

void* TList::First() const { return Get(0); }
void* TList::Last() const { return Get(Count() - 1); }

void TList::SetCount(int count) {
  if (count < 0) throw EListError(Format(RtlText::ListCountError, count));
  while (Count() > count) Delete(Count() - 1);
  items_.resize(static_cast<size_t>(count), nullptr);
}

void TList::SetCapacity(int capacity) {
  if (capacity < Count()) throw EListError(Format(RtlText::ListCapacityError, capacity));
  items_.reserve(static_cast<size_t>(capacity));
}

void* TList::Get(int index) const {
  CheckIndex(index);
  return items_[index];
}

void TList::Put(int index, void* item) {
  CheckIndex(index);
  void* old = items_[index];
  if (old == item) return;
  items_[index] = item;
  if (old != nullptr) Notify(old, lnDeleted);
  if (item != nullptr) Notify(item, lnAdded);
}

void TList::Notify(void*, TListNotification) {}
