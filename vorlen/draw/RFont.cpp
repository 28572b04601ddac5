#include "vorlen/draw/RFont.h"

char RFont::path[260] = {};

char* RFont::GetPath() { return path; }
