// Slice: the first selected knife cuts every other selected object in two.
#include "app/CsgCommands.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include <Eigen/Geometry>

#include "app/CsgMesh.h"
#include "app/CsgText.h"
#include "io/ByteText.h"
#include "scene/DebugLog.h"
#include "scene/EraseObject.h"
#include "scene/Hooks.h"
#include "scene/ObjectMesh.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"

namespace {

// The plane the knife is drawn in: through `origin`, spanned by u and w, with
// `normal` pointing to the knife's upper side.
struct CutFrame {
    Eigen::Vector3d origin;
    Eigen::Vector3d u;
    Eigen::Vector3d normal;
    Eigen::Vector3d w;
};

double DegreesToRadians(float degrees)
{
    return static_cast<double>(degrees * 3.1415927f / 180.0f);
}

// The knife is drawn as the rectangle y = minY turned about its bounds centre
// the way drawing turns it (glRotatef about y, then x, then z): the cut lies
// exactly where the user sees the knife.
CutFrame ComputeKnifeCutFrame(const SceneObject& knife)
{
    const Eigen::Vector3d centre(static_cast<double>((knife.minX + knife.maxX) * 0.5f),
                                 static_cast<double>((knife.minY + knife.maxY) * 0.5f),
                                 static_cast<double>((knife.minZ + knife.maxZ) * 0.5f));
    const Eigen::Matrix3d turn =
        (Eigen::AngleAxisd(DegreesToRadians(knife.rotation.y), Eigen::Vector3d::UnitY()) *
         Eigen::AngleAxisd(DegreesToRadians(knife.rotation.x), Eigen::Vector3d::UnitX()) *
         Eigen::AngleAxisd(DegreesToRadians(knife.rotation.z), Eigen::Vector3d::UnitZ()))
            .toRotationMatrix();
    CutFrame frame;
    frame.u = turn.col(0);
    frame.normal = turn.col(1);
    frame.w = turn.col(2);
    frame.origin = centre + (static_cast<double>(knife.minY) - centre.y()) * frame.normal;
    return frame;
}

// A box in the frame's coordinates: x and z from -extent to extent, y from
// low to high. Both cutters build their shared face from the same expression
// and split it along the same diagonal, so the two fragments meet on one
// surface without a gap or an overlap.
AttributedMesh MakeCutter(const CutFrame& frame, double extent, double low, double high)
{
    AttributedMesh box;
    box.V.resize(8, 3);
    const double xs[2] = {-extent, extent};
    const double ys[2] = {low, high};
    for (int k = 0; k < 2; ++k)
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i)
                box.V.row(i + 2 * j + 4 * k) =
                    (frame.origin + xs[i] * frame.u + ys[j] * frame.normal + xs[k] * frame.w).transpose();
    // Vertex i + 2j + 4k is corner (x i, y j, z k); outward, counter-clockwise.
    box.F.resize(12, 3);
    box.F << 0, 1, 5,  0, 5, 4,   // y low
             2, 7, 3,  2, 6, 7,   // y high, same diagonal as y low
             0, 2, 3,  0, 3, 1,   // z low
             4, 5, 7,  4, 7, 6,   // z high
             0, 4, 6,  0, 6, 2,   // x low
             1, 3, 7,  1, 7, 5;   // x high
    return box;
}

// Cutters reach beyond every vertex of the object, whatever its size and
// distance from the knife.
double ComputeCutterExtent(const Eigen::MatrixXd& V, const CutFrame& frame)
{
    double reach = 0.0;
    for (Eigen::Index row = 0; row < V.rows(); ++row)
        reach = std::max(reach, (V.row(row).transpose() - frame.origin).norm());
    return 2.0 * reach + 1.0;
}

// Intersects the object's mesh with one cutter.
bool CutWith(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F, bool objectGenerated, const AttributedMesh& cutter,
             AttributedMesh& fragment, std::string& failure)
{
    MeshBooleanOptions options;
    options.operandAValid = objectGenerated;
    options.operandBValid = true;
    Eigen::VectorXi J;
    MeshBooleanFailure why;
    if (MeshBoolean(V, F, cutter.V, cutter.F, MESH_BOOLEAN_INTERSECTION, options, fragment.V, fragment.F, J, &why))
        return true;
    failure = DescribeMeshBooleanFailure(why);
    return false;
}

