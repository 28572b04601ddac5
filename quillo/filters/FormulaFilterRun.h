#pragma once
// Runs a compiled formula filter over a picture: every pixel of the source goes through the
// set-up routine and the four channel routines into the destination, the channels clamped to
// 0..255 and the transparency byte set to 255 minus the opacity. While the active picture has
// a selection, pixels outside the source's mask keep the destination's value. "src", "cnv"
// and "rad" read the source, clamped into it.

#include <cstdint>

#include "quillo/filters/FormulaContext.h"

class CompiledFormula;
class UDBuffer;

// Source and destination are of one size. With `running` the run shows its progress ("Procin",
// a step a row), lets waiting messages run after each row and stops after the row in which
// *running became false; it returns false then. Without it the run neither shows nor waits.
bool RunFormulaFilter(const CompiledFormula& compiled, UDBuffer& source, UDBuffer& destination,
                      const std::int32_t (&sliders)[kFormulaSliders], const bool* running = nullptr);
