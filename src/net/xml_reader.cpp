#include "net/xml_reader.h"

#include <charconv>
#include <cstdint>

namespace tidemoor {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == ':' || c == '-' || c == '.' || static_cast<unsigned char>(c) >= 0x80;
}

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  XmlDocument Read() {
    XmlDocument document;
    if (text_.size() > kXmlMaxBytes) return Fail("回答过长");
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") at_ = 3;
    if (!SkipMisc()) return Fail(error_);
    if (!Peek("<")) return Fail("不是 XML");
    if (!ReadElement(document.root, 1)) return Fail(error_);
    if (!SkipMisc() || at_ != text_.size()) return Fail("根元素后还有内容");
    document.ok = true;
    return document;
  }

 private:
  XmlDocument Fail(std::string why) {
    XmlDocument document;
    document.error = std::move(why);
    return document;
  }

  bool Error(const char* why) {
    if (error_.empty()) error_ = why;
    return false;
  }

  bool Peek(std::string_view what) const { return text_.substr(at_, what.size()) == what; }

  void SkipBlanks() {
    while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
  }

  bool SkipPast(std::string_view end) {
    const size_t found = text_.find(end, at_);
    if (found == std::string_view::npos) return Error("XML 不完整");
    at_ = found + end.size();
    return true;
  }

  // Blanks, comments and processing instructions around the root element.
  bool SkipMisc() {
    for (;;) {
      SkipBlanks();
      if (Peek("<?")) {
        if (!SkipPast("?>")) return false;
      } else if (Peek("<!--")) {
        if (!SkipPast("-->")) return false;
      } else if (Peek("<!")) {
        return Error("含 DOCTYPE 的 XML 不予读取");
      } else {
        return true;
      }
    }
  }

  bool ReadName(std::string& name) {
    const size_t start = at_;
    while (at_ < text_.size() && IsNameChar(text_[at_])) ++at_;
    if (at_ == start) return Error("元素名错误");
    name.assign(text_.substr(start, at_ - start));
    return true;
  }

  static std::string LocalName(const std::string& name) {
    const size_t colon = name.rfind(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
  }

  bool DecodeEntity(std::string& out) {
    const size_t end = text_.find(';', at_);
    if (end == std::string_view::npos || end - at_ > 12) return Error("实体引用错误");
    const std::string_view entity = text_.substr(at_ + 1, end - at_ - 1);
    at_ = end + 1;
    if (entity == "lt") return out += '<', true;
    if (entity == "gt") return out += '>', true;
    if (entity == "amp") return out += '&', true;
    if (entity == "quot") return out += '"', true;
    if (entity == "apos") return out += '\'', true;
    if (entity.size() < 2 || entity[0] != '#') return Error("未知的实体引用");
    const bool hex = entity[1] == 'x';
    const std::string_view digits = entity.substr(hex ? 2 : 1);
    uint32_t code = 0;
    const auto [ptr, ec] =
        std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
    if (digits.empty() || ec != std::errc{} || ptr != digits.data() + digits.size() || code == 0 ||
        code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return Error("字符引用错误");
    }
    AppendUtf8(out, code);
    return true;
  }

  bool ReadAttributes() {
    for (;;) {
      SkipBlanks();
      if (at_ >= text_.size()) return Error("XML 不完整");
      if (Peek("/>") || Peek(">")) return true;
      std::string name;
      if (!ReadName(name)) return false;
      SkipBlanks();
      if (!Peek("=")) return Error("属性缺少值");
      ++at_;
      SkipBlanks();
      if (at_ >= text_.size() || (text_[at_] != '"' && text_[at_] != '\'')) {
        return Error("属性值缺少引号");
      }
      const char quote = text_[at_++];
      const size_t end = text_.find(quote, at_);
      if (end == std::string_view::npos) return Error("XML 不完整");
      if (text_.substr(at_, end - at_).find('<') != std::string_view::npos) {
        return Error("属性值含 <");
      }
      at_ = end + 1;
    }
  }

  bool ReadElement(XmlElement& element, int depth) {
    if (depth > kXmlMaxDepth) return Error("XML 嵌套过深");
    if (++elements_ > kXmlMaxElements) return Error("XML 元素过多");
    ++at_;  // '<'
    std::string qualified;
    if (!ReadName(qualified) || !ReadAttributes()) return false;
    element.name = LocalName(qualified);
    if (Peek("/>")) {
      at_ += 2;
      return true;
    }
    ++at_;  // '>'
    for (;;) {
      if (at_ >= text_.size()) return Error("XML 不完整");
      const char c = text_[at_];
      if (c == '&') {
        if (!DecodeEntity(element.text)) return false;
      } else if (c != '<') {
        element.text += c;
        ++at_;
      } else if (Peek("<![CDATA[")) {
        const size_t start = at_ + 9;
        if (!SkipPast("]]>")) return false;
        element.text.append(text_.substr(start, at_ - 3 - start));
      } else if (Peek("<!--")) {
        if (!SkipPast("-->")) return false;
      } else if (Peek("<?")) {
        if (!SkipPast("?>")) return false;
      } else if (Peek("</")) {
        at_ += 2;
        std::string closing;
        if (!ReadName(closing)) return false;
        if (closing != qualified) return Error("结束标记与开始标记不符");
        SkipBlanks();
        if (!Peek(">")) return Error("结束标记错误");
        ++at_;
        return true;
      } else if (Peek("<!")) {
        return Error("含 DOCTYPE 的 XML 不予读取");
      } else {
        element.children.emplace_back();
        if (!ReadElement(element.children.back(), depth + 1)) return false;
      }
    }
  }

  std::string_view text_;
  size_t at_ = 0;
  size_t elements_ = 0;
  std::string error_;
};

}  // namespace

std::string_view TrimXmlBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

const XmlElement* XmlElement::Child(std::string_view localName) const {
  for (const XmlElement& child : children) {
    if (child.name == localName) return &child;
  }
  return nullptr;
}

std::string XmlElement::ChildText(std::string_view localName) const {
  const XmlElement* child = Child(localName);
  return child ? std::string(TrimXmlBlanks(child->text)) : std::string();
}

XmlDocument ReadXml(std::string_view text) {
  return Reader(text).Read();
}

}  // namespace tidemoor
