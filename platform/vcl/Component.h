#pragma once
// The framework's components: objects with a Name, an Owner that frees them with itself, and
// a list of components that asked to hear of their end. A component is made with its owner
// (NewComponent) and lives until the owner is freed or it is freed itself (FreeObject);
// every component that was told of it (as its owner, or through FreeNotification) hears
// Notification(it, opRemove) before it goes, so no one keeps a dangling reference.

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Object.h"
#include "platform/vcl/SetOf.h"
#include "platform/vcl/TypInfo.h"

using TNotifyEvent = std::function<void(TObject* sender)>;

enum TComponentStateFlag {
  csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor, csUpdating, csFixups,
  csFreeNotification, csInline, csDesignInstance
};
using TComponentState = SetOf<TComponentStateFlag>;

enum TOperation { opInsert, opRemove };

class EComponentError : public Exception {
public:
  explicit EComponentError(AnsiString message);
  ~EComponentError() override;
};

class TComponent : public TPersistent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  void BeforeDestruction() override;

  AnsiString GetName() const { return name_; }
  // A valid identifier (or empty), unique among the owner's components regardless of case;
  // EComponentError otherwise, and the name stays.
  virtual void SetName(const AnsiString& name);
  std::intptr_t GetTag() const { return tag_; }
  void SetTag(std::intptr_t tag) { tag_ = tag; }

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const;  // EListError for a bad index
  int ComponentIndex() const;  // the place in the owner's list, -1 without owner
  // The owned component of that name, compared without regard to case; null when none.
  TComponent* FindComponent(const AnsiString& name) const;
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Frees every owned component, the newest first.
  void DestroyComponents();

  // Asks to be told (Notification with opRemove) when component is freed; the link runs
  // both ways, so either end going away forgets the other.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  TComponentState ComponentState() const { return state_; }
  // Starts the end: csDestroying is set and every owned component is told too.
  void Destroying();
  // Called once the component's properties have all been set (after a form's constructor
  // built it); clears csLoading.
  virtual void Loaded();
  // Marks the component and all it owns as being built (csLoading) or at design time.
  void BeginLoading();
  void SetDesigning(bool designing);

  AnsiString GetNamePath() const override { return name_; }

protected:
  // Another component was inserted into or removed from this one's list, or was freed.
  virtual void Notification(TComponent* component, TOperation operation);
  virtual void ValidateRename(TComponent* component, const AnsiString& oldName, const AnsiString& newName);
  TPersistent* GetOwner() const override { return owner_; }
  void SetComponentState(TComponentState state) { state_ = state; }
  // Whether the component's ending (BeforeDestruction) ran to the end already.
  bool Freed() const { return freed_; }

private:
  void Insert(TComponent* component);
  void Remove(TComponent* component);
  void NotifyAll(TComponent* component, TOperation operation);
  void RemoveNotification(TComponent* component);

  AnsiString name_;
  std::intptr_t tag_ = 0;
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;  // owned
  std::vector<TComponent*> freeNotifies_;  // told of this one's end, and telling it of theirs
  TComponentState state_;
  bool freed_ = false;  // BeforeDestruction ran
};

// Makes a component its owner will free. The owner must be given: a component without one is
// made with MakeObject and freed by its holder.
template <class T, class... Args>
T* NewComponent(TComponent* owner, Args&&... args) {
  if (!owner) throw EComponentError("A component made with NewComponent needs an owner");
  T* component = new T(owner, std::forward<Args>(args)...);  // the owner's list keeps it from here on
  try {
    component->AfterConstruction();
  } catch (...) {
    // Its making failed (an MDI child found no frame to live in): it goes, as an object
    // whose constructor raised would.
    FreeObject(component);
    throw;
  }
  return component;
}

// NewComponent given its name, as a form's designer would.
template <class T>
T* NewNamedComponent(TComponent* owner, const AnsiString& name) {
  T* component = NewComponent<T>(owner);
  component->SetName(name);
  return component;
}

// Frees a component and clears the reference to it.
template <class T>
void FreeAndNil(T*& object) {
  T* doomed = object;
  object = nullptr;
  FreeObject(doomed);
}

bool IsValidIdent(const AnsiString& name);
