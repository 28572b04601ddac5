#include "platform/dialogs/FontDialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/controls/Button.h"
#include "platform/controls/ComboBox.h"
#include "platform/dialogs/HelpButton.h"
#include "platform/dialogs/CommDlgError.h"
#include "platform/controls/Static.h"
#include "platform/gdi/Display.h"
#include "platform/gdi/FontEngine.h"
#include "platform/user/Dialog.h"
#include "platform/user/UserDraw.h"

namespace {

// A style the style list offers; the text engine draws regular and bold weights, upright or
// slanted, so a family's styles come to at most those four.
struct StyleChoice {
  std::string name;
  bool bold = false;
  bool italic = false;
  bool simulated = false;
  LONG Weight() const { return bold ? FW_BOLD : FW_NORMAL; }
};
const StyleChoice kStandardStyles[] = {
    {"Regular", false, false, true}, {"Italic", false, true, true}, {"Bold", true, false, true}, {"Bold Italic", true, true, true}};

constexpr int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
// The sizes a font may have without CF_LIMITSIZE, in points (Windows' own bounds).
constexpr int kSmallestSize = 1, kLargestSize = 1638;

struct NamedColour {
  const char* name;
  COLORREF colour;
};
constexpr NamedColour kColours[] = {
    {"Black", RGB(0, 0, 0)},         {"Maroon", RGB(128, 0, 0)},    {"Green", RGB(0, 128, 0)},
    {"Olive", RGB(128, 128, 0)},     {"Navy", RGB(0, 0, 128)},      {"Purple", RGB(128, 0, 128)},
    {"Teal", RGB(0, 128, 128)},      {"Gray", RGB(128, 128, 128)},  {"Silver", RGB(192, 192, 192)},
    {"Red", RGB(255, 0, 0)},         {"Lime", RGB(0, 255, 0)},      {"Yellow", RGB(255, 255, 0)},
    {"Blue", RGB(0, 0, 255)},        {"Fuchsia", RGB(255, 0, 255)}, {"Aqua", RGB(0, 255, 255)},
    {"White", RGB(255, 255, 255)},
};
constexpr const char* kCustomColourName = "Custom";
constexpr const char* kSampleText = "AaBbYyZz";
constexpr const char* kScalableNote = "This is a scalable font. The same font will be used on both your printer and your screen.";

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
  return item;
}

DialogTemplate FontTemplate() {
  DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK;
  t.cx = 263;
  t.cy = 196;
  t.caption = "Font";
  const DWORD tab = WS_TABSTOP | WS_GROUP;
  const DWORD list = CBS_SIMPLE | CBS_AUTOHSCROLL | CBS_DISABLENOSCROLL | WS_VSCROLL | tab;
  t.items = {
      Item(WC_STATIC, "&Font:", stc1, SS_LEFT, 7, 7, 98, 9),
      Item(kComboBoxClass, "", cmb1, list | CBS_SORT | CBS_HASSTRINGS, 7, 16, 98, 76),
      Item(WC_STATIC, "Font st&yle:", stc2, SS_LEFT, 110, 7, 62, 9),
      Item(kComboBoxClass, "", cmb2, list | CBS_HASSTRINGS, 110, 16, 62, 76),
      Item(WC_STATIC, "&Size:", stc3, SS_LEFT, 177, 7, 27, 9),
      Item(kComboBoxClass, "", cmb3, list | CBS_HASSTRINGS, 177, 16, 27, 76),
      Item(WC_BUTTON, "OK", IDOK, BS_DEFPUSHBUTTON | tab, 210, 16, 45, 14),
      Item(WC_BUTTON, "Cancel", IDCANCEL, BS_PUSHBUTTON | tab, 210, 32, 45, 14),
      Item(WC_BUTTON, "&Apply", psh3, BS_PUSHBUTTON | tab, 210, 48, 45, 14),
      Item(WC_BUTTON, "&Help", pshHelp, BS_PUSHBUTTON | tab, 210, 64, 45, 14),
      Item(WC_BUTTON, "Effects", grp1, BS_GROUPBOX | WS_GROUP, 7, 97, 98, 72),
      Item(WC_BUTTON, "Stri&keout", chx1, BS_AUTOCHECKBOX | tab, 13, 110, 49, 10),
      Item(WC_BUTTON, "&Underline", chx2, BS_AUTOCHECKBOX, 13, 123, 51, 10),
      Item(WC_STATIC, "&Color:", stc4, SS_LEFT, 13, 136, 30, 9),
      Item(kComboBoxClass, "", cmb4, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | tab, 13, 146, 85, 100),
      Item(WC_BUTTON, "Sample", grp2, BS_GROUPBOX | WS_GROUP, 110, 97, 145, 43),
      Item(WC_STATIC, kSampleText, stc5, SS_OWNERDRAW | SS_NOPREFIX, 116, 107, 133, 29),
      Item(WC_STATIC, "Sc&ript:", stc7, SS_LEFT, 110, 144, 30, 9),
      Item(kComboBoxClass, "", cmb5, CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL | tab, 110, 155, 145, 30),
      Item(WC_STATIC, "", stc6, SS_LEFT | SS_NOPREFIX, 7, 176, 249, 18),
  };
  return t;
}

