#include "app/Preferences.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

ColorPreferences g_ColorPrefs;
ColorPreferences g_PrefsDialogCopy;

namespace {

enum KeyKind { KEY_THEME, KEY_COLOR3F, KEY_COLOR3I, KEY_SIZE };

struct PreferenceKey {
    const char* section;   // header written before this key, or nullptr
    const char* name;
    KeyKind kind;
    Color3f ColorPreferences::*color3f;
    Color3i ColorPreferences::*color3i;
    float ColorPreferences::*size;
};

PreferenceKey Key3f(const char* section, const char* name, Color3f ColorPreferences::*field)
{
    return {section, name, KEY_COLOR3F, field, nullptr, nullptr};
}

PreferenceKey Key3i(const char* section, const char* name, Color3i ColorPreferences::*field)
{
    return {section, name, KEY_COLOR3I, nullptr, field, nullptr};
}

PreferenceKey KeySize(const char* section, const char* name, float ColorPreferences::*field)
{
    return {section, name, KEY_SIZE, nullptr, nullptr, field};
}

// Every key in the order the file holds them.
const std::vector<PreferenceKey>& PreferenceKeys()
{
    using P = ColorPreferences;
    static const std::vector<PreferenceKey> keys = {
        Key3f("[Selection Colors]", "SelectionSingle", &P::SelectionSingle),
        Key3f(nullptr, "SelectionMulti", &P::SelectionMulti),
        Key3f(nullptr, "SelectionOperation", &P::SelectionOperation),
        Key3f("[Vertex Colors]", "VertexSelected", &P::VertexSelected),
        Key3f(nullptr, "VertexUnselected", &P::VertexUnselected),
        KeySize(nullptr, "VertexSize", &P::VertexSize),
        Key3f("[Other Colors]", "FaceHover", &P::FaceHover),
        Key3f(nullptr, "PropSelectedTint", &P::PropSelectedTint),
        Key3f("[Gizmo Colors]", "GizmoX", &P::GizmoX),
        Key3f(nullptr, "GizmoY", &P::GizmoY),
        Key3f(nullptr, "GizmoZ", &P::GizmoZ),
        Key3i("[Hierarchy UI Colors]", "HierarchySelection", &P::HierarchySelection),
        Key3i(nullptr, "HierarchyMultiSelection", &P::HierarchyMultiSelection),
        Key3i(nullptr, "HierarchyOperation", &P::HierarchyOperation),
        Key3f("[Viewport]", "Grid", &P::Grid),
        Key3f(nullptr, "Background", &P::Background),
        Key3f(nullptr, "Wireframe", &P::Wireframe),
        KeySize(nullptr, "SelectionOutlineWidth", &P::SelectionOutlineWidth),
        {"[Theme]", "Theme", KEY_THEME, nullptr, nullptr, nullptr},
        Key3i(nullptr, "UIPanelBackground", &P::UIPanelBackground),
        Key3i(nullptr, "UIDialogBackground", &P::UIDialogBackground),
        Key3i(nullptr, "UIText", &P::UIText),
        Key3i(nullptr, "UIEditBackground", &P::UIEditBackground),
        Key3i(nullptr, "UIEditText", &P::UIEditText),
        Key3i(nullptr, "UITreeBackground", &P::UITreeBackground),
        Key3i(nullptr, "UITreeText", &P::UITreeText),
    };
    return keys;
}

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f';
}

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// The longest decimal number at the start of text (after white space), as
// ASCII: sign, digits, point, digits, exponent. Empty when there is none.
std::string DecimalPrefix(const std::wstring& text, bool allowFraction)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    std::string number;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        number += static_cast<char>(text[i++]);
    size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        number += static_cast<char>(text[i++]);
        ++digits;
    }
    if (allowFraction) {
        if (i < text.size() && text[i] == L'.') {
            number += '.';
            ++i;
            while (i < text.size() && IsDigit(text[i])) {
                number += static_cast<char>(text[i++]);
                ++digits;
            }
        }
        if (digits > 0 && i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
            size_t j = i + 1;
            std::string exponent = "e";
            if (j < text.size() && (text[j] == L'+' || text[j] == L'-'))
                exponent += static_cast<char>(text[j++]);
            if (j < text.size() && IsDigit(text[j])) {
                while (j < text.size() && IsDigit(text[j]))
                    exponent += static_cast<char>(text[j++]);
                number += exponent;
            }
        }
    }
    return digits > 0 ? number : std::string();
}

bool ReadFloat(const std::wstring& text, float& value)
{
    const std::string number = DecimalPrefix(text, true);
    if (number.empty())
        return false;
    const double read = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(read) || std::fabs(read) > FLT_MAX)
        return false;
    value = static_cast<float>(read);
    return true;
}

bool ReadInt(const std::wstring& text, int& value)
{
    const std::string number = DecimalPrefix(text, false);
    if (number.empty())
        return false;
    size_t i = 0;
    bool negative = false;
    if (number[i] == '+' || number[i] == '-')
        negative = number[i++] == '-';
    long long magnitude = 0;
    for (; i < number.size(); ++i) {
        magnitude = magnitude * 10 + (number[i] - '0');
        if (magnitude > 2147483648LL)
            return false;
    }
    const long long read = negative ? -magnitude : magnitude;
    if (read > 2147483647LL)
        return false;
    value = static_cast<int>(read);
    return true;
}

// The first three comma-separated tokens of text.
std::vector<std::wstring> SplitTokens(const std::wstring& text)
{
    std::vector<std::wstring> tokens;
    size_t start = 0;
    while (tokens.size() < 3) {
        const size_t comma = text.find(L',', start);
        tokens.push_back(text.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start));
        if (comma == std::wstring::npos)
            break;
        start = comma + 1;
    }
    return tokens;
}

