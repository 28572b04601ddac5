// The filter factory's Load and Save as a user meets them: the open dialog previews the filter
// under the cursor on the factory's picture and offers a library's entries; the save dialog
// offers a library's places, the one after the last adding the filter; a replaced entry is
// asked for; files that are not filters are refused with a message and never changed.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "../shell/ProgramFixture.h"
#include "FormulaFilterSample.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ScrollBar.h"
#include "quillo/base/Language.h"
#include "quillo/document/ImageView.h"
#include "quillo/filters/FilterFactory.h"
#include "quillo/filters/FormulaFilterLoadSave.h"
#include "quillo/filters/FormulaFilterOpenDialog.h"
#include "quillo/filters/FormulaFilterSaveDialog.h"
#include "support/FileDialogUser.h"
#include "support/ImmutableFolder.h"
#include "support/SpecialFiles.h"

namespace {

// The sample with its own slider values and an "&" that a label must show as it is.
FormulaFilter Seeded(const std::string& title, int seed) {
  FormulaFilter f = Sample(title);
  for (int i = 0; i < kFilterSliders; ++i) f.values[i] = (seed * 40 + i * 30) % 256;
  f.author = "Ann & Bob";
  return f;
}

// Every field as text, for comparisons that name the field that differs.
std::vector<std::string> Fields(const FormulaFilter& f) {
  std::vector<std::string> out = {"entry " + f.entryName, "category " + f.category, "title " + f.title,
                                  "author " + f.author, "copyright " + f.copyright};
  for (int i = 0; i < kFilterSliders; ++i)
    out.push_back("slider " + std::to_string(i + 1) + " " + f.names[i] + " = " + std::to_string(f.values[i]));
  for (int i = 0; i < kFilterFormulas; ++i) out.push_back("formula " + std::to_string(i) + " " + f.formulas[i]);
  return out;
}

std::string LibraryText(const std::vector<FormulaFilter>& entries) {
  char count[16];
  std::snprintf(count, sizeof count, "%5d", static_cast<int>(entries.size()));
  std::string text = std::string("FFL1.0\r\n") + count + "\r\n";
  for (const FormulaFilter& f : entries) text += LibraryEntryText(f);
  return text;
}

std::vector<FormulaFilter> Library(int n) {
  std::vector<FormulaFilter> entries;
  for (int i = 1; i <= n; ++i) {
    FormulaFilter f = Seeded("Title " + std::to_string(i), i);
    f.entryName = "Entry " + std::to_string(i);
    f.formulas[0] = "r*" + std::to_string(i) + "/4";  // each entry previews differently
    entries.push_back(f);
  }
  return entries;
}

class FormulaFilterDialogsTest : public ProgramTest {
protected:
  FormulaFilterDialogsTest() {
    Start();
    folder = home.Path() + "/filters";
    std::filesystem::create_directories(folder);
    FormulaFilterFolder = folder + "/";
    FillPicture(400, 300, 0x00102030);
  }
  ~FormulaFilterDialogsTest() override {
    FFFilterTool.Saved.Free();
    FormulaFilterFolder.clear();
  }

  // The factory's untouched copy, as the window keeps it while open.
  static void FillPicture(int width, int height, std::uint32_t colour) {
    UDBuffer& picture = FFFilterTool.Saved;
    picture.Free();
    picture.Alloc(width, height);
    ASSERT_NE(picture.pixels, nullptr);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) *picture.At(x, y) = colour;
  }

  std::string Write(const std::string& name, const std::string& bytes) const {
    return home.WriteFile("filters/" + name, bytes);
  }
  std::string PathOf(const std::string& name) const { return folder + "/" + name; }

  // Load through the open dialog; inDialog runs once the dialog waits for the user and must
  // end it.
  bool Load(FormulaFilter& filter, std::function<void()> inDialog) {
    ui.WhenModalWaits(std::move(inDialog));
    const bool loaded = LoadFormulaFilter(filter);
    ui.RunUntilIdle();
    return loaded;
  }
  void Save(const FormulaFilter& filter, std::function<void()> inDialog) {
    ui.WhenModalWaits(std::move(inDialog));
    SaveFormulaFilter(filter);
    ui.RunUntilIdle();
  }

