#include "FormulaRun.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <utility>

namespace {

// The fetch routine has no context argument: the run in progress names its picture here.
const TestPicture* gFetchPicture = nullptr;

std::uint32_t FetchFromTestPicture(std::int32_t row, std::int32_t column) { return gFetchPicture->At(row, column); }

struct FetchScope {
  explicit FetchScope(const TestPicture& picture) : previous(gFetchPicture) { gFetchPicture = &picture; }
  ~FetchScope() { gFetchPicture = previous; }
  const TestPicture* previous;
};

// A context ready for a run over `picture`, reading it through the test's fetch routine.
std::unique_ptr<FormulaContext> StartedContext(const TestPicture& picture, const FormulaSliders& sliders) {
  auto context = std::make_unique<FormulaContext>();
  context->Reset();
  context->Start(picture.width, picture.height, sliders.values, &FetchFromTestPicture);
  return context;
}

}  // namespace

TestPicture MakeTestPicture(int width, int height, std::uint32_t seed) {
  TestPicture picture{width, height, std::vector<std::uint32_t>(std::size_t(width) * height)};
  std::uint32_t state = seed * 2654435761u + 1;
  for (std::uint32_t& pixel : picture.pixels) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    pixel = state;
  }
  return picture;
}

std::vector<ChannelValues> RunCompiled(const CompiledFormula& compiled, const TestPicture& picture,
                                       const FormulaSliders& sliders, const PixelsRun& runs) {
  FetchScope scope(picture);
  const auto context = StartedContext(picture, sliders);
  std::vector<ChannelValues> out;
  out.reserve(picture.pixels.size());
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t pixel = picture.pixels[std::size_t(y) * picture.width + x];
      if (runs && !runs(x, y)) {
        out.push_back({std::int32_t(pixel >> 16 & 0xFF), std::int32_t(pixel >> 8 & 0xFF), std::int32_t(pixel & 0xFF),
                       std::int32_t(255 - (pixel >> 24))});
        continue;
      }
      context->x = x;
      context->y = y;
      compiled.Setup()(pixel, context.get());
      ChannelValues values;
      for (int c = 0; c < 4; ++c) values[c] = compiled.Channel(c)(context.get());
      out.push_back(values);
    }
  }
  return out;
}

std::vector<std::uint32_t> RunCompiledRows(const CompiledFormula& compiled, const TestPicture& picture,
                                           const FormulaSliders& sliders) {
  FetchScope scope(picture);
  const auto context = StartedContext(picture, sliders);
  std::vector<std::uint32_t> out(picture.pixels.size(), 0x5A5A5A5A);
  for (int y = 0; y < picture.height; ++y) {
    const std::size_t start = std::size_t(y) * picture.width;
    const int split = y % (picture.width + 1);
    context->y = y;
    context->x = 0;
    compiled.Row()(&picture.pixels[start], &out[start], split, context.get());
    if (context->x != split) throw std::logic_error("the row routine left x at " + std::to_string(context->x));
    compiled.Row()(&picture.pixels[start + split], &out[start + split], picture.width - split, context.get());
    if (context->x != picture.width) throw std::logic_error("the row routine left x at " + std::to_string(context->x));
  }
  return out;
}

std::vector<std::uint32_t> RunCompiledInteriorRows(const CompiledFormula& compiled, const TestPicture& picture,
                                                   const FormulaSliders& sliders) {
  FetchScope scope(picture);
  const auto context = StartedContext(picture, sliders);
  std::vector<std::uint32_t> out(picture.pixels.size(), 0x5A5A5A5A);
  const std::ptrdiff_t rowBytes = std::ptrdiff_t{picture.width} * 4;
  const auto run = [&](int y, int x, int end, bool interior) {
    if (end <= x) return;
    const std::size_t at = std::size_t(y) * picture.width + std::size_t(x);
    context->x = x;
    if (interior)
      compiled.InteriorRow()(&picture.pixels[at], &out[at], end - x, context.get(), rowBytes);
    else
      compiled.Row()(&picture.pixels[at], &out[at], end - x, context.get());
    if (context->x != end) throw std::logic_error("a row routine left x at " + std::to_string(context->x));
  };
  for (int y = 0; y < picture.height; ++y) {
    context->y = y;
    if (y == 0 || y == picture.height - 1 || picture.width < 3) {
      run(y, 0, picture.width, false);
      continue;
    }
    const int split = 1 + y % (picture.width - 1);
    run(y, 0, 1, false);
    run(y, 1, split, true);
    run(y, split, picture.width - 1, true);
    run(y, picture.width - 1, picture.width, false);
  }
  return out;
}

