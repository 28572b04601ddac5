#include "quillo/output/PrintForm.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>

#include "platform/printers/PrinterApi.h"
#include "platform/user/User.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/FontDialogs.h"
#include "platform/vcl/GroupBox.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/base/Settings.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"

QUILLO_DEFINE_CLASS(TPrintForm, TForm)

namespace {

constexpr int kHolderWidth = 340;
constexpr int kHolderHeight = 421;
constexpr int kHelpContext = 1160;

template <class T>
T* Placed(TForm* form, const char* name, int left, int top, int width, int height) {
  T* c = NewNamedComponent<T>(form, name);
  c->SetBounds(left, top, width, height);
  c->SetParent(form);
  return c;
}

TRadioGroup* Group(TForm* form, const char* name, const char* caption, const char* items, int left, int top,
                   int width, int height) {
  auto* group = Placed<TRadioGroup>(form, name, left, top, width, height);
  group->SetCaption(caption);
  group->GetItems()->SetText(items);
  return group;
}

// The 64 x 32 background tile: greys of 96 to 156 in steps of 4.
void FillTile(Buffer& tile) {
  tile.Alloc(Pair<int>(64, 32));
  std::minstd_rand random(std::random_device{}());
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x) {
      const uint level = 96 + 4 * (random() % 16);
      *tile.At(x, y) = level << 16 | level << 8 | level;
    }
}

}  // namespace

TPrintForm::TPrintForm(TComponent* owner) : TForm(owner) {
  SetName("PrintForm");
  SetCaption("Print");
  SetBorderStyle(bsDialog);
  SetKeyPreview(true);
  SetShowHint(true);
  SetAutoScroll(false);
  SetHelpContext(kHelpContext);
  SetClientWidth(600);
  SetClientHeight(437);
  Cap = NewNamedComponent<TBandCaption>(this, "Cap");
  BuildControls();
  TranslateForm("[PrintForm]");
  Cap->SetActiveEndColor(ActiveCaptionEndColor);
  Cap->SetInactiveEndColor(InactiveCaptionEndColor);
  if (PrintLayout.left == -1) {
    int left = (WorkArea.right - WorkArea.left - GetWidth()) / 2;
    int top = (WorkArea.bottom - WorkArea.top - GetHeight()) / 2;
    left = std::max(0, std::min(left, WorkArea.right - GetWidth()));
    top = std::max(0, std::min(top, WorkArea.bottom - GetHeight()));
    SetBounds(left, top, GetWidth(), GetHeight());
  } else {
    SetBounds(PrintLayout.left, PrintLayout.top, GetWidth(), GetHeight());
  }
  FillPrinterList();
  FillTile(tile_);
  background_.Alloc(Pair<int>(kHolderWidth, kHolderHeight));
  display_.Alloc(Pair<int>(kHolderWidth, kHolderHeight));
  Holder->SetBuffer(&display_);
  HDC screen = GetDC(nullptr);
  PrintLayout.screenDpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  printFont_ = std::make_unique<TFont>();
  printFont_->SetName(PrintLayout.fontName);
  printFont_->SetSize(PrintLayout.fontSize);
  printFont_->SetColor(static_cast<TColor>(PrintLayout.fontColor));
  printFont_->SetStyle(static_cast<TFontStyles>(PrintLayout.fontStyle));
  PrintersChange(this);
  Orientation->SetItemIndex(PrintLayout.orientation);
  OrientationClick(this);
  drag_.End();
  PrintLayout.printed = true;
  DrawBorderCB->SetChecked(PrintLayout.drawBorder);
  KeepARCB->SetChecked(PrintLayout.keepAspect);
  const double step = Settings.MeasurementUnit == 2 ? 10 : 0.1;
  ImgWidthEdit->SetIncrement(step);
  ImgHeightEdit->SetIncrement(step);
  if (UDBuffer* picture = Picture(); picture && !picture->Empty() && PrintLayout.scaleX != 0)
    PrintLayout.aspectRatio = (picture->Height() * PrintLayout.scaleY) / (picture->Width() * PrintLayout.scaleX);
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnDestroy = [this](TObject*) { Remember(); };
  OnDeactivate = [this](TObject*) {
    if (GetVisible()) BringToFront();
  };
}

TPrintForm::~TPrintForm() {
  PrintLayout.pageSettings.clear();
  tile_.Free();
  background_.Free();
  display_.Free();
  scaled_.Free();
}

