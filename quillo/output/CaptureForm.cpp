#include "quillo/output/CaptureForm.h"

#include <cmath>
#include <vector>

#include "platform/user/HotKey.h"
#include "platform/user/ScreenCapture.h"
#include "platform/user/User.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/GroupBox.h"
#include "platform/vcl/Registry.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "platform/vcl/Timer.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/base/Settings.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/components/persistence/FormPlacement.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UDBuffer.h"

QUILLO_DEFINE_CLASS(TCaptureForm, TForm)

namespace {

constexpr const char* kStorageKey = "Software\\Dornick\\QL";
constexpr const char* kStorageSection = "Capture";
constexpr int kHelpContext = 1460;
constexpr int kAnd = 1;  // Buffer::Bool's AND
constexpr const char* kStoredProps[] = {
    "DelayInSec.Value", "KeyCombo.Text", "ModCombo.Text", "SourceRG.ItemIndex", "TriggerRG.ItemIndex",
};
constexpr UINT kModifiers[] = {MOD_CONTROL, MOD_ALT, MOD_ALT | MOD_CONTROL, MOD_WIN};

// Where the dialog stood when it last closed; left -1: nowhere yet in this run.
TPoint lastPlace{-1, -1};

template <class T>
T* Placed(TForm* form, const char* name, int left, int top, int width, int height) {
  T* c = NewNamedComponent<T>(form, name);
  c->SetBounds(left, top, width, height);
  c->SetParent(form);
  return c;
}

void SelectText(TComboBox* combo, const AnsiString& text) {
  combo->SetItemIndex(combo->GetItems()->IndexOf(text));
  if (combo->GetItemIndex() < 0) combo->SetItemIndex(0);
}

}  // namespace

void ForgetCaptureFormPlace() { lastPlace = TPoint(-1, -1); }

void ShowCaptureForm() {
  auto* form = NewComponent<TCaptureForm>(Application());
  form->Show();
}

TCaptureForm::TCaptureForm(TComponent* owner) : TForm(owner) {
  SetName("CaptureForm");
  SetCaption("Capture Desktop");
  SetBorderStyle(bsDialog);
  SetFormStyle(fsStayOnTop);
  SetKeyPreview(true);
  SetHelpContext(kHelpContext);
  SetAutoScroll(false);
  SetClientWidth(292);
  SetClientHeight(176);
  Cap = NewNamedComponent<TBandCaption>(this, "Cap");
  Cap->SetNumColors(64);
  BuildControls();
  BuildStorage();
  TranslateForm("[CaptureForm]");
  // Translated lists come without a choice: the dialog's defaults.
  if (SourceRG->GetItemIndex() < 0) SourceRG->SetItemIndex(1);
  if (TriggerRG->GetItemIndex() < 0) TriggerRG->SetItemIndex(1);
  Cap->SetActiveEndColor(ActiveCaptionEndColor);
  Cap->SetInactiveEndColor(InactiveCaptionEndColor);
  if (lastPlace.x != -1) {
    SetBounds(lastPlace.x, lastPlace.y, GetWidth(), GetHeight());
  } else {
    SetBounds((Screen()->GetWidth() - GetWidth()) >> 1, (Screen()->GetHeight() - GetHeight()) >> 1, GetWidth(),
              GetHeight());
  }
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
}

