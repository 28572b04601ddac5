#include "FilterComponentSamples.h"

#include <fstream>
#include <iterator>

#include "FormulaRun.h"

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string BuiltFilterTemplate() { return FileBytes(std::string(QUILLO_BIN_DIR) + "/ffqlc.qlc"); }

CompiledFormula CompileFormulas(const std::array<std::string, 4>& formulas) {
  FormulaSource source;
  return CompileTexts(formulas, source);
}

FormulaFilter TitledFilter(const std::string& title) {
  FormulaFilter f;
  f.title = title;
  f.author = "Ann";
  f.copyright = "(c) Ann";
  return f;
}
