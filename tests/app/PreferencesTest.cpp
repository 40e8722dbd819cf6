#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "app/Preferences.h"

namespace {

ColorPreferences Parse(const std::string& text)
{
    ColorPreferences prefs;
    ParsePreferencesText(text, prefs);
    return prefs;
}

// Byte-wise comparison of two records: every field is four bytes.
bool SameRecord(const ColorPreferences& a, const ColorPreferences& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void ExpectUsable(const ColorPreferences& prefs)
{
    EXPECT_TRUE(std::isfinite(prefs.VertexSize));
    EXPECT_GT(prefs.VertexSize, 0.0f);
    EXPECT_TRUE(std::isfinite(prefs.SelectionOutlineWidth));
    EXPECT_GT(prefs.SelectionOutlineWidth, 0.0f);
    for (const Color3f* c : {&prefs.SelectionSingle, &prefs.SelectionMulti, &prefs.SelectionOperation,
                             &prefs.VertexSelected, &prefs.VertexUnselected, &prefs.FaceHover,
                             &prefs.PropSelectedTint, &prefs.GizmoX, &prefs.GizmoY, &prefs.GizmoZ, &prefs.Grid,
                             &prefs.Background, &prefs.Wireframe}) {
        EXPECT_TRUE(std::isfinite(c->r) && std::isfinite(c->g) && std::isfinite(c->b));
    }
    EXPECT_TRUE(prefs.Theme == THEME_LIGHT || prefs.Theme == THEME_DARK);
}

} // namespace

TEST(Preferences, RecordHoldsSeventyTwoFourByteFields)
{
    EXPECT_EQ(sizeof(ColorPreferences), 72u * 4u);
}

TEST(Preferences, DefaultsAreTheLightTheme)
{
    ColorPreferences prefs;
    EXPECT_EQ(prefs.Theme, THEME_LIGHT);
    EXPECT_FLOAT_EQ(prefs.SelectionSingle.g, 0.5f);
    EXPECT_FLOAT_EQ(prefs.VertexSize, 0.15f);
    EXPECT_FLOAT_EQ(prefs.PropSelectedTint.r, 1.2f);
    EXPECT_EQ(prefs.HierarchyMultiSelection.g, 153);
    EXPECT_FLOAT_EQ(prefs.Background.b, 0.15f);
    EXPECT_FLOAT_EQ(prefs.SelectionOutlineWidth, 2.0f);
    EXPECT_EQ(prefs.UIPanelBackground.r, 240);
    EXPECT_EQ(prefs.UIEditBackground.b, 255);
    EXPECT_EQ(prefs.UITreeText.r, 0);
    EXPECT_TRUE(SameRecord(g_ColorPrefs, prefs));
    EXPECT_TRUE(SameRecord(g_PrefsDialogCopy, prefs));
}

TEST(Preferences, WritesTheDefaultsExactly)
{
    const std::string expected =
        "; Tarsel Studio Color Preferences\r\n"
        "; RGB values are in 0.0-1.0 range for OpenGL colors, 0-255 for UI colors\r\n"
        "\r\n"
        "[Selection Colors]\r\n"
        "SelectionSingle=1,0.5,0\r\n"
        "SelectionMulti=0.2,0.6,1\r\n"
        "SelectionOperation=0,1,1\r\n"
        "\r\n"
        "[Vertex Colors]\r\n"
        "VertexSelected=1,0.8,0\r\n"
        "VertexUnselected=1,1,1\r\n"
        "VertexSize=0.15\r\n"
        "\r\n"
        "[Other Colors]\r\n"
        "FaceHover=1,1,0\r\n"
        "PropSelectedTint=1.2,0.8,0.4\r\n"
        "\r\n"
        "[Gizmo Colors]\r\n"
        "GizmoX=1,0,0\r\n"
        "GizmoY=0,1,0\r\n"
        "GizmoZ=0,0,1\r\n"
        "\r\n"
        "[Hierarchy UI Colors]\r\n"
        "HierarchySelection=255,128,0\r\n"
        "HierarchyMultiSelection=51,153,255\r\n"
        "HierarchyOperation=200,255,255\r\n"
        "\r\n"
        "[Viewport]\r\n"
        "Grid=0.3,0.3,0.3\r\n"
        "Background=0.15,0.15,0.15\r\n"
        "Wireframe=0.5,0.5,0.5\r\n"
        "SelectionOutlineWidth=2\r\n"
        "\r\n"
        "[Theme]\r\n"
        "Theme=Light\r\n"
        "UIPanelBackground=240,240,240\r\n"
        "UIDialogBackground=240,240,240\r\n"
        "UIText=0,0,0\r\n"
        "UIEditBackground=255,255,255\r\n"
        "UIEditText=0,0,0\r\n"
        "UITreeBackground=255,255,255\r\n"
        "UITreeText=0,0,0\r\n";
    EXPECT_EQ(FormatPreferencesText(ColorPreferences()), expected);
}

TEST(Preferences, DefaultsRoundTrip)
{
    const ColorPreferences read = Parse(FormatPreferencesText(ColorPreferences()));
    EXPECT_TRUE(SameRecord(read, ColorPreferences()));
}

TEST(Preferences, ChangedValuesRoundTrip)
{
    ColorPreferences prefs;
    prefs.Theme = THEME_DARK;
    prefs.GizmoY = {0.25f, 0.125f, 0.75f};
    prefs.VertexSize = 0.3f;
    prefs.UIPanelBackground = {32, 33, 34};
    prefs.UITreeText = {300, -1, 7};
    prefs.Background = {1e10f, 1e-7f, 0.0f};
    const std::string text = FormatPreferencesText(prefs);
    EXPECT_NE(text.find("Theme=Dark\r\n"), std::string::npos);
    // The exponent has two digits in both builds.
    EXPECT_NE(text.find("Background=1e+10,1e-07,0\r\n"), std::string::npos);
    const ColorPreferences read = Parse(text);
    EXPECT_EQ(read.Theme, THEME_DARK);
    EXPECT_FLOAT_EQ(read.GizmoY.g, 0.125f);
    EXPECT_FLOAT_EQ(read.VertexSize, 0.3f);
    EXPECT_EQ(read.UIPanelBackground.b, 34);
    EXPECT_EQ(read.UITreeText.r, 300);
    EXPECT_EQ(read.UITreeText.g, -1);
    EXPECT_FLOAT_EQ(read.Background.r, 1e10f);
    EXPECT_FLOAT_EQ(read.Background.g, 1e-7f);
}

TEST(Preferences, FileEndsWithTheLastKeyLine)
{
    const std::string text = FormatPreferencesText(ColorPreferences());
    const std::string tail = "UITreeText=0,0,0\r\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    // Every line feed is preceded by a carriage return.
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            EXPECT_EQ(text[i - 1], '\r') << "at " << i;
        }
    }
}

