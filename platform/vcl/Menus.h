#pragma once
// The framework's menus: TMenuItem (a caption with '&', a shortcut, check and radio states,
// an image, a hint, OnClick, and items of its own as a submenu), TMenu (the tree of items
// behind one HMENU), TMainMenu (a form's menu bar) and TPopupMenu (a context menu, opened
// with Popup or from a control's WM_CONTEXTMENU). The HMENU behind each item with items is
// rebuilt from the items whenever one of them changes.

#include <vector>

#include "platform/user/User.h"
#include "platform/vcl/Component.h"
#include "platform/vcl/Control.h"
#include "platform/vcl/ImageList.h"

class TMenu;
class TBitmap;

// A shortcut: a virtual key with scShift, scCtrl and scAlt for the modifiers.
using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
TShortCut ShortCut(WORD key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift);
// "Ctrl+S", "Shift+Del", "F5"...; TextToShortCut reads them back (scNone for what it cannot).
AnsiString ShortCutToText(TShortCut shortCut);
TShortCut TextToShortCut(const AnsiString& text);
// The caption without its '&' (a "&&" stays one '&').
AnsiString StripHotkey(const AnsiString& text);
inline constexpr const char* cLineCaption = "-";

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
enum TPopupAlignment { paLeft, paRight, paCenter };
// Which mouse button chooses an item of an open popup menu (the left one always does).
enum TTrackButton { tbRightButton, tbLeftButton };
QUILLO_DECLARE_ENUM_TYPE(TMenuBreak)
QUILLO_DECLARE_ENUM_TYPE(TPopupAlignment)
QUILLO_DECLARE_ENUM_TYPE(TTrackButton)

enum TFindItemKind { fkCommand, fkHandle, fkShortCut };

class EMenuError : public Exception {
public:
  explicit EMenuError(AnsiString message);
  ~EMenuError() override;
};

class TMenuItem : public TComponent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  AnsiString GetCaption() const { return caption_; }
  void SetCaption(const AnsiString& caption);
  bool GetChecked() const { return checked_; }
  void SetChecked(bool checked);
  bool GetEnabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool GetVisible() const { return visible_; }
  void SetVisible(bool visible);
  bool GetDefault() const { return default_; }
  void SetDefault(bool value);
  bool GetRadioItem() const { return radioItem_; }
  void SetRadioItem(bool value);
  bool GetAutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool value) { autoCheck_ = value; }
  // Radio items of one group index under one parent: checking one unchecks the others.
  std::uint8_t GetGroupIndex() const { return groupIndex_; }
  void SetGroupIndex(std::uint8_t index);
  TMenuBreak GetBreak() const { return break_; }
  void SetBreak(TMenuBreak value);
  TShortCut GetShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut shortCut);
  AnsiString GetHint() const { return hint_; }
  void SetHint(const AnsiString& hint) { hint_ = hint; }
  int GetImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);
  int GetHelpContext() const { return helpContext_; }
  void SetHelpContext(int context) { helpContext_ = context; }
  // The item's own picture, shown in the check column when the menu's image list gives it
  // none; its transparent colour is left out and a disabled item shows it greyed. Made empty
  // on first use; SetBitmap copies the picture (null empties it).
  TBitmap* GetBitmap();
  void SetBitmap(TBitmap* bitmap);

  // The items under this one.
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const;  // EMenuError for a bad index
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);  // EMenuError for a bad index or an item with a parent
  void Delete(int index);  // takes the item out (it is not freed)
  void Remove(TMenuItem* item);
  void Clear();  // frees every item under this one
  int IndexOf(const TMenuItem* item) const;
  // The item under this one whose caption, without its '&', is this (case-insensitive).
  TMenuItem* Find(const AnsiString& caption) const;
  TMenuItem* GetParent() const { return parent_; }
  int MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }
  bool IsLine() const { return caption_ == cLineCaption; }

  // The command id its choice sends; the submenu's handle (made on first use).
  UINT Command() const { return command_; }
  HMENU GetHandle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  TMenu* GetParentMenu() const;

  // Runs OnClick (an AutoCheck item toggles first).
  virtual void Click();
  TNotifyEvent OnClick;

  // The item with this command, submenu handle or shortcut, here or below; null when none.
  TMenuItem* FindItem(UINT value, TFindItemKind kind);

