#pragma once
// The 2 x 2 matrix of the affine transforms and the library's geometry constants.

#include "vorlen/core/Types.h"

// a, b, c, d row by row: a point (x, y) as a row vector maps to (a x + c y, b x + d y).
struct Matrix2D {
  double a = 0.0;
  double b = 0.0;
  double c = 0.0;
  double d = 0.0;
};

extern const Pair<int> PointZero;
extern const Pair<int> PointOne;
extern const Pair<int> PointUnitX;
extern const Pair<int> PointUnitY;
extern const Pair<double> Vector2DZero;
extern const Pair<double> Vector2DOne;
extern const Pair<double> Vector2DUnitX;
extern const Pair<double> Vector2DUnitY;
extern const Matrix2D _Matrix2DUnit;
