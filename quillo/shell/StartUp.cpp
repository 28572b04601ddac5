#include "quillo/shell/StartUp.h"

#include <memory>

#include "platform/scanners/ScannerApi.h"
#include "platform/rtl/CommandLine.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/Dialog.h"
#include "platform/user/User.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/UpDown.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/base/SettingsTrouble.h"
#include "quillo/base/Skins.h"
#include "quillo/components/files/MRUFileList.h"
#include "quillo/components/files/TreeScanner.h"
#include "quillo/plugins/FilterPluginMenu.h"
#include "quillo/plugins/ComponentRegistry.h"
#include "quillo/components/toolbars/Dock.h"
#include "quillo/components/toolbars/Toolbar.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/components/toolbars/ToolbarPositions.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/Progress.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/shell/HelpPages.h"
#include "quillo/files/OpenPictureDialog.h"
#include "quillo/files/SavePictureDialog.h"
#include "quillo/filters/FormulaFilterOpenDialog.h"
#include "quillo/filters/FormulaFilterSaveDialog.h"
#include "quillo/shell/AboutPanel.h"
#include "quillo/shell/FileAssociations.h"
#include "quillo/shell/MainForm.h"
#include "quillo/shell/StartUpReport.h"
#include "quillo/shell/SettingsStorage.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"
#include "vorlen/formats/GFXFile.h"

