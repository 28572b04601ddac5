#pragma once
// Published properties: the framework's run-time type information. A class lists the
// properties it publishes in a static table (name, type, getter, setter); GetPropInfo finds
// one by name along the class chain, and the typed accessors (GetOrdProp, SetEnumProp,
// GetStrProp, GetObjectProp...) read and write it. Translation, property storage and form
// storage work through these.
//
// A class builds its table once, in PublishedProperties:
//
//   const TPropTable* TPanel::PublishedProperties() {
//     static const TPropTable table = TPublisher<TPanel>()
//         .Property("Caption", &TPanel::Caption, &TPanel::SetCaption)
//         .Property("Align", &TPanel::Align, &TPanel::SetAlign)
//         .Table();
//     return &table;
//   }
//
// The kind follows the getter's type: integers, enumerations (and bool), sets (SetOf),
// strings, floating point and objects (a pointer to a TObject class: a sub-object such as
// Font, a string list, or a reference to another component).

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <type_traits>
#include <vector>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Object.h"
#include "platform/vcl/SetOf.h"

enum TTypeKind {
  tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod,
  tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64, tkDynArray
};
using TTypeKinds = SetOf<TTypeKind>;
inline constexpr TTypeKinds tkProperties = TTypeKinds::FromBits(0x3FFFF & ~(1u << tkUnknown) & ~(1u << tkMethod));
inline constexpr TTypeKinds tkAny = TTypeKinds::FromBits(0x3FFFF);

struct TTypeInfo {
  TTypeKind Kind = tkUnknown;
  AnsiString Name;
  std::int64_t MinValue = 0;  // ordinals
  std::int64_t MaxValue = 0;
  std::vector<AnsiString> EnumNames;  // enumerations: the name of each value from 0
  const TTypeInfo* CompType = nullptr;  // sets: the enumeration of their members
  TClass ClassType = nullptr;  // classes
};
using PTypeInfo = const TTypeInfo*;

// The type information of a property type; specialised for the built-in types below, for
// every class of the framework, and for each enumeration and set by the macros.
template <class T, class = void>
struct TypeInfoOf;
template <class T>
PTypeInfo TypeInfo() {
  return TypeInfoOf<T>::Get();
}

#define QUILLO_BUILTIN_TYPE(Type)   \
  template <>                       \
  struct TypeInfoOf<Type> {         \
    static PTypeInfo Get();         \
  };
QUILLO_BUILTIN_TYPE(int)
QUILLO_BUILTIN_TYPE(unsigned)
QUILLO_BUILTIN_TYPE(short)
QUILLO_BUILTIN_TYPE(std::uint8_t)
QUILLO_BUILTIN_TYPE(long)
QUILLO_BUILTIN_TYPE(bool)
QUILLO_BUILTIN_TYPE(char)
QUILLO_BUILTIN_TYPE(AnsiString)
QUILLO_BUILTIN_TYPE(double)
#undef QUILLO_BUILTIN_TYPE

// Objects: the type is the class.
PTypeInfo ClassTypeInfo(TClass cls);
template <class T>
struct TypeInfoOf<T*, std::enable_if_t<std::is_base_of_v<TObject, T>>> {
  static PTypeInfo Get() { return ClassTypeInfo(T::StaticClass()); }
};

// An enumeration type: declared in the header beside the enumeration, defined with the names
// of its values in order in one source file.
#define QUILLO_DECLARE_ENUM_TYPE(Type) \
  template <>                          \
  struct TypeInfoOf<Type> {            \
    static PTypeInfo Get();            \
  };