std::wstring TrimBlanks(const std::wstring& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && (text[first] == L' ' || text[first] == L'\t'))
        ++first;
    while (last > first && (text[last - 1] == L' ' || text[last - 1] == L'\t'))
        --last;
    return text.substr(first, last - first);
}

void ApplyPreferenceLine(const std::wstring& line, ColorPreferences& prefs)
{
    if (line.empty() || line[0] == L';' || line[0] == L'#' || line[0] == L'[')
        return;
    const size_t equals = line.find(L'=');
    if (equals == std::wstring::npos)
        return;
    const std::wstring key = TrimBlanks(line.substr(0, equals));
    const std::wstring value = TrimBlanks(line.substr(equals + 1));

    for (const PreferenceKey& entry : PreferenceKeys()) {
        if (key != std::wstring(entry.name, entry.name + std::strlen(entry.name)))
            continue;
        switch (entry.kind) {
        case KEY_THEME:
            prefs.Theme = value == L"Dark" ? THEME_DARK : THEME_LIGHT;
            break;
        case KEY_COLOR3F: {
            Color3f& c = prefs.*entry.color3f;
            ParseColor3f(value, c.r, c.g, c.b);
            break;
        }
        case KEY_COLOR3I: {
            Color3i& c = prefs.*entry.color3i;
            ParseColor3i(value, c.r, c.g, c.b);
            break;
        }
        case KEY_SIZE: {
            float size = 0.0f;
            if (ReadPreferenceSize(value, size))
                prefs.*entry.size = size;
            break;
        }
        }
        return;
    }
}

// Six significant digits, the shorter of fixed and exponent form; the
// exponent always has at least two digits whatever the C runtime does.
std::string FormatFloat(float value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(value));
    std::string text = buffer;
    const size_t e = text.find('e');
    if (e != std::string::npos) {
        size_t digits = e + 2;   // after the sign
        while (text.size() - digits > 2 && text[digits] == '0')
            text.erase(digits, 1);
    }
    return text;
}

std::string FormatValue(const ColorPreferences& prefs, const PreferenceKey& entry)
{
    switch (entry.kind) {
    case KEY_THEME:
        return prefs.Theme == THEME_DARK ? "Dark" : "Light";
    case KEY_COLOR3F: {
        const Color3f& c = prefs.*entry.color3f;
        return FormatFloat(c.r) + "," + FormatFloat(c.g) + "," + FormatFloat(c.b);
    }
    case KEY_COLOR3I: {
        const Color3i& c = prefs.*entry.color3i;
        return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
    }
    case KEY_SIZE:
        return FormatFloat(prefs.*entry.size);
    }
    return std::string();
}

} // namespace

void ApplyThemePreset(ColorPreferences& prefs, int theme)
{
    const ThemePreset& preset = theme == THEME_DARK ? DARK_THEME_PRESET : LIGHT_THEME_PRESET;
    prefs.Theme = theme == THEME_DARK ? THEME_DARK : THEME_LIGHT;
    prefs.UIPanelBackground = preset.UIPanelBackground;
    prefs.UIDialogBackground = preset.UIDialogBackground;
    prefs.UIText = preset.UIText;
    prefs.UIEditBackground = preset.UIEditBackground;
    prefs.UIEditText = preset.UIEditText;
    prefs.UITreeBackground = preset.UITreeBackground;
    prefs.UITreeText = preset.UITreeText;
}

int ColorChannelByte(float channel)
{
    const float scaled = channel * 255.0f;
    if (!(scaled > 0.0f))
        return 0;
    if (scaled >= 255.0f)
        return 255;
    return static_cast<int>(scaled);
}

bool ReadPreferenceSize(const std::wstring& text, float& size)
{
    float read = 0.0f;
    // A zero or negative size would draw and pick nothing.
    if (!ReadFloat(text, read) || !(read > 0.0f))
        return false;
    size = read;
    return true;
}

void ParseColor3f(const std::wstring& text, float& r, float& g, float& b)
{
    float* fields[3] = {&r, &g, &b};
    const std::vector<std::wstring> tokens = SplitTokens(text);
    for (size_t i = 0; i < tokens.size(); ++i)
        ReadFloat(tokens[i], *fields[i]);
}

void ParseColor3i(const std::wstring& text, int& r, int& g, int& b)
{
    int* fields[3] = {&r, &g, &b};
    const std::vector<std::wstring> tokens = SplitTokens(text);
    for (size_t i = 0; i < tokens.size(); ++i)
        ReadInt(tokens[i], *fields[i]);
}

void ParsePreferencesText(const std::string& bytes, ColorPreferences& prefs)
{
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        size_t length = end - start;
        if (length > 0 && bytes[start + length - 1] == '\r')
            --length;
        std::wstring line;
        line.reserve(length);
        for (size_t i = 0; i < length; ++i)
            line += static_cast<wchar_t>(static_cast<unsigned char>(bytes[start + i]));
        ApplyPreferenceLine(line, prefs);
        start = end + 1;
    }
}

std::string FormatPreferencesText(const ColorPreferences& prefs)
{
    std::string text =
        "; Tarsel Studio Color Preferences\r\n"
        "; RGB values are in 0.0-1.0 range for OpenGL colors, 0-255 for UI colors\r\n";
    for (const PreferenceKey& entry : PreferenceKeys()) {
        if (entry.section)
            text += std::string("\r\n") + entry.section + "\r\n";
        text += std::string(entry.name) + "=" + FormatValue(prefs, entry) + "\r\n";
    }
    return text;
}
