#include "app/FileDialogs.h"

#include <commdlg.h>

#include "app/Modal.h"
#include "scene/DebugLog.h"

namespace {

const DWORD FILE_BUFFER_CHARS = 260;
// Format pair, then "All Files", each string NUL-terminated, the list ended
// by an extra NUL (the literal's own).
const wchar_t PROJECT_FILTER[] = L"Tarsel Studio Project (*.tsp)\0*.tsp\0All Files (*.*)\0*.*\0";
const wchar_t GLB_FILTER[] = L"GL Transmission Format Binary (*.glb)\0*.glb\0All Files (*.*)\0*.*\0";
const wchar_t OBJ_FILTER[] = L"Wavefront OBJ (*.obj)\0*.obj\0All Files (*.*)\0*.*\0";
const wchar_t TRS_FILTER[] = L"TarselBasic Runtime Scene (*.trs)\0*.trs\0All Files (*.*)\0*.*\0";
const DWORD SAVE_FLAGS = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;

} // namespace

std::wstring RunFileDialog(HWND owner, const wchar_t* title, const wchar_t* filter, const wchar_t* defaultExtension,
                           DWORD flags, BOOL (*show)(OPENFILENAMEW*))
{
    wchar_t file[FILE_BUFFER_CHARS] = {};
    OPENFILENAMEW request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = filter;
    request.lpstrFile = file;
    request.nMaxFile = FILE_BUFFER_CHARS;
    request.lpstrTitle = title;
    request.Flags = flags;
    request.lpstrDefExt = defaultExtension;
    if (show(&request))
        return file;
    // Cancel leaves no extended error; anything else is a failure worth a line.
    DWORD error = g_ModalScripted ? 0 : CommDlgExtendedError();
    if (error != 0)
        DebugLog(std::wstring(L"ERROR: ") + (title ? title : L"File") + L" dialog failed (error " +
                 std::to_wstring(error) + L")");
    return std::wstring();
}

std::wstring ShowOpenSceneDialog(HWND owner)
{
    return RunFileDialog(owner, L"Open Scene", PROJECT_FILTER, nullptr, OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST, ShowOpenFileDialog);
}

std::wstring ShowSaveSceneDialog(HWND owner)
{
    return RunFileDialog(owner, L"Save Scene", PROJECT_FILTER, L"tsp", OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST, ShowSaveFileDialog);
}

std::wstring ShowExportGLBDialog(HWND owner)
{
    return RunFileDialog(owner, L"Export Scene to GLB", GLB_FILTER, L"glb", SAVE_FLAGS, ShowSaveFileDialog);
}

std::wstring ShowExportOBJDialog(HWND owner)
{
    return RunFileDialog(owner, L"Export Scene to OBJ", OBJ_FILTER, L"obj", SAVE_FLAGS, ShowSaveFileDialog);
}

std::wstring ShowExportRuntimeSceneDialog(HWND owner)
{
    return RunFileDialog(owner, L"Export Runtime Scene to TRS", TRS_FILTER, L"trs", SAVE_FLAGS, ShowSaveFileDialog);
}
