#include "viewport/CreationInput.h"

#include <cmath>
#include <string>

#include "scene/DebugLog.h"
#include "scene/PrimitiveCreation.h"
#include "scene/SceneState.h"
#include "viewport/Camera.h"
#include "viewport/ViewProjection.h"
#include "viewport/ViewportState.h"

int g_CreateHeightStartY = 0;

namespace {

// A window point on the working plane, snapped to the grid when snapping is
// on; a miss leaves the corner as it was.
void ResolveCorner(int screenX, int screenY, float* cornerX, float* cornerZ)
{
    float x = 0.0f, z = 0.0f;
    if (!ScreenToGroundPlane(screenX, screenY, &x, &z))
        return;
    if (g_SnapToGrid) {
        x = SnapToGridLine(x, g_GridCellSize);
        z = SnapToGridLine(z, g_GridCellSize);
    }
    *cornerX = x;
    *cornerZ = z;
}

// The knife is a 2 x 2 square about the start corner, whatever was dragged.
void FinishKnife()
{
    DebugLog(L"=== KNIFE CREATION HANDLER FIRED ===");
    DebugLog(L"Center position: X=" + std::to_wstring(g_CreateStartX) + L" Z=" + std::to_wstring(g_CreateStartZ));
    const float centreX = g_CreateStartX, centreZ = g_CreateStartZ;
    g_CreateStartX = centreX - 1.0f;
    g_CreateStartZ = centreZ - 1.0f;
    g_CreateEndX = centreX + 1.0f;
    g_CreateEndZ = centreZ + 1.0f;
    g_CreateHeight = 0.5f;
    DebugLog(L"Calling FinalizeObjectCreation for knife");
    FinalizeObjectCreation();
    if (g_SceneObjects.empty())
        return;
    const SceneObject& knife = g_SceneObjects.back();
    DebugLog(L"Knife created with bounds:");
    DebugLog(L"  X: " + std::to_wstring(knife.minX) + L" to " + std::to_wstring(knife.maxX));
    DebugLog(L"  Y: " + std::to_wstring(knife.minY) + L" to " + std::to_wstring(knife.maxY));
    DebugLog(L"  Z: " + std::to_wstring(knife.minZ) + L" to " + std::to_wstring(knife.maxZ));
}

} // namespace

void ResolvePendingCorners()
{
    if (g_CreateStartPending) {
        ResolveCorner(g_CreateStartScreenX, g_CreateStartScreenY, &g_CreateStartX, &g_CreateStartZ);
        g_CreateStartPending = false;
    }
    if (g_CreateEndPending && g_CreateStage == STAGE_BASE) {
        ResolveCorner(g_PreviewMouseX, g_PreviewMouseY, &g_CreateEndX, &g_CreateEndZ);
        g_CreateEndPending = false;
    }
}

void StartCreationBaseDrag(HWND window, int x, int y)
{
    DebugLog(L"CHECK: g_IsInCreateMode=1");
    DebugLog(L"ENTERED: Create mode block");
    g_CreateStartScreenX = x;
    g_CreateStartScreenY = y;
    g_PreviewMouseX = x;
    g_PreviewMouseY = y;
    g_CreateStartPending = true;
    g_CreateEndPending = true;
    g_CreateStage = STAGE_BASE;
    g_CreateHeight = 0.0f;
    g_IsCreateDragging = true;
    g_LastMouseX = x;
    g_LastMouseY = y;
    SetCapture(window);
}

void MoveCreation(int x, int y)
{
    if (g_CreateStage == STAGE_BASE) {
        g_PreviewMouseX = x;
        g_PreviewMouseY = y;
        g_CreateEndPending = true;
        return;
    }
    // Moving the cursor up raises the height.
    float height = -static_cast<float>(y - g_CreateHeightStartY) * g_CameraDistance * 0.01f;
    if (g_SnapToGrid) {
        height = std::round(height / g_GridCellSize) * g_GridCellSize;
        g_CreateHeight = height < g_GridCellSize ? g_GridCellSize : height;
    } else {
        g_CreateHeight = height < 0.0f ? 0.0f : height;
    }
}

void ReleaseCreation(int y)
{
    if (g_CreateStage == STAGE_BASE) {
        // A press and release within one pass of the main loop have had no
        // frame to resolve their corners yet.
        ResolvePendingCorners();
        DebugLog(L"LBUTTONUP in STAGE_BASE, primitive type: " + std::to_wstring(g_CreatePrimitiveType));
        if (g_CreatePrimitiveType == PRIMITIVE_SPHERE) {
            FinalizeObjectCreation();
        } else if (g_CreatePrimitiveType == PRIMITIVE_KNIFE) {
            FinishKnife();
        } else {
            g_CreateStage = STAGE_HEIGHT;
            g_CreateHeightStartY = y;
        }
    } else if (g_CreateStage == STAGE_HEIGHT) {
        ResolvePendingCorners();
        FinalizeObjectCreation();
    }
}

void ClickCreation()
{
    if (g_CreateStage != STAGE_HEIGHT)
        return;
    ResolvePendingCorners();
    FinalizeObjectCreation();
}
