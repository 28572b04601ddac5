#include "platform/vcl/TypInfo.h"

#include <map>
#include <mutex>

#include "platform/rtl/Everlasting.h"
#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/SysUtils.h"

namespace {

namespace Text {
constexpr const char* UnknownProperty = "Property %s does not exist";
constexpr const char* ReadOnlyProperty = "Property %s is read-only";
constexpr const char* InvalidPropertyType = "Invalid property type: %s";
constexpr const char* InvalidPropertyElement = "Invalid property element: %s";
constexpr const char* InvalidPropertyValue = "Invalid property value";
}  // namespace Text

TTypeInfo Ordinal(TTypeKind kind, const char* name, std::int64_t min, std::int64_t max) {
  TTypeInfo info;
  info.Kind = kind;
  info.Name = name;
  info.MinValue = min;
  info.MaxValue = max;
  return info;
}

bool IsStringKind(TTypeKind k) { return k == tkString || k == tkLString || k == tkWString; }
bool IsOrdinalKind(TTypeKind k) {
  return k == tkInteger || k == tkChar || k == tkWChar || k == tkEnumeration || k == tkSet || k == tkInt64;
}

[[noreturn]] void WrongKind(PPropInfo prop) {
  throw EPropertyConvertError(Format(Text::InvalidPropertyType, prop->PropType->Name.c_str()));
}
[[noreturn]] void ReadOnly(PPropInfo prop) { throw EPropertyError(Format(Text::ReadOnlyProperty, prop->Name.c_str())); }

// The object a name (or path) ends on, with its property; EPropertyError when there is none.
TPropTarget Require(const TObject* object, const AnsiString& name) {
  // Reading through a path never changes the objects on it; setters get their own object.
  TPropTarget target = FindPropTarget(const_cast<TObject*>(object), name);
  if (!target.Prop) throw EPropertyError(Format(Text::UnknownProperty, name.c_str()));
  return target;
}

// A descriptor reads and writes only objects of the class that publishes it.
void CheckTarget(const TObject* object, PPropInfo prop) {
  if (!prop) throw EPropertyError(Format(Text::UnknownProperty, ""));
  if (!object || !object->InheritsFrom(prop->Publisher))
    throw EPropertyError(Format(Text::UnknownProperty, prop->Name.c_str()));
}

// The published property of that name in cls itself or its ancestors (no path).
PPropInfo FindOwnProp(TClass cls, const AnsiString& name) {
  for (TClass c = cls; c; c = c->Parent) {
    if (!c->Published) continue;
    for (const TPropInfo& p : c->Published()->Items())
      if (SameText(p.Name, name)) return &p;
  }
  return nullptr;
}

PPropInfo OfKinds(PPropInfo prop, TTypeKinds kinds) {
  return prop && kinds.Contains(prop->PropType->Kind) ? prop : nullptr;
}

}  // namespace

#define QUILLO_BUILTIN_TYPE(Type, ...)                     \
  PTypeInfo TypeInfoOf<Type>::Get() {                      \
    static const TTypeInfo info = __VA_ARGS__;             \
    return &info;                                          \
  }
QUILLO_BUILTIN_TYPE(int, Ordinal(tkInteger, "Integer", INT32_MIN, INT32_MAX))
QUILLO_BUILTIN_TYPE(unsigned, Ordinal(tkInteger, "Cardinal", 0, UINT32_MAX))
QUILLO_BUILTIN_TYPE(short, Ordinal(tkInteger, "Smallint", INT16_MIN, INT16_MAX))
QUILLO_BUILTIN_TYPE(std::uint8_t, Ordinal(tkInteger, "Byte", 0, 255))
QUILLO_BUILTIN_TYPE(long, Ordinal(tkInt64, "Int64", INT64_MIN, INT64_MAX))
QUILLO_BUILTIN_TYPE(bool, MakeEnumTypeInfo("Boolean", {"False", "True"}))
QUILLO_BUILTIN_TYPE(char, Ordinal(tkChar, "Char", 0, 255))
QUILLO_BUILTIN_TYPE(AnsiString, Ordinal(tkLString, "AnsiString", 0, 0))
QUILLO_BUILTIN_TYPE(double, Ordinal(tkFloat, "Double", 0, 0))
#undef QUILLO_BUILTIN_TYPE

PTypeInfo ClassTypeInfo(TClass cls) {
  // One record per class, made on first use; records never move once made.
  static std::mutex lock;
  static Everlasting<std::map<TClass, TTypeInfo>> infos;
  std::lock_guard<std::mutex> guard(lock);
  auto [it, added] = infos->try_emplace(cls);
  if (added) {
    it->second.Kind = tkClass;
    it->second.Name = cls->Name;
    it->second.ClassType = cls;
  }
  return &it->second;
}

