#pragma once
// Image > Filter Factory works as a dialog tool: selecting FFFilterTool keeps an untouched
// copy of the active picture and opens the factory window (TFFactForm), where the user writes
// four channel formulas with eight named sliders and watches them on a thumbnail or on the
// picture. OK keeps the result as one undo step; Cancel, closing the window or another tool
// puts the copy back. What the window showed is remembered while the program runs.

#include "platform/rtl/AnsiString.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/filters/UntouchedCopy.h"
#include "quillo/filters/FormulaFilterFile.h"
#include "quillo/tools/Tool.h"

class TFFactForm;

class P_FF_filter : public P_icon {
public:
  P_FF_filter();

  // Clicks on the picture do nothing while the window is open.
  void AddPoint() override { ToolPhase = 0; }
  void Activate() override;
  void Deactivate(P_icon* next) override;
  bool PreviewsThroughDialog() const override { return true; }

  // The untouched copy of the document picture, while the window is open.
  UDBuffer Saved;
  // The picture the window filters.
  UDBuffer* Target = nullptr;
  // Set while the picture must get its untouched copy back when the window closes.
  bool Restore = false;
  bool Finishing = false;
  TFFactForm* Form = nullptr;
};

extern P_FF_filter FFFilterTool;

// The filter the window showed when it last closed (at first the identity filter "r" "g"
// "b" "a"), its place (left -1: not placed yet), and the folder of the last Load or Save.
extern FormulaFilter FactoryFilter;
extern int FFactFormLeft;
extern int FFactFormTop;
extern AnsiString FormulaFilterFolder;
// 1 while the document picture shows the filter's result.
extern int FFPreviewOn;

// The filter as the window shows it now; the remembered one while it is closed.
FormulaFilter ShownFactoryFilter();

// The allocation of the untouched copy; a test may make it fail (leave the pixels null).
using FactoryCopyAllocator = UntouchedCopyAllocator;
extern FactoryCopyAllocator FactoryCopyAlloc;
