// Colour preferences: the ColorPreferences record with its defaults, the live
// copy g_ColorPrefs and the dialog's working copy, the Light and Dark
// user-interface presets, and the text format of the preferences file (parse
// from bytes, format to bytes). Platform-neutral: the Win32 layer does the
// file I/O.
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

// The user-interface colours a theme sets.
struct ThemePreset {
    Color3i UIPanelBackground;
    Color3i UIDialogBackground;
    Color3i UIText;
    Color3i UIEditBackground;
    Color3i UIEditText;
    Color3i UITreeBackground;
    Color3i UITreeText;
};

constexpr ThemePreset LIGHT_THEME_PRESET = {
    {240, 240, 240}, {240, 240, 240}, {0, 0, 0}, {255, 255, 255}, {0, 0, 0}, {255, 255, 255}, {0, 0, 0}};
constexpr ThemePreset DARK_THEME_PRESET = {
    {45, 45, 48}, {45, 45, 48}, {220, 220, 220}, {60, 60, 64}, {220, 220, 220}, {37, 37, 38}, {220, 220, 220}};

// Fields bear the file's key names, in the file's order. The user-interface
// colours default to the Light preset.
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
    Color3i UIPanelBackground = LIGHT_THEME_PRESET.UIPanelBackground;
    Color3i UIDialogBackground = LIGHT_THEME_PRESET.UIDialogBackground;
    Color3i UIText = LIGHT_THEME_PRESET.UIText;
    Color3i UIEditBackground = LIGHT_THEME_PRESET.UIEditBackground;
    Color3i UIEditText = LIGHT_THEME_PRESET.UIEditText;
    Color3i UITreeBackground = LIGHT_THEME_PRESET.UITreeBackground;
    Color3i UITreeText = LIGHT_THEME_PRESET.UITreeText;
};

extern ColorPreferences g_ColorPrefs;
extern ColorPreferences g_PrefsDialogCopy;

// Sets Theme and the user-interface colours of its preset (Dark for
// THEME_DARK, Light otherwise); every other field stays.
void ApplyThemePreset(ColorPreferences& prefs, int theme);

// A viewport colour channel as a byte: c x 255 truncated toward zero and
// clamped to 0..255 (NaN gives 0), so a hand-edited 1.2 reads as 255.
int ColorChannelByte(float channel);

// A vertex size or outline width typed or read from the file: the decimal
// number at the start of text (leading blanks skipped, trailing text
// ignored), accepted only when it is a finite float above zero.
bool ReadPreferenceSize(const std::wstring& text, float& size);

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