void TCaptureForm::BuildControls() {
  SourceRG = Placed<TRadioGroup>(this, "SourceRG", 8, 8, 276, 42);
  SourceRG->SetCaption("Source");
  SourceRG->SetColumns(2);
  SourceRG->GetItems()->Add("&Whole Desktop");
  SourceRG->GetItems()->Add("&Active Window");
  SourceRG->SetItemIndex(1);
  TriggerRG = Placed<TRadioGroup>(this, "TriggerRG", 8, 56, 150, 82);
  TriggerRG->SetCaption("Trigger");
  TriggerRG->GetItems()->Add("Hot &Key");
  TriggerRG->GetItems()->Add("&Delay In Seconds");
  TriggerRG->SetItemIndex(1);
  ModCombo = Placed<TComboBox>(this, "ModCombo", 166, 66, 70, 21);
  ModCombo->SetStyle(csDropDownList);
  for (const char* item : {"Ctrl", "Alt", "Alt+Ctrl", "Win"}) ModCombo->GetItems()->Add(item);
  ModCombo->SetItemIndex(0);
  KeyCombo = Placed<TComboBox>(this, "KeyCombo", 240, 66, 44, 21);
  KeyCombo->SetStyle(csDropDownList);
  for (char c = 'A'; c <= 'Z'; ++c) KeyCombo->GetItems()->Add(AnsiString(1, c));
  KeyCombo->SetItemIndex(0);
  DelayInSec = Placed<TExSpinEdit>(this, "DelayInSec", 166, 108, 70, 21);
  DelayInSec->SetValueType(vtFloat);
  DelayInSec->SetDecimal(1);
  DelayInSec->SetMinValue(0);
  DelayInSec->SetMaxValue(15);
  DelayInSec->SetIncrement(0.1);
  DelayInSec->SetValue(3);
  // Wired once the values stand, so that setting them up selects no trigger.
  ModCombo->OnChange = [this](TObject* sender) { SwitchToHotKey(sender); };
  KeyCombo->OnChange = [this](TObject* sender) { SwitchToHotKey(sender); };
  DelayInSec->OnChange = [this](TObject* sender) { DelayInSecChange(sender); };

  Timer = NewNamedComponent<TTimer>(this, "Timer");
  Timer->SetEnabled(false);
  Timer->SetOnTimer([this](TObject* sender) { TimerTimer(sender); });

  const auto button = [this](const char* name, const char* caption, int left) {
    auto* b = Placed<TButton>(this, name, left, 146, 88, 25);
    b->SetCaption(caption);
    return b;
  };
  CaptureBtn = button("CaptureBtn", "C&apture", 8);
  CaptureBtn->SetDefault(true);
  CaptureBtn->OnClick = [this](TObject* sender) { CaptureBtnClick(sender); };
  CancelBtn = button("CancelBtn", "&Cancel", 102);
  CancelBtn->OnClick = [this](TObject* sender) { CancelBtnClick(sender); };
  HelpBtn = button("HelpBtn", "&Help", 196);
  HelpBtn->OnClick = [this](TObject* sender) { HelpBtnClick(sender); };
}

void TCaptureForm::BuildStorage() {
  FormStorage1 = NewNamedComponent<TFormStorage>(this, "FormStorage1");
  FormStorage1->SetUseRegistry(true);
  FormStorage1->SetIniFileName(kStorageKey);
  FormStorage1->SetIniSection(kStorageSection);
  FormStorage1->SetOptions(TPlacementOptions{fpState});
  for (const char* line : kStoredProps) FormStorage1->GetStoredProps()->Add(line);
  FormStorage1->OnRestorePlacement = [this](TObject* sender) { FormStorage1RestorePlacement(sender); };
}

void TCaptureForm::FormStorage1RestorePlacement(TObject*) {
  // A drop-down list takes no stored text: its item is chosen again from the stored value.
  const int trigger = TriggerRG->GetItemIndex();
  TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
  AnsiString modifier, key;
  if (registry->OpenKeyReadOnly(AnsiString(kStorageKey) + "\\" + kStorageSection)) {
    if (registry->ValueExists("ModCombo_Text")) modifier = registry->ReadString("ModCombo_Text");
    if (registry->ValueExists("KeyCombo_Text")) key = registry->ReadString("KeyCombo_Text");
  }
  SelectText(ModCombo, modifier);
  SelectText(KeyCombo, key);
  TriggerRG->SetItemIndex(trigger);
}

UINT TCaptureForm::HotKeyModifiers() const {
  const int index = ModCombo->GetItemIndex();
  return index >= 0 && index < 4 ? kModifiers[index] : MOD_CONTROL;
}

void TCaptureForm::CaptureBtnClick(TObject*) {
  if (TriggerRG->GetItemIndex() != 1) {
    const UINT key = 'A' + static_cast<UINT>(std::max(0, KeyCombo->GetItemIndex()));
    if (!RegisterHotKey(GetHandle(), kHotKeyId, HotKeyModifiers(), key)) {
      LangMessageBox("HotKeyInUse", "Warn", MB_ICONEXCLAMATION);
      return;
    }
  } else {
    Timer->SetInterval(static_cast<unsigned>(std::trunc(DelayInSec->GetValue() * 1000 + 1)));
    Timer->SetEnabled(true);
  }
  Application()->Minimize();
}

