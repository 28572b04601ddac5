#include "platform/dialogs/ColorDialog.h"

#include <algorithm>
#include <array>

#include "platform/controls/Button.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Static.h"
#include "platform/dialogs/HelpButton.h"
#include "platform/dialogs/ColorDialogParts.h"
#include "platform/dialogs/CommDlgError.h"
#include "platform/user/Dialog.h"

namespace {

constexpr int kHlsMax = 240, kRgbMax = 255, kHueUndefined = kHlsMax * 2 / 3;
constexpr int kCustomCount = 16;
// The width in dialog units of the dialog before "Define Custom Colors >>" opens its right half.
constexpr int kSmallWidth = 152;

constexpr COLORREF Rgb(std::uint32_t rrggbb) {
  return RGB(static_cast<int>((rrggbb >> 16) & 0xFF), static_cast<int>((rrggbb >> 8) & 0xFF),
             static_cast<int>(rrggbb & 0xFF));
}

const std::array<COLORREF, 48> kBasic = {
    Rgb(0xFF8080), Rgb(0xFFFF80), Rgb(0x80FF80), Rgb(0x00FF80), Rgb(0x80FFFF), Rgb(0x0080FF), Rgb(0xFF80C0), Rgb(0xFF80FF),
    Rgb(0xFF0000), Rgb(0xFFFF00), Rgb(0x80FF00), Rgb(0x00FF40), Rgb(0x00FFFF), Rgb(0x0080C0), Rgb(0x8080C0), Rgb(0xFF00FF),
    Rgb(0x804040), Rgb(0xFF8040), Rgb(0x00FF00), Rgb(0x008080), Rgb(0x004080), Rgb(0x8080FF), Rgb(0x800040), Rgb(0xFF0080),
    Rgb(0x800000), Rgb(0xFF8000), Rgb(0x008000), Rgb(0x008040), Rgb(0x0000FF), Rgb(0x0000A0), Rgb(0x800080), Rgb(0x8000FF),
    Rgb(0x400000), Rgb(0x804000), Rgb(0x004000), Rgb(0x004040), Rgb(0x000080), Rgb(0x000040), Rgb(0x400040), Rgb(0x400080),
    Rgb(0x000000), Rgb(0x808000), Rgb(0x808040), Rgb(0x808080), Rgb(0x408080), Rgb(0xC0C0C0), Rgb(0x400040), Rgb(0xFFFFFF),
};

int HueToChannel(int n1, int n2, int hue) {
  if (hue < 0) hue += kHlsMax;
  if (hue > kHlsMax) hue -= kHlsMax;
  if (hue < kHlsMax / 6) return n1 + (((n2 - n1) * hue + kHlsMax / 12) / (kHlsMax / 6));
  if (hue < kHlsMax / 2) return n2;
  if (hue < kHlsMax * 2 / 3) return n1 + (((n2 - n1) * (kHlsMax * 2 / 3 - hue) + kHlsMax / 12) / (kHlsMax / 6));
  return n1;
}

int ToByte(int channel) { return std::clamp((channel * kRgbMax + kHlsMax / 2) / kHlsMax, 0, kRgbMax); }

}  // namespace

const COLORREF* BasicColors() { return kBasic.data(); }

void ColorRGBToHLS(COLORREF colour, WORD* hue, WORD* luminance, WORD* saturation) {
  int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
  int high = std::max({r, g, b}), low = std::min({r, g, b});
  int l = ((high + low) * kHlsMax + kRgbMax) / (2 * kRgbMax), s = 0, h = kHueUndefined;
  if (high != low) {
    int range = high - low;
    if (l <= kHlsMax / 2)
      s = (range * kHlsMax + (high + low) / 2) / (high + low);
    else
      s = (range * kHlsMax + (2 * kRgbMax - high - low) / 2) / (2 * kRgbMax - high - low);
    int dr = ((high - r) * (kHlsMax / 6) + range / 2) / range;
    int dg = ((high - g) * (kHlsMax / 6) + range / 2) / range;
    int db = ((high - b) * (kHlsMax / 6) + range / 2) / range;
    if (r == high)
      h = db - dg;
    else if (g == high)
      h = kHlsMax / 3 + dr - db;
    else
      h = 2 * kHlsMax / 3 + dg - dr;
    if (h < 0) h += kHlsMax;
    if (h >= kHlsMax) h -= kHlsMax;
  }
  if (hue) *hue = static_cast<WORD>(h);
  if (luminance) *luminance = static_cast<WORD>(std::min(l, kHlsMax));
  if (saturation) *saturation = static_cast<WORD>(std::min(s, kHlsMax));
}

