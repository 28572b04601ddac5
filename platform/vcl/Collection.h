#pragma once
// The framework's collections: a TCollection owns items of one TCollectionItem class, which
// it creates itself (Add, Insert) and destroys (Delete, Clear, its own end). Each item knows
// its collection, its index and an ID that stays unique in the collection. A change to an
// item or to the list calls Update once, or once at EndUpdate when updates are held.

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/AnsiString.h"
#include "platform/vcl/Object.h"

class TCollection;

class TCollectionItem : public TPersistent {
  QUILLO_DECLARE_CLASS()

public:
  TCollectionItem() = default;
  ~TCollectionItem() override;

  TCollection* Collection() const { return collection_; }
  // Moves the item into another collection (which takes it over) or, with null, destroys it.
  void SetCollection(TCollection* collection);
  int ID() const { return id_; }
  int Index() const;  // -1 outside a collection
  void SetIndex(int index);
  // The item's name in a list; the class name unless a subclass gives one.
  virtual AnsiString DisplayName() const;
  virtual void SetDisplayName(const AnsiString& name);
  AnsiString GetNamePath() const override;  // the collection's name path + "[index]"

protected:
  TPersistent* GetOwner() const override;
  // Tells the collection that this item (or, with allItems, the whole list) changed.
  void Changed(bool allItems);

private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  int id_ = 0;
};

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollection : public TPersistent {
  QUILLO_DECLARE_CLASS()

public:
  using ItemFactory = std::function<std::unique_ptr<TCollectionItem>()>;

  // The items are made by makeItem and are of itemClass.
  TCollection(TClass itemClass, ItemFactory makeItem);
  ~TCollection() override;

  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  int Count() const { return static_cast<int>(items_.size()); }
  TCollectionItem* Items(int index) const;  // EListError for a bad index
  TCollectionItem* FindItemID(int id) const;
  TClass ItemClass() const { return itemClass_; }
  // Copies a collection's items: clears this one, then adds and assigns one item for each.
  void Assign(const TPersistent* source) override;

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

protected:
  // Called with the changed item, or null when the list itself (or everything) changed.
  virtual void Update(TCollectionItem* item);
  virtual void Notify(TCollectionItem* item, TCollectionNotification action);
  void Changed();

private:
  friend class TCollectionItem;
  int IndexOf(const TCollectionItem* item) const;
  TCollectionItem* InsertItem(std::unique_ptr<TCollectionItem> item);
  std::unique_ptr<TCollectionItem> RemoveItem(TCollectionItem* item);
  void MoveItem(int from, int to);

  TClass itemClass_;
  ItemFactory makeItem_;
  std::vector<std::unique_ptr<TCollectionItem>> items_;
  int nextId_ = 0;
  int updateCount_ = 0;
};

// The factory for collections of one item class: TCollection(TMyItem::StaticClass(),
// CollectionItemFactory<TMyItem>()).
template <class Item>
TCollection::ItemFactory CollectionItemFactory() {
  return [] { return std::unique_ptr<TCollectionItem>(std::make_unique<Item>()); };
}

// A collection that belongs to an object (which its items' name paths start from).
class TOwnedCollection : public TCollection {
  QUILLO_DECLARE_CLASS()

public:
  TOwnedCollection(TPersistent* owner, TClass itemClass, ItemFactory makeItem);
  ~TOwnedCollection() override;

protected:
  TPersistent* GetOwner() const override { return owner_; }

private:
  TPersistent* owner_;
};
