// Text of the project file's names and paths in its two forms. The plain form
// keeps one byte per character, unescaped, and is written while every value
// reads back exactly that way. The escaped form (marked on the root element)
// carries any text: the characters & < > " and control characters as
// references, characters above U+00FF as UTF-8.
#pragma once

#include <string>

// True when text cannot be written in the plain form and read back exactly:
// characters above U+00FF, line breaks, and (in attribute values) a quote.
bool NeedsEscapedForm(const std::wstring& text, bool attributeValue);

// Appends text one byte per character (the low byte of each).
void AppendPlain(std::string& out, const std::wstring& text);

// Appends text in the escaped form. Characters U+0080 to U+00FF stay single
// bytes, except a byte that would read as the start of a UTF-8 sequence with
// the next one: that is written as a reference.
void AppendEscaped(std::string& out, const std::wstring& text);

// Reads text of the escaped form back. An '&' that starts no reference is
// kept as it is and counted in faults.
std::wstring UnescapeText(const std::string& bytes, int& faults);

// Each byte becomes the character of the same value (the plain form).
std::wstring WidenBytes(const std::string& bytes);