protected:
  // The menu this is the root item of.
  void SetRootOf(TMenu* menu) { menu_ = menu; }
  friend class TMenu;

private:
  void Changed();  // the parent's HMENU is rebuilt
  void RebuildHandle();
  void UncheckGroup();
  void AppendTo(HMENU menu);
  HBITMAP ImageBitmap();

  AnsiString caption_;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool default_ = false;
  bool radioItem_ = false;
  bool autoCheck_ = false;
  std::uint8_t groupIndex_ = 0;
  TMenuBreak break_ = mbNone;
  TShortCut shortCut_ = scNone;
  AnsiString hint_;
  int imageIndex_ = -1;
  int helpContext_ = 0;
  UINT command_;
  HMENU handle_ = nullptr;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on a menu's root item
  std::vector<TMenuItem*> items_;
  TOwnedPtr<TBitmap> image_;
  TOwnedPtr<TBitmap> bitmap_;
};

class TMenu : public TComponent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  TMenuItem* GetItems() const { return items_.get(); }
  // The HMENU of the whole menu.
  HMENU GetHandle() { return items_->GetHandle(); }
  TCustomImageList* GetImages() const { return images_; }
  void SetImages(TCustomImageList* images);
  // The window whose bar or popups show the menu.
  HWND GetWindowHandle() const { return window_; }
  void SetWindowHandle(HWND window);

  // A command id, submenu handle or key message the menu's window got: the item it names
  // runs (its OnClick); true when there was one.
  bool DispatchCommand(UINT command);
  bool DispatchPopup(HMENU submenu);
  bool IsShortCut(const TMessage& message);
  TMenuItem* FindItem(UINT value, TFindItemKind kind) { return items_->FindItem(value, kind); }
  // WM_MENUSELECT: the selected item's hint goes to the application.
  void ShowHintFor(WPARAM wParam, LPARAM lParam);
  // The handle was rebuilt: a bar is redrawn.
  virtual void MenuChanged();
  // Whether the menu is a form's bar (CreateMenu) or a popup (CreatePopupMenu).
  virtual bool IsPopup() const { return true; }

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  TOwnedPtr<TMenuItem> items_;
  TCustomImageList* images_ = nullptr;
  HWND window_ = nullptr;
};

class TMainMenu : public TMenu {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TMainMenu(TComponent* owner);
  bool IsPopup() const override { return false; }
  // The bar is redrawn; an MDI frame's window menu (its form's WindowMenu) gets the children's
  // list back.
  void MenuChanged() override;
};

class TPopupMenu : public TMenu {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  // Shows the menu at a screen point and runs the chosen item.
  virtual void Popup(int x, int y);
  TPopupAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TPopupAlignment alignment) { alignment_ = alignment; }
  TTrackButton GetTrackButton() const { return trackButton_; }
  void SetTrackButton(TTrackButton value) { trackButton_ = value; }
  bool GetAutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool value) { autoPopup_ = value; }
  // The control whose context menu it was opened as; null again once that control is freed.
  TComponent* GetPopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* component);

  TNotifyEvent OnPopup;

protected:
  virtual void DoPopup(TObject* sender);
  void Notification(TComponent* component, TOperation operation) override;

private:
  void WndProc(TMessage& message);

  TPopupAlignment alignment_ = paLeft;
  TTrackButton trackButton_ = tbRightButton;
  bool autoPopup_ = true;
  TComponent* popupComponent_ = nullptr;
  HWND window_ = nullptr;
};
