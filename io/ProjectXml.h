// The element reader of project files. It knows the file's fixed layout (root,
// sections, records, their children) and reads as much of a damaged file as
// can be recognised: a bad tag, stray text or a missing end tag costs that
// tag or element only, and reading goes on at the next tag it recognises.
// Values are not interpreted here, except how they end: in the escaped form
// at the next quote; in the plain form (names written unescaped) at the quote
// that is followed by the next attribute or the end of the tag.
#pragma once

#include <string>
#include <utility>
#include <vector>

// The root's attribute marking the escaped form (see io/ByteText.h).
const char* const PROJECT_TEXT_ATTRIBUTE = "text";
const char* const PROJECT_TEXT_ESCAPED = "escaped";

struct XmlElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string text;              // only "Name" elements have text
    std::vector<int> children;     // indices into XmlDocument::elements
    bool damaged = false;          // its tag was not whole, or it was not closed
};

struct XmlDocument {
    std::vector<XmlElement> elements;   // document order
    bool escaped = false;               // the root carries the escaped-text marker
    int unreadableParts = 0;            // tags and text left out, sections mended
};

// Reads the text into document. False when it holds no element of a project
// at all.
bool ParseProjectXml(const std::string& text, XmlDocument& document);

// The first element of that name in document order, -1 none.
int FindXmlElement(const XmlDocument& document, const char* name);
// The first child of element with that name, -1 none.
int FindXmlChild(const XmlDocument& document, int element, const char* name);
// The attribute's value, or nullptr when the element has none of that name.
const std::string* FindXmlAttribute(const XmlElement& element, const char* name);
