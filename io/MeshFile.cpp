#include "io/MeshFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "io/FileUtil.h"
#include "scene/DebugLog.h"

namespace {

const unsigned char TSM_MAGIC[4] = {'T', 'S', 'M', 0};
const size_t HEADER_BYTES = 16;
// Small enough to stay in the cache while it is decoded.
const size_t READ_BUFFER_BYTES = size_t(1) << 16;

// Little-endian stores and loads, independent of the host's byte order.
void PutU32(unsigned char*& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        *out++ = static_cast<unsigned char>(value >> (8 * i));
}

void PutI32(unsigned char*& out, int32_t value) { PutU32(out, static_cast<uint32_t>(value)); }

void PutF32(unsigned char*& out, float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    PutU32(out, bits);
}

void PutF64(unsigned char*& out, double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    PutU32(out, static_cast<uint32_t>(bits));
    PutU32(out, static_cast<uint32_t>(bits >> 32));
}

uint32_t LoadU32(const unsigned char* in)
{
    return uint32_t(in[0]) | uint32_t(in[1]) << 8 | uint32_t(in[2]) << 16 | uint32_t(in[3]) << 24;
}

int32_t LoadI32(const unsigned char* in) { return static_cast<int32_t>(LoadU32(in)); }

float LoadF32(const unsigned char* in)
{
    uint32_t bits = LoadU32(in);
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

double LoadF64(const unsigned char* in)
{
    uint64_t bits = uint64_t(LoadU32(in)) | uint64_t(LoadU32(in + 4)) << 32;
    double value;
    std::memcpy(&value, &bits, 8);
    return value;
}

// Hands out the file's bytes a few at a time, from memory or from an open
// file through a small buffer, so a large file is decoded while its bytes
// are still in the cache instead of being copied whole first.
struct MeshByteReader {
    const unsigned char* data = nullptr;
    size_t at = 0;
    size_t end = 0;
    std::FILE* file = nullptr;
    std::vector<unsigned char> buffer;

    // Null when fewer than count bytes are left.
    const unsigned char* Take(size_t count)
    {
        if (end - at < count && !Refill(count))
            return nullptr;
        const unsigned char* bytes = data + at;
        at += count;
        return bytes;
    }
    bool Refill(size_t count)
    {
        if (!file)
            return false;
        size_t rest = end - at;
        if (rest > 0)
            std::memmove(buffer.data(), data + at, rest);
        size_t got = std::fread(buffer.data() + rest, 1, buffer.size() - rest, file);
        data = buffer.data();
        at = 0;
        end = rest + got;
        return end >= count;
    }
    bool AtEnd()
    {
        return at == end && (!file || std::fgetc(file) == EOF);
    }
};

// Bytes of the body after the header, in 64 bits so no count can wrap.
uint64_t BodyBytes(uint32_t version, int64_t nV, int64_t nF)
{
    uint64_t perFace = 12 + 4 + 4 + (version >= 2 ? 12 : 0);
    return 24 * static_cast<uint64_t>(nV) + perFace * static_cast<uint64_t>(nF);
}

int ClampColor(int32_t value) { return std::min<int32_t>(255, std::max<int32_t>(0, value)); }

} // namespace

std::vector<unsigned char> EncodeMeshFile(const Eigen::MatrixXd& V, const Eigen::MatrixXi& F,
                                          const std::vector<int>& faceTextureIDs,
                                          const std::vector<float>& faceTextureScales,
                                          const std::vector<FaceColor>& faceColors)
{
    const Eigen::Index nV = V.cols() == 3 ? V.rows() : 0;
    const Eigen::Index nF = F.cols() == 3 ? F.rows() : 0;
    std::vector<unsigned char> bytes(HEADER_BYTES + BodyBytes(TSM_VERSION, nV, nF));
    unsigned char* out = bytes.data();
    std::memcpy(out, TSM_MAGIC, 4);
    out += 4;
    PutU32(out, TSM_VERSION);
    PutI32(out, static_cast<int32_t>(nV));
    PutI32(out, static_cast<int32_t>(nF));
    for (Eigen::Index i = 0; i < nV; ++i)
        for (int k = 0; k < 3; ++k)
            PutF64(out, V(i, k));
    for (Eigen::Index i = 0; i < nF; ++i)
        for (int k = 0; k < 3; ++k)
            PutI32(out, F(i, k));
    for (Eigen::Index i = 0; i < nF; ++i)
        PutI32(out, static_cast<size_t>(i) < faceTextureIDs.size() ? faceTextureIDs[i] : -1);
    for (Eigen::Index i = 0; i < nF; ++i)
        PutF32(out, static_cast<size_t>(i) < faceTextureScales.size() ? faceTextureScales[i] : 1.0f);
    for (Eigen::Index i = 0; i < nF; ++i) {
        FaceColor color = static_cast<size_t>(i) < faceColors.size() ? faceColors[i] : FaceColor();
        PutI32(out, color.r);
        PutI32(out, color.g);
        PutI32(out, color.b);
    }
    return bytes;
}

namespace {

// Hands decode(bytes, first, n) the next records of recordBytes each, as
// many at a time as the buffer holds, until count were decoded. False when
// the bytes run out or decode refuses a record.
template <typename Decode>
bool ForEachRecord(MeshByteReader& in, int32_t count, size_t recordBytes, bool& truncated, Decode decode)
{
    int32_t done = 0;
    while (done < count) {
        if (in.end - in.at < recordBytes && !in.Refill(recordBytes)) {
            truncated = true;
            return false;
        }
        int32_t n = static_cast<int32_t>(std::min<size_t>(count - done, (in.end - in.at) / recordBytes));
        if (!decode(in.data + in.at, done, n))
            return false;
        in.at += static_cast<size_t>(n) * recordBytes;
        done += n;
    }
    return true;
}

// Checks and reads a whole side file of totalBytes bytes into data.
bool DecodeMeshBytes(MeshByteReader& in, uint64_t totalBytes, const std::wstring& path, MeshFileData& data,
                     std::wstring& error)
{
    const unsigned char* header = in.Take(HEADER_BYTES);
    if (totalBytes < HEADER_BYTES || !header || std::memcmp(header, TSM_MAGIC, 4) != 0) {
        error = L"Invalid TSM file header: " + path;
        return false;
    }
    const uint32_t version = LoadU32(header + 4);
    if (version != 1 && version != 2) {
        error = L"Unsupported TSM version: " + std::to_wstring(version);
        return false;
    }
    const int32_t nV = LoadI32(header + 8);
    const int32_t nF = LoadI32(header + 12);
    if (nV < 0 || nF < 0 || totalBytes - HEADER_BYTES != BodyBytes(version, nV, nF)) {
        error = L"TSM file size does not match its counts (" + std::to_wstring(nV) + L" verts, " +
                std::to_wstring(nF) + L" faces, " + std::to_wstring(totalBytes) + L" bytes): " + path;
        return false;
    }

    data.version = version;
    data.V.resize(nV, 3);
    data.F.resize(nF, 3);
    data.faceTextureIDs.resize(nF);
    data.faceTextureScales.resize(nF);
    data.faceColors.resize(version >= 2 ? nF : 0);
    bool truncated = false;
    bool ok = ForEachRecord(in, nV, 24, truncated, [&](const unsigned char* bytes, int32_t first, int32_t n) {
        for (int32_t i = 0; i < n; ++i) {
            for (int k = 0; k < 3; ++k) {
                double value = LoadF64(bytes + 24 * i + 8 * k);
                if (!std::isfinite(value)) {
                    error = L"TSM vertex " + std::to_wstring(first + i) + L" is not finite: " + path;
                    return false;
                }
                data.V(first + i, k) = value;
            }
        }
        return true;
    });
    ok = ok && ForEachRecord(in, nF, 12, truncated, [&](const unsigned char* bytes, int32_t first, int32_t n) {
        for (int32_t i = 0; i < n; ++i) {
            for (int k = 0; k < 3; ++k) {
                int32_t index = LoadI32(bytes + 12 * i + 4 * k);
                if (index < 0 || index >= nV) {
                    error = L"TSM triangle " + std::to_wstring(first + i) + L" names vertex " +
                            std::to_wstring(index) + L" of " + std::to_wstring(nV) + L": " + path;
                    return false;
                }
                data.F(first + i, k) = index;
            }
        }
        return true;
    });
    ok = ok && ForEachRecord(in, nF, 4, truncated, [&](const unsigned char* bytes, int32_t first, int32_t n) {
        for (int32_t i = 0; i < n; ++i)
            data.faceTextureIDs[first + i] = LoadI32(bytes + 4 * i);
        return true;
    });
    ok = ok && ForEachRecord(in, nF, 4, truncated, [&](const unsigned char* bytes, int32_t first, int32_t n) {
        for (int32_t i = 0; i < n; ++i) {
            float scale = LoadF32(bytes + 4 * i);
            bool usable = std::isfinite(scale) && scale > 0.0f;
            data.faceTextureScales[first + i] = usable ? scale : 1.0f;
            data.repairedValues += usable ? 0 : 1;
        }
        return true;
    });
    const int32_t colors = static_cast<int32_t>(data.faceColors.size());
    ok = ok && ForEachRecord(in, colors, 12, truncated, [&](const unsigned char* bytes, int32_t first, int32_t n) {
        for (int32_t i = 0; i < n; ++i) {
            const unsigned char* color = bytes + 12 * i;
            const int32_t r = LoadI32(color), g = LoadI32(color + 4), b = LoadI32(color + 8);
            data.faceColors[first + i] = FaceColor(ClampColor(r), ClampColor(g), ClampColor(b));
            data.repairedValues += (r != ClampColor(r)) + (g != ClampColor(g)) + (b != ClampColor(b));
        }
        return true;
    });
    // The size was checked up front; this catches a file changed while read.
    if (truncated || (ok && !in.AtEnd())) {
        error = L"TSM file changed while it was read: " + path;
        return false;
    }
    return ok;
}

} // namespace

bool DecodeMeshFile(const std::vector<unsigned char>& bytes, const std::wstring& path, MeshFileData& data,
                    std::wstring& error)
{
    MeshByteReader in;
    in.data = bytes.data();
    in.end = bytes.size();
    return DecodeMeshBytes(in, bytes.size(), path, data, error);
}

bool SaveMeshFile(const std::wstring& path, const Eigen::MatrixXd& V, const Eigen::MatrixXi& F,
                  const std::vector<int>& faceTextureIDs, const std::vector<float>& faceTextureScales,
                  const std::vector<FaceColor>& faceColors)
{
    const std::wstring temporary = path + L".saving";
    if (!WriteFileBytes(temporary, EncodeMeshFile(V, F, faceTextureIDs, faceTextureScales, faceColors)) ||
        !ReplaceFileWith(path, temporary)) {
        RemoveFile(temporary);
        DebugLog(L"ERROR: Failed to create TSM file: " + path);
        return false;
    }
    LogMeshFileSaved(path, V, F);
    return true;
}

void LogMeshFileSaved(const std::wstring& path, const Eigen::MatrixXd& V, const Eigen::MatrixXi& F)
{
    DebugLog(L"Saved TSM file: " + path + L" (" + std::to_wstring(V.cols() == 3 ? V.rows() : 0) + L" verts, " +
             std::to_wstring(F.cols() == 3 ? F.rows() : 0) + L" faces)");
}

bool LoadMeshFile(const std::wstring& path, Eigen::MatrixXd& V, Eigen::MatrixXi& F,
                  std::vector<int>& faceTextureIDs, std::vector<float>& faceTextureScales,
                  std::vector<FaceColor>& faceColors, int* repairedValues)
{
    std::FILE* file = OpenFileForReading(path);
    long long size = file ? OpenFileSize(file) : -1;
    if (size < 0) {
        if (file)
            std::fclose(file);
        DebugLog(L"ERROR: Failed to open TSM file: " + path);
        return false;
    }
    MeshByteReader in;
    in.file = file;
    in.buffer.resize(READ_BUFFER_BYTES);
    MeshFileData data;
    std::wstring error;
    bool decoded = DecodeMeshBytes(in, static_cast<uint64_t>(size), path, data, error);
    std::fclose(file);
    if (!decoded) {
        DebugLog(L"ERROR: " + error);
        return false;
    }
    V.swap(data.V);
    F.swap(data.F);
    faceTextureIDs.swap(data.faceTextureIDs);
    faceTextureScales.swap(data.faceTextureScales);
    faceColors.swap(data.faceColors);
    if (repairedValues)
        *repairedValues = data.repairedValues;
    DebugLog(L"Loaded TSM file: " + path + L" (version " + std::to_wstring(data.version) + L", " +
             std::to_wstring(V.rows()) + L" verts, " + std::to_wstring(F.rows()) + L" faces)");
    return true;
}
