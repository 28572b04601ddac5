// Published-property storage: every kind of property as text in a section store, and back.

#include <gtest/gtest.h>

#include <map>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Strings.h"
#include "quillo/components/persistence/PropsStorage.h"
#include "SampleComponent.h"

namespace {

using Store = std::map<AnsiString, std::map<AnsiString, AnsiString>>;

class PropsStorageTest : public ::testing::Test {
protected:
  Store store;
  TOwnedPtr<TComponent> form = MakeObject<TComponent>(nullptr);
  TSample* sample = nullptr;
  TComponent* other = nullptr;

  void SetUp() override {
    form->SetName("Dialog");
    sample = NewComponent<TSample>(form.get());
    sample->SetName("Sample");
    other = NewComponent<TComponent>(form.get());
    other->SetName("Other");
  }
  TOwnedPtr<TPropsStorage> Storage() {
    auto storage = MakeObject<TPropsStorage>();
    storage->Section = "Dialog";
    storage->OnWriteString = [this](const AnsiString& s, const AnsiString& i, const AnsiString& v) { store[s][i] = v; };
    storage->OnReadString = [this](const AnsiString& s, const AnsiString& i, const AnsiString& d) {
      auto section = store.find(s);
      if (section == store.end()) return d;
      auto value = section->second.find(i);
      return value == section->second.end() ? d : value->second;
    };
    storage->OnEraseSection = [this](const AnsiString& s) { store.erase(s); };
    return storage;
  }
  TOwnedPtr<TStringList> List(std::initializer_list<const char*> lines) {
    auto list = MakeObject<TStringList>();
    for (const char* line : lines) list->Add(line);
    UpdateStoredList(form.get(), list.get(), true);
    return list;
  }
  void StoreProps(std::initializer_list<const char*> lines) { Storage()->StoreObjectsProps(form.get(), List(lines).get()); }
  void LoadProps(std::initializer_list<const char*> lines) { Storage()->LoadObjectsProps(form.get(), List(lines).get()); }
};

TEST_F(PropsStorageTest, EachKindHasItsTextForm) {
  sample->Number = -42;
  sample->Flag = true;
  sample->Border = bsDialog;
  sample->Icons = TBorderIcons{biSystemMenu, biMaximize};
  sample->Ratio = 0.5;
  sample->Text = "  padded  ";
  sample->Letter = 'Q';
  sample->Big = 1234567890123L;
  sample->Buddy = other;
  StoreProps({"Sample.Number", "Sample.Flag", "Sample.Border", "Sample.Icons", "Sample.Ratio", "Sample.Text",
              "Sample.Letter", "Sample.Big", "Sample.Buddy"});
  const auto& s = store["Dialog"];
  EXPECT_EQ(s.at("Sample_Number"), "-42");
  EXPECT_EQ(s.at("Sample_Flag"), "True");
  EXPECT_EQ(s.at("Sample_Border"), "bsDialog");
  EXPECT_EQ(s.at("Sample_Icons"), "[biSystemMenu,biMaximize]");
  EXPECT_EQ(s.at("Sample_Ratio"), "0.5");
  EXPECT_EQ(s.at("Sample_Text"), "  padded  ");  // blanks are part of the text
  EXPECT_EQ(s.at("Sample_Letter"), "Q");
  EXPECT_EQ(s.at("Sample_Big"), "1234567890123");
  EXPECT_EQ(s.at("Sample_Buddy"), "Other");
}

TEST_F(PropsStorageTest, EveryKindComesBack) {
  store["Dialog"] = {{"Sample_Number", " 99 "}, {"Sample_Flag", "true"},       {"Sample_Border", "BSTOOLWINDOW"},
                     {"Sample_Icons", "[ biHelp , biMinimize ]"}, {"Sample_Ratio", "2.75"}, {"Sample_Text", " x "},
                     {"Sample_Letter", "Z"}, {"Sample_Big", "-5000000000"}, {"Sample_Buddy", "Other"}};
  LoadProps({"Sample.Number", "Sample.Flag", "Sample.Border", "Sample.Icons", "Sample.Ratio", "Sample.Text",
             "Sample.Letter", "Sample.Big", "Sample.Buddy"});
  EXPECT_EQ(sample->Number, 99);
  EXPECT_TRUE(sample->Flag);
  EXPECT_EQ(sample->Border, bsToolWindow);
  EXPECT_EQ(sample->Icons, (TBorderIcons{biMinimize, biHelp}));
  EXPECT_DOUBLE_EQ(sample->Ratio, 2.75);
  EXPECT_EQ(sample->Text, " x ");
  EXPECT_EQ(sample->Letter, 'Z');
  EXPECT_EQ(sample->Big, -5000000000L);
  EXPECT_EQ(sample->Buddy, other);
}

TEST_F(PropsStorageTest, AnEmptySetIsStoredAsBracketsAndLoadsEmpty) {
  sample->Icons = TBorderIcons{};
  StoreProps({"Sample.Icons"});
  EXPECT_EQ(store["Dialog"]["Sample_Icons"], "[]");
  sample->Icons = TBorderIcons{biHelp};
  LoadProps({"Sample.Icons"});
  EXPECT_EQ(sample->Icons, TBorderIcons{});
}

TEST_F(PropsStorageTest, FloatsUseAPointWhateverTheLocale) {
  FormatSettingsScope keep;
  DecimalSeparator = ',';
  ThousandSeparator = '.';
  sample->Ratio = 0.5;
  StoreProps({"Sample.Ratio"});
  EXPECT_EQ(store["Dialog"]["Sample_Ratio"], "0.5");
  store["Dialog"]["Sample_Ratio"] = "1234.125";
  LoadProps({"Sample.Ratio"});
  EXPECT_DOUBLE_EQ(sample->Ratio, 1234.125);
}

TEST_F(PropsStorageTest, ValuesThatDoNotConvertLeaveThePropertyAlone) {
  store["Dialog"] = {{"Sample_Border", "bsNoSuchStyle"}, {"Sample_Ratio", "abc"}, {"Sample_Buddy", "Nobody"}};
  sample->Buddy = other;
  LoadProps({"Sample.Border", "Sample.Ratio", "Sample.Buddy", "Sample.NoSuchProperty"});
  EXPECT_EQ(sample->Border, bsSizeable);
  EXPECT_DOUBLE_EQ(sample->Ratio, 1.25);
  EXPECT_EQ(sample->Buddy, other);
}

TEST_F(PropsStorageTest, ComponentReferencesByNameAndNull) {
  StoreProps({"Sample.Buddy"});
  EXPECT_EQ(store["Dialog"]["Sample_Buddy"], "(null)");
  sample->Buddy = other;
  store["Dialog"]["Sample_Buddy"] = "(NULL)";
  LoadProps({"Sample.Buddy"});
  EXPECT_EQ(sample->Buddy, nullptr);
}

TEST_F(PropsStorageTest, AStringListLivesInASubSection) {
  sample->Lines->Clear();
  sample->Lines->Add(" first ");
  sample->Lines->Add("second");
  StoreProps({"Sample.Lines"});
  const auto& s = store["Dialog.Sample_Lines"];
  EXPECT_EQ(s.at("Count"), "2");
  EXPECT_EQ(s.at("Item0"), " first ");
  EXPECT_EQ(s.at("Item1"), "second");
  EXPECT_EQ(store["Dialog"].count("Sample_Lines"), 0u);
  sample->Lines->Clear();
  LoadProps({"Sample.Lines"});
  ASSERT_EQ(sample->Lines->Count(), 2);
  EXPECT_EQ(sample->Lines->Strings(0), " first ");
}

TEST_F(PropsStorageTest, AListTheUserEmptiedStaysEmpty) {
  sample->Lines->Clear();
  StoreProps({"Sample.Lines"});
  EXPECT_EQ(store["Dialog.Sample_Lines"].at("Count"), "0");
  // A fresh start: the list has its design-time lines again until the stored state loads.
  sample->Lines->Add("design line");
  LoadProps({"Sample.Lines"});
  EXPECT_EQ(sample->Lines->Count(), 0);
}

TEST_F(PropsStorageTest, AListNeverStoredKeepsItsLines) {
  LoadProps({"Sample.Lines"});
  EXPECT_EQ(sample->Lines->Count(), 2);
  store["Dialog.Sample_Lines"]["Count"] = "many";
  LoadProps({"Sample.Lines"});
  EXPECT_EQ(sample->Lines->Count(), 2);
}

TEST_F(PropsStorageTest, ADamagedCountDoesNotRunAway) {
  store["Dialog.Sample_Lines"]["Count"] = "2000000000";
  store["Dialog"]["Sample_Columns.Count"] = "2000000000";
  LoadProps({"Sample.Lines", "Sample.Columns"});
  EXPECT_EQ(sample->Lines->Count(), 2);
  EXPECT_EQ(sample->Columns->Count(), 0);
}

TEST_F(PropsStorageTest, ASubObjectsPropertiesTakeItsNameAsPrefix) {
  sample->Font->SetName("Courier New");
  sample->Font->SetSize(14);
  StoreProps({"Sample.Font"});
  EXPECT_EQ(store["Dialog"]["Sample_FontName"], "Courier New");
  EXPECT_EQ(store["Dialog"]["Sample_FontSize"], "14");
  sample->Font->SetName("Arial");
  sample->Font->SetSize(8);
  LoadProps({"Sample.Font"});
  EXPECT_EQ(sample->Font->GetName(), "Courier New");
  EXPECT_EQ(sample->Font->GetSize(), 14);
}

TEST_F(PropsStorageTest, ACollectionIsStoredItemByItem) {
  for (int i = 0; i < 3; ++i) {
    auto* column = static_cast<TSampleColumn*>(sample->Columns->Add());
    column->Title = Format("Column %d", i);
    column->Width = 10 * (i + 1);
  }
  StoreProps({"Sample.Columns"});
  EXPECT_EQ(store["Dialog"]["Sample_Columns.Count"], "3");
  EXPECT_EQ(store["Dialog.Sample_Columns"]["Item2_Title"], "Column 2");
  EXPECT_EQ(store["Dialog.Sample_Columns"]["Item0_Width"], "10");
  sample->Columns->Clear();
  sample->Columns->Add();
  LoadProps({"Sample.Columns"});
  ASSERT_EQ(sample->Columns->Count(), 3);
  EXPECT_EQ(static_cast<TSampleColumn*>(sample->Columns->Items(1))->Title, "Column 1");
  EXPECT_EQ(static_cast<TSampleColumn*>(sample->Columns->Items(2))->Width, 30);
}

TEST_F(PropsStorageTest, StoredListLinesAreCheckedAgainstTheForm) {
  auto list = MakeObject<TStringList>();
  for (const char* line : {"Sample.Number", "Gone.Number", "nodot", " Sample . Flag ", ".Text"}) list->Add(line);
  UpdateStoredList(form.get(), list.get(), true);
  ASSERT_EQ(list->Count(), 2);
  EXPECT_EQ(list->Objects(0), sample);
  sample->SetName("Renamed");
  UpdateStoredList(form.get(), list.get(), false);
  EXPECT_EQ(list->Strings(0), "Renamed.Number");
  EXPECT_EQ(list->Strings(1), "Renamed.Flag");
  AnsiString component, prop;
  EXPECT_TRUE(ParseStoredItem(" A . B ", component, prop));
  EXPECT_EQ(component + "|" + prop, "A|B");
  EXPECT_EQ(CreateStoredItem("A", ""), "");
}

TEST_F(PropsStorageTest, PropInfoListsFindAndIntersect) {
  TPropInfoList sampleProps(sample, tkProperties);
  TPropInfoList componentProps(other, tkProperties);
  EXPECT_NE(sampleProps.Find("number"), nullptr);
  EXPECT_EQ(sampleProps.Find("Nothing"), nullptr);
  sampleProps.Intersect(componentProps);
  EXPECT_EQ(sampleProps.Count(), componentProps.Count());
  EXPECT_EQ(sampleProps.Find("Number"), nullptr);
}

}  // namespace
