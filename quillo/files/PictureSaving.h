#pragma once
// What File > Save and File > Save As do to one picture: Save writes it under its own name
// with the parameters it was loaded or last saved with, Save As asks for a name and type
// first. The menu commands (SaveCommands.h) run them on the active picture.

class UDBuffer;

// True when the picture was saved. Goes to SaveAs when the picture has no name yet or its
// format cannot write it.
bool SavePictureFile(UDBuffer& picture);

// True when the picture was saved; a cancelled dialog (SaveCancelled set) or a failed save
// leaves the picture, its name and its parameters as they were.
bool SavePictureFileAs(UDBuffer& picture);

// Asks for a name and type, then saves the brush (Brush, through BrushShape). True when it was
// saved; the brush then carries the name and the parameters.
bool SaveBrushFileAs();
