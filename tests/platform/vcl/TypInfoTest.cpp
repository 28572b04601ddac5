#include <gtest/gtest.h>

#include "platform/vcl/Component.h"
#include "platform/vcl/Strings.h"
#include "platform/vcl/TypInfo.h"

enum TShade { shLight, shMedium, shDark };
enum TEdge { edLeft, edTop, edRight, edBottom };
using TEdges = SetOf<TEdge>;
QUILLO_DECLARE_ENUM_TYPE(TShade)
QUILLO_DECLARE_ENUM_TYPE(TEdge)
QUILLO_DECLARE_SET_TYPE(TEdge)
QUILLO_DEFINE_ENUM_TYPE(TShade, "shLight", "shMedium", "shDark")
QUILLO_DEFINE_ENUM_TYPE(TEdge, "edLeft", "edTop", "edRight", "edBottom")
QUILLO_DEFINE_SET_TYPE(TEdges, TEdge)

namespace {

// One property of every kind the tables carry.
class TSample : public TComponent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TSample(TComponent* owner) : TComponent(owner), lines_(MakeObject<TStringList>()) {}

  int Width() const { return width_; }
  void SetWidth(int v) { width_ = v; }
  bool Checked() const { return checked_; }
  void SetChecked(bool v) { checked_ = v; }
  TShade Shade() const { return shade_; }
  void SetShade(TShade v) { shade_ = v; }
  TEdges Edges() const { return edges_; }
  void SetEdges(TEdges v) { edges_ = v; }
  AnsiString Caption() const { return caption_; }
  void SetCaption(const AnsiString& v) { caption_ = v; }
  double Ratio() const { return ratio_; }
  void SetRatio(double v) { ratio_ = v; }
  char Accel() const { return accel_; }
  void SetAccel(char v) { accel_ = v; }
  TStringList* Lines() const { return lines_.get(); }
  void SetLines(TStringList* v) { lines_->Assign(v); }  // a sub-object: copied, not taken
  TComponent* Partner() const { return partner_; }
  void SetPartner(TComponent* v) { partner_ = v; }
  int Version() const { return 7; }

private:
  int width_ = 0;
  bool checked_ = false;
  TShade shade_ = shLight;
  TEdges edges_;
  AnsiString caption_;
  double ratio_ = 0;
  char accel_ = 'a';
  TOwnedPtr<TStringList> lines_;
  TComponent* partner_ = nullptr;
};
QUILLO_DEFINE_PUBLISHED_CLASS(TSample, TComponent)

const TPropTable* TSample::PublishedProperties() {
  static const TPropTable table = TPublisher<TSample>()
                                      .Property("Width", &TSample::Width, &TSample::SetWidth)
                                      .Property("Checked", &TSample::Checked, &TSample::SetChecked)
                                      .Property("Shade", &TSample::Shade, &TSample::SetShade)
                                      .Property("Edges", &TSample::Edges, &TSample::SetEdges)
                                      .Property("Caption", &TSample::Caption, &TSample::SetCaption)
                                      .Property("Ratio", &TSample::Ratio, &TSample::SetRatio)
                                      .Property("Accel", &TSample::Accel, &TSample::SetAccel)
                                      .Property("Lines", &TSample::Lines, &TSample::SetLines)
                                      .Property("Partner", &TSample::Partner, &TSample::SetPartner)
                                      .Property("Version", &TSample::Version)
                                      .Table();
  return &table;
}

// A subclass that publishes Width again (with the same meaning) and one more.
class TDerivedSample : public TSample {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  using TSample::TSample;
  int Extra() const { return extra_; }
  void SetExtra(int v) { extra_ = v; }

private:
  int extra_ = 0;
};
QUILLO_DEFINE_PUBLISHED_CLASS(TDerivedSample, TSample)

const TPropTable* TDerivedSample::PublishedProperties() {
  static const TPropTable table = TPublisher<TDerivedSample>()
                                      .Property("Width", &TDerivedSample::Width, &TDerivedSample::SetWidth)
                                      .Property("Extra", &TDerivedSample::Extra, &TDerivedSample::SetExtra)
                                      .Table();
  return &table;
}

