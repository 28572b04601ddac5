// The published properties of the framework's classes: every one reads and writes by name,
// and a form's properties survive a trip through a settings file and through the registry.

#include "VclFixture.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>

#include "platform/rtl/IniDocument.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Registry.h"
#include "platform/vcl/Strings.h"
#include "platform/vcl/Timer.h"
#include "platform/vcl/TypInfo.h"
#include "support/TempHome.h"

namespace {

class PropertyTest : public VclTest {};

// A value of the property's kind that differs from what it holds now.
AnsiString OtherValue(TObject* o, PPropInfo p) {
  AnsiString now = GetPropValue(o, p->Name);
  switch (p->PropType->Kind) {
    case tkInteger: case tkInt64: {
      std::int64_t v = GetOrdProp(o, p);
      return IntToStr(v == 37 ? 38 : 37);
    }
    case tkEnumeration: {
      std::int64_t v = GetOrdProp(o, p);
      return GetEnumName(p->PropType, v == p->PropType->MaxValue ? p->PropType->MinValue : v + 1);
    }
    case tkSet: {
      std::uint32_t v = static_cast<std::uint32_t>(GetOrdProp(o, p));
      return SetToString(p->PropType, v ^ 1u, true);
    }
    case tkLString: return now + "x";
    default: return now;
  }
}

// The properties that follow others (or the window) and so cannot be set on their own.
bool Dependent(const TObject* o, const AnsiString& name) {
  static const char* const names[] = {"ParentColor", "ParentFont", "ParentShowHint", "ActiveControl",
                                      "ClientWidth", "ClientHeight", "WindowState", "Name",
                                      "TabOrder", "Position"};
  (void)o;
  for (const char* n : names)
    if (SameText(name, n)) return true;
  return false;
}

TEST_F(PropertyTest, EveryPublishedPropertyReadsAndWritesByName) {
  auto* form = NewComponent<TForm>(Application());
  auto* child = NewComponent<TSwatch>(form);
  child->SetParent(form);
  auto* timer = NewComponent<TTimer>(form);
  std::vector<TObject*> objects{form, child, timer, form->GetHorzScrollBar()};
  int checked = 0;
  for (TObject* o : objects) {
    for (PPropInfo p : GetPropList(o)) {
      if (p->PropType->Kind == tkClass || !p->Writable() || Dependent(o, p->Name)) continue;
      AnsiString before = GetPropValue(o, p->Name);
      AnsiString other = OtherValue(o, p);
      SetPropValue(o, p->Name, other);
      EXPECT_EQ(GetPropValue(o, p->Name), other) << o->ClassName() << "." << p->Name;
      SetPropValue(o, p->Name, before);
      EXPECT_EQ(GetPropValue(o, p->Name), before) << o->ClassName() << "." << p->Name;
      ++checked;
    }
  }
  EXPECT_GT(checked, 30);
  // The dependent ones by their own rules.
  SetEnumProp(child, "ParentColor", "True");
  EXPECT_EQ(child->GetColor(), form->GetColor());
  SetOrdProp(form, "ClientWidth", 250);
  EXPECT_EQ(form->GetClientWidth(), 250);
  auto other = MakeObject<TSwatch>(nullptr);
  EXPECT_EQ(GetObjectProp(form, "Font"), form->GetFont());
  other->GetFont()->SetName("Courier New");
  SetObjectProp(child, "Font", other->GetFont());
  EXPECT_EQ(child->GetFont()->GetName(), "Courier New");
  EXPECT_FALSE(child->GetParentFont());
  child->SetTabStop(true);
  form->Show();
  SetObjectProp(form, "ActiveControl", child);
  EXPECT_EQ(form->GetActiveControl(), child);
  auto* second = NewComponent<TSwatch>(form);
  second->SetParent(form);
  SetOrdProp(second, "TabOrder", 0);  // kept within the parent's list
  EXPECT_EQ(child->GetTabOrder(), 1);
  SetOrdProp(second, "TabOrder", 99);
  EXPECT_EQ(second->GetTabOrder(), 1);
  form->SetAutoScroll(false);  // with it, the range follows the children
  form->GetVertScrollBar()->SetRange(1000);
  SetOrdProp(form->GetVertScrollBar(), "Position", 100);
  EXPECT_EQ(form->GetVertScrollBar()->GetPosition(), 100);
}

// The paths of an object's text-valued properties, its sub-objects' (a Font's, not another
// component's) as "Font.Size".
std::vector<AnsiString> TextPaths(TObject* o, const AnsiString& prefix = "") {
  std::vector<AnsiString> paths;
  for (PPropInfo p : GetPropList(o)) {
    if (p->PropType->Kind == tkClass) {
      TObject* sub = GetObjectProp(o, p);
      if (sub && !sub->InheritsFrom(TComponent::StaticClass()))
        for (const AnsiString& inner : TextPaths(sub, prefix + p->Name + ".")) paths.push_back(inner);
    } else if (p->Writable()) {
      paths.push_back(prefix + p->Name);
    }
  }
  return paths;
}

// Writes every component's text-valued properties into sections named after the components.
void StoreForm(TComponent* form, IniDocument& ini) {
  std::vector<TComponent*> all{form};
  for (int i = 0; i < form->ComponentCount(); ++i) all.push_back(form->Components(i));
  for (TComponent* c : all)
    for (const AnsiString& path : TextPaths(c))
      ini.SetValue(c == form ? AnsiString("Form") : c->GetName(), path, GetPropValue(c, path));
}

void LoadForm(TComponent* form, const IniDocument& ini) {
  std::vector<TComponent*> all{form};
  for (int i = 0; i < form->ComponentCount(); ++i) all.push_back(form->Components(i));
  for (TComponent* c : all)
    for (const AnsiString& path : TextPaths(c)) {
      if (SameText(path, "Name")) continue;
      if (auto v = ini.Value(c == form ? AnsiString("Form") : c->GetName(), path)) SetPropValue(c, path, *v);
    }
}

class TStoredForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TStoredForm(TComponent* owner) : TForm(owner) {
    Panel = NewComponent<TSwatch>(this);
    Panel->SetName("Panel");
    Panel->SetParent(this);
    Clock = NewComponent<TTimer>(this);
    Clock->SetName("Clock");
  }
  TSwatch* Panel;
  TTimer* Clock;
};
QUILLO_DEFINE_CLASS(TStoredForm, TForm)

