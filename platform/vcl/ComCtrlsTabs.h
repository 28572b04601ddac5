#pragma once
// The framework's tab controls over the tab control window class: TTabControl (a list of tab
// captions and a selected index) and TPageControl, whose tabs are its pages (TTabSheet
// children, one shown at a time in the display area). The user changes the tab with the
// mouse, the arrow keys, or Ctrl+Tab and Ctrl+Shift+Tab inside a page control; OnChanging may
// refuse, OnChange follows.

#include <vector>

#include "platform/vcl/ImageList.h"
#include "platform/vcl/Strings.h"
#include "platform/vcl/WinControl.h"

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };
QUILLO_DECLARE_ENUM_TYPE(TTabPosition)
QUILLO_DECLARE_ENUM_TYPE(TTabStyle)

class TCustomTabControl;
using TTabChangingEvent = std::function<void(TObject* sender, bool& allowChange)>;
using TDrawTabEvent =
    std::function<void(TCustomTabControl* control, int tabIndex, const TRect& rect, bool active)>;
using TTabGetImageEvent = std::function<void(TObject* sender, int tabIndex, int& imageIndex)>;

class TCustomTabControl : public TWinControl {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCustomTabControl(TComponent* owner);
  ~TCustomTabControl() override;

  // The area inside the frame, below (or above) the tabs, in client coordinates.
  TRect GetDisplayRect();
  int IndexOfTabAt(int x, int y);
  TRect TabRect(int index);
  int RowCount();
  TCanvas* GetCanvas() const { return canvas_.get(); }

  TTabChangingEvent OnChanging;
  TNotifyEvent OnChange;
  TDrawTabEvent OnDrawTab;
  TTabGetImageEvent OnGetImageIndex;

  void Dispatch(TMessage& message) override;

protected:
  TStrings* GetTabs() const { return tabs_.get(); }
  void SetTabs(TStrings* tabs);
  int GetTabIndex() const;
  void SetTabIndex(int index);
  bool GetMultiLine() const { return multiLine_; }
  void SetMultiLine(bool value);
  TTabPosition GetTabPosition() const { return tabPosition_; }
  void SetTabPosition(TTabPosition value);
  TTabStyle GetStyle() const { return style_; }
  void SetStyle(TTabStyle value);
  bool GetHotTrack() const { return hotTrack_; }
  void SetHotTrack(bool value);
  bool GetRaggedRight() const { return raggedRight_; }
  void SetRaggedRight(bool value);
  bool GetOwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool value);
  short GetTabHeight() const { return tabHeight_; }
  void SetTabHeight(short value);
  short GetTabWidth() const { return tabWidth_; }
  void SetTabWidth(short value);
  TCustomImageList* GetImages() const { return images_; }
  void SetImages(TCustomImageList* images);

  virtual bool CanChange();
  virtual void Change();
  virtual int GetImageIndex(int tabIndex);
  virtual void DrawTab(int tabIndex, const TRect& rect, bool active);
  // The tabs changed in number or text: the window's items follow.
  virtual void TabsChanged();

  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void AdjustClientRect(TRect& rect) override;
  void FontChanged() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  void ApplyItemSize();
  void ApplyImages();
  void FillItems();
  void CNNotify(TMessage& m);
  void CNDrawItem(TMessage& m);

  TOwnedPtr<TStringList> tabs_;
  TOwnedPtr<TCanvas> canvas_;
  int tabIndex_ = -1;  // kept while there is no window
  bool multiLine_ = false;
  TTabPosition tabPosition_ = tpTop;
  TTabStyle style_ = tsTabs;
  bool hotTrack_ = false;
  bool raggedRight_ = false;
  bool ownerDraw_ = false;
  short tabHeight_ = 0;
  short tabWidth_ = 0;
  TCustomImageList* images_ = nullptr;
  TOwnedPtr<TChangeLink> imageLink_;
  bool filling_ = false;
};

