#include "net/xml_reader.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

// The element path a/b/c's text in the document, or "<missing>".
std::string TextAt(const XmlElement& root, std::initializer_list<const char*> path) {
  const XmlElement* at = &root;
  for (const char* name : path) {
    at = at->Child(name);
    if (!at) return "<missing>";
  }
  return std::string(TrimXmlBlanks(at->text));
}

TEST(ReadXml, ReadsWhatRoutersSend) {
  const struct {
    const char* xml;
    std::initializer_list<const char*> path;
    const char* text;
  } cases[] = {
      {"<a><b>x</b></a>", {"b"}, "x"},
      {"\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<!-- c --><a>\n  <b>\n x \n</b>\n</a>\n",
       {"b"},
       "x"},
      {"<s:E xmlns:s=\"urn:x\"><s:B><u:R xmlns:u='urn:y'>v</u:R></s:B></s:E>", {"B", "R"}, "v"},
      {"<root xmlns=\"urn:d\"><device><deviceList><device><t>in</t></device></deviceList></device>"
       "</root>",
       {"device", "deviceList", "device", "t"},
       "in"},
      {"<a><b>&lt;x&gt; &amp; &quot;&apos; &#65;&#x4E2D;</b></a>", {"b"}, "<x> & \"' A中"},
      {"<a><b><![CDATA[<raw & text>]]></b></a>", {"b"}, "<raw & text>"},
      {"<a><b/><b>second not first</b></a>", {"b"}, ""},
      {"<a ><b  attr = \"1\"\n>y</b ></a >", {"b"}, "y"},
      {"<a><b>x<!-- note -->y<?pi?>z</b></a>", {"b"}, "xyz"},
  };
  for (const auto& c : cases) {
    const XmlDocument document = ReadXml(c.xml);
    ASSERT_TRUE(document.ok) << c.xml << " " << document.error;
    EXPECT_EQ(TextAt(document.root, c.path), c.text) << c.xml;
  }
}

TEST(ReadXml, RefusesGarbageAndHostileDocuments) {
  std::string nested;
  for (int i = 0; i <= kXmlMaxDepth; ++i) nested += "<a>";
  std::string wide = "<a>";
  for (size_t i = 0; i <= kXmlMaxElements; ++i) wide += "<b/>";
  wide += "</a>";
  const std::string huge = "<a>" + std::string(kXmlMaxBytes, 'x') + "</a>";
  const std::string cases[] = {
      "",
      "garbage",
      "HTTP/1.1 200 OK",
      "<a>",
      "<a></b>",
      "<a><b></a></b>",
      "<a>x</a><b/>",
      "<a>x</a>trailing",
      "<!DOCTYPE a [<!ENTITY e \"eeeeeeee\">]><a>&e;</a>",
      "<a>&e;</a>",
      "<a>&#0;</a>",
      "<a>&#xD800;</a>",
      "<a>&#99999999999;</a>",
      "<a>&#0000000000065;</a>",
      "<a>&#65x;</a>",
      "<a>&amp</a>",
      "<a b=c></a>",
      "<a b=\"<\"></a>",
      "<a><!-- open</a>",
      "<a><![CDATA[open</a>",
      "< a></a>",
      std::string("<a>\0</a", 8),
      nested,
      wide,
      huge,
  };
  for (const std::string& xml : cases) {
    const XmlDocument document = ReadXml(xml);
    EXPECT_FALSE(document.ok) << xml.substr(0, 60);
    EXPECT_FALSE(document.error.empty()) << xml.substr(0, 60);
  }
  EXPECT_EQ(ReadXml("<!DOCTYPE a><a/>").error, "含 DOCTYPE 的 XML 不予读取");
}

// What a router may send is read up to each limit exactly, and refused one past it.
TEST(ReadXml, EachLimitHoldsExactly) {
  const auto nested = [](int depth) {
    std::string xml;
    for (int i = 0; i < depth; ++i) xml += "<a>";
    for (int i = 0; i < depth; ++i) xml += "</a>";
    return xml;
  };
  const auto elements = [](size_t count) {
    std::string xml = "<a>";
    for (size_t i = 1; i < count; ++i) xml += "<b/>";
    return xml + "</a>";
  };
  const auto bytes = [](size_t size) { return "<a>" + std::string(size - 7, 'x') + "</a>"; };
  const struct {
    std::string what;
    std::string xml;
    bool ok;
  } cases[] = {
      {"as deep as allowed", nested(kXmlMaxDepth), true},
      {"one level deeper", nested(kXmlMaxDepth + 1), false},
      {"as many elements as allowed", elements(kXmlMaxElements), true},
      {"one element more", elements(kXmlMaxElements + 1), false},
      {"as long as allowed", bytes(kXmlMaxBytes), true},
      {"one byte longer", bytes(kXmlMaxBytes + 1), false},
  };
  ASSERT_EQ(bytes(kXmlMaxBytes).size(), kXmlMaxBytes);
  for (const auto& c : cases) EXPECT_EQ(ReadXml(c.xml).ok, c.ok) << c.what;
}

}  // namespace
}  // namespace tidemoor