void TPrintForm::BuildControls() {
  Holder = Placed<TBuffer>(this, "Holder", 8, 8, kHolderWidth, kHolderHeight);
  Holder->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int x, int y) { HolderMouseDown(x, y); };
  Holder->OnMouseMove = [this](TObject*, TShiftState shift, int x, int y) {
    HolderMouseMove(x, y, shift.Contains(ssLeft) || shift.Contains(ssRight) || shift.Contains(ssMiddle));
  };
  Holder->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { HolderMouseUp(); };
  const int x = 356, wide = 236;
  Printers = Placed<TComboBox>(this, "Printers", x, 8, wide, 21);
  Printers->SetStyle(csDropDownList);
  Printers->OnChange = [this](TObject* sender) { PrintersChange(sender); };
  PropertiesBtn = Placed<TButton>(this, "PropertiesBtn", x + wide - 90, 34, 90, 23);
  PropertiesBtn->SetCaption("Propertie&s...");
  PropertiesBtn->OnClick = [this](TObject* sender) { PropertiesBtnClick(sender); };
  WhereLab = Placed<TLabel>(this, "WhereLab", x, 62, 60, 13);
  WhereLab->SetCaption("Where:");
  Where = Placed<TLabel>(this, "Where", x + 64, 62, wide - 64, 13);
  CommentLab = Placed<TLabel>(this, "CommentLab", x, 78, 60, 13);
  CommentLab->SetCaption("Comments:");
  Comment = Placed<TLabel>(this, "Comment", x + 64, 78, wide - 64, 13);
  Orientation = Group(this, "Orientation", "Page Orientation", "Portr&ait\nLan&dscape", x, 96, wide, 40);
  Orientation->SetColumns(2);
  Orientation->OnClick = [this](TObject* sender) { OrientationClick(sender); };
  auto* copiesLab = Placed<TLabel>(this, "CopiesLab", x, 146, 110, 13);
  copiesLab->SetCaption("Number of Copies");
  Copies = Placed<TExSpinEdit>(this, "Copies", x + 120, 142, 60, 21);
  Copies->SetMinValue(1);
  Copies->SetMaxValue(99);
  Copies->SetValue(1);
  Copies->OnChange = [this](TObject* sender) { CopiesChange(sender); };
  ImageSize = Group(this, "ImageSize", "Image Size", "Or&iginal\n&Fit to Page\nCusto&m", x, 168, 116, 90);
  HorizAlign = Group(this, "HorizAlign", "Horizontal Align", "&Left\nCe&nter\n&Right\nCu&stom", x + 120, 168, 116, 90);
  VertAlign = Group(this, "VertAlign", "Vertical Align", "&Top\nC&enter\n&Bottom\nC&ustom", x, 262, 116, 90);
  ImageSize->SetItemIndex(0);
  HorizAlign->SetItemIndex(1);
  VertAlign->SetItemIndex(1);
  for (TRadioGroup* group : {ImageSize, HorizAlign, VertAlign})
    group->OnClick = [this](TObject* sender) { ImageChangeClick(sender); };
  auto* widthLab = Placed<TLabel>(this, "WidthLab", x + 120, 270, 40, 13);
  widthLab->SetCaption("Width");
  ImgWidthEdit = Placed<TExSpinEdit>(this, "ImgWidthEdit", x + 164, 266, 72, 21);
  auto* heightLab = Placed<TLabel>(this, "HeightLab", x + 120, 296, 40, 13);
  heightLab->SetCaption("Height");
  ImgHeightEdit = Placed<TExSpinEdit>(this, "ImgHeightEdit", x + 164, 292, 72, 21);
  for (TExSpinEdit* edit : {ImgWidthEdit, ImgHeightEdit}) {
    edit->SetValueType(vtFloat);
    edit->SetDecimal(2);
    edit->SetMinValue(0.01);
    edit->SetMaxValue(99999);
    const auto change = [this, edit](TObject* sender) {
      if (edit == ImgWidthEdit) ImgWidthEditChange(sender);
      else ImgHeightEditChange(sender);
    };
    edit->OnTopClick = change;
    edit->OnBottomClick = change;
    edit->OnExit = change;
  }
  DrawBorderCB = Placed<TCheckBox>(this, "DrawBorderCB", x + 120, 318, 116, 17);
  DrawBorderCB->SetCaption("Dra&w Border");
  KeepARCB = Placed<TCheckBox>(this, "KeepARCB", x + 120, 338, 116, 17);
  KeepARCB->SetCaption("&Keep A/R");
  auto* titleLab = Placed<TLabel>(this, "TitleLab", x, 364, 30, 13);
  titleLab->SetCaption("Title");
  TitleEdit = Placed<TEdit>(this, "TitleEdit", x + 34, 360, wide - 34 - 56, 21);
  TitleEdit->OnChange = [this](TObject* sender) { ImageChangeClick(sender); };
  FontSelectBtn = Placed<TButton>(this, "FontSelectBtn", x + wide - 52, 359, 52, 23);
  FontSelectBtn->SetCaption("F&ont");
  FontSelectBtn->OnClick = [this](TObject* sender) { FontSelectBtnClick(sender); };
  FontSel = NewNamedComponent<TFontDialog>(this, "FontSel");
  FontSel->SetOptions(TFontDialogOptions{fdEffects, fdApplyButton});
  FontSel->SetOnApply([this](TObject*, HWND) {
    printFont_->Assign(FontSel->GetFont());
    DrawPreview();
  });
  const auto button = [this](const char* name, const char* caption, int left) {
    auto* b = Placed<TButton>(this, name, left, 404, 76, 25);
    b->SetCaption(caption);
    return b;
  };
  PrintBtn = button("PrintBtn", "&Print", x);
  PrintBtn->SetDefault(true);
  PrintBtn->OnClick = [this](TObject* sender) { PrintBtnClick(sender); };
  CancelBtn = button("CancelBtn", "&Cancel", x + 80);
  CancelBtn->SetCancel(true);
  CancelBtn->OnClick = [this](TObject* sender) { CancelBtnClick(sender); };
  HelpBtn = button("HelpBtn", "&Help", x + 160);
  HelpBtn->OnClick = [this](TObject*) { Application()->HelpContext(GetHelpContext()); };
}

