#include "ui/PropertiesEdits.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/Modal.h"
#include "app/Refresh.h"
#include "app/WinGlobals.h"
#include "scene/DebugLog.h"
#include "scene/Hooks.h"
#include "scene/ObjectMesh.h"
#include "scene/PropInstances.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"
#include "scene/Undo.h"
#include "ui/GridControls.h"
#include "ui/PanelEdits.h"
#include "ui/PropertiesPanel.h"
#include "viewport/Rotation.h"

namespace {

const float UNSNAPPED_STEP = 0.1f;
const float MIN_PROP_SCALE = 0.1f;
const float MIN_STEPPED_SIZE = 0.1f;
const float MIN_TYPED_VALUE = 0.01f;   // cell size, rotation step, tex scale, object size
const float ROTATION_STEP_STEP = 1.0f;
const float TEX_SCALE_STEP = 0.1f;
const int ALPHA_STEP = 5;
const int NAME_MAX = 255;

HWND g_Panel = nullptr;

HWND Control(int id)
{
    return GetDlgItem(g_Panel, id);
}

float ValueOf(int id)
{
    return static_cast<float>(ReadEditNumber(Control(id)));
}

// The panel writes an edit without its EN_CHANGE acting on it.
void WriteGuarded(int id, const wchar_t* format, double value)
{
    const bool updating = g_UpdatingPropertiesPanel;
    g_UpdatingPropertiesPanel = true;
    WriteEditNumber(Control(id), format, value);
    g_UpdatingPropertiesPanel = updating;
}

float& Axis(Vec3f& v, int axis)
{
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

float AxisOf(const Vec3f& v, int axis)
{
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

PropInstance* PropTarget()
{
    if (g_CurrentMode != MODE_PLOTTER || !IsValidPropInstanceIndex(g_SelectedPropInstance))
        return nullptr;
    return &g_PropInstances[g_SelectedPropInstance];
}

SceneObject* ObjectTarget()
{
    if (PropTarget() || !IsValidObjectIndex(g_SelectedObjectIndex))
        return nullptr;
    return &g_SceneObjects[g_SelectedObjectIndex];
}

bool IsGroupSelected()
{
    return g_SelectedGroup >= 0 && g_SelectedGroup < static_cast<int>(g_Groups.size());
}

float PositionStep()
{
    return g_SnapToGrid ? g_GridCellSize : UNSNAPPED_STEP;
}

std::wstring EditText(int id, int maximum)
{
    std::wstring text(static_cast<size_t>(maximum) + 1, L'\0');
    const int length = GetWindowTextW(Control(id), &text[0], maximum + 1);
    text.resize(static_cast<size_t>(std::max(0, length)));
    return text;
}

// World bounds of a prop instance about a new centre, its size kept.
void RecentreProp(PropInstance& prop)
{
    Bounds3f& b = prop.worldBounds;
    const float hx = (b.maxX - b.minX) / 2, hy = (b.maxY - b.minY) / 2, hz = (b.maxZ - b.minZ) / 2;
    b.minX = prop.position.x - hx;
    b.maxX = prop.position.x + hx;
    b.minY = prop.position.y - hy;
    b.maxY = prop.position.y + hy;
    b.minZ = prop.position.z - hz;
    b.maxZ = prop.position.z + hz;
}

// The prop's bounds from its model's vertex extent, its scale and position.
void BoundPropByModel(PropInstance& prop)
{
    const Model* model = FindModelById(prop.modelID);
    if (!model || model->V.rows() == 0 || model->V.cols() < 3)
        return;
    const Eigen::RowVectorXd low = model->V.colwise().minCoeff(), high = model->V.colwise().maxCoeff();
    Bounds3f& b = prop.worldBounds;
    b.minX = static_cast<float>(low(0)) * prop.scale.x + prop.position.x;
    b.maxX = static_cast<float>(high(0)) * prop.scale.x + prop.position.x;
    b.minY = static_cast<float>(low(1)) * prop.scale.y + prop.position.y;
    b.maxY = static_cast<float>(high(1)) * prop.scale.y + prop.position.y;
    b.minZ = static_cast<float>(low(2)) * prop.scale.z + prop.position.z;
    b.maxZ = static_cast<float>(high(2)) * prop.scale.z + prop.position.z;
}

void RefreshAfterChange()
{
    UpdatePropertiesPanel();
    InvalidateViewport();
}

// ---- Typing ----

void RenameProp(PropInstance& prop, const std::wstring& name)
{
    prop.name = name;
    if (!g_hPlacedPropsList)
        return;
    const WPARAM index = static_cast<WPARAM>(g_SelectedPropInstance);
    SendMessageW(g_hPlacedPropsList, LB_DELETESTRING, index, 0);
    SendMessageW(g_hPlacedPropsList, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageW(g_hPlacedPropsList, LB_SETCURSEL, index, 0);
}

void TypeScale(int id, PropInstance* prop, SceneObject* object)
{
    const float typed = ValueOf(id);
    // The edit being typed in keeps its text and caret; only the others follow.
    if (prop) {
        if (g_LinkScaling) {
            if (typed >= MIN_PROP_SCALE) {
                prop->scale = Vec3f(typed, typed, typed);
                for (int other = PROP_SCALE_X_EDIT; other <= PROP_SCALE_X_EDIT + 2; ++other)
                    if (other != id)
                        WriteGuarded(other, L"%.2f", typed);
            }
        } else {
            prop->scale = Vec3f(std::max(MIN_PROP_SCALE, ValueOf(PROP_SCALE_X_EDIT)),
                                std::max(MIN_PROP_SCALE, ValueOf(PROP_SCALE_X_EDIT + 1)),
                                std::max(MIN_PROP_SCALE, ValueOf(PROP_SCALE_X_EDIT + 2)));
        }
        BoundPropByModel(*prop);
        return;
    }
    if (!object)
        return;
    Vec3f size;
    if (g_LinkScaling) {
        for (int other = PROP_SCALE_X_EDIT; other <= PROP_SCALE_X_EDIT + 2; ++other)
            if (other != id)
                WriteGuarded(other, L"%.1f", typed);
        size = Vec3f(typed, typed, typed);
    } else {
        size = Vec3f(ValueOf(PROP_SCALE_X_EDIT), ValueOf(PROP_SCALE_X_EDIT + 1), ValueOf(PROP_SCALE_X_EDIT + 2));
    }
    if (size.x <= MIN_TYPED_VALUE || size.y <= MIN_TYPED_VALUE || size.z <= MIN_TYPED_VALUE)
        return;
    SaveEditUndoStateOnce();
    StoreBounds(*object, BoundsCentre(*object), size);
}

void HandleEditChange(int id)
{
    if (g_UpdatingPropertiesPanel || id < PROP_GRID_HEIGHT_EDIT || id > PROP_ALPHA_EDIT)
        return;
    PropInstance* prop = PropTarget();
    SceneObject* object = ObjectTarget();
    const float value = ValueOf(id);
    if (IsGridEdit(id)) {
        ApplyGridEdit(id, value);
        return;
    }
    switch (id) {
    case PROP_NAME_EDIT:
        if (prop) {
            RenameProp(*prop, EditText(id, NAME_MAX));
        } else if (object) {
            SaveEditUndoStateOnce();
            object->name = EditText(id, NAME_MAX);
        }
        break;
    case PROP_POS_X_EDIT:
    case PROP_POS_X_EDIT + 1:
    case PROP_POS_X_EDIT + 2: {
        const Vec3f position(ValueOf(PROP_POS_X_EDIT), ValueOf(PROP_POS_X_EDIT + 1), ValueOf(PROP_POS_X_EDIT + 2));
        if (prop) {
            prop->position = position;
            prop->gridCellSize = g_GridCellSize;
            RecentreProp(*prop);
        } else if (object) {
            SaveEditUndoStateOnce();
            StoreBounds(*object, position, BoundsSize(*object));
        }
        break;
    }
    case PROP_SCALE_X_EDIT:
    case PROP_SCALE_X_EDIT + 1:
    case PROP_SCALE_X_EDIT + 2:
        TypeScale(id, prop, object);
        break;
    case PROP_ROT_X_EDIT:
    case PROP_ROT_X_EDIT + 1:
    case PROP_ROT_X_EDIT + 2: {
        const Vec3f rotation(ValueOf(PROP_ROT_X_EDIT), ValueOf(PROP_ROT_X_EDIT + 1), ValueOf(PROP_ROT_X_EDIT + 2));
        if (prop) {
            prop->rotation = rotation;
        } else if (object) {
            SaveEditUndoStateOnce();
            SetObjectRotation(*object, rotation);
        }
        break;
    }
    case PROP_ROT_STEP_EDIT:
        if (value > MIN_TYPED_VALUE)
            g_RotationStep = value;
        break;
    case PROP_TEX_SCALE_EDIT:
        if (object && value > MIN_TYPED_VALUE) {
            SaveEditUndoStateOnce();
            object->texScale = value;
            if (object->isCSGMesh)
                std::fill(object->faceTextureScales.begin(), object->faceTextureScales.end(), value);
        }
        break;
    case PROP_ALPHA_EDIT: {
        const int alpha = ReadEditInteger(Control(id));
        if (alpha < 0 || alpha > 255)
            break;
        if (prop) {
            prop->alpha = static_cast<float>(alpha);
        } else if (object) {
            SaveEditUndoStateOnce();
            object->a = alpha;
        }
        break;
    }
    default:
        return;
    }
    InvalidateViewport();
}

// ---- Texture list ----

void PickTexture()
{
    if (!IsValidObjectIndex(g_SelectedObjectIndex))
        return;
    SceneObject& object = g_SceneObjects[g_SelectedObjectIndex];
    const LRESULT item = SendMessageW(g_hObjectTextureCombo, CB_GETCURSEL, 0, 0);
    // A painted mesh's per-face textures are about to be overwritten: keep a way back.
    if (object.isCSGMesh && !object.faceTextureIDs.empty())
        SaveUndoState();
    if (item == 0)
        object.texture = -1;
    else if (item >= 1 && item <= static_cast<LRESULT>(g_Textures.size()))
        object.texture = static_cast<int>(item) - 1;
    if (object.isCSGMesh)
        std::fill(object.faceTextureIDs.begin(), object.faceTextureIDs.end(), object.texture);
    InvalidateViewport();
}

// ---- Buttons ----

// The other selected objects of a group move with the primary; meshes
// carry their vertices along.
void MoveGroupMembers(int axis, float delta)
{
    if (!IsGroupSelected())
        return;
    for (int index : g_SelectedObjects) {
        if (index == g_SelectedObjectIndex || !IsValidObjectIndex(index))
            continue;
        SceneObject& member = g_SceneObjects[index];
        Vec3f centre = BoundsCentre(member);
        Axis(centre, axis) += delta;
        StoreBounds(member, centre, BoundsSize(member));
    }
}

void StepPosition(int id)
{
    const int axis = (id - PROP_POS_X_DOWN) / 2;
    const float delta = ((id - PROP_POS_X_DOWN) % 2 == 0 ? -1.0f : 1.0f) * PositionStep();
    if (PropInstance* prop = PropTarget()) {
        Axis(prop->position, axis) += delta;
        prop->gridCellSize = g_GridCellSize;
        RecentreProp(*prop);
    } else if (SceneObject* object = ObjectTarget()) {
        SaveUndoState();
        Vec3f centre = BoundsCentre(*object);
        Axis(centre, axis) += delta;
        StoreBounds(*object, centre, BoundsSize(*object));
        MoveGroupMembers(axis, delta);
    } else {
        return;
    }
    RefreshAfterChange();
}

// Members keep their place relative to the primary's centre, scaled by the
// primary's change on each axis.
void ScaleGroupMembers(const Vec3f& centre, const Vec3f& oldSize, const Vec3f& newSize)
{
    if (!IsGroupSelected())
        return;
    const float floor = g_SnapToGrid ? g_GridCellSize : MIN_STEPPED_SIZE;
    Vec3f ratio(1.0f, 1.0f, 1.0f);
    for (int axis = 0; axis < 3; ++axis) {
        const float before = AxisOf(oldSize, axis);
        if (before > 0.001f)
            Axis(ratio, axis) = AxisOf(newSize, axis) / before;
    }
    for (int index : g_SelectedObjects) {
        if (index == g_SelectedObjectIndex || !IsValidObjectIndex(index))
            continue;
        SceneObject& member = g_SceneObjects[index];
        const Vec3f c = BoundsCentre(member), size = BoundsSize(member);
        const Vec3f moved(centre.x + (c.x - centre.x) * ratio.x, centre.y + (c.y - centre.y) * ratio.y,
                          centre.z + (c.z - centre.z) * ratio.z);
        const Vec3f scaled(std::max(floor, size.x * ratio.x), std::max(floor, size.y * ratio.y),
                           std::max(floor, size.z * ratio.z));
        StoreBounds(member, moved, scaled);
    }
}

void StepScale(int id)
{
    const int axis = (id - PROP_SCALE_X_DOWN) / 2;
    const bool down = (id - PROP_SCALE_X_DOWN) % 2 == 0;
    const float step = PositionStep();
    auto stepped = [&](float value, float floor) { return down ? std::max(floor, value - step) : value + step; };
    if (PropInstance* prop = PropTarget()) {
        Bounds3f& b = prop->worldBounds;
        float* low[3] = {&b.minX, &b.minY, &b.minZ};
        float* high[3] = {&b.maxX, &b.maxY, &b.maxZ};
        for (int a = 0; a < 3; ++a) {
            if (!g_LinkScaling && a != axis)
                continue;
            Axis(prop->scale, a) = stepped(Axis(prop->scale, a), MIN_PROP_SCALE);
            const float centre = (*low[a] + *high[a]) / 2;
            const float size = stepped(*high[a] - *low[a], MIN_STEPPED_SIZE);
            *low[a] = centre - size / 2;
            *high[a] = centre + size / 2;
        }
    } else if (SceneObject* object = ObjectTarget()) {
        SaveUndoState();
        const Vec3f centre = BoundsCentre(*object), oldSize = BoundsSize(*object);
        Vec3f size = oldSize;
        for (int a = 0; a < 3; ++a)
            if (g_LinkScaling || a == axis)
                Axis(size, a) = stepped(Axis(size, a), MIN_STEPPED_SIZE);
        StoreBounds(*object, centre, size);
        ScaleGroupMembers(centre, oldSize, size);
    } else {
        return;
    }
    RefreshAfterChange();
}

Vec3f TurnAbout(const Vec3f& p, int axis, float c, float s)
{
    switch (axis) {
    case 0: return TurnAboutX(p, c, s);
    case 1: return TurnAboutY(p, c, s);
    default: return TurnAboutZ(p, c, s);
    }
}

Vec3f GroupPivot()
{
    if (g_Groups[g_SelectedGroup].pivotMode == PIVOT_PARENT)
        return BoundsCentre(g_SceneObjects[g_SelectedObjectIndex]);
    Vec3f pivot;
    MeanBoundsCentre(g_SelectedObjects, pivot);
    return pivot;
}

// Every selected object's centre turns about the pivot; tidally locked
// members also turn themselves, the primary has turned already.
void OrbitGroupMembers(int axis, float degrees)
{
    if (!IsGroupSelected())
        return;
    const Vec3f pivot = GroupPivot();
    const float radians = DegreesToRadians(degrees);
    const float c = std::cos(radians), s = std::sin(radians);
    const bool locked = g_Groups[g_SelectedGroup].tidallyLocked;
    for (int index : g_SelectedObjects) {
        if (!IsValidObjectIndex(index))
            continue;
        SceneObject& member = g_SceneObjects[index];
        const Vec3f centre = BoundsCentre(member);
        const Vec3f turned = TurnAbout(Vec3f(centre.x - pivot.x, centre.y - pivot.y, centre.z - pivot.z), axis, c, s);
        StoreBounds(member, Vec3f(turned.x + pivot.x, turned.y + pivot.y, turned.z + pivot.z), BoundsSize(member));
        if (locked && index != g_SelectedObjectIndex) {
            Vec3f rotation = member.rotation;
            Axis(rotation, axis) += degrees;
            SetObjectRotation(member, rotation);
        }
    }
}

void LogRotation(const wchar_t* prefix, const Vec3f& rotation)
{
    DebugLog(std::wstring(prefix) + L": After change - rotX=" + std::to_wstring(rotation.x) + L" rotY=" +
             std::to_wstring(rotation.y) + L" rotZ=" + std::to_wstring(rotation.z) + L" step=" +
             std::to_wstring(g_RotationStep));
}

void StepRotation(int id)
{
    const int axis = (id - PROP_ROT_X_DOWN) / 2;
    const float degrees = ((id - PROP_ROT_X_DOWN) % 2 == 0 ? -1.0f : 1.0f) * g_RotationStep;
    if (PropInstance* prop = PropTarget()) {
        Axis(prop->rotation, axis) += degrees;
        LogRotation(L"PROP ROT BUTTON", prop->rotation);
    } else if (SceneObject* object = ObjectTarget()) {
        SaveUndoState();
        Vec3f rotation = object->rotation;
        Axis(rotation, axis) += degrees;
        SetObjectRotation(*object, rotation);
        OrbitGroupMembers(axis, degrees);
        LogRotation(L"OBJ ROT BUTTON", object->rotation);
    } else {
        return;
    }
    RefreshAfterChange();
}

void StepRotationStep(bool down)
{
    g_RotationStep = down ? std::max(0.1f, g_RotationStep - ROTATION_STEP_STEP) : g_RotationStep + ROTATION_STEP_STEP;
    // Unguarded: the edit's own change stores the value it shows.
    WriteEditNumber(Control(PROP_ROT_STEP_EDIT), L"%.1f", g_RotationStep);
}

void StepTexScale(bool down)
{
    SceneObject* object = ObjectTarget();
    if (!object)
        return;
    // A painted mesh's per-face scales are about to be overwritten: keep a way back.
    if (object->isCSGMesh && !object->faceTextureScales.empty())
        SaveUndoState();
    object->texScale = down ? std::max(0.1f, object->texScale - TEX_SCALE_STEP) : object->texScale + TEX_SCALE_STEP;
    if (object->isCSGMesh)
        std::fill(object->faceTextureScales.begin(), object->faceTextureScales.end(), object->texScale);
    RefreshAfterChange();
}

void StepAlpha(bool down)
{
    if (PropInstance* prop = PropTarget()) {
        int a = static_cast<int>(prop->alpha);
        a = down ? (a - ALPHA_STEP > 0 ? a - ALPHA_STEP : 0) : (a + ALPHA_STEP < 255 ? a + ALPHA_STEP : 255);
        prop->alpha = static_cast<float>(a);
        const bool updating = g_UpdatingPropertiesPanel;
        g_UpdatingPropertiesPanel = true;
        WriteEditInteger(Control(PROP_ALPHA_EDIT), a);
        g_UpdatingPropertiesPanel = updating;
        InvalidateViewport();
    } else if (SceneObject* object = ObjectTarget()) {
        SaveUndoState();
        object->a = std::min(255, std::max(0, object->a + (down ? -ALPHA_STEP : ALPHA_STEP)));
        RefreshAfterChange();
    }
}

void SetFlag(int id)
{
    const bool checked = SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (IsValidObjectIndex(g_SelectedObjectIndex)) {
        SceneObject& object = g_SceneObjects[g_SelectedObjectIndex];
        (id == PROP_VISIBLE_CHECK ? object.visible : object.selectable) = checked;
    } else if (IsValidPropInstanceIndex(g_SelectedPropInstance)) {
        PropInstance& prop = g_PropInstances[g_SelectedPropInstance];
        (id == PROP_VISIBLE_CHECK ? prop.visible : prop.selectable) = checked;
    }
    InvalidateViewport();
}

void SetObjectType(int type)
{
    SceneObject* object = ObjectTarget();
    if (!object)
        return;
    object->objectType = type;
    RefreshAfterChange();
}

void ChooseObjectColor(HWND panel)
{
    SceneObject* object = ObjectTarget();
    if (!object)
        return;
    CHOOSECOLORW chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = panel;
    chooser.rgbResult = RGB(object->r & 0xFF, object->g & 0xFF, object->b & 0xFF);
    chooser.lpCustColors = g_PropertiesCustomColors;
    chooser.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ShowChooseColor(&chooser))
        return;
    SaveUndoState();
    object->r = GetRValue(chooser.rgbResult);
    object->g = GetGValue(chooser.rgbResult);
    object->b = GetBValue(chooser.rgbResult);
    if (object->isCSGMesh)
        std::fill(object->faceColors.begin(), object->faceColors.end(), FaceColor(object->r, object->g, object->b));
    RefreshAfterChange();
}

void HandleButton(HWND panel, int id)
{
    if (IsGridStepButton(id)) {
        StepGrid(panel, id, &g_UpdatingPropertiesPanel);
        return;
    }
    if (id >= PROP_POS_X_DOWN && id < PROP_SCALE_X_DOWN) {
        StepPosition(id);
        return;
    }
    if (id >= PROP_SCALE_X_DOWN && id < PROP_ROT_X_DOWN) {
        StepScale(id);
        return;
    }
    if (id >= PROP_ROT_X_DOWN && id < PROP_ROT_X_DOWN + 6) {
        StepRotation(id);
        return;
    }
    const bool checked = SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    switch (id) {
    case PROP_SHOW_GRID_CHECK:
    case PROP_SNAP_CHECK:
        ApplyGridCheck(panel, id);
        break;
    case PROP_LINK_SCALING_CHECK:
        g_LinkScaling = checked;
        break;
    case PROP_ROT_STEP_DOWN:
    case PROP_ROT_STEP_UP:
        StepRotationStep(id == PROP_ROT_STEP_DOWN);
        break;
    case PROP_TEX_SCALE_DOWN:
    case PROP_TEX_SCALE_UP:
        StepTexScale(id == PROP_TEX_SCALE_DOWN);
        break;
    case PROP_VISIBLE_CHECK:
    case PROP_SELECTABLE_CHECK:
        SetFlag(id);
        break;
    case PROP_ALPHA_DOWN:
    case PROP_ALPHA_UP:
        StepAlpha(id == PROP_ALPHA_DOWN);
        break;
    case PROP_SOLID_RADIO:
        SetObjectType(OBJECT_SOLID);
        break;
    case PROP_HOLE_RADIO:
        SetObjectType(OBJECT_HOLE);
        break;
    case PROP_CHOOSE_COLOR_BUTTON:
        ChooseObjectColor(panel);
        break;
    default:
        break;
    }
}

} // namespace

void HandlePropertiesCommand(HWND panel, WPARAM wParam, LPARAM)
{
    g_Panel = panel;
    const int id = LOWORD(wParam);
    switch (HIWORD(wParam)) {
    case EN_CHANGE:
        HandleEditChange(id);
        break;
    case CBN_SELCHANGE:
        if (id == PROP_TEXTURE_COMBO)
            PickTexture();
        break;
    case BN_CLICKED:
        HandleButton(panel, id);
        break;
    default:
        break;
    }
}