namespace {


int DisplayBitsPerPixel() {
  HWND desktop = GetDesktopWindow();
  HDC dc = GetDC(desktop);
  const int bits = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(desktop, dc);
  return bits;
}

// The refusal of a display with too few colours, in the chosen language when it can be read.
void RefuseDisplay() {
  Lang = std::make_unique<Language>(ProgramFolder());
  Lang->LoadFile(Lang->FindFile(Settings.Language));
  MessageBox(nullptr, LangMessage(LangKey("First switch to HiColor or True Color display mode")).c_str(),
             LangMessage(LangKey("Quillory")).c_str(), MB_OK | MB_ICONEXCLAMATION);
  Lang.reset();
}

// The main window as a bar: no client area but the standard toolbar's dock, as wide as its
// menu bar needs; that width is also its minimum (Tag).
void SizeMainWindowAsBar(TMainForm* form) {
  HWND window = form->GetHandle();
  HMENU menu = GetMenu(window);
  const int count = GetMenuItemCount(menu);
  RECT r{};
  if (count > 0 && GetMenuItemRect(window, menu, 0, &r)) MenuBarHeight = r.bottom - r.top;
  form->SetClientHeight(0);
  int menuWidth = 0;
  for (int i = 0; i < count; ++i)
    if (GetMenuItemRect(window, menu, static_cast<UINT>(i), &r)) menuWidth += r.right - r.left + 1;
  const int width = form->GetWidth() + menuWidth - form->GetClientWidth() + 24;
  form->SetWidth(width);
  form->SetTag(width);
}

void ReadCaptionColours() {
  BOOL gradients = FALSE;
  if (!SystemParametersInfo(SPI_GETGRADIENTCAPTIONS, 0, &gradients, 0)) {
    ActiveCaptionEndColor = 0;
    InactiveCaptionEndColor = 0;
  } else if (!gradients) {
    ActiveCaptionEndColor = clActiveCaption;
    InactiveCaptionEndColor = clInactiveCaption;
  } else {
    ActiveCaptionEndColor = static_cast<TColor>(GetSysColor(COLOR_GRADIENTACTIVECAPTION));
    InactiveCaptionEndColor = static_cast<TColor>(GetSysColor(COLOR_GRADIENTINACTIVECAPTION));
  }
}

void ShowToolbars(TMainForm* form) {
  for (int i = 0; i < form->Funcbar->ControlCount(); ++i)
    if (auto* button = dynamic_cast<tbx::TToolbarButtonX*>(form->Funcbar->Controls(i)))
      button->SetFlat(Settings.FlatIcons);
  form->Toolbar->SetVisible(true);
  tbx::RegLoadToolbarPositions(form, AnsiString(SettingsRegistryKey) + "Toolbars");
  form->FuncDock->SetVisible(form->Funcbar->GetVisible());
  if (form->Funcbar->GetVisible()) form->AdjustToolPanelSize();
  form->ToolbarVisib->SetChecked(form->Toolbar->GetVisible());
  form->StdFuncVisib->SetChecked(form->Funcbar->GetVisible());
}

void ListLanguages(TMainForm* form) {
  TTreeScanner* scanner = form->TreeScanner;
  scanner->SetInitialDirectory(ProgramFolder());
  scanner->SetFileMask("*.lng");
  scanner->SetRecursive(false);
  scanner->OnDirectoryFound = nullptr;
  scanner->OnFileFound = [scanner](TObject*) { Lang->AddLanguageName(scanner->FileFound()); };
  scanner->ScanTree();
  scanner->OnFileFound = nullptr;
}

// The brush starts as one pixel of the drawing colour. (The brush model, when it exists, puts
// its hot spot in the centre here.)
void BrushesAtStart(TMainForm* form) {
  Brush.Alloc(1, 1);
  BrushShape.Alloc(1, 1);
  Brush.Box(Brush.rect, PixelFromColor(ColorToRGB(form->DrawCol->GetColor())));
}

// The files named on the command line, each in a window of its own, up to the first that
// fails (the loader has shown why). When none opened, the blank start document is made, so
// that the program never runs without a document; a blank one that cannot be made is
// reported and start-up goes on.
void OpenStartDocuments(TMainForm* form, const std::vector<AnsiString>& files) {
  for (const AnsiString& file : files)
    if (LoadImageFile(nullptr, file, 0, false) != LoadOk) break;
  if (ImgFormCount == 0) {
    try {
      form->OpenBlankDocument();
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
      Application()->ShowException(e);
    }
  }
  if (Settings.AlwaysDock && ImageForm) GatherToolbars(ImageForm, GatherWhich::AlsoMainToolbar);
}

// The skin of the settings, else (told) the program's own, else the glyphs built into the
// program; the glyphs go to every form.
void LoadStartSkin() {
  Skins = std::make_unique<SkinManager>(ProgramFolder() + "Skins/");
  OnSkinChosen = ApplySkinToPalette;
  try {
    Skins->ReloadOrFallBack(Settings.Skin, ApplySkinToPalette);
  } catch (const std::exception&) {
    // Not even the built-in glyphs: the buttons stay blank, the program usable.
  }
}


// The remembered palette file, else (or when it cannot be read) the built-in palette.
void InstallStartPalette() {
  if (!Settings.DefPal.empty()) {
    if (ToolForm->LoadPalette(Settings.DefPal)) return;
    Settings.DefPal.clear();
  }
  ToolForm->SetPalette(true);
}

// The palette, brush and histogram sheets as the settings left them, the one named by
// ActivePanel in front.
void ShowStartSheets() {
  ToolForm->ShowSheet(ToolForm->PaletteSheet, Settings.PaletteVisible, Settings.ActivePanel == 0);
  ToolForm->ShowSheet(ToolForm->BrushSheet, Settings.BrushShapeVisible, Settings.ActivePanel == 1);
  ToolForm->ShowSheet(ToolForm->HistogramSheet, Settings.HistogramVisible, Settings.ActivePanel == 2);
}

}  // namespace

