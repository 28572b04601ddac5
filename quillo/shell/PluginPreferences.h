#pragma once
// The Plug-Ins page of the preferences: filled with the plug-in settings and the files that
// failed to load at the last scan; on OK the components and the filter plug-ins follow the
// new settings at once, and nothing is scanned again when nothing about them changed.

class TPreferences;

void FillPluginPage(TPreferences* dialog);
void ApplyPluginPage(const TPreferences* dialog);
