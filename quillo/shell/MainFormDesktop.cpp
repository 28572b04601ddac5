#include "quillo/shell/MainFormDesktop.h"

#include "platform/vcl/Menus.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/output/CaptureForm.h"
#include "quillo/output/DesktopScreens.h"
#include "quillo/output/OutputHost.h"
#include "quillo/output/SendImageForm.h"
#include "quillo/shell/MainForm.h"

namespace {

struct ScreenItems {
  const char* importItem;
  const char* exportItem;
  DesktopScreen screen;
};
constexpr ScreenItems kScreenItems[] = {
    {"Import2", "Export2", DesktopScreen::Startup},
    {"Import3", "Export3", DesktopScreen::Waiting},
    {"Import4", "Export4", DesktopScreen::Shutdown},
};

// The output commands read and write pictures through the file commands.
static_assert(LoadOk == 0 && LoadDamaged == 1 && SaveOk == 0, "the codes OutputHost answers");
class FileCommandsForOutput : public OutputHost {
public:
  int LoadImage(UDBuffer* target, const AnsiString& fileName, bool quiet) override {
    return LoadImageFile(target, fileName, 0, quiet);
  }
  int SaveImage(const AnsiString& fileName, UDBuffer* picture, GFXSaveParams* params, bool quiet) override {
    return SaveImageFile(fileName, picture, params, quiet);
  }
  int ImageFilter(AnsiString& filter) override { return ImageFilterString(filter, false); }
};

void Connect(TMainForm* form, const char* name, TNotifyEvent handler) {
  if (TMenuItem* item = form->MenuItemNamed(name)) item->OnClick = std::move(handler);
}

}  // namespace

void ConnectDesktopCommands(TMainForm* form) {
  static FileCommandsForOutput files;
  HostSlot<OutputHost>::Install(&files);
  Connect(form, "SendviaEmail1", [](TObject*) { ShowSendImageForm(); });
  Connect(form, "Desktop1", [form](TObject*) { Desktop1Click(form); });
  Connect(form, "Capture1", [](TObject*) { ShowCaptureForm(); });
  Connect(form, "Import1", [](TObject*) { ImportWallpaper(); });
  Connect(form, "Export1", [](TObject*) { ExportWallpaper(); });
  for (const ScreenItems& entry : kScreenItems) {
    const DesktopScreen screen = entry.screen;
    Connect(form, entry.importItem, [screen](TObject*) { ImportDesktopScreen(screen); });
    Connect(form, entry.exportItem, [screen](TObject*) { ExportDesktopScreen(screen); });
  }
}

void Desktop1Click(TMainForm* form) {
  if (TMenuItem* item = form->MenuItemNamed("Import1")) item->SetEnabled(DesktopFileReadable(WallpaperSourcePath()));
  for (const ScreenItems& entry : kScreenItems)
    if (TMenuItem* item = form->MenuItemNamed(entry.importItem))
      item->SetEnabled(DesktopFileReadable(DesktopScreenPath(entry.screen)));
}
