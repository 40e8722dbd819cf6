#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "app/Modal.h"
#include "app/WinGlobals.h"
#include "io/FileUtil.h"
#include "io/ProjectWriter.h"
#include "resources/resource.h"
#include "scene/SceneState.h"
#include "scene/SceneTypes.h"
#include "scene/Undo.h"
#include "tests/app/AppHarness.h"

namespace {

// A fresh folder under the temporary folder, emptied and removed afterwards.
struct ScratchFolder {
    std::wstring path;   // ends with a separator

    ScratchFolder()
    {
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        path = std::wstring(base) + L"tarsel-file-commands-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(GetTickCount()) + L"\\";
        CreateDirectoryW(path.c_str(), nullptr);
    }
    ~ScratchFolder() { RemoveTree(path); }

    static void RemoveTree(const std::wstring& folder)
    {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = found.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(folder + name + L"\\");
                else
                    DeleteFileW((folder + name).c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }
};

class FileCommands : public AppTest {
protected:
    ScratchFolder scratch;

    void QueuePath(const std::wstring& path) { g_ModalAnswers.push_back({TRUE, path, 0}); }
};

SceneObject Cube(const wchar_t* name, float x)
{
    SceneObject object;
    object.type = PRIMITIVE_CUBE;
    object.name = name;
    object.minX = x;
    object.maxX = x + 1.0f;
    object.maxY = 1.0f;
    object.maxZ = 1.0f;
    return object;
}

void ExpectBox(const ModalCall& call, const wchar_t* caption, const std::wstring& text, UINT flags)
{
    EXPECT_EQ(call.kind, MODAL_MESSAGE_BOX);
    EXPECT_EQ(call.owner, nullptr);
    EXPECT_EQ(call.caption, caption);
    EXPECT_EQ(call.text, text);
    EXPECT_EQ(call.flags, flags);
}

} // namespace

TEST_F(FileCommands, SaveAsAsksForAPathAndReportsSuccess)
{
    g_SceneObjects = {Cube(L"Cube 1", 0.0f)};
    std::wstring path = scratch.path + L"scene.tsp";
    QueuePath(path);
    QueueModalAnswer(IDOK);
    Command(ID_FILE_SAVEAS);
    ASSERT_EQ(g_ModalCalls.size(), 2u);
    EXPECT_EQ(g_ModalCalls[0].kind, MODAL_SAVE_FILE);
    EXPECT_EQ(g_ModalCalls[0].owner, g_hMainWnd);
    ExpectBox(g_ModalCalls[1], L"Save Complete", L"Scene saved successfully!", MB_OK | MB_ICONINFORMATION);
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(g_CurrentScenePath, path);
    EXPECT_NE(LogText().find(L"Scene saved: " + path), std::wstring::npos);
}

TEST_F(FileCommands, SaveUsesTheCurrentPathWithoutADialog)
{
    std::wstring path = scratch.path + L"current.tsp";
    g_CurrentScenePath = path;
    QueueModalAnswer(IDOK);
    Command(ID_FILE_SAVE);
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    ExpectBox(g_ModalCalls[0], L"Save Complete", L"Scene saved successfully!", MB_OK | MB_ICONINFORMATION);
    EXPECT_TRUE(FileExists(path));
}

TEST_F(FileCommands, SaveOfAnUntitledSceneAsksAndCancelDoesNothing)
{
    g_ModalAnswers.push_back({FALSE, L"", 0});
    Command(ID_FILE_SAVE);
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_ModalCalls[0].kind, MODAL_SAVE_FILE);
    EXPECT_TRUE(g_CurrentScenePath.empty());
}

TEST_F(FileCommands, FailedSaveShowsSaveErrorAndKeepsThePath)
{
    g_CurrentScenePath = scratch.path + L"no-such-folder\\scene.tsp";
    QueueModalAnswer(IDOK);
    Command(ID_FILE_SAVE);
    ASSERT_EQ(g_ModalCalls.size(), 1u);
    ExpectBox(g_ModalCalls[0], L"Save Error", L"Failed to create scene file!", MB_OK | MB_ICONERROR);
    EXPECT_EQ(g_CurrentScenePath, scratch.path + L"no-such-folder\\scene.tsp");
}

