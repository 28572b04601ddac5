// TStatusBar with its panels and THeaderControl with its sections, over the status bar and
// header windows.

#include "platform/vcl/ComCtrlsBars.h"

#include <algorithm>

#include "platform/controls/Header.h"
#include "platform/controls/StatusBar.h"
#include "platform/vcl/Form.h"

QUILLO_DEFINE_ENUM_TYPE(TStatusPanelStyle, "psText", "psOwnerDraw")
QUILLO_DEFINE_ENUM_TYPE(TStatusPanelBevel, "pbNone", "pbLowered", "pbRaised")
QUILLO_DEFINE_ENUM_TYPE(THeaderSectionStyle, "hsText", "hsOwnerDraw")
QUILLO_DEFINE_ENUM_TYPE(THeaderStyle, "hsButtons", "hsFlat")

namespace {

// Draws an owner-drawn item through a canvas on the context WM_DRAWITEM brings.
template <class Draw>
void DrawOnItemContext(TCanvas* canvas, TFont* font, const DRAWITEMSTRUCT& d, Draw draw) {
  canvas->SetHandle(d.hDC);
  canvas->GetFont()->Assign(font);
  canvas->GetBrush()->SetColor(clBtnFace);
  canvas->GetBrush()->SetStyle(bsSolid);
  draw(TRect(d.rcItem));
  canvas->SetHandle(nullptr);
}

}  // namespace

// TStatusPanel

const TPropTable* TStatusPanel::PublishedProperties() {
  static const TPropTable table = TPublisher<TStatusPanel>()
                                      .Property("Alignment", &TStatusPanel::GetAlignment, &TStatusPanel::SetAlignment)
                                      .Property("Bevel", &TStatusPanel::GetBevel, &TStatusPanel::SetBevel)
                                      .Property("Style", &TStatusPanel::GetStyle, &TStatusPanel::SetStyle)
                                      .Property("Text", &TStatusPanel::GetText, &TStatusPanel::SetText)
                                      .Property("Width", &TStatusPanel::GetWidth, &TStatusPanel::SetWidth)
                                      .Table();
  return &table;
}
QUILLO_DEFINE_PUBLISHED_CLASS(TStatusPanel, TCollectionItem)

void TStatusPanel::SetText(const AnsiString& text) {
  if (text_ == text) return;
  text_ = text;
  Changed(false);
}

void TStatusPanel::SetWidth(int width) {
  if (width_ == width) return;
  width_ = width;
  Changed(true);  // the panels after it move
}

void TStatusPanel::SetStyle(TStatusPanelStyle style) {
  if (style_ == style) return;
  style_ = style;
  Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel bevel) {
  if (bevel_ == bevel) return;
  bevel_ = bevel;
  Changed(false);
}

void TStatusPanel::SetAlignment(TAlignment alignment) {
  if (alignment_ == alignment) return;
  alignment_ = alignment;
  Changed(false);
}

void TStatusPanel::Assign(const TPersistent* source) {
  if (const auto* other = dynamic_cast<const TStatusPanel*>(source)) {
    text_ = other->text_;
    width_ = other->width_;
    style_ = other->style_;
    bevel_ = other->bevel_;
    alignment_ = other->alignment_;
    Changed(true);
    return;
  }
  TCollectionItem::Assign(source);
}

AnsiString TStatusPanel::DisplayName() const { return text_.empty() ? TCollectionItem::DisplayName() : text_; }

// TStatusPanels

QUILLO_DEFINE_CLASS(TStatusPanels, TOwnedCollection)

TStatusPanels::TStatusPanels(TStatusBar* statusBar)
    : TOwnedCollection(statusBar, TStatusPanel::StaticClass(), CollectionItemFactory<TStatusPanel>()),
      statusBar_(statusBar) {}

void TStatusPanels::Update(TCollectionItem* item) {
  if (item)
    statusBar_->UpdatePanel(item->Index());
  else
    statusBar_->UpdatePanels();
}

