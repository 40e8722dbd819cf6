// Frame times of the viewport renderer: RenderScene + glFinish + SwapBuffers
// on a 1280 x 720 viewport, median and 95th percentile of 200 frames after 20
// warm-up frames, for scenes of many primitives and one large textured mesh.
// Beside each figure stands a calibration: the very triangles and lines the
// frame rasterised (captured once in feedback mode, in window coordinates)
// drawn by the plainest immediate-mode loop, so a result reads as a ratio to
// what the GL can do with that geometry at all; a last figure replays that
// geometry from one display list, the floor of any way of drawing it. Then the
// pick latency of PickObject and PickFace on the same scenes, for a point on
// an object and one on empty sky: the first (cold) pick and the median of the
// rest. Then the Plotter: 1,000 props placed one by one through the viewport's
// own press handler (the time of each placement, early and late), the pick
// latency of PickPropInstance among them, and frames of 1,000 built-in props
// and of 200 props of a 5,000-triangle textured model, each beside a
// calibration that draws the same models in the same places with the same
// texture and blending by the plainest immediate-mode loop. Then the
// properties panel refresh that every gizmo drag event runs
// (UpdatePropertiesPanel with 100 textures loaded and a cube selected), alone
// and with the repaint it causes, beside a refresh that refills the texture
// list each time. Last the Painter on the large mesh: a Shift+click that
// paints a face through the viewport's own press handler (pick, undo
// snapshot, writes, status text), the hover pick of one mouse move, and a
// Painter frame with 1,000 selected faces beside the same frame without
// them ("painter" as the argument runs only these). Run under Wine +
// Xvfb with LP_NUM_THREADS=2 for figures that hold on a two-core machine.
#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/Modal.h"
#include "app/Theme.h"
#include "app/WinGlobals.h"
#include "io/ModelLoader.h"
#include "scene/PropInstances.h"
#include "scene/SceneState.h"
#include "scene/Undo.h"
#include "ui/PropertiesPanel.h"
#include "viewport/Picking.h"
#include "viewport/PropDrawing.h"
#include "viewport/RenderScene.h"
#include "viewport/ViewProjection.h"
#include "viewport/ViewportState.h"
#include "viewport/ViewportWindow.h"