TEST(Preferences, OnlyThemeDarkKeepsTheColours)
{
    const ColorPreferences prefs = Parse("Theme=Dark");
    EXPECT_EQ(prefs.Theme, THEME_DARK);
    ColorPreferences expected;
    expected.Theme = THEME_DARK;
    EXPECT_TRUE(SameRecord(prefs, expected));
}

TEST(Preferences, CarriageReturnIsDroppedFromEachLine)
{
    EXPECT_EQ(Parse("Theme=Dark\r\n").Theme, THEME_DARK);
    EXPECT_EQ(Parse("Theme=Light\r\nTheme=Dark\r\n").Theme, THEME_DARK);
    // Only one CR goes: the value "Dark\r" is not "Dark".
    EXPECT_EQ(Parse("Theme=Dark\r\r\n").Theme, THEME_LIGHT);
}

TEST(Preferences, ThemeValueIsCaseSensitive)
{
    EXPECT_EQ(Parse("Theme=dark\n").Theme, THEME_LIGHT);
    EXPECT_EQ(Parse("Theme=DARK\n").Theme, THEME_LIGHT);
    EXPECT_EQ(Parse("Theme = Dark \n").Theme, THEME_DARK);
}

TEST(Preferences, SpacesAroundKeyAndTokensAreTrimmed)
{
    const ColorPreferences prefs = Parse("GizmoX = 0.2, 0.3\n");
    EXPECT_FLOAT_EQ(prefs.GizmoX.r, 0.2f);
    EXPECT_FLOAT_EQ(prefs.GizmoX.g, 0.3f);
    EXPECT_FLOAT_EQ(prefs.GizmoX.b, 0.0f);
    const ColorPreferences tabs = Parse("\tUIText\t=\t1,\t2,3\n");
    EXPECT_EQ(tabs.UIText.r, 1);
    EXPECT_EQ(tabs.UIText.g, 2);
    EXPECT_EQ(tabs.UIText.b, 3);
}

TEST(Preferences, FourthTokenIsIgnored)
{
    const ColorPreferences prefs = Parse("GizmoX=1,0,0,5\n");
    EXPECT_FLOAT_EQ(prefs.GizmoX.r, 1.0f);
    EXPECT_FLOAT_EQ(prefs.GizmoX.g, 0.0f);
    EXPECT_FLOAT_EQ(prefs.GizmoX.b, 0.0f);
}

TEST(Preferences, HeadersCommentsAndLinesWithoutEqualsAreSkipped)
{
    const ColorPreferences prefs = Parse("[Viewport]=1\n#Grid=1,1,1\n;Grid=1,1,1\nGrid\n   \n\n");
    EXPECT_TRUE(SameRecord(prefs, ColorPreferences()));
}

