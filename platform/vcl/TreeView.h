#pragma once
// TTreeView: the framework's tree over the tree-view control. The nodes (TTreeNode, held by
// TTreeNodes) are the control's model: they live whether or not the window exists, and a
// new window is filled from them, with each node's expanded state and the selection.

#include <memory>
#include <vector>

#include "platform/controls/TreeView.h"
#include "platform/vcl/DrawingPause.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/WinControl.h"

class TCustomTreeView;
class TTreeNodes;

class TTreeNode : public TPersistent {
  QUILLO_DECLARE_CLASS()

public:
  TTreeNode(TTreeNodes* owner, TTreeNode* parent);
  ~TTreeNode() override;

  AnsiString GetText() const { return text_; }
  void SetText(const AnsiString& text);
  int GetImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);
  int GetSelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(int index);
  void* GetData() const { return data_; }
  void SetData(void* data) { data_ = data; }
  bool GetHasChildren() const { return !children_.empty() || hasChildren_; }
  void SetHasChildren(bool value);

  bool GetExpanded() const { return expanded_; }
  void SetExpanded(bool value);
  void Expand(bool recurse);
  void Collapse(bool recurse);
  bool GetSelected() const;
  void SetSelected(bool value);
  void MakeVisible();
  bool EditText();

  TTreeNode* GetParent() const { return parent_; }
  int Count() const { return static_cast<int>(children_.size()); }
  TTreeNode* Item(int index) const;
  int Index() const;
  int Level() const;
  TTreeNode* GetFirstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
  TTreeNode* GetLastChild() const { return children_.empty() ? nullptr : children_.back().get(); }
  TTreeNode* GetNextSibling() const;
  TTreeNode* GetPrevSibling() const;
  // Depth first, whatever is expanded.
  TTreeNode* GetNext() const;
  bool IsChildOf(const TTreeNode* ancestor) const;
  HTREEITEM ItemId() const { return item_; }
  TTreeNodes* Owner() const { return owner_; }
  void Delete();
  void DeleteChildren();

private:
  friend class TTreeNodes;
  friend class TCustomTreeView;

  TTreeNodes* owner_;
  TTreeNode* parent_;
  std::vector<TOwnedPtr<TTreeNode>> children_;
  AnsiString text_;
  int imageIndex_ = -1;
  int selectedIndex_ = -1;
  void* data_ = nullptr;
  bool hasChildren_ = false;
  bool expanded_ = false;
  HTREEITEM item_ = nullptr;  // in the control's window, while it has one
};

class TTreeNodes : public TPersistent {
  QUILLO_DECLARE_CLASS()

public:
  explicit TTreeNodes(TCustomTreeView* owner);
  ~TTreeNodes() override;

  TCustomTreeView* Owner() const { return owner_; }
  // All nodes, depth first.
  int Count() const;
  TTreeNode* Item(int index) const;
  TTreeNode* GetFirstNode() const { return roots_.empty() ? nullptr : roots_.front().get(); }

  // After sibling, under sibling's parent (a top-level node when null).
  TTreeNode* Add(TTreeNode* sibling, const AnsiString& text);
  TTreeNode* AddFirst(TTreeNode* sibling, const AnsiString& text);
  TTreeNode* AddObject(TTreeNode* sibling, const AnsiString& text, void* data);
  TTreeNode* AddChild(TTreeNode* parent, const AnsiString& text);
  TTreeNode* AddChildFirst(TTreeNode* parent, const AnsiString& text);
  TTreeNode* AddChildObject(TTreeNode* parent, const AnsiString& text, void* data);
  // Before sibling, under its parent.
  TTreeNode* Insert(TTreeNode* sibling, const AnsiString& text);
  void Delete(TTreeNode* node);
  void Clear();
  void BeginUpdate();
  void EndUpdate();
  void Assign(const TPersistent* source) override;

