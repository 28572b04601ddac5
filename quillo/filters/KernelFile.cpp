#include "quillo/filters/KernelFile.h"

#include <cstdio>
#include <memory>

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RegularFile.h"

namespace {

void PutWord(std::string& out, int value) {
  const auto word = static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
  out.push_back(static_cast<char>(word >> 8));
  out.push_back(static_cast<char>(word & 0xFF));
}

int WordAt(const std::string& bytes, std::size_t index) {
  const auto high = static_cast<std::uint8_t>(bytes[2 * index]);
  const auto low = static_cast<std::uint8_t>(bytes[2 * index + 1]);
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(high << 8 | low));
}

}  // namespace

std::string KernelFileContents(const ConvolutionKernel& given) {
  const ConvolutionKernel kernel = ClampedKernel(given);
  std::string out;
  out.reserve(KernelFileBytes);
  for (int cell : kernel.Cells) PutWord(out, cell);
  PutWord(out, kernel.Div);
  PutWord(out, kernel.Bias);
  return out;
}

std::optional<ConvolutionKernel> ParseKernelFile(const std::string& bytes) {
  if (bytes.size() != KernelFileBytes) return std::nullopt;
  ConvolutionKernel kernel;
  for (std::size_t i = 0; i < kernel.Cells.size(); ++i) kernel.Cells[i] = WordAt(bytes, i);
  kernel.Div = WordAt(bytes, KernelCells);
  kernel.Bias = WordAt(bytes, KernelCells + 1);
  return ClampedKernel(kernel);
}

std::optional<ConvolutionKernel> ReadKernelFile(const AnsiString& path) {
  // Only a regular file, opened without waiting: a pipe or a device chosen in the dialog would
  // never end. A file longer than a kernel file is none.
  const RegularFileText file = ReadRegularFile(path, KernelFileBytes + 1);
  if (file.outcome != RegularFileText::Outcome::Read) return std::nullopt;
  return ParseKernelFile(file.text);
}

bool WriteKernelFile(const AnsiString& path, const ConvolutionKernel& kernel) {
  try {
    AtomicFile::WriteFile(path, KernelFileContents(kernel));
    return true;
  } catch (const Exception&) {
    return false;
  }
}