// TStatusBar

const TPropTable* TStatusBar::PublishedProperties() {
  static const TPropTable table = TPublisher<TStatusBar>()
                                      .Property("Panels", &TStatusBar::GetPanels, &TStatusBar::SetPanels)
                                      .Property("SimplePanel", &TStatusBar::GetSimplePanel, &TStatusBar::SetSimplePanel)
                                      .Property("SimpleText", &TStatusBar::GetSimpleText, &TStatusBar::SetSimpleText)
                                      .Property("SizeGrip", &TStatusBar::GetSizeGrip, &TStatusBar::SetSizeGrip)
                                      .Table();
  return &table;
}
QUILLO_DEFINE_PUBLISHED_CLASS(TStatusBar, TWinControl)

TStatusBar::TStatusBar(TComponent* owner)
    : TWinControl(owner), panels_(MakeObject<TStatusPanels>(this)), canvas_(MakeObject<TCanvas>()) {
  controlStyle_ = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  SetColor(clBtnFace);
  SetParentColor(false);
  SetBounds(0, 0, 185, 19);
  SetAlign(alBottom);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, STATUSCLASSNAME);
  // The framework places the bar (Align); the window keeps the bounds it is given.
  p.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE;
  auto* form = dynamic_cast<TCustomForm*>(GetParent());
  if (sizeGrip_ && form && (form->GetBorderStyle() == bsSizeable || form->GetBorderStyle() == bsSizeToolWin))
    p.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateWnd() {
  TWinControl::CreateWnd();
  UpdatePanels();
  UpdateSimpleText();
  if (simplePanel_) SendMessage(GetHandle(), SB_SIMPLE, TRUE, 0);
}

void TStatusBar::UpdatePanel(int index) {
  if (!HandleAllocated() || index < 0 || index >= panels_->Count()) return;
  TStatusPanel* panel = panels_->Items(index);
  WPARAM flags = static_cast<WPARAM>(index);
  if (panel->GetBevel() == pbNone) flags |= SBT_NOBORDERS;
  if (panel->GetBevel() == pbRaised) flags |= SBT_POPOUT;
  if (panel->GetStyle() == psOwnerDraw) {
    SendMessage(GetHandle(), SB_SETTEXT, flags | SBT_OWNERDRAW, static_cast<LPARAM>(index));
    return;
  }
  // Tabs in front of the text centre it (one) or put it to the right (two).
  AnsiString text = panel->GetAlignment() == taCenter         ? "\t" + panel->GetText()
                    : panel->GetAlignment() == taRightJustify ? "\t\t" + panel->GetText()
                                                              : panel->GetText();
  SendMessage(GetHandle(), SB_SETTEXT, flags, reinterpret_cast<LPARAM>(text.c_str()));
}