UDBuffer* TPrintForm::Picture() const { return CurrentPicture; }

void TPrintForm::FillPrinterList() {
  Printers->GetItems()->Clear();
  DWORD needed = 0, count = 0;
  EnumPrinters(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed);
  if (needed > 0 &&
      EnumPrinters(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, buffer.data(), needed, &needed, &count)) {
    const auto* info = reinterpret_cast<const PRINTER_INFO_4*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
      HANDLE printer = nullptr;
      if (!OpenPrinter(info[i].pPrinterName, &printer, nullptr)) continue;
      if (HDC dc = CreateDC(nullptr, info[i].pPrinterName, nullptr, nullptr)) {
        if (GetDeviceCaps(dc, RASTERCAPS) & RC_STRETCHDIB) Printers->GetItems()->Add(info[i].pPrinterName);
        DeleteDC(dc);
      }
      ClosePrinter(printer);
    }
  }
  // The default printer, else win.ini's, else the first.
  std::string byDefault;
  needed = 0;
  EnumPrinters(PRINTER_ENUM_DEFAULT, nullptr, 5, nullptr, 0, &needed, &count);
  std::vector<BYTE> defaults(needed);
  if (needed > 0 && EnumPrinters(PRINTER_ENUM_DEFAULT, nullptr, 5, defaults.data(), needed, &needed, &count) && count > 0)
    byDefault = reinterpret_cast<const PRINTER_INFO_5*>(defaults.data())->pPrinterName;
  if (byDefault.empty()) byDefault = ProfileDefaultPrinter();
  const int index = Printers->GetItems()->IndexOf(byDefault);
  if (Printers->GetItems()->Count() > 0) Printers->SetItemIndex(index >= 0 ? index : 0);
}

