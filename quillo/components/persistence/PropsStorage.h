#pragma once
// Published-property storage: chosen published properties of a form's components saved and
// restored as text in a section store, through the property tables (TypInfo.h). The store is
// reached only through callbacks, so the same code serves the registry and INI files.
//
// Text forms: integers in decimal, characters as themselves, enumerations and sets by name
// ("[a,b]"), floats with "." whatever the locale, strings as they are (blanks kept), string
// lists in a sub-section ("Count" and "Item0".. — "Count" is written for an empty list too,
// so that emptying a list survives), collections item by item, references to components by
// name, and the properties of sub-objects with the property's name as a prefix.

#include <functional>
#include <vector>

#include "platform/vcl/Component.h"
#include "platform/vcl/TypInfo.h"

class TStrings;

// The published properties of one object, filtered by kind.
class TPropInfoList : public TObject {
  QUILLO_DECLARE_CLASS()

public:
  TPropInfoList(const TObject* object, TTypeKinds kinds);
  int Count() const { return static_cast<int>(items_.size()); }
  PPropInfo Items(int index) const { return items_.at(static_cast<size_t>(index)); }
  PPropInfo Find(const AnsiString& name) const;  // without regard to case; null when none
  bool Contains(PPropInfo prop) const;           // same type and name
  void Delete(int index);
  void Intersect(const TPropInfoList& other);

private:
  std::vector<PPropInfo> items_;
};

using TReadStrEvent = std::function<AnsiString(const AnsiString& section, const AnsiString& ident,
                                               const AnsiString& fallback)>;
using TWriteStrEvent = std::function<void(const AnsiString& section, const AnsiString& ident, const AnsiString& value)>;
using TEraseSectEvent = std::function<void(const AnsiString& section)>;

extern const char* const sPropNameDelimiter;

class TPropsStorage : public TObject {
  QUILLO_DECLARE_CLASS()

public:
  TPropsStorage();
  ~TPropsStorage() override;

  TObject* AObject = nullptr;
  TComponent* Root = nullptr;
  AnsiString Prefix;
  AnsiString Section;
  TReadStrEvent OnReadString;
  TWriteStrEvent OnWriteString;
  TEraseSectEvent OnEraseSection;

  void StoreAnyProperty(PPropInfo prop);
  void LoadAnyProperty(PPropInfo prop);
  void StoreProperties(const TStrings* names);
  void LoadProperties(const TStrings* names);
  void StoreObjectsProps(TComponent* form, TStrings* storedList);
  void LoadObjectsProps(TComponent* form, TStrings* storedList);

protected:
  virtual AnsiString ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback);
  virtual void WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value);
  virtual void EraseSection(const AnsiString& section);
  virtual AnsiString GetItemName(const AnsiString& name) const { return Prefix + name; }
  virtual TOwnedPtr<TPropsStorage> CreateStorage() const;

private:
  TOwnedPtr<TPropsStorage> NestedStorage(TObject* object, const AnsiString& prefix, const AnsiString& section) const;
  AnsiString StoreValue(PPropInfo prop);
  void LoadValue(PPropInfo prop, const AnsiString& text);
  void StoreStringList(const AnsiString& name, TStrings* list);
  void LoadStringList(const AnsiString& name, TStrings* list);
  void StoreCollection(const AnsiString& name, class TCollection* collection);
  void LoadCollection(const AnsiString& name, class TCollection* collection);
  AnsiString ComponentText(const TComponent* component) const;
  void LoadComponentReference(PPropInfo prop, const AnsiString& text);
  void StoreAll(TObject* object);
  void LoadAll(TObject* object);
  template <class Work>
  void ForEachStoredItem(TComponent* form, TStrings* storedList, Work work);
  int depth_ = 0;  // how far below the stored component's own properties
};

// "Component.Property" lines of a stored-properties list.
bool ParseStoredItem(const AnsiString& item, AnsiString& componentName, AnsiString& propName);
AnsiString CreateStoredItem(const AnsiString& componentName, const AnsiString& propName);
// Checks the list against the form, from its last line to its first: lines that do not parse
// go; fromForm resolves each line's component by name (the line goes when there is none),
// otherwise each line is rewritten from its component's current name (lines without one go).
void UpdateStoredList(TComponent* form, TStrings* storedList, bool fromForm);
