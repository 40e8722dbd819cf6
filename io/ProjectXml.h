// A small, strict XML reader for the subset the project writer produces:
// a declaration, nested elements with double-quoted attributes, and "Name"
// elements whose text runs raw to the first "</Name>". No entities, comments
// or other text. Bounded in depth and attribute count; it stops at the first
// fault and keeps every element read before it.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct XmlElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string text;              // only "Name" elements have text
    std::vector<int> children;     // indices into XmlDocument::elements
};

struct XmlDocument {
    std::vector<XmlElement> elements;   // document order; the root is element 0
    size_t faultOffset = 0;             // where reading stopped, when it failed
};

const int MAX_XML_DEPTH = 16;
const size_t MAX_XML_ATTRIBUTES = 64;

// True when the whole text was well formed; false leaves the elements read
// before the fault in document.
bool ParseProjectXml(const std::string& text, XmlDocument& document);

// The first element of that name in document order, -1 none.
int FindXmlElement(const XmlDocument& document, const char* name);
// The first child of element with that name, -1 none.
int FindXmlChild(const XmlDocument& document, int element, const char* name);
// The attribute's value, or nullptr when the element has none of that name.
const std::string* FindXmlAttribute(const XmlElement& element, const char* name);
