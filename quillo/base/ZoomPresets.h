#pragma once
// The zoom presets of the main window's zoom control as arithmetic: positions 1 to 32 are
// the factors 1 to 32, positions 0 to -8 the fractions 3/4, 2/3, 1/2, 1/3, 1/4, 1/5, 1/6,
// 1/8 and 1/10.

#include <cstdint>

#include "platform/rtl/AnsiString.h"

constexpr int MinZoomPosition = -8;
constexpr int MaxZoomPosition = 32;
// A view whose longer side would reach this many pixels is not made.
constexpr int MaxViewSide = 32000;

// The factor of a position (positions outside the range are taken at its nearest end).
double ZoomFactorAt(int position);
// The position for a factor: its integer part from 1 up (32 at the most), else the first
// fraction not more than 0.005 above it (1/10 at the least).
int ZoomPositionFor(double factor);
// The zoom the view control takes: numerator | denominator << 16.
std::uint32_t PackedZoomAt(int position);
// "3/4" for a fraction, the number for a factor.
AnsiString ZoomLabelAt(int position);
// The position itself when a view whose longer side is longerSide image pixels stays under
// MaxViewSide at it, else the largest position below it that does (the smallest preset when
// none does).
int CappedZoomPosition(int position, int longerSide);
// The view size of an image side at a position, as the view control draws it.
int ZoomedSize(int imageSize, int position);
