// The Plotter in the viewport: placing props with a brush, selecting them in
// the viewport and the placed-props list, and moving, rotating and scaling
// the selected one with the prop gizmo, with the Plotter panel beside it.
#include <cmath>
#include <string>

#include "app/WinGlobals.h"
#include "io/ModelLoader.h"
#include "scene/ObjectMesh.h"
#include "scene/SceneState.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/viewport/InputSupport.h"
#include "ui/PlotterPanel.h"
#include "viewport/PropTransform.h"
#include "viewport/ViewProjection.h"

namespace {

const int CUSTOM = 0;   // brush indices
const int BOX = 1;
const int TILE = 2;

// A generated model and a brush for it.
void AddBrush(const std::wstring& name, const Eigen::MatrixXd& V, const Eigen::MatrixXi& F)
{
    Model model;
    model.id = g_NextModelId++;
    model.name = model.path = name + L".glb";
    model.V = V;
    model.F = F;
    g_Models.push_back(model);
    PropBrush brush;
    brush.name = name;
    brush.modelID = model.id;
    g_PropBrushes.push_back(brush);
}

class Plotter : public ViewportInputTest {
protected:
    void SetUp() override
    {
        ViewportInputTest::SetUp();
        static bool registered = false;
        if (!registered) {
            WNDCLASSEXW panelClass = {};
            panelClass.cbSize = sizeof panelClass;
            panelClass.lpfnWndProc = PlotterPanelWndProc;
            panelClass.hInstance = GetModuleHandleW(nullptr);
            panelClass.lpszClassName = L"OstrelPlotterPanel";
            RegisterClassExW(&panelClass);
            registered = true;
        }
        panel = CreateWindowExW(0, L"OstrelPlotterPanel", L"", WS_CHILD | WS_VISIBLE, VIEW_WIDTH, 0, 230, 700,
                                parent, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(g_hPlacedPropsList, nullptr);

        // The built-in crate, a unit box and a tile with no height.
        ASSERT_EQ(LoadGLBModel(std::wstring(TARSEL_CUSTOM_PROP, TARSEL_CUSTOM_PROP + sizeof TARSEL_CUSTOM_PROP - 1)), 0);
        PropBrush custom;
        custom.name = L"Custom";
        custom.modelID = g_Models[0].id;
        custom.builtIn = true;
        g_PropBrushes.push_back(custom);
        SceneObject cube = MakeMeshCube(-0.5f, -0.5f, -0.5f, 0.5f, 0.5f, 0.5f);
        AddBrush(L"Box", cube.V, cube.F);
        Eigen::MatrixXd tileV(4, 3);
        tileV << -0.5, 0, -0.5, 0.5, 0, -0.5, 0.5, 0, 0.5, -0.5, 0, 0.5;
        Eigen::MatrixXi tileF(2, 3);
        tileF << 0, 1, 2, 0, 2, 3;
        AddBrush(L"Tile", tileV, tileF);

        g_CurrentMode = MODE_PLOTTER;
        g_CurrentTool = TOOL_PLOT;
        RenderFrame();
    }

    // A placement with brush at the ground point (x, z).
    void Plot(int brush, float x, float z)
    {
        g_CurrentTool = TOOL_PLOT;
        g_SelectedPropBrush = brush;
        Click(viewport, Aim(x, g_GridHeight, z));
    }

    // Places a prop of brush in the cell centred on (x, z), selects it and
    // arms the tool.
    void PlaceSelected(int brush, float x, float z, int tool)
    {
        Plot(brush, x, z);
        g_SelectedPropInstance = static_cast<int>(g_PropInstances.size()) - 1;
        g_CurrentTool = tool;
        RenderFrame();
    }

    // A move of the held left button; the cursor goes there too, since the
    // scale and rotate drags read it.
    void DragTo(const ClientPoint& point)
    {
        POINT screen = {point.x, point.y};
        ClientToScreen(viewport, &screen);
        SetCursorPos(screen.x, screen.y);
        Move(viewport, point, MK_LBUTTON);
        RenderFrame();
    }

    int ListCount(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); }
    int ListSelection() { return static_cast<int>(SendMessageW(g_hPlacedPropsList, LB_GETCURSEL, 0, 0)); }
    void PanelCommand(int id, int notification) { SendMessageW(panel, WM_COMMAND, MAKEWPARAM(id, notification), 0); }

