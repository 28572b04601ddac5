// The save optimiser as a user reaches it: File > Save As, "Optimize...", a probe of a
// 256-colour GIF in the third slot, Accept, and the save dialog then set as the slot was,
// writing a file an independent reader finds so.

#include <algorithm>
#include <filesystem>
#include <set>

#include "../shell/ProgramFixture.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/StdButtons.h"
#include "platform/vcl/UpDown.h"
#include "quillo/base/Language.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/files/SaveOptimForm.h"
#include "quillo/files/SavePictureDialog.h"
#include "support/FileDialogUser.h"
#include "vorlen/formats/ReferenceTools.h"

namespace {

class SaveOptimSaveAsTest : public ProgramTest {
protected:
  SaveOptimSaveAsTest() {
    OptimSlots.fill(OptimSlot{});
    SavedLeft = -1;
  }
  ~SaveOptimSaveAsTest() override { OptimSlots.fill(OptimSlot{}); }

  void Press(TWinControl* c) {
    const POINT at = UiDriver::At(c->GetHandle(), c->GetWidth() / 2, c->GetHeight() / 2);
    ui.QueueClick(at.x, at.y);
  }
  // A photo-like picture as a 24-bit PNG: smooth shading, a disc with its own gradient and a
  // little grain, so that lossy and palette depths each show their own losses.
  std::string WritePicture(const std::string& name) const {
    constexpr int kWidth = 320;
    constexpr int kHeight = 240;
    Buffer b;
    b.Alloc(Pair<int>(kWidth, kHeight));
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const int dx = x - kWidth / 2;
        const int dy = y - kHeight / 2;
        const bool disc = dx * dx + dy * dy < 80 * 80;
        const int grain = static_cast<int>((static_cast<unsigned>(x) * 7919u ^ static_cast<unsigned>(y) * 104729u) % 9u) - 4;
        const int r = disc ? 230 - y / 2 : 40 + x * 150 / kWidth;
        const int g = disc ? 120 + x / 4 : 90 + y * 120 / kHeight;
        const int bl = disc ? 60 + y / 3 : 200 - x * 100 / kWidth;
        const auto c = [grain](int v) { return static_cast<uint>(std::clamp(v + grain, 0, 255)); };
        *b.At(x, y) = c(r) << 16 | c(g) << 8 | c(bl);
      }
    const std::string path = home.Path() + "/" + name;
    GFXSaveParams params;
    params.bits = 24;
    GFXFile::Save(b, path, nullptr, &params);
    b.Free();
    return path;
  }
  static int WritablePlace(const std::string& name) {
    int place = 0;
    for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next) {
      if (f->depths != 0) ++place;
      if (f->name == name) return place;
    }
    return 0;
  }
  FileDialogUser user{ui};
};

