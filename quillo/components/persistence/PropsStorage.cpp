#include "quillo/components/persistence/PropsStorage.h"

#include <algorithm>

#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Collection.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/Strings.h"
#include "quillo/components/utilities/StrUtils.h"

const char* const sPropNameDelimiter = "_";

namespace {

// A stored count is not trusted beyond this: a damaged store must not make a load hang or
// exhaust memory.
constexpr int kMaxStoredItems = 100000;
// Sub-objects nest no deeper than this, so that objects that lead back to each other end.
constexpr int kMaxNesting = 16;

}  // namespace

QUILLO_DEFINE_CLASS(TPropInfoList, TObject)

TPropInfoList::TPropInfoList(const TObject* object, TTypeKinds kinds) {
  if (object) items_ = GetPropList(object, kinds);
}

PPropInfo TPropInfoList::Find(const AnsiString& name) const {
  for (PPropInfo p : items_)
    if (SameText(p->Name, name)) return p;
  return nullptr;
}

bool TPropInfoList::Contains(PPropInfo prop) const {
  return std::any_of(items_.begin(), items_.end(), [prop](PPropInfo p) {
    return p->PropType == prop->PropType && SameText(p->Name, prop->Name);
  });
}

void TPropInfoList::Delete(int index) { items_.erase(items_.begin() + index); }

void TPropInfoList::Intersect(const TPropInfoList& other) {
  for (int i = Count() - 1; i >= 0; --i)
    if (!other.Contains(items_[static_cast<size_t>(i)])) Delete(i);
}

bool ParseStoredItem(const AnsiString& item, AnsiString& componentName, AnsiString& propName) {
  const size_t dot = item.find('.');
  if (dot == AnsiString::npos) return false;
  componentName = Trim(item.substr(0, dot));
  propName = Trim(item.substr(dot + 1));
  return !componentName.empty() && !propName.empty();
}

AnsiString CreateStoredItem(const AnsiString& componentName, const AnsiString& propName) {
  if (componentName.empty() || propName.empty()) return {};
  return componentName + "." + propName;
}

void UpdateStoredList(TComponent* form, TStrings* storedList, bool fromForm) {
  if (!storedList) return;
  for (int i = storedList->Count() - 1; i >= 0; --i) {
    AnsiString componentName, propName;
    if (!ParseStoredItem(storedList->Strings(i), componentName, propName)) {
      storedList->Delete(i);
      continue;
    }
    if (fromForm) {
      TComponent* component = form ? form->FindComponent(componentName) : nullptr;
      if (!component) {
        storedList->Delete(i);
        continue;
      }
      storedList->PutObject(i, component);
    } else {
      auto* component = dynamic_cast<TComponent*>(storedList->Objects(i));
      if (!component) {
        storedList->Delete(i);
        continue;
      }
      storedList->Put(i, CreateStoredItem(component->GetName(), propName));
    }
  }
}

QUILLO_DEFINE_CLASS(TPropsStorage, TObject)

TPropsStorage::TPropsStorage() = default;
TPropsStorage::~TPropsStorage() = default;

AnsiString TPropsStorage::ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback) {
  return OnReadString ? OnReadString(section, ident, fallback) : fallback;
}

void TPropsStorage::WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) {
  if (OnWriteString) OnWriteString(section, ident, value);
}

void TPropsStorage::EraseSection(const AnsiString& section) {
  if (OnEraseSection) OnEraseSection(section);
}

TOwnedPtr<TPropsStorage> TPropsStorage::CreateStorage() const { return MakeObject<TPropsStorage>(); }

TOwnedPtr<TPropsStorage> TPropsStorage::NestedStorage(TObject* object, const AnsiString& prefix,
                                                      const AnsiString& section) const {
  TOwnedPtr<TPropsStorage> nested = CreateStorage();
  nested->AObject = object;
  nested->Root = Root;
  nested->Prefix = prefix;
  nested->Section = section;
  nested->OnReadString = OnReadString;
  nested->OnWriteString = OnWriteString;
  nested->OnEraseSection = OnEraseSection;
  nested->depth_ = depth_ + 1;
  return nested;
}

