#pragma once
// The preferences kept between runs: read from the registry once at start-up with the main
// window's place, written back at close-down with the toolbars' layout.

class TMainForm;

// Reads the main window's place and every preference from the registry once at start-up,
// creating the language object on the way and asking the user level on the first run.
void LoadSettings(TMainForm* form);
// Writes them back at close-down; failures are swallowed so that the program still closes.
void SaveSettings(TMainForm* form);
// The "Preferences" values alone: the record's fields, and with a main window also what its
// controls and the view's switches hold. Raises ERegistryException when a value cannot be
// written.
void StorePreferences(const TMainForm* form);
// StorePreferences for a dialog's OK, so that accepted changes outlive a program that never
// reaches its close-down; a failure is left to the close-down's write.
void StorePreferencesQuietly(const TMainForm* form);