TEST_F(SaveOptimSaveAsTest, TheAcceptedSlotSetsTheSaveDialogAndTheFileIsWrittenSo) {
  REQUIRE_TOOL("convert");
  Start({WritePicture("photo.png")});
  ASSERT_NE(CurrentPicture, nullptr);
  const std::string out = home.Path() + "/optimised.gif";
  TSaveOptimForm* seen = nullptr;
  ChooseMenuItem("&File", "Save &As...",
                 {[&] { Press(SavePlus->OptimizeBtn); },
                  [&] {
                    seen = SaveOptimForm;
                    ASSERT_NE(seen, nullptr);
                    const TRect tab = seen->TabControl->TabRect(2);
                    const POINT at = UiDriver::At(seen->TabControl->GetHandle(), (tab.left + tab.right) / 2,
                                                  (tab.top + tab.bottom) / 2);
                    ui.QueueClick(at.x, at.y);
                  },
                  [&] {
                    TSaveOptimForm* f = SaveOptimForm;
                    EXPECT_EQ(f->CurrentSlot, 2);
                    f->Type->SetItemIndex(f->Type->GetItems()->IndexOf("CompuServe GIF"));
                    f->TypeComboChange(f->Type);
                    f->CDepth->SetItemIndex(f->CDepth->GetItems()->IndexOf(LangMessage("SO256")));
                    f->SetDitherAndLimitCols(f->CDepth);
                    f->LimitCB->SetChecked(true);
                    f->LimitED->SetAsInteger(16);
                    f->DitherCB->SetChecked(true);
                    f->TranspCB->SetChecked(false);
                    f->InterlCB->SetChecked(true);
                    Press(f->PrevBtn);
                  },
                  [&] {
                    TSaveOptimForm* f = SaveOptimForm;
                    EXPECT_EQ(f->SlotState[2], TSaveOptimForm::kProbed);
                    EXPECT_EQ(f->PrevBtn->GetCaption(), LangMessage("SOAccept"));
                    Press(f->PrevBtn);
                  },
                  [&] {
                    EXPECT_EQ(SaveOptimForm, nullptr) << "the optimiser is gone";
                    EXPECT_EQ(SaveOptimResult.typeIndex + 1, WritablePlace("CompuServe GIF"));
                    EXPECT_EQ(SaveOptimResult.depthIndex, 8);
                    EXPECT_EQ(SavePlus->SavePicDlg->Hook().GetSelFilterIndex(), WritablePlace("CompuServe GIF"));
                    EXPECT_TRUE(SavePlus->B8RB->GetChecked());
                    EXPECT_TRUE(SavePlus->LimitColsCB->GetChecked());
                    EXPECT_EQ(SavePlus->LimitCols->GetPosition(), 16);
                    EXPECT_TRUE(SavePlus->Dither->GetChecked());
                    EXPECT_FALSE(SavePlus->Transparent->GetChecked());
                    EXPECT_TRUE(SavePlus->MultiPass->GetChecked());
                    user.TypeName(out);
                    PostMessage(nullptr, WM_NULL, 0, 0);
                  }});
  ASSERT_TRUE(std::filesystem::exists(out));
  UDBuffer back;
  ASSERT_EQ(LoadImageFile(&back, out, 0, true), LoadOk);
  EXPECT_EQ(back.SaveParams.bits, 8);
  EXPECT_TRUE(back.SaveParams.interlaced);
  const reference::Image read = reference::MagickRead(out);
  ASSERT_EQ(read.width, 320);
  const std::set<uint> colours(read.pixels.begin(), read.pixels.end());
  EXPECT_LE(colours.size(), 16u);
  EXPECT_GT(colours.size(), 2u);
}

}  // namespace

namespace {

// For the screenshot script: the optimiser with four probed slots of a picture.
class SaveOptimShot : public SaveOptimSaveAsTest {};

TEST_F(SaveOptimShot, TheOptimiserWithFourProbedSlots) {
  Start({WritePicture("photo.png")});
  bool probed = false;
  ChooseMenuItem("&File", "Save &As...",
                 {[&] { Press(SavePlus->OptimizeBtn); },
                  [&] {
                    TSaveOptimForm* f = SaveOptimForm;
                    const struct {
                      const char* type;
                      const char* depth;
                      int quality;
                    } slots[] = {{"JPEG", "SOTC24", 75},
                                 {"JPEG", "SOTC24", 10},
                                 {"CompuServe GIF", "SO256", 75},
                                 {"Portable Network Graphics", "SO16", 75}};
                    probed = true;
                    for (int k = 0; k < 4; ++k) {
                      f->TabControl->SetTabIndex(k);
                      f->PageChange(f->TabControl);
                      f->Type->SetItemIndex(f->Type->GetItems()->IndexOf(slots[k].type));
                      f->TypeComboChange(f->Type);
                      f->CDepth->SetItemIndex(f->CDepth->GetItems()->IndexOf(LangMessage(slots[k].depth)));
                      f->SetDitherAndLimitCols(f->CDepth);
                      f->QScbar->SetPosition(slots[k].quality);
                      f->PreviewBtnClick(f->PrevBtn);
                      probed = probed && f->SlotState[k] == TSaveOptimForm::kProbed;
                    }
                    ui.ShowToViewer();
                    Press(f->CancelBtn);
                  },
                  [&] { user.ClickControl(IDCANCEL); }});
  EXPECT_TRUE(probed);
}

}  // namespace
