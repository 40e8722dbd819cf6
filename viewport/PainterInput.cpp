#include "viewport/PainterInput.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/Modal.h"
#include "scene/FacePainting.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"
#include "ui/MeshConversion.h"
#include "ui/PainterPanel.h"
#include "viewport/Picking.h"

namespace {

const size_t LISTED_FACES = 10;

std::wstring PainterConversionLogLine(const SceneObject& converted)
{
    return L"Converted " + converted.name + L" to mesh: " + std::to_wstring(converted.V.rows()) + L" vertices, " +
           std::to_wstring(converted.F.rows()) + L" faces";
}

// Primitives have no stable faces; the conversion takes no undo snapshot.
bool ConvertForPainting(HWND viewport, int object)
{
    MeshConversionRule rule;
    rule.takeSnapshot = false;
    rule.logLine = PainterConversionLogLine;
    return AskAndConvertToMeshes(viewport,
                                 PrimitivesLead({object}) +
                                     L"To paint individual faces, it must be converted to a mesh.\n"
                                     L"This will allow per-face texturing but you will lose\n"
                                     L"the ability to change primitive parameters.\n\n"
                                     L"Gizmo transformations will still work.\n\n"
                                     L"Convert to mesh?",
                                 {object}, rule);
}

bool IsValidPaintBrush(int index)
{
    return index >= 0 && index < static_cast<int>(g_PaintBrushes.size());
}

void ClearFaceSelection()
{
    g_SelectedFaces.clear();
    g_SelectedFacesObject = -1;
}

// Plain click: the only selected face toggles off; otherwise the selection
// starts again on this object. False when the press ends here.
bool SelectWithoutShift(HWND viewport, int object, int face)
{
    if (object == g_SelectedFacesObject && g_SelectedFaces.size() == 1 && g_SelectedFaces[0] == face) {
        ClearFaceSelection();
        SetPainterStatus(L"No faces selected");
        InvalidateRect(viewport, nullptr, FALSE);
        return false;
    }
    g_SelectedFaces.clear();
    g_SelectedFacesObject = object;
    return true;
}

// Shift+click: faces come from one object only. False when refused.
bool SelectWithShift(HWND viewport, int object)
{
    if (g_SelectedFacesObject == -1) {
        g_SelectedFacesObject = object;
        return true;
    }
    if (g_SelectedFacesObject == object)
        return true;
    ShowMessageBox(viewport, L"Cannot select faces from multiple objects.", L"Multi-Select", MB_OK | MB_ICONWARNING);
    return false;
}

// A face added with Shift and a brush chosen is painted at once, one undo
// step per face.
void ToggleFace(int object, int face, bool shift)
{
    auto found = std::find(g_SelectedFaces.begin(), g_SelectedFaces.end(), face);
    if (found == g_SelectedFaces.end()) {
        g_SelectedFaces.push_back(face);
        if (shift && IsValidPaintBrush(g_SelectedPaintBrush)) {
            SaveUndoState();
            PaintFace(g_SceneObjects[static_cast<size_t>(object)], face,
                      g_PaintBrushes[static_cast<size_t>(g_SelectedPaintBrush)]);
        }
    } else if (shift) {
        g_SelectedFaces.erase(found);
        if (g_SelectedFaces.empty())
            g_SelectedFacesObject = -1;
    }
}

} // namespace

std::wstring FaceSelectionSummary(const std::wstring& objectName)
{
    if (g_SelectedFaces.empty())
        return L"No faces selected";
    std::wstring text = std::to_wstring(g_SelectedFaces.size()) + L" face(s) selected\nObject: " + objectName +
                        L"\nFace indices: ";
    const size_t listed = std::min(g_SelectedFaces.size(), LISTED_FACES);
    for (size_t i = 0; i < listed; ++i) {
        if (i > 0)
            text += L", ";
        text += std::to_wstring(g_SelectedFaces[i]);
    }
    if (g_SelectedFaces.size() > LISTED_FACES)
        text += L"... (+" + std::to_wstring(g_SelectedFaces.size() - LISTED_FACES) + L" more)";
    return text;
}

void HoverPainter(HWND viewport, int x, int y)
{
    int object = -1, face = -1;
    if (PickFace(x, y, &object, &face)) {
        if (object == g_HoveredFaceObject && face == g_HoveredFace)
            return;
        g_HoveredFaceObject = object;
        g_HoveredFace = face;
        if (g_SelectedFaces.empty())
            SetPainterStatus(L"Hovered Face: " + std::to_wstring(face) + L"\nObject: " +
                             g_SceneObjects[static_cast<size_t>(object)].name);
        InvalidateRect(viewport, nullptr, FALSE);
    } else if (g_HoveredFace >= 0) {
        g_HoveredFace = -1;
        g_HoveredFaceObject = -1;
        if (g_SelectedFaces.empty())
            SetPainterStatus(L"No face hovered");
        InvalidateRect(viewport, nullptr, FALSE);
    }
}

void PressPainter(HWND viewport, int x, int y, bool shift)
{
    int object = -1, face = -1;
    if (!PickFace(x, y, &object, &face))
        return;
    if (!g_SceneObjects[static_cast<size_t>(object)].isCSGMesh && !ConvertForPainting(viewport, object))
        return;

    if (!(shift ? SelectWithShift(viewport, object) : SelectWithoutShift(viewport, object, face)))
        return;
    ToggleFace(object, face, shift);
    SetPainterStatus(FaceSelectionSummary(g_SceneObjects[static_cast<size_t>(object)].name));
    InvalidateRect(viewport, nullptr, FALSE);
}
