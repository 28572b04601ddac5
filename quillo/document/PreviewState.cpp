#include "quillo/document/PreviewState.h"

bool PreviewValid = false;
