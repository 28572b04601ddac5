// What OK sets going in the running program: a new language everywhere at once, a skin from
// the Apply button, a new user level in every document window and the tool options window,
// the undo folder with its swap files, and links to file types, whose failures are named.

#include <filesystem>

#include "../document/UndoFixture.h"
#include "PreferencesFixture.h"
#include "SkinFixture.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/ComCtrlsBars.h"
#include "platform/vcl/GroupBox.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/Registry.h"
#include "platform/vcl/StdButtons.h"
#include "platform/vcl/TrackBar.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/base/Skins.h"
#include "quillo/components/edits/FileEdit.h"
#include "quillo/components/lists/CheckListBox.h"
#include "quillo/components/panels/FriendlyStatusBar.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/shell/FileAssociations.h"
#include "quillo/shell/PreferencesForm.h"
#include "quillo/shell/SettingsStorage.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"
#include "vorlen/formats/GFXFile.h"

namespace {

class PreferencesEffectsTest : public PreferencesTest {
protected:
  PreferencesEffectsTest() { StartProgram(); }

  void ChooseLanguage(const std::string& name) {
    OpenPreferences([&](TPreferences* d) {
      d->Langs->SetItemIndex(d->Langs->GetItems()->IndexOf(name.c_str()));
      ui.Press(VK_RETURN);
    });
  }
  static std::string StoredLanguage() {
    TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
    if (!registry->OpenKey(AnsiString(SettingsRegistryKey) + "Preferences", false)) return "";
    return registry->ValueExists("Language") ? std::string(registry->ReadString("Language")) : "";
  }
  // Every text shown on the tool options window's Icon sheet, one after another.
  static std::string IconSheetTexts() {
    std::string texts;
    std::function<void(TWinControl*)> walk = [&](TWinControl* parent) {
      for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        texts += std::string(c->GetText()) + "|";
        if (auto* w = dynamic_cast<TWinControl*>(c)) walk(w);
      }
    };
    walk(ToolForm->IconSheet);
    return texts;
  }
};

TEST_F(PreferencesEffectsTest, TheGammaBarsChangeThePatternsAndWithGammaOnTheDocumentViews) {
  // Mid grey shows as it is until gamma correction is on; black and white never change.
  TImageForm* document = ImageForm;
  ASSERT_NE(document, nullptr);
  UDBuffer& picture = document->Picture;
  for (int y = 0; y < picture.rect.Height(); ++y)
    for (int x = 0; x < picture.rect.Width(); ++x) picture.pixels[y * picture.stride + x] = 0x7F7F7F;
  document->ShowBuf->Invalidate();
  const auto middle = [this, document](TBuffer* view) {
    ui.RunUntilIdle();
    // A pattern's middle; the document view's top left corner, which the picture fills.
    const bool pattern = view != document->ShowBuf;
    const TPoint at = view->ClientToScreen(pattern ? TPoint(view->GetWidth() / 2, view->GetHeight() / 2) : TPoint(3, 3));
    return ui.Pixel(at.x, at.y);
  };
  EXPECT_EQ(middle(document->ShowBuf), 0x7F7F7Fu);
  OpenPreferences([&](TPreferences* d) {
    ClickControl(d->UseGamma);
    // The patterns show the bars' gamma (1.80 to start with), whatever the switches.
    EXPECT_EQ(middle(d->GammaGrey), 0x909090u);
    d->GreyGammaBar->SetPosition(100);
    EXPECT_EQ(middle(d->GammaGrey), 0xBABABAu);
    EXPECT_EQ(middle(d->GammaRed), 0xBA0000u);
    d->RedGammaBar->SetPosition(20);
    EXPECT_EQ(middle(d->GammaGrey), 0xAEBABAu);
    EXPECT_EQ(middle(d->GammaRed), 0xAE0000u);
    EXPECT_EQ(middle(d->GammaGreen), 0x00BA00u);
    EXPECT_EQ(middle(document->ShowBuf), 0x7F7F7Fu) << "the document waits for OK";
    ClickControl(d->UseDefaults);
    ClickControl(d->OkBtn);
  });
  EXPECT_EQ(middle(document->ShowBuf), 0xAEBABAu);
  OpenPreferences([&](TPreferences* d) {
    ClickControl(d->UseGamma);
    ClickControl(d->OkBtn);
  });
  EXPECT_EQ(middle(document->ShowBuf), 0x7F7F7Fu) << "gamma correction off";
}