namespace {

bool IsStringKind(TTypeKind kind) { return kind == tkString || kind == tkLString || kind == tkWChar; }

bool IsComponentReference(PPropInfo prop) {
  return prop->PropType->ClassType && prop->PropType->ClassType->InheritsFrom(TComponent::StaticClass());
}

AnsiString SetText(PPropInfo prop, std::uint32_t bits) {
  AnsiString text = "[";
  const PTypeInfo members = prop->PropType->CompType;
  bool first = true;
  for (int bit = 0; bit < 32; ++bit) {
    if (!(bits & (1u << bit))) continue;
    if (!first) text += ",";
    text += members ? GetEnumName(members, bit) : IntToStr(bit);
    first = false;
  }
  return text + "]";
}

std::uint32_t SetFromText(PPropInfo prop, const AnsiString& text) {
  const PTypeInfo members = prop->PropType->CompType;
  const TCharSet delimiters{' ', ',', '[', ']'};
  std::uint32_t bits = 0;
  const int count = WordCount(text, delimiters);
  for (int i = 1; i <= count && members; ++i) {
    const int ordinal = GetEnumValue(members, ExtractWord(i, text, delimiters));
    if (ordinal >= 0 && ordinal < 32) bits |= 1u << ordinal;
  }
  return bits;
}

AnsiString FloatText(double value) {
  AnsiString text = FloatToStrF(value, ffGeneral, 15, 0);
  if (DecimalSeparator != '.') std::replace(text.begin(), text.end(), DecimalSeparator, '.');
  return text;
}

double FloatFromText(const AnsiString& text) {
  AnsiString local = Trim(text);
  if (DecimalSeparator != '.') std::replace(local.begin(), local.end(), '.', DecimalSeparator);
  return static_cast<double>(StrToFloat(local));
}

}  // namespace

AnsiString TPropsStorage::StoreValue(PPropInfo prop) {
  switch (prop->PropType->Kind) {
    case tkInteger:
    case tkInt64: return IntToStr(GetOrdProp(AObject, prop));
    case tkChar:
    case tkWChar: return AnsiString(1, static_cast<char>(GetOrdProp(AObject, prop)));
    case tkEnumeration: return GetEnumName(prop->PropType, GetOrdProp(AObject, prop));
    case tkFloat: return FloatText(GetFloatProp(AObject, prop));
    case tkString:
    case tkLString: return GetStrProp(AObject, prop);
    case tkSet: return SetText(prop, static_cast<std::uint32_t>(GetOrdProp(AObject, prop)));
    default: return {};
  }
}

void TPropsStorage::LoadValue(PPropInfo prop, const AnsiString& text) {
  switch (prop->PropType->Kind) {
    case tkInteger: SetOrdProp(AObject, prop, StrToIntDef(Trim(text), 0)); break;
    case tkInt64: SetOrdProp(AObject, prop, StrToInt64Def(Trim(text), 0)); break;
    case tkChar:
    case tkWChar:
      if (!text.empty()) SetOrdProp(AObject, prop, static_cast<unsigned char>(text[0]));
      break;
    case tkEnumeration: {
      const int value = GetEnumValue(prop->PropType, Trim(text));
      if (value >= 0) SetOrdProp(AObject, prop, value);
      break;
    }
    case tkFloat: SetFloatProp(AObject, prop, FloatFromText(text)); break;
    case tkString:
    case tkLString: SetStrProp(AObject, prop, text); break;
    case tkSet: SetOrdProp(AObject, prop, SetFromText(prop, text)); break;
    default: break;
  }
}

