#include "quillo/base/FormTranslator.h"

#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Strings.h"
#include "platform/vcl/TypInfo.h"
#include "quillo/base/Language.h"

namespace {

// The first component directly owned by owner whose name matches without regard to case.
TComponent* FindComponentByName(TComponent* owner, const AnsiString& name) {
  if (!owner) return nullptr;
  for (int i = 0; i < owner->ComponentCount(); ++i) {
    TComponent* c = owner->Components(i);
    if (SameText(c->GetName(), name)) return c;
  }
  return nullptr;
}

bool IsStringKind(TTypeKind kind) { return kind == tkString || kind == tkLString || kind == tkWString; }

bool ClassIsNamed(TClass cls, const char* name) {
  for (; cls; cls = cls->Parent)
    if (AnsiString(cls->Name) == name) return true;
  return false;
}

// The parts of a value separated by '|'; an empty last part is dropped.
std::vector<AnsiString> SplitList(const AnsiString& value) {
  std::vector<AnsiString> parts;
  std::size_t start = 0;
  for (std::size_t bar = value.find('|'); bar != AnsiString::npos; bar = value.find('|', start)) {
    parts.push_back(value.substr(start, bar - start));
    start = bar + 1;
  }
  if (start < value.size()) parts.push_back(value.substr(start));
  return parts;
}

// Replaces the lines of a string-list property and keeps the list's selection: a combo box
// selects its first line, other lists keep their item index.
void SetStringsProp(TObject* object, PPropInfo prop, const AnsiString& value) {
  PPropInfo itemIndex = GetPropInfo(object, "ItemIndex", TTypeKinds{tkInteger});
  const std::int64_t oldIndex = itemIndex ? GetOrdProp(object, itemIndex) : -1;

  TOwnedPtr<TStringList> lines = MakeObject<TStringList>();
  for (const AnsiString& part : SplitList(value)) lines->Add(part);
  if (prop->SetObj) {
    SetObjectProp(object, prop, lines.get());
  } else if (TObject* target = GetObjectProp(object, prop)) {
    static_cast<TStrings*>(target)->Assign(lines.get());
  }

  if (!itemIndex || !itemIndex->SetOrd) return;
  try {
    SetOrdProp(object, itemIndex, oldIndex);
  } catch (const Exception&) {
    // The old selection lies past the new lines: the list keeps what its setter left.
  }
  if (ClassIsNamed(object->ClassType(), "TComboBox")) SetOrdProp(object, itemIndex, 0);
}

// Sets one property from its text; an unknown property, a value of the wrong form or a
// setter that refuses it leaves the property as it was.
void SetComponentProperty(TComponent* component, const AnsiString& path, const AnsiString& value) {
  const TPropTarget target = FindPropTarget(component, path);
  if (!target.Prop) return;
  const TTypeKind kind = target.Prop->PropType->Kind;
  try {
    if (IsStringKind(kind)) {
      SetStrProp(target.Object, target.Prop, value);
    } else if (kind == tkClass) {
      const TClass cls = target.Prop->PropType->ClassType;
      if (cls && cls->InheritsFrom(TStrings::StaticClass())) SetStringsProp(target.Object, target.Prop, value);
    } else if (kind == tkInteger || kind == tkInt64 || kind == tkEnumeration || kind == tkSet || kind == tkFloat ||
               kind == tkChar || kind == tkWChar) {
      SetPropValue(component, path, value);
    }
  } catch (const Exception&) {
    // Not a number, not a name of the enumeration, refused by the setter: skipped.
  }
}

// One entry: switches the top component, or sets the property that its path names.
void ApplyEntry(TComponent*& top, const LanguageText::Entry& entry) {
  if (entry.selectsForm) {
    top = FindComponentByName(Application(), entry.name);
    return;
  }
  // Components first, as far as the path names owned components; the rest is the property,
  // which may lead through sub-objects (Font.Name).
  TComponent* c = top;
  AnsiString rest = entry.name;
  for (std::size_t dot = rest.find('.'); c && dot != AnsiString::npos; dot = rest.find('.')) {
    TComponent* next = FindComponentByName(c, Trim(rest.substr(0, dot)));
    if (!next) break;
    c = next;
    rest = Trim(rest.substr(dot + 1));
  }
  const AnsiString value = UnescapeBlanks(entry.value);
  if (c && !value.empty()) SetComponentProperty(c, Trim(rest), value);
}

// "[" + name + "]", built by appending: GCC 12 at -O3 warns wrongly about a literal + string.
AnsiString SectionOf(const AnsiString& name) {
  AnsiString section(1, '[');
  section += name;
  section += ']';
  return section;
}

}  // namespace

void TranslateComponent(TComponent* top, const AnsiString& section) {
  if (!Lang || !Lang->Text()) return;
  std::vector<LanguageText::Entry> entries;
  if (!Lang->Text()->SectionEntries(section, entries)) return;
  for (const LanguageText::Entry& entry : entries) ApplyEntry(top, entry);
}

void TranslateForm(const AnsiString& section) {
  if (!Lang || !Lang->Text()) return;
  // "[InfoForm]" names the form InfoForm; "[Translations]" names none.
  const AnsiString name = section.size() >= 2 ? section.substr(1, section.size() - 2) : AnsiString();
  TranslateComponent(FindComponentByName(Application(), name), section);
}

void RetranslateOpenWindows() {
  if (!Lang || !Lang->Text()) return;
  TApplication* app = Application();
  std::vector<TComponent*> forms;
  for (int i = 0; i < app->ComponentCount(); ++i)
    if (app->Components(i)->InheritsFrom(TCustomForm::StaticClass())) forms.push_back(app->Components(i));
  for (TComponent* form : forms) TranslateComponent(form, SectionOf(form->GetName()));
  TranslateForm("[Translations]");
}
