#pragma once
// TListView: the framework's list over the list-view control. Its items (TListItem, held by
// TListItems) and columns (TListColumn) are the model; the window shows them in the same
// order and holds the selection while it exists, and a new window is filled from the model.

#include <vector>

#include "platform/controls/ListView.h"
#include "platform/vcl/Collection.h"
#include "platform/vcl/DrawingPause.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/Strings.h"
#include "platform/vcl/WinControl.h"

class TCustomListView;
class TListItems;

class TListItem : public TPersistent {
  QUILLO_DECLARE_CLASS()

public:
  explicit TListItem(TListItems* owner);
  ~TListItem() override;

  AnsiString GetCaption() const { return caption_; }
  void SetCaption(const AnsiString& caption);
  // The texts of columns 1 and on; changing them shows at once.
  TStrings* GetSubItems() const { return subItems_.get(); }
  int GetImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);
  void* GetData() const { return data_; }
  void SetData(void* data) { data_ = data; }
  bool GetSelected() const;
  void SetSelected(bool value);
  bool GetFocused() const;
  void SetFocused(bool value);
  int Index() const;
  TListItems* Owner() const { return owner_; }
  void Delete();
  void MakeVisible(bool partialOk);
  bool EditCaption();

private:
  friend class TListItems;
  friend class TCustomListView;
  TListItems* owner_;
  AnsiString caption_;
  TOwnedPtr<TStringList> subItems_;
  int imageIndex_ = -1;
  void* data_ = nullptr;
  UINT state_ = 0;  // selection and focus while the control has no window
};

class TListItems : public TPersistent {
  QUILLO_DECLARE_CLASS()

public:
  explicit TListItems(TCustomListView* owner);
  ~TListItems() override;

  TCustomListView* Owner() const { return owner_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TListItem* Item(int index) const;
  TListItem* Add();
  TListItem* Insert(int index);
  void Delete(int index);
  void Clear();
  int IndexOf(const TListItem* item) const;
  void BeginUpdate();
  void EndUpdate();

private:
  friend class TListItem;
  friend class TCustomListView;
  TCustomListView* owner_;
  std::vector<TOwnedPtr<TListItem>> items_;
  int updateCount_ = 0;
  DrawingPause drawing_;
};

class TListColumn : public TCollectionItem {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  TListColumn() = default;
  AnsiString GetCaption() const { return caption_; }
  void SetCaption(const AnsiString& caption);
  int GetWidth() const;
  void SetWidth(int width);
  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  AnsiString DisplayName() const override { return caption_; }
  void Assign(const TPersistent* source) override;

private:
  friend class TCustomListView;
  TCustomListView* View() const;
  AnsiString caption_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
};

class TListColumns : public TOwnedCollection {
  QUILLO_DECLARE_CLASS()

public:
  explicit TListColumns(TCustomListView* owner);
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
  TListColumn* Items(int index) const { return static_cast<TListColumn*>(TCollection::Items(index)); }
  TCustomListView* Owner() const { return owner_; }

protected:
  void Update(TCollectionItem* item) override;

private:
  TCustomListView* owner_;
};

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
QUILLO_DECLARE_ENUM_TYPE(TViewStyle)
enum TItemChange { ctText, ctImage, ctState };

using TLVChangeEvent = std::function<void(TObject* sender, TListItem* item, TItemChange change)>;
using TLVSelectItemEvent = std::function<void(TObject* sender, TListItem* item, bool selected)>;
using TLVColumnClickEvent = std::function<void(TObject* sender, TListColumn* column)>;
using TLVEditingEvent = std::function<void(TObject* sender, TListItem* item, bool& allowEdit)>;
using TLVEditedEvent = std::function<void(TObject* sender, TListItem* item, AnsiString& text)>;
using TLVCompareEvent = std::function<void(TObject* sender, TListItem* item1, TListItem* item2, int data, int& compare)>;
using TLVDeletedEvent = std::function<void(TObject* sender, TListItem* item)>;

class TCustomListView : public TWinControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TCustomListView(TComponent* owner);
  ~TCustomListView() override;

  TListItems* GetItems() const { return items_.get(); }
  TListColumns* GetColumns() const { return columns_.get(); }
  TViewStyle GetViewStyle() const { return viewStyle_; }
  void SetViewStyle(TViewStyle style);
  bool GetMultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool value);
  bool GetRowSelect() const { return rowSelect_; }
  void SetRowSelect(bool value);
  bool GetGridLines() const { return gridLines_; }
  void SetGridLines(bool value);
  bool GetReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  bool GetHideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  bool GetShowColumnHeaders() const { return showColumnHeaders_; }
  void SetShowColumnHeaders(bool value);
  TCustomImageList* GetLargeImages() const { return largeImages_; }
  void SetLargeImages(TCustomImageList* images);
  TCustomImageList* GetSmallImages() const { return smallImages_; }
  void SetSmallImages(TCustomImageList* images);

  TListItem* GetSelected() const;
  void SetSelected(TListItem* item);
  TListItem* GetItemFocused() const;
  void SetItemFocused(TListItem* item);
  int GetSelCount() const;
  void SelectAll();
  void ClearSelection();
  TListItem* GetItemAt(int x, int y);
  TListItem* GetNextItem(TListItem* start, UINT relation) const;
  TListItem* FindCaption(int start, const AnsiString& text, bool partial, bool inclusive, bool wrap) const;
  void Scroll(int dx, int dy);
  TListItem* GetTopItem() const;
  bool AlphaSort();
  bool CustomSort(const std::function<int(TListItem*, TListItem*)>& compare);
  bool IsEditing() const;

  TLVChangeEvent OnChange;
  TLVSelectItemEvent OnSelectItem;
  TLVColumnClickEvent OnColumnClick;
  TLVEditingEvent OnEditing;
  TLVEditedEvent OnEdited;
  TLVCompareEvent OnCompare;
  TLVDeletedEvent OnDeletion;
  TLVDeletedEvent OnInsert;

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TListItem;
  friend class TListItems;
  friend class TListColumn;
  friend class TListColumns;
  DWORD ViewStyleBits() const;
  void UpdateStyle();
  void UpdateExtendedStyle();
  // The window's side of the model.
  void InsertItem(int index);
  void UpdateItem(int index);
  void UpdateSubItems(TListItem* item);
  void RemoveItem(int index);
  void FillColumns();
  // Every item into the window, with the selection and focus the model keeps.
  void FillItems();
  // The window's selection and focus into the model.
  void SaveStates();
  void SetItemState(int index, UINT state, UINT mask);
  UINT ItemState(const TListItem* item) const;
  void SetImageList(TCustomImageList*& slot, TCustomImageList* images, int kind);
  void Sort(const std::function<int(TListItem*, TListItem*)>& compare);
  void CNNotify(TMessage& m);

  TOwnedPtr<TListItems> items_;
  TOwnedPtr<TListColumns> columns_;
  TOwnedPtr<TChangeLink> largeLink_;
  TOwnedPtr<TChangeLink> smallLink_;
  TViewStyle viewStyle_ = vsIcon;
  bool multiSelect_ = false;
  bool rowSelect_ = false;
  bool gridLines_ = false;
  bool readOnly_ = false;
  bool hideSelection_ = true;
  bool showColumnHeaders_ = true;
  TCustomImageList* largeImages_ = nullptr;
  TCustomImageList* smallImages_ = nullptr;
  bool filling_ = false;
};

class TListView : public TCustomListView {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TListView(TComponent* owner) : TCustomListView(owner) {}
};
