// Option bars built from their layout texts.

#include "quillo/tools/OptionBar.h"

#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolForm.h"

std::vector<TControl*> OptionControls;

void BuildOptionBar(const AnsiString&) {}
void RebuildOptionBar(P_icon*) {}
void CloseOptionBar(P_icon*, P_icon*) {}
double GetOptionValue(int) { return 0; }
void SetOptionValue(int, double) {}
void SetOptionEvent(int, const TNotifyEvent&) {}

AnsiString NextOptionField(AnsiString& layout) {
  const auto comma = layout.find(',');
  AnsiString field = layout.substr(0, comma);
  layout = comma == AnsiString::npos ? AnsiString() : layout.substr(comma + 1);
  return field;
}

int OptionTextWidth(const AnsiString&) { return 0; }

void TToolForm::OptionGroupMouseDown(TObject*, TMouseButton, TShiftState, int, int) {}