    HWND panel = nullptr;
};

bool FiniteBounds(const PropInstance& p)
{
    const Bounds3f& b = p.worldBounds;
    for (float v : {b.minX, b.minY, b.minZ, b.maxX, b.maxY, b.maxZ, p.scale.x, p.scale.y, p.scale.z})
        if (!std::isfinite(v))
            return false;
    return true;
}

} // namespace

TEST_F(Plotter, SnappedPlacementStandsInTheCellCentreAndOnlyAGroundHitWithABrushPlaces)
{
    Plot(CUSTOM, 2.3f, -0.7f);
    ASSERT_EQ(g_PropInstances.size(), 1u);
    const PropInstance& first = g_PropInstances[0];
    const Model& crate = g_Models[0];
    const Eigen::RowVectorXd low = crate.V.colwise().minCoeff(), high = crate.V.colwise().maxCoeff();
    EXPECT_EQ(first.name, L"Custom 1");
    EXPECT_NEAR(first.position.x, 2.5 - (low(0) + high(0)) / 2, 1e-5);
    EXPECT_NEAR(first.position.z, -0.5 - (low(2) + high(2)) / 2, 1e-5);
    EXPECT_NEAR(first.worldBounds.minY, 0.0, 1e-5);

    Plot(CUSTOM, -1.2f, 1.6f);
    Plot(BOX, 0.4f, 2.2f);
    ASSERT_EQ(g_PropInstances.size(), 3u);
    EXPECT_EQ(g_PropInstances[1].name, L"Custom 2");
    EXPECT_EQ(g_PropInstances[2].name, L"Box 3");
    EXPECT_EQ(ListCount(g_hPlacedPropsList), 3);

    // A click off the plane or without a brush places nothing.
    g_CameraPitch = 0.0f;
    RenderFrame();
    const ClientPoint sky = {VIEW_WIDTH / 2, 10};
    float x = 0, z = 0;
    ASSERT_FALSE(ScreenToGroundPlane(sky.x, sky.y, &x, &z));
    g_SelectedPropBrush = CUSTOM;
    Click(viewport, sky);
    g_SelectedPropBrush = 7;
    Click(viewport, Aim(0.0f, 0.0f, 3.0f));
    EXPECT_EQ(g_PropInstances.size(), 3u);
}

TEST_F(Plotter, SelectionInTheViewportAndTheListStayInStep)
{
    Plot(BOX, -2.5f, 0.5f);
    Plot(BOX, 2.5f, 0.5f);
    g_CurrentTool = TOOL_SELECT;
    RenderFrame();
    Click(viewport, Aim(2.5f, 1.0f, 0.5f));
    EXPECT_EQ(g_SelectedPropInstance, 1);
    EXPECT_EQ(ListSelection(), 1);
    EXPECT_EQ(CountLogLines(L"Selected prop instance: Box 2"), 1);

    Click(viewport, Aim(0.0f, 0.0f, -6.0f));
    EXPECT_EQ(g_SelectedPropInstance, -1);
    EXPECT_EQ(ListSelection(), -1);

    SendMessageW(g_hPlacedPropsList, LB_SETCURSEL, 0, 0);
    PanelCommand(PLOTTER_PLACED_LIST, LBN_SELCHANGE);
    EXPECT_EQ(g_SelectedPropInstance, 0);

    // A transform press off the handles on another prop selects it silently.
    g_CurrentTool = TOOL_MOVE;
    RenderFrame();
    Click(viewport, Aim(2.5f, 0.9f, 0.5f));
    EXPECT_EQ(g_SelectedPropInstance, 1);
    EXPECT_EQ(ListSelection(), 1);
    EXPECT_FALSE(g_IsDraggingGizmo);

    // Remove drops the selected prop.
    PanelCommand(PLOTTER_REMOVE_PROP, BN_CLICKED);
    ASSERT_EQ(g_PropInstances.size(), 1u);
    EXPECT_EQ(g_SelectedPropInstance, -1);
    EXPECT_EQ(ListCount(g_hPlacedPropsList), 1);
}

