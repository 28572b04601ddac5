#pragma once
// Hue, saturation and value: the conversions the shade fill and the colour dialog share. They
// compute in single precision and truncate, so that every colour comes out as it always has.
// Hue is in degrees (0 to 359), saturation and value 0 to 255.

void RGB2HSV(int r, int g, int b, int& h, int& s, int& v);
// Any hue is taken round the circle first (720 is 0, -1 is 359).
void HSV2RGB(int h, int s, int v, int& r, int& g, int& b);