TTypeInfo MakeEnumTypeInfo(const char* name, std::initializer_list<const char*> names) {
  TTypeInfo info = Ordinal(tkEnumeration, name, 0, static_cast<std::int64_t>(names.size()) - 1);
  for (const char* n : names) info.EnumNames.emplace_back(n);
  return info;
}

TTypeInfo MakeSetTypeInfo(const char* name, PTypeInfo members) {
  TTypeInfo info = Ordinal(tkSet, name, 0, 0);
  info.CompType = members;
  return info;
}

void TPropTable::Add(TPropInfo info) { items_.push_back(std::move(info)); }

EPropertyError::EPropertyError(AnsiString message) : Exception(std::move(message)) {}
EPropertyError::~EPropertyError() = default;
EPropertyConvertError::EPropertyConvertError(AnsiString message) : Exception(std::move(message)) {}
EPropertyConvertError::~EPropertyConvertError() = default;

PPropInfo GetPropInfo(TClass cls, const AnsiString& name, TTypeKinds kinds) {
  AnsiString rest = name;
  for (size_t dot = rest.find('.'); cls && dot != AnsiString::npos; dot = rest.find('.')) {
    PPropInfo step = FindOwnProp(cls, Trim(rest.substr(0, dot)));
    if (!step || step->PropType->Kind != tkClass) return nullptr;
    cls = step->PropType->ClassType;
    rest = rest.substr(dot + 1);
  }
  return cls ? OfKinds(FindOwnProp(cls, Trim(rest)), kinds) : nullptr;
}

PPropInfo GetPropInfo(const TObject* object, const AnsiString& name, TTypeKinds kinds) {
  return OfKinds(FindPropTarget(const_cast<TObject*>(object), name).Prop, kinds);
}

TPropTarget FindPropTarget(TObject* object, const AnsiString& path) {
  AnsiString rest = path;
  for (size_t dot = rest.find('.'); object && dot != AnsiString::npos; dot = rest.find('.')) {
    PPropInfo step = FindOwnProp(object->ClassType(), Trim(rest.substr(0, dot)));
    if (!step || step->PropType->Kind != tkClass) return {};
    object = step->GetObj(object);
    rest = rest.substr(dot + 1);
  }
  if (!object) return {};
  PPropInfo prop = FindOwnProp(object->ClassType(), Trim(rest));
  return prop ? TPropTarget{object, prop} : TPropTarget{};
}

std::vector<PPropInfo> GetPropList(TClass cls, TTypeKinds kinds) {
  std::vector<TClass> chain;
  for (TClass c = cls; c; c = c->Parent) chain.push_back(c);
  std::vector<PPropInfo> list;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!(*it)->Published) continue;
    for (const TPropInfo& p : (*it)->Published()->Items()) {
      bool replaced = false;
      for (PPropInfo& existing : list)
        if (SameText(existing->Name, p.Name)) {
          existing = &p;
          replaced = true;
        }
      if (!replaced) list.push_back(&p);
    }
  }
  std::vector<PPropInfo> out;
  for (PPropInfo p : list)
    if (kinds.Contains(p->PropType->Kind)) out.push_back(p);
  return out;
}

std::vector<PPropInfo> GetPropList(const TObject* object, TTypeKinds kinds) {
  return object ? GetPropList(object->ClassType(), kinds) : std::vector<PPropInfo>{};
}

bool IsPublishedProp(const TObject* object, const AnsiString& name) { return GetPropInfo(object, name) != nullptr; }

TTypeKind PropType(const TObject* object, const AnsiString& name) { return Require(object, name).Prop->PropType->Kind; }

std::int64_t GetOrdProp(const TObject* object, PPropInfo prop) {
  CheckTarget(object, prop);
  if (prop->PropType->Kind == tkClass) return reinterpret_cast<std::intptr_t>(prop->GetObj(object));
  if (!prop->GetOrd) WrongKind(prop);
  return prop->GetOrd(object);
}

void SetOrdProp(TObject* object, PPropInfo prop, std::int64_t value) {
  CheckTarget(object, prop);
  if (prop->PropType->Kind == tkClass) {
    SetObjectProp(object, prop, reinterpret_cast<TObject*>(static_cast<std::intptr_t>(value)));
    return;
  }
  if (!IsOrdinalKind(prop->PropType->Kind)) WrongKind(prop);
  if (!prop->SetOrd) ReadOnly(prop);
  // An ordinal that names no value would reach code that indexes by it.
  if (prop->PropType->Kind == tkEnumeration && (value < prop->PropType->MinValue || value > prop->PropType->MaxValue))
    throw EPropertyConvertError(Text::InvalidPropertyValue);
  prop->SetOrd(object, value);
}

AnsiString GetEnumProp(const TObject* object, PPropInfo prop) {
  CheckTarget(object, prop);
  if (prop->PropType->Kind != tkEnumeration) WrongKind(prop);
  return GetEnumName(prop->PropType, prop->GetOrd(object));
}