TEST_F(PropertyTest, AFormsPropertiesSurviveASettingsFile) {
  TempHome home;
  auto* first = NewComponent<TStoredForm>(Application());
  first->SetCaption("Stored \"form\"");
  first->SetBounds(33, 44, 345, 234);
  first->SetBorderStyle(bsToolWindow);
  first->SetBorderIcons(TBorderIcons{biSystemMenu, biHelp});
  first->SetPosition(poOwnerFormCenter);
  first->SetKeyPreview(true);
  first->SetColor(clAqua);
  first->SetHint("a|b");
  first->Panel->SetAlign(alLeft);
  first->Panel->SetAnchors(TAnchors{akLeft, akBottom});
  first->Panel->SetCursor(crHandPoint);
  first->Panel->SetTabStop(true);
  first->Panel->SetEnabled(false);
  first->Panel->GetFont()->SetName("Courier New");
  first->Panel->GetFont()->SetSize(14);
  first->Panel->GetFont()->SetStyle(fsBold | fsStrikeOut);
  first->Panel->GetFont()->SetColor(clMaroon);
  first->Panel->GetFont()->SetPitch(fpFixed);
  first->Clock->SetInterval(250);
  first->Clock->SetEnabled(false);
  first->SetTag(-5);
  IniDocument ini;
  StoreForm(first, ini);
  std::string path = home.Path() + "/form.ini";
  {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::string text = ini.Text();
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
  IniDocument read;
  ASSERT_TRUE(read.Load(path));
  auto* second = NewComponent<TStoredForm>(Application());
  second->SetName("Copy");
  LoadForm(second, read);
  std::vector<std::pair<TComponent*, TComponent*>> pairs{
      {first, second}, {first->Panel, second->Panel}, {first->Clock, second->Clock}};
  int compared = 0;
  for (auto [a, b] : pairs)
    for (const AnsiString& path : TextPaths(a)) {
      if (SameText(path, "Name")) continue;
      EXPECT_EQ(GetPropValue(b, path), GetPropValue(a, path)) << a->GetName() << "." << path;
      ++compared;
    }
  EXPECT_GT(compared, 40);
  EXPECT_EQ(second->GetCaption(), "Stored \"form\"");
  // The font went property by property.
  EXPECT_EQ(read.Value("Panel", "Font.Style"), std::optional<AnsiString>("[fsBold,fsStrikeOut]"));
  EXPECT_EQ(second->Panel->GetFont()->GetName(), "Courier New");
  EXPECT_EQ(second->Panel->GetFont()->GetSize(), 14);
  EXPECT_EQ(second->Panel->GetFont()->GetStyle(), fsBold | fsStrikeOut);
  EXPECT_FALSE(second->Panel->GetParentFont());
}

TEST_F(PropertyTest, PathsReachTheFontsPenAndBrushProperties) {
  auto* form = NewComponent<TForm>(Application());
  auto* child = NewComponent<TSwatch>(form);
  child->SetParent(form);
  ASSERT_TRUE(child->GetParentFont());
  SetPropValue(child, "Font.Size", "12");
  EXPECT_EQ(child->GetFont()->GetSize(), 12);
  EXPECT_EQ(child->GetFont()->GetHeight(), -16);
  EXPECT_FALSE(child->GetParentFont());  // a font property set is the control's own font
  SetSetProp(child, "font.style", "fsItalic fsUnderline");
  EXPECT_EQ(child->GetFont()->GetStyle(), fsItalic | fsUnderline);
  EXPECT_EQ(GetPropValue(child, "Font.Style"), "[fsItalic,fsUnderline]");
  SetEnumProp(child, "Font.Pitch", "fpVariable");
  EXPECT_EQ(child->GetFont()->GetPitch(), fpVariable);
  SetStrProp(child, "Font . Name", "Arial");
  EXPECT_EQ(GetStrProp(child, "Font.Name"), "Arial");

  // By class, through the declared types; the descriptor belongs to the font.
  PPropInfo size = GetPropInfo(TControl::StaticClass(), "Font.Size");
  ASSERT_TRUE(size);
  EXPECT_EQ(size->Publisher, TFont::StaticClass());
  EXPECT_EQ(GetPropInfo(child, "Font.Size"), size);
  EXPECT_EQ(GetOrdProp(child->GetFont(), size), 12);
  EXPECT_THROW(GetOrdProp(child, size), EPropertyError);  // not on the control itself
  EXPECT_EQ(GetPropInfo(child, "Font.Size", TTypeKinds{tkString}), nullptr);

  // Paths that lead nowhere.
  for (const char* path : {"Font.Nothing", "Caption.Size", "Nothing.Size", "Font.", ".Size", "Font.Size.Bits"}) {
    EXPECT_EQ(GetPropInfo(child, path), nullptr) << path;
    EXPECT_THROW(SetPropValue(child, path, "1"), EPropertyError) << path;
  }

  // Pens and brushes publish theirs.
  auto pen = MakeObject<TPen>();
  SetPropValue(pen.get(), "Style", "psDot");
  SetPropValue(pen.get(), "Mode", "pmXor");
  SetOrdProp(pen.get(), "Width", 3);
  EXPECT_EQ(pen->GetStyle(), psDot);
  EXPECT_EQ(pen->GetMode(), pmXor);
  EXPECT_EQ(pen->GetWidth(), 3);
  auto brush = MakeObject<TBrush>();
  SetPropValue(brush.get(), "Style", "bsCross");
  EXPECT_EQ(GetPropValue(brush.get(), "Style"), "bsCross");
  // An ordinal that names no value is refused rather than stored.
  EXPECT_THROW(SetOrdProp(brush.get(), "Style", 99), EPropertyConvertError);
  EXPECT_THROW(SetOrdProp(child, "Align", -1), EPropertyConvertError);
  EXPECT_EQ(brush->GetStyle(), bsCross);
}

// A component that publishes a string list, as the controls that hold lines or items do.
class TNotes : public TComponent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TNotes(TComponent* owner) : TComponent(owner), lines_(MakeObject<TStringList>()) {}
  TStrings* GetLines() const { return lines_.get(); }
  void SetLines(TStrings* lines) { lines_->Assign(lines); }

private:
  TOwnedPtr<TStringList> lines_;
};
QUILLO_DEFINE_PUBLISHED_CLASS(TNotes, TComponent)

