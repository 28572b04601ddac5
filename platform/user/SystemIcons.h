#pragma once
// The system's own icons in the classic style, drawn with GDI: the generic application
// icon (a small window), and the hand, question, exclamation and asterisk of message boxes.
// MessageBox and the caption draw them straight onto their context; LoadIcon(nullptr, IDI_...)
// answers them as icons made from the same drawing.

#include <cstdint>
#include <optional>

#include "platform/gdi/WinDefs.h"
#include "platform/user/IconImage.h"

// A window with its caption bar filling frame: the picture of the generic application icon,
// at any size (the caption's 16-pixel one, the 32-pixel icon).
void DrawWindowGlyph(HDC dc, const RECT& frame);

// The 32 by 32 picture of a standard icon (IDI_APPLICATION ... IDI_WINLOGO, by number), with
// a mask clear wherever the drawing left the background; none for another number.
std::optional<IconImage> StandardIconImage(std::uintptr_t id);