TEST_F(FileCommands, OpenReplacesTheSceneAndClearsEveryHistory)
{
    std::wstring path = scratch.path + L"open.tsp";
    g_SceneObjects = {Cube(L"Saved", 0.0f)};
    SceneObject mesh = Cube(L"Mesh", 2.0f);
    mesh.isCSGMesh = true;
    mesh.V.resize(3, 3);
    mesh.V << 0, 0, 0, 1, 0, 0, 0, 1, 0;
    mesh.F.resize(1, 3);
    mesh.F << 0, 1, 2;
    g_SceneObjects.push_back(mesh);
    std::wstring failure;
    ASSERT_TRUE(SaveScene(path, failure));

    g_SceneObjects = {Cube(L"A", 0.0f), Cube(L"B", 1.0f), Cube(L"C", 2.0f)};
    g_SelectedObjects = {2};
    g_SelectedObjectIndex = 2;
    SaveUndoState();
    Undo();
    g_CurrentMode = MODE_VERTEX_EDITOR;
    SaveUndoState();
    g_CurrentMode = MODE_MODELLER;
    g_CurrentScenePath.clear();

    QueuePath(path);
    QueueModalAnswer(IDOK);
    Command(ID_FILE_OPEN);
    ASSERT_EQ(g_ModalCalls.size(), 2u);
    EXPECT_EQ(g_ModalCalls[0].kind, MODAL_OPEN_FILE);
    EXPECT_EQ(g_ModalCalls[0].owner, g_hMainWnd);
    ExpectBox(g_ModalCalls[1], L"Load Complete", L"Scene loaded successfully!", MB_OK | MB_ICONINFORMATION);
    ASSERT_EQ(g_SceneObjects.size(), 2u);
    EXPECT_EQ(g_SceneObjects[0].name, L"Saved");
    EXPECT_EQ(g_SceneObjects[1].F.rows(), 1);
    EXPECT_TRUE(g_SelectedObjects.empty());
    EXPECT_EQ(g_SelectedObjectIndex, -1);
    EXPECT_TRUE(g_ModellerUndoStack.empty());
    EXPECT_TRUE(g_ModellerRedoStack.empty());
    EXPECT_TRUE(g_VertexUndoStack.empty());
    EXPECT_EQ(g_CurrentScenePath, path);
    if (g_hPropBrushList) {
        EXPECT_EQ(SendMessageW(g_hPropBrushList, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(g_PropBrushes.size()));
    }
}

TEST_F(FileCommands, OpenOfAnUnreadableFileShowsLoadErrorAndChangesNothing)
{
    g_SceneObjects = {Cube(L"Kept", 0.0f)};
    SaveUndoState();
    QueuePath(scratch.path + L"missing.tsp");
    QueueModalAnswer(IDOK);
    Command(ID_FILE_OPEN);
    ASSERT_EQ(g_ModalCalls.size(), 2u);
    ExpectBox(g_ModalCalls[1], L"Load Error", L"Failed to open scene file!", MB_OK | MB_ICONERROR);
    ASSERT_EQ(g_SceneObjects.size(), 1u);
    EXPECT_EQ(g_ModellerUndoStack.size(), 1u);
}

TEST_F(FileCommands, DamagedFileWarnsAndIsNotOverwrittenByTheNextSave)
{
    std::wstring path = scratch.path + L"damaged.tsp";
    g_SceneObjects.clear();
    for (int i = 0; i < 10; ++i)
        g_SceneObjects.push_back(Cube((L"Cube " + std::to_wstring(i)).c_str(), static_cast<float>(i)));
    std::wstring failure;
    ASSERT_TRUE(SaveScene(path, failure));
    // One byte changed: the '=' after minX in an object's bounds.
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(ReadFileBytes(path, bytes));
    std::string text(bytes.begin(), bytes.end());
    bytes[text.find("minX=", text.size() / 2) + 4] = 'x';
    ASSERT_TRUE(WriteFileBytes(path, bytes));

    QueuePath(path);
    QueueModalAnswer(IDOK);
    Command(ID_FILE_OPEN);
    ASSERT_EQ(g_ModalCalls.size(), 2u);
    EXPECT_EQ(g_ModalCalls[1].caption, L"Load Complete");
    EXPECT_EQ(g_ModalCalls[1].flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_NE(g_ModalCalls[1].text.find(L"1 element read with values missing or replaced"), std::wstring::npos);
    // Only the damaged value is lost, and Save asks for a new name.
    EXPECT_EQ(g_SceneObjects.size(), 10u);
    EXPECT_EQ(g_SceneObjects[9].name, L"Cube 9");
    EXPECT_TRUE(g_CurrentScenePath.empty());
    g_ModalAnswers.push_back({FALSE, L"", 0});
    Command(ID_FILE_SAVE);
    ASSERT_EQ(g_ModalCalls.size(), 3u);
    EXPECT_EQ(g_ModalCalls[2].kind, MODAL_SAVE_FILE);
    std::vector<unsigned char> after;
    ASSERT_TRUE(ReadFileBytes(path, after));
    EXPECT_EQ(after, bytes);
}

TEST_F(FileCommands, CancelledOpenDoesNothing)
{
    g_SceneObjects = {Cube(L"Kept", 0.0f)};
    g_ModalAnswers.push_back({FALSE, L"", 0});
    Command(ID_FILE_OPEN);
    EXPECT_EQ(g_ModalCalls.size(), 1u);
    EXPECT_EQ(g_SceneObjects.size(), 1u);
}

namespace {

// Drives the real dialogs of the main thread from a second thread: types a
// name into the "Save Scene" dialog, confirms it, then reads and closes the
// box that reports the save. Gives up (cancelling) after a generous wait so
// a broken dialog fails the test instead of hanging it.
struct DialogDriver {
    std::wstring typedName;
    std::wstring dialogTitle;
    std::wstring boxCaption;
    std::wstring boxText;
    bool typed = false;

    static HWND WaitForWindow(const wchar_t* caption)
    {
        for (int attempt = 0; attempt < 1500; ++attempt) {
            HWND window = FindWindowW(L"#32770", caption);
            if (window && IsWindowVisible(window))
                return window;
            Sleep(20);
        }
        return nullptr;
    }

    static HWND FileNameEdit(HWND dialog)
    {
        // The Explorer-style dialog's name box is combo 0x47C; the old style's edit 0x480.
        HWND combo = GetDlgItem(dialog, 0x47C);
        if (combo) {
            HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr);
            return edit ? edit : combo;
        }
        return GetDlgItem(dialog, 0x480);
    }

    void Run()
    {
        HWND dialog = WaitForWindow(L"Save Scene");
        if (!dialog)
            return;
        dialogTitle = WindowText(dialog);
        HWND edit = FileNameEdit(dialog);
        if (edit) {
            SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typedName.c_str()));
            typed = true;
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        } else {
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
        HWND box = WaitForWindow(L"Save Complete");
        if (!box)
            box = WaitForWindow(L"Save Error");
        if (!box)
            return;
        boxCaption = WindowText(box);
        wchar_t text[512] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 512);
        boxText = text;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
};

} // namespace

