// File > Batch Conversion in the started program, as a user works it: settings saved to a
// script and loaded back through the file dialogs, damaged scripts refused, the options each
// depth allows, and runs whose progress window stays open exactly when it has lines to show.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../shell/ProgramFixture.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/ScrollBar.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/files/BatchFormats.h"
#include "quillo/files/BatchScript.h"
#include "quillo/files/ProgressForm.h"
#include "quillo/files/ScriptForm.h"
#include "support/FileDialogUser.h"

namespace {

class BatchWindowTest : public ProgramTest {
protected:
  BatchWindowTest() { ScriptDir.clear(); }
  ~BatchWindowTest() override { ScriptDir.clear(); }

  static TScriptForm* Batch() {
    for (int i = 0; i < Screen()->FormCount(); ++i)
      if (auto* batch = dynamic_cast<TScriptForm*>(Screen()->Forms(i)); batch && batch->GetVisible()) return batch;
    return nullptr;
  }
  void Press(TButton* button) {
    const POINT at = UiDriver::At(button->GetHandle(), button->GetWidth() / 2, button->GetHeight() / 2);
    ui.QueueClick(at.x, at.y);
  }
  // File > Batch Conversion; each step runs in turn while a window waits for the user, and a
  // last one closes the batch window with Cancel.
  void WithBatchWindow(std::vector<std::function<void()>> steps) {
    steps.push_back([this] { Press(Batch()->CancelBtn); });
    ChooseMenuItem("&File", "Ba&tch Conversion...", std::move(steps));
    EXPECT_EQ(Batch(), nullptr) << "the batch window has closed";
  }
  std::function<void()> TypeIntoFileDialog(const std::string& path) {
    return [this, path] {
      ASSERT_NE(FileDialogUser::Dialog(), nullptr);
      FileDialogUser user(ui);
      user.TypeName(path, false);
      user.ClickControl(IDOK);
    };
  }
  BatchSettings OneImage() const {
    BatchSettings s;
    s.singleImage = home.Path() + "/a.png";
    s.format = "Portable Network Graphics";
    s.depth = "True Color (24 bit)";
    return s;
  }
  std::vector<std::string> boxes;
  void RecordBoxes() {
    ui.OnMessageBox([this](const std::string& text, const std::string&, UINT) {
      boxes.push_back(text);
      return IDOK;
    });
  }
};

TEST_F(BatchWindowTest, SaveSettingsWritesTheScriptAndLoadBringsEveryFieldBack) {
  Start();
  const std::string script = home.Path() + "/settings.scr";
  BatchSettings changed;
  changed.input = BatchInput::MultipleFolders;
  changed.singleImage = "/elsewhere/b.jpg";
  changed.singleFolder = "/elsewhere";
  changed.folders = {"/f1", "/f2"};
  changed.subfolders = true;
  changed.format = "CompuServe GIF";
  changed.depth = "16 Colors";
  changed.limit = changed.dither = changed.transparent = changed.interlaced = true;
  changed.limitColours = 12;
  changed.keepName = false;
  changed.addIndex = false;
  changed.baseName = "Shot";
  changed.firstNumber = 40;
  changed.digits = 5;
  WithBatchWindow({[this] {
                     Batch()->Apply(OneImage());
                     Press(Batch()->SaveBtn);
                   },
                   TypeIntoFileDialog(script)});
  EXPECT_EQ(FileContents(script), "QLSCP100\r\n0\r\n" + home.Path() +
                                      "/a.png\r\n.\r\n0 0 0 Portable Network Graphics\r\nTrue Color (24 bit)\r\n"
                                      "0 234 0 0 0 75 1 1 Image\r\n0 1");
  EXPECT_EQ(ScriptDir, home.Path() + "/");
  // Every field changed, then the script loaded: the window keeps what it shows for the
  // next time, which is what the script held.
  WithBatchWindow({[&] {
                     Batch()->Apply(changed);
                     EXPECT_EQ(Batch()->Current(), changed);
                     Press(Batch()->LoadBtn);
                   },
                   TypeIntoFileDialog(script)});
  WithBatchWindow({[this] { EXPECT_EQ(WriteBatchScript(Batch()->Current()), WriteBatchScript(OneImage())); }});
  // And the other way round: every field of the changed settings comes in from a script.
  ASSERT_TRUE(SaveBatchScript(script, changed));
  WithBatchWindow({[this] { Press(Batch()->LoadBtn); }, TypeIntoFileDialog(script)});
  WithBatchWindow({[&] { EXPECT_EQ(WriteBatchScript(Batch()->Current()), WriteBatchScript(changed)); }});
}

TEST_F(BatchWindowTest, ADamagedScriptIsReportedAndChangesNoSetting) {
  Start();
  RecordBoxes();
  const std::string wrongMagic = home.WriteFile("wrong.scr", "QLSCP099\r\n2\r\n.\r\n.\r\n0 0 0 JPEG\r\nGrayscale\r\n0 2 0 0 0 1 1 1 I\r\n0 1");
  const std::string unknownDepth = home.WriteFile("depth.scr", "QLSCP100\r\n2\r\n.\r\n.\r\n0 0 0 JPEG\r\n256 Colors\r\n0 2 0 0 0 1 1 1 I\r\n0 1");
  for (const std::string& script : {wrongMagic, unknownDepth}) {
    WithBatchWindow({[this] {
                       Batch()->Apply(OneImage());
                       Press(Batch()->LoadBtn);
                     },
                     TypeIntoFileDialog(script)});
    WithBatchWindow({[this] { EXPECT_EQ(WriteBatchScript(Batch()->Current()), WriteBatchScript(OneImage())); }});
  }
  EXPECT_EQ(boxes, std::vector<std::string>(2, "The batch conversion settings file is damaged."));
}

TEST_F(BatchWindowTest, EachDepthAllowsItsOptions) {
  Start();
  WithBatchWindow({[] {
    TScriptForm* batch = Batch();
    BatchSettings s;
    s.format = "Portable Network Graphics";
    s.depth = "True Color (24 bit)";
    batch->Apply(s);
    const auto choose = [batch](const char* depth) {
      batch->CDepth->SetItemIndex(batch->CDepth->GetItems()->IndexOf(depth));
      batch->CDepthChange(batch->CDepth);
    };
    choose("True Color (32 bit)");
    EXPECT_TRUE(batch->TranspCB->GetChecked());
    EXPECT_FALSE(batch->LimitCB->GetEnabled());
    choose("True Color (24 bit)");
    EXPECT_FALSE(batch->TranspCB->GetChecked());
    choose("256 Colors");
    EXPECT_TRUE(batch->LimitCB->GetEnabled());
    batch->LimitCB->SetChecked(true);
    EXPECT_TRUE(batch->LimitED->GetEnabled());
    EXPECT_TRUE(batch->DitherCB->GetEnabled());
    choose("True Color (24 bit)");
    EXPECT_FALSE(batch->LimitCB->GetEnabled());
    EXPECT_FALSE(batch->LimitCB->GetChecked());
    EXPECT_FALSE(batch->DitherCB->GetEnabled());
    choose("Black and White");
    EXPECT_TRUE(batch->DitherCB->GetEnabled());
    EXPECT_TRUE(batch->TranspCB->GetEnabled());
    EXPECT_FALSE(batch->LimitCB->GetEnabled());
    // JPEG offers quality but no palette; the remembered depth stays where the list has it.
    batch->Type->SetItemIndex(batch->Type->GetItems()->IndexOf("JPEG"));
    batch->TypeChange(batch->Type);
    EXPECT_EQ(batch->CDepth->GetText(), "True Color (24 bit)");
    EXPECT_TRUE(batch->QScbar->GetVisible());
  }});
}

// A run that adds lines leaves the progress window open over the batch window; its Cancel
// then closes it, and the next run starts with no lines.
TEST_F(BatchWindowTest, TheProgressWindowStaysOpenExactlyWhenItHasLines) {
  Start();
  const std::string damaged = WriteDamagedImage("broken.png");
  const std::string sound = WriteImage("sound.bmp", 4, 4, 0x123456);
  WithBatchWindow({[&] {
                     BatchSettings s = OneImage();
                     s.singleImage = damaged;
                     Batch()->Apply(s);
                     Press(Batch()->GoBtn);
                   },
                   [&] {
                     TProgressForm* progress = BatchProgressForm();
                     ASSERT_TRUE(progress->GetVisible());
                     ASSERT_EQ(progress->Memo->GetLines()->Count(), 1);
                     EXPECT_EQ(progress->Memo->GetLines()->Strings(0), "Can't open " + damaged);
                     EXPECT_NE(Batch(), nullptr) << "the batch window shows again";
                     Press(progress->CancelBtn);
                   },
                   [&] {
                     EXPECT_FALSE(BatchProgressForm()->GetVisible());
                     BatchSettings s = OneImage();
                     s.singleImage = sound;
                     Batch()->Apply(s);
                     Press(Batch()->GoBtn);
                   },
                   [&] {
                     EXPECT_FALSE(BatchProgressForm()->GetVisible()) << "a run without lines closes it";
                     EXPECT_EQ(BatchProgressForm()->Memo->GetLines()->Count(), 0);
                     EXPECT_TRUE(std::filesystem::exists(home.Path() + "/sound.png"));
                   }});
}

// Go! again while the progress window is still open: the new run starts with no lines of
// the one before and, after a run the user stopped, still converts.
TEST_F(BatchWindowTest, EachRunStartsWithAnEmptyProgressWindow) {
  Start();
  const std::string first = WriteDamagedImage("first.png");
  const std::string second = WriteDamagedImage("second.png");
  const std::string sound = WriteImage("sound.bmp", 4, 4, 0x123456);
  const auto go = [&](const std::string& file) {
    return [this, file] {
      BatchSettings s = OneImage();
      s.singleImage = file;
      Batch()->Apply(s);
      Press(Batch()->GoBtn);
    };
  };
  WithBatchWindow({go(first),
                   [&] {
                     ASSERT_TRUE(BatchProgressForm()->GetVisible());
                     ASSERT_EQ(BatchProgressForm()->Memo->GetLines()->Count(), 1);
                     go(second)();
                   },
                   [&] {
                     TProgressForm* progress = BatchProgressForm();
                     ASSERT_TRUE(progress->GetVisible());
                     ASSERT_EQ(progress->Memo->GetLines()->Count(), 1);
                     EXPECT_EQ(progress->Memo->GetLines()->Strings(0), "Can't open " + second);
                     // Cancel pressed while a run goes on stops it and leaves the window open.
                     progress->SetRunning(true);
                     progress->SetFilesDone(0);
                     progress->CancelBtnClick(progress->CancelBtn);
                     progress->SetRunning(false);
                     ASSERT_TRUE(progress->GetVisible());
                     go(sound)();
                   },
                   [&] {
                     EXPECT_TRUE(std::filesystem::exists(home.Path() + "/sound.png"));
                     EXPECT_EQ(BatchProgressForm()->Memo->GetLines()->Count(), 0);
                     EXPECT_FALSE(BatchProgressForm()->GetVisible()) << "a run without lines closes it";
                   }});
}

TEST_F(BatchWindowTest, SettingsAreKeptForTheNextTime) {
  Start();
  WithBatchWindow({[this] {
    BatchSettings s = OneImage();
    s.format = "JPEG";
    s.depth = "Grayscale";
    s.quality = 61;
    Batch()->Apply(s);
    Batch()->CDepthChange(Batch()->CDepth);
  }});
  WithBatchWindow({[this] {
    const BatchSettings s = Batch()->Current();
    EXPECT_EQ(s.format, "JPEG");
    EXPECT_EQ(s.depth, "Grayscale");
    EXPECT_EQ(s.quality, 61);
    EXPECT_EQ(s.singleImage, OneImage().singleImage);
  }});
}

TEST_F(BatchWindowTest, TheWindowOpensCentredThenWhereTheUserLeftIt) {
  Start();
  WithBatchWindow({[this] {
    TScriptForm* batch = Batch();
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_LE(batch->GetHeight(), screenHeight);
    EXPECT_NEAR(batch->GetTop() + batch->GetHeight() / 2, screenHeight / 2, 1);
    EXPECT_NEAR(batch->GetLeft() + batch->GetWidth() / 2, screenWidth / 2, 1);
    batch->SetLeft(40);
    batch->SetTop(30);
  }});
  WithBatchWindow({[this] {
    EXPECT_EQ(Batch()->GetLeft(), 40);
    EXPECT_EQ(Batch()->GetTop(), 30);
  }});
}

}  // namespace
