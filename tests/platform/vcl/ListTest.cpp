#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/vcl/List.h"

namespace {

// A list that records what it is told, as an owning list would free its items.
class RecordingList : public TList {
public:
  ~RecordingList() override { Clear(); }
  std::vector<std::pair<void*, TListNotification>> told;

protected:
  void Notify(void* item, TListNotification action) override { told.emplace_back(item, action); }
};

int values[6] = {0, 1, 2, 3, 4, 5};

std::vector<int> Contents(const TList& list) {
  std::vector<int> result;
  for (int i = 0; i < list.Count(); ++i)
    result.push_back(list.Get(i) == nullptr ? -1 : *static_cast<int*>(list.Get(i)));
  return result;
}

TEST(List, KeepsPointersInOrder) {
  TList list;
  EXPECT_EQ(list.Add(&values[1]), 0);
  EXPECT_EQ(list.Add(&values[3]), 1);
  list.Insert(1, &values[2]);
  list.Insert(0, &values[0]);
  EXPECT_EQ(Contents(list), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(list.IndexOf(&values[2]), 2);
  EXPECT_EQ(list.IndexOf(&values[5]), -1);
  list.Move(0, 3);
  EXPECT_EQ(Contents(list), (std::vector<int>{1, 2, 3, 0}));
  list.Exchange(0, 3);
  EXPECT_EQ(Contents(list), (std::vector<int>{0, 2, 3, 1}));
  EXPECT_EQ(list.Remove(&values[3]), 2);
  EXPECT_EQ(list.Remove(&values[3]), -1);
  EXPECT_EQ(list.First(), &values[0]);
  EXPECT_EQ(list.Last(), &values[1]);
  list.SetCount(5);
  EXPECT_EQ(Contents(list), (std::vector<int>{0, 2, 1, -1, -1}));
  list.Pack();
  EXPECT_EQ(Contents(list), (std::vector<int>{0, 2, 1}));
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(List, SortKeepsEqualItemsInOrder) {
  int a1 = 1, b2 = 2, c1 = 1, d0 = 0;
  TList list;
  for (int* p : {&a1, &b2, &c1, &d0}) list.Add(p);
  list.Sort([](void* a, void* b) { return *static_cast<int*>(a) - *static_cast<int*>(b); });
  EXPECT_EQ(list.Get(0), &d0);
  EXPECT_EQ(list.Get(1), &a1);
  EXPECT_EQ(list.Get(2), &c1);
  EXPECT_EQ(list.Get(3), &b2);
}

TEST(List, BadIndexesRaise) {
  TList list;
  list.Add(nullptr);
  try {
    list.Get(1);
    FAIL() << "no exception";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message, "List index out of bounds (1)");
  }
  EXPECT_THROW(list.Delete(-1), EListError);
  EXPECT_THROW(list.Insert(2, nullptr), EListError);
  EXPECT_THROW(list.Move(0, 1), EListError);
  EXPECT_THROW(list.SetCount(-1), EListError);
  EXPECT_THROW(list.SetCapacity(0), EListError);
  EXPECT_THROW(TList().First(), EListError);
}

TEST(List, SubclassesAreToldOfItemsComingAndGoing) {
  RecordingList list;
  list.Add(&values[1]);
  list.Add(nullptr);
  list.Add(&values[2]);
  list.Put(0, &values[3]);
  EXPECT_EQ(list.Extract(&values[2]), &values[2]);
  list.Delete(0);
  using Told = std::vector<std::pair<void*, TListNotification>>;
  EXPECT_EQ(list.told, (Told{{&values[1], lnAdded},
                             {&values[2], lnAdded},
                             {&values[1], lnDeleted},
                             {&values[3], lnAdded},
                             {&values[2], lnExtracted},
                             {&values[3], lnDeleted}}));
}

}  // namespace
