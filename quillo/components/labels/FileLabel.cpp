#include "quillo/components/labels/FileLabel.h"

QUILLO_DEFINE_ENUM_TYPE(TDirection, "drFromLeft", "drFromRight")

std::vector<AnsiString> BreakApart(const AnsiString& text, const AnsiString& separator) {
  std::vector<AnsiString> parts;
  if (separator.empty()) {
    parts.push_back(text);
    return parts;
  }
  size_t from = 0;
  for (size_t at = text.find(separator); at != AnsiString::npos; at = text.find(separator, from)) {
    parts.push_back(text.substr(from, at - from));
    from = at + separator.size();
  }
  parts.push_back(text.substr(from));
  return parts;
}

bool PartsHaveRoot(const std::vector<AnsiString>& parts) {
  if (parts.size() < 2) return false;
  const AnsiString& first = parts.front();
  return first.empty() || (first.size() > 1 && first.back() == ':');
}

AnsiString ShortenPath(const AnsiString& fileName, const std::vector<AnsiString>& parts, const AnsiString& separator,
                       TDirection direction, int width, const std::function<int(const AnsiString&)>& measure) {
  if (fileName.empty() || parts.empty() || measure(fileName) <= width) return fileName;
  const AnsiString& last = parts.back();
  const AnsiString ellipsis = "..." + separator;
  int w = measure(last) + measure(ellipsis);
  if (w >= width) return last;
  AnsiString first;
  int start = 0;
  if (PartsHaveRoot(parts)) {
    first = parts.front() + separator;
    start = 1;
  }
  if (measure(first) + w >= width) return ellipsis + last;
  w += measure(first);
  AnsiString middle;
  const int count = static_cast<int>(parts.size());
  if (direction == drFromLeft) {
    for (int i = start; i <= count - 2; ++i) {
      AnsiString candidate = middle + parts[static_cast<size_t>(i)] + separator;
      if (measure(candidate) + w > width) break;
      middle = candidate;
    }
    return first + middle + ellipsis + last;
  }
  for (int i = count - 2; i >= start; --i) {
    AnsiString candidate = parts[static_cast<size_t>(i)] + separator + middle;
    if (measure(candidate) + w > width) break;
    middle = candidate;
  }
  return first + ellipsis + middle + last;
}

QUILLO_DEFINE_PUBLISHED_CLASS(TFileLabel, TCustomLabel)

const TPropTable* TFileLabel::PublishedProperties() {
  using L = TFileLabel;
  static const TPropTable table = TPublisher<L>()
                                      .Property("FileName", &L::GetFileName, &L::SetFileName)
                                      .Property("Separator", &L::GetSeparator, &L::SetSeparator)
                                      .Property("Direction", &L::GetDirection, &L::SetDirection)
                                      .Property("Alignment", &L::GetAlignment, &L::SetAlignment)
                                      .Property("AutoSize", &L::GetAutoSize, &L::SetAutoSize)
                                      .Property("Color", &L::GetColor, &L::SetColor)
                                      .Property("FocusControl", &L::GetFocusControl, &L::SetFocusControl)
                                      .Property("Font", &L::GetFont, &L::SetFont)
                                      .Property("ParentColor", &L::GetParentColor, &L::SetParentColor)
                                      .Property("ParentFont", &L::GetParentFont, &L::SetParentFont)
                                      .Property("ShowAccelChar", &L::GetShowAccelChar, &L::SetShowAccelChar)
                                      .Property("Transparent", &L::GetTransparent, &L::SetTransparent)
                                      .Property("WordWrap", &L::GetWordWrap, &L::SetWordWrap)
                                      .Table();
  return &table;
}

TFileLabel::TFileLabel(TComponent* owner) : TCustomLabel(owner) {
  SetAutoSize(false);
  SetWordWrap(false);
}

int TFileLabel::TextWidth(const AnsiString& text) const {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetFont()->GetHandle());
  SIZE size{};
  GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

void TFileLabel::FillParts() { parts_ = fileName_.empty() ? std::vector<AnsiString>{} : BreakApart(fileName_, separator_); }

void TFileLabel::AdjustCaption() {
  SetCaption(ShortenPath(fileName_, parts_, separator_, direction_, GetWidth(),
                         [this](const AnsiString& s) { return TextWidth(s); }));
}

void TFileLabel::SetFileName(const AnsiString& value) {
  if (value == fileName_) return;
  fileName_ = value;
  FillParts();
  AdjustCaption();
}

void TFileLabel::SetSeparator(const AnsiString& value) {
  if (value == separator_) return;
  separator_ = value;
  FillParts();
  AdjustCaption();
}

void TFileLabel::SetDirection(TDirection value) {
  if (value == direction_) return;
  direction_ = value;
  AdjustCaption();
}

void TFileLabel::SetBounds(int left, int top, int width, int height) {
  TCustomLabel::SetBounds(left, top, width, height);
  AdjustCaption();
}

void TFileLabel::Dispatch(TMessage& m) {
  TCustomLabel::Dispatch(m);
  if (m.Msg == CM_FONTCHANGED) AdjustCaption();
}
