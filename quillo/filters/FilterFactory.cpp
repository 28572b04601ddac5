#include "quillo/filters/FilterFactory.h"

#include "platform/rtl/SysUtils.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "quillo/base/Language.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/filters/FilterFactoryForm.h"

namespace {

constexpr int kHelpContext = 5000;
constexpr TCursor kCrossCursor = -59;

ToolTraits FilterFactoryTraits() {
  ToolTraits traits;
  traits.Flags = tfHandBack;
  // Clicks on the picture do nothing, and the selection the filter keeps to stays.
  traits.DropSelection = 0;
  traits.Snap = 1;
  traits.HelpContext = kHelpContext;
  traits.PointCount = 2;
  traits.Cursor = kCrossCursor;
  return traits;
}

FormulaFilter IdentityFilter() {
  FormulaFilter filter;
  const char* channels[kFilterFormulas] = {"r", "g", "b", "a"};
  for (int c = 0; c < kFilterFormulas; ++c) filter.formulas[c] = channels[c];
  return filter;
}

void RepaintActiveView() {
  if (ImageForm != nullptr && ImageForm->ShowBuf != nullptr) ImageForm->ShowBuf->Invalidate();
}

}  // namespace

P_FF_filter FFFilterTool;
FormulaFilter FactoryFilter = IdentityFilter();
int FFactFormLeft = -1;
int FFactFormTop = 0;
AnsiString FormulaFilterFolder = ".";
int FFPreviewOn = 0;
FactoryCopyAllocator FactoryCopyAlloc = &AllocUntouchedCopy;

FormulaFilter ShownFactoryFilter() {
  return FFFilterTool.Form != nullptr ? FFFilterTool.Form->ShownFilter() : FactoryFilter;
}

P_FF_filter::P_FF_filter() : P_icon(FilterFactoryTraits()) {}

void P_FF_filter::Activate() {
  if (Form != nullptr || CurrentPicture == nullptr || CurrentPicture->Empty()) return;
  UDBuffer& picture = *CurrentPicture;
  if (!TakeUntouchedCopy(Saved, picture, FactoryCopyAlloc)) return;
  Target = &picture;
  FFPreviewOn = 0;
  Form = NewComponent<TFFactForm>(Application());
  Form->ShowFilter(FactoryFilter);
  Form->Show();
  Form->FocusOk();
  Restore = true;
}

void P_FF_filter::Deactivate(P_icon*) {
  if (Form == nullptr || Finishing) return;
  Finishing = true;
  FactoryFilter = Form->ShownFilter();
  for (AnsiString& formula : FactoryFilter.formulas) formula = Trim(formula);
  Form->FreeThumbnails();
  if (!Form->Closing()) Form->Close();
  // The closed form goes once the message loop runs again; a command that sets the tool
  // aside brings it back before then, and its new form takes the name.
  Form->SetName("");
  // The picture is put back unless OK kept the result, and only while it is still the one
  // the window filtered.
  if (Restore && Target == CurrentPicture && Target != nullptr) {
    Target->Copy(Saved, Pair<int>(0, 0), Buffer::kPlain);
    RepaintActiveView();
  }
  Saved.Free();
  Target = nullptr;
  Form = nullptr;
  Restore = false;
  FFPreviewOn = 0;
  Finishing = false;
}
