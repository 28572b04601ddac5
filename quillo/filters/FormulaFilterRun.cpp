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
// fetch routine without a context of their own, so the picture is published here for the run,
// as what the fetch needs of it: "cnv" alone calls it nine times a pixel.
struct FetchPicture {
  const std::uint32_t* pixels = nullptr;
  long stride = 0;
  int lastRow = 0;
  int lastColumn = 0;
};
FetchPicture FetchSource;

std::uint32_t FetchClamped(std::int32_t row, std::int32_t column) {
  const FetchPicture& source = FetchSource;
  row = std::clamp(row, 0, source.lastRow);
  column = std::clamp(column, 0, source.lastColumn);
  return source.pixels[row * source.stride + column];
}

class PublishedSource {
public:
  explicit PublishedSource(const UDBuffer& source) : previous_(FetchSource) {
    FetchSource = {source.At(source.rect.left, source.rect.top), source.stride, source.Height() - 1,
                   source.Width() - 1};
  }
  ~PublishedSource() { FetchSource = previous_; }
  PublishedSource(const PublishedSource&) = delete;
  PublishedSource& operator=(const PublishedSource&) = delete;

private:
  FetchPicture previous_;
};

bool Selected(const UDBuffer& picture, int x, int y) {
  const BitBuffer& mask = picture.Mask;
  return mask.words != nullptr && x < mask.width && y < mask.height && mask.Test(x, y);
}

// The routines of one run over one picture. A stretch of a row runs through the interior row
// routine where every pixel's neighbours lie inside the picture, and through the row routine
// (whose "cnv" fetches clamped neighbours) at the picture's edges.
struct RowRoutines {
  CompiledFormula::RowRoutine edge;
  CompiledFormula::InteriorRowRoutine interior;
  std::ptrdiff_t rowBytes;
  int width, height;

  void Run(const std::uint32_t* in, std::uint32_t* out, int y, int start, int end, FormulaContext& context) const {
    const bool interiorRow = y > 0 && y < height - 1;
    // The interior pixels are first .. last - 1: none in the top and bottom rows, nor in the
    // first and last columns.
    const int first = interiorRow ? std::min(std::max(start, 1), end) : end;
    const int last = interiorRow ? std::max(first, std::min(end, width - 1)) : end;
    context.x = start;
    if (first > start) edge(in + start, out + start, first - start, &context);
    if (last > first) {
      context.x = first;
      interior(in + first, out + first, last - first, &context, rowBytes);
    }
    if (end > last) {
      context.x = last;
      edge(in + last, out + last, end - last, &context);
    }
  }
};

// Runs one row: the routines over each stretch of selected pixels, or over the whole row.
void RunRow(const RowRoutines& routines, const UDBuffer& source, UDBuffer& destination, int y, bool masked,
            FormulaContext& context) {
  const int width = source.Width();
  const std::uint32_t* in = source.At(source.rect.left, source.rect.top + y);
  std::uint32_t* out = destination.At(destination.rect.left, destination.rect.top + y);
  context.y = y;
  if (!masked) {
    routines.Run(in, out, y, 0, width, context);
    return;
  }
  int x = 0;
  while (x < width) {
    while (x < width && !Selected(source, x, y)) ++x;
    const int start = x;
    while (x < width && Selected(source, x, y)) ++x;
    if (x == start) break;
    routines.Run(in, out, y, start, x, context);
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
  const RowRoutines row{compiled.Row(), compiled.InteriorRow(), source.stride * std::ptrdiff_t{4}, source.Width(),
                        source.Height()};

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