namespace {

const int WIDTH = 1280;
const int HEIGHT = 720;
const int WARM_UP_FRAMES = 20;
const int MEASURED_FRAMES = 200;
const int MEASURED_PICKS = 50;
const int PLOTTED_PROPS = 1000;

struct FrameTimes {
    double median;
    double p95;
};

// Window-space geometry of one frame: 7 floats per vertex (x, y, z, rgba).
struct CapturedFrame {
    std::vector<float> triangles;
    std::vector<float> lines;
};

HWND CreateBenchWindow()
{
    WNDCLASSEXW viewportClass = {};
    viewportClass.cbSize = sizeof viewportClass;
    viewportClass.style = CS_OWNDC;
    viewportClass.lpfnWndProc = ViewportWndProc;
    viewportClass.hInstance = GetModuleHandleW(nullptr);
    viewportClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    viewportClass.lpszClassName = L"OstrelViewport";
    RegisterClassExW(&viewportClass);

    RECT frame = {0, 0, WIDTH, HEIGHT};
    AdjustWindowRect(&frame, WS_POPUP, FALSE);
    HWND parent = CreateWindowExW(0, L"STATIC", L"viewport_bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    return CreateWindowExW(0, L"OstrelViewport", L"", WS_CHILD | WS_VISIBLE, 0, 0, WIDTH, HEIGHT, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

template <typename DrawFrame>
FrameTimes TimeFrames(DrawFrame draw)
{
    for (int i = 0; i < WARM_UP_FRAMES; ++i) {
        draw();
        glFinish();
        SwapBuffers(g_hViewportDC);
    }
    std::vector<double> times;
    for (int i = 0; i < MEASURED_FRAMES; ++i) {
        const auto start = std::chrono::steady_clock::now();
        draw();
        glFinish();
        SwapBuffers(g_hViewportDC);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        PumpMessages();
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[times.size() * 95 / 100]};
}

void AppendVertex(std::vector<float>& out, const float* vertex)
{
    out.insert(out.end(), vertex, vertex + 7);
}

CapturedFrame CaptureFrame()
{
    std::vector<GLfloat> buffer(64 * 1024 * 1024);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    RenderScene();
    const GLint used = glRenderMode(GL_RENDER);
    CapturedFrame frame;
    for (GLint i = 0; i < used;) {
        const int token = static_cast<int>(buffer[i++]);
        if (token == GL_POLYGON_TOKEN) {
            const int count = static_cast<int>(buffer[i++]);
            const float* first = &buffer[i];
            for (int k = 1; k + 1 < count; ++k) {
                AppendVertex(frame.triangles, first);
                AppendVertex(frame.triangles, first + k * 7);
                AppendVertex(frame.triangles, first + (k + 1) * 7);
            }
            i += count * 7;
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            AppendVertex(frame.lines, &buffer[i]);
            AppendVertex(frame.lines, &buffer[i + 7]);
            i += 14;
        } else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN || token == GL_DRAW_PIXEL_TOKEN ||
                   token == GL_COPY_PIXEL_TOKEN) {
            i += 7;
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i += 1;
        } else {
            std::printf("unexpected feedback token %d\n", token);
            break;
        }
    }
    if (used < 0)
        std::printf("feedback buffer overflowed: calibration is partial\n");
    return frame;
}

void DrawCaptured(const CapturedFrame& frame)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, WIDTH, 0, HEIGHT, 0, -1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBegin(GL_TRIANGLES);
    for (size_t i = 0; i < frame.triangles.size(); i += 7) {
        glColor4fv(&frame.triangles[i + 3]);
        glVertex3fv(&frame.triangles[i]);
    }
    glEnd();
    glBegin(GL_LINES);
    for (size_t i = 0; i < frame.lines.size(); i += 7) {
        glColor4fv(&frame.lines[i + 3]);
        glVertex3fv(&frame.lines[i]);
    }
    glEnd();
}

void RunScene(const char* name)
{
    const CapturedFrame captured = CaptureFrame();
    const FrameTimes render = TimeFrames(RenderScene);
    const FrameTimes calibration = TimeFrames([&] { DrawCaptured(captured); });
    // The same geometry from one display list: what the GL needs for it at
    // best, with no per-call cost at all.
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    DrawCaptured(captured);
    glEndList();
    const FrameTimes floor = TimeFrames([&] { glCallList(list); });
    glDeleteLists(list, 1);
    std::printf("%-34s %7zu tris %7zu lines | render median %7.2f p95 %7.2f ms (%5.1f fps) | "
                "calibration median %7.2f p95 %7.2f ms | ratio %.2f | one-list floor median %7.2f ms\n",
                name, captured.triangles.size() / 21, captured.lines.size() / 14, render.median, render.p95,
                1000.0 / render.median, calibration.median, calibration.p95, render.median / calibration.median,
                floor.median);
    std::fflush(stdout);
}

// The client point (y down) of a world point in the last frame.
POINT ClientPointOf(float x, float y, float z)
{
    double modelview[16], projection[16];
    int view[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, view);
    double wx = 0, wy = 0, wz = 0;
    gluProject(x, y, z, modelview, projection, view, &wx, &wy, &wz);
    return {static_cast<LONG>(wx + 0.5), static_cast<LONG>(HEIGHT - wy + 0.5)};
}

template <typename Pick>
void TimePick(const char* scene, const char* what, const char* where, Pick pick)
{
    auto start = std::chrono::steady_clock::now();
    const int first = pick();
    const double cold = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::vector<double> times;
    for (int i = 0; i < MEASURED_PICKS; ++i) {
        start = std::chrono::steady_clock::now();
        pick();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("%-34s %-10s %-5s -> %5d | cold %7.3f ms | median %7.3f p95 %7.3f ms\n", scene, what, where, first,
                cold, times[times.size() / 2], times[times.size() * 95 / 100]);
    std::fflush(stdout);
}

// PickObject and PickFace at a point on an object and at the sky's corner.
void RunPicks(const char* scene, float hitX, float hitY, float hitZ)
{
    RenderScene();
    glFinish();
    const POINT hit = ClientPointOf(hitX, hitY, hitZ);
    const POINT miss = {4, 4};
    const POINT points[2] = {hit, miss};
    const char* names[2] = {"hit", "miss"};
    for (int i = 0; i < 2; ++i) {
        const POINT p = points[i];
        TimePick(scene, "PickObject", names[i], [p] { return PickObject(p.x, p.y); });
        TimePick(scene, "PickFace", names[i], [p] {
            int object = -1, face = -1;
            PickFace(p.x, p.y, &object, &face);
            return face;
        });
    }
}

double MedianOf(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void SetShiftDown(bool down)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

LPARAM PointParameter(const POINT& p)
{
    return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
}

// The large mesh in the Painter with one brush and a "Surface Info" box.
void RunPainter()
{
    g_CurrentMode = MODE_PAINTER;
    g_PaintBrushes.assign(1, PaintBrush());
    g_PaintBrushes[0].r = 250;
    g_SelectedPaintBrush = 0;
    g_hPainterStatus = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | ES_MULTILINE | ES_READONLY, 0, 0, 200, 100,
                                       nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    RenderScene();
    glFinish();
    const POINT points[2] = {ClientPointOf(0.0f, 0.0f, 0.0f), ClientPointOf(3.0f, 0.0f, 2.0f)};

    // Each press paints a face that is not selected yet: one snapshot of the
    // whole scene, one face written, the summary shown.
    std::vector<double> paints;
    SetShiftDown(true);
    for (int i = 0; i < MEASURED_PICKS; ++i) {
        g_SelectedFaces.clear();
        g_SelectedFacesObject = -1;
        g_PainterUndoStack.clear();
        const auto start = std::chrono::steady_clock::now();
        SendMessageW(g_hViewport, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, PointParameter(points[i % 2]));
        paints.push_back(MillisecondsSince(start));
        SendMessageW(g_hViewport, WM_LBUTTONUP, MK_SHIFT, PointParameter(points[i % 2]));
    }
    SetShiftDown(false);
    std::printf("%-34s Shift+click paint (pick, snapshot, write, status): median %7.3f ms, %zu undo step(s)\n",
                "200k-triangle mesh, Painter", MedianOf(paints), g_PainterUndoStack.size());

    // Moves between two faces: every move picks and lights a new face.
    std::vector<double> hovers;
    g_SelectedFaces.clear();
    g_SelectedFacesObject = -1;
    for (int i = 0; i < MEASURED_PICKS; ++i) {
        const auto start = std::chrono::steady_clock::now();
        SendMessageW(g_hViewport, WM_MOUSEMOVE, 0, PointParameter(points[i % 2]));
        hovers.push_back(MillisecondsSince(start));
    }
    std::printf("%-34s hover pick of one mouse move: median %7.3f ms (face %d)\n", "200k-triangle mesh, Painter",
                MedianOf(hovers), g_HoveredFace);
    std::fflush(stdout);

    g_HoveredFace = -1;
    g_HoveredFaceObject = -1;
    RunScene("200k-triangle mesh, Painter, no faces");
    g_SelectedFacesObject = 0;
    for (int face = 0; face < 1000; ++face)
        g_SelectedFaces.push_back(face * 199);
    RunScene("200k-triangle mesh, Painter, 1,000 faces");
    DestroyWindow(g_hPainterStatus);
    g_hPainterStatus = nullptr;
    g_CurrentMode = MODE_MODELLER;
}

void ResetScene()
{
    g_SceneObjects.clear();
    g_SelectedObjects.clear();
    g_SelectedVertices.clear();
    g_SelectedObjectIndex = -1;
    g_ShowWireframe = false;
    g_CurrentTool = TOOL_SELECT;
}

// 1,000 objects on a 32 x 32 lattice (the last 24 cells empty), one unit
// each with half a unit between them, in varied colours.
void AddLatticeObjects(bool mixed)
{
    const int types[] = {PRIMITIVE_CUBE, PRIMITIVE_SPHERE, PRIMITIVE_CYLINDER, PRIMITIVE_CONE, PRIMITIVE_RAMP,
                         PRIMITIVE_WEDGE};
    for (int i = 0; i < 1000; ++i) {
        SceneObject object;
        object.type = mixed ? types[i % 6] : PRIMITIVE_CUBE;
        object.minX = (i % 32) * 1.5f - 24.0f;
        object.minZ = (i / 32) * 1.5f - 24.0f;
        object.minY = 0.0f;
        object.maxX = object.minX + 1.0f;
        object.maxY = 1.0f + (i % 3) * 0.5f;
        object.maxZ = object.minZ + 1.0f;
        object.r = 60 + (i * 37) % 190;
        object.g = 60 + (i * 91) % 190;
        object.b = 60 + (i * 53) % 190;
        g_SceneObjects.push_back(object);
    }
    g_CameraDistance = 60.0f;
    g_CameraPitch = 35.0f;
}

void SelectAll()
{
    for (int i = 0; i < static_cast<int>(g_SceneObjects.size()); ++i)
        g_SelectedObjects.push_back(i);
    g_SelectedObjectIndex = 0;
}

GLuint MakePatternTexture(int seed)
{
    std::vector<unsigned char> pixels(64 * 64 * 4);
    for (int i = 0; i < 64 * 64; ++i) {
        pixels[i * 4] = static_cast<unsigned char>((i * (seed + 3)) & 255);
        pixels[i * 4 + 1] = static_cast<unsigned char>((i / 64 * 4 * (seed + 1)) & 255);
        pixels[i * 4 + 2] = static_cast<unsigned char>(seed * 60);
        pixels[i * 4 + 3] = 255;
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return name;
}

// A height field of (cells + 1)^2 vertices and 2 cells^2 triangles, spacing
// 0.1, as an explicit mesh with per-face colours.
SceneObject MakeHeightField(int cells)
{
    SceneObject mesh;
    mesh.isCSGMesh = true;
    const double half = cells * 0.05;
    mesh.V.resize((cells + 1) * (cells + 1), 3);
    for (int z = 0; z <= cells; ++z)
        for (int x = 0; x <= cells; ++x) {
            const int row = z * (cells + 1) + x;
            mesh.V(row, 0) = x * 0.1 - half;
            mesh.V(row, 1) = 0.5 * std::sin(x * 0.07) * std::cos(z * 0.05);
            mesh.V(row, 2) = z * 0.1 - half;
        }
    mesh.F.resize(cells * cells * 2, 3);
    for (int z = 0; z < cells; ++z)
        for (int x = 0; x < cells; ++x) {
            const int a = z * (cells + 1) + x, b = a + 1, c = a + cells + 1, d = c + 1;
            const int face = (z * cells + x) * 2;
            mesh.F.row(face) << a, c, b;
            mesh.F.row(face + 1) << b, c, d;
        }
    for (int f = 0; f < mesh.F.rows(); ++f)
        mesh.faceColors.push_back(FaceColor(128 + f % 128, 255 - f % 100, 200));
    mesh.minX = mesh.minZ = static_cast<float>(-half);
    mesh.maxX = mesh.maxZ = static_cast<float>(half);
    mesh.minY = -0.5f;
    mesh.maxY = 0.5f;
    return mesh;
}

// A rolling 316 x 316-cell height field of 199,712 triangles with per-face
// colours and four textures in runs of rows, like a large CSG result.
void AddLargeMesh()
{
    g_Textures.clear();
    for (int t = 0; t < 4; ++t) {
        Texture texture;
        texture.glName = MakePatternTexture(t);
        g_Textures.push_back(texture);
    }
    const int cells = 316;
    SceneObject mesh = MakeHeightField(cells);
    for (int f = 0; f < mesh.F.rows(); ++f) {
        mesh.faceTextureIDs.push_back((f / (cells * 2 * 20)) % 4);
        mesh.faceTextureScales.push_back(1.0f);
    }
    g_SceneObjects.push_back(mesh);
    g_CameraDistance = 35.0f;
    g_CameraPitch = 40.0f;
}

const int MEASURED_REFRESHES = 500;
const int TEXTURE_COUNT = 100;

template <typename Refresh>
FrameTimes TimeRefreshes(Refresh refresh)
{
    for (int i = 0; i < WARM_UP_FRAMES; ++i)
        refresh();
    std::vector<double> times;
    for (int i = 0; i < MEASURED_REFRESHES; ++i) {
        const auto start = std::chrono::steady_clock::now();
        refresh();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[times.size() * 95 / 100]};
}

void PrintRefresh(const char* what, const FrameTimes& times)
{
    std::printf("%-58s median %7.3f ms  p95 %7.3f ms\n", what, times.median, times.p95);
}

void RunPropertiesRefresh()
{
    WNDCLASSEXW panelClass = {};
    panelClass.cbSize = sizeof panelClass;
    panelClass.lpfnWndProc = PropertiesPanelWndProc;
    panelClass.hInstance = GetModuleHandleW(nullptr);
    panelClass.lpszClassName = L"OstrelProperties";
    RegisterClassExW(&panelClass);
    ApplyThemeColors();
    g_hPropertiesPanel = CreateWindowExW(WS_EX_COMPOSITED, L"OstrelProperties", L"", WS_POPUP | WS_VISIBLE | WS_VSCROLL,
                                         WIDTH, 0, 300, HEIGHT, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ResetScene();
    for (int i = 0; i < TEXTURE_COUNT; ++i) {
        Texture texture;
        texture.name = L"texture_" + std::to_wstring(i) + L".png";
        g_Textures.push_back(texture);
    }
    SceneObject cube;
    cube.name = L"Cube 1";
    cube.maxX = cube.maxY = cube.maxZ = 2.0f;
    cube.texture = 42;
    g_SceneObjects.push_back(cube);
    g_SelectedObjectIndex = 0;
    g_SelectedObjects = {0};
    PumpMessages();

    std::printf("properties panel refresh, %d textures, a cube selected, %d calls after %d warm-up\n",
                TEXTURE_COUNT, MEASURED_REFRESHES, WARM_UP_FRAMES);
    PrintRefresh("UpdatePropertiesPanel", TimeRefreshes([] { UpdatePropertiesPanel(); }));
    PrintRefresh("UpdatePropertiesPanel + repaint", TimeRefreshes([] {
        UpdatePropertiesPanel();
        UpdateWindow(g_hPropertiesPanel);
    }));
    PrintRefresh("UpdatePropertiesPanel refilling the texture list", TimeRefreshes([] {
        SendMessageW(g_hObjectTextureCombo, CB_RESETCONTENT, 0, 0);
        UpdatePropertiesPanel();
    }));
    DestroyWindow(g_hPropertiesPanel);
    g_hPropertiesPanel = nullptr;
}

void ResetProps()
{
    g_PropInstances.clear();
    g_SelectedPropInstance = -1;
    g_CurrentMode = MODE_PLOTTER;
    g_CurrentTool = TOOL_SELECT;
}

// The centre of lattice cell i (32 x 32 cells, 1.5 units apart).
void LatticeCell(int i, float* x, float* z)
{
    *x = (i % 32) * 1.5f - 24.0f + 0.5f;
    *z = (i / 32) * 1.5f - 24.0f + 0.5f;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Every placement is a real left press on the viewport with the plot tool,
// timed from the message to its return.
void PlotThroughThePressHandler()
{
    ResetProps();
    g_CurrentTool = TOOL_PLOT;
    g_SelectedPropBrush = 0;
    g_CameraDistance = 60.0f;
    g_CameraPitch = 35.0f;
    RenderScene();
    glFinish();
    std::vector<double> times;
    for (int i = 0; i < PLOTTED_PROPS; ++i) {
        float x = 0.0f, z = 0.0f;
        LatticeCell(i, &x, &z);
        const POINT p = ClientPointOf(x, 0.0f, z);
        const LPARAM point = MAKELPARAM(p.x, p.y);
        const auto start = std::chrono::steady_clock::now();
        SendMessageW(g_hViewport, WM_LBUTTONDOWN, MK_LBUTTON, point);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        SendMessageW(g_hViewport, WM_LBUTTONUP, 0, point);
    }
    const std::vector<double> first(times.begin(), times.begin() + 100), last(times.end() - 100, times.end());
    std::printf("%-34s %zu placed | first 100 median %7.3f ms | last 100 median %7.3f ms | 1,000th %7.3f ms\n",
                "plot through the press handler", g_PropInstances.size(), Median(first), Median(last), times.back());
    std::fflush(stdout);
}

// The props drawn as plainly as possible: each instance's transform, then its
// model's triangles with colour, texture coordinates and vertices, under the
// blending and the one texture the props are drawn with.
void DrawPropsPlainly(const Model& model)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ApplyFrameMatrices();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    const unsigned int texture = model.materialTextures.empty() ? 0 : model.materialTextures[0];
    if (texture) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
    }
    const bool hasUV = model.UV.cols() >= 2 && model.UV.rows() == model.V.rows();
    for (const PropInstance& instance : g_PropInstances) {
        glPushMatrix();
        MultiplyPropTransform(instance);
        glBegin(GL_TRIANGLES);
        for (Eigen::Index t = 0; t < model.F.rows(); ++t) {
            glColor4f(0.9f, 0.9f, 0.9f, 1.0f);
            for (int k = 0; k < 3; ++k) {
                const int v = model.F(t, k);
                if (hasUV)
                    glTexCoord2f(static_cast<float>(model.UV(v, 0)), static_cast<float>(model.UV(v, 1)));
                glVertex3f(static_cast<float>(model.V(v, 0)), static_cast<float>(model.V(v, 1)),
                           static_cast<float>(model.V(v, 2)));
            }
        }
        glEnd();
        glPopMatrix();
    }
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

void RunPropScene(const char* name, const Model& model)
{
    const FrameTimes render = TimeFrames(RenderScene);
    const FrameTimes calibration = TimeFrames([&] { DrawPropsPlainly(model); });
    std::printf("%-34s %7lld tris | render median %7.2f p95 %7.2f ms (%5.1f fps) | "
                "calibration median %7.2f p95 %7.2f ms | ratio %.2f\n",
                name, static_cast<long long>(model.F.rows()) * static_cast<long long>(g_PropInstances.size()),
                render.median, render.p95, 1000.0 / render.median, calibration.median, calibration.p95,
                render.median / calibration.median);
    std::fflush(stdout);
}

// The 50 x 50-cell height field (5,000 triangles) shrunk into the unit cube,
// with texture coordinates across it and one textured material.
Model MakeTexturedModel()
{
    const int cells = 50;
    const SceneObject sheet = MakeHeightField(cells);
    Model model;
    model.id = g_NextModelId++;
    model.name = L"sheet.glb";
    model.V = sheet.V / (cells * 0.1);
    model.F = sheet.F;
    model.UV.resize(model.V.rows(), 2);
    model.UV.col(0) = model.V.col(0).array() + 0.5;
    model.UV.col(1) = model.V.col(2).array() + 0.5;
    model.faceMaterial = Eigen::VectorXi::Zero(model.F.rows());
    model.materialColors.push_back({{0.7f, 0.6f, 0.5f}});
    model.materialTextures.push_back(MakePatternTexture(2));
    model.baseColor = {{0.7f, 0.6f, 0.5f}};
    return model;
}

void RunPlotter()
{
    g_Models.clear();
    g_PropBrushes.clear();
    if (LoadGLBModel(TARSEL_CUSTOM_PROP_W) != 0) {
        std::printf("built-in prop not loaded: Plotter figures skipped\n");
        return;
    }
    PropBrush custom;
    custom.name = L"Custom";
    custom.modelID = g_Models[0].id;
    custom.builtIn = true;
    g_PropBrushes.push_back(custom);

    ResetScene();
    PlotThroughThePressHandler();
    float x = 0.0f, z = 0.0f;
    LatticeCell(500, &x, &z);
    RenderScene();
    glFinish();
    const POINT hit = ClientPointOf(x, 0.4f, z);
    const POINT miss = {4, 4};
    TimePick("1,000 built-in props", "PickProp", "hit", [hit] { return PickPropInstance(hit.x, hit.y); });
    TimePick("1,000 built-in props", "PickProp", "miss", [miss] { return PickPropInstance(miss.x, miss.y); });
    g_CurrentTool = TOOL_SELECT;
    RunPropScene("1,000 built-in props", g_Models[0]);

    g_Models.push_back(MakeTexturedModel());
    PropBrush sheet;
    sheet.name = L"Sheet";
    sheet.modelID = g_Models[1].id;
    ResetProps();
    for (int i = 0; i < 200; ++i) {
        LatticeCell(i * 5, &x, &z);
        g_PropInstances.push_back(MakePropInstance(sheet, x, z));
    }
    RunPropScene("200 props of 5,000 textured tris", g_Models[1]);

    // The figures after these see no props.
    g_PropInstances.clear();
    g_PropBrushes.clear();
    g_SelectedPropBrush = -1;
    g_CurrentMode = MODE_MODELLER;
}

LPARAM PackPoint(const POINT& point)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(point.x)), static_cast<WORD>(static_cast<short>(point.y)));
}

// A Vertex Editor drag on a 10,000-vertex mesh with 1,000 vertices selected:
// each frame one mouse move drags them (up and down along y in turn) and
// then renders, against the same view and selection without the move.
void RunVertexDrag()
{
    ResetScene();
    g_SceneObjects.push_back(MakeHeightField(99));
    SelectAll();
    g_CurrentMode = MODE_VERTEX_EDITOR;
    g_CurrentTool = TOOL_MOVE;
    g_SnapToGrid = false;
    g_CameraDistance = 12.0f;
    g_CameraPitch = 40.0f;
    g_SelectedVertices.clear();
    for (int v = 0; v < 10000; v += 10)
        g_SelectedVertices.push_back({0, v});
    g_SelectedVertexObject = 0;
    g_SelectedVertexIndex = 0;
    char name[96];
    std::snprintf(name, sizeof name, "Vertex Editor, %d vertices, %zu sel.",
                  static_cast<int>(g_SceneObjects[0].V.rows()), g_SelectedVertices.size());
    RunScene(name);
    const FrameTimes still = TimeFrames(RenderScene);

    RenderScene();
    g_IsDraggingGizmo = true;
    g_GizmoAxis = 1;
    const POINT base = {WIDTH / 2, HEIGHT / 2};
    g_LastMouseX = base.x;
    g_LastMouseY = base.y;
    SendMessageW(g_hViewport, WM_MOUSEMOVE, MK_LBUTTON, PackPoint(base));
    int step = 0;
    const FrameTimes dragging = TimeFrames([&] {
        const POINT point = {base.x, base.y + ((step++ % 2) == 0 ? -4 : 4)};
        SendMessageW(g_hViewport, WM_MOUSEMOVE, MK_LBUTTON, PackPoint(point));
        RenderScene();
    });
    g_IsDraggingGizmo = false;
    std::printf("%-34s drag frame median %7.2f p95 %7.2f ms | still frame median %7.2f p95 %7.2f ms | ratio %.2f\n",
                "Vertex drag, 1,000 of 10,000", dragging.median, dragging.p95, still.median, still.p95,
                dragging.median / still.median);
    std::fflush(stdout);
}

template <typename Edit>
void TimeVertexEdit(const char* what, Edit edit)
{
    std::vector<double> times;
    for (int i = 0; i < 20; ++i) {
        const auto start = std::chrono::steady_clock::now();
        edit();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("%-34s %-12s | median %7.2f p95 %7.2f max %7.2f ms (press handler, undo snapshot included)\n",
                "Vertex edit, 200k-triangle mesh", what, times[times.size() / 2], times[times.size() * 95 / 100],
                times.back());
    std::fflush(stdout);
}

// Edge split, face split and removal through the viewport's press handler
// on the 200k-triangle mesh, and PickVertex over its 100,489 vertices. One
// frame (100,489 vertex spheres) sets the matrices every press reads.
void RunVertexEdits()
{
    ResetScene();
    AddLargeMesh();
    SelectAll();
    g_CurrentMode = MODE_VERTEX_EDITOR;
    g_ModalScripted = true;
    RenderScene();
    glFinish();
    // The vertex at grid (158, 158) and its right neighbour share an edge.
    const int cells = 316;
    const int a = 158 * (cells + 1) + 158;
    auto vertexPoint = [](int v, double dx) {
        const Eigen::MatrixXd& V = g_SceneObjects[0].V;
        return ClientPointOf(static_cast<float>(V(v, 0) + dx), static_cast<float>(V(v, 1)),
                             static_cast<float>(V(v, 2)));
    };
    TimePick("200k-triangle mesh, selected", "PickVertex", "hit", [&] {
        const POINT p = vertexPoint(a, 0.0);
        int object = -1;
        return PickVertex(p.x, p.y, &object);
    });

    g_CurrentTool = TOOL_ADD_VERTEX;
    int edge = 0;
    TimeVertexEdit("edge split", [&] {
        // A new edge of the row each time: the last split cut the previous one.
        const int first = a + 2 * edge++;
        g_SelectedVertices = {{0, first}, {0, first + 1}};
        const POINT p = vertexPoint(first, 0.05);
        SendMessageW(g_hViewport, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(p));
    });
    g_SelectedVertices.clear();
    TimeVertexEdit("face split", [&] {
        const POINT p = vertexPoint(a - 5 * (cells + 1), 0.03);
        SendMessageW(g_hViewport, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(p));
    });
    g_CurrentTool = TOOL_REMOVE_VERTEX;
    TimeVertexEdit("removal", [&] {
        g_ModalAnswers.push_back({IDYES, L"", 0});
        const POINT p = vertexPoint(a + 20, 0.0);
        SendMessageW(g_hViewport, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(p));
    });
    std::printf("after the edits: %d vertices, %d faces, %zu undo steps\n", static_cast<int>(g_SceneObjects[0].V.rows()),
                static_cast<int>(g_SceneObjects[0].F.rows()), g_VertexUndoStack.size());
    g_ModalScripted = false;
    g_CurrentMode = MODE_MODELLER;
}

} // namespace

// With the argument "plotter" only the Plotter figures are taken, with
// "panel" only the properties panel refresh.
int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "panel") {
        RunPropertiesRefresh();
        return 0;
    }
    const bool plotterOnly = argc > 1 && std::string(argv[1]) == "plotter";
    const bool painterOnly = argc > 1 && std::string(argv[1]) == "painter";
    g_hViewport = CreateBenchWindow();
    if (!g_hViewport || !g_hViewportRC) {
        std::printf("no OpenGL context\n");
        return 1;
    }
    PumpMessages();
    std::printf("renderer: %s, viewport %d x %d, %d warm-up + %d measured frames\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)), WIDTH, HEIGHT, WARM_UP_FRAMES,
                MEASURED_FRAMES);

