#include "platform/vcl/Object.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

bool TClassInfo::InheritsFrom(const TClassInfo* other) const {
  for (const TClassInfo* c = this; c != nullptr; c = c->Parent)
    if (c == other) return true;
  return false;
}

TObject::~TObject() = default;

void FreeObject(TObject* object) {
  if (!object) return;
  object->BeforeDestruction();
  delete object;  // the framework's ownership: whoever frees an object deletes it here
}

TClass TObject::StaticClass() {
  static const TClassInfo info{"TObject", nullptr};
  return &info;
}

TClass TObject::ClassType() const { return StaticClass(); }

QUILLO_DEFINE_CLASS(TPersistent, TObject)

void TPersistent::Assign(const TPersistent* source) {
  if (source == nullptr) AssignError(nullptr);
  source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* destination) const { destination->AssignError(this); }

AnsiString TPersistent::GetNamePath() const { return ClassName(); }

void TPersistent::AssignError(const TPersistent* source) const {
  const AnsiString sourceName = source != nullptr ? source->ClassName() : AnsiString("nil");
  throw EConvertError(Format(RtlText::AssignError, sourceName.c_str(), ClassName().c_str()));
}
