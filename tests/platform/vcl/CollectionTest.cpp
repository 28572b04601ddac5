#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Collection.h"

namespace {

class TNamedItem : public TCollectionItem {
  QUILLO_DECLARE_CLASS()

public:
  AnsiString Name;

  AnsiString DisplayName() const override { return Name.empty() ? TCollectionItem::DisplayName() : Name; }
  void SetDisplayName(const AnsiString& name) override {
    Name = name;
    TCollectionItem::SetDisplayName(name);
  }
  void Assign(const TPersistent* source) override {
    if (const auto* item = dynamic_cast<const TNamedItem*>(source)) {
      Name = item->Name;
      return;
    }
    TCollectionItem::Assign(source);
  }
};
QUILLO_DEFINE_CLASS(TNamedItem, TCollectionItem)

// A collection that records its updates.
class TNamedItems : public TCollection {
public:
  TNamedItems() : TCollection(TNamedItem::StaticClass(), CollectionItemFactory<TNamedItem>()) {}
  TNamedItem* AddNamed(const AnsiString& name) {
    auto* item = static_cast<TNamedItem*>(Add());
    item->Name = name;
    return item;
  }
  std::vector<AnsiString> Names() const {
    std::vector<AnsiString> names;
    for (int i = 0; i < Count(); ++i) names.push_back(Items(i)->DisplayName());
    return names;
  }
  std::vector<TCollectionItem*> updates;

protected:
  void Update(TCollectionItem* item) override { updates.push_back(item); }
};

using Names = std::vector<AnsiString>;

TEST(Objects, KnowTheirClassAndItsAncestors) {
  TNamedItem item;
  EXPECT_EQ(item.ClassName(), "TNamedItem");
  EXPECT_TRUE(item.InheritsFrom(TCollectionItem::StaticClass()));
  EXPECT_TRUE(item.InheritsFrom(TPersistent::StaticClass()));
  EXPECT_TRUE(item.InheritsFrom(TObject::StaticClass()));
  EXPECT_FALSE(item.InheritsFrom(TCollection::StaticClass()));
  const TObject& asObject = item;
  EXPECT_EQ(asObject.ClassType(), TNamedItem::StaticClass());
}

TEST(Collection, ItemsGetIndexesAndLastingIds) {
  TNamedItems items;
  items.AddNamed("a");
  items.AddNamed("b");
  TNamedItem* c = items.AddNamed("c");
  EXPECT_EQ(c->ID(), 2);
  EXPECT_EQ(c->Index(), 2);
  EXPECT_EQ(c->Collection(), &items);
  items.Delete(0);
  EXPECT_EQ(items.Names(), (Names{"b", "c"}));
  EXPECT_EQ(c->Index(), 1);
  EXPECT_EQ(items.AddNamed("d")->ID(), 3);  // an ID is never given twice
  EXPECT_EQ(items.FindItemID(2), c);
  EXPECT_EQ(items.FindItemID(0), nullptr);

  c->SetIndex(0);
  EXPECT_EQ(items.Names(), (Names{"c", "b", "d"}));
  static_cast<TNamedItem*>(items.Insert(1))->Name = "x";
  EXPECT_EQ(items.Names(), (Names{"c", "x", "b", "d"}));
  EXPECT_THROW(items.Items(4), EListError);
  EXPECT_THROW(c->SetIndex(9), EListError);
  EXPECT_EQ(c->GetNamePath(), "TCollection[0]");
}

TEST(Collection, ItemsMoveBetweenCollections) {
  TNamedItems from, to;
  from.AddNamed("keep");
  TNamedItem* moving = from.AddNamed("move");
  to.AddNamed("there");
  moving->SetCollection(&to);
  EXPECT_EQ(from.Names(), (Names{"keep"}));
  EXPECT_EQ(to.Names(), (Names{"there", "move"}));
  EXPECT_EQ(moving->Collection(), &to);
  EXPECT_EQ(moving->ID(), 1);
  moving->SetCollection(nullptr);  // leaves and ends
  EXPECT_EQ(to.Names(), (Names{"there"}));
}

TEST(Collection, UpdatesAreHeldAndNameTheChangedItem) {
  TNamedItems items;
  TNamedItem* a = items.AddNamed("a");
  EXPECT_EQ(items.updates, (std::vector<TCollectionItem*>{nullptr}));
  a->SetDisplayName("renamed");
  EXPECT_EQ(items.updates.back(), a);

  items.updates.clear();
  items.BeginUpdate();
  items.AddNamed("b");
  items.AddNamed("c");
  a->SetDisplayName("again");
  EXPECT_TRUE(items.updates.empty());
  items.EndUpdate();
  EXPECT_EQ(items.updates, (std::vector<TCollectionItem*>{nullptr}));
}

TEST(Collection, AssignCopiesTheItems) {
  TNamedItems source, target;
  source.AddNamed("one");
  source.AddNamed("two");
  target.AddNamed("old");
  target.Assign(&source);
  EXPECT_EQ(target.Names(), (Names{"one", "two"}));
  EXPECT_NE(target.Items(0), source.Items(0));

  TCollectionItem plain;
  try {
    static_cast<TNamedItem*>(target.Items(0))->Assign(&plain);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message, "Cannot assign a TCollectionItem to a TNamedItem");
  }
}

class TExposedCollection : public TOwnedCollection {
public:
  using TOwnedCollection::TOwnedCollection;
  TPersistent* Owner() const { return GetOwner(); }
};

TEST(Collection, OwnedCollectionsAnswerTheirOwner) {
  TPersistent owner;
  TExposedCollection owned(&owner, TCollectionItem::StaticClass(), CollectionItemFactory<TCollectionItem>());
  EXPECT_EQ(owned.Owner(), &owner);
  EXPECT_EQ(owned.Add()->ClassName(), "TCollectionItem");
}

}  // namespace