std::string Trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y)); });
}

std::string ItemText(HWND dialog, int id) {
  char text[256] = {};
  GetDlgItemText(dialog, id, text, sizeof text);
  return Trimmed(text);
}

int ScreenPixelsPerInch() {
  HDC dc = GetDC(nullptr);
  int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

// A size as typed, in tenths of a point; -1 when it is not a number.
int ParseTenths(const std::string& text) {
  if (text.empty()) return -1;
  char* end = nullptr;
  double points = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != '\0' || !(points >= 0) || points > 10000) return -1;
  return static_cast<int>(std::lround(points * 10));
}

std::string TenthsText(int tenths) {
  char text[32];
  if (tenths % 10 == 0)
    std::snprintf(text, sizeof text, "%d", tenths / 10);
  else
    std::snprintf(text, sizeof text, "%d.%d", tenths / 10, tenths % 10);
  return text;
}

class FontDialog {
public:
  explicit FontDialog(CHOOSEFONT* choose)
      : choose_(choose), flags_(choose->Flags), dpi_(ScreenPixelsPerInch()), helpMessage_(RegisterWindowMessage(HELPMSGSTRING)) {}

  // The families the dialog offers; false when there are none.
  bool CollectFaces() {
    EnumFontFamiliesEx(
        nullptr, nullptr,
        [this](const LOGFONT* font, const TEXTMETRIC*, DWORD, LPARAM) {
          std::string name(font->lfFaceName, strnlen(font->lfFaceName, LF_FACESIZE));
          bool fixed = (font->lfPitchAndFamily & 3) == FIXED_PITCH;
          if (name.empty() || name[0] == '@') return 1;
          if ((flags_ & CF_FIXEDPITCHONLY) && !fixed) return 1;
          if (std::none_of(faces_.begin(), faces_.end(), [&](const std::string& f) { return SameText(f, name); }))
            faces_.push_back(name);
          return 1;
        },
        0, 0);
    return !faces_.empty();
  }

  INT_PTR Run() {
    DialogTemplate t = FontTemplate();
    return DialogBoxIndirectParam(nullptr, &t, choose_->hwndOwner,
                                  [this](HWND d, UINT m, WPARAM w, LPARAM l) { return Proc(d, m, w, l); },
                                  reinterpret_cast<LPARAM>(choose_));
  }

private:
  bool Hooked() const { return (flags_ & CF_ENABLEHOOK) && choose_->lpfnHook; }
  bool Limited() const { return (flags_ & CF_LIMITSIZE) != 0; }