void TCaptureForm::Dispatch(TMessage& message) {
  if (message.Msg == WM_HOTKEY) {
    TimerTimer(this);
    return;
  }
  TForm::Dispatch(message);
}

void TCaptureForm::TimerTimer(TObject*) {
  // One grab: a second tick or key while this one runs does nothing.
  if (!Timer->GetEnabled() && !UnregisterHotKey(GetHandle(), kHotKeyId)) return;
  Timer->SetEnabled(false);
  // On the user's real screen (X) the picture is of that screen; else of the program's desktop.
  Host::ScreenImage shot;
  const CaptureSource source = SourceRG->GetItemIndex() == 1 ? CaptureSource::ActiveWindow : CaptureSource::WholeScreen;
  if (CaptureUserScreen(source, shot)) {
    NewCapturedDocument(shot.width, shot.height, shot.pixels);
    Close();
    return;
  }
  HWND window = SourceRG->GetItemIndex() == 1 ? GetForegroundWindow() : GetDesktopWindow();
  if (window == nullptr) window = GetDesktopWindow();
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  RECT r{};
  GetWindowRect(window, &r);
  int x0 = r.left < 0 ? -r.left : 0, y0 = r.top < 0 ? -r.top : 0;
  const int right = r.right > screenWidth - 1 ? screenWidth : r.right;
  const int bottom = r.bottom > screenHeight - 1 ? screenHeight : r.bottom;
  int width = right - r.left - x0, height = bottom - r.top - y0;
  if (width <= 0 || height <= 0) {
    // Nothing of the window is on the screen: the screen is what the user sees.
    window = GetDesktopWindow();
    x0 = y0 = 0;
    width = screenWidth;
    height = screenHeight;
  }
  Grab(window, width, height, x0, y0);
  Close();
}

void TCaptureForm::Grab(HWND window, int width, int height, int x0, int y0) {
  HDC source = GetWindowDC(window);
  HDC memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, x0, y0, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info{};
  info.bmiHeader.biSize = 40;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  const int rows = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, source);
  if (rows != height) return;
  NewCapturedDocument(width, height, pixels);
}

void TCaptureForm::NewCapturedDocument(int width, int height, const std::vector<std::uint32_t>& pixels) {
  TImageForm* document = nullptr;
  try {
    document = CreateDocumentWindow(width, height, "");
  } catch (const EAbort&) {
    return;  // too many documents: the window said so
  } catch (const std::exception&) {
    LangMessageBox("NoMem", "Err", MB_ICONEXCLAMATION);
    return;
  }
  UDBuffer& picture = document->Picture;
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* from = pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
    uint* to = picture.At(picture.rect.left, picture.rect.top + y);
    for (int x = 0; x < width; ++x) to[x] = from[x];
  }
  picture.Bool(kAnd, 0x00FFFFFF);  // opaque
  MarkPictureChanged();
  UpdateDocumentCaption(document);
  document->Show();
  FitWindowToImage(document, Settings.FixZoom ? FitZoom::FixedSetting : FitZoom::Fitting);
}

void TCaptureForm::SwitchToHotKey(TObject*) { TriggerRG->SetItemIndex(0); }

void TCaptureForm::DelayInSecChange(TObject*) { TriggerRG->SetItemIndex(1); }

void TCaptureForm::CancelBtnClick(TObject*) {
  FormStorage1->SetActive(false);
  Close();
}

void TCaptureForm::FormKeyDown(TObject* sender, WORD& key, TShiftState) {
  if (key == VK_ESCAPE) {
    key = 0;
    CancelBtnClick(sender);
  }
}

void TCaptureForm::FormClose(TObject*, TCloseAction& action) {
  Timer->SetEnabled(false);
  UnregisterHotKey(GetHandle(), kHotKeyId);
  Application()->Restore();
  // Out of sight before it goes, so that nothing activates it on the way out.
  SetVisible(false);
  if (TCustomForm* main = Application()->GetMainForm()) {
    main->BringToFront();
    SetForegroundWindow(main->GetHandle());
  }
  lastPlace = TPoint(GetLeft(), GetTop());
  action = caFree;
}

void TCaptureForm::HelpBtnClick(TObject*) { Application()->HelpContext(GetHelpContext()); }
