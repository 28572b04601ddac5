#pragma once
// The roots of the framework's classes. TObject carries the class information (name and
// parent) that ClassName and InheritsFrom read; TPersistent adds Assign, the copying of one
// object's state into another of a compatible class. Framework objects are identities:
// they are not copied.
//
// Each class declares its class information with QUILLO_DECLARE_CLASS in its body and
// defines it with QUILLO_DEFINE_CLASS(Name, Base) in its source file.

#include "platform/rtl/AnsiString.h"

struct TClassInfo {
  const char* Name;
  const TClassInfo* Parent;  // null for TObject

  bool InheritsFrom(const TClassInfo* other) const;
};
using TClass = const TClassInfo*;

#define QUILLO_DECLARE_CLASS()                 \
 public:                                      \
  static TClass StaticClass();                \
  TClass ClassType() const override;          \
                                              \
 private:

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
};

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
