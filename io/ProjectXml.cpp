#include "io/ProjectXml.h"

#include <cstring>


namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9'); }

struct Reader {
    const std::string& text;
    size_t at = 0;

    bool HasAt(size_t position, const char* word) const
    {
        for (; *word; ++word, ++position) {
            if (position >= text.size() || text[position] != *word)
                return false;
        }
        return true;
    }
    bool StartsWith(const char* word) const { return HasAt(at, word); }
    void SkipSpace()
    {
        while (at < text.size() && IsSpace(text[at]))
            ++at;
    }
    bool ReadName(std::string& name)
    {
        if (at >= text.size() || !IsNameStart(text[at]))
            return false;
        size_t start = at;
        while (at < text.size() && IsNameChar(text[at]))
            ++at;
        name.assign(text, start, at - start);
        return true;
    }
    // Names and paths are written unescaped, so a value may hold a double
    // quote: the value ends at the first quote that is followed by what can
    // follow a value (the next attribute, ">" or "/>").
    bool ReadValue(std::string& value)
    {
        size_t start = at;
        for (size_t quote = text.find('"', at); quote != std::string::npos; quote = text.find('"', quote + 1)) {
            size_t next = quote + 1;
            bool spaced = next < text.size() && IsSpace(text[next]);
            while (next < text.size() && IsSpace(text[next]))
                ++next;
            bool ends = HasAt(next, ">") || HasAt(next, "/>");
            if (!ends && spaced) {
                size_t name = next;
                while (name < text.size() && IsNameChar(text[name]))
                    ++name;
                ends = name > next && IsNameStart(text[next]) && HasAt(name, "=\"");
            }
            if (ends) {
                value.assign(text, start, quote - start);
                at = quote + 1;
                return true;
            }
        }
        return false;
    }
};

// Reads a start tag after its "<"; selfClosing tells whether it ended "/>".
bool ReadStartTag(Reader& reader, XmlElement& element, bool& selfClosing)
{
    if (!reader.ReadName(element.name))
        return false;
    for (;;) {
        bool spaced = reader.at < reader.text.size() && IsSpace(reader.text[reader.at]);
        reader.SkipSpace();
        if (reader.StartsWith("/>")) {
            reader.at += 2;
            selfClosing = true;
            return true;
        }
        if (reader.StartsWith(">")) {
            reader.at += 1;
            selfClosing = false;
            return true;
        }
        std::string name, value;
        if (!spaced || element.attributes.size() >= MAX_XML_ATTRIBUTES || !reader.ReadName(name) ||
            !reader.StartsWith("=\""))
            return false;
        reader.at += 2;
        if (!reader.ReadValue(value))
            return false;
        element.attributes.emplace_back(std::move(name), std::move(value));
    }
}

bool ParseElements(Reader& reader, XmlDocument& document)
{
    std::vector<int> open;
    for (;;) {
        reader.SkipSpace();
        if (reader.at >= reader.text.size())
            return open.empty() && !document.elements.empty();
        if (!open.empty() && reader.StartsWith("</")) {
            reader.at += 2;
            std::string name;
            if (!reader.ReadName(name) || name != document.elements[open.back()].name || !reader.StartsWith(">"))
                return false;
            reader.at += 1;
            open.pop_back();
            continue;
        }
        // One root only, and nothing but elements inside it.
        if (!reader.StartsWith("<") || (open.empty() && !document.elements.empty()))
            return false;
        reader.at += 1;
        XmlElement element;
        element.attributes.reserve(8);
        bool selfClosing = false;
        if (!ReadStartTag(reader, element, selfClosing))
            return false;
        if (!selfClosing && element.name == "Name") {
            size_t end = reader.text.find("</Name>", reader.at);
            if (end == std::string::npos)
                return false;
            element.text.assign(reader.text, reader.at, end - reader.at);
            reader.at = end + 7;
            selfClosing = true;
        }
        if (!selfClosing && static_cast<int>(open.size()) >= MAX_XML_DEPTH)
            return false;
        int index = static_cast<int>(document.elements.size());
        document.elements.push_back(std::move(element));
        if (!open.empty())
            document.elements[open.back()].children.push_back(index);
        if (!selfClosing)
            open.push_back(index);
    }
}

} // namespace

bool ParseProjectXml(const std::string& text, XmlDocument& document)
{
    document = XmlDocument();
    // The writer's lines average well over 32 bytes per element.
    document.elements.reserve(text.size() / 32 + 1);
    Reader reader{text};
    reader.SkipSpace();
    if (reader.StartsWith("<?")) {
        size_t end = text.find("?>", reader.at);
        if (end == std::string::npos)
            return false;
        reader.at = end + 2;
    }
    bool ok = ParseElements(reader, document);
    if (!ok)
        document.faultOffset = reader.at;
    return ok;
}

int FindXmlElement(const XmlDocument& document, const char* name)
{
    for (size_t i = 0; i < document.elements.size(); ++i) {
        if (std::strcmp(document.elements[i].name.c_str(), name) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

int FindXmlChild(const XmlDocument& document, int element, const char* name)
{
    if (element < 0)
        return -1;
    for (int child : document.elements[element].children) {
        if (std::strcmp(document.elements[child].name.c_str(), name) == 0)
            return child;
    }
    return -1;
}

const std::string* FindXmlAttribute(const XmlElement& element, const char* name)
{
    for (const auto& attribute : element.attributes) {
        if (std::strcmp(attribute.first.c_str(), name) == 0)
            return &attribute.second;
    }
    return nullptr;
}