COLORREF ColorHLSToRGB(WORD hueIn, WORD luminanceIn, WORD saturationIn) {
  int h = hueIn % kHlsMax, l = std::min<int>(luminanceIn, kHlsMax), s = std::min<int>(saturationIn, kHlsMax);
  if (s == 0) {
    int grey = std::clamp(l * kRgbMax / kHlsMax, 0, kRgbMax);
    return RGB(grey, grey, grey);
  }
  int m2 = l <= kHlsMax / 2 ? (l * (kHlsMax + s) + kHlsMax / 2) / kHlsMax : l + s - (l * s + kHlsMax / 2) / kHlsMax;
  int m1 = 2 * l - m2;
  return RGB(ToByte(HueToChannel(m1, m2, h + kHlsMax / 3)), ToByte(HueToChannel(m1, m2, h)),
             ToByte(HueToChannel(m1, m2, h - kHlsMax / 3)));
}

namespace {

DialogItemTemplate Item(const char* cls, const char* text, int id, DWORD style, int x, int y, int cx, int cy) {
  DialogItemTemplate item;
  item.className = cls;
  item.text = text;
  item.id = id;
  item.style = WS_VISIBLE | style;
  item.x = x;
  item.y = y;
  item.cx = cx;
  item.cy = cy;
  if (item.className == WC_EDIT) item.exStyle = WS_EX_CLIENTEDGE;
  return item;
}

DialogTemplate ColorTemplate() {
  DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK;
  t.cx = 298;
  t.cy = 184;
  t.caption = "Color";
  const DWORD tab = WS_TABSTOP | WS_GROUP;
  const DWORD edit = tab | ES_AUTOHSCROLL | ES_NUMBER;
  t.items = {
      Item(WC_STATIC, "&Basic colors:", -1, SS_LEFT, 4, 4, 140, 9),
      Item(WC_COLORSWATCHES, "", COLOR_BOX1, tab, 4, 14, 140, 86),
      Item(WC_STATIC, "&Custom colors:", -1, SS_LEFT, 4, 106, 140, 9),
      Item(WC_COLORSWATCHES, "", COLOR_CUSTOM1, tab, 4, 116, 140, 28),
      Item(WC_BUTTON, "&Define Custom Colors >>", COLOR_MIX, BS_PUSHBUTTON | tab, 4, 150, 140, 14),
      Item(WC_BUTTON, "OK", IDOK, BS_DEFPUSHBUTTON | tab, 4, 166, 44, 14),
      Item(WC_BUTTON, "Cancel", IDCANCEL, BS_PUSHBUTTON | tab, 52, 166, 44, 14),
      Item(WC_BUTTON, "&Help", pshHelp, BS_PUSHBUTTON | tab, 100, 166, 44, 14),
      Item(WC_COLORSPECTRUM, "", COLOR_RAINBOW, 0, 152, 4, 118, 116),
      Item(WC_COLORLUMINANCE, "", COLOR_LUMSCROLL, 0, 276, 4, 16, 116),
      Item(WC_COLORSAMPLE, "", COLOR_CURRENT, 0, 152, 124, 40, 26),
      Item(WC_BUTTON, "&o", COLOR_SOLID, BS_PUSHBUTTON | WS_GROUP, 300, 200, 4, 14),
      Item(WC_STATIC, "Color", COLOR_SOLID_LEFT, SS_RIGHT, 152, 151, 20, 9),
      Item(WC_STATIC, "|S&olid", COLOR_SOLID_RIGHT, SS_LEFT, 172, 151, 20, 9),
      Item(WC_STATIC, "Hu&e:", COLOR_HUEACCEL, SS_RIGHT, 194, 126, 20, 9),
      Item(WC_EDIT, "", COLOR_HUE, edit, 216, 124, 18, 12),
      Item(WC_STATIC, "&Sat:", COLOR_SATACCEL, SS_RIGHT, 194, 140, 20, 9),
      Item(WC_EDIT, "", COLOR_SAT, edit, 216, 138, 18, 12),
      Item(WC_STATIC, "&Lum:", COLOR_LUMACCEL, SS_RIGHT, 194, 154, 20, 9),
      Item(WC_EDIT, "", COLOR_LUM, edit, 216, 152, 18, 12),
      Item(WC_STATIC, "&Red:", COLOR_REDACCEL, SS_RIGHT, 243, 126, 24, 9),
      Item(WC_EDIT, "", COLOR_RED, edit, 269, 124, 18, 12),
      Item(WC_STATIC, "&Green:", COLOR_GREENACCEL, SS_RIGHT, 243, 140, 24, 9),
      Item(WC_EDIT, "", COLOR_GREEN, edit, 269, 138, 18, 12),
      Item(WC_STATIC, "Bl&ue:", COLOR_BLUEACCEL, SS_RIGHT, 243, 154, 24, 9),
      Item(WC_EDIT, "", COLOR_BLUE, edit, 269, 152, 18, 12),
      Item(WC_BUTTON, "&Add to Custom Colors", COLOR_ADD, BS_PUSHBUTTON | tab, 152, 166, 142, 14),
  };
  return t;
}

// The controls of the right half, shown once the dialog is fully open.
constexpr int kRightHalf[] = {COLOR_RAINBOW, COLOR_LUMSCROLL, COLOR_CURRENT, COLOR_SOLID_LEFT, COLOR_SOLID_RIGHT,
                              COLOR_HUEACCEL, COLOR_HUE, COLOR_SATACCEL, COLOR_SAT, COLOR_LUMACCEL, COLOR_LUM,
                              COLOR_REDACCEL, COLOR_RED, COLOR_GREENACCEL, COLOR_GREEN, COLOR_BLUEACCEL, COLOR_BLUE,
                              COLOR_ADD};

class ColorDialog {
public:
  explicit ColorDialog(CHOOSECOLOR* choose)
      : choose_(choose),
        okMessage_(RegisterWindowMessage(COLOROKSTRING)),
        setRgbMessage_(RegisterWindowMessage(SETRGBSTRING)),
        helpMessage_(RegisterWindowMessage(HELPMSGSTRING)) {
    if (choose->lpCustColors) std::copy_n(choose->lpCustColors, kCustomCount, custom_.begin());
    colour_ = (choose->Flags & CC_RGBINIT) ? choose->rgbResult : 0;
  }