TEST(TypInfo, KindsFollowTheGetters) {
  auto s = MakeObject<TSample>(nullptr);
  struct Case {
    const char* name;
    TTypeKind kind;
    const char* typeName;
  };
  for (Case c : {Case{"Width", tkInteger, "Integer"}, Case{"Checked", tkEnumeration, "Boolean"},
                 Case{"Shade", tkEnumeration, "TShade"}, Case{"Edges", tkSet, "TEdges"},
                 Case{"Caption", tkLString, "AnsiString"}, Case{"Ratio", tkFloat, "Double"},
                 Case{"Accel", tkChar, "Char"}, Case{"Lines", tkClass, "TStringList"},
                 Case{"Partner", tkClass, "TComponent"}, Case{"Name", tkLString, "AnsiString"},
                 Case{"Tag", tkInteger, "Integer"}}) {
    PPropInfo p = GetPropInfo(s.get(), c.name);
    ASSERT_NE(p, nullptr) << c.name;
    EXPECT_EQ(p->PropType->Kind, c.kind) << c.name;
    EXPECT_EQ(p->PropType->Name, c.typeName) << c.name;
  }
  EXPECT_EQ(GetPropInfo(s.get(), "wIdTh"), GetPropInfo(s.get(), "Width"));
  EXPECT_EQ(GetPropInfo(s.get(), "Nothing"), nullptr);
  EXPECT_EQ(GetPropInfo(s.get(), "Width", TTypeKinds{tkLString}), nullptr);
}

TEST(TypInfo, ListHasAncestorsFirstAndRedeclarationsInPlace) {
  std::vector<AnsiString> names;
  for (PPropInfo p : GetPropList(TDerivedSample::StaticClass())) names.push_back(p->Name);
  EXPECT_EQ(names, (std::vector<AnsiString>{"Name", "Tag", "Width", "Checked", "Shade", "Edges", "Caption", "Ratio",
                                            "Accel", "Lines", "Partner", "Version", "Extra"}));
  EXPECT_EQ(GetPropInfo(TDerivedSample::StaticClass(), "Width")->Publisher, TDerivedSample::StaticClass());
  EXPECT_EQ(GetPropList(TDerivedSample::StaticClass(), TTypeKinds{tkClass}).size(), 2u);
}

TEST(TypInfo, TypedAccessorsReadAndWriteByName) {
  auto s = MakeObject<TSample>(nullptr);
  SetOrdProp(s.get(), "Width", 120);
  EXPECT_EQ(s->Width(), 120);
  EXPECT_EQ(GetOrdProp(s.get(), "Width"), 120);
  SetEnumProp(s.get(), "Shade", "SHDARK");
  EXPECT_EQ(s->Shade(), shDark);
  EXPECT_EQ(GetEnumProp(s.get(), "Shade"), "shDark");
  SetEnumProp(s.get(), "Checked", "true");
  EXPECT_TRUE(s->Checked());
  SetSetProp(s.get(), "Edges", "[edTop, edbottom]");
  EXPECT_EQ(s->Edges(), (TEdges{edTop, edBottom}));
  EXPECT_EQ(GetSetProp(s.get(), "Edges", true), "[edTop,edBottom]");
  EXPECT_EQ(GetSetProp(s.get(), "Edges"), "edTop,edBottom");
  SetSetProp(s.get(), "Edges", "[]");
  EXPECT_TRUE(s->Edges().Empty());
  SetStrProp(s.get(), "Caption", "Hello");
  EXPECT_EQ(GetStrProp(s.get(), "Caption"), "Hello");
  SetFloatProp(s.get(), "Ratio", 0.5);
  EXPECT_DOUBLE_EQ(GetFloatProp(s.get(), "Ratio"), 0.5);
  SetOrdProp(s.get(), "Accel", 'x');
  EXPECT_EQ(s->Accel(), 'x');
}

