#pragma once
// The dialog filters keep an untouched copy of the picture they preview on: each run starts
// from it, and Cancel puts it back.

#include "quillo/document/UDBuffer.h"

// Allocates a picture's pixels; a test may make it fail (leave the pixels null).
using UntouchedCopyAllocator = void (*)(UDBuffer& picture, int width, int height);

// The allocation the program uses.
void AllocUntouchedCopy(UDBuffer& picture, int width, int height);

// Makes copy hold picture's pixels, mask and attributes. Without memory for it, says "NoMem",
// hands back to the previous tool and returns false, copy left empty.
bool TakeUntouchedCopy(UDBuffer& copy, UDBuffer& picture, UntouchedCopyAllocator allocate);