const TPropTable* TNotes::PublishedProperties() {
  static const TPropTable table = TPublisher<TNotes>().Property("Lines", &TNotes::GetLines, &TNotes::SetLines).Table();
  return &table;
}

class TNotedForm : public TStoredForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TNotedForm(TComponent* owner) : TStoredForm(owner) {
    Notes = NewComponent<TNotes>(this);
    Notes->SetName("Notes");
    Empty = NewComponent<TNotes>(this);
    Empty->SetName("Empty");
  }
  TNotes* Notes;
  TNotes* Empty;
};
QUILLO_DEFINE_CLASS(TNotedForm, TStoredForm)

// Form storage in the registry: a key per component below the root ("Form" for the form
// itself), a value per property; numbers as numbers, everything else in its text form; a
// string list as a key of its own holding Count and Item0, Item1...; a sub-object as a key of
// its own. References to other components are not values and are left out.
class PropertyWriter {
public:
  virtual ~PropertyWriter() = default;
  virtual void Number(const AnsiString& key, const AnsiString& name, int value) = 0;
  virtual void Text(const AnsiString& key, const AnsiString& name, const AnsiString& value) = 0;
};

class PropertyReader {
public:
  virtual ~PropertyReader() = default;
  virtual std::optional<int> Number(const AnsiString& key, const AnsiString& name) = 0;
  virtual std::optional<AnsiString> Text(const AnsiString& key, const AnsiString& name) = 0;
};

