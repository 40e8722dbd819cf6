#include "io/ProjectXml.h"

#include <cstring>
#include <string_view>

namespace {

const size_t MAX_XML_ATTRIBUTES = 64;

enum ElementKind { KIND_ROOT, KIND_SECTION, KIND_RECORD, KIND_CHILD };

struct ElementRule {
    const char* name;
    ElementKind kind;
    bool container;
    const char* parents[3];
};

const ElementRule RULES[] = {
    {"OstrelScene", KIND_ROOT, true, {}},
    {"Settings", KIND_SECTION, true, {}},
    {"Textures", KIND_SECTION, true, {}},
    {"Models", KIND_SECTION, true, {}},
    {"PropBrushes", KIND_SECTION, true, {}},
    {"Objects", KIND_SECTION, true, {}},
    {"PropInstances", KIND_SECTION, true, {}},
    {"Grid", KIND_RECORD, false, {"Settings"}},
    {"Camera", KIND_RECORD, false, {"Settings"}},
    {"Texture", KIND_RECORD, false, {"Textures"}},
    {"Model", KIND_RECORD, false, {"Models"}},
    {"PropBrush", KIND_RECORD, false, {"PropBrushes"}},
    {"Primitive", KIND_RECORD, true, {"Objects"}},
    {"CSGMesh", KIND_RECORD, true, {"Objects"}},
    {"PropInstance", KIND_RECORD, true, {"PropInstances"}},
    {"Name", KIND_CHILD, false, {"Primitive", "CSGMesh", "PropInstance"}},
    {"Bounds", KIND_CHILD, false, {"Primitive", "CSGMesh"}},
    {"Hierarchy", KIND_CHILD, false, {"Primitive", "CSGMesh"}},
    {"Rotation", KIND_CHILD, false, {"Primitive", "CSGMesh", "PropInstance"}},
    {"Material", KIND_CHILD, false, {"Primitive", "CSGMesh", "PropInstance"}},
    {"Position", KIND_CHILD, false, {"PropInstance"}},
    {"Scale", KIND_CHILD, false, {"PropInstance"}},
};

const ElementRule* FindRule(const std::string& name)
{
    for (const ElementRule& rule : RULES) {
        if (name == rule.name)
            return &rule;
    }
    return nullptr;
}

bool HasParent(const ElementRule& rule, const std::string& name)
{
    for (const char* parent : rule.parents) {
        if (parent && name == parent)
            return true;
    }
    return false;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsInlineSpace(char c) { return c == ' ' || c == '\t'; }
bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9'); }

struct Tag {
    XmlElement element;
    bool selfClosing = false;
    bool broken = false;   // something in it could not be read, or it has no proper end
};

struct Scanner {
    const std::string& text;
    bool escaped = false;
    size_t at = 0;
    size_t lineEnd = std::string::npos;   // cached: no line break lies between at and it

    bool HasAt(size_t position, const char* word) const
    {
        return position <= text.size() && text.compare(position, std::strlen(word), word) == 0;
    }
    bool StartsWith(const char* word) const { return HasAt(at, word); }
    size_t LineEnd()
    {
        if (lineEnd == std::string::npos || at > lineEnd) {
            lineEnd = text.find('\n', at);
            if (lineEnd == std::string::npos)
                lineEnd = text.size();
        }
        return lineEnd;
    }
    size_t NameEnd(size_t from) const
    {
        if (from >= text.size() || !IsNameStart(text[from]))
            return from;
        while (from < text.size() && IsNameChar(text[from]))
            ++from;
        return from;
    }
    // An attribute (name="...) starts at from.
    bool AttributeAt(size_t from) const
    {
        size_t end = NameEnd(from);
        return end > from && HasAt(end, "=\"");
    }
    // What may follow a value's closing quote in the plain form: the next
    // attribute, or the tag's end followed by the line's end or the next tag.
    bool PlainValueEndsAt(size_t quote) const
    {
        size_t next = quote + 1;
        while (next < text.size() && IsInlineSpace(text[next]))
            ++next;
        if (next > quote + 1 && AttributeAt(next))
            return true;
        size_t after = HasAt(next, "/>") ? next + 2 : HasAt(next, ">") ? next + 1 : std::string::npos;
        if (after == std::string::npos)
            return false;
        while (after < text.size() && IsInlineSpace(text[after]))
            ++after;
        return after >= text.size() || text[after] == '\n' || text[after] == '\r' || text[after] == '<';
    }
    // The closing quote of the value starting at from, npos when the value
    // does not end on its line.
    size_t ValueEnd(size_t from)
    {
        size_t end = LineEnd();
        if (escaped) {
            for (size_t i = from; i < end; ++i) {
                if (text[i] == '"')
                    return i;
                if (text[i] == '<')
                    return std::string::npos;
            }
            return std::string::npos;
        }
        for (size_t i = from; i < end; ++i) {
            if (text[i] == '"' && PlainValueEndsAt(i))
                return i;
        }
        return std::string::npos;
    }

    // Skips what cannot be read inside a tag, up to where it can go on.
    void SkipTagGarbage()
    {
        for (++at; at < text.size(); ++at) {
            char c = text[at];
            if (c == '>' || c == '\n' || c == '\r' || c == '<' || StartsWith("/>"))
                return;
            if (IsInlineSpace(c) && AttributeAt(at + 1))
                return;
        }
    }

    // Reads attributes up to the tag's end.
    void ReadAttributes(Tag& tag)
    {
        for (;;) {
            size_t before = at;
            while (at < text.size() && IsInlineSpace(text[at]))
                ++at;
            bool spaced = at > before;
            if (StartsWith("/>")) {
                at += 2;
                tag.selfClosing = true;
                return;
            }
            if (StartsWith(">")) {
                at += 1;
                return;
            }
            if (at >= text.size() || text[at] == '\n' || text[at] == '\r' || text[at] == '<') {
                tag.broken = true;
                return;
            }
            if (!spaced || !AttributeAt(at)) {
                tag.broken = true;
                SkipTagGarbage();
                continue;
            }
            size_t nameEnd = NameEnd(at);
            size_t valueEnd = ValueEnd(nameEnd + 2);
            if (valueEnd == std::string::npos) {
                tag.broken = true;
                at = nameEnd + 2;
                SkipTagGarbage();
                continue;
            }
            std::string name(text, at, nameEnd - at);
            auto& attributes = tag.element.attributes;
            if (FindXmlAttribute(tag.element, name.c_str()) || attributes.size() >= MAX_XML_ATTRIBUTES)
                tag.broken = true;
            else
                attributes.emplace_back(std::move(name), text.substr(nameEnd + 2, valueEnd - nameEnd - 2));
            at = valueEnd + 1;
        }
    }

    // A name's text runs to "</Name>" on its line: the first one in the
    // escaped form, the last one in the plain form (where names may hold it).
    void ReadNameText(Tag& tag)
    {
        const size_t CLOSE = 7;
        size_t end = LineEnd();
        std::string_view line(text.data() + at, end - at);
        size_t close = escaped ? line.find("</Name>") : line.rfind("</Name>");
        if (close == std::string_view::npos || (escaped && line.substr(0, close).find('<') != std::string_view::npos)) {
            tag.broken = true;
            at = end;
            return;
        }
        tag.element.text.assign(line.substr(0, close));
        at += close + CLOSE;
    }
};

// Places elements by the file's layout, mending what is out of place.
struct Builder {
    XmlDocument& document;
    std::vector<int> open;
    int root = -1;
    bool placedAny = false;

    int Add(XmlElement element, int parent)
    {
        int index = static_cast<int>(document.elements.size());
        document.elements.push_back(std::move(element));
        if (parent >= 0)
            document.elements[parent].children.push_back(index);
        return index;
    }
    void PopUnclosed()
    {
        int element = open.back();
        open.pop_back();
        const ElementRule* rule = FindRule(document.elements[element].name);
        if (rule->kind == KIND_RECORD)
            document.elements[element].damaged = true;
        else
            ++document.unreadableParts;
    }
    void PopTo(size_t depth)
    {
        while (open.size() > depth)
            PopUnclosed();
    }
    // Makes the root the innermost open element, reopening or creating it.
    void OpenRoot()
    {
        if (root >= 0 && !open.empty() && open[0] == root) {
            PopTo(1);
            return;
        }
        ++document.unreadableParts;
        PopTo(0);
        if (root < 0) {
            XmlElement element;
            element.name = "OstrelScene";
            element.damaged = true;
            root = Add(std::move(element), -1);
        }
        open.push_back(root);
    }
    // Makes the section of that name the innermost open element.
    void OpenSection(const char* name)
    {
        for (size_t i = open.size(); i-- > 0;) {
            if (document.elements[open[i]].name == name) {
                PopTo(i + 1);
                return;
            }
        }
        OpenRoot();
        ++document.unreadableParts;
        int section = FindXmlChild(document, root, name);
        if (section < 0) {
            XmlElement element;
            element.name = name;
            element.damaged = true;
            section = Add(std::move(element), root);
        }
        open.push_back(section);
    }

    void Place(Tag& tag)
    {
        const ElementRule* rule = FindRule(tag.element.name);
        if (!rule) {
            ++document.unreadableParts;
            return;
        }
        placedAny = true;
        tag.element.damaged = tag.broken;
        switch (rule->kind) {
        case KIND_ROOT: {
            if (root >= 0) {
                OpenRoot();
                ++document.unreadableParts;
                return;
            }
            const std::string* marker = FindXmlAttribute(tag.element, PROJECT_TEXT_ATTRIBUTE);
            document.escaped = marker && *marker == PROJECT_TEXT_ESCAPED;
            if (tag.broken)
                ++document.unreadableParts;
            root = Add(std::move(tag.element), -1);
            if (!tag.selfClosing)
                open.push_back(root);
            return;
        }
        case KIND_SECTION: {
            OpenRoot();
            if (tag.broken)
                ++document.unreadableParts;
            int section = FindXmlChild(document, root, rule->name);
            if (section >= 0)
                ++document.unreadableParts;
            else
                section = Add(std::move(tag.element), root);
            if (!tag.selfClosing)
                open.push_back(section);
            return;
        }
        case KIND_RECORD: {
            OpenSection(rule->parents[0]);
            bool complete = rule->container != tag.selfClosing;
            tag.element.damaged = tag.element.damaged || !complete;
            int record = Add(std::move(tag.element), open.back());
            if (rule->container && !tag.selfClosing)
                open.push_back(record);
            return;
        }
        case KIND_CHILD: {
            if (open.empty() || !HasParent(*rule, document.elements[open.back()].name)) {
                ++document.unreadableParts;
                return;
            }
            tag.element.damaged = tag.element.damaged || !tag.selfClosing;
            Add(std::move(tag.element), open.back());
            return;
        }
        }
    }

    void Close(const std::string& name)
    {
        for (size_t i = open.size(); i-- > 0;) {
            if (document.elements[open[i]].name == name) {
                PopTo(i + 1);
                open.pop_back();
                return;
            }
        }
        ++document.unreadableParts;
    }
};

void SkipTo(Scanner& scanner, char c)
{
    size_t next = scanner.text.find(c, scanner.at);
    scanner.at = next == std::string::npos ? scanner.text.size() : next;
}

} // namespace

bool ParseProjectXml(const std::string& text, XmlDocument& document)
{
    document = XmlDocument();
    // The writer's lines average well over 32 bytes per element.
    document.elements.reserve(text.size() / 32 + 1);
    Scanner scanner{text};
    Builder builder{document, {}, -1, false};
    // Text editors may put a UTF-8 byte order mark in front.
    if (scanner.StartsWith("\xEF\xBB\xBF"))
        scanner.at = 3;
    for (;;) {
        while (scanner.at < text.size() && IsSpace(text[scanner.at]))
            ++scanner.at;
        if (scanner.at >= text.size())
            break;
        if (text[scanner.at] != '<') {
            ++document.unreadableParts;
            SkipTo(scanner, '<');
            continue;
        }
        if (scanner.StartsWith("<?")) {
            size_t end = text.find("?>", scanner.at);
            if (end == std::string::npos || builder.placedAny)
                ++document.unreadableParts;
            scanner.at = end == std::string::npos ? text.size() : end + 2;
            continue;
        }
        if (scanner.StartsWith("</")) {
            scanner.at += 2;
            size_t nameEnd = scanner.NameEnd(scanner.at);
            std::string name(text, scanner.at, nameEnd - scanner.at);
            scanner.at = nameEnd;
            while (scanner.at < text.size() && IsInlineSpace(text[scanner.at]))
                ++scanner.at;
            if (name.empty() || !scanner.StartsWith(">")) {
                ++document.unreadableParts;
                SkipTo(scanner, '<');
                continue;
            }
            ++scanner.at;
            builder.Close(name);
            continue;
        }
        ++scanner.at;
        size_t nameEnd = scanner.NameEnd(scanner.at);
        if (nameEnd == scanner.at) {
            ++document.unreadableParts;
            SkipTo(scanner, '<');
            continue;
        }
        Tag tag;
        tag.element.name.assign(text, scanner.at, nameEnd - scanner.at);
        scanner.at = nameEnd;
        scanner.ReadAttributes(tag);
        if (tag.element.name == "Name") {
            if (tag.selfClosing || tag.broken)
                tag.broken = true;
            else
                scanner.ReadNameText(tag);
            tag.selfClosing = true;
        }
        builder.Place(tag);
        if (builder.root >= 0)
            scanner.escaped = document.escaped;
    }
    builder.PopTo(0);
    return builder.placedAny;
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