    if (plotterOnly) {
        RunPlotter();
        return 0;
    }
    if (painterOnly) {
        ResetScene();
        AddLargeMesh();
        RunPainter();
        return 0;
    }
    ResetScene();
    AddLatticeObjects(false);
    RunScene("1,000 cubes");

    ResetScene();
    AddLatticeObjects(true);
    RunScene("1,000 mixed primitives");
    SelectAll();
    RunScene("1,000 mixed primitives, selected");

    ResetScene();
    AddLargeMesh();
    RunScene("200k-triangle mesh");
    SelectAll();
    RunScene("200k-triangle mesh, selected");
    ResetScene();
    AddLargeMesh();
    g_ShowWireframe = true;
    RunScene("200k-triangle mesh, wireframe");

    // Object 500 of the lattice: top centre at (6.5, 2, -1).
    ResetScene();
    AddLatticeObjects(true);
    RunPicks("1,000 mixed primitives", 6.5f, 2.0f, -1.0f);
    ResetScene();
    AddLargeMesh();
    RunPicks("200k-triangle mesh", 0.0f, 0.0f, 0.0f);

    RunPlotter();

    RunVertexDrag();
    RunVertexEdits();

    RunPropertiesRefresh();

    ResetScene();
    AddLargeMesh();
    RunPainter();
    return 0;
}
