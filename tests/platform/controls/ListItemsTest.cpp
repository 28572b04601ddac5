// The list box's item tree against a plain vector doing the same edits.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/controls/ListItems.h"

namespace {

// "prefix" followed by n (built without literal + string, which GCC 12 warns about at -O3).
std::string Numbered(const char* prefix, int n) {
  std::string s(prefix);
  s += std::to_string(n);
  return s;
}

struct Model {
  std::string text;
  bool selected;
};

void ExpectSame(const ListItems& items, const std::vector<Model>& model) {
  ASSERT_EQ(items.Count(), static_cast<int>(model.size()));
  int selected = 0;
  for (size_t i = 0; i < model.size(); ++i) {
    EXPECT_EQ(items.At(static_cast<int>(i)).text, model[i].text) << i;
    EXPECT_EQ(items.At(static_cast<int>(i)).selected, model[i].selected) << i;
    selected += model[i].selected;
  }
  EXPECT_EQ(items.SelectedCount(), selected);
  int before = 0;
  for (size_t i = 0; i <= model.size(); ++i) {
    if (i % 5 == 0) {
      EXPECT_EQ(items.SelectedBefore(static_cast<int>(i)), before) << i;
    }
    if (i < model.size()) before += model[i].selected;
  }
  // NextSelected from every start agrees with a linear scan.
  for (int from = 0; from <= static_cast<int>(model.size()); from += 7) {
    int expected = -1;
    for (size_t i = static_cast<size_t>(from); i < model.size(); ++i)
      if (model[i].selected) {
        expected = static_cast<int>(i);
        break;
      }
    EXPECT_EQ(items.NextSelected(from), expected) << from;
  }
  // An in-order walk from the middle sees the rest in order.
  int from = static_cast<int>(model.size() / 2);
  int expectedIndex = from;
  items.ForEachFrom(from, [&](int index, const ListItem& item) {
    EXPECT_EQ(index, expectedIndex);
    EXPECT_EQ(item.text, model[static_cast<size_t>(index)].text);
    ++expectedIndex;
    return true;
  });
  EXPECT_EQ(expectedIndex, static_cast<int>(model.size()));
}

TEST(ListItems, RandomEditsMatchAVector) {
  std::mt19937 random(1234);
  ListItems items;
  std::vector<Model> model;
  for (int step = 0; step < 4000; ++step) {
    int op = static_cast<int>(random() % 10);
    int size = static_cast<int>(model.size());
    if (op < 5 || size == 0) {
      int at = static_cast<int>(random() % static_cast<unsigned>(size + 1));
      std::string text = Numbered("item", step);
      ListItem item;
      item.text = text;
      items.Insert(at, item);
      model.insert(model.begin() + at, {text, false});
    } else if (op < 7) {
      int at = static_cast<int>(random() % static_cast<unsigned>(size));
      ListItem gone = items.Erase(at);
      EXPECT_EQ(gone.text, model[static_cast<size_t>(at)].text);
      model.erase(model.begin() + at);
    } else if (op < 9) {
      int at = static_cast<int>(random() % static_cast<unsigned>(size));
      bool state = random() % 2 == 0;
      bool changed = items.SetSelected(at, state);
      EXPECT_EQ(changed, model[static_cast<size_t>(at)].selected != state);
      model[static_cast<size_t>(at)].selected = state;
    } else if (random() % 4 == 0) {
      bool state = random() % 3 == 0;
      items.SelectAll(state);
      for (auto& m : model) m.selected = state;
    } else {
      int a = static_cast<int>(random() % static_cast<unsigned>(size));
      int b = static_cast<int>(random() % static_cast<unsigned>(size));
      if (a > b) std::swap(a, b);
      bool state = random() % 2 == 0;
      items.SelectRange(a, b, state);
      for (int i = a; i <= b; ++i) model[static_cast<size_t>(i)].selected = state;
    }
    if (step % 500 == 0) ExpectSame(items, model);
  }
  ExpectSame(items, model);
}

TEST(ListItems, LowerBoundFindsTheSortedPlace) {
  ListItems items;
  for (const char* t : {"b", "d", "d", "f"}) {
    ListItem item;
    item.text = t;
    items.Insert(items.Count(), item);
  }
  auto place = [&](const std::string& text, bool afterEqual) {
    return items.LowerBound([&](const ListItem& existing) {
      int c = existing.text.compare(text);
      return (afterEqual ? c <= 0 : c < 0) ? -1 : 0;
    });
  };
  EXPECT_EQ(place("a", false), 0);
  EXPECT_EQ(place("d", false), 1);
  EXPECT_EQ(place("d", true), 3);
  EXPECT_EQ(place("z", true), 4);
}

}  // namespace
