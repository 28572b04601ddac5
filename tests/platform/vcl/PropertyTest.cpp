// The published properties of the framework's classes: every one reads and writes by name,
// and a form's properties survive a trip through a settings file.

#include "VclFixture.h"

#include <cstdio>
#include <map>

#include "platform/rtl/IniDocument.h"
#include "platform/rtl/SysUtils.h"
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

// Writes every component's text-valued properties into sections named after the components.
void StoreForm(TComponent* form, IniDocument& ini) {
  std::vector<TComponent*> all{form};
  for (int i = 0; i < form->ComponentCount(); ++i) all.push_back(form->Components(i));
  for (TComponent* c : all)
    for (PPropInfo p : GetPropList(c))
      if (p->PropType->Kind != tkClass && p->Writable())
        ini.SetValue(c == form ? AnsiString("Form") : c->GetName(), p->Name, GetPropValue(c, p->Name));
}

void LoadForm(TComponent* form, const IniDocument& ini) {
  std::vector<TComponent*> all{form};
  for (int i = 0; i < form->ComponentCount(); ++i) all.push_back(form->Components(i));
  for (TComponent* c : all)
    for (PPropInfo p : GetPropList(c)) {
      if (p->PropType->Kind == tkClass || !p->Writable() || SameText(p->Name, "Name")) continue;
      if (auto v = ini.Value(c == form ? AnsiString("Form") : c->GetName(), p->Name)) SetPropValue(c, p->Name, *v);
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
    for (PPropInfo p : GetPropList(a)) {
      if (p->PropType->Kind == tkClass || SameText(p->Name, "Name")) continue;
      EXPECT_EQ(GetPropValue(b, p->Name), GetPropValue(a, p->Name)) << a->GetName() << "." << p->Name;
      ++compared;
    }
  EXPECT_GT(compared, 40);
  EXPECT_EQ(second->GetCaption(), "Stored \"form\"");
}

}  // namespace
