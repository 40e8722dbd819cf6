// Colour preferences: the ColorPreferences record with its defaults, the live
// copy g_ColorPrefs and the dialog's working copy, and the text format of the
// preferences file (parse from bytes, format to bytes). Platform-neutral: the
// Win32 layer does the file I/O.
#pragma once

#include <string>

const int THEME_LIGHT = 0;
const int THEME_DARK = 1;

// Viewport colours, 0.0 to 1.0 for OpenGL.
struct Color3f {
    float r, g, b;
};

// User-interface colours, 0 to 255.
struct Color3i {
    int r, g, b;
};

// Fields bear the file's key names, in the file's order.
struct ColorPreferences {
    int Theme = THEME_LIGHT;
    Color3f SelectionSingle = {1.0f, 0.5f, 0.0f};
    Color3f SelectionMulti = {0.2f, 0.6f, 1.0f};
    Color3f SelectionOperation = {0.0f, 1.0f, 1.0f};
    Color3f VertexSelected = {1.0f, 0.8f, 0.0f};
    Color3f VertexUnselected = {1.0f, 1.0f, 1.0f};
    float VertexSize = 0.15f;
    Color3f FaceHover = {1.0f, 1.0f, 0.0f};
    Color3f PropSelectedTint = {1.2f, 0.8f, 0.4f};
    Color3f GizmoX = {1.0f, 0.0f, 0.0f};
    Color3f GizmoY = {0.0f, 1.0f, 0.0f};
    Color3f GizmoZ = {0.0f, 0.0f, 1.0f};
    Color3i HierarchySelection = {255, 128, 0};
    Color3i HierarchyMultiSelection = {51, 153, 255};
    Color3i HierarchyOperation = {200, 255, 255};
    Color3f Grid = {0.3f, 0.3f, 0.3f};
    Color3f Background = {0.15f, 0.15f, 0.15f};
    Color3f Wireframe = {0.5f, 0.5f, 0.5f};
    float SelectionOutlineWidth = 2.0f;
    Color3i UIPanelBackground = {240, 240, 240};
    Color3i UIDialogBackground = {240, 240, 240};
    Color3i UIText = {0, 0, 0};
    Color3i UIEditBackground = {255, 255, 255};
    Color3i UIEditText = {0, 0, 0};
    Color3i UITreeBackground = {255, 255, 255};
    Color3i UITreeText = {0, 0, 0};
};

extern ColorPreferences g_ColorPrefs;
extern ColorPreferences g_PrefsDialogCopy;

// Up to three comma-separated numbers; a missing or unreadable token keeps
// its field. Only finite decimal numbers are read (no nan, inf or hex), each
// from the start of its token, trailing text ignored.
void ParseColor3f(const std::wstring& text, float& r, float& g, float& b);
void ParseColor3i(const std::wstring& text, int& r, int& g, int& b);

// Applies every recognised "Key=value" line of the file's bytes to prefs.
// Unknown keys, comments, section headers and unreadable values leave the
// fields as they were; sizes are taken only when finite and above zero.
void ParsePreferencesText(const std::string& bytes, ColorPreferences& prefs);

// The whole file, ASCII with CR LF line ends.
std::string FormatPreferencesText(const ColorPreferences& prefs);