TEST_F(PreferencesEffectsTest, ASecondLanguageTranslatesEverythingAtOnceAndIsStored) {
  SelectTool(&LineTool, true, -1);
  ui.RunUntilIdle();
  const int group = PaletteGroupOf(&PenContTool);
  ASSERT_GE(group, 0);
  EXPECT_NE(IconSheetTexts().find("Spacing"), std::string::npos) << IconSheetTexts();
  StorePreferences(nullptr);  // the language as the record holds it
  ui.OnMessageBox([](const std::string&, const std::string&, UINT) { return IDOK; });
  ChooseLanguage("Tiny");
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
  EXPECT_EQ(Settings.Language, "Tiny");
  EXPECT_EQ(StoredLanguage(), "Tiny") << "written at once, not at close-down";
  EXPECT_NE(FindMenuItem({"&Fichier"}).position, -1) << "the menus";
  for (int i = 0; i < ImgFormCount; ++i)
    EXPECT_EQ(ImgForms[static_cast<std::size_t>(i)]->InstBrushBtn->GetHint(), "Pinceau instantane") << "every document window";
  EXPECT_EQ(PaletteGroups[static_cast<std::size_t>(PaletteGroupOf(&LineTool))].Button->GetHint().find("Ligne"), 0u)
      << "the palette hints";
  EXPECT_NE(IconSheetTexts().find("Espacement"), std::string::npos) << "the option bar: " << IconSheetTexts();
  EXPECT_EQ(CurrentTool, &LineTool);
  // The main window is as wide as its new menu bar needs: the bar holds one row.
  HMENU bar = GetMenu(form->GetHandle());
  RECT firstItem{}, lastItem{};
  ASSERT_TRUE(GetMenuItemRect(form->GetHandle(), bar, 0, &firstItem));
  ASSERT_TRUE(GetMenuItemRect(form->GetHandle(), bar, static_cast<UINT>(GetMenuItemCount(bar) - 1), &lastItem));
  EXPECT_EQ(lastItem.top, firstItem.top);
  EXPECT_LE(lastItem.right, form->GetBoundsRect().right);
  // The dialog itself speaks it next time.
  std::string caption;
  OpenPreferences([&](TPreferences* d) {
    caption = d->GetCaption();
    ui.Press(VK_ESCAPE);
  });
  EXPECT_EQ(caption, "Reglages");
}

TEST_F(PreferencesEffectsTest, AMissingOrDamagedLanguageKeepsTheOneInUseAndStoresNothing) {
  StorePreferences(nullptr);
  ui.OnMessageBox([](const std::string&, const std::string&, UINT) { return IDOK; });
  OpenPreferences([&](TPreferences* d) {
    d->Langs->SetItemIndex(d->Langs->GetItems()->IndexOf("Tiny"));
    std::filesystem::remove(programFolder + "/Tiny.lng");
    ui.Press(VK_RETURN);
  });
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts()[0], std::string(LangMessage("CantFindLngFile")));
  EXPECT_EQ(Settings.Language, "English");
  ChooseLanguage("Broken");
  ASSERT_EQ(ui.MessageBoxTexts().size(), 2u);
  // The message names the file and why it cannot serve.
  EXPECT_EQ(ui.MessageBoxTexts()[1].rfind(LangMessage("Can't Load Language File"), 0), 0u) << ui.MessageBoxTexts()[1];
  EXPECT_NE(ui.MessageBoxTexts()[1].find("Broken.lng"), std::string::npos) << ui.MessageBoxTexts()[1];
  EXPECT_EQ(Settings.Language, "English");
  EXPECT_EQ(StoredLanguage(), "") << "nothing written";
  EXPECT_NE(FindMenuItem({"&File"}).position, -1);
}

TEST_F(PreferencesEffectsTest, TheSkinPagesApplyRelaysThePaletteAtOnce) {
  ui.OnMessageBox([](const std::string&, const std::string&, UINT) { return IDOK; });
  const int widthBefore = PaletteGroups[0].Button->GetWidth();
  const std::string loadedBefore = Skins->LoadedName();
  OpenPreferences([&](TPreferences* d) {
    // The skin in use, in the list's letter case: nothing happens.
    const int inUse = d->SkinList->GetItemIndex();
    ASSERT_GE(inUse, 0);
    ClickControl(d->ApplySkinBtn);
    EXPECT_EQ(Settings.Skin, "Standard Shaded");
    // A damaged skin: said so, the old one stays.
    d->SkinList->SetItemIndex(d->SkinList->GetItems()->IndexOf("Broken"));
    ClickControl(d->ApplySkinBtn);
    EXPECT_EQ(ui.MessageBoxTexts().size(), 1u);
    EXPECT_EQ(Settings.Skin, "Standard Shaded");
    EXPECT_EQ(PaletteGroups[0].Button->GetWidth(), widthBefore);
    d->SkinList->SetItemIndex(d->SkinList->GetItems()->IndexOf("Tiny"));
    ClickControl(d->ApplySkinBtn);
    EXPECT_EQ(PaletteGroups[0].Button->GetWidth(), SkinFixtureLayout{}.width1 + 4) << "at once";
    ui.Press(VK_ESCAPE);
  });
  // Applied is applied: Cancel does not take it back.
  EXPECT_EQ(Settings.Skin, "Tiny");
  EXPECT_EQ(Skins->LoadedName(), "Tiny");
  (void)loadedBefore;
}