TEST_F(FileCommands, RealSaveDialogAppendsTheExtensionAndSaves)
{
    g_ModalScripted = false;
    g_SceneObjects = {Cube(L"Real", 0.0f)};
    DialogDriver driver;
    driver.typedName = scratch.path + L"typed";
    std::thread thread([&driver] { driver.Run(); });
    Command(ID_FILE_SAVEAS);
    thread.join();
    g_ModalScripted = true;

    EXPECT_TRUE(driver.typed);
    EXPECT_EQ(driver.dialogTitle, L"Save Scene");
    EXPECT_EQ(driver.boxCaption, L"Save Complete");
    EXPECT_EQ(driver.boxText, L"Scene saved successfully!");
    EXPECT_EQ(g_CurrentScenePath, scratch.path + L"typed.tsp");
    EXPECT_TRUE(FileExists(scratch.path + L"typed.tsp"));
}

// A red cube converted for vertex editing (one face painted blue) and the
// fragments of a sliced red cube come back red, with the blue face, after
// Save As and Open.
TEST_F(FileCommands, ConvertedAndSlicedMeshesKeepTheirColoursThroughSaveAndOpen)
{
    SceneObject converted = Cube(L"Converted", 4.0f);
    SceneObject sliced = Cube(L"Sliced", 0.0f);
    sliced.maxX = sliced.maxY = sliced.maxZ = 2.0f;
    // A flat knife across the middle of the sliced cube.
    SceneObject knife = Cube(L"Knife", -1.0f);
    knife.type = PRIMITIVE_KNIFE;
    knife.minY = 1.0f;
    knife.minZ = -1.0f;
    knife.maxX = knife.maxZ = 3.0f;
    knife.maxY = 5.0f;
    converted.r = sliced.r = 200;
    converted.g = sliced.g = converted.b = sliced.b = 0;
    g_SceneObjects = {converted, sliced, knife};
    g_SelectedObjects = {0};
    QueueModalAnswer(IDYES);
    Command(ID_MODE_VERTEXEDITOR);
    Command(ID_MODE_MODELLER);
    ASSERT_TRUE(g_SceneObjects[0].isCSGMesh);
    g_SceneObjects[0].faceColors.at(3) = FaceColor(0, 0, 250);
    g_SelectedObjects = {1, 2};
    g_SelectedObjectIndex = 1;
    QueueModalAnswer(IDOK);
    Command(ID_EDIT_SLICE);
    ASSERT_EQ(g_SceneObjects.size(), 4u);

    const std::wstring path = scratch.path + L"colours.tsp";
    QueuePath(path);
    QueueModalAnswer(IDOK);
    Command(ID_FILE_SAVEAS);
    g_SceneObjects.clear();
    QueuePath(path);
    QueueModalAnswer(IDOK);
    Command(ID_FILE_OPEN);

    int meshes = 0;
    for (const SceneObject& object : g_SceneObjects) {
        if (!object.isCSGMesh)
            continue;
        ++meshes;
        ASSERT_EQ(object.faceColors.size(), static_cast<size_t>(object.F.rows()));
        for (size_t f = 0; f < object.faceColors.size(); ++f) {
            const FaceColor& color = object.faceColors[f];
            const bool blue = object.name == L"[Mesh] Converted" && f == 3;
            EXPECT_EQ(color.r, blue ? 0 : 200);
            EXPECT_EQ(color.b, blue ? 250 : 0);
        }
    }
    EXPECT_EQ(meshes, 3);
}

