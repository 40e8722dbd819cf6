#include "io/PropBrushes.h"

#include "io/FileUtil.h"
#include "io/ModelLoader.h"
#include "scene/DebugLog.h"
#include "scene/SceneState.h"

std::wstring BuiltInCustomPropPath(const std::wstring& executableFolder)
{
    return executableFolder + L"config" + PATH_SEPARATOR + L"customprop.glb";
}

void LoadBuiltInCustomPropFrom(const std::wstring& executableFolder)
{
    std::wstring path = BuiltInCustomPropPath(executableFolder);
    DebugLog(L"Loading built-in Custom prop from: " + path);
    int index = LoadGLBModel(path);
    if (index < 0 || static_cast<size_t>(index) >= g_Models.size()) {
        DebugLog(L"WARNING: Failed to load custom prop from " + path);
        return;
    }
    PropBrush brush;
    brush.name = L"Custom";
    brush.modelID = g_Models[index].id;
    brush.builtIn = true;
    g_PropBrushes.push_back(brush);
    DebugLog(L"Custom prop brush created successfully (built-in, cannot be removed)");
}