TEST(TypInfo, ObjectPropertiesCopySubObjectsAndHoldReferences) {
  auto s = MakeObject<TSample>(nullptr);
  auto lines = MakeObject<TStringList>();
  lines->Add("one");
  lines->Add("two");
  SetObjectProp(s.get(), "Lines", lines.get());
  EXPECT_EQ(s->Lines()->Count(), 2);
  EXPECT_NE(static_cast<TObject*>(s->Lines()), lines.get());
  // The ordinal setter on an object property takes the object's address, as the framework's does.
  lines->Add("three");
  SetOrdProp(s.get(), "Lines", reinterpret_cast<std::intptr_t>(lines.get()));
  EXPECT_EQ(s->Lines()->Count(), 3);
  EXPECT_EQ(GetObjectProp(s.get(), "Lines"), s->Lines());
  EXPECT_EQ(GetObjectProp(s.get(), "Lines", TComponent::StaticClass()), nullptr);
  auto other = MakeObject<TComponent>(nullptr);
  SetObjectProp(s.get(), "Partner", other.get());
  EXPECT_EQ(s->Partner(), other.get());
  // An object of the wrong class is refused.
  EXPECT_THROW(SetObjectProp(s.get(), "Partner", lines.get()), EPropertyConvertError);
}

TEST(TypInfo, ErrorsNameTheProblem) {
  auto s = MakeObject<TSample>(nullptr);
  struct Case {
    std::function<void()> action;
    bool convert;  // EPropertyConvertError, else EPropertyError
  };
  Case cases[] = {
      {[&] { SetOrdProp(s.get(), "Missing", 1); }, false},
      {[&] { SetOrdProp(s.get(), "Version", 1); }, false},
      {[&] { SetStrProp(s.get(), "Width", "x"); }, true},
      {[&] { SetEnumProp(s.get(), "Shade", "shNone"); }, true},
      {[&] { SetSetProp(s.get(), "Edges", "[edLeft,edMiddle]"); }, true},
      {[&] { GetFloatProp(s.get(), "Caption"); }, true},
      {[&] { GetPropValue(s.get(), "Lines"); }, true},
  };
  for (auto& c : cases) {
    if (c.convert) {
      EXPECT_THROW(c.action(), EPropertyConvertError);
    } else {
      EXPECT_THROW(c.action(), EPropertyError);
    }
  }
  EXPECT_EQ(s->Shade(), shLight);  // a refused value changes nothing
  try {
    SetOrdProp(s.get(), "Missing", 1);
  } catch (const EPropertyError& e) {
    EXPECT_EQ(e.Message, "Property Missing does not exist");
  }
}

TEST(TypInfo, ValuesAsTextRoundTripEveryKindWithOne) {
  auto a = MakeObject<TDerivedSample>(nullptr);
  a->SetWidth(-3);
  a->SetChecked(true);
  a->SetShade(shMedium);
  a->SetEdges(TEdges{edLeft, edRight});
  a->SetCaption("A, b");
  a->SetRatio(2.25);
  a->SetAccel('q');
  a->SetExtra(9);
  a->SetTag(44);
  auto b = MakeObject<TDerivedSample>(nullptr);
  for (PPropInfo p : GetPropList(a.get())) {
    if (p->PropType->Kind == tkClass || !p->Writable()) continue;
    SetPropValue(b.get(), p->Name, GetPropValue(a.get(), p->Name));
  }
  for (PPropInfo p : GetPropList(a.get())) {
    if (p->PropType->Kind == tkClass) continue;
    EXPECT_EQ(GetPropValue(b.get(), p->Name), GetPropValue(a.get(), p->Name)) << p->Name;
  }
  EXPECT_EQ(GetPropValue(a.get(), "Edges"), "[edLeft,edRight]");
  EXPECT_EQ(GetPropValue(a.get(), "Checked"), "True");
}

TEST(TypInfo, EnumAndSetNames) {
  EXPECT_EQ(GetEnumName(TypeInfo<TShade>(), 1), "shMedium");
  EXPECT_EQ(GetEnumName(TypeInfo<TShade>(), 7), "");
  EXPECT_EQ(GetEnumValue(TypeInfo<TShade>(), "SHMEDIUM"), 1);
  EXPECT_EQ(GetEnumValue(TypeInfo<TShade>(), "medium"), -1);
  EXPECT_EQ(GetEnumValue(TypeInfo<bool>(), "false"), 0);
  EXPECT_EQ(SetToString(TypeInfo<TEdges>(), 0, true), "[]");
  EXPECT_EQ(StringToSet(TypeInfo<TEdges>(), "edRight edTop"), (1u << edRight) | (1u << edTop));
}

}  // namespace
