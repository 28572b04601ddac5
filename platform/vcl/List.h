#pragma once
// The framework's list of untyped pointers. Indexes are 0-based; a bad index raises
// EListError. The list owns nothing it points at.

#include <vector>

#include "platform/vcl/Object.h"

// Negative, zero or positive as a sorts before, with or after b.
using TListSortCompare = int (*)(void* a, void* b);

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

class TList : public TObject {
  QUILLO_DECLARE_CLASS()

public:
  TList() = default;
  ~TList() override;

  int Add(void* item);  // the new item's index
  void Insert(int index, void* item);
  void Delete(int index);
  int Remove(void* item);     // the index it had, or -1
  void* Extract(void* item);  // removed without the deleted notification; null when absent
  void Clear();
  void Exchange(int index1, int index2);
  void Move(int from, int to);
  void Pack();  // drops the null items
  // Orders the items; items that compare equal keep their order.
  void Sort(TListSortCompare compare);
  int IndexOf(const void* item) const;
  void* First() const;
  void* Last() const;

  int Count() const { return static_cast<int>(items_.size()); }
  void SetCount(int count);  // grows with null items
  int Capacity() const { return static_cast<int>(items_.capacity()); }
  void SetCapacity(int capacity);  // below Count raises EListError
  void* Get(int index) const;
  void* Items(int index) const { return Get(index); }
  void Put(int index, void* item);
  void* const* List() const { return items_.data(); }

protected:
  // Told of every non-null item that enters or leaves the list. Subclasses that own their
  // items free them here, and must Clear in their own destructor.
  virtual void Notify(void* item, TListNotification action);

private:
  void CheckIndex(int index) const;

  std::vector<void*> items_;
};
