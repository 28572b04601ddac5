#include "vorlen/transform/Matrix2D.h"

// Constant-initialised, so they hold their values before any of the library's code runs.
constinit const Pair<int> PointZero(0, 0);
constinit const Pair<int> PointOne(1, 1);
constinit const Pair<int> PointUnitX(1, 0);
constinit const Pair<int> PointUnitY(0, 1);
constinit const Pair<double> Vector2DZero(0.0, 0.0);
constinit const Pair<double> Vector2DOne(1.0, 1.0);
constinit const Pair<double> Vector2DUnitX(1.0, 0.0);
constinit const Pair<double> Vector2DUnitY(0.0, 1.0);
constinit const Matrix2D _Matrix2DUnit{1.0, 0.0, 0.0, 1.0};
