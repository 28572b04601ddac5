// The main window's Brush menu: the brush's own undo and redo, taking the image or the
// selection as the brush, the brush as a new image, its outline, halving, doubling,
// mirroring and turning, the drop shadow, the hot spot, and the entries that choose the
// interactive brush tools (stretch, rotate, bend, shear).

#include <exception>
#include <functional>
#include <utility>

#include "platform/rtl/Exceptions.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Menus.h"
#include "quillo/base/Language.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/shell/MainForm.h"
#include "quillo/shell/NewForm.h"
#include "quillo/tools/BrushCommands.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/DropShadowForm.h"
#include "quillo/tools/SelectionToBrush.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolObjects.h"

namespace {

// The brush tools chosen from the menu: no palette entry, the feedback hidden first.
void Choose(P_icon& tool) { SelectTool(&tool, true, -1); }

}  // namespace

void TMainForm::ConnectBrushCommands() {
  const std::pair<const char*, std::function<void()>> commands[] = {
      {"UndoBrush1", UndoBrush},
      {"RedoBrush1", RedoBrush},
      {"GetAll1", GetAllAsBrush},
      {"GetCompSel", [] { GetSelectionAsBrush(false); }},
      {"NoBackground", [] { GetSelectionAsBrush(true); }},
      {"Conv2Image1", [this] { Conv2Image1Click(this); }},
      {"Outline1", OutlineBrushCommand},
      {"Both1", [] { HalveBrush(BrushAxes::Both); }},
      {"Width1", [] { HalveBrush(BrushAxes::Width); }},
      {"Height1", [] { HalveBrush(BrushAxes::Height); }},
      {"Both2", [] { DoubleBrush(BrushAxes::Both); }},
      {"Width2", [] { DoubleBrush(BrushAxes::Width); }},
      {"Height2", [] { DoubleBrush(BrushAxes::Height); }},
      {"Both3", [] { Choose(StretchBrushTool); }},
      {"Width3", [] { Choose(StretchBrushXTool); }},
      {"Height3", [] { Choose(StretchBrushYTool); }},
      {"LefttoRight1", [] { MirrorBrush(true); }},
      {"ToptoBottom1", [] { MirrorBrush(false); }},
      {"N90Degrees1", RotateBrushQuarterCommand},
      {"N180Degrees1", RotateBrushHalfCommand},
      {"AnyAngle1", [] { Choose(RotateBrushTool); }},
      {"UpandDown1", [] { Choose(BendBrushUnDTool); }},
      {"LeftandRight1", [] { Choose(BendBrushLnRTool); }},
      {"UpandDown2", [] { Choose(ShearBrushUnDTool); }},
      {"LeftandRight2", [] { Choose(ShearBrushLnRTool); }},
      {"DropShadow1", [this] { DropShadow1Click(this); }},
      {"Center1", [] { SetBrushHandle(HandleCentre); }},
      {"LTCorner1", [] { SetBrushHandle(HandleLeftTop); }},
      {"RTCorner1", [] { SetBrushHandle(HandleRightTop); }},
      {"RBCorner1", [] { SetBrushHandle(HandleRightBottom); }},
      {"LBCorner1", [] { SetBrushHandle(HandleLeftBottom); }},
  };
  for (const auto& [name, action] : commands) {
    // The pointer's brush feedback leaves the picture before a command reads or changes it.
    MenuItemNamed(name)->OnClick = [command = action](TObject*) {
      WithdrawToolFeedback();
      command();
    };
  }
  MenuItemNamed("Brush1")->OnClick = [this](TObject* sender) { Brush1Click(sender); };
  MenuItemNamed("Handle1")->OnClick = [this](TObject* sender) { Handle1Click(sender); };
}

void TMainForm::Brush1Click(TObject*) {
  TMenuItem* undo = MenuItemNamed("UndoBrush1");
  TMenuItem* redo = MenuItemNamed("RedoBrush1");
  undo->SetCaption(BrushUndoCaption());
  undo->SetEnabled(Brush.UndoChain != nullptr);
  redo->SetCaption(BrushRedoCaption());
  redo->SetEnabled(Brush.RedoChain != nullptr);
}

void TMainForm::Handle1Click(TObject*) {
  static constexpr const char* kItems[] = {"Center1", "LTCorner1", "RTCorner1", "RBCorner1", "LBCorner1"};
  if (BrushHandleMode < HandleModeCount) MenuItemNamed(kItems[BrushHandleMode])->SetChecked(true);
}

void TMainForm::Conv2Image1Click(TObject*) {
  ToolSuspension suspension;
  LastImageSize = TPoint(Brush.Width(), Brush.Height());
  TImageForm* window = nullptr;
  try {
    window = CreateNewImage();
  } catch (const EAbort&) {
    return;  // refused with the document list's own warning
  } catch (const std::exception&) {
    LangMessageBox("NoMem", "Err", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  // Transparency bytes and all.
  window->Picture.Copy(Brush, {window->Picture.rect.left - Brush.rect.left, window->Picture.rect.top - Brush.rect.top},
                       Buffer::kPlain);
  window->Picture.Resolution = Brush.Resolution;
  MarkPictureChanged();
  if (window->ShowBuf) window->ShowBuf->Invalidate();
}

void TMainForm::DropShadow1Click(TObject*) {
  const ToolSuspension aside;
  TOwnedPtr<TDropShForm> dialog(NewComponent<TDropShForm>(Application()));
  dialog->ShowModal();
}