#define QUILLO_DEFINE_ENUM_TYPE(Type, ...)                                    \
  PTypeInfo TypeInfoOf<Type>::Get() {                                         \
    static const TTypeInfo info = MakeEnumTypeInfo(#Type, {__VA_ARGS__});    \
    return &info;                                                             \
  }
// A set of an enumeration's values (SetOf<Enum>), under its framework name.
#define QUILLO_DECLARE_SET_TYPE(Enum) QUILLO_DECLARE_ENUM_TYPE(SetOf<Enum>)
#define QUILLO_DEFINE_SET_TYPE(Name, Enum)                                           \
  PTypeInfo TypeInfoOf<SetOf<Enum>>::Get() {                                         \
    static const TTypeInfo info = MakeSetTypeInfo(#Name, TypeInfoOf<Enum>::Get());  \
    return &info;                                                                    \
  }
TTypeInfo MakeEnumTypeInfo(const char* name, std::initializer_list<const char*> names);
TTypeInfo MakeSetTypeInfo(const char* name, PTypeInfo members);

// One published property.
struct TPropInfo {
  AnsiString Name;
  PTypeInfo PropType = nullptr;
  TClass Publisher = nullptr;  // the class whose table lists it
  // One pair is set, after the kind: ordinals and sets (as bits) and objects (as their
  // address) use the ordinal pair; strings, floats and objects their own.
  std::function<std::int64_t(const TObject*)> GetOrd;
  std::function<void(TObject*, std::int64_t)> SetOrd;
  std::function<AnsiString(const TObject*)> GetStr;
  std::function<void(TObject*, const AnsiString&)> SetStr;
  std::function<double(const TObject*)> GetFloat;
  std::function<void(TObject*, double)> SetFloat;
  std::function<TObject*(const TObject*)> GetObj;
  std::function<void(TObject*, TObject*)> SetObj;

  bool Writable() const { return SetOrd || SetStr || SetFloat || SetObj; }
};
using PPropInfo = const TPropInfo*;

class TPropTable {
public:
  void Add(TPropInfo info);
  const std::vector<TPropInfo>& Items() const { return items_; }

private:
  std::vector<TPropInfo> items_;
};

// Builds the table of class C from its getters and setters (member functions or callables
// taking the object; a null setter makes the property read-only).
template <class C>
class TPublisher {
public:
  template <class G, class S = std::nullptr_t>
  TPublisher& Property(const char* name, G getter, S setter = nullptr, PTypeInfo type = nullptr) {
    using V = std::decay_t<std::invoke_result_t<G, const C*>>;
    TPropInfo info;
    info.Name = name;
    info.Publisher = C::StaticClass();
    info.PropType = type ? type : TypeInfo<V>();
    auto self = [](const TObject* o) { return static_cast<const C*>(o); };
    auto mut = [](TObject* o) { return static_cast<C*>(o); };
    constexpr bool writable = !std::is_same_v<S, std::nullptr_t>;
    if constexpr (std::is_pointer_v<V>) {
      using Target = std::remove_pointer_t<V>;
      info.GetObj = [getter, self](const TObject* o) -> TObject* { return std::invoke(getter, self(o)); };
      if constexpr (writable)
        info.SetObj = [setter, mut](TObject* o, TObject* v) {
          std::invoke(setter, mut(o), static_cast<V>(static_cast<Target*>(v)));
        };
    } else if constexpr (std::is_same_v<V, AnsiString>) {
      info.GetStr = [getter, self](const TObject* o) { return AnsiString(std::invoke(getter, self(o))); };
      if constexpr (writable)
        info.SetStr = [setter, mut](TObject* o, const AnsiString& v) { std::invoke(setter, mut(o), v); };
    } else if constexpr (std::is_floating_point_v<V>) {
      info.GetFloat = [getter, self](const TObject* o) { return static_cast<double>(std::invoke(getter, self(o))); };
      if constexpr (writable)
        info.SetFloat = [setter, mut](TObject* o, double v) { std::invoke(setter, mut(o), static_cast<V>(v)); };
    } else if constexpr (std::is_enum_v<V> || std::is_integral_v<V>) {
      info.GetOrd = [getter, self](const TObject* o) { return static_cast<std::int64_t>(std::invoke(getter, self(o))); };
      if constexpr (writable)
        info.SetOrd = [setter, mut](TObject* o, std::int64_t v) { std::invoke(setter, mut(o), static_cast<V>(v)); };
    } else {  // a set
      info.GetOrd = [getter, self](const TObject* o) {
        return static_cast<std::int64_t>(std::invoke(getter, self(o)).Bits());
      };
      if constexpr (writable)
        info.SetOrd = [setter, mut](TObject* o, std::int64_t v) {
          std::invoke(setter, mut(o), V::FromBits(static_cast<std::uint32_t>(v)));
        };
    }
    table_.Add(std::move(info));
    return *this;
  }
  TPropTable Table() { return std::move(table_); }

private:
  TPropTable table_;
};

class EPropertyError : public Exception {
public:
  explicit EPropertyError(AnsiString message);
  ~EPropertyError() override;
};
class EPropertyConvertError : public Exception {
public:
  explicit EPropertyConvertError(AnsiString message);
  ~EPropertyConvertError() override;
};

// Finding properties. Names compare without regard to case; a class that publishes a name
// again hides its ancestor's. Null when there is none (or it is not of the kinds asked).
// A name may be a path through object properties, "Font.Size": the Size that the class of the
// Font property (or, given an object, of the Font it holds) publishes. Such a descriptor
// belongs to the sub-object: the accessors refuse it on any object of another class.
PPropInfo GetPropInfo(TClass cls, const AnsiString& name, TTypeKinds kinds = tkAny);
PPropInfo GetPropInfo(const TObject* object, const AnsiString& name, TTypeKinds kinds = tkAny);

// Where a property path ends: the object that publishes the last name and its descriptor;
// both null when a step names no object property or its object is null.
struct TPropTarget {
  TObject* Object = nullptr;
  PPropInfo Prop = nullptr;
};
TPropTarget FindPropTarget(TObject* object, const AnsiString& path);
// Every published property, the ancestors' first, each in the order of its table.
std::vector<PPropInfo> GetPropList(TClass cls, TTypeKinds kinds = tkProperties);
std::vector<PPropInfo> GetPropList(const TObject* object, TTypeKinds kinds = tkProperties);
bool IsPublishedProp(const TObject* object, const AnsiString& name);
// The kind of a property; EPropertyError when there is no such property.
TTypeKind PropType(const TObject* object, const AnsiString& name);

// The typed accessors, by descriptor or by name (a path reaches sub-objects: "Font.Size").
// An unknown name raises EPropertyError, a property of another kind EPropertyConvertError, a
// read-only one EPropertyError, a descriptor of a class the object is not EPropertyError, and
// an enumeration's ordinal outside its values EPropertyConvertError.
std::int64_t GetOrdProp(const TObject* object, PPropInfo prop);  // ordinals, sets, objects
void SetOrdProp(TObject* object, PPropInfo prop, std::int64_t value);
AnsiString GetEnumProp(const TObject* object, PPropInfo prop);
void SetEnumProp(TObject* object, PPropInfo prop, const AnsiString& value);  // name, any case
AnsiString GetSetProp(const TObject* object, PPropInfo prop, bool brackets = false);
void SetSetProp(TObject* object, PPropInfo prop, const AnsiString& value);
AnsiString GetStrProp(const TObject* object, PPropInfo prop);
void SetStrProp(TObject* object, PPropInfo prop, const AnsiString& value);
double GetFloatProp(const TObject* object, PPropInfo prop);
void SetFloatProp(TObject* object, PPropInfo prop, double value);
std::int64_t GetInt64Prop(const TObject* object, PPropInfo prop);
void SetInt64Prop(TObject* object, PPropInfo prop, std::int64_t value);
TObject* GetObjectProp(const TObject* object, PPropInfo prop, TClass minClass = nullptr);
void SetObjectProp(TObject* object, PPropInfo prop, TObject* value);

std::int64_t GetOrdProp(const TObject* object, const AnsiString& name);
void SetOrdProp(TObject* object, const AnsiString& name, std::int64_t value);
AnsiString GetEnumProp(const TObject* object, const AnsiString& name);
void SetEnumProp(TObject* object, const AnsiString& name, const AnsiString& value);
AnsiString GetSetProp(const TObject* object, const AnsiString& name, bool brackets = false);
void SetSetProp(TObject* object, const AnsiString& name, const AnsiString& value);
AnsiString GetStrProp(const TObject* object, const AnsiString& name);
void SetStrProp(TObject* object, const AnsiString& name, const AnsiString& value);
double GetFloatProp(const TObject* object, const AnsiString& name);
void SetFloatProp(TObject* object, const AnsiString& name, double value);
std::int64_t GetInt64Prop(const TObject* object, const AnsiString& name);
void SetInt64Prop(TObject* object, const AnsiString& name, std::int64_t value);
TObject* GetObjectProp(const TObject* object, const AnsiString& name, TClass minClass = nullptr);
void SetObjectProp(TObject* object, const AnsiString& name, TObject* value);

// Any property that has a text form, as text: integers in decimal, enumerations by name,
// sets as "[a,b]", floats with FloatToStr, strings as they are. Objects have none (EPropertyConvertError).
AnsiString GetPropValue(const TObject* object, const AnsiString& name);
void SetPropValue(TObject* object, const AnsiString& name, const AnsiString& value);

// Names of enumeration values; GetEnumValue answers -1 for a name the type does not have.
AnsiString GetEnumName(PTypeInfo type, std::int64_t value);
int GetEnumValue(PTypeInfo type, const AnsiString& name);
// Sets as text: the member names joined by ",", inside "[" "]" when asked. Reading accepts
// names in any case separated by "," or blanks, with or without brackets; an unknown name
// raises EPropertyConvertError.
AnsiString SetToString(PTypeInfo setType, std::uint32_t value, bool brackets = false);
std::uint32_t StringToSet(PTypeInfo setType, const AnsiString& value);
