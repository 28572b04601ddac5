#pragma once
// The identifiers the common dialogs give their own controls, so that hooks and child
// templates can find, read, move or hide them by the numbers they know.

constexpr int ctlFirst = 0x0400, ctlLast = 0x04FF;
constexpr int psh1 = 0x0400, psh2 = 0x0401, psh3 = 0x0402, psh4 = 0x0403, psh15 = 0x040E, pshHelp = psh15,
              psh16 = 0x040F;
constexpr int chx1 = 0x0410, chx2 = 0x0411;
constexpr int rad1 = 0x0420, rad2 = 0x0421;
constexpr int grp1 = 0x0430, grp2 = 0x0431;
constexpr int stc1 = 0x0440, stc2 = 0x0441, stc3 = 0x0442, stc4 = 0x0443, stc5 = 0x0444, stc32 = 0x045F;
constexpr int lst1 = 0x0460, lst2 = 0x0461;
constexpr int cmb1 = 0x0470, cmb2 = 0x0471, cmb3 = 0x0472, cmb13 = 0x047C;
constexpr int edt1 = 0x0480, edt2 = 0x0481;
constexpr int scr1 = 0x0490;
constexpr int ctl1 = 0x04A0;
