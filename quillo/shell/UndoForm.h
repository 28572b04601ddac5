#pragma once
// The undo history drop-down of the Undo and Redo buttons.

#include <cstdint>

// 1 while the drop-down is open.
extern std::uint8_t UndoFormShown;
// Closes the drop-down when it is open.
void CloseUndoForm();
