#pragma once
// What the tests of made filter components share: the built template and filters to make.

#include <array>
#include <string>

#include "quillo/filters/FormulaCompiler.h"
#include "quillo/filters/FormulaFilterFile.h"

std::string FileBytes(const std::string& path);
// The template as the build put it into the program folder.
std::string BuiltFilterTemplate();
CompiledFormula CompileFormulas(const std::array<std::string, 4>& formulas);
// A filter with that title, an author and a copyright, no slider named.
FormulaFilter TitledFilter(const std::string& title);
