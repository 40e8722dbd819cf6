#include "app/CsgCommands.h"

#include <algorithm>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "app/CsgMesh.h"
#include "app/CsgText.h"
#include "io/ByteText.h"
#include "scene/DebugLog.h"
#include "scene/Hooks.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"

namespace {

// Texts that tell Intersection and XOR apart; the two share one procedure.
struct SolidsCommand {
    MeshBooleanType type;
    const wchar_t* knifeLog;
    const wchar_t* knifeText;
    const wchar_t* holeLog;
    const wchar_t* holeText;
    const wchar_t* startLog;
    const wchar_t* operandLog;        // before each further operand's name
    const wchar_t* stepFailedLog;     // before the operand's name
    bool logStepResult;
    const wchar_t* emptyLog;
    const wchar_t* emptyCaption;      // nullptr: the empty result is a log line only
    const wchar_t* emptyText;
    const wchar_t* namePrefix;
    const wchar_t* createdLog;
    const wchar_t* clearLog;          // nullptr: none
    const wchar_t* completeLog;
    const wchar_t* summaryCaption;
    const wchar_t* summaryHeading;
    const wchar_t* failedLog;         // before the failure's message
    const wchar_t* failedText;
};

const SolidsCommand INTERSECTION_COMMAND = {
    MESH_BOOLEAN_INTERSECTION,
    L"ERROR: Intersection cannot use knife objects. Use Slice to cut with a knife.",
    L"Intersection operation cannot use knife objects.\n\nUse Slice to cut objects with a knife.",
    L"ERROR: Intersection requires all selected objects to be Solids (not Holes).",
    L"Intersection operation requires all selected objects to be Solids.",
    L"=== CSG Intersection Operation ===",
    L"Intersecting with: ",
    L"ERROR: Intersection operation failed for object: ",
    false,
    L"ERROR: Intersection produced an empty mesh. Objects may not overlap.",
    L"No Intersection",
    L"Intersection operation produced no result. Make sure the selected objects overlap.",
    L"Intersection_",
    L"Intersection object created: ",
    nullptr,
    L"=== Intersection Complete ===",
    L"Intersection",
    L"CSG Intersection completed!\n\n",
    L"Intersection operation failed: ",
    L"CSG Intersection operation failed. See debug log for details.",
};

const SolidsCommand XOR_COMMAND = {
    MESH_BOOLEAN_XOR,
    L"ERROR: XOR cannot use knife objects. Use Slice to cut with a knife.",
    L"XOR operation cannot use knife objects.\n\nUse Slice to cut objects with a knife.",
    L"ERROR: XOR requires all selected objects to be Solids (not Holes).",
    L"XOR operation requires all selected objects to be Solids.",
    L"=== CSG XOR (Symmetric Difference) Operation ===",
    L"XOR with: ",
    L"ERROR: XOR operation failed for object: ",
    true,
    L"ERROR: CSG operation produced an empty mesh. Please check that objects overlap.",
    nullptr,
    nullptr,
    L"XOR_",
    L"XOR object created: ",
    L"CLEAR: After XOR operation",
    L"=== XOR Complete ===",
    L"XOR Operation",
    L"CSG XOR (Symmetric Difference) completed!\n\n",
    L"XOR operation failed: ",
    L"CSG XOR operation failed. See debug log for details.",
};

const wchar_t* const INVALID_SELECTION_CAPTION = L"Invalid Selection";

std::wstring FormatCount(Eigen::Index value) { return std::to_wstring(value); }

// Whether any entry of the list names an object that passes the test.
template <class ObjectTest>
bool AnyValidOperand(const std::vector<int>& list, ObjectTest test)
{
    return std::any_of(list.begin(), list.end(), [&test](int index) {
        return IsSceneObjectIndex(index) && test(g_SceneObjects[static_cast<size_t>(index)]);
    });
}

bool IsKnife(const SceneObject& object) { return object.type == PRIMITIVE_KNIFE; }
bool IsHole(const SceneObject& object) { return object.objectType == OBJECT_HOLE; }
bool IsSolid(const SceneObject& object) { return object.objectType != OBJECT_HOLE; }

// The result's name: the prefix and the object count after the append.
std::wstring MakeResultName(const wchar_t* prefix)
{
    return prefix + std::to_wstring(g_SceneObjects.size() + 1);
}

// The summary's lines after its heading; operands the engine refused are
// named by count, since they stay visible.
std::wstring FormatSummaryLines(const SceneObject& result, const std::vector<int>& list,
                                const std::vector<int>& merged)
{
    std::wstring text = L"Created: " + result.name + L"\n" + L"Vertices: " + FormatCount(result.V.rows()) + L"\n" +
                        L"Faces: " + FormatCount(result.F.rows()) + L"\n\n" + L"Original objects have been hidden.";
    const std::vector<int> operands = DistinctValidIndices(list);
    const size_t skipped = static_cast<size_t>(std::count_if(operands.begin(), operands.end(), [&merged](int index) {
        return std::find(merged.begin(), merged.end(), index) == merged.end();
    }));
    if (skipped > 0)
        text += L"\n\nNot combined: " + std::to_wstring(skipped) +
                L" object(s) could not be combined and stay visible (see debug log).";
    return text;
}

// Text for a fold in which no operand joined the first one.
std::wstring DescribeNothingCombined(const SceneObject& first)
{
    return L"No object could be combined with " + first.name + L".";
}

// Hides the operands that went into the result, each once, in list order.
// Operands the engine refused stay visible: they are not part of the result.
void HideMergedOperands(const std::vector<int>& list, const std::vector<int>& merged, bool logEach)
{
    for (int index : DistinctValidIndices(list)) {
        if (std::find(merged.begin(), merged.end(), index) == merged.end())
            continue;
        SceneObject& operand = g_SceneObjects[static_cast<size_t>(index)];
        operand.visible = false;
        if (logEach)
            DebugLog(L"Hiding object " + std::to_wstring(index) + L": " + operand.name);
    }
}

void LogObjectAndMesh(const wchar_t* which, const SceneObject& object, const AttributedMesh& mesh)
{
    DebugLog(std::wstring(which) + L" object (" + object.name + L") bounds: " +
             FormatBounds(object.minX, object.maxX, object.minY, object.maxY, object.minZ, object.maxZ));
    DebugLog(std::wstring(which) + L" mesh: " + FormatCount(mesh.V.rows()) + L" verts, " + FormatCount(mesh.F.rows()) +
             L" faces");
    DebugLog(L"  " + std::wstring(which) + L" mesh actual bounds: " + FormatMeshBounds(mesh.V));
}

void LogJoinResult(const SceneObject& result)
{
    DebugLog(L"CSG result bounds: " +
             FormatBounds(result.minX, result.maxX, result.minY, result.maxY, result.minZ, result.maxZ));
    DebugLog(L"First 5 vertices of CSG result:");
    for (Eigen::Index row = 0; row < std::min<Eigen::Index>(5, result.V.rows()); ++row)
        DebugLog(L"  V" + FormatCount(row) + L": [" + FormatFixed(result.V(row, 0)) + L", " +
                 FormatFixed(result.V(row, 1)) + L", " + FormatFixed(result.V(row, 2)) + L"]");
    DebugLog(L"First 3 faces of CSG result:");
    for (Eigen::Index row = 0; row < std::min<Eigen::Index>(3, result.F.rows()); ++row)
        DebugLog(L"  F" + FormatCount(row) + L": [" + std::to_wstring(result.F(row, 0)) + L", " +
                 std::to_wstring(result.F(row, 1)) + L", " + std::to_wstring(result.F(row, 2)) + L"]");
}

CommandMessage MakeJoinFailure(const std::wstring& message)
{
    return MakeCommandMessage(L"Join Objects Error", L"CSG operation failed:\n" + message, MESSAGE_ICON_ERROR);
}

// From the choice of the first solid to the summary; the scene changes only
// once the result is complete.
CommandMessage JoinOperands(const std::vector<int>& list, bool subtract)
{
    int first = -1;
    for (int index : list) {
        if (IsSceneObjectIndex(index) && IsSolid(g_SceneObjects[static_cast<size_t>(index)])) {
            first = index;
            break;
        }
    }
    if (first == -1) {
        DebugLog(L"ERROR: No solid object found to start CSG operation.");
        return CommandMessage();
    }

    const SceneObject& firstObject = g_SceneObjects[static_cast<size_t>(first)];
    AttributedMesh A = MakeOperandMesh(firstObject);
    LogObjectAndMesh(L"First", firstObject, A);
    // Once a step succeeded, A is the engine's own output: a valid operand by construction.
    bool aValid = IsGeneratedSolid(firstObject);
    std::vector<int> merged = {first};

    for (int index : list) {
        if (!IsSceneObjectIndex(index) || index == first)
            continue;
        const SceneObject& operand = g_SceneObjects[static_cast<size_t>(index)];
        const AttributedMesh B = MakeOperandMesh(operand);
        LogObjectAndMesh(L"Second", operand, B);
        const bool hole = IsHole(operand);
        DebugLog(L"Before bool: VA=" + FormatCount(A.V.rows()) + L" VB=" + FormatCount(B.V.rows()));
        std::string failure;
        const bool combined = CombineMeshes(A, aValid, B, IsGeneratedSolid(operand),
                                            hole ? MESH_BOOLEAN_MINUS : MESH_BOOLEAN_UNION, hole, failure);
        DebugLog(L"After bool: result=" + FormatCount(A.V.rows()) + L" verts, " + FormatCount(A.F.rows()) +
                 L" faces, success=" + FormatBool(combined));
        if (combined) {
            aValid = true;
            merged.push_back(index);
        } else {
            DebugLog(L"ERROR: Boolean operation failed for object: " + operand.name + L" - " + WidenBytes(failure));
        }
    }

    if (merged.size() < 2)
        return MakeJoinFailure(DescribeNothingCombined(firstObject) + L" See debug log for details.");
    if (A.V.rows() == 0 || A.F.rows() == 0) {
        DebugLog(L"ERROR: CSG operation produced an empty mesh. Please check that objects overlap.");
        return CommandMessage();
    }

    std::vector<SceneObject> results;
    results.push_back(MakeMeshObject(firstObject, PRIMITIVE_CUBE, std::move(A),
                                     MakeResultName(subtract ? L"Subtraction_" : L"Union_")));
    LogJoinResult(results[0]);
    const CommandMessage summary = MakeCommandMessage(
        L"Join Objects",
        L"CSG " + std::wstring(subtract ? L"Subtract (cut holes from solids)" : L"Union (combine solids)") +
            L" completed!\n\n" + FormatSummaryLines(results[0], list, merged),
        MESSAGE_ICON_INFORMATION);

    const int resultIndex = AppendSceneObjects(results);
    DebugLog(L"CSG object added at index " + std::to_wstring(resultIndex) + L", isCSGMesh=" +
             FormatBool(g_SceneObjects[static_cast<size_t>(resultIndex)].isCSGMesh) + L", visible=" +
             FormatBool(g_SceneObjects[static_cast<size_t>(resultIndex)].visible));
    HideMergedOperands(list, merged, true);

    g_OperationSelection.clear();
    g_SelectedObjects.clear();
    g_Hooks.UpdateCSGMenuState();
    g_SelectedObjectIndex = resultIndex;
    DebugLog(L"CLEAR: After CSG operation");
    g_SelectedGroup = -1;
    g_Hooks.RefreshHierarchyTree();
    // The tree only mirrors the selection made here.
    g_TreeSelectionGuard = true;
    g_Hooks.SelectTreeItemByObjectIndex(resultIndex);
    g_TreeSelectionGuard = false;
    g_Hooks.UpdatePropertiesPanel();
    g_Hooks.InvalidateViewport();
    return summary;
}

CommandMessage CombineSolids(const SolidsCommand& command)
{
    const std::vector<int> list = CsgOperandList();
    if (list.size() < 2)
        return CommandMessage();
    SaveUndoState();

    if (AnyValidOperand(list, IsKnife)) {
        DebugLog(command.knifeLog);
        return MakeCommandMessage(INVALID_SELECTION_CAPTION, command.knifeText, MESSAGE_ICON_WARNING);
    }
    if (AnyValidOperand(list, IsHole)) {
        DebugLog(command.holeLog);
        return MakeCommandMessage(INVALID_SELECTION_CAPTION, command.holeText, MESSAGE_ICON_WARNING);
    }
    DebugLog(command.startLog);

    const CommandMessage failedBox = MakeCommandMessage(L"Error", command.failedText, MESSAGE_ICON_ERROR);
    try {
        const std::vector<int>::const_iterator firstEntry =
            std::find_if(list.begin(), list.end(), IsSceneObjectIndex);
        if (firstEntry == list.end())
            return CommandMessage();
        const SceneObject& firstObject = g_SceneObjects[static_cast<size_t>(*firstEntry)];
        DebugLog(L"First object: " + firstObject.name);
        AttributedMesh A = MakeOperandMesh(firstObject);
        bool aValid = IsGeneratedSolid(firstObject);
        std::vector<int> merged = {*firstEntry};
        bool anyCombined = false;

        // A repeat of the first operand takes part again.
        for (std::vector<int>::const_iterator entry = firstEntry + 1; entry != list.end(); ++entry) {
            if (!IsSceneObjectIndex(*entry))
                continue;
            const SceneObject& operand = g_SceneObjects[static_cast<size_t>(*entry)];
            DebugLog(command.operandLog + operand.name);
            const AttributedMesh B = MakeOperandMesh(operand);
            std::string failure;
            if (CombineMeshes(A, aValid, B, IsGeneratedSolid(operand), command.type, false, failure)) {
                aValid = true;
                anyCombined = true;
                merged.push_back(*entry);
                if (command.logStepResult)
                    DebugLog(L"  Result mesh: " + FormatCount(A.V.rows()) + L" vertices, " + FormatCount(A.F.rows()) +
                             L" faces");
            } else {
                DebugLog(command.stepFailedLog + operand.name + L" - " + WidenBytes(failure));
            }
        }

        if (!anyCombined) {
            DebugLog(command.failedLog + DescribeNothingCombined(firstObject));
            return failedBox;
        }
        if (A.V.rows() == 0 || A.F.rows() == 0) {
            DebugLog(command.emptyLog);
            if (!command.emptyCaption)
                return CommandMessage();
            return MakeCommandMessage(command.emptyCaption, command.emptyText, MESSAGE_ICON_WARNING);
        }

        std::vector<SceneObject> results;
        results.push_back(
            MakeMeshObject(firstObject, PRIMITIVE_CUBE, std::move(A), MakeResultName(command.namePrefix)));
        const CommandMessage summary =
            MakeCommandMessage(command.summaryCaption,
                               command.summaryHeading + FormatSummaryLines(results[0], list, merged),
                               MESSAGE_ICON_INFORMATION);
        const int resultIndex = AppendSceneObjects(results);
        DebugLog(command.createdLog + g_SceneObjects[static_cast<size_t>(resultIndex)].name);
        HideMergedOperands(list, merged, false);

        g_OperationSelection.clear();
        g_SelectedObjects.clear();
        g_SelectedObjectIndex = resultIndex;
        if (command.clearLog)
            DebugLog(command.clearLog);
        g_SelectedObjects.push_back(resultIndex);
        // The menu must not keep offering the command for the hidden operands.
        g_Hooks.UpdateCSGMenuState();
        g_Hooks.RefreshHierarchyTree();
        g_Hooks.UpdatePropertiesPanel();
        g_Hooks.InvalidateViewport();
        DebugLog(command.completeLog);
        return summary;
    } catch (const std::exception& e) {
        DebugLog(command.failedLog + WidenBytes(e.what()));
        return failedBox;
    }
}

} // namespace

