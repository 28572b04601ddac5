#include "vorlen/core/CompositeTables.h"

namespace {

// Running sums instead of a multiplication per entry; every division is of non-negative values.
void BuildProducts(CompositeTableBlock& t) {
  for (int j = 0; j < 256; ++j) t.product[0][j] = 0;
  for (int i = 1; i < 256; ++i) {
    int running = 127;
    for (int j = 0; j < 256; ++j, running += i) t.product[i][j] = static_cast<uchar>(running / 255);
  }
}

void BuildWeights(CompositeTableBlock& t) {
  for (int i = 0; i < 255; ++i) {
    int product = 0;
    for (int j = 0; j < 256; ++j, product += i)
      t.weight[i][j] = static_cast<uchar>((255 * j - product) * 255 / (65025 - product));
  }
  // The formula divides by zero at (255, 255); its limit is 0 everywhere else in the row.
  for (int j = 0; j < 256; ++j) t.weight[255][j] = 0;
}

CompositeTableBlock BuildTables() {
  CompositeTableBlock t;
  BuildProducts(t);
  BuildWeights(t);
  return t;
}

}  // namespace

const CompositeTableBlock& CompositeTables() {
  static const CompositeTableBlock tables = BuildTables();
  return tables;
}

void BlendRun(uint* target, const uint* source, int count) {
  const CompositeTableBlock& t = CompositeTables();
  for (const uint* end = source + count; source != end; ++source, ++target) *target = BlendOver(t, *source, *target);
}
