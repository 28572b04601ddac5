// The selection outline: tracing the mask into a chain code, scaling it to the view, and the
// marching dashes on the screen.

#include "quillo/document/UDBuffer.h"

void UDBuffer::BuildSelectionOutline(bool) {}
void UDBuffer::ScaleSelectionOutline() {}
void UDBuffer::PaintSelectionOutline(bool) {}
