#include <gtest/gtest.h>

#include "TestSupport.h"
#include "io/FileUtil.h"
#include "io/ModelLoader.h"
#include "io/PropBrushes.h"
#include "io/Utf8.h"
#include "scene/SceneState.h"

namespace {

struct PropBrushTest : ::testing::Test {
    TempFolder temp;

    void SetUp() override { ResetAssetState(); }
    void TearDown() override { ResetAssetState(); }

    // An executable folder (non-ASCII name) holding config/customprop.glb.
    std::wstring FolderWithBuiltInProp()
    {
        std::wstring folder = temp.MakeSubfolder(L"Programme \u00C9t\u00E9 \u6587");
        temp.MakeSubfolder(L"Programme \u00C9t\u00E9 \u6587" + std::wstring(1, PATH_SEPARATOR) + L"config");
        WriteTestFile(BuiltInCustomPropPath(folder), TriangleGlb({0, 0, 0, 1, 0, 0, 0, 1, 0}));
        return folder;
    }
};

} // namespace

TEST_F(PropBrushTest, CustomBrushIsMadeFromTheBuiltInModel)
{
    std::wstring folder = FolderWithBuiltInProp();
    LoadBuiltInCustomPropFrom(folder);
    ASSERT_EQ(1u, g_PropBrushes.size());
    EXPECT_EQ(L"Custom", g_PropBrushes[0].name);
    EXPECT_TRUE(g_PropBrushes[0].builtIn);
    EXPECT_EQ(1, g_PropBrushes[0].modelID);
    std::wstring path = folder + L"config" + PATH_SEPARATOR + L"customprop.glb";
    EXPECT_EQ(L"Loading built-in Custom prop from: " + path, g_CapturedLog.front());
    EXPECT_EQ(L"Loading model: " + path, g_CapturedLog[1]);
    EXPECT_EQ(L"Custom prop brush created successfully (built-in, cannot be removed)", g_CapturedLog.back());
}

TEST_F(PropBrushTest, WithoutTheModelThereIsNoBrush)
{
    LoadBuiltInCustomPropFrom(temp.path);
    EXPECT_TRUE(g_PropBrushes.empty());
    EXPECT_EQ(L"WARNING: Failed to load custom prop from " + temp.path + L"config" + PATH_SEPARATOR + L"customprop.glb",
              g_CapturedLog.back());
}

TEST_F(PropBrushTest, RepeatedCallsReuseTheModel)
{
    std::wstring folder = FolderWithBuiltInProp();
    LoadBuiltInCustomPropFrom(folder);
    g_PropBrushes.clear();
    LoadBuiltInCustomPropFrom(folder);
    ASSERT_EQ(1u, g_PropBrushes.size());
    EXPECT_EQ(1, g_PropBrushes[0].modelID);
    EXPECT_EQ(1u, g_Models.size());
    // With the model list cleared too, a fresh model gets a new id.
    g_PropBrushes.clear();
    g_Models.clear();
    LoadBuiltInCustomPropFrom(folder);
    EXPECT_EQ(2, g_PropBrushes[0].modelID);
}

TEST_F(PropBrushTest, ShippedCustomPropIsAValidModel)
{
    std::wstring path = Utf8ToWide(TARSEL_CONFIG_DIR) + L"customprop.glb";
    int index = LoadGLBModel(path);
    ASSERT_EQ(0, index) << WideToUtf8(path);
    const Model& model = g_Models[0];
    EXPECT_GE(model.F.rows(), 12);
    EXPECT_GE(model.materialColors.size(), 1u);
    // The crate has a base-colour texture: the fake upload saw it.
    EXPECT_FALSE(g_CreatedTextures.empty());
    EXPECT_NEAR(1.0, (model.V.colwise().maxCoeff() - model.V.colwise().minCoeff()).maxCoeff(), 1e-6);
}
