#include "io/FileUtil.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#include <direct.h>
#else
#include <sys/stat.h>
#endif

#include "io/Utf8.h"

namespace {

FILE* OpenFile(const std::wstring& path, bool forWriting)
{
#ifdef _WIN32
    return _wfopen(path.c_str(), forWriting ? L"wb" : L"rb");
#else
    return std::fopen(WideToUtf8(path).c_str(), forWriting ? "wb" : "rb");
#endif
}

size_t LastSeparator(const std::wstring& path) { return path.find_last_of(L"\\/"); }

} // namespace

std::FILE* OpenFileForReading(const std::wstring& path) { return OpenFile(path, false); }

long long OpenFileSize(std::FILE* file)
{
#ifdef _WIN32
    if (_fseeki64(file, 0, SEEK_END) != 0)
        return -1;
    long long size = _ftelli64(file);
    _fseeki64(file, 0, SEEK_SET);
#else
    if (fseeko(file, 0, SEEK_END) != 0)
        return -1;
    long long size = ftello(file);
    fseeko(file, 0, SEEK_SET);
#endif
    return size;
}

bool ReadFileBytes(const std::wstring& path, std::vector<unsigned char>& bytes, size_t maxBytes)
{
    bytes.clear();
    FILE* file = OpenFile(path, false);
    if (!file)
        return false;
    // Read in chunks rather than trusting a size query: the cap holds even for
    // files that grow while being read.
    const size_t CHUNK = 1 << 16;
    bool ok = true;
    for (;;) {
        size_t old = bytes.size();
        if (old > maxBytes) {
            ok = false;
            break;
        }
        bytes.resize(old + CHUNK);
        size_t got = std::fread(bytes.data() + old, 1, CHUNK, file);
        bytes.resize(old + got);
        if (got < CHUNK) {
            ok = !std::ferror(file) && bytes.size() <= maxBytes;
            break;
        }
    }
    std::fclose(file);
    if (!ok) {
        bytes.clear();
        bytes.shrink_to_fit();
    }
    return ok;
}

namespace {

bool WritePieces(const std::wstring& path, const std::vector<FilePiece>& pieces)
{
    FILE* file = OpenFile(path, true);
    if (!file)
        return false;
    bool ok = true;
    for (const FilePiece& piece : pieces)
        ok = ok && (piece.size == 0 || std::fwrite(piece.data, 1, piece.size, file) == piece.size);
    return std::fclose(file) == 0 && ok;
}

} // namespace

bool WriteFileBytes(const std::wstring& path, const void* data, size_t size)
{
    return WritePieces(path, {{data, size}});
}

bool WriteFileReplacing(const std::wstring& target, const void* data, size_t size)
{
    return WriteFileReplacing(target, std::vector<FilePiece>{{data, size}});
}

bool WriteFileReplacing(const std::wstring& target, const std::vector<FilePiece>& pieces)
{
    const std::wstring temporary = target + L".partial";
    if (WritePieces(temporary, pieces) && ReplaceFileWith(target, temporary))
        return true;
    RemoveFile(temporary);
    return false;
}

bool CopyFileTo(const std::wstring& source, const std::wstring& target)
{
#ifdef _WIN32
    return CopyFileW(source.c_str(), target.c_str(), FALSE) != 0;
#else
    std::vector<unsigned char> bytes;
    return ReadFileBytes(source, bytes) && WriteFileBytes(target, bytes);
#endif
}

bool FileExists(const std::wstring& path)
{
    FILE* file = OpenFile(path, false);
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

bool CreateFolder(const std::wstring& path)
{
#ifdef _WIN32
    if (_wmkdir(path.c_str()) == 0)
        return true;
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
#else
    std::string bytes = WideToUtf8(path);
    if (mkdir(bytes.c_str(), 0777) == 0)
        return true;
    struct stat info;
    return stat(bytes.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
#endif
}

bool ReplaceFileWith(const std::wstring& target, const std::wstring& source)
{
#ifdef _WIN32
    return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    // rename replaces the target atomically on POSIX file systems.
    return std::rename(WideToUtf8(source).c_str(), WideToUtf8(target).c_str()) == 0;
#endif
}

bool RemoveFile(const std::wstring& path)
{
#ifdef _WIN32
    return _wremove(path.c_str()) == 0;
#else
    return std::remove(WideToUtf8(path).c_str()) == 0;
#endif
}

std::wstring FileNamePart(const std::wstring& path)
{
    size_t separator = LastSeparator(path);
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

std::wstring FileStemPart(const std::wstring& path)
{
    const std::wstring name = FileNamePart(path);
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

std::wstring FolderPart(const std::wstring& path)
{
    size_t separator = LastSeparator(path);
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}
