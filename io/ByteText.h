// One-byte-per-character text for the project and mesh side files: wide
// names and paths narrowed to bytes on writing and widened back on reading.
#pragma once

#include <string>

// Appends text one byte per character. A character one byte cannot hold is
// written as '?' (its low byte could be a quote or an angle bracket that
// breaks the file) and reported with a "WARNING: " log line naming field.
void AppendNarrowed(std::string& out, const std::wstring& text, const wchar_t* field);

// Each byte becomes the character of the same value.
std::wstring WidenBytes(const std::string& bytes);
