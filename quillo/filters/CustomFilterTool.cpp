#include "quillo/filters/CustomFilterTool.h"

#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Language.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/PreviewState.h"
#include "quillo/filters/CustomFilterForm.h"

namespace {

constexpr int kHelpContext = 1310;

ToolTraits CustomFilterTraits() {
  ToolTraits traits;
  traits.Flags = tfNotRemembered;
  traits.DropSelection = 0;
  traits.HelpContext = kHelpContext;
  traits.Key = "CustFilt";
  traits.Cursor = crDefault;
  return traits;
}

void RepaintActiveView() {
  if (ImageForm != nullptr && ImageForm->ShowBuf != nullptr) ImageForm->ShowBuf->Invalidate();
}

}  // namespace

P_custom_filter CustomFilterTool;
ConvolutionKernel CustomFilterKernel = DefaultConvolutionKernel();
SavedCopyAllocator CustomFilterAlloc = &AllocUntouchedCopy;

P_custom_filter::P_custom_filter() : P_icon(CustomFilterTraits()) {}

bool P_custom_filter::TargetIsCurrent() const { return Target != nullptr && Target == CurrentPicture; }

void P_custom_filter::Activate() {
  if (DialogOpen || CurrentPicture == nullptr || CurrentPicture->Empty()) return;
  UDBuffer& picture = *CurrentPicture;
  if (!TakeUntouchedCopy(Saved, picture, CustomFilterAlloc)) return;
  Target = &picture;
  Accepted = false;
  DialogOpen = true;
  PreviewValid = false;
  Form = NewComponent<TCFilterForm>(Application());
  Form->ShowKernel(CustomFilterKernel);
  Form->Show();
  Form->OkBtn->SetFocus();
}

bool P_custom_filter::OpenStep() {
  // The step holds the unfiltered pixels: Undo brings them back. (A picture no longer
  // active keeps nothing: finishing leaves it alone.)
  return !TargetIsCurrent() || Saved.PushUndo("CustFilt", Target);
}

void P_custom_filter::Deactivate(P_icon*) {
  if (!DialogOpen || Finishing) return;
  Finishing = true;
  if (Form != nullptr) {
    if (Accepted) CustomFilterKernel = Form->Kernel();
    if (!Form->Closing()) Form->Close();
    // The closed form goes once the message loop runs again; a command that sets the tool
    // aside brings it back before then, and its new form takes the name.
    Form->SetName("");
  }
  if (TargetIsCurrent()) {
    if (Accepted) {
      MarkPictureChanged();
    } else {
      Target->Copy(Saved, Pair<int>(0, 0), Buffer::kPlain);
    }
    RepaintActiveView();
  }
  Saved.Free();
  Target = nullptr;
  Form = nullptr;
  Accepted = false;
  DialogOpen = false;
  PreviewValid = false;
  Finishing = false;
}