void TPrintForm::PrintersChange(TObject*) {
  const std::string name = Printers->GetText();
  AnsiString caption = LangMessage("PrintImg");
  caption.append(" ").append(name);
  PrintLayout.pageSettings.clear();
  HANDLE printer = nullptr;
  if (!name.empty() && OpenPrinter(const_cast<char*>(name.c_str()), &printer, nullptr)) {
    const LONG size = DocumentProperties(GetHandle(), printer, const_cast<char*>(name.c_str()), nullptr, nullptr, 0);
    if (size > 0) {
      PrintLayout.pageSettings.assign(static_cast<size_t>(std::max<LONG>(size, sizeof(DEVMODE))), 0);
      if (DocumentProperties(GetHandle(), printer, const_cast<char*>(name.c_str()), PrintLayout.Settings(), nullptr,
                             DM_OUT_BUFFER) < 0)
        PrintLayout.pageSettings.clear();
    }
    DWORD needed = 0;
    GetPrinter(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> info(needed);
    if (needed > 0 && GetPrinter(printer, 2, info.data(), needed, &needed)) {
      const auto* p = reinterpret_cast<const PRINTER_INFO_2*>(info.data());
      Where->SetCaption(p->pPortName ? p->pPortName : "");
      Comment->SetCaption(p->pComment ? p->pComment : "");
      caption.append(" ").append(LangMessage("PrintPort")).append(" ").append(p->pPortName ? p->pPortName : "");
    }
    ClosePrinter(printer);
  }
  // Without a device mode there is nothing the orientation and copies could change.
  Orientation->SetEnabled(PrintLayout.Settings() != nullptr);
  Copies->SetEnabled(PrintLayout.Settings() != nullptr);
  PropertiesBtn->SetEnabled(PrintLayout.Settings() != nullptr);
  LayoutPage();
  SetCaption(caption);
  Cap->SetApplicationName(caption);
}

void TPrintForm::ApplyDocumentProperties(DWORD mode) {
  DEVMODE* settings = PrintLayout.Settings();
  const std::string name = Printers->GetText();
  HANDLE printer = nullptr;
  if (!settings || name.empty() || !OpenPrinter(const_cast<char*>(name.c_str()), &printer, nullptr)) return;
  DocumentProperties(GetHandle(), printer, const_cast<char*>(name.c_str()), settings, settings, mode);
  ClosePrinter(printer);
}

void TPrintForm::PropertiesBtnClick(TObject*) {
  ApplyDocumentProperties(DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER);
  LayoutPage();
}

void TPrintForm::OrientationClick(TObject*) {
  if (drawing_) return;
  DEVMODE* settings = PrintLayout.Settings();
  if (!settings) return;
  settings->dmOrientation = Orientation->GetItemIndex() == 1 ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  settings->dmFields |= DM_ORIENTATION;
  ApplyDocumentProperties(DM_IN_BUFFER | DM_OUT_BUFFER);
  LayoutPage();
}

void TPrintForm::CopiesChange(TObject*) {
  if (drawing_) return;
  DEVMODE* settings = PrintLayout.Settings();
  if (!settings) return;
  settings->dmCopies = static_cast<short>(Copies->GetAsInteger());
  settings->dmFields |= DM_COPIES;
  ApplyDocumentProperties(DM_IN_BUFFER | DM_OUT_BUFFER);
}

HDC TPrintForm::CreatePrinterDC() {
  const std::string name = Printers->GetText();
  if (name.empty()) return nullptr;
  return CreateDC(nullptr, name.c_str(), nullptr, PrintLayout.Settings());
}

void TPrintForm::FontSelectBtnClick(TObject*) {
  FontSel->GetFont()->Assign(printFont_.get());
  if (FontSel->Execute()) printFont_->Assign(FontSel->GetFont());
  DrawPreview();
}

void TPrintForm::SetToCustom(TRadioGroup* group) {
  const int custom = group->GetItems()->Count() - 1;
  group->SetItemIndex(custom);
}

void TPrintForm::ImageChangeClick(TObject*) {
  if (!drawing_) DrawPreview();
}

void TPrintForm::FormKeyDown(TObject*, WORD& key, TShiftState) {
  if (key == VK_RETURN && GetActiveControl() == ImgWidthEdit) {
    ImgWidthEditChange(ImgWidthEdit);
    key = 0;
  } else if (key == VK_RETURN && GetActiveControl() == ImgHeightEdit) {
    ImgHeightEditChange(ImgHeightEdit);
    key = 0;
  } else if (key == VK_ESCAPE) {
    CancelBtnClick(this);
    key = 0;
  }
}

void TPrintForm::CancelBtnClick(TObject*) { SetModalResult(mrCancel); }

void TPrintForm::PrintBtnClick(TObject*) {
  if (PrintImage()) SetModalResult(mrOk);
}

void TPrintForm::Remember() {
  PrintLayout.left = GetLeft();
  PrintLayout.top = GetTop();
  if (PrintLayout.printed) return;
  PrintLayout.fontName = printFont_->GetName();
  PrintLayout.fontSize = printFont_->GetSize();
  PrintLayout.fontColor = static_cast<int>(printFont_->GetColor());
  PrintLayout.fontStyle = printFont_->GetStyle();
  PrintLayout.drawBorder = DrawBorderCB->GetChecked();
  PrintLayout.keepAspect = KeepARCB->GetChecked();
  PrintLayout.orientation = std::max(0, Orientation->GetItemIndex());
}

void ShowPrintForm() {
  TOwnedPtr<TPrintForm> dialog(NewComponent<TPrintForm>(Application()));
  dialog->ShowModal();
}