namespace {

struct ExportDialog {
    int command;
    const wchar_t* title;
    const wchar_t* filter;
    const wchar_t* extension;
};

const ExportDialog EXPORT_DIALOGS[3] = {
    {ID_FILE_EXPORTGLB, L"Export Scene to GLB", L"GL Transmission Format Binary (*.glb)", L"glb"},
    {ID_FILE_EXPORTOBJ, L"Export Scene to OBJ", L"Wavefront OBJ (*.obj)", L"obj"},
    {ID_FILE_EXPORTRUNTIME, L"Export Runtime Scene to TRS", L"TarselBasic Runtime Scene (*.trs)", L"trs"},
};

void ExpectExportDialog(const ModalCall& call, const ExportDialog& dialog)
{
    EXPECT_EQ(call.kind, MODAL_SAVE_FILE);
    EXPECT_EQ(call.owner, g_hMainWnd);
    EXPECT_EQ(call.caption, dialog.title);
    EXPECT_EQ(call.flags, static_cast<UINT>(OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST));
    EXPECT_EQ(call.defaultExtension, dialog.extension);
    const std::wstring ext = std::wstring(L"*.") + dialog.extension;
    EXPECT_EQ(call.filter, std::wstring(dialog.filter) + L'\0' + ext + L'\0' + L"All Files (*.*)" + L'\0' + L"*.*" +
                               L'\0');
}

} // namespace