  // The node that stands for an item of the control's window.
  TTreeNode* GetNode(HTREEITEM item) const;

private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  enum class Place { First, Last };
  TTreeNode* Make(TTreeNode* parent, size_t index, const AnsiString& text, void* data);
  std::vector<TOwnedPtr<TTreeNode>>& SiblingsOf(TTreeNode* parent) { return parent ? parent->children_ : roots_; }
  TOwnedPtr<TTreeNode> Detach(TTreeNode* node);

  TCustomTreeView* owner_;
  std::vector<TOwnedPtr<TTreeNode>> roots_;
  int updateCount_ = 0;
  DrawingPause drawing_;
};

using TTVChangedEvent = std::function<void(TObject* sender, TTreeNode* node)>;
using TTVChangingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowChange)>;
using TTVExpandingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowExpansion)>;
using TTVCollapsingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowCollapse)>;
using TTVExpandedEvent = std::function<void(TObject* sender, TTreeNode* node)>;
using TTVEditingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowEdit)>;
using TTVEditedEvent = std::function<void(TObject* sender, TTreeNode* node, AnsiString& text)>;

class TCustomTreeView : public TWinControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TCustomTreeView(TComponent* owner);
  ~TCustomTreeView() override;

  TTreeNodes* GetItems() const { return items_.get(); }
  TTreeNode* GetSelected() const { return selected_; }
  void SetSelected(TTreeNode* node);
  TCustomImageList* GetImages() const { return images_; }
  void SetImages(TCustomImageList* images);
  bool GetShowButtons() const { return HasStyle(TVS_HASBUTTONS); }
  void SetShowButtons(bool value) { SetStyle(TVS_HASBUTTONS, value); }
  bool GetShowLines() const { return HasStyle(TVS_HASLINES); }
  void SetShowLines(bool value) { SetStyle(TVS_HASLINES, value); }
  bool GetShowRoot() const { return HasStyle(TVS_LINESATROOT); }
  void SetShowRoot(bool value) { SetStyle(TVS_LINESATROOT, value); }
  bool GetReadOnly() const { return !HasStyle(TVS_EDITLABELS); }
  void SetReadOnly(bool value) { SetStyle(TVS_EDITLABELS, !value); }
  bool GetHideSelection() const { return !HasStyle(TVS_SHOWSELALWAYS); }
  void SetHideSelection(bool value) { SetStyle(TVS_SHOWSELALWAYS, !value); }
  int GetIndent() const { return indent_; }
  void SetIndent(int value);

  TTreeNode* GetNodeAt(int x, int y);
  void FullExpand();
  void FullCollapse();
  void AlphaSort();
  bool IsEditing();

  TTVChangedEvent OnChange;
  TTVChangingEvent OnChanging;
  TTVExpandingEvent OnExpanding;
  TTVExpandedEvent OnExpanded;
  TTVCollapsingEvent OnCollapsing;
  TTVExpandedEvent OnCollapsed;
  TTVEditingEvent OnEditing;
  TTVEditedEvent OnEdited;
  TTVExpandedEvent OnDeletion;

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void Change(TTreeNode* node);
  virtual bool CanChange(TTreeNode* node);
  virtual bool CanExpand(TTreeNode* node);
  virtual bool CanCollapse(TTreeNode* node);

private:
  friend class TTreeNode;
  friend class TTreeNodes;
  bool HasStyle(DWORD style) const { return (style_ & style) != 0; }
  void SetStyle(DWORD style, bool on);
  // The window's side of the model.
  void InsertItem(TTreeNode* node);
  void InsertSubtree(TTreeNode* node);
  void UpdateItem(TTreeNode* node);
  void RemoveItem(TTreeNode* node);
  void NodeGone(TTreeNode* node);
  void CNNotify(TMessage& m);

  TOwnedPtr<TTreeNodes> items_;
  TTreeNode* selected_ = nullptr;
  TCustomImageList* images_ = nullptr;
  TOwnedPtr<TChangeLink> imageLink_;
  DWORD style_ = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS;
  int indent_ = 19;
  bool filling_ = false;  // the model is being copied into a new window
  bool clearing_ = false;
};

class TTreeView : public TCustomTreeView {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TTreeView(TComponent* owner) : TCustomTreeView(owner) {}
};
