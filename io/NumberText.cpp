#include "io/NumberText.h"

#include <charconv>

namespace {

template <typename... Format>
void AppendChars(std::string& out, float value, Format... format)
{
    char buffer[64];
    std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value, format...);
    out.append(buffer, result.ptr);
}

} // namespace

void AppendFloat6(std::string& out, float value) { AppendChars(out, value, std::chars_format::general, 6); }

void AppendShortestFloat(std::string& out, float value) { AppendChars(out, value); }

void AppendFixed6(std::string& out, float value)
{
    char buffer[400];
    std::to_chars_result result =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value), std::chars_format::fixed, 6);
    out.append(buffer, result.ptr);
}