TEST_F(PreferencesEffectsTest, ANewLevelMovesEveryStatusBarAndRefiltersTheToolOptions) {
  ASSERT_EQ(ImgFormCount, 2);
  std::vector<int> panels;
  for (int i = 0; i < ImgFormCount; ++i)
    panels.push_back(ImgForms[static_cast<std::size_t>(i)]->StatusBar->GetPanels()->Items(spMessage)->GetWidth());
  // The expert-only controls of the tool options window.
  auto expertShown = [] {
    int shown = 0;
    for (int i = 0; i < ToolForm->ComponentCount(); ++i)
      if (auto* c = dynamic_cast<TControl*>(ToolForm->Components(i)); c && (c->GetTag() & 0x800) && c->GetVisible()) ++shown;
    return shown;
  };
  const int expertBefore = expertShown();
  OpenPreferences([&](TPreferences* d) {
    ClickControl(d->Level->Buttons(1));
    ui.Press(VK_RETURN);
  });
  EXPECT_EQ(Settings.Level, 1);
  for (int i = 0; i < ImgFormCount; ++i) {
    TImageForm* window = ImgForms[static_cast<std::size_t>(i)];
    EXPECT_EQ(window->StatusBar->GetPanels()->Items(spMessage)->GetWidth(), panels[static_cast<std::size_t>(i)] + 14);
    EXPECT_TRUE(window->InstBrushBtn->GetVisible());
  }
  EXPECT_GE(expertShown(), expertBefore);
  OpenPreferences([&](TPreferences* d) {
    ClickControl(d->Level->Buttons(0));
    ui.Press(VK_RETURN);
  });
  for (int i = 0; i < ImgFormCount; ++i)
    EXPECT_EQ(ImgForms[static_cast<std::size_t>(i)]->StatusBar->GetPanels()->Items(spMessage)->GetWidth(),
              panels[static_cast<std::size_t>(i)]);
  EXPECT_EQ(expertShown(), expertBefore);
}

TEST_F(PreferencesEffectsTest, ANewUndoFolderTakesTheSwapFilesAlong) {
  const std::string oldDir = home.Path() + "/undo-old/";
  const std::string newDir = home.Path() + "/undo-new";
  std::filesystem::create_directories(oldDir);
  std::filesystem::create_directories(newDir);
  UndoSettingsScope scope(oldDir, 0, 1LL << 30);  // nothing fits in memory: every step swaps
  UDBuffer& p = ImgForms[0]->Picture;
  MakePicture(p, 64, 48, 3);
  std::vector<PictureState> states;
  for (int i = 0; i < 3; ++i) {
    states.push_back(StateOf(p));
    ASSERT_TRUE(p.PushUndo("Box", nullptr, i * 7, i * 4, i * 7 + 30, i * 4 + 20));
    PaintRect(p, i * 7, i * 4, i * 7 + 30, i * 4 + 20, 60 + i);
  }
  for (UndoEntry* s : Steps(p.UndoChain)) ASSERT_TRUE(s->OnDisk);
  OpenPreferences([&](TPreferences* d) {
    d->UndoDirEdit->SetText(newDir);
    ui.Press(VK_RETURN);
  });
  EXPECT_EQ(Settings.UndoDir, newDir + "/");
  EXPECT_EQ(Settings.UndoMem, 0) << "a budget field left alone is not written back";
  for (UndoEntry* s : Steps(p.UndoChain)) EXPECT_EQ(std::string(s->SwapFile).rfind(newDir + "/", 0), 0u);
  for (int i = 2; i >= 0; --i) {
    ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
    EXPECT_EQ(StateOf(p), states[static_cast<std::size_t>(i)]) << "bit for bit";
  }
  // A folder that is not there: said so, and the folder stays.
  ui.OnMessageBox([](const std::string&, const std::string&, UINT) { return IDOK; });
  OpenPreferences([&](TPreferences* d) {
    d->UndoDirEdit->SetText(home.Path() + "/no/such/folder");
    EXPECT_EQ(std::string(d->SpaceOnDiskNum->GetCaption()).find(" MB"), std::string(d->SpaceOnDiskNum->GetCaption()).size() - 3);
    ui.Press(VK_RETURN);
  });
  ASSERT_FALSE(ui.MessageBoxTexts().empty());
  EXPECT_EQ(ui.MessageBoxTexts().back(), std::string(LangMessage("NoSuchDir")));
  EXPECT_EQ(Settings.UndoDir, newDir + "/");
}

