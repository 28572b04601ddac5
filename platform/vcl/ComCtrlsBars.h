#pragma once
// The framework's bars over the common controls: TStatusBar (a collection of panels, or one
// simple panel, over the status bar window) and THeaderControl (a collection of sections
// over the header window, sized by dragging their dividers).

#include "platform/vcl/Alignment.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Collection.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/WinControl.h"

enum TStatusPanelStyle { psText, psOwnerDraw };
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
QUILLO_DECLARE_ENUM_TYPE(TStatusPanelStyle)
QUILLO_DECLARE_ENUM_TYPE(TStatusPanelBevel)

class TStatusBar;

class TStatusPanel : public TCollectionItem {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  TStatusPanel() = default;
  AnsiString GetText() const { return text_; }
  void SetText(const AnsiString& text);
  int GetWidth() const { return width_; }
  void SetWidth(int width);
  TStatusPanelStyle GetStyle() const { return style_; }
  void SetStyle(TStatusPanelStyle style);
  TStatusPanelBevel GetBevel() const { return bevel_; }
  void SetBevel(TStatusPanelBevel bevel);
  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  void Assign(const TPersistent* source) override;
  AnsiString DisplayName() const override;

private:
  AnsiString text_;
  int width_ = 50;
  TStatusPanelStyle style_ = psText;
  TStatusPanelBevel bevel_ = pbLowered;
  TAlignment alignment_ = taLeftJustify;
};

class TStatusPanels : public TOwnedCollection {
  QUILLO_DECLARE_CLASS()

public:
  explicit TStatusPanels(TStatusBar* statusBar);
  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
  TStatusPanel* Items(int index) const { return static_cast<TStatusPanel*>(TCollection::Items(index)); }

protected:
  void Update(TCollectionItem* item) override;

private:
  TStatusBar* statusBar_;
};

using TDrawPanelEvent = std::function<void(TStatusBar* statusBar, TStatusPanel* panel, const TRect& rect)>;

class TStatusBar : public TWinControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()
  friend class TStatusPanels;

public:
  explicit TStatusBar(TComponent* owner);
  ~TStatusBar() override;

  TStatusPanels* GetPanels() const { return panels_.get(); }
  void SetPanels(TStatusPanels* panels) { panels_->Assign(panels); }
  bool GetSimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool value);
  AnsiString GetSimpleText() const { return simpleText_; }
  void SetSimpleText(const AnsiString& text);
  bool GetSizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool value);
  TCanvas* GetCanvas() const { return canvas_.get(); }
  // Where a panel lies on the bar, in client coordinates.
  TRect PanelRect(int index);

  TDrawPanelEvent OnDrawPanel;

  void Dispatch(TMessage& message) override;

protected:
  virtual void DrawPanel(TStatusPanel* panel, const TRect& rect);
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void UpdatePanel(int index);
  void UpdatePanels();

private:
  void UpdateSimpleText();

  TOwnedPtr<TStatusPanels> panels_;
  TOwnedPtr<TCanvas> canvas_;
  bool simplePanel_ = false;
  AnsiString simpleText_;
  bool sizeGrip_ = true;
};

// Header sections.

enum THeaderSectionStyle { hsText, hsOwnerDraw };
enum THeaderStyle { hsButtons, hsFlat };
enum TSectionTrackState { tsTrackBegin, tsTrackMove, tsTrackEnd };
QUILLO_DECLARE_ENUM_TYPE(THeaderSectionStyle)
QUILLO_DECLARE_ENUM_TYPE(THeaderStyle)

class THeaderControl;

class THeaderSection : public TCollectionItem {
  QUILLO_DECLARE_PUBLISHED_CLASS()
  friend class THeaderControl;

public:
  THeaderSection() = default;
  AnsiString GetText() const { return text_; }
  void SetText(const AnsiString& text);
  int GetWidth() const { return width_; }
  void SetWidth(int width);  // kept within MinWidth and MaxWidth
  int GetMinWidth() const { return minWidth_; }
  void SetMinWidth(int width);
  int GetMaxWidth() const { return maxWidth_; }
  void SetMaxWidth(int width);
  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  bool GetAllowClick() const { return allowClick_; }
  void SetAllowClick(bool value) { allowClick_ = value; }
  THeaderSectionStyle GetStyle() const { return style_; }
  void SetStyle(THeaderSectionStyle style);
  int GetImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);
  // The section's left and right edges on the header.
  int Left() const;
  int Right() const { return Left() + width_; }
  void Assign(const TPersistent* source) override;
  AnsiString DisplayName() const override;

private:
  AnsiString text_;
  int width_ = 50;
  int minWidth_ = 0;
  int maxWidth_ = 10000;
  TAlignment alignment_ = taLeftJustify;
  bool allowClick_ = true;
  THeaderSectionStyle style_ = hsText;
  int imageIndex_ = -1;
};

class THeaderSections : public TOwnedCollection {
  QUILLO_DECLARE_CLASS()

public:
  explicit THeaderSections(THeaderControl* header);
  THeaderSection* Add() { return static_cast<THeaderSection*>(TCollection::Add()); }
  THeaderSection* Items(int index) const { return static_cast<THeaderSection*>(TCollection::Items(index)); }

protected:
  void Update(TCollectionItem* item) override;

private:
  THeaderControl* header_;
};

using TSectionNotifyEvent = std::function<void(THeaderControl* header, THeaderSection* section)>;
using TSectionTrackEvent =
    std::function<void(THeaderControl* header, THeaderSection* section, int width, TSectionTrackState state)>;
using TDrawSectionEvent =
    std::function<void(THeaderControl* header, THeaderSection* section, const TRect& rect, bool pressed)>;

class THeaderControl : public TWinControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()
  friend class THeaderSections;

public:
  explicit THeaderControl(TComponent* owner);
  ~THeaderControl() override;

  THeaderSections* GetSections() const { return sections_.get(); }
  void SetSections(THeaderSections* sections) { sections_->Assign(sections); }
  THeaderStyle GetStyle() const { return style_; }
  void SetStyle(THeaderStyle style);
  bool GetHotTrack() const { return hotTrack_; }
  void SetHotTrack(bool value);
  // Sections are sized at every move of a divider, not only when it is let go.
  bool GetFullDrag() const { return fullDrag_; }
  void SetFullDrag(bool value);
  TCustomImageList* GetImages() const { return images_; }
  void SetImages(TCustomImageList* images);
  TCanvas* GetCanvas() const { return canvas_.get(); }

  TSectionNotifyEvent OnSectionClick;
  TSectionNotifyEvent OnSectionResize;
  TSectionTrackEvent OnSectionTrack;
  TDrawSectionEvent OnDrawSection;

  void Dispatch(TMessage& message) override;

protected:
  virtual void SectionClick(THeaderSection* section);
  virtual void SectionResize(THeaderSection* section);
  virtual void SectionTrack(THeaderSection* section, int width, TSectionTrackState state);
  virtual void DrawSection(THeaderSection* section, const TRect& rect, bool pressed);
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  void UpdateSection(int index);
  void UpdateSections();
  void CNNotify(TMessage& m);

  TOwnedPtr<THeaderSections> sections_;
  TOwnedPtr<TCanvas> canvas_;
  THeaderStyle style_ = hsButtons;
  bool hotTrack_ = false;
  bool fullDrag_ = true;
  TCustomImageList* images_ = nullptr;
  bool updating_ = false;
};
