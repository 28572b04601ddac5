#include "platform/vcl/Color.h"

#include <iterator>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

namespace {

struct ColorName {
  TColor colour;
  const char* name;
};

// The names the framework writes; where two names share a value (clSilver and clLtGray,
// clGray and clDkGray) the first is written and both are read.
constexpr ColorName kNames[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"},
    {clMedGray, "clMedGray"}, {clLtGray, "clLtGray"}, {clDkGray, "clDkGray"},
    {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"}, {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"}, {clWindow, "clWindow"}, {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"}, {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"}, {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"}, {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"}, {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"}, {clMenuBar, "clMenuBar"}, {clNone, "clNone"},
    {clDefault, "clDefault"},
};

}  // namespace

COLORREF ColorToRGB(TColor colour) {
  if (colour < 0) return GetSysColor(colour & 0xFF);
  return static_cast<COLORREF>(colour);
}

bool ColorToIdent(TColor colour, AnsiString& ident) {
  for (const ColorName& n : kNames)
    if (n.colour == colour) {
      ident = n.name;
      return true;
    }
  return false;
}

bool IdentToColor(const AnsiString& ident, TColor& colour) {
  for (const ColorName& n : kNames)
    if (SameText(ident, n.name)) {
      colour = n.colour;
      return true;
    }
  return false;
}

AnsiString ColorToString(TColor colour) {
  AnsiString name;
  if (ColorToIdent(colour, name)) return name;
  return Format("$%08X", static_cast<unsigned>(colour));
}

TColor StringToColor(const AnsiString& text) {
  TColor colour = 0;
  if (IdentToColor(text, colour)) return colour;
  // Values are 32-bit patterns: "$80000005" is a system colour, not an overflow.
  std::int64_t value = StrToInt64(text);
  if (value < INT32_MIN || value > UINT32_MAX) throw EConvertError(Format("'%s' is not a valid integer value", text.c_str()));
  return static_cast<TColor>(static_cast<std::uint32_t>(value));
}