void TStatusBar::UpdatePanels() {
  if (!HandleAllocated()) return;
  int count = panels_->Count();
  std::vector<int> rights(static_cast<size_t>(std::max(count, 1)), -1);
  int edge = 0;
  for (int i = 0; i < count; ++i) {
    edge += panels_->Items(i)->GetWidth();
    rights[static_cast<size_t>(i)] = i == count - 1 ? -1 : edge;  // the last panel runs to the end
  }
  SendMessage(GetHandle(), SB_SETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
  if (count == 0) SendMessage(GetHandle(), SB_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  for (int i = 0; i < count; ++i) UpdatePanel(i);
}

void TStatusBar::UpdateSimpleText() {
  if (HandleAllocated())
    SendMessage(GetHandle(), SB_SETTEXT, SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
}

void TStatusBar::SetSimplePanel(bool value) {
  if (simplePanel_ == value) return;
  simplePanel_ = value;
  if (HandleAllocated()) SendMessage(GetHandle(), SB_SIMPLE, value, 0);
}

void TStatusBar::SetSimpleText(const AnsiString& text) {
  if (simpleText_ == text) return;
  simpleText_ = text;
  UpdateSimpleText();
}

void TStatusBar::SetSizeGrip(bool value) {
  if (sizeGrip_ == value) return;
  sizeGrip_ = value;
  RecreateWnd();
}

TRect TStatusBar::PanelRect(int index) {
  RECT r{};
  if (HandleAllocated()) SendMessage(GetHandle(), SB_GETRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return TRect(r);
}

void TStatusBar::DrawPanel(TStatusPanel* panel, const TRect& rect) {
  if (OnDrawPanel)
    OnDrawPanel(this, panel, rect);
  else
    canvas_->FillRect(rect);
}

void TStatusBar::Dispatch(TMessage& m) {
  if (m.Msg == CN_DRAWITEM) {
    const auto& d = *reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
    int index = static_cast<int>(d.itemID);
    if (index >= 0 && index < panels_->Count())
      DrawOnItemContext(canvas_.get(), GetFont(), d, [&](const TRect& r) { DrawPanel(panels_->Items(index), r); });
    m.Result = TRUE;
    return;
  }
  TWinControl::Dispatch(m);
}

// THeaderSection

const TPropTable* THeaderSection::PublishedProperties() {
  static const TPropTable table =
      TPublisher<THeaderSection>()
          .Property("Alignment", &THeaderSection::GetAlignment, &THeaderSection::SetAlignment)
          .Property("AllowClick", &THeaderSection::GetAllowClick, &THeaderSection::SetAllowClick)
          .Property("ImageIndex", &THeaderSection::GetImageIndex, &THeaderSection::SetImageIndex)
          .Property("MaxWidth", &THeaderSection::GetMaxWidth, &THeaderSection::SetMaxWidth)
          .Property("MinWidth", &THeaderSection::GetMinWidth, &THeaderSection::SetMinWidth)
          .Property("Style", &THeaderSection::GetStyle, &THeaderSection::SetStyle)
          .Property("Text", &THeaderSection::GetText, &THeaderSection::SetText)
          .Property("Width", &THeaderSection::GetWidth, &THeaderSection::SetWidth)
          .Table();
  return &table;
}
QUILLO_DEFINE_PUBLISHED_CLASS(THeaderSection, TCollectionItem)

void THeaderSection::SetText(const AnsiString& text) {
  if (text_ == text) return;
  text_ = text;
  Changed(false);
}

void THeaderSection::SetWidth(int width) {
  width = std::clamp(width, minWidth_, std::max(minWidth_, maxWidth_));
  if (width_ == width) return;
  width_ = width;
  Changed(false);
}

void THeaderSection::SetMinWidth(int width) {
  minWidth_ = std::max(0, width);
  if (maxWidth_ < minWidth_) maxWidth_ = minWidth_;
  SetWidth(width_);
}

void THeaderSection::SetMaxWidth(int width) {
  maxWidth_ = std::max(width, minWidth_);
  SetWidth(width_);
}

void THeaderSection::SetAlignment(TAlignment alignment) {
  if (alignment_ == alignment) return;
  alignment_ = alignment;
  Changed(false);
}

void THeaderSection::SetStyle(THeaderSectionStyle style) {
  if (style_ == style) return;
  style_ = style;
  Changed(false);
}

void THeaderSection::SetImageIndex(int index) {
  if (imageIndex_ == index) return;
  imageIndex_ = index;
  Changed(false);
}

int THeaderSection::Left() const {
  int left = 0;
  if (auto* sections = dynamic_cast<const THeaderSections*>(Collection()))
    for (int i = 0; i < Index(); ++i) left += sections->Items(i)->GetWidth();
  return left;
}

void THeaderSection::Assign(const TPersistent* source) {
  if (const auto* other = dynamic_cast<const THeaderSection*>(source)) {
    text_ = other->text_;
    width_ = other->width_;
    minWidth_ = other->minWidth_;
    maxWidth_ = other->maxWidth_;
    alignment_ = other->alignment_;
    allowClick_ = other->allowClick_;
    style_ = other->style_;
    imageIndex_ = other->imageIndex_;
    Changed(false);
    return;
  }
  TCollectionItem::Assign(source);
}

AnsiString THeaderSection::DisplayName() const { return text_.empty() ? TCollectionItem::DisplayName() : text_; }

// THeaderSections

QUILLO_DEFINE_CLASS(THeaderSections, TOwnedCollection)

THeaderSections::THeaderSections(THeaderControl* header)
    : TOwnedCollection(header, THeaderSection::StaticClass(), CollectionItemFactory<THeaderSection>()),
      header_(header) {}

void THeaderSections::Update(TCollectionItem* item) {
  if (item)
    header_->UpdateSection(item->Index());
  else
    header_->UpdateSections();
}

// THeaderControl

const TPropTable* THeaderControl::PublishedProperties() {
  static const TPropTable table = TPublisher<THeaderControl>()
                                      .Property("FullDrag", &THeaderControl::GetFullDrag, &THeaderControl::SetFullDrag)
                                      .Property("HotTrack", &THeaderControl::GetHotTrack, &THeaderControl::SetHotTrack)
                                      .Property("Images", &THeaderControl::GetImages, &THeaderControl::SetImages)
                                      .Property("Sections", &THeaderControl::GetSections, &THeaderControl::SetSections)
                                      .Property("Style", &THeaderControl::GetStyle, &THeaderControl::SetStyle)
                                      .Table();
  return &table;
}
QUILLO_DEFINE_PUBLISHED_CLASS(THeaderControl, TWinControl)

THeaderControl::THeaderControl(TComponent* owner)
    : TWinControl(owner), sections_(MakeObject<THeaderSections>(this)), canvas_(MakeObject<TCanvas>()) {
  controlStyle_ = TControlStyle{csDoubleClicks, csOpaque};
  SetColor(clBtnFace);
  SetParentColor(false);
  SetBounds(0, 0, 170, 17);
  SetAlign(alTop);
}

THeaderControl::~THeaderControl() { SetImages(nullptr); }

void THeaderControl::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_HEADER);
  if (style_ == hsButtons) p.Style |= HDS_BUTTONS;
  if (hotTrack_) p.Style |= HDS_HOTTRACK;
  if (fullDrag_) p.Style |= HDS_FULLDRAG;
}

void THeaderControl::CreateWnd() {
  TWinControl::CreateWnd();
  if (images_) SendMessage(GetHandle(), HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_->GetHandle()));
  UpdateSections();
}

void THeaderControl::UpdateSection(int index) {
  if (!HandleAllocated() || updating_ || index < 0 || index >= sections_->Count()) return;
  THeaderSection* section = sections_->Items(index);
  AnsiString text = section->GetText();
  HDITEM item;
  item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
  item.cxy = section->GetWidth();
  item.pszText = text.data();
  item.fmt = (section->GetAlignment() == taCenter         ? HDF_CENTER
              : section->GetAlignment() == taRightJustify ? HDF_RIGHT
                                                          : HDF_LEFT) |
             (section->GetStyle() == hsOwnerDraw ? HDF_OWNERDRAW : HDF_STRING) |
             (section->GetImageIndex() >= 0 && images_ ? HDF_IMAGE : 0);
  item.iImage = section->GetImageIndex();
  updating_ = true;  // the window's own change notifications are not the user's
  SendMessage(GetHandle(), HDM_SETITEM, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  updating_ = false;
}

void THeaderControl::UpdateSections() {
  if (!HandleAllocated() || updating_) return;
  HWND h = GetHandle();
  while (SendMessage(h, HDM_GETITEMCOUNT, 0, 0) > 0) SendMessage(h, HDM_DELETEITEM, 0, 0);
  for (int i = 0; i < sections_->Count(); ++i) {
    HDITEM item;
    SendMessage(h, HDM_INSERTITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    UpdateSection(i);
  }
}

void THeaderControl::SetStyle(THeaderStyle style) {
  if (style_ == style) return;
  style_ = style;
  RecreateWnd();
}

void THeaderControl::SetHotTrack(bool value) {
  if (hotTrack_ == value) return;
  hotTrack_ = value;
  RecreateWnd();
}

void THeaderControl::SetFullDrag(bool value) {
  if (fullDrag_ == value) return;
  fullDrag_ = value;
  RecreateWnd();
}

void THeaderControl::SetImages(TCustomImageList* images) {
  if (images_ == images) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = images;
  if (images_) images_->FreeNotification(this);
  if (HandleAllocated() && !ComponentState().Contains(csDestroying)) {
    SendMessage(GetHandle(), HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_ ? images_->GetHandle() : nullptr));
    UpdateSections();
  }
}

void THeaderControl::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == images_) SetImages(nullptr);
}

