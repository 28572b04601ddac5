#pragma once
// Image > Custom Filter works as a dialog tool: selecting CustomFilterTool keeps a copy of the
// active picture's pixels and opens the kernel dialog (TCFilterForm), whose Preview filters
// the picture from that copy. Finishing the tool (OK, Cancel, closing the dialog, another
// tool, or the tool stepping aside for a command) keeps the filtered pixels as one undo step
// "CustFilt" when the user accepted them, and otherwise puts the copy back.

#include "quillo/document/UDBuffer.h"
#include "quillo/filters/UntouchedCopy.h"
#include "quillo/filters/ConvolutionKernel.h"
#include "quillo/tools/Tool.h"

class TCFilterForm;

class P_custom_filter : public P_icon {
public:
  P_custom_filter();

  // Clicks on the picture do nothing while the dialog is open.
  void AddPoint() override { ToolPhase = 0; }
  void Activate() override;
  void Deactivate(P_icon* next) override;
  bool PreviewsThroughDialog() const override { return true; }

  // The picture the dialog filters is still the active one.
  bool TargetIsCurrent() const;
  // OK's undo step, opened before the dialog closes; false when it could not be (the dialog
  // then stays open).
  bool OpenStep();

  bool DialogOpen = false;
  bool Accepted = false;
  bool Finishing = false;
  // The unfiltered pixels (and mask) of the picture, while the dialog is open.
  UDBuffer Saved;
  UDBuffer* Target = nullptr;
  TCFilterForm* Form = nullptr;
};

extern P_custom_filter CustomFilterTool;
// The kernel of the last accepted filter, offered at the next use during the run.
extern ConvolutionKernel CustomFilterKernel;

// The allocation of the saved copy; a test may make it fail (leave the pixels null).
using SavedCopyAllocator = UntouchedCopyAllocator;
extern SavedCopyAllocator CustomFilterAlloc;