CommandMessage JoinSelectedObjects()
{
    const std::vector<int> list = CsgOperandList();
    if (list.size() < 2)
        return CommandMessage();
    SaveUndoState();

    if (AnyValidOperand(list, IsKnife)) {
        DebugLog(L"ERROR: Cannot join objects - knife objects are selected. Use Slice to cut with a knife.");
        return MakeCommandMessage(
            INVALID_SELECTION_CAPTION,
            L"Join Objects cannot combine knife objects.\n\nUse Slice to cut objects with a knife.",
            MESSAGE_ICON_WARNING);
    }
    const bool anyHole = AnyValidOperand(list, IsHole);
    const bool anySolid = AnyValidOperand(list, IsSolid);
    if (anyHole && !anySolid) {
        DebugLog(L"ERROR: Cannot join objects - all selected objects are Holes. You need at least one Solid object.");
        return CommandMessage();
    }

    try {
        return JoinOperands(list, anyHole);
    } catch (const std::exception& e) {
        return MakeJoinFailure(WidenBytes(e.what()));
    }
}

CommandMessage IntersectSelectedObjects()
{
    return CombineSolids(INTERSECTION_COMMAND);
}

CommandMessage XorSelectedObjects()
{
    return CombineSolids(XOR_COMMAND);
}
