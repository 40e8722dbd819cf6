// Mesh side files (.tsm): the binary file that holds one explicit mesh of a
// project, its vertices, triangles and per-face texture, scale and colour.
// Little-endian: "TSM\0", u32 version, i32 nV, i32 nF, nV x 3 f64, nF x 3 i32,
// nF i32 texture indices, nF f32 texture scales, then (version 2) nF x 3 i32
// colours R, G, B.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <Eigen/Core>

#include "scene/SceneTypes.h"

const uint32_t TSM_VERSION = 2;

// What a side file holds.
struct MeshFileData {
    Eigen::MatrixXd V;
    Eigen::MatrixXi F;
    std::vector<int> faceTextureIDs;
    std::vector<float> faceTextureScales;
    std::vector<FaceColor> faceColors;   // empty for a version 1 file
    uint32_t version = TSM_VERSION;
    int repairedValues = 0;              // per-face scales and colours mended
};

// The file's bytes (version 2). Per-face arrays shorter than F are padded with
// -1, 1.0 and white; entries beyond the rows of F are not written.
std::vector<unsigned char> EncodeMeshFile(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F,
                                          const std::vector<int>& faceTextureIDs,
                                          const std::vector<float>& faceTextureScales,
                                          const std::vector<FaceColor>& faceColors);

// Checks everything before trusting it: header, version, counts against the
// size, indices within 0..nV-1 and finite coordinates. Repairs per-face scales
// that are not finite and positive (1.0) and colours outside 0..255 (clamped).
// False with the reason (naming path) in error; data is then unspecified.
bool DecodeMeshFile(const std::vector<unsigned char>& bytes, const std::wstring& path, MeshFileData& data,
                    std::wstring& error);

// Writes the side file (through a temporary file, so an old file is replaced
// only by a complete new one); logs "Saved TSM file: ..." or an "ERROR: " line.
bool SaveMeshFile(const std::wstring& path, const Eigen::MatrixXd& V, const Eigen::MatrixXi& F,
                  const std::vector<int>& faceTextureIDs, const std::vector<float>& faceTextureScales,
                  const std::vector<FaceColor>& faceColors);

// The "Saved TSM file: " log line, for writers that move their files into
// place themselves.
void LogMeshFileSaved(const std::wstring& path, const Eigen::MatrixXd& V, const Eigen::MatrixXi& F);

// Reads a side file into the out-parameters only when the whole file passed
// its checks; otherwise logs one "ERROR: " line, changes nothing and returns
// false. repairedValues, when given, receives the number of values mended.
bool LoadMeshFile(const std::wstring& path, Eigen::MatrixXd& V, Eigen::MatrixXi& F,
                  std::vector<int>& faceTextureIDs, std::vector<float>& faceTextureScales,
                  std::vector<FaceColor>& faceColors, int* repairedValues = nullptr);
