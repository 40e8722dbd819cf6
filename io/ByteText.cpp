#include "io/ByteText.h"

#include "scene/DebugLog.h"

void AppendNarrowed(std::string& out, const std::wstring& text, const wchar_t* field)
{
    bool replaced = false;
    for (wchar_t c : text) {
        unsigned long code = static_cast<unsigned long>(c);
        if (code > 0xFF) {
            out.push_back('?');
            replaced = true;
        } else {
            out.push_back(static_cast<char>(code));
        }
    }
    if (replaced)
        DebugLog(std::wstring(L"WARNING: Characters beyond one byte written as '?' in ") + field + L": " + text);
}

std::wstring WidenBytes(const std::string& bytes)
{
    std::wstring text;
    text.reserve(bytes.size());
    for (char c : bytes)
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return text;
}
