#include "app/ExportCommands.h"

#include <string>

#include "app/FileDialogs.h"
#include "app/Modal.h"
#include "io/GlbExport.h"
#include "io/ObjExport.h"
#include "io/RuntimeSceneExport.h"

namespace {

void RunExport(const std::wstring& path, ExportOutcome (*exporter)(const std::wstring&))
{
    if (path.empty())
        return;
    for (const CommandMessage& message : exporter(path).messages)
        ShowCommandMessage(nullptr, message);
}

} // namespace

void ExportGLB(HWND mainWindow) { RunExport(ShowExportGLBDialog(mainWindow), ExportSceneToGLB); }

void ExportOBJ(HWND mainWindow) { RunExport(ShowExportOBJDialog(mainWindow), ExportSceneToOBJ); }

void ExportRuntimeSceneFile(HWND mainWindow)
{
    RunExport(ShowExportRuntimeSceneDialog(mainWindow), ExportRuntimeScene);
}
