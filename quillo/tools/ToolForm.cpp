// The tool options window's frame: its sheets, its place, key routing, help, the user level
// and the snapping while it is dragged.

#include "quillo/tools/ToolForm.h"

#include <algorithm>

#include "platform/host/KeyCodes.h"
#include "platform/user/DialogState.h"
#include "platform/user/User.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Registry.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/components/panels/XPanel.h"
#include "quillo/components/utilities/VclUtils.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/Progress.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/WindowArrangement.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolHost.h"
#include "quillo/tools/ToolObjects.h"

TToolForm* ToolForm = nullptr;

QUILLO_DEFINE_CLASS(TToolForm, TForm)

namespace {

// The window's place when the registry holds none.
constexpr int DefaultLeft = 520;
constexpr int DefaultTop = 120;
constexpr int DefaultWidth = 276;
constexpr int DefaultPageHeight = 200;
// The histogram's channel list starts on "Intensity".
constexpr int DefaultChannel = 3;

// Keys the key table names that have no constant of their own here.
constexpr int PeriodKey = 0xBE;
constexpr int Numpad9Key = VK_NUMPAD0 + 9;

bool IsArrowKey(WORD key) { return key >= VK_LEFT && key <= VK_DOWN; }

// Reads one integer of the open key into value; a value that is missing or of another kind
// leaves value as it was.
void ReadInteger(TRegistry& registry, const char* name, int& value) {
  try {
    if (registry.ValueExists(name)) value = registry.ReadInteger(name);
  } catch (const Exception&) {
  }
}

}  // namespace

