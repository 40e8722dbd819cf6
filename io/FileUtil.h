// Whole-file reads and writes by wide path, and the file-name and folder parts
// of a path. Files are opened with _wfopen on Windows and through UTF-8
// elsewhere, so any path the user can name opens the file it names.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// The separator this platform's file system expects between folder and name.
#ifdef _WIN32
const wchar_t PATH_SEPARATOR = L'\\';
#else
const wchar_t PATH_SEPARATOR = L'/';
#endif

// Default cap for ReadFileBytes: no asset the program reads comes near it.
const size_t MAX_READ_FILE_BYTES = size_t(1) << 30;

// Reads the whole file into bytes. False (bytes empty) when the file cannot be
// opened or read, or is larger than maxBytes.
bool ReadFileBytes(const std::wstring& path, std::vector<unsigned char>& bytes,
                   size_t maxBytes = MAX_READ_FILE_BYTES);

// Opens the file for binary reading by its wide path; nullptr on failure.
// The caller closes it with fclose.
std::FILE* OpenFileForReading(const std::wstring& path);

// The open file's size in bytes, -1 when it cannot be told. Moves the file
// position back to the start.
long long OpenFileSize(std::FILE* file);

// Creates or replaces the file with exactly these bytes. False on any failure.
bool WriteFileBytes(const std::wstring& path, const void* data, size_t size);
inline bool WriteFileBytes(const std::wstring& path, const std::vector<unsigned char>& bytes)
{
    return WriteFileBytes(path, bytes.data(), bytes.size());
}

// Writes the bytes to a temporary file beside target and moves it over target,
// so a failed write (a full disk) leaves no half file under the real name.
// False on any failure, the temporary file removed.
bool WriteFileReplacing(const std::wstring& target, const void* data, size_t size);
// The same for a file made of pieces written one after another.
struct FilePiece {
    const void* data;
    size_t size;
};
bool WriteFileReplacing(const std::wstring& target, const std::vector<FilePiece>& pieces);
inline bool WriteFileReplacing(const std::wstring& target, const std::vector<unsigned char>& bytes)
{
    return WriteFileReplacing(target, bytes.data(), bytes.size());
}
inline bool WriteFileReplacing(const std::wstring& target, const std::string& text)
{
    return WriteFileReplacing(target, text.data(), text.size());
}

// Copies the file at source to target, replacing an existing target. False
// when source cannot be read or target cannot be written.
bool CopyFileTo(const std::wstring& source, const std::wstring& target);

// True when a file of that path can be opened for reading.
bool FileExists(const std::wstring& path);

// Creates one folder level; true when the folder exists afterwards.
bool CreateFolder(const std::wstring& path);

// Moves source over target in one step, replacing an existing target, so a
// reader never sees a half-written target. False (both left as they were) on
// failure.
bool ReplaceFileWith(const std::wstring& target, const std::wstring& source);

// Deletes a file; false when it could not be deleted or did not exist.
bool RemoveFile(const std::wstring& path);

// The text after the last '\' or '/'; the whole path when it has neither.
std::wstring FileNamePart(const std::wstring& path);

// The file name without its last '.' and what follows (the whole name when it
// has no '.').
std::wstring FileStemPart(const std::wstring& path);

// The path up to and including its last '\' or '/'; empty when it has neither.
std::wstring FolderPart(const std::wstring& path);
