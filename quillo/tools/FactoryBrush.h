#pragma once
// The factory brush: a round or square brush of a size and hardness in one colour, its soft
// edge a ring of steps whose transparency falls linearly to the opaque core. The brush sheet
// builds it; the caller rebuilds BrushShape afterwards (UpdateBrushShape).

#include <cstdint>

enum class FactoryShape { Round, Square };

// Makes Brush the factory brush: size 1 or more pixels (a round one is made odd), hardness 1
// to 100 (100: no soft edge), colour 0x00RRGGBB; BrushShape is allocated at Brush's size.
// Sizes and hardnesses outside those ranges are taken to the nearest inside.
void MakeFactoryBrush(FactoryShape shape, int size, int hardness, std::uint32_t colour);
