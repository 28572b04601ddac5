#pragma once
// TMRUFileList keeps the recently used file names, newest first, at most Maximum of them,
// and saves them in the registry (or an INI file) as "F0", "F1", ... in list order. It shows
// them as numbered items ("&1 name") in a menu: TMRUMenuItem objects it makes, owns and frees
// itself, put into its FileMenu (after the menu's last item) or, when FileMenu has no items,
// into FileMenu's parent just in front of it. A click on one comes back to the list.

#include <functional>
#include <vector>

#include "platform/vcl/Component.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Strings.h"

// One numbered item: its number (1-based), the caption shown (the path shortened to fit) and
// the full caption.
struct TMRUMenuEntry {
  int Number = 0;
  AnsiString Caption;
  AnsiString FullCaption;
};

class TMRUFileList;

// A menu item of the list: the separator, the submenu or a numbered file. Its owner is the
// list, so it goes with the list, and with the menu that holds it when that goes first.
class TMRUMenuItem : public TMenuItem {
  QUILLO_DECLARE_CLASS()

public:
  // Made by the list as its owner; number 0 for the separator and the submenu.
  TMRUMenuItem(TComponent* list, int number, const AnsiString& fullCaption);
  TMRUFileList* List() const;
  int Number() const { return number_; }
  const AnsiString& FullCaption() const { return fullCaption_; }
  void Click() override;

private:
  int number_;
  AnsiString fullCaption_;
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
  TMenuItem* GetFileMenu() const { return fileMenu_; }
  // The items leave the old menu and are made anew in this one; a menu item that is freed
  // stops being the list's FileMenu.
  void SetFileMenu(TMenuItem* menu);
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
  // The numbered items in the menu now, in list order.
  std::vector<TMRUMenuItem*> MenuItems() const;

protected:
  virtual void PopulateMenu();
  void Notification(TComponent* component, TOperation operation) override;

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
  TMenuItem* fileMenu_ = nullptr;
  bool updating_ = false;
};

// Shortens a path to fit width by putting "..." in place of its leading folders.
AnsiString MinimizeName(const AnsiString& path, int width, const std::function<int(const AnsiString&)>& measure);