TEST(Preferences, KeysAreCaseSensitiveAndWhole)
{
    EXPECT_TRUE(SameRecord(Parse("gizmox=0,0,0\nGizmoXX=0,0,0\nGizmo=0,0,0\n"), ColorPreferences()));
}

TEST(Preferences, KeysCountWhereverTheyStand)
{
    const ColorPreferences prefs = Parse("[Theme]\nGrid=0.9,0.8,0.7\n");
    EXPECT_FLOAT_EQ(prefs.Grid.r, 0.9f);
}

TEST(Preferences, LaterValueOverridesEarlier)
{
    EXPECT_FLOAT_EQ(Parse("VertexSize=0.3\nVertexSize=0.4\n").VertexSize, 0.4f);
}

TEST(Preferences, MissingTokensKeepTheirFields)
{
    const ColorPreferences prefs = Parse("UIText=10,20\nGrid=\nBackground=0.5,,0.25\n");
    EXPECT_EQ(prefs.UIText.r, 10);
    EXPECT_EQ(prefs.UIText.g, 20);
    EXPECT_EQ(prefs.UIText.b, 0);
    EXPECT_FLOAT_EQ(prefs.Grid.r, 0.3f);
    EXPECT_FLOAT_EQ(prefs.Background.r, 0.5f);
    EXPECT_FLOAT_EQ(prefs.Background.g, 0.15f);
    EXPECT_FLOAT_EQ(prefs.Background.b, 0.25f);
}

TEST(Preferences, NumbersAreReadFromTheStartOfEachToken)
{
    const ColorPreferences prefs = Parse("GizmoZ=0.5abc,1e-1x, 2.\nUIText=7.9,+3,-4q\n");
    EXPECT_FLOAT_EQ(prefs.GizmoZ.r, 0.5f);
    EXPECT_FLOAT_EQ(prefs.GizmoZ.g, 0.1f);
    EXPECT_FLOAT_EQ(prefs.GizmoZ.b, 2.0f);
    EXPECT_EQ(prefs.UIText.r, 7);
    EXPECT_EQ(prefs.UIText.g, 3);
    EXPECT_EQ(prefs.UIText.b, -4);
}

TEST(Preferences, ColoursAreNotClamped)
{
    const ColorPreferences prefs = Parse("UIPanelBackground=300,-1,256\nGrid=2,-0.5,1\n");
    EXPECT_EQ(prefs.UIPanelBackground.r, 300);
    EXPECT_EQ(prefs.UIPanelBackground.g, -1);
    EXPECT_FLOAT_EQ(prefs.Grid.g, -0.5f);
}

TEST(Preferences, TextThatIsNoNumberKeepsTheField)
{
    const ColorPreferences prefs = Parse("Grid=a,b,c\nUIText=x,.,-\nVertexSize=abc\n");
    EXPECT_TRUE(SameRecord(prefs, ColorPreferences()));
}

TEST(Preferences, NanInfinityAndHexAreRefused)
{
    const ColorPreferences prefs =
        Parse("Grid=nan,inf,-inf\nBackground=NAN,INFINITY,0x1p3\nVertexSize=nan\nSelectionOutlineWidth=inf\n"
              "UIText=0x10,0x,0X7f\n");
    EXPECT_FLOAT_EQ(prefs.Grid.r, 0.3f);
    EXPECT_FLOAT_EQ(prefs.Grid.g, 0.3f);
    EXPECT_FLOAT_EQ(prefs.Grid.b, 0.3f);
    EXPECT_FLOAT_EQ(prefs.Background.r, 0.15f);
    EXPECT_FLOAT_EQ(prefs.Background.g, 0.15f);
    // "0x1p3" is the number 0 followed by text, never 8.
    EXPECT_FLOAT_EQ(prefs.Background.b, 0.0f);
    EXPECT_FLOAT_EQ(prefs.VertexSize, 0.15f);
    EXPECT_FLOAT_EQ(prefs.SelectionOutlineWidth, 2.0f);
    EXPECT_EQ(prefs.UIText.r, 0);
    EXPECT_EQ(prefs.UIText.b, 0);
}

TEST(Preferences, OutOfRangeNumbersAreRefused)
{
    const ColorPreferences prefs =
        Parse("Grid=1e39,-1e39,1e999\nUIText=2147483648,-2147483649,99999999999999999999\n"
              "UIEditText=2147483647,-2147483648,5\n");
    EXPECT_FLOAT_EQ(prefs.Grid.r, 0.3f);
    EXPECT_FLOAT_EQ(prefs.Grid.g, 0.3f);
    EXPECT_FLOAT_EQ(prefs.Grid.b, 0.3f);
    EXPECT_EQ(prefs.UIText.r, 0);
    EXPECT_EQ(prefs.UIText.g, 0);
    EXPECT_EQ(prefs.UIText.b, 0);
    EXPECT_EQ(prefs.UIEditText.r, 2147483647);
    EXPECT_EQ(prefs.UIEditText.g, -2147483647 - 1);
}