void SetEnumProp(TObject* object, PPropInfo prop, const AnsiString& value) {
  CheckTarget(object, prop);
  if (prop->PropType->Kind != tkEnumeration) WrongKind(prop);
  int ordinal = GetEnumValue(prop->PropType, value);
  if (ordinal < 0) throw EPropertyConvertError(Format(Text::InvalidPropertyElement, value.c_str()));
  SetOrdProp(object, prop, ordinal);
}

AnsiString GetSetProp(const TObject* object, PPropInfo prop, bool brackets) {
  CheckTarget(object, prop);
  if (prop->PropType->Kind != tkSet) WrongKind(prop);
  return SetToString(prop->PropType, static_cast<std::uint32_t>(prop->GetOrd(object)), brackets);
}

void SetSetProp(TObject* object, PPropInfo prop, const AnsiString& value) {
  CheckTarget(object, prop);
  if (prop->PropType->Kind != tkSet) WrongKind(prop);
  SetOrdProp(object, prop, StringToSet(prop->PropType, value));
}

AnsiString GetStrProp(const TObject* object, PPropInfo prop) {
  CheckTarget(object, prop);
  if (!IsStringKind(prop->PropType->Kind)) WrongKind(prop);
  return prop->GetStr(object);
}

void SetStrProp(TObject* object, PPropInfo prop, const AnsiString& value) {
  CheckTarget(object, prop);
  if (!IsStringKind(prop->PropType->Kind)) WrongKind(prop);
  if (!prop->SetStr) ReadOnly(prop);
  prop->SetStr(object, value);
}

double GetFloatProp(const TObject* object, PPropInfo prop) {
  CheckTarget(object, prop);
  if (prop->PropType->Kind != tkFloat) WrongKind(prop);
  return prop->GetFloat(object);
}

void SetFloatProp(TObject* object, PPropInfo prop, double value) {
  CheckTarget(object, prop);
  if (prop->PropType->Kind != tkFloat) WrongKind(prop);
  if (!prop->SetFloat) ReadOnly(prop);
  prop->SetFloat(object, value);
}

std::int64_t GetInt64Prop(const TObject* object, PPropInfo prop) {
  CheckTarget(object, prop);
  if (!prop->GetOrd || prop->PropType->Kind == tkSet) WrongKind(prop);
  return prop->GetOrd(object);
}

void SetInt64Prop(TObject* object, PPropInfo prop, std::int64_t value) {
  CheckTarget(object, prop);
  if (prop->PropType->Kind != tkInt64 && prop->PropType->Kind != tkInteger) WrongKind(prop);
  SetOrdProp(object, prop, value);
}

TObject* GetObjectProp(const TObject* object, PPropInfo prop, TClass minClass) {
  CheckTarget(object, prop);
  if (prop->PropType->Kind != tkClass) WrongKind(prop);
  TObject* value = prop->GetObj(object);
  if (value && minClass && !value->InheritsFrom(minClass)) return nullptr;
  return value;
}

void SetObjectProp(TObject* object, PPropInfo prop, TObject* value) {
  CheckTarget(object, prop);
  if (prop->PropType->Kind != tkClass) WrongKind(prop);
  if (!prop->SetObj) ReadOnly(prop);
  if (value && !value->InheritsFrom(prop->PropType->ClassType))
    throw EPropertyConvertError(Text::InvalidPropertyValue);
  prop->SetObj(object, value);
}

std::int64_t GetOrdProp(const TObject* o, const AnsiString& n) {
  TPropTarget t = Require(o, n);
  return GetOrdProp(t.Object, t.Prop);
}
void SetOrdProp(TObject* o, const AnsiString& n, std::int64_t v) {
  TPropTarget t = Require(o, n);
  SetOrdProp(t.Object, t.Prop, v);
}
AnsiString GetEnumProp(const TObject* o, const AnsiString& n) {
  TPropTarget t = Require(o, n);
  return GetEnumProp(t.Object, t.Prop);
}
void SetEnumProp(TObject* o, const AnsiString& n, const AnsiString& v) {
  TPropTarget t = Require(o, n);
  SetEnumProp(t.Object, t.Prop, v);
}
AnsiString GetSetProp(const TObject* o, const AnsiString& n, bool b) {
  TPropTarget t = Require(o, n);
  return GetSetProp(t.Object, t.Prop, b);
}
void SetSetProp(TObject* o, const AnsiString& n, const AnsiString& v) {
  TPropTarget t = Require(o, n);
  SetSetProp(t.Object, t.Prop, v);
}
AnsiString GetStrProp(const TObject* o, const AnsiString& n) {
  TPropTarget t = Require(o, n);
  return GetStrProp(t.Object, t.Prop);
}
void SetStrProp(TObject* o, const AnsiString& n, const AnsiString& v) {
  TPropTarget t = Require(o, n);
  SetStrProp(t.Object, t.Prop, v);
}
double GetFloatProp(const TObject* o, const AnsiString& n) {
  TPropTarget t = Require(o, n);
  return GetFloatProp(t.Object, t.Prop);
}
void SetFloatProp(TObject* o, const AnsiString& n, double v) {
  TPropTarget t = Require(o, n);
  SetFloatProp(t.Object, t.Prop, v);
}
std::int64_t GetInt64Prop(const TObject* o, const AnsiString& n) {
  TPropTarget t = Require(o, n);
  return GetInt64Prop(t.Object, t.Prop);
}
void SetInt64Prop(TObject* o, const AnsiString& n, std::int64_t v) {
  TPropTarget t = Require(o, n);
  SetInt64Prop(t.Object, t.Prop, v);
}
TObject* GetObjectProp(const TObject* o, const AnsiString& n, TClass c) {
  TPropTarget t = Require(o, n);
  return GetObjectProp(t.Object, t.Prop, c);
}
void SetObjectProp(TObject* o, const AnsiString& n, TObject* v) {
  TPropTarget t = Require(o, n);
  SetObjectProp(t.Object, t.Prop, v);
}

