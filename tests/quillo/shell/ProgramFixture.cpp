#include "ProgramFixture.h"

#include "platform/rtl/CommandLine.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Registry.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/base/SettingsTrouble.h"
#include "quillo/shell/SettingsStorage.h"
#include "quillo/shell/StartUp.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/formats/GFXFile.h"

ProgramTest::ProgramTest() : ProgramTest(1280, 800) {}

ProgramTest::ProgramTest(int desktopWidth, int desktopHeight) : ui(desktopWidth, desktopHeight) {
  SetProgramFolder(QUILLO_BIN_DIR);
  SetParams({});
  Settings = TSettings{};
  // The tools window stays on top: unless a test asks for the palette sheet at start, it keeps
  // out of the way of the windows and dialogs the tests click.
  Settings.PaletteVisible = false;
}

ProgramTest::~ProgramTest() {
  RemoveSettingsTroubleReports();
  ResetApplication();
  Lang.reset();
  SetParams({});
  Settings = TSettings{};
}

TMainForm* ProgramTest::Start(const std::vector<std::string>& files, StoredSettings stored) {
  if (stored == StoredSettings::FromTheRecord) {
    StorePreferences(nullptr);
    TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
    if (registry->OpenKey(AnsiString(SettingsRegistryKey) + "Preferences", true)) {
      registry->WriteInteger("DrawCol", 0x000000);
      registry->WriteInteger("BgndCol", 0xFFFFFF);
      registry->CloseKey();
    }
  }
  SetParams(std::vector<AnsiString>(files.begin(), files.end()));
  InstallSettingsTroubleReports();
  form = Application()->CreateForm<TMainForm>();
  StartUp(form);
  if (!showStartTip) {
    MSG tip;
    while (PeekMessage(&tip, form->GetHandle(), UM_SHOWTIP, UM_SHOWTIP, PM_REMOVE)) {
    }
  }
  form->Show();
  ui.RunUntilIdle();
  return form;
}

std::string ProgramTest::WriteImage(const std::string& name, int width, int height, std::uint32_t colour) const {
  Buffer image;
  image.Alloc(Pair<int>(width, height));
  image.Box(image.rect, colour);
  const std::string path = home.Path() + "/" + name;
  GFXFile::Save(image, path, nullptr, nullptr);
  image.Free();
  return path;
}

std::string ProgramTest::WriteDamagedImage(const std::string& name) const {
  // A PNG signature and the start of a header chunk, then nothing.
  return home.WriteFile(name, std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0", 18));
}

ProgramTest::MenuPlace ProgramTest::FindMenuItem(const std::vector<std::string>& captions) const {
  HMENU menu = GetMenu(form->GetHandle());
  MenuPlace place;
  for (std::size_t level = 0; level < captions.size() && menu; ++level) {
    int found = -1;
    for (int i = 0; i < GetMenuItemCount(menu) && found < 0; ++i) {
      char text[256] = {};
      GetMenuString(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
      const std::string shown = text;  // the caption, then a tab and the shortcut
      if (captions[level] == shown.substr(0, shown.find('\t'))) found = i;
    }
    if (found < 0) return {};
    place = MenuPlace{menu, found};
    menu = level + 1 < captions.size() ? GetSubMenu(menu, found) : nullptr;
  }
  return place;
}

void ProgramTest::ChooseMenuItem(const std::string& menu, const std::string& item,
                                 std::vector<std::function<void()>> whileModal) {
  const MenuPlace bar = FindMenuItem({menu});
  const MenuPlace entry = FindMenuItem({menu, item});
  ASSERT_NE(bar.position, -1) << menu;
  ASSERT_NE(entry.position, -1) << item;
  RECT r{};
  ASSERT_TRUE(GetMenuItemRect(form->GetHandle(), bar.menu, static_cast<UINT>(bar.position), &r));
  // The menu loop waits for input once the menu is open: then the item is clicked.
  ui.WhenModalWaits([this, entry] {
    RECT item{};
    GetMenuItemRect(form->GetHandle(), entry.menu, static_cast<UINT>(entry.position), &item);
    ui.QueueClick((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  });
  for (auto& step : whileModal) ui.WhenModalWaits(std::move(step));
  ui.Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}
