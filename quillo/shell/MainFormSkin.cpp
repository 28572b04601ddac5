// The main window's part in skins: which glyph each standard toolbar button and each menu
// item with an icon shows (its Tag; SkinGlyphs.h).

#include "platform/vcl/Menus.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/shell/MainForm.h"
#include "quillo/base/SkinGlyphs.h"

namespace {

struct GlyphOf {
  const char* name;
  int glyph;
};

constexpr GlyphOf FuncbarGlyphs[] = {
    {"NewBtn", SkinGlyph::NewImage},   {"OpenBtn", SkinGlyph::Open},         {"OpenPrevBtn", SkinGlyph::OpenPrevious},
    {"OpenNextBtn", SkinGlyph::OpenNext}, {"SaveBtn", SkinGlyph::Save},      {"CloseAllBtn", SkinGlyph::CloseAll},
    {"PrintBtn", SkinGlyph::Print},    {"AcquireBtn", SkinGlyph::Acquire},   {"CutBtn", SkinGlyph::Cut},
    {"CopyBtn", SkinGlyph::Copy},      {"PasteBtn", SkinGlyph::Paste},       {"PasteAsNewBtn", SkinGlyph::PasteAsNew},
    {"DeleteBtn", SkinGlyph::Delete},  {"UndoBtn", SkinGlyph::Undo},         {"RedoBtn", SkinGlyph::Redo},
    {"PrefsBtn", SkinGlyph::Preferences}, {"HelpBtn", SkinGlyph::Help},
};

constexpr GlyphOf MenuGlyphs[] = {
    {"New1", SkinGlyph::MenuNew},         {"OpenImage", SkinGlyph::MenuOpen},     {"Save1", SkinGlyph::MenuSave},
    {"Saveas1", SkinGlyph::MenuSaveAs},   {"Print1", SkinGlyph::MenuPrint},       {"CloseAll1", SkinGlyph::MenuCloseAll},
    {"Exit1", SkinGlyph::MenuExit},       {"Undo1", SkinGlyph::MenuUndo},         {"Redo1", SkinGlyph::MenuRedo},
    {"Cut1", SkinGlyph::MenuCut},         {"Copy1", SkinGlyph::MenuCopy},         {"Paste1", SkinGlyph::MenuPaste},
    {"PasteAsNew1", SkinGlyph::MenuPasteAsNew}, {"Delete1", SkinGlyph::MenuDelete},
    {"PrefsMenu", SkinGlyph::MenuPreferences},  {"Contents1", SkinGlyph::MenuHelpContents},
};

}  // namespace

void TMainForm::AssignSkinTags() {
  for (const GlyphOf& g : FuncbarGlyphs)
    if (TComponent* button = FindComponent(g.name)) button->SetTag(g.glyph);
  for (const GlyphOf& g : MenuGlyphs)
    if (TMenuItem* item = MenuItemNamed(g.name)) item->SetTag(g.glyph);
}