// Cuts one object into up to two fragment objects added to `fragments`. The
// object counts as cut only when both cuts succeeded and left something;
// otherwise nothing is added and the reason is logged.
bool CutObject(const SceneObject& object, const SceneObject& knife, const CutFrame& frame,
               std::vector<SceneObject>& fragments)
{
    DebugLog(L"Slicing object: " + object.name);
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    ObjectToMesh(object, V, F);
    DebugLog(L"  Knife center: X=" + FormatFixed((knife.minX + knife.maxX) * 0.5f) + L" Y=" +
             FormatFixed((knife.minY + knife.maxY) * 0.5f) + L" Z=" + FormatFixed((knife.minZ + knife.maxZ) * 0.5f));
    DebugLog(L"  Knife rotation: X=" + FormatFixed(knife.rotation.x) + L" Y=" + FormatFixed(knife.rotation.y) +
             L" Z=" + FormatFixed(knife.rotation.z));
    DebugLog(L"  Plane normal: (" + FormatFixed(frame.normal.x()) + L", " + FormatFixed(frame.normal.y()) + L", " +
             FormatFixed(frame.normal.z()) + L")");

    const double extent = ComputeCutterExtent(V, frame);
    const bool generated = IsGeneratedSolid(object);
    AttributedMesh below;
    AttributedMesh above;
    std::string belowFailure;
    std::string aboveFailure;
    DebugLog(L"  Computing fragment below plane...");
    const bool belowDone = CutWith(V, F, generated, MakeCutter(frame, extent, -extent, 0.0), below, belowFailure);
    DebugLog(L"  Computing fragment above plane...");
    const bool aboveDone = CutWith(V, F, generated, MakeCutter(frame, extent, 0.0, extent), above, aboveFailure);

    if (!belowDone && !aboveDone) {
        DebugLog(L"  ERROR: Both fragment cuts failed - " + WidenBytes(belowFailure));
        return false;
    }
    // Keeping one side alone would lose the other half of the object.
    if (!belowDone || !aboveDone) {
        DebugLog(std::wstring(belowDone ? L"  ERROR: Fragment cut above plane failed - "
                                        : L"  ERROR: Fragment cut below plane failed - ") +
                 WidenBytes(belowDone ? aboveFailure : belowFailure));
        return false;
    }

    std::vector<AttributedMesh> pieces;
    if (below.V.rows() > 0) {
        DebugLog(L"    Fragment A: " + std::to_wstring(below.V.rows()) + L" vertices");
        pieces.push_back(std::move(below));
    }
    if (above.V.rows() > 0) {
        DebugLog(L"    Fragment B: " + std::to_wstring(above.V.rows()) + L" vertices");
        pieces.push_back(std::move(above));
    }
    if (pieces.empty()) {
        DebugLog(L"  ERROR: The cuts left no fragment");
        return false;
    }

    // Named by position: a lone fragment is FragmentA on either side.
    const wchar_t* const NAMES[2] = {L"FragmentA", L"FragmentB"};
    for (size_t k = 0; k < pieces.size(); ++k) {
        SceneObject fragment = MakeMeshObject(object, object.type, std::move(pieces[k]), NAMES[k]);
        DebugLog(L"Created: " + fragment.name + L" (" + std::to_wstring(fragment.V.rows()) + L" vertices, " +
                 std::to_wstring(fragment.F.rows()) + L" faces)");
        fragments.push_back(std::move(fragment));
    }
    return true;
}

// Builds every fragment first; the scene changes only when all cuts are done.
CommandMessage SliceWithKnives(const std::vector<int>& knives, const std::vector<int>& objects)
{
    const SceneObject& knife = g_SceneObjects[static_cast<size_t>(knives[0])];
    const CutFrame frame = ComputeKnifeCutFrame(knife);
    std::vector<SceneObject> fragments;
    std::vector<int> sliced;
    for (int index : objects) {
        if (CutObject(g_SceneObjects[static_cast<size_t>(index)], knife, frame, fragments))
            sliced.push_back(index);
    }
    if (sliced.empty())
        return MakeCommandMessage(L"Slice Error",
                                  L"Slice operation failed:\nNo object could be cut. See debug log for details.",
                                  MESSAGE_ICON_ERROR);

    std::wstring text = L"Slice operation completed!\n\nCreated: " + std::to_wstring(fragments.size()) +
                        L" fragment(s)\nSliced: " + std::to_wstring(sliced.size()) + L" object(s)\nUsed: " +
                        std::to_wstring(knives.size()) + L" knife(s)\n\nOriginal objects have been hidden.\n" +
                        L"Knife objects have been removed from the scene.";
    const size_t uncut = objects.size() - sliced.size();
    if (uncut > 0)
        text += L"\n\nNot sliced: " + std::to_wstring(uncut) +
                L" object(s) could not be cut and stay visible (see debug log).";
    const CommandMessage summary = MakeCommandMessage(L"Slice", text, MESSAGE_ICON_INFORMATION);
    const size_t fragmentCount = fragments.size();

    AppendSceneObjects(fragments);
    for (int index : sliced)
        g_SceneObjects[static_cast<size_t>(index)].visible = false;
    // Highest first, so the lower knife indices stay valid while erasing.
    std::vector<int> erased = knives;
    std::sort(erased.rbegin(), erased.rend());
    for (int index : erased)
        EraseSceneObject(index);

    g_OperationSelection.clear();
    g_Hooks.UpdateCSGMenuState();
    g_Hooks.RefreshHierarchyTree();
    g_Hooks.UpdatePropertiesPanel();
    g_Hooks.InvalidateViewport();
    DebugLog(L"=== Slice Complete: " + std::to_wstring(fragmentCount) + L" fragments created ===");
    return summary;
}

} // namespace

CommandMessage SliceSelectedObjects()
{
    const std::vector<int> list = CsgOperandList();
    SaveUndoState();
    DebugLog(L"=== Slice Operation Started ===");

    // Each object once: a repeated entry would only duplicate its fragments.
    std::vector<int> knives;
    std::vector<int> objects;
    for (int index : DistinctValidIndices(list))
        (g_SceneObjects[static_cast<size_t>(index)].type == PRIMITIVE_KNIFE ? knives : objects).push_back(index);
    DebugLog(L"Knives: " + std::to_wstring(knives.size()) + L", Objects to slice: " + std::to_wstring(objects.size()));
    if (knives.empty() || objects.empty())
        return MakeCommandMessage(L"Slice", L"Slice requires at least one knife and one object.", MESSAGE_ICON_WARNING);

    try {
        return SliceWithKnives(knives, objects);
    } catch (const std::exception& e) {
        return MakeCommandMessage(L"Slice Error", L"Slice operation failed:\n" + WidenBytes(e.what()),
                                  MESSAGE_ICON_ERROR);
    }
}
