#pragma once
// A small XML reader for what a router sends: device descriptions and SOAP answers. Element
// names are kept without their namespace prefix, since routers pick prefixes freely. Documents
// with a DOCTYPE are refused (no entity expansion), and size and depth are bounded, so a hostile
// answer costs nothing but a "cannot read" reason.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tidemoor {

struct XmlElement {
  std::string name;  // local name, prefix removed
  std::string text;  // the element's own character data, entities decoded
  std::vector<XmlElement> children;

  // The first child with this local name, or nullptr.
  const XmlElement* Child(std::string_view localName) const;
  // That child's text without surrounding blanks; empty when there is no such child.
  std::string ChildText(std::string_view localName) const;
};

inline constexpr size_t kXmlMaxBytes = 256 * 1024;
inline constexpr int kXmlMaxDepth = 32;
inline constexpr size_t kXmlMaxElements = 4096;

struct XmlDocument {
  bool ok = false;
  XmlElement root;
  std::string error;  // why the text is not a document this reader accepts
};

XmlDocument ReadXml(std::string_view text);

// Blanks, tabs and line breaks removed from both ends.
std::string_view TrimXmlBlanks(std::string_view text);

}  // namespace tidemoor