TEST_F(Plotter, MoveFollowsTheTurnedAxisInWholeCellsAndRotationTurnsOneStepPerFiftyPixels)
{
    PlaceSelected(BOX, 0.5f, 0.5f, TOOL_MOVE);
    PropInstance& prop = g_PropInstances[0];
    prop.rotation.y = 90.0f;   // local X now points along world -Z
    RenderFrame();
    const Vec3f start = prop.position;
    const ClientPoint handle = Aim(0.5f, 0.5f, -1.0f);
    Press(viewport, handle);
    ASSERT_TRUE(g_IsDraggingGizmo);
    EXPECT_EQ(g_GizmoAxis, 0);
    DragTo(Aim(0.5f, 0.5f, -1.3f));
    const float amount = start.z - prop.position.z;
    EXPECT_GE(amount, 1.0f);
    EXPECT_FLOAT_EQ(amount, std::round(amount));
    EXPECT_NEAR(prop.position.x, start.x, 1e-5);
    EXPECT_NEAR(prop.worldBounds.maxZ, 1.0f - amount, 1e-5);
    Release(viewport, Aim(0.5f, 0.5f, -1.3f));
    EXPECT_FALSE(g_IsDraggingGizmo);

    // Rotation turns one step per fifty pixels.
    PlaceSelected(BOX, 3.5f, 0.5f, TOOL_ROTATE);
    const float ring = 1.8f * std::sqrt(0.5f);
    const ClientPoint press = Aim(3.5f + ring, 0.5f, 0.5f + ring);
    Press(viewport, press);
    ASSERT_TRUE(g_IsDraggingGizmo);
    ASSERT_EQ(g_GizmoAxis, 1);
    const PropInstance& turned = g_PropInstances[1];
    const int pixels[] = {24, 25, -25, 100};
    const float degrees[] = {0.0f, 5.0f, -5.0f, 10.0f};
    for (int i = 0; i < 4; ++i) {
        DragTo(Offset(press, pixels[i], 0));
        EXPECT_FLOAT_EQ(turned.rotation.y, degrees[i]) << pixels[i] << " pixels";
    }
    Release(viewport, press);
}

TEST_F(Plotter, ScaleGrowsUpwardsAndStopsAtACellOrATenth)
{
    g_GridCellSize = 0.5f;
    PlaceSelected(BOX, 0.25f, 0.25f, TOOL_SCALE);
    const PropInstance& prop = g_PropInstances[0];
    const float centreY = 0.5f;
    const ClientPoint press = Aim(0.25f, centreY + 1.5f, 0.25f);
    Press(viewport, press);
    ASSERT_TRUE(g_IsDraggingGizmo);
    ASSERT_EQ(g_GizmoAxis, 1);

    DragTo(Offset(press, 0, -10));
    EXPECT_GT(prop.scale.y, 1.0f);
    EXPECT_FLOAT_EQ(prop.scale.y * 2.0f, std::round(prop.scale.y * 2.0f));
    DragTo(Offset(press, 0, 300));
    EXPECT_NEAR(prop.scale.y, 0.5f, 1e-5);
    EXPECT_NEAR(prop.worldBounds.maxY, centreY + 0.25f, 1e-5);
    g_SnapToGrid = false;
    DragTo(Offset(press, 0, 300));
    EXPECT_NEAR(prop.scale.y, 0.1f, 1e-5);
    Release(viewport, press);
}

TEST_F(Plotter, AFlatModelScalesWithoutInfiniteScaleOrNaNBounds)
{
    PlaceSelected(TILE, 0.5f, 0.5f, TOOL_SCALE);
    const PropInstance& prop = g_PropInstances[0];
    EXPECT_FLOAT_EQ(prop.worldBounds.minY, prop.worldBounds.maxY);
    for (bool linked : {false, true}) {
        g_LinkScaling = linked;
        const ClientPoint press = Aim(0.5f, 1.0f, 0.5f);
        Press(viewport, press);
        ASSERT_TRUE(g_IsDraggingGizmo);
        ASSERT_EQ(g_GizmoAxis, 1);
        DragTo(Offset(press, 0, -40));
        Release(viewport, Offset(press, 0, -40));
        EXPECT_TRUE(FiniteBounds(prop));
        EXPECT_FLOAT_EQ(prop.scale.y, 1.0f);
        EXPECT_FLOAT_EQ(prop.scale.x, linked ? prop.scale.z : 1.0f);
        RenderFrame();
    }
    EXPECT_GT(prop.scale.x, 1.0f);
}
