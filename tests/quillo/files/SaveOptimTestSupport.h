#pragma once
// What the save optimiser's tests share: a fresh temporary folder as the system's (TMPDIR),
// the optimiser's run-wide records as a new run has them, a photo-like picture, and a user
// at the optimiser's window.

#include <cstdlib>
#include <filesystem>
#include <string>

#include "FilesFixture.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ScrollBar.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/components/panels/PercentProgress.h"
#include "quillo/files/SaveOptimForm.h"
#include "vorlen/formats/jpeg/LibJpegReference.h"

class SaveOptimFixture : public FilesFixture {
protected:
  SaveOptimFixture() {
    OptimSlots.fill(OptimSlot{});
    SaveOptimResult = OptimSlot{};
    SavedLeft = -1;
    SavedTop = 0;
    OptimCancelRequested = false;
    std::filesystem::create_directories(temp);
    if (const char* was = std::getenv("TMPDIR")) {
      hadTemp = true;
      previousTemp = was;
    }
    ::setenv("TMPDIR", temp.c_str(), 1);
    MakePicture(64, 48);
  }
  ~SaveOptimFixture() override {
    if (hadTemp) ::setenv("TMPDIR", previousTemp.c_str(), 1);
    else ::unsetenv("TMPDIR");
    picture.Free();
    OptimSlots.fill(OptimSlot{});
    SavedLeft = -1;
  }

  void MakePicture(int width, int height) {
    picture.Free();
    picture.Alloc(width, height);
    const reference::Image photo = reference::PhotoLike(width, height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) *picture.At(x, y) = photo.pixels[static_cast<size_t>(y) * width + x];
    picture.SaveParams = GFXSaveParams();
    picture.SaveParams.bits = 24;
  }

  // The optimiser on the picture, shown (not modal).
  TOwnedPtr<TSaveOptimForm> Open() {
    TOwnedPtr<TSaveOptimForm> form(NewComponent<TSaveOptimForm>(Application(), &picture));
    form->Show();
    ui.RunUntilIdle();
    return form;
  }

  static void ChooseType(TSaveOptimForm& f, const std::string& name) {
    f.Type->SetItemIndex(f.Type->GetItems()->IndexOf(name));
    f.TypeComboChange(f.Type);
  }
  static void ChooseDepth(TSaveOptimForm& f, const char* key) {
    f.CDepth->SetItemIndex(f.CDepth->GetItems()->IndexOf(LangMessage(key)));
    f.SetDitherAndLimitCols(f.CDepth);
  }
  static POINT CentreOf(TWinControl* c) { return UiDriver::At(c->GetHandle(), c->GetWidth() / 2, c->GetHeight() / 2); }
  void Click(TWinControl* c) {
    const POINT at = CentreOf(c);
    ui.Click(at.x, at.y);
  }
  void QueueClick(TWinControl* c) {
    const POINT at = CentreOf(c);
    ui.QueueClick(at.x, at.y);
  }
  static POINT TabCentre(TSaveOptimForm& f, int tab) {
    const TRect r = f.TabControl->TabRect(tab);
    return UiDriver::At(f.TabControl->GetHandle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  void ClickTab(TSaveOptimForm& f, int tab) {
    const POINT at = TabCentre(f, tab);
    ui.Click(at.x, at.y);
  }
  // The names in a folder, sorted.
  static std::vector<std::string> NamesIn(const std::string& path) {
    std::vector<std::string> names;
    if (!std::filesystem::exists(path)) return names;
    for (const auto& e : std::filesystem::directory_iterator(path)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  static bool SamePixels(const Buffer& a, const Buffer& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x)
        if ((*a.At(x, y) & 0xFFFFFF) != (*b.At(x, y) & 0xFFFFFF)) return false;
    return true;
  }

  const std::string temp = home.Path() + "/tmp";
  bool hadTemp = false;
  std::string previousTemp;
  UDBuffer picture;
};
