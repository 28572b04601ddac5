#pragma once
// TMRUFileList keeps the recently used file names, newest first, at most Maximum of them,
// and saves them in the registry (or an INI file) as "F0", "F1", ... in list order. It shows
// them as numbered items ("&1 name") in a menu through TMRUMenuTarget, the narrow interface a
// menu offers it: the menu classes bind to it, and a click on an item comes back as
// ItemClicked with the item's number.

#include <functional>
#include <vector>

#include "platform/vcl/Component.h"
#include "platform/vcl/Strings.h"

// One numbered item: its number (1-based), the caption shown (the path shortened to fit) and
// the full caption.
struct TMRUMenuEntry {
  int Number = 0;
  AnsiString Caption;
  AnsiString FullCaption;
};

class TMRUFileList;

// Where the items go. A menu item with sub-items takes them after its last sub-item; one
// without, into its parent menu in front of itself (as the list's placement rules say).
class TMRUMenuTarget {
public:
  virtual ~TMRUMenuTarget();
  // Takes out every item the list put in.
  virtual void RemoveMRUItems() = 0;
  // Puts the items in, in order: a separator line first when asked; inside a submenu with
  // that caption when submenuCaption is not empty.
  virtual void InsertMRUItems(TMRUFileList* list, const std::vector<TMRUMenuEntry>& entries, bool separator,
                              const AnsiString& submenuCaption) = 0;
};

enum TRootKey { rkClassesRoot, rkCurrentUser, rkLocalMachine, rkUsers, rkCurrentConfig, rkDynData };
QUILLO_DECLARE_ENUM_TYPE(TRootKey)

using TMRUClick = std::function<void(TObject* sender, const AnsiString& fileName)>;

class TMRUFileList : public TComponent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TMRUFileList(TComponent* owner);
  ~TMRUFileList() override;
  void BeforeDestruction() override;
  void Loaded() override;

  int GetMaximum() const { return maximum_; }
  void SetMaximum(int value);  // 0..255
  bool RemoveOnClick = true;
  bool GetUseSubmenu() const { return useSubmenu_; }
  void SetUseSubmenu(bool value);
  bool GetInsertSeparator() const { return insertSeparator_; }
  void SetInsertSeparator(bool value);
  AnsiString GetSubmenuName() const { return submenuName_; }
  void SetSubmenuName(const AnsiString& value);
  int GetMaxCaptionWidth() const { return maxCaptionWidth_; }
  void SetMaxCaptionWidth(int value);
  TMRUMenuTarget* GetFileMenu() const { return fileMenu_; }
  // The list takes its items out of the menu when it goes; a menu that goes first unsets
  // itself here.
  void SetFileMenu(TMRUMenuTarget* menu);
  bool AutoSave = true;
  AnsiString AutoSaveName = "\\Software\\My Application";
  AnsiString AutoSaveKey = "MRU Items";
  TRootKey AutoSaveRootKey = rkCurrentUser;
  bool UseRegistry = true;
  TMRUClick OnMRUItemClick;
  // Measures a caption in pixels for the shortening to MaxCaptionWidth (the menu font's
  // widths by default).
  std::function<int(const AnsiString&)> MeasureCaption;

  const TStringList* Items() const { return names_.get(); }
  void InsertItem(int index, const AnsiString& name);
  void AddItem(const AnsiString& name);
  void ReplaceItem(const AnsiString& oldName, const AnsiString& newName);
  void AddStringList(const TStrings* list);
  void AddStrings(const TStrings* strings) { AddStringList(strings); }
  void ClearItem(const AnsiString& name);
  void RemoveAllItems();
  void ClearAllItems();
  void Load();
  bool Save();
  // A numbered item was clicked.
  void ItemClicked(int number);
  // The entries the menu shows now.
  std::vector<TMRUMenuEntry> MenuEntries() const;

protected:
  virtual void PopulateMenu();

private:
  void Cut(bool fromEnd);
  void Changed();
  TOwnedPtr<TObject> OpenStore() const;

  TOwnedPtr<TStringList> names_;
  int maximum_ = 5;
  bool useSubmenu_ = false;
  bool insertSeparator_ = true;
  AnsiString submenuName_ = "Reopen";
  int maxCaptionWidth_ = 200;
  TMRUMenuTarget* fileMenu_ = nullptr;
  bool updating_ = false;
};

// Shortens a path to fit width by putting "..." in place of its leading folders.
AnsiString MinimizeName(const AnsiString& path, int width, const std::function<int(const AnsiString&)>& measure);