void StartUp(TMainForm* form) {
  MainForm = form;
  BrushesAtStart(form);
  InstallSettingsTroubleReports();
  LoadSettings(form);
  ShowSettingsTrouble();
  ApplyUndoDefaults();
  RemoveAbandonedUndoFolders();
  Application()->SetTitle(LangMessage(LangKey("Quillory")));
  TranslateForm("[MainForm]");
  // What installing would make: the key that links image files to the program.
  EnsureProgramKey(Application()->ExeName(), LangMessage(LangKey("ProgramFileType")));
  // The open dialog's panel, kept hidden until the program ends.
  CreateOpenPlus();
  // The save dialog's host form lives from here to the end, its panel ready to be lent.
  TheSaveDialog();
  // The filter factory's open and save dialogs, made beside the image ones.
  CreateFFOpenPlus();
  CreateFFSavePlus();
  Application()->CreateForm<TToolForm>();
  GFXFile::SetAlpha(true);
  ToolForm->ApplyUserLevel(Settings.Level);
  ResetHelpFile();
  InstallHelp();

  SystemParametersInfo(SPI_GETWORKAREA, 0, &WorkArea, 0);
  // The window stays where the settings placed it.
  SizeMainWindowAsBar(form);
  WindowOffset = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYBORDER) + 4;
  // The splash shows while the program starts, unless files were named.
  const bool filesNamed = ParamCount() > 0;
  BeginSplash(!filesNamed);
  ReadCaptionColours();

  RegisterTools();
  ScanComponents();
  LoadStartSkin();
  GFXFile::SetProgFunc(ProgressStart100, ProgressCallback, ProgressEnd);
  InstallStartPalette();
  ShowToolbars(form);
  if (Settings.MaxQL) ShowWindow(form->GetHandle(), SW_MAXIMIZE);

  // There is always at least one open document: when no file named on the command line
  // opened, the blank one is made, and the steps after it run either way.
  std::vector<AnsiString> files;
  for (int i = 1; i <= ParamCount(); ++i) files.push_back(ParamStr(i));
  OpenStartDocuments(form, files);
  form->UpdateUndoItems();
  // The selection tools follow the instant-brush setting.
  ApplyInstBrushSetting(false);
  // The brush made above took the swatch's colour before the settings chose the drawing
  // colour: painting in the colour mode, it paints in the one the user sees.
  SetBrushModeColor();
  // The brush sheet starts on the factory shape, its bars as the settings left them.
  CustomBrush = false;
  BrushTransparency = Settings.BrushTransp;
  ToolForm->ShowBrushSettings();
  ToolForm->DrawBrushPreview();

  form->LastImageSize = TPoint(BlankDocumentWidth, BlankDocumentHeight);
  // The continuous pen is the first current tool.
  SelectTool(&PenContTool, true, -1);
  // The scanner commands work when the scanner library starts.
  form->EnableScannerCommands(TWAIN_IsAvailable() != 0);
  form->MRUFileList1->SetMaximum(Settings.MRUFiles);
  ListLanguages(form);
  ScanAdobePlugins();
  if (!filesNamed) EndSplash();
  ShowStartSheets();
  if (Settings.ShowTOD) PostMessage(form->GetHandle(), UM_SHOWTIP, 0, 0);
}

void CloseDown(TMainForm* form, bool& canClose) {
  if (!CloseAllDocuments()) {
    canClose = false;
    return;
  }
  try {
    SaveSettings(form);
  } catch (const std::exception&) {
  }
  RemoveSettingsTroubleReports();
  Lang.reset();
  canClose = true;
  form->closing_ = true;
  WriteLog("Application closed.");
}

int WinMain(const std::function<void(HWND)>& mainWindowReady) {
  SetProgramFolder(ProgramFolderOf(ParamStr(0)));
  if (DisplayBitsPerPixel() < MinimumDisplayBits) {
    RefuseDisplay();
    return 0;
  }
  TApplication* app = Application();
  try {
    InstallSettingsTroubleReports();
    TMainForm* form = app->CreateForm<TMainForm>();
    StartUp(form);
    if (mainWindowReady) mainWindowReady(form->GetHandle());
    InstallStartUpReport(*app);
    app->Run();
  } catch (const std::exception& e) {
    app->ShowException(e);
  }
  // The windows go while the desktop they live on is still there.
  ResetApplication();
  RemoveUndoSwapFolder();
  RemoveSettingsTroubleReports();
  Lang.reset();
  Skins.reset();
  return 0;
}
