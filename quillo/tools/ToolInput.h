#pragma once
// The document window's mouse input driving the current tool: the view's press, move,
// release and leave turn view positions into image pixels and run the tool's operations; the
// scroll box's margin passes presses on for tools that hold the pointer inside the image; the
// view's paint adds the tool's overlay beneath the selection outline.

class TImageForm;

// Gives the window's view and scroll box these handlers.
void ConnectToolInput(TImageForm& window);

// Moves point-by-point input to its next point, or ends the operation (a hand-back tool gives
// way to the remembered tool).
void AdvanceToolPoint();
