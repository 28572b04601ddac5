#pragma once
// The floating-point control word, read and set around calls into foreign code. x86-64 has
// two units: the x87 control word is the one read and written; SetFPUCW carries its exception
// masks and rounding mode over to the SSE unit as well, since that is where compiled code
// does its arithmetic.

#include <cstdint>

std::uint16_t GetFPUCW();
// Clears pending floating-point exceptions on both units, then loads the control word.
void SetFPUCW(std::uint16_t word);