const char* const kFormRoot = "Software\\Dornick\\QL\\Forms\\Stored";

// Through TRegIniFile: a key is a section; numbers are written as text, as it does.
class IniFileWriter : public PropertyWriter {
public:
  void Number(const AnsiString& key, const AnsiString& name, int value) override {
    ini_.WriteInteger(key, name, value);
  }
  void Text(const AnsiString& key, const AnsiString& name, const AnsiString& value) override {
    ini_.WriteString(key, name, value);
  }

private:
  TRegIniFile ini_{kFormRoot};
};

class IniFileReader : public PropertyReader {
public:
  std::optional<int> Number(const AnsiString& key, const AnsiString& name) override {
    if (!Text(key, name)) return std::nullopt;
    return ini_.ReadInteger(key, name, 0);
  }
  std::optional<AnsiString> Text(const AnsiString& key, const AnsiString& name) override {
    static const AnsiString missing = "\x01missing";
    AnsiString value = ini_.ReadString(key, name, missing);
    if (value == missing) return std::nullopt;
    return value;
  }

private:
  TRegIniFile ini_{kFormRoot};
};

// Through TRegistry: each key opened from the root; numbers are 32-bit values.
class RegistryWriter : public PropertyWriter {
public:
  void Number(const AnsiString& key, const AnsiString& name, int value) override {
    Open(key);
    reg_.WriteInteger(name, value);
  }
  void Text(const AnsiString& key, const AnsiString& name, const AnsiString& value) override {
    Open(key);
    reg_.WriteString(name, value);
  }

private:
  void Open(const AnsiString& key) {
    if (!reg_.OpenKey(AnsiString("\\") + kFormRoot + "\\" + key, true)) throw ERegistryException("cannot open " + key);
  }
  TRegistry reg_;
};

class RegistryReader : public PropertyReader {
public:
  std::optional<int> Number(const AnsiString& key, const AnsiString& name) override {
    if (!Open(key) || !reg_.ValueExists(name)) return std::nullopt;
    return reg_.ReadInteger(name);
  }
  std::optional<AnsiString> Text(const AnsiString& key, const AnsiString& name) override {
    if (!Open(key) || !reg_.ValueExists(name)) return std::nullopt;
    return reg_.ReadString(name);
  }

private:
  bool Open(const AnsiString& key) { return reg_.OpenKey(AnsiString("\\") + kFormRoot + "\\" + key, false); }
  TRegistry reg_;
};

