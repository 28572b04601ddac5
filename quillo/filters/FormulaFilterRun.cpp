#include "quillo/filters/FormulaFilterRun.h"

#include <algorithm>
#include <memory>

#include "platform/vcl/Application.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/Progress.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/filters/FormulaCompiler.h"

namespace {

// The picture "src", "cnv" and "rad" read while a run is on. The compiled routines call the
// fetch routine without a context of their own, so it is published here for the run.
const UDBuffer* FetchSource = nullptr;

std::uint32_t FetchClamped(std::int32_t row, std::int32_t column) {
  const UDBuffer& source = *FetchSource;
  row = std::clamp(row, 0, source.Height() - 1);
  column = std::clamp(column, 0, source.Width() - 1);
  return *source.At(source.rect.left + column, source.rect.top + row);
}

class PublishedSource {
public:
  explicit PublishedSource(const UDBuffer& source) : previous_(FetchSource) { FetchSource = &source; }
  ~PublishedSource() { FetchSource = previous_; }
  PublishedSource(const PublishedSource&) = delete;
  PublishedSource& operator=(const PublishedSource&) = delete;

private:
  const UDBuffer* previous_;
};

bool Selected(const UDBuffer& picture, int x, int y) {
  const BitBuffer& mask = picture.Mask;
  return mask.words != nullptr && x < mask.width && y < mask.height && mask.Test(x, y);
}

// Runs one row: the row routine over each stretch of selected pixels, or over the whole row.
void RunRow(CompiledFormula::RowRoutine row, const UDBuffer& source, UDBuffer& destination, int y, bool masked,
            FormulaContext& context) {
  const int width = source.Width();
  const std::uint32_t* in = source.At(source.rect.left, source.rect.top + y);
  std::uint32_t* out = destination.At(destination.rect.left, destination.rect.top + y);
  context.y = y;
  if (!masked) {
    context.x = 0;
    row(in, out, width, &context);
    return;
  }
  int x = 0;
  while (x < width) {
    while (x < width && !Selected(source, x, y)) ++x;
    const int start = x;
    while (x < width && Selected(source, x, y)) ++x;
    if (x == start) break;
    context.x = start;
    row(in + start, out + start, x - start, &context);
  }
}

}  // namespace

bool RunFormulaFilter(const CompiledFormula& compiled, UDBuffer& source, UDBuffer& destination,
                      const std::int32_t (&sliders)[kFormulaSliders], const bool* running) {
  const int width = std::min(source.Width(), destination.Width());
  const int height = std::min(source.Height(), destination.Height());
  if (source.pixels == nullptr || destination.pixels == nullptr || width <= 0 || height <= 0) return true;

  const PublishedSource published(source);
  auto context = std::make_unique<FormulaContext>();
  context->Reset();
  context->Start(source.Width(), source.Height(), sliders, &FetchClamped);
  // The selection of the active picture decides; the source carries it as its mask (scaled
  // with a thumbnail).
  const bool masked = CurrentPicture != nullptr && CurrentPicture->Outline != nullptr;
  const CompiledFormula::RowRoutine row = compiled.Row();

  if (running == nullptr) {
    for (int y = 0; y < height; ++y) RunRow(row, source, destination, y, masked, *context);
    return true;
  }
  SetProgressText("Procin");
  const ProgressOperation progress(height);
  for (int y = 0; y < height; ++y) {
    RunRow(row, source, destination, y, masked, *context);
    ProgressStep(y + 1);
    Application()->ProcessMessages();
    if (!*running) return false;
  }
  return true;
}
