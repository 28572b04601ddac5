#pragma once
// Convolution kernel files (".acf"): exactly 54 bytes, 27 signed 16-bit big-endian integers:
// the 25 cells row by row, then Div, then Bias. Any other length is no kernel file; values
// out of range are brought into range as they are read, so that a file can never make the
// filter divide by zero or leave its exact arithmetic.

#include <optional>
#include <string>

#include "platform/rtl/AnsiString.h"
#include "quillo/filters/ConvolutionKernel.h"

inline constexpr std::size_t KernelFileBytes = 54;

std::string KernelFileContents(const ConvolutionKernel& kernel);
std::optional<ConvolutionKernel> ParseKernelFile(const std::string& bytes);

// Reads a kernel file; empty when it cannot be read or is no kernel file.
std::optional<ConvolutionKernel> ReadKernelFile(const AnsiString& path);
// Replaces the file in one step; false (the old file untouched) when it cannot be written.
bool WriteKernelFile(const AnsiString& path, const ConvolutionKernel& kernel);