// A value that is not a component: a string list or a sub-object.
bool IsStoredObject(TObject* value) { return value && !dynamic_cast<TComponent*>(value); }

void WriteProperties(PropertyWriter& out, const AnsiString& key, TObject* o) {
  for (PPropInfo p : GetPropList(o)) {
    if (!p->Writable()) continue;
    if (p->PropType->Kind == tkClass) {
      TObject* value = GetObjectProp(o, p);
      if (!IsStoredObject(value)) continue;
      AnsiString sub = key + "\\" + p->Name;
      if (auto* list = dynamic_cast<TStrings*>(value)) {
        out.Number(sub, "Count", list->Count());
        for (int i = 0; i < list->Count(); ++i) out.Text(sub, "Item" + IntToStr(i), list->Get(i));
      } else {
        WriteProperties(out, sub, value);
      }
    } else if (p->PropType->Kind == tkInteger) {
      out.Number(key, p->Name, static_cast<int>(GetOrdProp(o, p)));
    } else {
      out.Text(key, p->Name, GetPropValue(o, p->Name));
    }
  }
}

void ReadProperties(PropertyReader& in, const AnsiString& key, TObject* o) {
  for (PPropInfo p : GetPropList(o)) {
    if (!p->Writable() || SameText(p->Name, "Name")) continue;
    if (p->PropType->Kind == tkClass) {
      TObject* value = GetObjectProp(o, p);
      if (!IsStoredObject(value)) continue;
      AnsiString sub = key + "\\" + p->Name;
      if (dynamic_cast<TStrings*>(value)) {
        std::optional<int> count = in.Number(sub, "Count");
        if (!count) continue;
        TStringList lines;
        for (int i = 0; i < *count; ++i) lines.Add(in.Text(sub, "Item" + IntToStr(i)).value_or(""));
        SetObjectProp(o, p, &lines);
      } else {
        ReadProperties(in, sub, value);
      }
    } else if (p->PropType->Kind == tkInteger) {
      if (std::optional<int> v = in.Number(key, p->Name)) SetOrdProp(o, p, *v);
    } else if (std::optional<AnsiString> v = in.Text(key, p->Name)) {
      SetPropValue(o, p->Name, *v);
    }
  }
}

std::vector<TComponent*> FormAndComponents(TComponent* form) {
  std::vector<TComponent*> all{form};
  for (int i = 0; i < form->ComponentCount(); ++i) all.push_back(form->Components(i));
  return all;
}

AnsiString KeyOf(TComponent* form, TComponent* c) { return c == form ? AnsiString("Form") : c->GetName(); }

// Every stored value of the form and its components, by its key path and name.
void Snapshot(const AnsiString& key, TObject* o, std::map<std::string, std::string>& out) {
  for (PPropInfo p : GetPropList(o)) {
    if (SameText(p->Name, "Name")) continue;
    if (p->PropType->Kind != tkClass) {
      out[key + "." + p->Name] = GetPropValue(o, p->Name);
      continue;
    }
    TObject* value = GetObjectProp(o, p);
    if (!IsStoredObject(value)) continue;
    if (auto* list = dynamic_cast<TStrings*>(value)) {
      out[key + "." + p->Name + ".Count"] = IntToStr(list->Count());
      for (int i = 0; i < list->Count(); ++i) out[key + "." + p->Name + "[" + IntToStr(i) + "]"] = list->Get(i);
    } else {
      Snapshot(key + "." + p->Name, value, out);
    }
  }
}

