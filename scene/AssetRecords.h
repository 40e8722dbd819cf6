// Asset records held by the scene: Texture, Model (a loaded glTF prop),
// PropBrush and PaintBrush. Plain data; the loaders and panels fill them.
// OpenGL texture names are plain unsigned ints so the core needs no GL headers.
#pragma once

#include <array>
#include <string>
#include <vector>

#include <Eigen/Core>

// One loaded image. Objects and brushes refer to it by its index in g_Textures.
struct Texture {
    int id;                // serial number from g_NextTextureId, never saved
    std::wstring path;     // as passed to the loader; key for de-duplication
    std::wstring name;     // file name, plus " [MISSING]" when the image failed
    unsigned int glName;   // the placeholder's name for a failed image
    int width, height;

    Texture() : id(0), glName(0), width(0), height(0) {}
};

// One loaded glTF model, normalised into a unit cube about the origin.
struct Model {
    int id;                // serial number from g_NextModelId
    std::wstring path;
    std::wstring name;
    Eigen::MatrixXd V;     // n x 3, normalised positions
    Eigen::MatrixXd UV;    // n x 2, (0, 0) where the file has none
    Eigen::MatrixXi F;     // m x 3
    Eigen::VectorXi faceMaterial;                       // material per triangle
    std::vector<std::array<float, 3>> materialColors;   // base colour 0 to 1
    std::vector<unsigned int> materialTextures;         // GL name per material, 0 none
    std::array<float, 3> baseColor;                     // first material's colour
    float normalizeScale;

    Model() : id(0), baseColor{{0.8f, 0.8f, 0.8f}}, normalizeScale(1.0f) {}
};

// What the Plotter places: a named reference to a Model by its id.
struct PropBrush {
    std::wstring name;
    int modelID;    // Model id, -1 none
    bool builtIn;   // the "Custom" brush: never saved, never removed

    PropBrush() : modelID(-1), builtIn(false) {}
};

// A Painter brush. The panel names new brushes "Brush " plus their number.
struct PaintBrush {
    std::wstring name;
    int texture;          // index into g_Textures, -1 none
    float size;
    float textureScale;
    int r, g, b;

    PaintBrush() : texture(-1), size(1.0f), textureScale(1.0f), r(255), g(255), b(255) {}
};
