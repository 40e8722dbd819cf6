// Conversion between wide strings (UTF-16 on Windows, UTF-32 elsewhere) and
// UTF-8, for libraries and file systems that take narrow text.
#pragma once

#include <string>

// Unpaired surrogates and invalid code points become U+FFFD.
std::string WideToUtf8(const std::wstring& text);
// Malformed sequences become U+FFFD.
std::wstring Utf8ToWide(const std::string& text);

// One code point appended as UTF-8 (U+FFFD for a surrogate or one past
// U+10FFFF), or as UTF-16 or UTF-32 units as wchar_t holds them.
void AppendUtf8(std::string& out, char32_t c);
void AppendWide(std::wstring& out, char32_t c);
