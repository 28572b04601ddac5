#pragma once
// TFileLabel: a label of fixed width that shows a file path and, when the path is too wide,
// replaces whole folder names by "..." so that the root (a drive, or "/" of an absolute
// path), as many folders as fit, and always the file name stay visible. Direction says
// which folders are kept: the ones after the root or the ones before the file name.

#include <functional>
#include <vector>

#include "platform/vcl/Label.h"

enum TDirection { drFromLeft, drFromRight };
QUILLO_DECLARE_ENUM_TYPE(TDirection)

// Text split at every separator, in order: an empty piece where two separators meet or the
// text starts or ends with one; the last piece is the rest after the last separator.
std::vector<AnsiString> BreakApart(const AnsiString& text, const AnsiString& separator);
// Whether the first part is a root kept in front: a drive ("C:") or the empty part before
// the leading separator of an absolute path.
bool PartsHaveRoot(const std::vector<AnsiString>& parts);
// The caption that fits width as measured, for the path split into parts.
AnsiString ShortenPath(const AnsiString& fileName, const std::vector<AnsiString>& parts, const AnsiString& separator,
                       TDirection direction, int width, const std::function<int(const AnsiString&)>& measure);

class TFileLabel : public TCustomLabel {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TFileLabel(TComponent* owner);

  AnsiString GetFileName() const { return fileName_; }
  void SetFileName(const AnsiString& value);
  AnsiString GetSeparator() const { return separator_; }
  void SetSeparator(const AnsiString& value);
  TDirection GetDirection() const { return direction_; }
  void SetDirection(TDirection value);

  void SetBounds(int left, int top, int width, int height) override;
  void Dispatch(TMessage& message) override;
  // Width of text in the label's font.
  int TextWidth(const AnsiString& text) const;

private:
  void FillParts();
  void AdjustCaption();

  AnsiString fileName_;
  AnsiString separator_ = "/";
  TDirection direction_ = drFromLeft;
  std::vector<AnsiString> parts_;
};