TEST_F(PreferencesEffectsTest, TheExtensionsPageLinksFormatsAndNamesWhatTheStoreRefused) {
  // A format of two extensions or more, and another one after it.
  GFXFile* first = GFXFile::Formats();
  while (first != nullptr && first->extensions.find(';') == AnsiString::npos) first = first->next;
  ASSERT_NE(first, nullptr);
  GFXFile* second = first->next != nullptr ? first->next : GFXFile::Formats();
  int firstIndex = 0, secondIndex = 0, index = 0;
  for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next, ++index) {
    if (f == first) firstIndex = index;
    if (f == second) secondIndex = index;
  }
  // The first format partly linked, the second another program's.
  AnsiString masks = first->extensions;
  const AnsiString firstExt = NextExtension(masks);
  ASSERT_FALSE(masks.empty()) << "a format of two extensions or more";
  ASSERT_TRUE(AssociateExtension(firstExt));
  {
    TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
    registry->SetRootKey(HKEY_CLASSES_ROOT);
    AnsiString secondMasks = second->extensions;
    for (AnsiString ext = NextExtension(secondMasks); !ext.empty(); ext = NextExtension(secondMasks)) {
      ASSERT_TRUE(registry->OpenKey(LowerCase(ext), true));
      registry->WriteString("", "Other.Viewer");
      registry->CloseKey();
    }
  }
  std::vector<TCheckBoxState> shown;
  OpenPreferences([&](TPreferences* d) {
    shown = {d->ExtensBox->GetState(firstIndex), d->ExtensBox->GetState(secondIndex)};
    // The partly linked one may go back to grayed; the other never becomes grayed.
    ClickControl(d->ExtensionsSheet);
    d->ExtensBox->ToggleClickCheck(secondIndex);  // unchecked -> checked (not grayed)
    EXPECT_EQ(d->ExtensBox->GetState(secondIndex), cbChecked);
    d->ExtensBox->ToggleClickCheck(firstIndex);  // grayed -> checked
    d->ExtensBox->ToggleClickCheck(firstIndex);  // checked -> unchecked
    d->ExtensBox->ToggleClickCheck(firstIndex);  // unchecked -> grayed again
    EXPECT_EQ(d->ExtensBox->GetState(firstIndex), cbGrayed);
    ui.Press(VK_RETURN);
  });
  EXPECT_EQ(shown, (std::vector<TCheckBoxState>{cbGrayed, cbUnchecked}));
  EXPECT_EQ(CountAssociated(first->extensions).associated, 1) << "left grayed: nothing changes";
  EXPECT_EQ(CountAssociated(second->extensions).associated, CountAssociated(second->extensions).total);
  // Given back: the other program has its own again.
  ui.OnMessageBox([](const std::string&, const std::string&, UINT) { return IDOK; });
  OpenPreferences([&](TPreferences* d) {
    d->ExtensBox->SetState(secondIndex, cbUnchecked);
    ui.Press(VK_RETURN);
  });
  {
    TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
    registry->SetRootKey(HKEY_CLASSES_ROOT);
    AnsiString secondMasks = second->extensions;
    const AnsiString ext = NextExtension(secondMasks);
    ASSERT_TRUE(registry->OpenKey(LowerCase(ext), false));
    EXPECT_EQ(registry->ReadString(""), "Other.Viewer");
  }
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
  // A store that refuses changes: the box names what could not be linked.
  AssociationAccess = KEY_READ;
  OpenPreferences([&](TPreferences* d) {
    d->ExtensBox->SetState(secondIndex, cbChecked);
    ui.Press(VK_RETURN);
  });
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  AnsiString secondMasks = second->extensions;
  EXPECT_NE(ui.MessageBoxTexts()[0].find(std::string(LowerCase(NextExtension(secondMasks)))), std::string::npos)
      << ui.MessageBoxTexts()[0];
  EXPECT_EQ(CountAssociated(second->extensions).associated, 0);
}

}  // namespace