TEST_F(FileCommands, ExportCommandsWriteTheirFilesIntoAFolderWithANonAsciiName)
{
    const std::wstring folder = scratch.path + L"Экспорт ✓\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    SceneObject mesh = Cube(L"Union_2", 2.0f);
    mesh.isCSGMesh = true;
    mesh.V.resize(3, 3);
    mesh.V << 0, 0, 0, 1, 0, 0, 0, 1, 0;
    mesh.F.resize(1, 3);
    mesh.F << 0, 2, 1;
    g_SceneObjects = {Cube(L"Cube 1", 0.0f), mesh};
    PropInstance prop;
    prop.name = L"Prop";
    g_PropInstances = {prop};

    QueuePath(folder + L"сцена.glb");
    QueueModalAnswer(IDOK);
    QueueModalAnswer(IDOK);
    Command(ID_FILE_EXPORTGLB);
    ASSERT_EQ(g_ModalCalls.size(), 3u);
    ExpectExportDialog(g_ModalCalls[0], EXPORT_DIALOGS[0]);
    ExpectBox(g_ModalCalls[1], L"CSG Export Debug",
              L"Exporting CSG mesh: Union_2, faces=1, hasPerFaceTextures=false, hasPerFaceColors=false, "
              L"faceTextureIDs.size=0, faceColors.size=0",
              MB_OK);
    ExpectBox(g_ModalCalls[2], L"Export Complete", L"Scene exported to GLB successfully!", MB_OK | MB_ICONINFORMATION);
    EXPECT_TRUE(FileExists(folder + L"сцена.glb"));
    EXPECT_NE(LogText().find(L"GLB export complete: 2 meshes, 1 materials"), std::wstring::npos);

    // OBJ and the runtime scene: their dialogs, and the files under the non-ASCII names.
    g_ModalCalls.clear();
    QueuePath(folder + L"сцена.obj");
    QueueModalAnswer(IDOK);
    Command(ID_FILE_EXPORTOBJ);
    QueuePath(folder + L"уровень.trs");
    for (int k = 0; k < 3; ++k)
        QueueModalAnswer(IDOK);
    Command(ID_FILE_EXPORTRUNTIME);
    ASSERT_EQ(g_ModalCalls.size(), 6u);
    ExpectExportDialog(g_ModalCalls[0], EXPORT_DIALOGS[1]);
    ExpectExportDialog(g_ModalCalls[2], EXPORT_DIALOGS[2]);
    ExpectBox(g_ModalCalls[5], L"Export Complete", L"Scene exported to TRS successfully!", MB_OK | MB_ICONINFORMATION);
    EXPECT_TRUE(FileExists(folder + L"сцена.obj"));
    EXPECT_TRUE(FileExists(folder + L"сцена.mtl"));
    EXPECT_TRUE(FileExists(folder + L"уровень.trs"));
    EXPECT_TRUE(FileExists(folder + L".уровеньAssets\\modeller.glb"));
    EXPECT_EQ(g_ModalUnexpectedCalls, 0);
}

TEST_F(FileCommands, ExportsRefuseAnEmptySceneAndCancelDoesNothing)
{
    for (const ExportDialog& dialog : EXPORT_DIALOGS) {
        g_ModalAnswers.push_back({FALSE, L"", 0});
        Command(dialog.command);
    }
    ASSERT_EQ(g_ModalCalls.size(), 3u);

    const wchar_t* emptyTexts[3] = {L"Scene is empty - nothing to export!", L"No objects to export!",
                                    L"Scene is empty - nothing to export!"};
    for (int k = 0; k < 3; ++k) {
        g_ModalCalls.clear();
        QueuePath(scratch.path + L"empty." + EXPORT_DIALOGS[k].extension);
        QueueModalAnswer(IDOK);
        Command(EXPORT_DIALOGS[k].command);
        ASSERT_EQ(g_ModalCalls.size(), 2u);
        ExpectBox(g_ModalCalls[1], L"Export Error", emptyTexts[k], MB_OK | MB_ICONERROR);
        EXPECT_FALSE(FileExists(scratch.path + L"empty." + EXPORT_DIALOGS[k].extension));
    }
    EXPECT_EQ(g_ModalUnexpectedCalls, 0);
}
