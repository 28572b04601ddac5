#include "quillo/output/DesktopScreens.h"

#include <unistd.h>

#include "platform/rtl/SettingsFolder.h"
#include "platform/user/SysParams.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Registry.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/output/OutputHost.h"
#include "vorlen/formats/GFXFile.h"
#include "quillo/tools/Tool.h"

namespace {

constexpr int kScreenWidth = 320;
constexpr int kScreenHeight = 400;

AnsiString RegistryString(HKEY root, const AnsiString& key, const AnsiString& name) {
  TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>(KEY_READ);
  registry->SetRootKey(root);
  if (!registry->OpenKeyReadOnly(key) || !registry->ValueExists(name)) return AnsiString();
  return registry->ReadString(name);
}

AnsiString WindowsFolderPath() {
  char folder[MAX_PATH] = {};
  GetWindowsDirectory(folder, sizeof folder);
  return folder;
}

const char* ConfirmationKey(DesktopScreen screen) {
  switch (screen) {
    case DesktopScreen::Startup: return "SureStartupScr";
    case DesktopScreen::Waiting: return "SureWfShutdownScr";
    case DesktopScreen::Shutdown: break;
  }
  return "SureShutdownScr";
}

}  // namespace

AnsiString WallpaperSourcePath() { return RegistryString(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Wallpaper"); }

AnsiString WallpaperTargetPath() { return WindowsFolderPath() + "/Quillo.bmp"; }

AnsiString DesktopScreenPath(DesktopScreen screen) {
  switch (screen) {
    case DesktopScreen::Startup: {
      AnsiString folder =
          RegistryString(HKEY_LOCAL_MACHINE, "Software\\MICROSOFT\\Windows\\CurrentVersion\\Setup", "BootDir");
      // No folder named: nowhere to read or write (not the current folder).
      if (folder.empty()) return AnsiString();
      if (folder.back() != '/') folder += '/';
      return folder + "logo.sys";
    }
    case DesktopScreen::Waiting: return WindowsFolderPath() + "/logow.sys";
    case DesktopScreen::Shutdown: break;
  }
  return WindowsFolderPath() + "/logos.sys";
}

bool DesktopFileReadable(const AnsiString& path) { return !path.empty() && ::access(path.c_str(), R_OK) == 0; }

void ImportWallpaper() {
  const ToolSuspension aside;
  TheOutputHost().LoadImage(nullptr, WallpaperSourcePath(), false);
}

void ExportWallpaper() {
  if (CurrentPicture == nullptr) return;
  const ToolSuspension aside;
  const AnsiString path = WallpaperTargetPath();
  // The desktop reads plain bitmaps whatever the picture came from.
  GFXSaveParams params;
  params.bits = 24;
  params.format = GFXFile::GetDefaultFormat("*.bmp");
  // Written through a view, so that the document keeps its own name and its changes.
  UDBuffer copy;
  copy.AllocFrom(*CurrentPicture, CurrentPicture->rect, false);
  copy.Resolution = CurrentPicture->Resolution;
  const int result = TheOutputHost().SaveImage(path, &copy, &params, false);
  copy.Free();
  if (result != 0) return;
  SystemParametersInfo(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(path.c_str()), SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
}

void ImportDesktopScreen(DesktopScreen screen) {
  const ToolSuspension aside;
  const AnsiString path = DesktopScreenPath(screen);
  UDBuffer work;
  const int loaded = TheOutputHost().LoadImage(&work, path, false);
  // The load said what went wrong; an empty picture makes no document.
  if ((loaded != 0 && loaded != 1) || work.pixels == nullptr || work.Empty()) {
    work.Free();
    return;
  }
  const int width = work.Width(), height = work.Height();
  TImageForm* window = nullptr;
  try {
    window = CreateDocumentWindow(2 * width, height, path);
  } catch (const EAbort&) {
    work.Free();
    return;
  } catch (const std::exception&) {
    work.Free();
    LangMessageBox("NoMem", "Err", MB_ICONEXCLAMATION);
    return;
  }
  window->Picture.Scale(work, Pair<int>(2 * width, height), Pair<int>(0, 0), Buffer::kPlain, -1);
  work.Free();
  UpdateDocumentCaption(window);
  window->Show();
  FitWindowToImage(window, Settings.FixZoom ? FitZoom::FixedSetting : FitZoom::Fitting);
}

void ExportDesktopScreen(DesktopScreen screen) {
  if (CurrentPicture == nullptr) return;
  const AnsiString path = DesktopScreenPath(screen);
  if (path.empty()) {
    LangMessageBox("NoBootDir", "Err", MB_ICONEXCLAMATION);
    return;
  }
  if (LangMessageBox(ConfirmationKey(screen), "Err", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  const ToolSuspension aside;
  UDBuffer work;
  try {
    work.Alloc(kScreenWidth, kScreenHeight);
  } catch (const std::exception&) {
  }
  if (work.pixels == nullptr || work.Empty()) {
    LangMessageBox("NoMem", "Err", MB_ICONEXCLAMATION);
    return;
  }
  work.Scale(*CurrentPicture, Pair<int>(kScreenWidth, kScreenHeight), Pair<int>(0, 0), Buffer::kPlain, -1);
  GFXSaveParams params = CurrentPicture->SaveParams;
  params.bits = 8;
  params.format = GFXFile::GetDefaultFormat("*.bmp");
  TheOutputHost().SaveImage(path, &work, &params, false);
  work.Free();
}
