#pragma once
// File > Save and File > Save As on the active picture.

#include <cstdint>

#include "quillo/document/DocumentList.h"

class TObject;

// Saves the active picture under its own name with the parameters it was loaded or last
// saved with; goes to Save As when it has no name yet or its format cannot write it. True
// when the picture was saved. A dialog tool's preview is taken back first: what is saved is
// the committed picture. Neither saves while an operation runs.
bool SavePicture(TObject* sender);

// Asks for a name and type, then saves the active picture; with no sender, the brush. True when it was saved; a
// cancelled dialog or a failed save leaves the picture as it was.
bool SavePictureAs(TObject* sender);