  INT_PTR Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
      dialog_ = dialog;
      OnInit();
      if (Hooked()) return static_cast<INT_PTR>(choose_->lpfnHook(dialog, message, wParam, lParam));
      return TRUE;
    }
    if (Hooked() && choose_->lpfnHook(dialog, message, wParam, lParam)) return TRUE;
    switch (message) {
      case WM_COMMAND: return OnCommand(LOWORD(wParam), HIWORD(wParam));
      case WM_HELP: return PressHelpButton(dialog);
      case WM_DRAWITEM: return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      case WM_CHOOSEFONT_GETLOGFONT:
        if (lParam) *reinterpret_cast<LOGFONT*>(lParam) = Current();
        return TRUE;
      case WM_CHOOSEFONT_SETLOGFONT:
        if (lParam) ShowLogFont(*reinterpret_cast<const LOGFONT*>(lParam));
        return TRUE;
      case WM_CHOOSEFONT_SETFLAGS:
        flags_ = static_cast<DWORD>(lParam);
        ShowFlags();
        return TRUE;
    }
    return FALSE;
  }

  void OnInit() {
    for (const std::string& face : faces_) SendDlgItemMessage(dialog_, cmb1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face.c_str()));
    for (int size : kSizes) {
      if (Limited() && (size < choose_->nSizeMin || size > choose_->nSizeMax)) continue;
      SendDlgItemMessage(dialog_, cmb3, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(size).c_str()));
    }
    for (const NamedColour& c : kColours) AddColour(c.name, c.colour);
    SendDlgItemMessage(dialog_, cmb5, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Western"));
    SendDlgItemMessage(dialog_, cmb5, CB_SETCURSEL, 0, 0);
    SetDlgItemText(dialog_, stc6, kScalableNote);
    ShowFlags();

    LOGFONT start;
    if ((flags_ & CF_INITTOLOGFONTSTRUCT) && choose_->lpLogFont) start = *choose_->lpLogFont;
    ShowLogFont(start);
    if ((flags_ & CF_USESTYLE) && choose_->lpszStyle && !(flags_ & CF_NOSTYLESEL)) SelectText(cmb2, choose_->lpszStyle);
    SelectColour(choose_->rgbColors);
  }

  void ShowFlags() {
    bool effects = (flags_ & CF_EFFECTS) != 0;
    for (int id : {grp1, chx1, chx2, stc4, cmb4}) ShowWindow(GetDlgItem(dialog_, id), effects ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(dialog_, psh3), (flags_ & CF_APPLY) ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(dialog_, pshHelp), (flags_ & CF_SHOWHELP) ? SW_SHOW : SW_HIDE);
    EnableWindow(GetDlgItem(dialog_, cmb5), !(flags_ & CF_NOSCRIPTSEL));
    EnableWindow(GetDlgItem(dialog_, stc7), !(flags_ & CF_NOSCRIPTSEL));
  }

  void AddColour(const char* name, COLORREF colour) {
    LRESULT index = SendDlgItemMessage(dialog_, cmb4, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendDlgItemMessage(dialog_, cmb4, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(colour));
  }

  void SelectColour(COLORREF colour) {
    int count = static_cast<int>(SendDlgItemMessage(dialog_, cmb4, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
      if (static_cast<COLORREF>(SendDlgItemMessage(dialog_, cmb4, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)) == colour) {
        SendDlgItemMessage(dialog_, cmb4, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        return;
      }
    AddColour(kCustomColourName, colour);
    SendDlgItemMessage(dialog_, cmb4, CB_SETCURSEL, static_cast<WPARAM>(count), 0);
  }

  COLORREF ChosenColour() const {
    LRESULT index = SendDlgItemMessage(dialog_, cmb4, CB_GETCURSEL, 0, 0);
    if (index < 0) return choose_->rgbColors;
    return static_cast<COLORREF>(SendDlgItemMessage(dialog_, cmb4, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
  }

  // Selects the list entry equal to text (its list spelling then shows), else leaves the text.
  void SelectText(int id, const std::string& text) {
    LRESULT index = text.empty() ? CB_ERR : SendDlgItemMessage(dialog_, id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    if (index != CB_ERR) {
      SendDlgItemMessage(dialog_, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
      return;
    }
    SendDlgItemMessage(dialog_, id, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetDlgItemText(dialog_, id, text.c_str());
  }

  void ShowLogFont(const LOGFONT& font) {
    std::string face(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE));
    if (!(flags_ & CF_NOFACESEL)) SelectText(cmb1, face);
    FillStyles(font.lfWeight >= FW_SEMIBOLD, font.lfItalic != 0, !(flags_ & CF_NOSTYLESEL));
    if (!(flags_ & CF_NOSIZESEL) && font.lfHeight != 0) {
      int tenths = static_cast<int>(std::lround(std::abs(font.lfHeight) * 720.0 / dpi_));
      tenths = (tenths + 5) / 10 * 10;  // a height in pixels is a whole number of points on screen
      SelectText(cmb3, TenthsText(tenths));
    }
    CheckDlgButton(dialog_, chx1, font.lfStrikeOut ? static_cast<UINT>(BST_CHECKED) : static_cast<UINT>(BST_UNCHECKED));
    CheckDlgButton(dialog_, chx2, font.lfUnderline ? static_cast<UINT>(BST_CHECKED) : static_cast<UINT>(BST_UNCHECKED));
    lastTenths_ = CurrentTenths();
    InvalidateSample();
  }

  // The styles of the family the face resolves to; the standard four stand in for those it
  // lacks (drawn by simulation) unless CF_NOSIMULATIONS.
  std::vector<StyleChoice> StylesOf(const std::string& face) const {
    std::vector<StyleChoice> styles;
    // A name typed that is no family here (yet) gets the standard styles, not those of
    // whatever family Fontconfig would fall back to.
    std::vector<FontStyleInfo> known = KnownFace(face) ? InstalledFontStyles(face) : std::vector<FontStyleInfo>{};
    for (const FontStyleInfo& installed : known) {
      if (installed.weight < FW_LIGHT + 50) continue;  // lighter than the engine draws
      StyleChoice style{installed.name, installed.weight >= FW_SEMIBOLD, installed.italic, false};
      if (style.name.empty()) continue;
      if (std::none_of(styles.begin(), styles.end(),
                       [&](const StyleChoice& s) { return s.bold == style.bold && s.italic == style.italic; }))
        styles.push_back(style);
    }
    for (const StyleChoice& standard : kStandardStyles) {
      bool present = std::any_of(styles.begin(), styles.end(), [&](const StyleChoice& s) {
        return s.bold == standard.bold && s.italic == standard.italic;
      });
      if (!present && (!(flags_ & CF_NOSIMULATIONS) || styles.empty())) styles.push_back(standard);
    }
    std::stable_sort(styles.begin(), styles.end(), [](const StyleChoice& a, const StyleChoice& b) {
      return std::pair(a.bold, a.italic) < std::pair(b.bold, b.italic);
    });
    return styles;
  }

  // Refills the style list for the current face; the style chosen stays when the face has it.
  void FillStyles(bool bold, bool italic, bool select) {
    std::string face = CurrentFace();
    if (!styles_.empty() && face == stylesFace_) {
      if (select) SelectStyle(bold, italic);
      return;
    }
    stylesFace_ = face;
    styles_ = StylesOf(face);
    SendDlgItemMessage(dialog_, cmb2, CB_RESETCONTENT, 0, 0);
    for (const StyleChoice& style : styles_)
      SendDlgItemMessage(dialog_, cmb2, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(style.name.c_str()));
    if (select) SelectStyle(bold, italic);
  }

  void SelectStyle(bool bold, bool italic) {
    for (size_t i = 0; i < styles_.size(); ++i)
      if (styles_[i].bold == bold && styles_[i].italic == italic) {
        SendDlgItemMessage(dialog_, cmb2, CB_SETCURSEL, i, 0);
        return;
      }
    SendDlgItemMessage(dialog_, cmb2, CB_SETCURSEL, 0, 0);
  }

  // The style the style field names, else the family's first.
  const StyleChoice& Style() const {
    std::string text = ItemText(dialog_, cmb2);
    for (const StyleChoice& style : styles_)
      if (SameText(text, style.name)) return style;
    return styles_.empty() ? kStandardStyles[0] : styles_.front();
  }

  int CurrentTenths() const { return ParseTenths(ItemText(dialog_, cmb3)); }

  std::string CurrentFace() const {
    std::string typed = ItemText(dialog_, cmb1);
    for (const std::string& face : faces_)
      if (SameText(face, typed)) return face;
    return typed;
  }

  bool KnownFace(const std::string& face) const {
    return std::any_of(faces_.begin(), faces_.end(), [&](const std::string& f) { return f == face; });
  }

  // The choice as it stands; a size not (yet) valid keeps the last valid one.
  LOGFONT Current() const {
    LOGFONT font;
    std::string face = CurrentFace();
    std::strncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    const StyleChoice& style = Style();
    font.lfWeight = style.Weight();
    font.lfItalic = style.italic ? 1 : 0;
    int tenths = CurrentTenths() > 0 ? CurrentTenths() : lastTenths_;
    if (tenths <= 0) tenths = 100;
    font.lfHeight = -static_cast<LONG>(std::lround(tenths * dpi_ / 720.0));
    if (flags_ & CF_EFFECTS) {
      font.lfUnderline = IsDlgButtonChecked(dialog_, chx2) == BST_CHECKED;
      font.lfStrikeOut = IsDlgButtonChecked(dialog_, chx1) == BST_CHECKED;
    }
    font.lfCharSet = ANSI_CHARSET;
    return font;
  }

  BOOL OnCommand(int id, int code) {
    switch (id) {
      case IDOK: OnOk(); return TRUE;
      case IDCANCEL: EndDialog(dialog_, IDCANCEL); return TRUE;
      case pshHelp:
        if (choose_->hwndOwner) SendMessage(choose_->hwndOwner, helpMessage_, reinterpret_cast<WPARAM>(dialog_), reinterpret_cast<LPARAM>(choose_));
        return TRUE;
      case psh3: return TRUE;  // the hook has seen it
      case cmb1:
      case cmb2:
      case cmb3:
      case cmb4:
        if (code == CBN_SELCHANGE || code == CBN_EDITCHANGE) {
          if (id == cmb3 && CurrentTenths() > 0) lastTenths_ = CurrentTenths();
          if (id == cmb1) {
            const StyleChoice style = Style();
            FillStyles(style.bold, style.italic, true);
          }
          InvalidateSample();
        }
        return TRUE;
      case chx1:
      case chx2:
        if (code == BN_CLICKED) InvalidateSample();
        return TRUE;
    }
    return FALSE;
  }

  void InvalidateSample() { InvalidateRect(GetDlgItem(dialog_, stc5), nullptr, TRUE); }

  // Refuses with a message and the focus on the field at fault, as the user can mend it there.
  bool Refuse(int id, const std::string& text) {
    MessageBox(dialog_, text.c_str(), "Font", MB_OK | MB_ICONEXCLAMATION);
    HWND field = GetDlgItem(dialog_, id);
    SetFocus(field);
    SendMessage(field, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    return false;
  }

  bool Validate() {
    std::string face = CurrentFace();
    if (face.empty()) return Refuse(cmb1, FontDialogText::NoFontChosen);
    if ((flags_ & CF_FORCEFONTEXIST) && !KnownFace(face)) return Refuse(cmb1, FontDialogText::NoSuchFont);
    int tenths = CurrentTenths();
    if (tenths <= 0) return Refuse(cmb3, FontDialogText::SizeNotNumber);
    int smallest = Limited() ? choose_->nSizeMin : kSmallestSize, largest = Limited() ? choose_->nSizeMax : kLargestSize;
    if (tenths < smallest * 10 || tenths > largest * 10) {
      char text[128];
      std::snprintf(text, sizeof text, FontDialogText::SizeOutOfRange, smallest, largest);
      return Refuse(cmb3, text);
    }
    return true;
  }

  void OnOk() {
    if (!Validate()) return;
    LOGFONT font = Current();
    const StyleChoice& style = Style();
    if (choose_->lpLogFont) *choose_->lpLogFont = font;
    choose_->iPointSize = CurrentTenths();
    if (flags_ & CF_EFFECTS) choose_->rgbColors = ChosenColour();
    choose_->nFontType = static_cast<WORD>(SCREEN_FONTTYPE | (style.bold ? BOLD_FONTTYPE : 0) |
                                           (style.italic ? ITALIC_FONTTYPE : 0) |
                                           (!style.bold && !style.italic ? REGULAR_FONTTYPE : 0) |
                                           (style.simulated ? SIMULATED_FONTTYPE : 0));
    if ((flags_ & CF_USESTYLE) && choose_->lpszStyle) {
      std::strncpy(choose_->lpszStyle, style.name.c_str(), LF_FACESIZE - 1);
      choose_->lpszStyle[LF_FACESIZE - 1] = '\0';
    }
    EndDialog(dialog_, IDOK);
  }

  BOOL OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlID == static_cast<UINT>(stc5)) {
      DrawSample(item.hDC, item.rcItem);
      return TRUE;
    }
    if (item.CtlID == static_cast<UINT>(cmb4)) {
      DrawColourItem(item);
      return TRUE;
    }
    return FALSE;
  }

  void DrawSample(HDC dc, RECT area) {
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    LOGFONT font = Current();
    if (CurrentFace().empty()) return;
    // Only the middle of a huge sample shows: it is drawn no larger than that.
    LONG most = 4 * (area.bottom - area.top);
    font.lfHeight = std::clamp<LONG>(font.lfHeight, -most, most);
    HFONT handle = CreateFontIndirect(&font);
    HGDIOBJ old = SelectObject(dc, handle);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, (flags_ & CF_EFFECTS) ? ChosenColour() : GetSysColor(COLOR_WINDOWTEXT));
    DrawText(dc, kSampleText, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(handle);
  }

  void DrawColourItem(const DRAWITEMSTRUCT& item) {
    bool selected = (item.itemState & ODS_SELECTED) != 0;
    RECT r = item.rcItem;
    FillRect(item.hDC, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (static_cast<int>(item.itemID) < 0) return;
    RECT swatch{r.left + 2, r.top + 2, r.left + 2 + 3 * (r.bottom - r.top - 4) / 2, r.bottom - 2};
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(item.itemData));
    FillRect(item.hDC, &swatch, brush);
    DeleteObject(brush);
    FrameRect(item.hDC, &swatch, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    char name[64] = {};
    SendMessage(item.hwndItem, CB_GETLBTEXT, item.itemID, reinterpret_cast<LPARAM>(name));
    RECT text{swatch.right + 4, r.top, r.right, r.bottom};
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    DrawText(item.hDC, name, -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &r);
  }

  CHOOSEFONT* choose_;
  DWORD flags_;
  int dpi_;
  UINT helpMessage_;
  HWND dialog_ = nullptr;
  std::vector<std::string> faces_;
  std::vector<StyleChoice> styles_;
  std::string stylesFace_;
  int lastTenths_ = -1;
};

}  // namespace

BOOL ChooseFont(CHOOSEFONT* choose) {
  SetCommDlgExtendedError(0);
  if (!choose || choose->lStructSize != sizeof(CHOOSEFONT)) {
    SetCommDlgExtendedError(CDERR_STRUCTSIZE);
    return FALSE;
  }
  if (!choose->lpLogFont) {
    SetCommDlgExtendedError(CDERR_INITIALIZATION);
    return FALSE;
  }
  if ((choose->Flags & CF_LIMITSIZE) && choose->nSizeMax < choose->nSizeMin) {
    SetCommDlgExtendedError(CFERR_MAXLESSTHANMIN);
    return FALSE;
  }
  FontDialog dialog(choose);
  if (!dialog.CollectFaces()) {
    SetCommDlgExtendedError(CFERR_NOFONTS);
    return FALSE;
  }
  return dialog.Run() == IDOK;
}