class TTabControl : public TCustomTabControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TTabControl(TComponent* owner) : TCustomTabControl(owner) {}
  using TCustomTabControl::GetTabs;
  using TCustomTabControl::SetTabs;
  using TCustomTabControl::GetTabIndex;
  using TCustomTabControl::SetTabIndex;
  using TCustomTabControl::GetMultiLine;
  using TCustomTabControl::SetMultiLine;
  using TCustomTabControl::GetTabPosition;
  using TCustomTabControl::SetTabPosition;
  using TCustomTabControl::GetStyle;
  using TCustomTabControl::SetStyle;
  using TCustomTabControl::GetHotTrack;
  using TCustomTabControl::SetHotTrack;
  using TCustomTabControl::GetRaggedRight;
  using TCustomTabControl::SetRaggedRight;
  using TCustomTabControl::GetOwnerDraw;
  using TCustomTabControl::SetOwnerDraw;
  using TCustomTabControl::GetTabHeight;
  using TCustomTabControl::SetTabHeight;
  using TCustomTabControl::GetTabWidth;
  using TCustomTabControl::SetTabWidth;
  using TCustomTabControl::GetImages;
  using TCustomTabControl::SetImages;
};

class TPageControl;

class TTabSheet : public TWinControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()
  friend class TPageControl;

public:
  explicit TTabSheet(TComponent* owner);
  ~TTabSheet() override;
  void BeforeDestruction() override;

  TPageControl* GetPageControl() const { return pageControl_; }
  void SetPageControl(TPageControl* pageControl);
  void SetParent(TWinControl* parent) override;
  int GetPageIndex() const;
  void SetPageIndex(int index);
  bool GetTabVisible() const { return tabVisible_; }
  void SetTabVisible(bool value);
  // The sheet's place among the visible tabs; -1 while its tab is hidden.
  int GetTabIndex() const;
  int GetImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

  void Dispatch(TMessage& message) override;

protected:
  virtual void DoShow();
  virtual void DoHide();

private:
  TPageControl* pageControl_ = nullptr;
  bool tabVisible_ = true;
  int imageIndex_ = 0;
};

class TPageControl : public TCustomTabControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()
  friend class TTabSheet;

public:
  explicit TPageControl(TComponent* owner);
  ~TPageControl() override;
  void BeforeDestruction() override;

  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int index) const;  // EListError for a bad index
  TTabSheet* GetActivePage() const { return activePage_; }
  void SetActivePage(TTabSheet* page);
  int GetActivePageIndex() const;
  void SetActivePageIndex(int index);
  // The page after (or before) current, round the end; with checkTabVisible only pages whose
  // tab shows. Null when there is none.
  TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
  // What Ctrl+Tab does: the next page, if OnChanging lets it go, then OnChange.
  void SelectNextPage(bool goForward, bool checkTabVisible = true);

  using TCustomTabControl::GetMultiLine;
  using TCustomTabControl::SetMultiLine;
  using TCustomTabControl::GetTabPosition;
  using TCustomTabControl::SetTabPosition;
  using TCustomTabControl::GetStyle;
  using TCustomTabControl::SetStyle;
  using TCustomTabControl::GetHotTrack;
  using TCustomTabControl::SetHotTrack;
  using TCustomTabControl::GetRaggedRight;
  using TCustomTabControl::SetRaggedRight;
  using TCustomTabControl::GetOwnerDraw;
  using TCustomTabControl::SetOwnerDraw;
  using TCustomTabControl::GetTabHeight;
  using TCustomTabControl::SetTabHeight;
  using TCustomTabControl::GetTabWidth;
  using TCustomTabControl::SetTabWidth;
  using TCustomTabControl::GetImages;
  using TCustomTabControl::SetImages;
  using TCustomTabControl::GetTabIndex;

  void Dispatch(TMessage& message) override;

protected:
  void Change() override;
  int GetImageIndex(int tabIndex) override;

private:
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void MovePage(TTabSheet* page, int index);
  // The tabs are the visible pages' captions; the selected one is the active page's.
  void UpdateTabs();
  // The active page's tab (at tabIndex) was hidden: the page at its place takes over.
  void HideActiveTab(int tabIndex);
  void ShowPage(TTabSheet* page);
  TTabSheet* PageOfTab(int tabIndex) const;

  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
};