bool KeyGoesToImage(int tag, int key) {
  if (tag & TagTakesDigits) {
    const bool digit = (key >= '0' && key <= '9') || key == PeriodKey || (key >= VK_NUMPAD0 && key <= Numpad9Key) ||
                       key == VK_ADD || key == VK_SUBTRACT;
    if (digit) return false;
  }
  if ((tag & TagTakesAllKeys) && (key & (HotKeyCtrl | HotKeyAlt)) != (HotKeyCtrl | HotKeyAlt)) return false;
  if (tag & TagTakesEditKeys) {
    const bool editing = (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_BACK || key == VK_CLEAR || key == VK_DELETE;
    if (editing) return false;
  }
  return true;
}

namespace {

bool EditFieldUsesKey(int key) {
  if (key & HotKeyAlt) return false;
  const int vk = key & 0xFF;
  const bool moving = (vk >= VK_END && vk <= VK_DOWN) || vk == VK_BACK || vk == VK_DELETE || vk == VK_INSERT;
  if (moving) return true;
  const bool clipboard = vk == 'A' || vk == 'C' || vk == 'V' || vk == 'X' || vk == 'Z';
  return (key & HotKeyCtrl) && !(key & HotKeyShift) && clipboard;
}

bool IsEditField(const TWinControl& control) {
  if (dynamic_cast<const TCustomEdit*>(&control)) return true;
  const auto* combo = dynamic_cast<const TCustomComboBox*>(&control);
  return combo && (combo->GetStyle() == csDropDown || combo->GetStyle() == csSimple);
}

}  // namespace

bool FocusedControlKeepsKey(const TWinControl& control, int key) {
  if (!KeyGoesToImage(control.GetTag(), key)) return true;
  return IsEditField(control) && EditFieldUsesKey(key);
}

TRect SnapToolFormRect(const TRect& proposed, const TRect& workArea, const TRect* mainWindow,
                       const std::vector<TRect>& documents) {
  // The document windows' own rule: the window sits on the main window's last row.
  const RECT r = SnapMovingWindow(proposed, workArea, mainWindow, std::vector<RECT>(documents.begin(), documents.end()));
  return TRect(r.left, r.top, r.right, r.bottom);
}

TToolForm::TToolForm(TComponent* owner) : TForm(owner) {
  SetName("ToolForm");
  SetBorderStyle(bsToolWindow);
  SetBorderIcons({biSystemMenu});
  SetFormStyle(fsStayOnTop);
  SetKeyPreview(true);
  SetColor(clBtnFace);
  GetFont()->SetName("MS Sans Serif");
  GetFont()->SetSize(8);
  SetCaption("Tools");
  SetBounds(DefaultLeft, DefaultTop, DefaultWidth, DefaultPageHeight);

  Cap = NewNamedComponent<TBandCaption>(this, "Cap");
  Cap->SetApplicationName("Tools");
  Cap->SetActiveBeginColor(clActiveCaption);
  Cap->SetActiveEndColor(clAqua);
  Cap->SetInactiveBeginColor(clInactiveCaption);
  Cap->SetInactiveEndColor(clBlack);
  Cap->SetNumColors(64);

  BuildSheets();
  Channel = DefaultChannel;
  ReadPlace();
  Channel = std::clamp(Channel, 0, static_cast<int>(HistAll));
  ChannelCombo->SetItemIndex(Channel);

  OnActivate = [this](TObject* sender) { FormActivate(sender); };
  OnDeactivate = [this](TObject* sender) { Help2Main(sender); };
  OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnDestroy = [this](TObject*) { WritePlace(); };
  TranslateComponent(this, "[ToolForm]");
  ToolForm = this;
}

TToolForm::~TToolForm() {
  if (ToolForm == this) ToolForm = nullptr;
}

void TToolForm::Help2Main(TObject*) { ResetHelpFile(); }

void TToolForm::BuildSheets() {
  PageControl = NewNamedComponent<TPageControl>(this, "PageControl");
  PageControl->SetParent(this);
  PageControl->SetHotTrack(true);
  PageControl->SetBounds(0, 0, DefaultWidth - 6, DefaultPageHeight);
  struct SheetPlace {
    TTabSheet** sheet;
    const char* name;
    const char* caption;
  };
  const SheetPlace sheets[] = {
      {&PaletteSheet, "PaletteSheet", "Palette"}, {&HistogramSheet, "HistogramSheet", "Histogram"},
      {&TextSheet, "TextSheet", "Text"},          {&GridSheet, "GridSheet", "Grid"},
      {&IconSheet, "IconSheet", "Icon"},          {&CompSheet, "CompSheet", "Comp"},
      {&BrushSheet, "BrushSheet", "Brush"},
  };
  for (const SheetPlace& s : sheets) {
    *s.sheet = NewNamedComponent<TTabSheet>(this, s.name);
    (*s.sheet)->SetPageControl(PageControl);
    (*s.sheet)->SetCaption(s.caption);
    (*s.sheet)->SetTabVisible(s.sheet == &PaletteSheet);
  }
  BuildPaletteSheet();
  BuildBrushSheet();
  BuildHistogramSheet();
  BuildGridSheet();
  BuildTextSheet();
  PageControl->SetActivePage(BrushSheet);
  PageControl->OnChange = [this](TObject* sender) { PageControlChange(sender); };

  // The frame is measured with one row of tabs showing, as the window always shows it.
  PageControl->HandleNeeded();
  FrameHeight = PageControl->GetHeight() - PageControl->GetDisplayRect().Height();
  for (int i = 0; i < PageControl->PageCount(); ++i) PageControl->Pages(i)->SetTag(ContentHeight(PageControl->Pages(i)));
  // Nothing shows until a sheet is asked for, so the window starts hidden.
  PaletteSheet->SetTabVisible(false);
}

int TToolForm::ContentHeight(TTabSheet* sheet) {
  int bottom = 0;
  for (int i = 0; i < sheet->ControlCount(); ++i) {
    TControl* c = sheet->Controls(i);
    // Controls the user level hides take no room.
    if (c->GetVisible()) bottom = std::max(bottom, c->GetTop() + c->GetHeight());
  }
  return bottom + 2;
}

// ---------------------------------------------------------------------------------------
// The place in the registry

void TToolForm::ReadPlace() {
  TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
  try {
    if (registry->OpenKey(ToolFormRegistryKey, true)) {
      int left = GetLeft();
      int top = GetTop();
      ReadInteger(*registry, "Left", left);
      ReadInteger(*registry, "Top", top);
      ReadInteger(*registry, "Channel", Channel);
      KeepReachable(left, top);
      SetBounds(left, top, GetWidth(), GetHeight());
    }
  } catch (const Exception&) {
    // The first run, or a registry that cannot be read: the window keeps its default place.
  }
  registry->CloseKey();
}

// A place stored on a larger screen may lie wholly off this one, where the user could never
// reach the window: it is then brought just inside the work area. A place partly on screen
// stays as the user left it.
void TToolForm::KeepReachable(int& left, int& top) const {
  if (!LiesOffWorkArea(left, top, GetWidth(), GetHeight())) return;
  const TRect area = ScreenWorkArea();
  left = std::clamp(left, area.left, std::max(area.left, area.right - GetWidth()));
  top = std::clamp(top, area.top, std::max(area.top, area.bottom - GetHeight()));
}

void TToolForm::WritePlace() {
  TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
  try {
    if (registry->OpenKey(ToolFormRegistryKey, true)) {
      registry->WriteInteger("Left", GetLeft());
      registry->WriteInteger("Top", GetTop());
      registry->WriteInteger("Channel", Channel);
    }
  } catch (const Exception&) {
    // The place is a convenience: a registry that cannot take it loses nothing else.
  }
  registry->CloseKey();
}

// ---------------------------------------------------------------------------------------
// Sheets

void TToolForm::ShowSheet(TTabSheet* sheet, bool visible, bool force) {
  if (!sheet) return;
  sheet->SetTabVisible(visible);
  TheToolHost().SheetShown(sheet, visible);
  if (!CompSheet->GetTabVisible()) RemoveRunTimeCompControls();

  int shown = 0;
  for (int i = 0; i < PageControl->PageCount(); ++i)
    if (PageControl->Pages(i)->GetTabVisible()) ++shown;
  if (shown == 0) {
    Hide();
    return;
  }
  if (shown == 1 || force) {
    if (visible) PageControl->SetActivePage(sheet);
    PageControlChange(this);
    const bool wasHidden = !GetVisible();
    Show();
    // The histogram is counted only while the window shows: a window that was hidden counts
    // now that it does.
    if (wasHidden && PageControl->GetActivePage() == HistogramSheet) RefreshHistogram();
  }
}

// The controls a plug-in's options were made of at run time have no name; the sheet's own
// buttons and lists do.
void TToolForm::RemoveRunTimeCompControls() {
  for (int i = CompSheet->ControlCount(); i-- > 0;) {
    TControl* c = CompSheet->Controls(i);
    if (c->GetName().empty()) FreeObject(c);
  }
}

void TToolForm::PageControlChange(TObject*) {
  TTabSheet* page = PageControl->GetActivePage();
  if (!page) return;
  // The Text and Brush sheets' groups open and close with the user level and their own
  // buttons: their height is taken again each time they come to the front.
  if (page == TextSheet || page == BrushSheet) page->SetTag(ContentHeight(page));
  PageControl->SetHeight(page->GetTag() + FrameHeight);
  SetClientHeight(PageControl->GetHeight() + 1);
  if (page == HistogramSheet) {
    RefreshHistogram();
    SetHelpContext(HistogramSheetHelp);
  } else if (page == BrushSheet) {
    RefreshBrushSheet(this);
    SetHelpContext(BrushSheetHelp);
  }
  else if (page == TextSheet) {
    ShowTextSheet();
    SetHelpContext(TextSheetHelp);
  }
  else if (page == PaletteSheet) SetHelpContext(PaletteSheetHelp);
  else if (page == IconSheet) SetHelpContext(ImageForm ? ImageForm->GetHelpContext() : 0);
}

void TToolForm::ApplyUserLevel(int level) {
  TTabSheet* const active = PageControl->GetActivePage();
  const bool novice = level == 0;
  for (int i = 0; i < ComponentCount(); ++i) {
    TComponent* c = Components(i);
    const bool expert = (c->GetTag() & TagExpertOnly) != 0;
    if (auto* group = dynamic_cast<TXPanel*>(c)) {
      // A group lays itself out on a sheet that shows.
      if (auto* sheet = dynamic_cast<TTabSheet*>(group->GetParent())) PageControl->SetActivePage(sheet);
      group->SetExpanded(!(expert && novice));
    } else if (auto* control = dynamic_cast<TControl*>(c)) {
      // The sheets and the page control are shown by the page control and ShowSheet.
      if (control == PageControl || dynamic_cast<TTabSheet*>(control)) continue;
      control->SetVisible(!(expert && novice));
    }
  }
  // The sheet the user sees stays in front.
  if (PageControl->GetActivePage() != active) PageControl->SetActivePage(active);
}

// ---------------------------------------------------------------------------------------
// Window events

void TToolForm::FormActivate(TObject*) {
  Cap->SetActiveEndColor(ActiveCaptionEndColor);
  Cap->SetInactiveEndColor(InactiveCaptionEndColor);
}

void TToolForm::FormClose(TObject*, TCloseAction&) {
  for (int i = 0; i < PageControl->PageCount(); ++i) {
    TTabSheet* sheet = PageControl->Pages(i);
    if (sheet->GetTabVisible()) ShowSheet(sheet, false, true);
  }
  if (CurrentTool == &TextTool || CurrentTool == &QlComponentTool || CurrentTool == &QlComponentBrushTool)
    ReselectTool(true);
}

void TToolForm::HelpBtnClick(TObject*) {
  TTabSheet* page = PageControl->GetActivePage();
  if (page == PaletteSheet || page == TextSheet || page == CompSheet) Application()->HelpContext(GetHelpContext());
}

void TToolForm::FormKeyDown(TObject*, WORD& key, TShiftState shift) {
  if (key == VK_F1) {
    Application()->HelpContext(GetHelpContext());
    key = 0;
    return;
  }
  WORD passed = key;
  TWinControl* focused = GetActiveControl();
  if (focused) {
    if (key == VK_ESCAPE) {
      SetActiveControl(nullptr);
      // A main window that is hidden or disabled (a long operation runs) cannot take it.
      TCustomForm* main = TheDocumentHost().MainWindow();
      if (main && main->CanFocus()) main->SetFocus();
      key = 0;
      return;
    }
    if (FocusedControlKeepsKey(*focused, HotKeyCode(key, shift))) passed = 0;
  }
  if (PageControl->GetActivePage() != CompSheet) {
    if (passed != 0 && ImgFormCount > 0 && ImageForm && focused) {
      // A hot key that chooses a tool with another bar frees the bar's controls, the focused
      // one among them, while the key is still on its way to it: then the key ends here.
      keyControl_ = focused;
      focused->FreeNotification(this);
      if (ImageForm->OnKeyDown) ImageForm->OnKeyDown(ImageForm, passed, shift);
      if (keyControl_) focused->RemoveFreeNotification(this);
      else key = 0;
      keyControl_ = nullptr;
    }
    return;
  }
  CompSheetKey(key);
}

// Keys on a plug-in component's sheet: the effect tool's Escape presses the sheet's Cancel
// button; Escape and the arrows go no further.
void TToolForm::CompSheetKey(WORD& key) {
  if (CurrentTool && CurrentTool->Has(tfHandBack) && key == VK_ESCAPE) {
    if (auto* cancel = dynamic_cast<TWinControl*>(CompSheet->FindChildControl("CancelBtn")))
      PostMessage(cancel->GetHandle(), dlgbutton::BM_CLICK, 0, 0);
    key = 0;
    return;
  }
  if (key == VK_ESCAPE || IsArrowKey(key)) key = 0;
}

void TToolForm::Notification(TComponent* component, TOperation operation) {
  TForm::Notification(component, operation);
  if (operation == opRemove && component == keyControl_) keyControl_ = nullptr;
}

// ---------------------------------------------------------------------------------------
// Dragging

void TToolForm::SnapWhileMoving(RECT& proposed) {
  std::vector<TRect> documents;
  for (int i = 0; i < ImgFormCount; ++i) {
    TImageForm* form = ImgForms[static_cast<std::size_t>(i)];
    if (form) documents.push_back(form->GetBoundsRect());
  }
  TCustomForm* mainWindow = TheDocumentHost().MainWindow();
  TRect main;
  if (mainWindow) main = mainWindow->GetBoundsRect();
  proposed = SnapToolFormRect(proposed, WorkArea, mainWindow ? &main : nullptr, documents);
}

void TToolForm::Dispatch(TMessage& message) {
  if (message.Msg == WM_MOVING && message.LParam != 0) {
    SnapWhileMoving(*reinterpret_cast<RECT*>(message.LParam));
    message.Result = TRUE;
    return;
  }
  TForm::Dispatch(message);
}
