#pragma once
// List boxes that keep their horizontal scroll extent as wide as their widest item:
// TExCustomListBox (with an optional grey selection while unfocused and an item-width
// handler) and TTextListBox (the framework's list box with the extent kept, nothing more).
// THorizontalExtent is the rule both follow, fed from the list window's messages.

#include <functional>

#include "platform/controls/ListBox.h"
#include "platform/vcl/ListBox.h"

// Keeps a list window's horizontal extent at its widest item.
class THorizontalExtent {
public:
  // itemWidth measures one item; inherited runs the window's own handling of a message.
  using ItemWidth = std::function<int(int index)>;
  // Runs the message through inherited, before or after its part of the rule; true when
  // the message was one of the list's content or font messages.
  bool Handle(TWinControl* list, TMessage& m, const ItemWidth& itemWidth, const std::function<void()>& inherited);
  // Measures every item again and sends the widest (0 when off).
  void Rebuild(TWinControl* list, const ItemWidth& itemWidth, bool enabled);
  int Widest() const { return widest_; }

private:
  void Send(TWinControl* list) const;
  int widest_ = 0;
};

// The width of a list item's text on a canvas, with "x" added for room, tabs expanded to a tab
// stop of round(tabWidth x width of "0" / 4) pixels when tabWidth >= 1.
int ListItemTextWidth(TCanvas* canvas, const AnsiString& text, int tabWidth);

using TGetItemWidthEvent = std::function<void(TWinControl* control, int index, int& width)>;

class TExCustomListBox : public TCustomListBox {
  QUILLO_DECLARE_CLASS()

public:
  explicit TExCustomListBox(TComponent* owner);
  ~TExCustomListBox() override;

  bool GetAutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool value);
  bool GetGraySelection() const { return graySelection_; }
  void SetGraySelection(bool value);
  // Assigning or removing OnGetItemWidth or OnDrawItem changes how items are measured: call
  // after setting either.
  void ItemWidthHandlersChanged();
  int WidestItemWidth() const { return extent_.Widest(); }
  // The horizontal extent the window has now.
  int HorizontalExtent() const;
  // Draws every visible item, from the top index down, into a device context.
  void PaintTo(HDC dc);

  TGetItemWidthEvent OnGetItemWidth;

  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;

protected:
  virtual int GetItemWidth(int index);
  void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;
  void CreateWnd() override;
  bool AutoScrollEffective() const { return autoScroll_ && GetColumns() == 0; }
  void ResetExtent();

private:
  bool autoScroll_ = true;
  bool graySelection_ = false;
  THorizontalExtent extent_;
};

class TExListBox : public TExCustomListBox {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TExListBox(TComponent* owner) : TExCustomListBox(owner) {}
  ~TExListBox() override;
};

// The framework's list box, keeping its horizontal extent.
class TTextListBox : public TListBox {
  QUILLO_DECLARE_CLASS()

public:
  explicit TTextListBox(TComponent* owner) : TListBox(owner) {}
  ~TTextListBox() override;
  int WidestItemWidth() const { return extent_.Widest(); }
  void WndProc(TMessage& message) override;

private:
  THorizontalExtent extent_;
};
