#pragma once
// An evaluator of the formula language written from the language's definition alone, to
// check the compiler against: it parses a formula into a tree and walks the tree for each
// pixel. It shares no code with the compiler (it has its own scanner, parser and arithmetic);
// only the stored tangent table comes from the golden copy the table test also checks.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// A small source picture: pixels 0xTTRRGGBB, row by row.
struct TestPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  // The pixel at (row, column), both clamped into the picture.
  std::uint32_t At(std::int64_t row, std::int64_t column) const;
};

// What a run of a filter keeps from pixel to pixel and channel to channel.
struct ReferenceRunState {
  std::int32_t sliders[8] = {};
  std::int32_t cells[1024] = {};
  std::uint32_t seed = 0;
};

class ReferenceFormula {
 public:
  struct Node;

  explicit ReferenceFormula(std::string_view text);
  ~ReferenceFormula();
  ReferenceFormula(ReferenceFormula&&) noexcept;
  ReferenceFormula& operator=(ReferenceFormula&&) noexcept;

  bool Valid() const { return root_ != nullptr; }
  int ErrorPosition() const { return errorPosition_; }
  int ErrorLength() const { return errorLength_; }

  // The formula's value for the pixel (x, y) in `channel` (0 red .. 3 opacity); 0 when the
  // formula is not valid. `state` carries cells and seed across calls.
  std::int32_t Evaluate(const TestPicture& picture, int x, int y, int channel, ReferenceRunState& state) const;

 private:
  std::unique_ptr<Node> root_;
  int errorPosition_ = -1;
  int errorLength_ = 0;
};

// The values of the language's tables and per-pixel variables, from their definitions.
namespace formula_reference {
std::int32_t Sine(std::int32_t n);
std::int32_t Cosine(std::int32_t n);
std::int32_t Tangent(std::int32_t n);
std::int32_t Angle(std::int64_t dx, std::int64_t dy);  // atan2(dy, dx) in 1024ths of a turn, rounded
std::int32_t RoundedRoot(long double value);            // rounded to nearest; outside 32 bits: INT32_MIN
}  // namespace formula_reference
