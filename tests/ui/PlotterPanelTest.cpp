// The Plotter panel in the running editor: Ctrl+3 shows it with every model
// and brush, brushes are created, renamed, given a model and removed (the
// built-in one is kept), and File New and Open leave no list naming the old
// scene.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/Commands.h"
#include "app/Modal.h"
#include "app/WinGlobals.h"
#include "io/ModelLoader.h"
#include "io/ProjectWriter.h"
#include "resources/resource.h"
#include "scene/SceneState.h"
#include "app/Theme.h"
#include "tests/app/AppHarness.h"
#include "tests/ui/PanelTestSupport.h"
#include "ui/PlotterPanel.h"
#include "ui/PropertiesPanel.h"

namespace {

std::wstring CustomPropPath()
{
    const char* narrow = TARSEL_CUSTOM_PROP;
    return std::wstring(narrow, narrow + std::char_traits<char>::length(narrow));
}

std::vector<std::wstring> ListItems(HWND list, bool combo)
{
    const UINT count = combo ? CB_GETCOUNT : LB_GETCOUNT, get = combo ? CB_GETLBTEXT : LB_GETTEXT;
    std::vector<std::wstring> items;
    const int n = static_cast<int>(SendMessageW(list, count, 0, 0));
    for (int i = 0; i < n; ++i) {
        wchar_t text[300] = {};
        SendMessageW(list, get, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

std::vector<std::wstring> ModelItems()
{
    std::vector<std::wstring> items = {L"None"};
    for (const Model& model : g_Models)
        items.push_back(model.name);
    return items;
}

class PlotterPanel : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_EQ(LoadGLBModel(CustomPropPath()), 0);
        PropBrush custom;
        custom.name = L"Custom";
        custom.modelID = g_Models[0].id;
        custom.builtIn = true;
        g_PropBrushes.push_back(custom);
        Model box;
        box.id = g_NextModelId++;
        box.name = L"Box.glb";
        g_Models.push_back(box);
        Command(ID_MODE_PLOTTER);
        nameEdit = GetDlgItem(g_hPlotterPanel, PLOTTER_BRUSH_NAME);
    }
    void TearDown() override
    {
        Command(ID_MODE_MODELLER);
        AppTest::TearDown();
    }

    void PanelCommand(int id, int notification = BN_CLICKED)
    {
        SendMessageW(g_hPlotterPanel, WM_COMMAND, MAKEWPARAM(id, notification), 0);
    }
    void PickBrush(int index)
    {
        SendMessageW(g_hPropBrushList, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        PanelCommand(PLOTTER_BRUSH_LIST, LBN_SELCHANGE);
    }
    int ComboSelection() { return static_cast<int>(SendMessageW(g_hPropModelCombo, CB_GETCURSEL, 0, 0)); }

    HWND nameEdit = nullptr;
};

} // namespace

TEST_F(PlotterPanel, EnteringThePlotterShowsEveryModelAndBrush)
{
    EXPECT_TRUE(IsWindowVisible(g_hPlotterPanel));
    EXPECT_EQ(ListItems(g_hPropModelCombo, true), (std::vector<std::wstring>{L"None", L"customprop.glb", L"Box.glb"}));
    EXPECT_EQ(ListItems(g_hPropBrushList, false), std::vector<std::wstring>{L"Custom"});

    // Only the active tool button has the thick accent frame.
    PanelCommand(PLOTTER_TOOL_SCALE);
    EXPECT_EQ(g_CurrentTool, TOOL_SCALE);
    const HWND scale = GetDlgItem(g_hPlotterPanel, PLOTTER_TOOL_SCALE);
    const HWND plot = GetDlgItem(g_hPlotterPanel, PLOTTER_TOOL_PLOT);
    EXPECT_EQ(PrintedPixel(scale, 1, 1), RGB(0, 120, 215));
    EXPECT_EQ(PrintedPixel(plot, 1, 1), ColorOf(g_ColorPrefs.UIEditBackground));
}

TEST_F(PlotterPanel, BrushesAreCreatedRenamedGivenOneModelAndTheBuiltInOneStays)
{
    PanelCommand(PLOTTER_CREATE_BRUSH);
    EXPECT_EQ(WindowText(nameEdit), L"Prop 2");
    EXPECT_EQ(SendMessageW(g_hPropBrushList, LB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(IsWindowEnabled(g_hPropModelCombo));

    SetWindowTextW(nameEdit, L"Tree");
    EXPECT_EQ(g_PropBrushes[1].name, L"Tree");
    EXPECT_EQ(ListItems(g_hPropBrushList, false), (std::vector<std::wstring>{L"Custom", L"Tree"}));

    SendMessageW(g_hPropModelCombo, CB_SETCURSEL, 2, 0);
    PanelCommand(PLOTTER_MODEL_COMBO, CBN_SELCHANGE);
    EXPECT_EQ(g_PropBrushes[1].modelID, g_Models[1].id);
    EXPECT_FALSE(IsWindowEnabled(g_hPropModelCombo));

    // The built-in brush shows its model, closed, and cannot be removed.
    PickBrush(0);
    EXPECT_EQ(ComboSelection(), 1);
    EXPECT_FALSE(IsWindowEnabled(g_hPropModelCombo));
    QueueModalAnswer(IDOK);
    PanelCommand(PLOTTER_REMOVE_BRUSH);
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].text, L"Cannot remove built-in prop brush.");
    EXPECT_EQ(g_PropBrushes.size(), 2u);

    PickBrush(1);
    EXPECT_EQ(ComboSelection(), 2);
    PanelCommand(PLOTTER_REMOVE_BRUSH);
    EXPECT_EQ(ListItems(g_hPropBrushList, false), std::vector<std::wstring>{L"Custom"});
    EXPECT_EQ(WindowText(nameEdit), L"");
}

TEST_F(PlotterPanel, APropPickedInTheListShowsInThePropertiesPanel)
{
    PropInstance crate;
    crate.modelID = g_Models[0].id;
    crate.name = L"Crate 1";
    crate.position = Vec3f(1.5f, 0.0f, -2.5f);
    g_PropInstances.push_back(crate);
    FillPlacedPropsList();
    SendMessageW(g_hPlacedPropsList, LB_SETCURSEL, 0, 0);
    PanelCommand(PLOTTER_PLACED_LIST, LBN_SELCHANGE);
    EXPECT_EQ(WindowText(GetDlgItem(g_hPropertiesPanel, PROP_NAME_EDIT)), L"Crate 1");
    EXPECT_EQ(WindowText(GetDlgItem(g_hPropertiesPanel, PROP_POS_X_EDIT)), L"1.50");

    PanelCommand(PLOTTER_REMOVE_PROP);
    EXPECT_TRUE(ListItems(g_hPlacedPropsList, false).empty());
    EXPECT_NE(WindowText(GetDlgItem(g_hPropertiesPanel, PROP_NAME_EDIT)), L"Crate 1");
}

TEST_F(PlotterPanel, NewAndOpenLeaveNoListNamingTheOldScene)
{
    PropInstance crate;
    crate.modelID = g_Models[0].id;
    crate.name = L"Custom 1";
    g_PropInstances.push_back(crate);
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path =
        std::wstring(folder) + L"tarsel-plotter-" + std::to_wstring(GetCurrentProcessId()) + L".tsp";
    std::wstring failure;
    ASSERT_TRUE(SaveScene(path, failure)) << std::string(failure.begin(), failure.end());

    g_PropInstances.push_back(crate);
    g_PropInstances.back().name = L"Old 2";
    FillPlacedPropsList();
    QueueModalAnswer(IDYES);
    Command(ID_FILE_NEW);
    EXPECT_TRUE(ListItems(g_hPlacedPropsList, false).empty());
    EXPECT_EQ(ListItems(g_hPropModelCombo, true), ModelItems());

    g_Models.push_back(Model());
    g_Models.back().name = L"Gone.glb";
    RefreshPlotterPropCombo();
    g_ModalAnswers.push_back({TRUE, path, 0});
    QueueModalAnswer(IDOK);
    Command(ID_FILE_OPEN);
    ASSERT_EQ(g_ModalCalls.back().caption, L"Load Complete");
    EXPECT_EQ(ListItems(g_hPlacedPropsList, false), std::vector<std::wstring>{L"Custom 1"});
    EXPECT_EQ(ListItems(g_hPropModelCombo, true), ModelItems());
    DeleteFileW(path.c_str());
}

TEST_F(PlotterPanel, ClosingThePropManagerOffersTheModelsThereAre)
{
    g_Models.pop_back();
    QueueModalAnswer(IDOK);
    Command(ID_TOOLS_PROPMANAGER);
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(ListItems(g_hPropModelCombo, true), (std::vector<std::wstring>{L"None", L"customprop.glb"}));
}