void THeaderControl::SectionClick(THeaderSection* section) {
  if (OnSectionClick) OnSectionClick(this, section);
}

void THeaderControl::SectionResize(THeaderSection* section) {
  if (OnSectionResize) OnSectionResize(this, section);
}

void THeaderControl::SectionTrack(THeaderSection* section, int width, TSectionTrackState state) {
  if (OnSectionTrack) OnSectionTrack(this, section, width, state);
}

void THeaderControl::DrawSection(THeaderSection* section, const TRect& rect, bool pressed) {
  if (OnDrawSection)
    OnDrawSection(this, section, rect, pressed);
  else
    canvas_->FillRect(rect);
}

void THeaderControl::CNNotify(TMessage& m) {
  auto& n = *reinterpret_cast<NMHEADER*>(m.LParam);
  if (updating_ || n.iItem < 0 || n.iItem >= sections_->Count()) return;
  THeaderSection* section = sections_->Items(n.iItem);
  // A dragged width stays within the section's bounds.
  auto keepInBounds = [&] {
    if (n.pitem && (n.pitem->mask & HDI_WIDTH))
      n.pitem->cxy = std::clamp(n.pitem->cxy, section->GetMinWidth(), std::max(section->GetMinWidth(), section->GetMaxWidth()));
  };
  switch (n.hdr.code) {
    case HDN_ITEMCLICK:
      if (section->GetAllowClick()) SectionClick(section);
      break;
    case HDN_BEGINTRACK:
      SectionTrack(section, section->GetWidth(), tsTrackBegin);
      break;
    case HDN_TRACK:
      keepInBounds();
      SectionTrack(section, n.pitem ? n.pitem->cxy : section->GetWidth(), tsTrackMove);
      break;
    case HDN_ENDTRACK:
      keepInBounds();
      SectionTrack(section, n.pitem ? n.pitem->cxy : section->GetWidth(), tsTrackEnd);
      break;
    case HDN_ITEMCHANGING:
      keepInBounds();
      break;
    case HDN_ITEMCHANGED:
      if (n.pitem && (n.pitem->mask & HDI_WIDTH) && n.pitem->cxy != section->width_) {
        section->width_ = n.pitem->cxy;  // the window has it already
        SectionResize(section);
      }
      break;
  }
}

void THeaderControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY: CNNotify(m); return;
    case CN_DRAWITEM: {
      const auto& d = *reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
      int index = static_cast<int>(d.itemID);
      if (index >= 0 && index < sections_->Count())
        DrawOnItemContext(canvas_.get(), GetFont(), d, [&](const TRect& r) {
          DrawSection(sections_->Items(index), r, (d.itemState & ODS_SELECTED) != 0);
        });
      m.Result = TRUE;
      return;
    }
  }
  TWinControl::Dispatch(m);
}
