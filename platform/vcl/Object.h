#pragma once
// The roots of the framework's classes. TObject carries the class information (name and
// parent) that ClassName and InheritsFrom read; TPersistent adds Assign, the copying of one
// object's state into another of a compatible class. Framework objects are identities:
// they are not copied.
//
// Each class declares its class information with QUILLO_DECLARE_CLASS in its body and
// defines it with QUILLO_DEFINE_CLASS(Name, Base) in its source file.

#include <memory>
#include <utility>

#include "platform/rtl/AnsiString.h"

class TPropTable;

struct TClassInfo {
  const char* Name;
  const TClassInfo* Parent;  // null for TObject
  // The properties this class publishes itself (its ancestors' come from their own tables);
  // null when it publishes none. See TypInfo.h.
  const TPropTable* (*Published)() = nullptr;

  bool InheritsFrom(const TClassInfo* other) const;
};
using TClass = const TClassInfo*;

#define QUILLO_DECLARE_CLASS()                 \
 public:                                      \
  static TClass StaticClass();                \
  TClass ClassType() const override;          \
                                              \
 private:

// A class that publishes properties declares it with QUILLO_DECLARE_PUBLISHED_CLASS, defines
// it with QUILLO_DEFINE_PUBLISHED_CLASS and builds its table in PublishedProperties.
#define QUILLO_DECLARE_PUBLISHED_CLASS()       \
 public:                                      \
  static TClass StaticClass();                \
  TClass ClassType() const override;          \
  static const TPropTable* PublishedProperties(); \
                                              \
 private:

#define QUILLO_DEFINE_PUBLISHED_CLASS(Name, Base)                                        \
  TClass Name::StaticClass() {                                                           \
    static const TClassInfo info{#Name, Base::StaticClass(), &Name::PublishedProperties}; \
    return &info;                                                                        \
  }                                                                                      \
  TClass Name::ClassType() const { return Name::StaticClass(); }

#define QUILLO_DEFINE_CLASS(Name, Base)                            \
  TClass Name::StaticClass() {                                     \
    static const TClassInfo info{#Name, Base::StaticClass()};      \
    return &info;                                                  \
  }                                                                \
  TClass Name::ClassType() const { return Name::StaticClass(); }

class TObject {
public:
  TObject() = default;
  virtual ~TObject();
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;

  static TClass StaticClass();
  virtual TClass ClassType() const;
  AnsiString ClassName() const { return ClassType()->Name; }
  bool InheritsFrom(TClass other) const { return ClassType()->InheritsFrom(other); }

  // Runs once the most derived constructor has finished (MakeObject and NewComponent call
  // it): forms fire OnCreate here.
  virtual void AfterConstruction() {}
  // Runs while the whole object is still alive, before its destructors: components free
  // what they own and tell others of their end here. FreeObject calls it.
  virtual void BeforeDestruction() {}
};

// Frees an object the framework's way: BeforeDestruction, then the destructors. Null is
// ignored.
void FreeObject(TObject* object);

// A holder of one object freed the framework's way.
struct TObjectDeleter {
  void operator()(TObject* object) const { FreeObject(object); }
};
template <class T>
using TOwnedPtr = std::unique_ptr<T, TObjectDeleter>;

// Makes an object that nothing else owns; the holder frees it.
template <class T, class... Args>
TOwnedPtr<T> MakeObject(Args&&... args) {
  TOwnedPtr<T> object(new T(std::forward<Args>(args)...));
  object->AfterConstruction();
  return object;
}

class TPersistent : public TObject {
  QUILLO_DECLARE_CLASS()

public:
  // Takes over the state of source. The default asks source to assign itself (AssignTo);
  // a pair that knows nothing of each other raises EConvertError, as does a null source.
  virtual void Assign(const TPersistent* source);
  // The name under which the object is stored or shown; its class name by default.
  virtual AnsiString GetNamePath() const;

protected:
  virtual void AssignTo(TPersistent* destination) const;
  virtual TPersistent* GetOwner() const { return nullptr; }
  [[noreturn]] void AssignError(const TPersistent* source) const;
};
