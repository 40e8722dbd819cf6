#include "app/PreferencesFile.h"

#include <windows.h>

#include <cstdio>

#include "app/ExecutableFolder.h"

namespace {

// A preferences file is a few kilobytes; reading stops here so that a
// hostile file cannot exhaust memory.
const size_t PREFERENCES_MAX_BYTES = 1 << 20;

} // namespace

std::wstring GetConfigFolder()
{
    return GetExecutableFolder() + L"\\config";
}

std::wstring GetPreferencesFilePath()
{
    return GetConfigFolder() + L"\\preferences.ini";
}

void LoadPreferences(ColorPreferences& prefs)
{
    FILE* file = _wfopen(GetPreferencesFilePath().c_str(), L"rb");
    if (!file) {
        CreateDirectoryW(GetConfigFolder().c_str(), nullptr);
        return;
    }
    std::string bytes;
    char buffer[4096];
    size_t got = 0;
    while (bytes.size() < PREFERENCES_MAX_BYTES && (got = fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    fclose(file);
    if (bytes.size() > PREFERENCES_MAX_BYTES)
        bytes.resize(PREFERENCES_MAX_BYTES);
    ParsePreferencesText(bytes, prefs);
}

void SavePreferences(const ColorPreferences& prefs)
{
    CreateDirectoryW(GetConfigFolder().c_str(), nullptr);
    FILE* file = _wfopen(GetPreferencesFilePath().c_str(), L"wb");
    if (!file)
        return;
    const std::string text = FormatPreferencesText(prefs);
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
}