AnsiString GetPropValue(const TObject* owner, const AnsiString& name) {
  auto [object, prop] = Require(owner, name);
  switch (prop->PropType->Kind) {
    case tkInteger: case tkInt64: return IntToStr(prop->GetOrd(object));
    case tkChar: case tkWChar: return AnsiString(1, static_cast<char>(prop->GetOrd(object)));
    case tkEnumeration: return GetEnumProp(object, prop);
    case tkSet: return GetSetProp(object, prop, true);
    case tkFloat: return FloatToStr(prop->GetFloat(object));
    case tkString: case tkLString: case tkWString: return prop->GetStr(object);
    default: WrongKind(prop);
  }
}

void SetPropValue(TObject* owner, const AnsiString& name, const AnsiString& value) {
  auto [object, prop] = Require(owner, name);
  switch (prop->PropType->Kind) {
    case tkInteger: SetOrdProp(object, prop, StrToInt(value)); return;
    case tkInt64: SetOrdProp(object, prop, StrToInt64(value)); return;
    case tkChar: case tkWChar: SetOrdProp(object, prop, value.empty() ? 0 : static_cast<unsigned char>(value[0])); return;
    case tkEnumeration: SetEnumProp(object, prop, value); return;
    case tkSet: SetSetProp(object, prop, value); return;
    case tkFloat: SetFloatProp(object, prop, static_cast<double>(StrToFloat(value))); return;
    case tkString: case tkLString: case tkWString: SetStrProp(object, prop, value); return;
    default: WrongKind(prop);
  }
}

AnsiString GetEnumName(PTypeInfo type, std::int64_t value) {
  if (!type) return AnsiString();
  if (type->Kind == tkInteger || type->Kind == tkInt64) return IntToStr(value);
  if (value < 0 || value >= static_cast<std::int64_t>(type->EnumNames.size())) return AnsiString();
  return type->EnumNames[static_cast<size_t>(value)];
}

int GetEnumValue(PTypeInfo type, const AnsiString& name) {
  if (!type) return -1;
  AnsiString trimmed = Trim(name);
  for (size_t i = 0; i < type->EnumNames.size(); ++i)
    if (SameText(type->EnumNames[i], trimmed)) return static_cast<int>(i);
  return -1;
}

AnsiString SetToString(PTypeInfo setType, std::uint32_t value, bool brackets) {
  AnsiString out;
  PTypeInfo members = setType ? setType->CompType : nullptr;
  for (int bit = 0; bit < 32; ++bit) {
    if (!(value & (std::uint32_t{1} << bit))) continue;
    if (!out.empty()) out += ',';
    AnsiString n = GetEnumName(members, bit);
    out += n.empty() ? IntToStr(bit) : n;
  }
  return brackets ? "[" + out + "]" : out;
}

std::uint32_t StringToSet(PTypeInfo setType, const AnsiString& value) {
  PTypeInfo members = setType ? setType->CompType : nullptr;
  std::uint32_t bits = 0;
  AnsiString word;
  auto take = [&] {
    if (word.empty()) return;
    int ordinal = GetEnumValue(members, word);
    if (ordinal < 0 || ordinal > 31) throw EPropertyConvertError(Format(Text::InvalidPropertyElement, word.c_str()));
    bits |= std::uint32_t{1} << ordinal;
    word.clear();
  };
  for (char c : value) {
    if (c == ',' || c == ' ' || c == '[' || c == ']' || c == '\t') {
      take();
    } else {
      word += c;
    }
  }
  take();
  return bits;
}
