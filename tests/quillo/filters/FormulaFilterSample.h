#pragma once
// A formula filter with every field filled: the inverting formulas, eight named sliders and
// the four texts.

#include <string>

#include "quillo/filters/FormulaFilterFile.h"

inline FormulaFilter Sample(const std::string& title) {
  FormulaFilter f;
  for (int i = 0; i < kFilterSliders; ++i) {
    f.values[i] = i * 30;
    f.names[i] = "Slider " + std::to_string(i + 1);
  }
  f.formulas[0] = "255-r";
  f.formulas[1] = "255-g";
  f.formulas[2] = "255-b";
  f.formulas[3] = "a";
  f.category = "Colour";
  f.title = title;
  f.author = "Ann";
  f.copyright = "(c) Ann";
  return f;
}