  void Choose(const std::string& name) {
    const std::vector<std::string> names = user.ListNames();
    EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name << " is not listed";
    user.ClickItem(name);
  }
  // In the save dialog, which lists one kind of file at a time: the kind of the name first.
  void ChooseToSave(const std::string& name) {
    user.ChooseType(IsFilterLibraryName(name) ? 1 : 0);
    Choose(name);
  }
  // The arrow at the right end of the entry chooser, clicked.
  void ChooserUp(TScrollBar* chooser, int times) {
    RECT r{};
    GetWindowRect(chooser->GetHandle(), &r);
    for (int i = 0; i < times; ++i) ui.Click(r.right - 4, (r.top + r.bottom) / 2);
  }
  void ChooserDown(TScrollBar* chooser, int times) {
    RECT r{};
    GetWindowRect(chooser->GetHandle(), &r);
    for (int i = 0; i < times; ++i) ui.Click(r.left + 4, (r.top + r.bottom) / 2);
  }

  // What the open dialog's panel shows now.
  struct OpenPanel {
    bool chooserEnabled = false;
    int first = 0, last = 0, position = 0;
    std::string title, category, author, copyright, status;
    std::uint32_t previewCentre = 0;  // on the screen
  };
  static OpenPanel OpenPanelNow() {
    OpenPanel p;
    TFFOpenPlus* plus = FFOpenPlus;
    p.chooserEnabled = IsWindowEnabled(plus->FilterIndex->GetHandle()) != 0;
    p.first = plus->FilterIndex->GetMin();
    p.last = plus->FilterIndex->GetMax();
    p.position = plus->FilterIndex->GetPosition();
    p.title = plus->FilterNameLab->GetCaption();
    p.category = plus->CategoryLab->GetCaption();
    p.author = plus->AuthorLab->GetCaption();
    p.copyright = plus->CopyrightLab->GetCaption();
    p.status = plus->StatusLab->GetCaption();
    return p;
  }
  OpenPanel OpenPanelSeen() const {
    OpenPanel p = OpenPanelNow();
    RECT r{};
    GetWindowRect(FFOpenPlus->PrevBufHolder->GetHandle(), &r);
    p.previewCentre = ui.Pixel((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return p;
  }

  struct Box {
    std::string text, caption;
    UINT flags = 0;
  };
  // Message boxes answered with answer (Yes/No boxes) or OK, and recorded.
  void AnswerBoxes(int answer) {
    ui.OnMessageBox([this, answer](const std::string& text, const std::string& caption, UINT flags) {
      boxes.push_back({text, caption, flags});
      return (flags & 0x0F) == MB_YESNO ? answer : IDOK;
    });
  }

  std::string folder;
  FileDialogUser user{ui};
  std::vector<Box> boxes;
};

// Each picture is fitted into the 200 x 150 box, at least one pixel a side, and centred in it.
TEST_F(FormulaFilterDialogsTest, ThePreviewIsTheFactorysPictureFittedAndCentredInItsBox) {
  struct Case {
    int width, height;
    RECT place;  // inside the box's border
  };
  const Case cases[] = {
      {400, 300, {2, 2, 202, 152}}, {1, 240, {101, 2, 102, 152}}, {300, 1, {2, 76, 202, 77}}, {100, 50, {2, 27, 202, 127}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    FillPicture(c.width, c.height, 0x00405060);
    RECT seen{};
    FormulaFilter filter;
    EXPECT_FALSE(Load(filter, [&] {
      TBuffer* view = FFOpenPlus->PrevBufHolder;
      seen = {view->GetLeft(), view->GetTop(), view->GetLeft() + view->GetWidth(), view->GetTop() + view->GetHeight()};
      user.ClickControl(IDCANCEL);
    }));
    EXPECT_EQ(seen.left, c.place.left);
    EXPECT_EQ(seen.top, c.place.top);
    EXPECT_EQ(seen.right, c.place.right);
    EXPECT_EQ(seen.bottom, c.place.bottom);
  }
}

// An ".afs" has no entries: the chooser is off, and the filter shows on the preview with its
// texts ending at the chooser's right edge.
TEST_F(FormulaFilterDialogsTest, ASingleFilterTurnsTheChooserOffAndPreviews) {
  Write("invert.afs", SingleFilterText(Seeded("Invert", 0)));
  FormulaFilter bad = Sample("Broken");
  bad.formulas[1] = "g +* 2";
  Write("broken.afs", SingleFilterText(bad));
  OpenPanel invert, broken;
  HWND owner = nullptr;
  FormulaFilter filter;
  EXPECT_FALSE(Load(filter, [&] {
    owner = GetWindow(FileDialogUser::Dialog(), GW_OWNER);
    Choose("invert.afs");
    invert = OpenPanelSeen();
    Choose("broken.afs");
    broken = OpenPanelSeen();
    user.ClickControl(IDCANCEL);
  }));
  // The main window owns the dialog.
  EXPECT_EQ(owner, form->GetHandle());
  EXPECT_FALSE(invert.chooserEnabled);
  EXPECT_EQ(invert.title, "Invert");
  EXPECT_EQ(invert.category, "Colour");
  EXPECT_EQ(invert.author, "Ann & Bob");
  EXPECT_EQ(invert.copyright, "(c) Ann");
  EXPECT_EQ(invert.status, "");
  EXPECT_EQ(invert.previewCentre, 0x00EFDFCFu);
  // A formula that does not compile is said so; its channel computes 0.
  EXPECT_EQ(broken.status, LangMessage("NotValidFF"));
  EXPECT_EQ(broken.title, "Broken");
  EXPECT_EQ(broken.previewCentre, 0x00EF00CFu);
  // The texts end where the chooser ends.
  const int right = FFOpenPlus->FilterIndex->GetLeft() + FFOpenPlus->FilterIndex->GetWidth();
  for (TLabel* label : {FFOpenPlus->FilterNameLab, FFOpenPlus->CategoryLab, FFOpenPlus->AuthorLab,
                        FFOpenPlus->CopyrightLab, FFOpenPlus->StatusLab})
    EXPECT_EQ(label->GetLeft() + label->GetWidth(), right) << label->GetName();
}

// A library of three: the open dialog chooses among 1..3, the save dialog among 1..4, where 4
// adds the filter and shows "[New Filter]" with the title being saved.
TEST_F(FormulaFilterDialogsTest, ALibraryOfThreeOffersThreeToOpenAndFourToSave) {
  Write("three.ffl", LibraryText(Library(3)));
  std::vector<OpenPanel> opened;
  FormulaFilter filter;
  EXPECT_FALSE(Load(filter, [&] {
    Choose("three.ffl");
    opened.push_back(OpenPanelSeen());
    ChooserUp(FFOpenPlus->FilterIndex, 1);
    opened.push_back(OpenPanelSeen());
    ChooserUp(FFOpenPlus->FilterIndex, 5);  // stops at the last
    opened.push_back(OpenPanelSeen());
    user.ClickControl(IDCANCEL);
  }));
  ASSERT_EQ(opened.size(), 3u);
  for (const OpenPanel& p : opened) {
    EXPECT_TRUE(p.chooserEnabled);
    EXPECT_EQ(p.first, 1);
    EXPECT_EQ(p.last, 3);
    EXPECT_EQ(p.status, "");
  }
  EXPECT_EQ(opened[0].position, 1);
  EXPECT_EQ(opened[0].title, "Title 1");
  EXPECT_EQ(opened[1].position, 2);
  EXPECT_EQ(opened[1].title, "Title 2");
  EXPECT_EQ(opened[2].position, 3);
  EXPECT_EQ(opened[2].title, "Title 3");
  // Red 0x10 times n / 4, green and blue inverted.
  EXPECT_EQ(opened[0].previewCentre, 0x0004DFCFu);
  EXPECT_EQ(opened[1].previewCentre, 0x0008DFCFu);
  EXPECT_EQ(opened[2].previewCentre, 0x000CDFCFu);

  struct SavePlace {
    bool enabled;
    int last, position;
    std::string name;
  };
  std::vector<SavePlace> places;
  const auto place = [] {
    return SavePlace{IsWindowEnabled(FFSavePlus->FilterIndex->GetHandle()) != 0, FFSavePlus->FilterIndex->GetMax(),
                     FFSavePlus->FilterIndex->GetPosition(), FFSavePlus->FilterNameLab->GetCaption()};
  };
  const std::string before = FileContents(PathOf("three.ffl"));
  Save(Sample("Mine"), [&] {
    ChooseToSave("three.ffl");
    places.push_back(place());
    ChooserUp(FFSavePlus->FilterIndex, 2);
    places.push_back(place());
    ChooserUp(FFSavePlus->FilterIndex, 3);  // stops at the place after the last
    places.push_back(place());
    user.ClickControl(IDCANCEL);
  });
  ASSERT_EQ(places.size(), 3u);
  const std::string newName = "[" + LangMessage("New Filter") + "] Mine";
  EXPECT_EQ(newName, "[New Filter] Mine");
  const std::vector<std::pair<int, std::string>> want = {{1, "Title 1"}, {3, "Title 3"}, {4, newName}};
  for (std::size_t i = 0; i < places.size(); ++i) {
    EXPECT_TRUE(places[i].enabled);
    EXPECT_EQ(places[i].last, 4);
    EXPECT_EQ(places[i].position, want[i].first);
    EXPECT_EQ(places[i].name, want[i].second);
  }
  // The name ends 6 pixels left of the chooser.
  EXPECT_EQ(FFSavePlus->FilterNameLab->GetLeft() + FFSavePlus->FilterNameLab->GetWidth(),
            FFSavePlus->FilterIndex->GetLeft() - 6);
  EXPECT_EQ(FileContents(PathOf("three.ffl")), before);
}

// A ".ffl" whose first word is not "FFL1.0" is no library: nothing to choose, nothing to
// show; the save dialog offers it as a new library, and a save into it is refused.
TEST_F(FormulaFilterDialogsTest, AFileNotStartingWithTheLibraryWordIsNoLibrary) {
  std::string text = LibraryText(Library(2));
  text.replace(0, 6, "FFL2.0");
  Write("other.ffl", text);
  OpenPanel opened;
  FormulaFilter filter;
  EXPECT_FALSE(Load(filter, [&] {
    Choose("other.ffl");
    opened = OpenPanelSeen();
    user.ClickControl(IDCANCEL);
  }));
  EXPECT_FALSE(opened.chooserEnabled);
  EXPECT_EQ(opened.status, LangMessage("NotValidFF"));
  EXPECT_EQ(opened.title, "");
  EXPECT_EQ(opened.previewCentre, 0x00102030u);  // the picture as it is

  AnswerBoxes(IDYES);
  bool enabled = true;
  std::string name;
  Save(Sample("Mine"), [&] {
    ChooseToSave("other.ffl");
    enabled = IsWindowEnabled(FFSavePlus->FilterIndex->GetHandle()) != 0;
    name = FFSavePlus->FilterNameLab->GetCaption();
    user.ClickControl(IDOK);
  });
  EXPECT_FALSE(enabled);
  EXPECT_EQ(name, "[New Filter] Mine");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, LangMessage("FFLNotALibrary"));
  EXPECT_EQ(FileContents(PathOf("other.ffl")), text);
}

// The file under the cursor is read once: choosing it again shows what was read, moving the
// chooser reads it again.
TEST_F(FormulaFilterDialogsTest, ReselectingAFileDoesNotReadItAgainMovingTheChooserDoes) {
  std::vector<FormulaFilter> entries = Library(2);
  Write("two.ffl", LibraryText(entries));
  std::vector<std::string> titles;
  FormulaFilter filter;
  EXPECT_FALSE(Load(filter, [&] {
    Choose("two.ffl");
    titles.push_back(FFOpenPlus->FilterNameLab->GetCaption());
    entries[0].title = "Changed 1";
    entries[1].title = "Changed 2";
    Write("two.ffl", LibraryText(entries));
    ui.Advance(1000);  // a click of its own, not the second of a double click
    Choose("two.ffl");
    titles.push_back(FFOpenPlus->FilterNameLab->GetCaption());
    ChooserUp(FFOpenPlus->FilterIndex, 1);
    titles.push_back(FFOpenPlus->FilterNameLab->GetCaption());
    ChooserDown(FFOpenPlus->FilterIndex, 1);
    titles.push_back(FFOpenPlus->FilterNameLab->GetCaption());
    user.ClickControl(IDCANCEL);
  }));
  EXPECT_EQ(titles, (std::vector<std::string>{"Title 1", "Title 1", "Changed 2", "Changed 1"}));
}

// Files that are not filters show "NotValidFF" and leave the picture unfiltered; OK on one is
// refused with a message and the dialog stays; Cancel then leaves the filter as it was.
TEST_F(FormulaFilterDialogsTest, HostileFilesShowNotValidAndAreNotTaken) {
  const std::string single = SingleFilterText(Sample("Whole"));
  const std::string library = LibraryText(Library(2));
  // The first n lines of a text whose lines end at "end".
  const auto firstLines = [](const std::string& text, const std::string& end, int n) {
    std::size_t at = 0;
    for (int i = 0; i < n; ++i) at = text.find(end, at) + end.size();
    return text.substr(0, at);
  };
  struct Case {
    std::string name, bytes;
    bool chooser;  // the chooser offers entries
  };
  const std::vector<Case> cases = {
      {"cut1.afs", firstLines(single, "\r", 1), false},
      {"cut5.afs", firstLines(single, "\r", 5), false},
      {"cut8.afs", firstLines(single, "\r", 8), false},
      {"value.afs", "%RGB-1.0\r12 \r", false},
      {"big.afs", "%RGB-1.0\r99999999999\r", false},
      {"junk.afs", std::string("\x7f" "ELF\x02\x01\x01\0\0\0\xff\xfe", 12), false},
      {"nul.afs", std::string("%RGB-1.0\r\0\0\0\r", 13), false},
      {"long.afs", "%RGB-1.0\r" + std::string(5000, '1') + "\r", false},
      {"cut1.ffl", firstLines(library, "\r\n", 1), false},
      {"cut2.ffl", firstLines(library, "\r\n", 2), true},
      {"cut20.ffl", firstLines(library, "\r\n", 20), true},
      {"minus.ffl", "FFL1.0\r\n   -1\r\n", false},
      {"abc.ffl", "FFL1.0\r\n  abc\r\n", false},
      {"huge.ffl", "FFL1.0\r\n99999999999\r\n", false},
      {"many.ffl", "FFL1.0\r\n999999\r\n", true},
      {"junk.ffl", std::string("FFL1.0\r\n    1\r\n\xff\0\xfe\r\n", 20), true},
      {"long.ffl", "FFL1.0\r\n    1\r\n" + std::string(5000, 'x') + "\r\n", true},
  };
  for (const Case& c : cases) Write(c.name, c.bytes);
  std::vector<OpenPanel> seen;
  std::vector<std::string> stillOpen;
  FormulaFilter filter = Sample("Kept");
  EXPECT_FALSE(Load(filter, [&] {
    for (const Case& c : cases) {
      Choose(c.name);
      seen.push_back(OpenPanelSeen());
    }
    user.ClickControl(IDOK);  // on the last one
    stillOpen.push_back(FileDialogUser::Dialog() != nullptr ? "open" : "closed");
    user.ClickControl(IDCANCEL);
  }));
  ASSERT_EQ(seen.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    EXPECT_EQ(seen[i].status, LangMessage("NotValidFF"));
    EXPECT_EQ(seen[i].chooserEnabled, cases[i].chooser);
    EXPECT_EQ(seen[i].previewCentre, 0x00102030u);
  }
  EXPECT_EQ(stillOpen, std::vector<std::string>{"open"});
  EXPECT_EQ(ui.MessageBoxTexts(), std::vector<std::string>{LangMessage("CantOpenFilter")});
  EXPECT_EQ(Fields(filter), Fields(Sample("Kept")));
  for (const Case& c : cases) EXPECT_EQ(FileContents(PathOf(c.name)), c.bytes) << c.name;
}

// Load gives the fields of the entry chosen (its entry name too), remembers the folder and
// hands the file to the save dialog; a single filter has no entry name.
TEST_F(FormulaFilterDialogsTest, LoadGivesTheChosenEntrysFields) {
  const std::vector<FormulaFilter> entries = Library(3);
  const std::string libraryPath = Write("three.ffl", LibraryText(entries));
  FormulaFilter single = Sample("Single");
  single.author = "";
  const std::string singlePath = Write("single.afs", SingleFilterText(single));

  FormulaFilter filter;
  filter.entryName = "left over";
  ASSERT_TRUE(Load(filter, [&] {
    Choose("three.ffl");
    ChooserUp(FFOpenPlus->FilterIndex, 1);
    user.ClickControl(IDOK);
  }));
  EXPECT_EQ(Fields(filter), Fields(entries[1]));
  EXPECT_EQ(FormulaFilterFolder, folder + "/");
  EXPECT_EQ(FFSavePlus->SaveDlg->GetFileName(), libraryPath);

  // The next Load starts on the file and entry chosen last.
  OpenPanel atStart;
  ASSERT_TRUE(Load(filter, [&] {
    atStart = OpenPanelNow();
    Choose("single.afs");
    user.ClickControl(IDOK);
  }));
  EXPECT_EQ(atStart.title, "Title 2");
  EXPECT_EQ(atStart.position, 2);
  single.author = "-";  // an empty text is kept as "-" in a single filter
  EXPECT_EQ(Fields(filter), Fields(single));
  EXPECT_EQ(FFSavePlus->SaveDlg->GetFileName(), singlePath);
}

// A device under a filter's name is refused unread (a pipe likewise, without waiting: the
// file tests show it), and the message names it.
TEST_F(FormulaFilterDialogsTest, ADeviceIsRefusedWithAMessageNamingIt) {
  for (const char* name : {"device.afs", "device.ffl"}) {
    SCOPED_TRACE(name);
    MakeSpecialFile(SpecialFile::Device, PathOf(name));
    const std::size_t boxesBefore = ui.MessageBoxTexts().size();
    std::vector<std::string> stillOpen;
    FormulaFilter filter = Sample("Kept");
    EXPECT_FALSE(Load(filter, [&] {
      Choose(name);
      user.ClickControl(IDOK);
      stillOpen.push_back(FileDialogUser::Dialog() != nullptr ? "open" : "closed");
      user.ClickControl(IDCANCEL);
    }));
    EXPECT_EQ(stillOpen, std::vector<std::string>{"open"});
    ASSERT_EQ(ui.MessageBoxTexts().size(), boxesBefore + 1);
    const std::string& text = ui.MessageBoxTexts().back();
    EXPECT_EQ(text.rfind(LangMessage("CantOpenFilter"), 0), 0u) << text;
    EXPECT_NE(text.find(PathOf(name)), std::string::npos) << text;
    EXPECT_EQ(Fields(filter), Fields(Sample("Kept")));
  }
}

// Files of other hosts end right after their formulas and cut formulas anywhere, even inside
// a name: Load takes them with empty texts, the formulas joined as they were cut.
TEST_F(FormulaFilterDialogsTest, AFileEndingAfterItsFormulasIsTaken) {
  Write("short.afs", "%RGB-1.0\r1\r2\r3\r4\r5\r6\r7\r8\rr\r\rg\r\rb\r\rctl(0) > 0 ? a + (c\rtl(1) - 128) : 0\r\r");
  FormulaFilter filter = Sample("Kept");
  OpenPanel seen;
  ASSERT_TRUE(Load(filter, [&] {
    Choose("short.afs");
    seen = OpenPanelSeen();
    user.ClickControl(IDOK);
  }));
  EXPECT_EQ(seen.status, "");  // the formulas compile
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
  EXPECT_EQ(filter.formulas[3], "ctl(0) > 0 ? a + (ctl(1) - 128) : 0");
  for (int i = 0; i < kFilterSliders; ++i) {
    EXPECT_EQ(filter.values[i], i + 1);
    EXPECT_EQ(filter.names[i], "");
  }
  for (const AnsiString* text : {&filter.category, &filter.title, &filter.author, &filter.copyright}) EXPECT_EQ(*text, "");
}

// Saving into a library: a place of an entry asks before replacing it (No leaves the file
// as it was), the place after the last adds the filter without asking, and a library that is
// not there yet is made with the one entry.
TEST_F(FormulaFilterDialogsTest, SavingIntoALibraryAsksBeforeReplacingAndAppendsAtTheEnd) {
  const std::vector<FormulaFilter> five = Library(5);
  const FormulaFilter mine = Seeded("Mine", 7);
  struct Case {
    const char* label;
    int place;
    int answer;
    bool asked;
    std::vector<FormulaFilter> after;  // empty: the file as it was
  };
  std::vector<FormulaFilter> replaced = five;
  replaced[2] = mine;
  std::vector<FormulaFilter> appended = five;
  appended.push_back(mine);
  const std::vector<Case> cases = {
      {"slot 3, No", 3, IDNO, true, {}},
      {"slot 3, Yes", 3, IDYES, true, replaced},
      {"slot 6", 6, IDYES, false, appended},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string before = LibraryText(five);
    Write("five.ffl", before);
    boxes.clear();
    AnswerBoxes(c.answer);
    Save(mine, [&] {
      ChooseToSave("five.ffl");
      ChooserUp(FFSavePlus->FilterIndex, c.place - 1);
      user.ClickControl(IDOK);
    });
    if (c.asked) {
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].text, "Replace the filter Title 3 ?");
      EXPECT_EQ(boxes[0].caption, LangMessage("Err"));
      EXPECT_EQ(boxes[0].flags & 0xFF, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
    } else {
      EXPECT_TRUE(boxes.empty());
    }
    EXPECT_EQ(FileContents(PathOf("five.ffl")), c.after.empty() ? before : LibraryText(c.after));
  }
  EXPECT_EQ(FileContents(PathOf("five.ffl")).substr(0, 15), "FFL1.0\r\n    6\r\n");

  boxes.clear();
  Save(mine, [&] { user.TypeName("fresh.ffl"); });
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(FileContents(PathOf("fresh.ffl")), "FFL1.0\r\n    1\r\n" + LibraryEntryText(mine));
  EXPECT_EQ(FFOpenPlus->OpenDlg->GetFileName(), PathOf("fresh.ffl"));
}

// A single filter is written as such; what cannot be saved is told and changes no file.
TEST_F(FormulaFilterDialogsTest, WhatCannotBeSavedIsToldAndLeavesTheFileAsItWas) {
  const FormulaFilter mine = Sample("Mine");
  Save(mine, [&] { user.TypeName("mine.afs"); });
  EXPECT_EQ(FileContents(PathOf("mine.afs")), SingleFilterText(mine));

  const std::string library = LibraryText(Library(2));
  Write("two.ffl", library);
  // Either format keeps a formula on one line, where a comment would hide the rest.
  FormulaFilter commented = mine;
  commented.formulas[2] = "b // keep blue\r\n+ 0";
  AnswerBoxes(IDYES);
  for (const char* name : {"two.ffl", "mine.afs"}) {
    SCOPED_TRACE(name);
    const std::string before = FileContents(PathOf(name));
    boxes.clear();
    Save(commented, [&] {
      ChooseToSave(name);
      user.ClickControl(IDOK);
    });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, LangMessage("FFLCannotHold"));
    EXPECT_EQ(FileContents(PathOf(name)), before);
  }

  ImmutableFolder locked(folder);
  if (!locked.Set()) GTEST_SKIP() << "the file system keeps no immutable flag";
  for (const char* name : {"mine.afs", "two.ffl"}) {
    SCOPED_TRACE(name);
    const std::string before = FileContents(PathOf(name));
    boxes.clear();
    Save(mine, [&] {
      ChooseToSave(name);
      user.ClickControl(IDOK);
    });
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().text, LangMessage("CantSaveFilter"));
    EXPECT_EQ(FileContents(PathOf(name)), before);
  }
}

}  // namespace
