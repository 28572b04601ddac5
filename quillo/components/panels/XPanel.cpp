#include "quillo/components/panels/XPanel.h"

#include <cstdlib>

QUILLO_DEFINE_PUBLISHED_CLASS(TXPanel, TPanel)

const TPropTable* TXPanel::PublishedProperties() {
  using P = TXPanel;
  static const TPropTable table = TPublisher<P>()
                                      .Property("ButtonCaption", &P::GetButtonCaption, &P::SetButtonCaption)
                                      .Property("Expanded", &P::GetExpanded, &P::SetExpanded)
                                      .Property("ResizeParent", &P::GetResizeParent, &P::SetResizeParent)
                                      .Table();
  return &table;
}

TXPanel::TXPanel(TComponent* owner) : TPanel(owner) {
  SetBounds(GetLeft(), GetTop(), 160, 80);
  SetBevelOuter(bvLowered);
  SetBevelInner(bvRaised);
  SetCaption(" ");
  header_ = NewComponent<TPanel>(this);
  header_->SetParent(this);
  header_->SetAlign(alTop);
  header_->SetHeight(std::abs(GetFont()->GetHeight()) + 4);
  header_->SetBevelOuter(bvLowered);
  header_->SetColor(cl3DLight);
  header_->OnMouseDown = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    OnHeaderMouseDown(sender, button, shift, x, y);
  };
}

TXPanel::~TXPanel() = default;

AnsiString TXPanel::GetButtonCaption() const { return header_->GetCaption(); }
void TXPanel::SetButtonCaption(const AnsiString& value) { header_->SetCaption(value); }

void TXPanel::OnHeaderMouseDown(TObject*, TMouseButton button, TShiftState, int, int) {
  if (button == mbLeft) SetExpanded(!expanded_);
}

void TXPanel::SetExpanded(bool value) {
  if (value == expanded_) return;
  int delta = 0;
  if (!value) {
    header_->SetBevelOuter(bvRaised);
    header_->SetColor(clBtnFace);
    fullHeight_ = GetHeight();
    SetHeight(header_->GetHeight() + 4);
    delta = fullHeight_ - GetHeight();
  } else {
    header_->SetBevelOuter(bvLowered);
    header_->SetColor(cl3DLight);
    delta = GetHeight() - fullHeight_;
    SetHeight(fullHeight_);
  }
  expanded_ = value;
  TWinControl* parent = GetParent();
  if (!parent || delta == 0) return;
  // The controls below the panel and within its width follow its bottom edge.
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c == this) continue;
    if (c->GetLeft() >= GetLeft() && c->GetLeft() + c->GetWidth() <= GetLeft() + GetWidth() && c->GetTop() > GetTop())
      c->SetTop(c->GetTop() - delta);
  }
  if (resizeParent_) parent->SetHeight(parent->GetHeight() - delta);
}