AnsiString TPropsStorage::ComponentText(const TComponent* component) const {
  if (!component) return "(null)";
  const TComponent* owner = component->Owner();
  if (owner && owner != Root) {
    AnsiString ownerName = owner->GetName();
    if (ownerName.empty()) {
      ownerName = owner->ClassName();
      if (!ownerName.empty() && (ownerName[0] == 'T' || ownerName[0] == 't')) ownerName.erase(0, 1);
    }
    return ownerName + "." + component->GetName();
  }
  return component->GetName();
}

void TPropsStorage::LoadComponentReference(PPropInfo prop, const AnsiString& text) {
  if (text.empty()) return;
  if (SameText(text, "(null)")) {
    SetObjectProp(AObject, prop, nullptr);
    return;
  }
  const size_t dot = text.find('.');
  if (dot == AnsiString::npos) {
    if (TComponent* found = Root ? Root->FindComponent(text) : nullptr) SetObjectProp(AObject, prop, found);
    return;
  }
  const AnsiString ownerName = text.substr(0, dot);
  const AnsiString name = text.substr(dot + 1);
  for (int i = 0; i < Screen()->FormCount(); ++i) {
    TCustomForm* form = Screen()->Forms(i);
    if (SameText(form->GetName(), ownerName)) {
      SetObjectProp(AObject, prop, form->FindComponent(name));
      return;
    }
  }
}

void TPropsStorage::StoreStringList(const AnsiString& name, TStrings* list) {
  const AnsiString section = Section + "." + GetItemName(name);
  EraseSection(section);
  // "Count" goes out for an empty list too: without it the next load could not tell an
  // emptied list from one never stored, and would keep the lines the form starts with.
  WriteString(section, "Count", IntToStr(list->Count()));
  for (int i = 0; i < list->Count(); ++i) WriteString(section, Format("Item%d", i), list->Strings(i));
}

void TPropsStorage::LoadStringList(const AnsiString& name, TStrings* list) {
  const AnsiString section = Section + "." + GetItemName(name);
  const AnsiString countText = Trim(ReadString(section, "Count", ""));
  if (countText.empty()) return;  // never stored: the list keeps its lines
  const int count = StrToIntDef(countText, -1);
  if (count < 0 || count > kMaxStoredItems) return;
  TStringsUpdate update(list);
  list->Clear();
  for (int i = 0; i < count; ++i) list->Add(ReadString(section, Format("Item%d", i), ""));
}

void TPropsStorage::StoreCollection(const AnsiString& name, TCollection* collection) {
  const AnsiString itemSection = Section + "." + Prefix + name;
  EraseSection(itemSection);
  WriteString(Section, Prefix + name + ".Count", IntToStr(collection->Count()));
  for (int i = 0; i < collection->Count(); ++i) {
    TCollectionItem* item = collection->Items(i);
    NestedStorage(item, Format("Item%d", i) + sPropNameDelimiter, itemSection)->StoreAll(item);
  }
}

void TPropsStorage::LoadCollection(const AnsiString& name, TCollection* collection) {
  const AnsiString itemSection = Section + "." + Prefix + name;
  int count = StrToIntDef(Trim(ReadString(Section, Prefix + name + ".Count", IntToStr(collection->Count()))),
                          collection->Count());
  if (count < 0 || count > kMaxStoredItems) count = collection->Count();
  collection->BeginUpdate();
  try {
    if (count != collection->Count()) {
      collection->Clear();
      for (int i = 0; i < count; ++i) collection->Add();
    }
    for (int i = 0; i < collection->Count(); ++i) {
      TCollectionItem* item = collection->Items(i);
      NestedStorage(item, Format("Item%d", i) + sPropNameDelimiter, itemSection)->LoadAll(item);
    }
  } catch (...) {
    collection->EndUpdate();
    throw;
  }
  collection->EndUpdate();
}

void TPropsStorage::StoreAll(TObject* object) {
  if (!object || depth_ > kMaxNesting) return;
  TPropInfoList props(object, tkProperties);
  for (int i = 0; i < props.Count(); ++i) StoreAnyProperty(props.Items(i));
}

