#pragma once
// TExCheckListBox: a list box with a check box, radio button or check mark in front of every
// item, items that can be disabled, an optional grey (third) state, and its states kept in a
// settings store (by hand, or with a form placement when it saves and restores).

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/Registry.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/components/lists/ExListBox.h"
#include "quillo/components/persistence/FormPlacement.h"

enum TCheckKind { ckCheckBoxes, ckRadioButtons, ckCheckMarks };
QUILLO_DECLARE_ENUM_TYPE(TCheckKind)

using TCheckListStateEvent = std::function<void(TObject* sender, int index)>;


class TExCheckListBox : public TExCustomListBox {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TExCheckListBox(TComponent* owner);
  ~TExCheckListBox() override;

  bool GetAllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool value);
  TCheckKind GetCheckKind() const { return checkKind_; }
  void SetCheckKind(TCheckKind value);
  int GetCheckedIndex() const;
  void SetCheckedIndex(int value);
  TFormPlacement* GetIniStorage() const { return iniLink_->Storage(); }
  void SetIniStorage(TFormPlacement* value);

  TCheckBoxState GetState(int index) const;
  void SetState(int index, TCheckBoxState value);
  bool GetChecked(int index) const { return GetState(index) == cbChecked; }
  void SetChecked(int index, bool value) { SetState(index, value ? cbChecked : cbUnchecked); }
  bool GetEnabledItem(int index) const;
  void SetEnabledItem(int index, bool value);
  // What a click on the check does: unchecked -> grayed (when allowed) or checked, checked ->
  // unchecked, grayed -> checked; then OnClickCheck. Nothing for a disabled item.
  void ToggleClickCheck(int index);
  // Copies states and enabled flags of the items both lists have.
  void AssignStates(const TExCheckListBox* source);

  // "Count" and "Item<i>" = 0, 1 or 2 in a section (default: this list's own).
  void SaveStatesTo(TObject* store, const AnsiString& section);
  void RestoreStatesFrom(TObject* store, const AnsiString& section);
  void SaveStates(TIniFile* store) { SaveStatesTo(static_cast<TObject*>(store), GetDefaultSectionName()); }
  void RestoreStates(TIniFile* store) { RestoreStatesFrom(static_cast<TObject*>(store), GetDefaultSectionName()); }
  void SaveStatesReg(TRegIniFile* store) { SaveStatesTo(static_cast<TObject*>(store), GetDefaultSectionName()); }
  void RestoreStatesReg(TRegIniFile* store) {
    RestoreStatesFrom(static_cast<TObject*>(store), GetDefaultSectionName());
  }
  AnsiString GetDefaultSectionName() const;

  // The check cell's width (cell + 2) and height.
  static int CheckWidth();
  static int CheckHeight();
  // The cell of the shared check images for a state, kind and enabled flag.
  static int CheckCell(TCheckBoxState state, TCheckKind kind, bool enabled);

  TNotifyEvent OnClickCheck;
  TCheckListStateEvent OnStateChange;

  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;
  void Loaded() override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  int GetItemWidth(int index) override;
  void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  struct ItemRecord {
    TCheckBoxState state = cbUnchecked;
    bool enabled = true;
  };
  static ItemRecord Unpack(std::uint32_t saved);
  ItemRecord Record(int index) const;
  void WriteRecord(int index, ItemRecord record);
  bool AllowGrayedEffective() const { return allowGrayed_ && checkKind_ != ckRadioButtons; }
  bool Valid(int index) const { return index >= 0 && index < static_cast<int>(records_.size()); }
  void InvalidateCheck(int index);
  void InvalidateItem(int index);
  void DrawCheck(HDC dc, const TRect& strip, int index);
  void EnforceOneRadio();
  void UpdateItemHeight();
  void SetAll(TCheckBoxState state);

  bool allowGrayed_ = false;
  TCheckKind checkKind_ = ckCheckBoxes;
  std::vector<ItemRecord> records_;
  // The item deleted last, until the next string goes in: a string list changes an item's
  // text, and moves it, by deleting it and inserting it again.
  struct DeletedItem {
    int index;
    AnsiString text;
    ItemRecord record;
  };
  std::optional<DeletedItem> lastDeleted_;
  // Each item's state (high 16 bits) and enabled flag (low 16) while there is no window.
  std::vector<std::uint32_t> savedStates_;
  size_t nextSaved_ = 0;
  TOwnedPtr<TIniLink> iniLink_;
};
