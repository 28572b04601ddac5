#include "quillo/shell/UndoForm.h"

std::uint8_t UndoFormShown = 0;

void CloseUndoForm() {}
