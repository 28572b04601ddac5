#include "platform/vcl/Collection.h"

#include <algorithm>
#include <utility>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

// ----- TCollectionItem -----

QUILLO_DEFINE_CLASS(TCollectionItem, TPersistent)

TCollectionItem::~TCollectionItem() = default;

void TCollectionItem::SetCollection(TCollection* collection) {
  if (collection == collection_) return;
  std::unique_ptr<TCollectionItem> self = collection_ != nullptr ? collection_->RemoveItem(this) : nullptr;
  if (collection != nullptr && self) collection->InsertItem(std::move(self));
  // Without a new collection the item has no owner left and ends with `self` here.
}

int TCollectionItem::Index() const { return collection_ != nullptr ? collection_->IndexOf(this) : -1; }

void TCollectionItem::SetIndex(int index) {
  const int current = Index();
  if (current < 0 || index == current) return;
  if (index < 0 || index >= collection_->Count()) throw EListError(Format(RtlText::ListIndexError, index));
  collection_->MoveItem(current, index);
  Changed(true);
}

AnsiString TCollectionItem::DisplayName() const { return ClassName(); }

void TCollectionItem::SetDisplayName(const AnsiString&) { Changed(false); }

AnsiString TCollectionItem::GetNamePath() const {
  if (collection_ == nullptr) return ClassName();
  return collection_->GetNamePath() + "[" + IntToStr(Index()) + "]";
}

TPersistent* TCollectionItem::GetOwner() const { return collection_; }

void TCollectionItem::Changed(bool allItems) {
  if (collection_ != nullptr && collection_->updateCount_ == 0)
    collection_->Update(allItems ? nullptr : this);
}

// ----- TCollection -----

QUILLO_DEFINE_CLASS(TCollection, TPersistent)

TCollection::TCollection(TClass itemClass, ItemFactory makeItem)
    : itemClass_(itemClass), makeItem_(std::move(makeItem)) {}

TCollection::~TCollection() {
  // Items go without notifications: a subclass's handlers are gone already.
  for (auto& item : items_) item->collection_ = nullptr;
  items_.clear();
}

int TCollection::IndexOf(const TCollectionItem* item) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == item) return static_cast<int>(i);
  return -1;
}

TCollectionItem* TCollection::InsertItem(std::unique_ptr<TCollectionItem> item) {
  TCollectionItem* added = item.get();
  added->collection_ = this;
  added->id_ = nextId_++;
  items_.push_back(std::move(item));
  Notify(added, cnAdded);
  Changed();
  return added;
}

std::unique_ptr<TCollectionItem> TCollection::RemoveItem(TCollectionItem* item) {
  const int index = IndexOf(item);
  if (index < 0) return nullptr;
  Notify(item, cnExtracting);
  std::unique_ptr<TCollectionItem> removed = std::move(items_[index]);
  items_.erase(items_.begin() + index);
  removed->collection_ = nullptr;
  Changed();
  return removed;
}

void TCollection::MoveItem(int from, int to) {
  std::unique_ptr<TCollectionItem> item = std::move(items_[from]);
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, std::move(item));
}

TCollectionItem* TCollection::Add() {
  std::unique_ptr<TCollectionItem> item = makeItem_ ? makeItem_() : nullptr;
  if (!item) throw EInvalidOperation("Cannot create an item of " + AnsiString(itemClass_ ? itemClass_->Name : "?"));
  return InsertItem(std::move(item));
}

TCollectionItem* TCollection::Insert(int index) {
  if (index < 0 || index > Count()) throw EListError(Format(RtlText::ListIndexError, index));
  BeginUpdate();
  TCollectionItem* item = Add();
  MoveItem(Count() - 1, index);
  EndUpdate();
  return item;
}

void TCollection::Delete(int index) {
  TCollectionItem* item = Items(index);
  Notify(item, cnDeleting);
  std::unique_ptr<TCollectionItem> removed = std::move(items_[index]);
  items_.erase(items_.begin() + index);
  removed->collection_ = nullptr;
  removed.reset();
  Changed();
}

void TCollection::Clear() {
  if (items_.empty()) return;
  BeginUpdate();
  while (!items_.empty()) Delete(Count() - 1);
  EndUpdate();
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format(RtlText::ListIndexError, index));
  return items_[index].get();
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (const auto& item : items_)
    if (item->id_ == id) return item.get();
  return nullptr;
}

void TCollection::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TCollection*>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  try {
    Clear();
    for (const auto& item : other->items_) Add()->Assign(item.get());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) Changed();
}

void TCollection::Changed() {
  if (updateCount_ == 0) Update(nullptr);
}

void TCollection::Update(TCollectionItem*) {}
void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

// ----- TOwnedCollection -----

QUILLO_DEFINE_CLASS(TOwnedCollection, TCollection)

TOwnedCollection::TOwnedCollection(TPersistent* owner, TClass itemClass, ItemFactory makeItem)
    : TCollection(itemClass, std::move(makeItem)), owner_(owner) {}

TOwnedCollection::~TOwnedCollection() = default;