TEST(Preferences, SizesMustBeAboveZero)
{
    EXPECT_FLOAT_EQ(Parse("VertexSize=0\n").VertexSize, 0.15f);
    EXPECT_FLOAT_EQ(Parse("VertexSize=-1\n").VertexSize, 0.15f);
    EXPECT_FLOAT_EQ(Parse("SelectionOutlineWidth=-0\n").SelectionOutlineWidth, 2.0f);
    EXPECT_FLOAT_EQ(Parse("SelectionOutlineWidth=3.5\n").SelectionOutlineWidth, 3.5f);
}

TEST(Preferences, TruncatedFileKeepsWhatWasRead)
{
    const std::string whole = FormatPreferencesText([] {
        ColorPreferences p;
        p.SelectionSingle = {0.1f, 0.2f, 0.3f};
        p.UITreeText = {9, 9, 9};
        return p;
    }());
    for (size_t cut = 0; cut <= whole.size(); ++cut) {
        const ColorPreferences prefs = Parse(whole.substr(0, cut));
        ExpectUsable(prefs);
    }
    const ColorPreferences half = Parse(whole.substr(0, whole.find("VertexSelected")));
    EXPECT_FLOAT_EQ(half.SelectionSingle.r, 0.1f);
    EXPECT_EQ(half.UITreeText.r, 0);
}

TEST(Preferences, BinaryGarbageNeverGivesUnusableValues)
{
    std::mt19937 random(12345);
    const char* keys[] = {"Theme=", "VertexSize=", "SelectionOutlineWidth=", "Grid=", "UIText=", "GizmoX="};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int lines = random() % 8;
        for (int line = 0; line < lines; ++line) {
            if (random() % 2)
                text += keys[random() % 6];
            const int length = random() % 40;
            for (int i = 0; i < length; ++i)
                text += static_cast<char>(random() % 256);
            text += (random() % 2) ? "\r\n" : "\n";
        }
        ExpectUsable(Parse(text));
    }
}

TEST(Preferences, EmbeddedNulAndVeryLongLinesAreHarmless)
{
    std::string text = "UIText=1";
    text += '\0';
    text += "2,3\n";
    text += "Grid=" + std::string(100000, '9') + "\n";
    text += "UIEditText=" + std::string(100000, '1') + "\n";
    const ColorPreferences prefs = Parse(text);
    // The NUL ends the first number; the line goes on to the next token.
    EXPECT_EQ(prefs.UIText.r, 1);
    EXPECT_EQ(prefs.UIText.g, 3);
    EXPECT_EQ(prefs.UIText.b, 0);
    EXPECT_FLOAT_EQ(prefs.Grid.r, 0.3f);
    EXPECT_EQ(prefs.UIEditText.r, 0);
}

TEST(Preferences, ParseColorHelpersReadWideText)
{
    float r = 5, g = 6, b = 7;
    ParseColor3f(L"0.25", r, g, b);
    EXPECT_FLOAT_EQ(r, 0.25f);
    EXPECT_FLOAT_EQ(g, 6.0f);
    int ir = 1, ig = 2, ib = 3;
    ParseColor3i(L"  12 ,x, 99", ir, ig, ib);
    EXPECT_EQ(ir, 12);
    EXPECT_EQ(ig, 2);
    EXPECT_EQ(ib, 99);
}

TEST(Preferences, ColourBytesTruncateAndClamp)
{
    EXPECT_EQ(ColorChannelByte(0.5f), 127);
    EXPECT_EQ(ColorChannelByte(1.0f), 255);
    EXPECT_EQ(ColorChannelByte(0.0f), 0);
    EXPECT_EQ(ColorChannelByte(1.2f), 255);
    EXPECT_EQ(ColorChannelByte(-0.3f), 0);
    EXPECT_EQ(ColorChannelByte(1e30f), 255);
    EXPECT_EQ(ColorChannelByte(std::nanf("")), 0);
    // A byte read back from the picker gives the same byte again.
    for (int byte = 0; byte <= 255; ++byte)
        EXPECT_EQ(ColorChannelByte(byte / 255.0f), byte);
}

TEST(Preferences, SizesAreFiniteNumbersAboveZero)
{
    float size = 7.0f;
    EXPECT_TRUE(ReadPreferenceSize(L"  3.5px", size));
    EXPECT_FLOAT_EQ(size, 3.5f);
    for (const wchar_t* refused : {L"", L"px", L"0", L"-1", L"1e39", L"nan", L"inf", L"1e-60"}) {
        size = 7.0f;
        EXPECT_FALSE(ReadPreferenceSize(refused, size)) << refused;
        EXPECT_FLOAT_EQ(size, 7.0f);
    }
}
