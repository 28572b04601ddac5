#include "quillo/shell/Settings.h"

TSettings Settings;