  INT_PTR Run() {
    DialogTemplate t = ColorTemplate();
    INT_PTR result = DialogBoxIndirectParam(nullptr, &t, choose_->hwndOwner,
                                            [this](HWND d, UINT m, WPARAM w, LPARAM l) { return Proc(d, m, w, l); },
                                            reinterpret_cast<LPARAM>(choose_));
    if (choose_->lpCustColors) std::copy(custom_.begin(), custom_.end(), choose_->lpCustColors);
    return result;
  }

private:
  bool Hooked() const { return (choose_->Flags & CC_ENABLEHOOK) && choose_->lpfnHook; }

  INT_PTR Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
      dialog_ = dialog;
      OnInit();
      if (Hooked()) return static_cast<INT_PTR>(choose_->lpfnHook(dialog, message, wParam, lParam));
      return TRUE;
    }
    if (Hooked() && choose_->lpfnHook(dialog, message, wParam, lParam)) return TRUE;
    if (message == WM_COMMAND) return OnCommand(LOWORD(wParam), HIWORD(wParam));
    if (message == WM_HELP) return PressHelpButton(dialog);
    if (message == setRgbMessage_ && setRgbMessage_ != 0) {
      SetColour(static_cast<COLORREF>(lParam), Source::Outside);
      return TRUE;
    }
    return FALSE;
  }

  void OnInit() {
    SendDlgItemMessage(dialog_, COLOR_BOX1, CPM_SETCOLORS, kBasic.size(), reinterpret_cast<LPARAM>(kBasic.data()));
    SendDlgItemMessage(dialog_, COLOR_CUSTOM1, CPM_SETCOLORS, custom_.size(), reinterpret_cast<LPARAM>(custom_.data()));
    for (int id : {COLOR_HUE, COLOR_SAT, COLOR_LUM, COLOR_RED, COLOR_GREEN, COLOR_BLUE})
      SendDlgItemMessage(dialog_, id, EM_LIMITTEXT, 3, 0);
    if (!(choose_->Flags & CC_SHOWHELP)) ShowWindow(GetDlgItem(dialog_, pshHelp), SW_HIDE);
    if (choose_->Flags & CC_PREVENTFULLOPEN) EnableWindow(GetDlgItem(dialog_, COLOR_MIX), FALSE);
    RECT window, client, small{0, 0, kSmallWidth, 0};
    GetWindowRect(dialog_, &window);
    GetClientRect(dialog_, &client);
    MapDialogRect(dialog_, &small);
    fullWidth_ = window.right - window.left;
    smallWidth_ = fullWidth_ - (client.right - small.right);
    SetColour(colour_, Source::Outside);
    SelectMatchingSwatch();
    if ((choose_->Flags & CC_FULLOPEN) && !(choose_->Flags & CC_PREVENTFULLOPEN))
      OpenFull();
    else
      ShowRightHalf(false);
  }

  void SelectMatchingSwatch() {
    auto basic = std::find(kBasic.begin(), kBasic.end(), colour_);
    if (basic != kBasic.end()) {
      SendDlgItemMessage(dialog_, COLOR_BOX1, CPM_SETSEL, static_cast<WPARAM>(basic - kBasic.begin()), 0);
      return;
    }
    auto custom = std::find(custom_.begin(), custom_.end(), colour_);
    if (custom != custom_.end())
      SendDlgItemMessage(dialog_, COLOR_CUSTOM1, CPM_SETSEL, static_cast<WPARAM>(custom - custom_.begin()), 0);
  }

  void ShowRightHalf(bool show) {
    for (int id : kRightHalf) ShowWindow(GetDlgItem(dialog_, id), show ? SW_SHOW : SW_HIDE);
    RECT window;
    GetWindowRect(dialog_, &window);
    SetWindowPos(dialog_, nullptr, 0, 0, show ? fullWidth_ : smallWidth_, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void OpenFull() {
    if (full_) return;
    full_ = true;
    ShowRightHalf(true);
    HWND mix = GetDlgItem(dialog_, COLOR_MIX);
    if (GetFocus() == mix) SetFocus(GetDlgItem(dialog_, COLOR_HUE));
    EnableWindow(mix, FALSE);
  }

  BOOL OnCommand(int id, int code) {
    switch (id) {
      case IDOK: OnOk(); return TRUE;
      case IDCANCEL: EndDialog(dialog_, IDCANCEL); return TRUE;
      case COLOR_MIX:
        if (!(choose_->Flags & CC_PREVENTFULLOPEN)) OpenFull();
        return TRUE;
      case COLOR_ADD: AddToCustom(); return TRUE;
      case COLOR_SOLID: SetColour(SolidColour(), Source::Outside); return TRUE;
      case pshHelp:
        if (choose_->hwndOwner) SendMessage(choose_->hwndOwner, helpMessage_, reinterpret_cast<WPARAM>(dialog_), reinterpret_cast<LPARAM>(choose_));
        return TRUE;
      case COLOR_BOX1:
      case COLOR_CUSTOM1:
        if (code == CPN_CHANGED) OnSwatch(id);
        return TRUE;
      case COLOR_RAINBOW:
      case COLOR_LUMSCROLL:
        if (code == CPN_CHANGED) OnPicker(id);
        return TRUE;
      case COLOR_HUE:
      case COLOR_SAT:
      case COLOR_LUM:
      case COLOR_RED:
      case COLOR_GREEN:
      case COLOR_BLUE:
        if (code == EN_CHANGE && updating_ == 0) OnFieldTyped(id);
        return TRUE;
    }
    return FALSE;
  }

  void OnOk() {
    COLORREF before = choose_->rgbResult;
    choose_->rgbResult = colour_;
    if (Hooked() && okMessage_ != 0 && choose_->lpfnHook(dialog_, okMessage_, 0, reinterpret_cast<LPARAM>(choose_))) {
      choose_->rgbResult = before;  // the hook kept the dialog open
      return;
    }
    EndDialog(dialog_, IDOK);
  }

  void OnSwatch(int id) {
    int other = id == COLOR_BOX1 ? COLOR_CUSTOM1 : COLOR_BOX1;
    SendDlgItemMessage(dialog_, other, CPM_SETSEL, static_cast<WPARAM>(-1), 0);
    if (id == COLOR_CUSTOM1) nextCustom_ = static_cast<int>(SendDlgItemMessage(dialog_, id, CPM_GETSEL, 0, 0));
    SetColour(static_cast<COLORREF>(SendDlgItemMessage(dialog_, id, CPM_GETCOLOR, 0, 0)), Source::Outside);
  }

  void OnPicker(int id) {
    if (id == COLOR_RAINBOW) {
      LRESULT hs = SendDlgItemMessage(dialog_, COLOR_RAINBOW, CPM_GETHLS, 0, 0);
      hue_ = LOWORD(hs);
      saturation_ = HIWORD(hs);
    } else {
      luminance_ = static_cast<WORD>(SendDlgItemMessage(dialog_, COLOR_LUMSCROLL, CPM_GETHLS, 0, 0));
    }
    SetHls(Source::Picker);
  }

  void OnFieldTyped(int id) {
    BOOL ok = FALSE;
    UINT value = GetDlgItemInt(dialog_, id, &ok, FALSE);
    if (!ok) return;  // an emptied field waits for its new number
    UINT limit = id == COLOR_HUE ? 239 : id <= COLOR_LUM ? 240 : 255;
    if (value > limit) {
      value = limit;
      ++updating_;
      SetDlgItemInt(dialog_, id, value, FALSE);
      --updating_;
    }
    switch (id) {
      case COLOR_HUE: hue_ = static_cast<WORD>(value); break;
      case COLOR_SAT: saturation_ = static_cast<WORD>(value); break;
      case COLOR_LUM: luminance_ = static_cast<WORD>(value); break;
    }
    if (id <= COLOR_LUM) {
      SetHls(Source::Field);
      return;
    }
    int r = GetRValue(colour_), g = GetGValue(colour_), b = GetBValue(colour_);
    (id == COLOR_RED ? r : id == COLOR_GREEN ? g : b) = static_cast<int>(value);
    SetColour(RGB(r, g, b), Source::Field);
  }

  // Where a change came from: that place already shows it.
  enum class Source { Outside, Picker, Field };

  void SetHls(Source source) {
    colour_ = ColorHLSToRGB(hue_, luminance_, saturation_);
    Show(source, true);
  }

  void SetColour(COLORREF colour, Source source) {
    colour_ = colour & 0xFFFFFF;
    ColorRGBToHLS(colour_, &hue_, &luminance_, &saturation_);
    Show(source, false);
  }

  void Show(Source source, bool hlsTyped) {
    ++updating_;
    if (source != Source::Field || !hlsTyped) {
      SetDlgItemInt(dialog_, COLOR_HUE, hue_, FALSE);
      SetDlgItemInt(dialog_, COLOR_SAT, saturation_, FALSE);
      SetDlgItemInt(dialog_, COLOR_LUM, luminance_, FALSE);
    }
    if (source != Source::Field || hlsTyped) {
      SetDlgItemInt(dialog_, COLOR_RED, GetRValue(colour_), FALSE);
      SetDlgItemInt(dialog_, COLOR_GREEN, GetGValue(colour_), FALSE);
      SetDlgItemInt(dialog_, COLOR_BLUE, GetBValue(colour_), FALSE);
    }
    --updating_;
    SendDlgItemMessage(dialog_, COLOR_RAINBOW, CPM_SETHLS, MAKEWPARAM(hue_, saturation_), luminance_);
    SendDlgItemMessage(dialog_, COLOR_LUMSCROLL, CPM_SETHLS, MAKEWPARAM(hue_, saturation_), luminance_);
    SendDlgItemMessage(dialog_, COLOR_CURRENT, CPM_SETCOLOR, colour_, 0);
  }

  COLORREF SolidColour() const {
    HDC dc = GetDC(dialog_);
    COLORREF solid = GetNearestColor(dc, colour_);
    ReleaseDC(dialog_, dc);
    return solid;
  }

  // The colour goes into the custom box the user last picked, else into the next one in turn.
  void AddToCustom() {
    int target = nextCustom_;
    custom_[static_cast<size_t>(target)] = colour_;
    nextCustom_ = (target + 1) % kCustomCount;
    SendDlgItemMessage(dialog_, COLOR_CUSTOM1, CPM_SETCOLORS, custom_.size(), reinterpret_cast<LPARAM>(custom_.data()));
    SendDlgItemMessage(dialog_, COLOR_CUSTOM1, CPM_SETSEL, static_cast<WPARAM>(-1), 0);
  }

  CHOOSECOLOR* choose_;
  UINT okMessage_, setRgbMessage_, helpMessage_;
  HWND dialog_ = nullptr;
  std::array<COLORREF, kCustomCount> custom_{};
  int nextCustom_ = 0;
  COLORREF colour_ = 0;
  WORD hue_ = 0, luminance_ = 0, saturation_ = 0;
  bool full_ = false;
  int updating_ = 0;
  int smallWidth_ = 0, fullWidth_ = 0;
};

}  // namespace

BOOL ChooseColor(CHOOSECOLOR* choose) {
  SetCommDlgExtendedError(0);
  if (!choose || choose->lStructSize != sizeof(CHOOSECOLOR)) {
    SetCommDlgExtendedError(CDERR_STRUCTSIZE);
    return FALSE;
  }
  COLORREF before = choose->rgbResult;
  ColorDialog dialog(choose);
  if (dialog.Run() == IDOK) return TRUE;
  choose->rgbResult = before;
  return FALSE;
}