std::map<std::string, std::string> Snapshot(TComponent* form) {
  std::map<std::string, std::string> out;
  for (TComponent* c : FormAndComponents(form)) Snapshot(KeyOf(form, c), c, out);
  return out;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct RegistryRoute {
  const char* name;
  std::function<std::unique_ptr<PropertyWriter>()> writer;
  std::function<std::unique_ptr<PropertyReader>()> reader;
  const char* tagLine;  // how the form's Tag stands in registry.txt
};

TEST_F(PropertyTest, AFormsPropertiesSurviveTheRegistry) {
  const RegistryRoute routes[] = {
      {"TRegIniFile", [] { return std::make_unique<IniFileWriter>(); },
       [] { return std::make_unique<IniFileReader>(); }, "\"Tag\"=\"-5\""},
      {"TRegistry", [] { return std::make_unique<RegistryWriter>(); },
       [] { return std::make_unique<RegistryReader>(); }, "\"Tag\"=dword:fffffffb"},
      // Numbers the program wrote as numbers, read as an INI file reads them.
      {"TRegistry then TRegIniFile", [] { return std::make_unique<RegistryWriter>(); },
       [] { return std::make_unique<IniFileReader>(); }, "\"Tag\"=dword:fffffffb"},
  };
  for (const RegistryRoute& route : routes) {
    SCOPED_TRACE(route.name);
    TempHome home;
    auto* first = NewComponent<TNotedForm>(Application());
    first->SetName("First");
    first->SetCaption("Stored \"form\" = \xC3\xBC");  // UTF-8 text
    first->SetHint("first line\nsecond line|the long \\ hint");  // a line break no INI file holds
    first->SetBounds(-33, 44, 345, 234);
    first->SetBorderStyle(bsToolWindow);
    first->SetBorderIcons(TBorderIcons{biSystemMenu, biHelp});
    first->SetPosition(poOwnerFormCenter);
    first->SetTileMode(tbVertical);
    first->SetKeyPreview(true);
    first->SetColor(clAqua);
    first->SetTag(-5);
    first->SetAutoScroll(false);
    first->GetVertScrollBar()->SetRange(1000);
    first->GetVertScrollBar()->SetIncrement(13);
    first->GetHorzScrollBar()->SetVisible(false);
    first->Panel->SetAlign(alLeft);
    first->Panel->SetAnchors(TAnchors{akLeft, akBottom});
    first->Panel->SetCursor(crHandPoint);
    first->Panel->SetColor(clBtnFace);  // a system colour: a negative number
    first->Panel->SetTabStop(true);
    first->Panel->SetEnabled(false);
    first->Panel->SetHint("");
    first->Clock->SetInterval(250);
    first->Clock->SetEnabled(false);
    for (const char* line : {"plain", "key=value", "  spaced  ", "", "\"quoted\"", "back\\slash", "tab\there",
                             "\xC3\xBCn\xC3\xAF", "last"})
      first->Notes->GetLines()->Add(line);
    {
      std::unique_ptr<PropertyWriter> writer = route.writer();
      for (TComponent* c : FormAndComponents(first)) WriteProperties(*writer, KeyOf(first, c), c);
    }  // the keys are closed: the store is saved
    std::string text = ReadText(home.Path() + "/registry.txt");
    EXPECT_NE(text.find(route.tagLine), std::string::npos) << text;

    // Read back from the file alone, in a settings folder that holds nothing else.
    TempHome other;
    other.WriteFile("registry.txt", text);
    auto* second = NewComponent<TNotedForm>(Application());
    second->SetName("Second");
    second->Empty->GetLines()->Add("left over");  // an empty list read replaces it
    {
      std::unique_ptr<PropertyReader> reader = route.reader();
      for (TComponent* c : FormAndComponents(second)) ReadProperties(*reader, KeyOf(second, c), c);
    }
    std::map<std::string, std::string> before = Snapshot(first), after = Snapshot(second);
    EXPECT_GT(before.size(), 60u);
    for (const auto& [name, value] : before) EXPECT_EQ(after[name], value) << name;
    EXPECT_EQ(after.size(), before.size());
    EXPECT_EQ(second->GetVertScrollBar()->GetRange(), 1000);
    EXPECT_EQ(second->Panel->GetColor(), clBtnFace);
    EXPECT_EQ(second->GetHint(), "first line\nsecond line|the long \\ hint");
    EXPECT_EQ(second->Notes->GetLines()->Count(), 9);
    EXPECT_EQ(second->Empty->GetLines()->Count(), 0);
    FreeObject(first);
    FreeObject(second);
  }
}

}  // namespace