std::uint32_t PackChannels(const ChannelValues& values) {
  const auto clamp = [](std::int32_t v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); };
  return (255 - clamp(values[3])) << 24 | clamp(values[0]) << 16 | clamp(values[1]) << 8 | clamp(values[2]);
}

std::vector<ChannelValues> RunReference(const std::array<std::string, 4>& formulas, const TestPicture& picture,
                                        const FormulaSliders& sliders) {
  std::vector<ReferenceFormula> parsed;
  for (const std::string& text : formulas) parsed.emplace_back(text);
  auto state = std::make_unique<ReferenceRunState>();
  std::copy(std::begin(sliders.values), std::end(sliders.values), state->sliders);
  std::vector<ChannelValues> out;
  out.reserve(picture.pixels.size());
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      ChannelValues values;
      for (int c = 0; c < 4; ++c) values[c] = parsed[c].Evaluate(picture, x, y, c, *state);
      out.push_back(values);
    }
  }
  return out;
}

CompiledFormula CompileTexts(const std::array<std::string, 4>& formulas, FormulaSource& source) {
  for (int c = 0; c < 4; ++c) source.text[c] = formulas[c].c_str();
  return CompileFormula(source);
}

FormulaComparison CompareWithReference(const std::array<std::string, 4>& formulas, const TestPicture& picture,
                                       const FormulaSliders& sliders) {
  FormulaComparison result;
  FormulaSource source;
  const CompiledFormula compiled = CompileTexts(formulas, source);
  std::array<std::string, 4> referenceTexts = formulas;
  for (int c = 0; c < 4; ++c) {
    const ReferenceFormula reference(formulas[c]);
    const FormulaError error = compiled.Error(c);
    const bool limit = error != FormulaError::kNone && error != FormulaError::kSyntax;
    if (limit) {
      ++result.limitsReached;
      referenceTexts[c].assign(1, '0');  // GCC 12 misreads the literal assignment at -O3
      continue;
    }
    if (reference.Valid() != (error == FormulaError::kNone)) {
      result.mismatch = "channel " + std::to_string(c) + (reference.Valid() ? ": only the reference accepts "
                                                                              : ": only the compiler accepts ") +
                        formulas[c];
      return result;
    }
    if (!reference.Valid()) {
      if (reference.ErrorPosition() != source.errorPosition[c] || reference.ErrorLength() != source.errorLength[c]) {
        result.mismatch = "channel " + std::to_string(c) + ": error at " + std::to_string(source.errorPosition[c]) +
                          "+" + std::to_string(source.errorLength[c]) + ", reference " +
                          std::to_string(reference.ErrorPosition()) + "+" + std::to_string(reference.ErrorLength()) +
                          " in " + formulas[c];
        return result;
      }
      ++result.errorsCompared;
    } else {
      ++result.channelsCompared;
    }
  }
  const auto got = RunCompiled(compiled, picture, sliders);
  const auto expected = RunReference(referenceTexts, picture, sliders);
  for (std::size_t k = 0; k < got.size(); ++k) {
    for (int c = 0; c < 4; ++c) {
      if (got[k][c] == expected[k][c]) continue;
      result.mismatch = "pixel " + std::to_string(k) + " channel " + std::to_string(c) + ": compiled " +
                        std::to_string(got[k][c]) + ", reference " + std::to_string(expected[k][c]) + " for " +
                        referenceTexts[c];
      return result;
    }
  }
  // Both ways the program runs rows must write the reference's pixels.
  const std::pair<const char*, std::vector<std::uint32_t>> runs[] = {
      {"rows", RunCompiledRows(compiled, picture, sliders)},
      {"interior rows", RunCompiledInteriorRows(compiled, picture, sliders)}};
  for (const auto& [name, rows] : runs)
    for (std::size_t k = 0; k < rows.size(); ++k) {
      if (rows[k] == PackChannels(expected[k])) continue;
      char text[96];
      std::snprintf(text, sizeof text, "pixel %zu of the %s: %08X, reference %08X", k, name, rows[k],
                    PackChannels(expected[k]));
      result.mismatch = text;
      return result;
    }
  return result;
}
