#include "app/ExecutableFolder.h"

#include <windows.h>

#include <vector>

#include "io/PropBrushes.h"

namespace {

// Windows paths cannot be longer than this, whatever the prefix.
const DWORD MAX_MODULE_PATH = 32768;

} // namespace

std::wstring GetExecutableFolder()
{
    // GetModuleFileNameW truncates silently when the buffer is full, so grow
    // it until the whole path fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD length = 0;
    for (;;) {
        length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size() || buffer.size() >= MAX_MODULE_PATH)
            break;
        buffer.resize(buffer.size() * 2);
    }
    std::wstring folder(buffer.data(), length);
    const size_t cut = folder.find_last_of(L"\\/");
    if (cut != std::wstring::npos)
        folder.erase(cut);
    return folder;
}

std::wstring ExecutableFolderWithSeparator()
{
    return GetExecutableFolder() + L"\\";
}

void LoadBuiltInCustomProp()
{
    LoadBuiltInCustomPropFrom(ExecutableFolderWithSeparator());
}
