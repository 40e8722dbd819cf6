// The preferences file on disk: "config\preferences.ini" beside the
// executable, read into and written from a ColorPreferences.
#pragma once

#include <string>

#include "app/Preferences.h"

std::wstring GetConfigFolder();
std::wstring GetPreferencesFilePath();

// A missing file creates the config folder and leaves prefs as it was.
void LoadPreferences(ColorPreferences& prefs);
// Creates the folder when needed; a file that cannot be written is ignored.
void SavePreferences(const ColorPreferences& prefs);
