#include "app/FileCommands.h"

#include <string>

#include "app/Commands.h"
#include "app/ExecutableFolder.h"
#include "app/FileDialogs.h"
#include "app/MenuState.h"
#include "app/Modal.h"
#include "app/PreferencesFile.h"
#include "app/WinGlobals.h"
#include "io/ProjectReader.h"
#include "io/ProjectWriter.h"
#include "scene/SceneState.h"
#include "ui/PainterPanel.h"
#include "ui/PlotterPanel.h"

namespace {

// The project boxes have no owner window.
void SaveTo(const std::wstring& path)
{
    std::wstring failure;
    if (SaveScene(path, failure))
        ShowMessageBox(nullptr, L"Scene saved successfully!", L"Save Complete", MB_OK | MB_ICONINFORMATION);
    else
        ShowMessageBox(nullptr, failure, L"Save Error", MB_OK | MB_ICONERROR);
}

} // namespace

void FileOpen(HWND mainWindow)
{
    std::wstring path = ShowOpenSceneDialog(mainWindow);
    if (path.empty())
        return;
    ProjectLoadReport report;
    if (!LoadScene(path, ExecutableFolderWithSeparator(), &report)) {
        ShowMessageBox(nullptr, L"Failed to open scene file!", L"Load Error", MB_OK | MB_ICONERROR);
        return;
    }
    FillPropBrushList();
    FillPlacedPropsList();
    ForgetPaintBrushTextures();
    RefreshPlotterPropCombo();
    UpdateCSGMenuState();
    // A partial scene must not pass for the file: the reader has also emptied
    // the current path, so Save cannot overwrite what was left unread.
    if (report.Clean())
        ShowMessageBox(nullptr, L"Scene loaded successfully!", L"Load Complete", MB_OK | MB_ICONINFORMATION);
    else
        ShowMessageBox(nullptr, PartialLoadMessage(report), L"Load Complete", MB_OK | MB_ICONWARNING);
}

void FileSave(HWND mainWindow)
{
    if (!g_CurrentScenePath.empty()) {
        SaveTo(g_CurrentScenePath);
        return;
    }
    FileSaveAs(mainWindow);
}

void FileSaveAs(HWND mainWindow)
{
    std::wstring path = ShowSaveSceneDialog(mainWindow);
    if (!path.empty())
        SaveTo(path);
}
