#include "io/ByteText.h"

#include <cstring>

#include "io/Utf8.h"

namespace {

const bool WIDE_IS_UTF16 = sizeof(wchar_t) == 2;

bool IsContinuationChar(char32_t c) { return c >= 0x80 && c <= 0xBF; }
bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// The code point starting at text[i] (a surrogate pair joined on UTF-16
// platforms); advances i past it. An unpaired surrogate is returned alone.
char32_t NextCodePoint(const std::wstring& text, size_t& i)
{
    char32_t c = static_cast<char32_t>(text[i++]) & (WIDE_IS_UTF16 ? 0xFFFFu : 0xFFFFFFFFu);
    if (WIDE_IS_UTF16 && c >= 0xD800 && c <= 0xDBFF && i < text.size()) {
        char32_t low = static_cast<char32_t>(text[i]) & 0xFFFFu;
        if (low >= 0xDC00 && low <= 0xDFFF) {
            ++i;
            return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return c;
}

void AppendReference(std::string& out, char32_t c)
{
    out += "&#";
    out += std::to_string(static_cast<unsigned long>(c));
    out += ';';
}

// The length of a well-formed UTF-8 sequence (shortest form, no surrogate,
// at most U+10FFFF) at bytes[i], 0 when there is none; c receives its value.
size_t Utf8SequenceAt(const std::string& bytes, size_t i, char32_t& c)
{
    unsigned char lead = static_cast<unsigned char>(bytes[i]);
    size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0 || bytes.size() - i < length)
        return 0;
    c = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        unsigned char next = static_cast<unsigned char>(bytes[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (next & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    return c < smallest[length] || c > 0x10FFFF || IsSurrogate(c) ? 0 : length;
}

// The reference at bytes[i] ('&'); its length, 0 when it is none.
size_t ReferenceAt(const std::string& bytes, size_t i, char32_t& c)
{
    static const struct { const char* text; char32_t value; } NAMED[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    for (const auto& named : NAMED) {
        if (bytes.compare(i, std::strlen(named.text), named.text) == 0) {
            c = named.value;
            return std::strlen(named.text);
        }
    }
    if (bytes.compare(i, 2, "&#") != 0)
        return 0;
    size_t at = i + 2;
    bool hex = at < bytes.size() && bytes[at] == 'x';
    at += hex ? 1 : 0;
    const char32_t LIMIT = WIDE_IS_UTF16 ? 0x10FFFF : 0x7FFFFFFF;
    unsigned long long value = 0;
    size_t digits = 0;
    for (; at < bytes.size() && digits <= 10; ++at, ++digits) {
        char d = bytes[at];
        int digit = d >= '0' && d <= '9' ? d - '0' : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10 :
                    hex && d >= 'A' && d <= 'F' ? d - 'A' + 10 : -1;
        if (digit < 0)
            break;
        value = value * (hex ? 16 : 10) + static_cast<unsigned>(digit);
    }
    if (digits == 0 || digits > 10 || at >= bytes.size() || bytes[at] != ';' || value > LIMIT)
        return 0;
    c = static_cast<char32_t>(value);
    return at + 1 - i;
}

} // namespace

bool NeedsEscapedForm(const std::wstring& text, bool attributeValue)
{
    for (wchar_t w : text) {
        unsigned long c = static_cast<unsigned long>(w) & (WIDE_IS_UTF16 ? 0xFFFFul : 0xFFFFFFFFul);
        if (c > 0xFF || c == '\r' || c == '\n' || (attributeValue && c == '"'))
            return true;
    }
    return false;
}

void AppendPlain(std::string& out, const std::wstring& text)
{
    for (wchar_t c : text)
        out.push_back(static_cast<char>(static_cast<unsigned long>(c) & 0xFF));
}

void AppendEscaped(std::string& out, const std::wstring& text)
{
    for (size_t i = 0; i < text.size();) {
        char32_t c = NextCodePoint(text, i);
        switch (c) {
        case '&': out += "&amp;"; continue;
        case '<': out += "&lt;"; continue;
        case '>': out += "&gt;"; continue;
        case '"': out += "&quot;"; continue;
        default: break;
        }
        if (c < 0x20 || c == 0x7F || IsSurrogate(c) || c > 0x10FFFF) {
            AppendReference(out, c);
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c <= 0xFF) {
            // A lead byte followed by a continuation byte would read as UTF-8.
            bool pairs = c >= 0xC0 && i < text.size() && IsContinuationChar(static_cast<char32_t>(text[i]));
            if (pairs)
                AppendReference(out, c);
            else
                out += static_cast<char>(c);
        } else {
            AppendUtf8(out, c);
        }
    }
}

std::wstring UnescapeText(const std::string& bytes, int& faults)
{
    std::wstring out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        unsigned char byte = static_cast<unsigned char>(bytes[i]);
        char32_t c = 0;
        size_t length = 0;
        if (byte == '&') {
            length = ReferenceAt(bytes, i, c);
            if (length == 0)
                ++faults;
        } else if (byte >= 0x80) {
            length = Utf8SequenceAt(bytes, i, c);
        }
        if (length == 0) {
            out += static_cast<wchar_t>(byte);
            ++i;
        } else {
            AppendWide(out, c);
            i += length;
        }
    }
    return out;
}

std::wstring WidenBytes(const std::string& bytes)
{
    std::wstring text;
    text.reserve(bytes.size());
    for (char c : bytes)
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return text;
}
