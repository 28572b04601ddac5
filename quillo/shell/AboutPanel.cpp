#include "quillo/shell/AboutPanel.h"

void BeginSplash(bool) {}
void EndSplash() {}
