#include "platform/vcl/Component.h"

#include <algorithm>
#include <cctype>

#include "platform/rtl/SysUtils.h"

namespace {
namespace Text {
constexpr const char* InvalidName = "'%s' is not a valid component name";
constexpr const char* DuplicateName = "A component named %s already exists";
}  // namespace Text

void Erase(std::vector<TComponent*>& list, TComponent* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}
}  // namespace

EComponentError::EComponentError(AnsiString message) : Exception(std::move(message)) {}
EComponentError::~EComponentError() = default;

bool IsValidIdent(const AnsiString& name) {
  if (name.empty()) return false;
  auto alpha = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; };
  if (!alpha(name[0])) return false;
  return std::all_of(name.begin() + 1, name.end(),
                     [&](char c) { return alpha(c) || std::isdigit(static_cast<unsigned char>(c)); });
}

QUILLO_DEFINE_PUBLISHED_CLASS(TComponent, TPersistent)

const TPropTable* TComponent::PublishedProperties() {
  static const TPropTable table = TPublisher<TComponent>()
                                      .Property("Name", &TComponent::GetName, &TComponent::SetName)
                                      .Property("Tag", &TComponent::GetTag, &TComponent::SetTag, TypeInfo<int>())
                                      .Table();
  return &table;
}

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  // Freed with a plain delete: the ending that BeforeDestruction would have run, at the
  // level that is left.
  if (!freed_) TComponent::BeforeDestruction();
}

void TComponent::BeforeDestruction() {
  if (freed_) return;
  freed_ = true;
  Destroying();
  while (!freeNotifies_.empty()) {
    TComponent* other = freeNotifies_.back();
    freeNotifies_.pop_back();
    Erase(other->freeNotifies_, this);
    other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::SetName(const AnsiString& name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidIdent(name)) throw EComponentError(Format(Text::InvalidName, name.c_str()));
  if (owner_) owner_->ValidateRename(this, name_, name);
  else ValidateRename(nullptr, name_, name);
  name_ = name;
}

void TComponent::ValidateRename(TComponent* component, const AnsiString& oldName, const AnsiString& newName) {
  if (!component || newName.empty() || SameText(oldName, newName)) return;
  TComponent* clash = FindComponent(newName);
  if (clash && clash != component) throw EComponentError(Format(Text::DuplicateName, newName.c_str()));
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) throw EListError(Format(RtlText::ListIndexError, index));
  return components_[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  auto& list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(const AnsiString& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component) return;
  if (component->owner_) component->owner_->RemoveComponent(component);
  ValidateRename(component, AnsiString(), component->name_);
  Insert(component);
  if (state_.Contains(csDesigning)) component->SetDesigning(true);
  if (state_.Contains(csLoading)) component->state_ << csLoading;
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->owner_ != this) return;
  Notification(component, opRemove);
  Remove(component);
}

void TComponent::Insert(TComponent* component) {
  components_.push_back(component);
  component->owner_ = this;
}

void TComponent::Remove(TComponent* component) {
  Erase(components_, component);
  component->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* doomed = components_.back();
    RemoveComponent(doomed);
    FreeObject(doomed);
  }
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_ << csDestroying;
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component) RemoveNotification(component);
  // Every owned component hears it too: a sibling may hold a reference to the one going.
  std::vector<TComponent*> owned = components_;
  for (TComponent* c : owned)
    if (std::find(components_.begin(), components_.end(), c) != components_.end()) c->Notification(component, operation);
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (owner_ && component == owner_) return;  // an owner hears anyway
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end()) {
    freeNotifies_.push_back(component);
    component->freeNotifies_.push_back(this);
  }
  state_ << csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* component) { RemoveNotification(component); }

void TComponent::RemoveNotification(TComponent* component) {
  Erase(freeNotifies_, component);
  Erase(component->freeNotifies_, this);
}

void TComponent::Loaded() { state_ >> csLoading; }

void TComponent::BeginLoading() {
  state_ << csLoading;
  for (TComponent* c : components_) c->BeginLoading();
}

void TComponent::SetDesigning(bool designing) {
  if (designing) state_ << csDesigning;
  else state_ >> csDesigning;
  for (TComponent* c : components_) c->SetDesigning(designing);
}