void TPropsStorage::LoadAll(TObject* object) {
  if (!object || depth_ > kMaxNesting) return;
  TPropInfoList props(object, tkProperties);
  for (int i = 0; i < props.Count(); ++i) LoadAnyProperty(props.Items(i));
}

void TPropsStorage::StoreAnyProperty(PPropInfo prop) {
  if (!prop || !AObject) return;
  const TTypeKind kind = prop->PropType->Kind;
  if (kind == tkClass) {
    if (IsComponentReference(prop)) {
      auto* component = dynamic_cast<TComponent*>(GetObjectProp(AObject, prop));
      WriteString(Section, GetItemName(prop->Name), ComponentText(component));
      return;
    }
    TObject* object = GetObjectProp(AObject, prop);
    if (auto* list = dynamic_cast<TStrings*>(object))
      StoreStringList(prop->Name, list);
    else if (auto* collection = dynamic_cast<TCollection*>(object))
      StoreCollection(prop->Name, collection);
    NestedStorage(object, Prefix + prop->Name, Section)->StoreAll(object);
    return;
  }
  const AnsiString text = StoreValue(prop);
  if (!text.empty() || IsStringKind(kind)) WriteString(Section, GetItemName(prop->Name), text);
}

void TPropsStorage::LoadAnyProperty(PPropInfo prop) {
  if (!prop || !AObject) return;
  try {
    const TTypeKind kind = prop->PropType->Kind;
    if (kind == tkClass) {
      if (IsComponentReference(prop)) {
        LoadComponentReference(prop, Trim(ReadString(Section, GetItemName(prop->Name), "")));
        return;
      }
      TObject* object = GetObjectProp(AObject, prop);
      if (auto* list = dynamic_cast<TStrings*>(object))
        LoadStringList(prop->Name, list);
      else if (auto* collection = dynamic_cast<TCollection*>(object))
        LoadCollection(prop->Name, collection);
      NestedStorage(object, Prefix + prop->Name, Section)->LoadAll(object);
      return;
    }
    if (!prop->Writable()) return;
    const AnsiString current = StoreValue(prop);
    AnsiString text;
    if (!current.empty() || IsStringKind(kind)) text = ReadString(Section, GetItemName(prop->Name), current);
    LoadValue(prop, text);
  } catch (const std::exception&) {
    // A value that does not convert leaves the property as it was.
  }
}

void TPropsStorage::StoreProperties(const TStrings* names) {
  TPropInfoList props(AObject, tkProperties);
  for (int i = 0; i < names->Count(); ++i) StoreAnyProperty(props.Find(names->Strings(i)));
}

void TPropsStorage::LoadProperties(const TStrings* names) {
  TPropInfoList props(AObject, tkProperties);
  for (int i = 0; i < names->Count(); ++i) LoadAnyProperty(props.Find(names->Strings(i)));
}

template <class Work>
void TPropsStorage::ForEachStoredItem(TComponent* form, TStrings* storedList, Work work) {
  UpdateStoredList(form, storedList, false);
  Root = form;
  try {
    for (int i = 0; i < storedList->Count(); ++i) {
      AnsiString componentName, propName;
      auto* component = dynamic_cast<TComponent*>(storedList->Objects(i));
      if (!component || !ParseStoredItem(storedList->Strings(i), componentName, propName)) continue;
      AObject = component;
      Prefix = component->GetName() + sPropNameDelimiter;
      TPropInfoList props(component, tkProperties);
      if (PPropInfo prop = props.Find(propName)) work(prop);
    }
  } catch (...) {
    Root = nullptr;
    throw;
  }
  Root = nullptr;
}

void TPropsStorage::StoreObjectsProps(TComponent* form, TStrings* storedList) {
  ForEachStoredItem(form, storedList, [this](PPropInfo prop) { StoreAnyProperty(prop); });
}

void TPropsStorage::LoadObjectsProps(TComponent* form, TStrings* storedList) {
  ForEachStoredItem(form, storedList, [this](PPropInfo prop) { LoadAnyProperty(prop); });
}
