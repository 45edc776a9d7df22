#include "strict_xml.h"

#include "settings/wide_text.h"

namespace strict_xml {
namespace {

bool IsXmlChar(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}
bool IsSpace(char32_t c) { return c == 0x20 || c == 0x9 || c == 0xA || c == 0xD; }
bool IsNameStart(char32_t c) { return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || c == U'_' || c == U':'; }
bool IsNameChar(char32_t c) { return IsNameStart(c) || (c >= U'0' && c <= U'9') || c == U'-' || c == U'.'; }

class Parser {
 public:
  explicit Parser(std::u32string text) : m_text(Normalise(std::move(text))) {}

  ParseResult Run() {
    ParseResult result;
    for (std::size_t i = 0; i < m_text.size(); ++i) {
      if (!IsXmlChar(m_text[i])) return Fail("character outside XML's Char production", i);
    }
    SkipSpace();
    if (!ParseElement(result.root)) return Fail(m_error, m_pos);
    SkipSpace();
    if (m_pos != m_text.size()) return Fail("content after the root element", m_pos);
    result.ok = true;
    return result;
  }

 private:
  // Line-end handling of XML 1.0 section 2.11, applied to the raw text.
  static std::u32string Normalise(std::u32string text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == U'\r') {
        out.push_back(U'\n');
        if (i + 1 < text.size() && text[i + 1] == U'\n') ++i;
      } else {
        out.push_back(text[i]);
      }
    }
    return out;
  }

  ParseResult Fail(const std::string& what, std::size_t at) {
    ParseResult result;
    result.error = what + " at " + std::to_string(at);
    return result;
  }
  bool Error(const std::string& what) {
    if (m_error.empty()) m_error = what;
    return false;
  }

  bool AtEnd() const { return m_pos >= m_text.size(); }
  char32_t Peek(std::size_t ahead = 0) const { return m_pos + ahead < m_text.size() ? m_text[m_pos + ahead] : 0; }
  bool Accept(char32_t c) {
    if (Peek() != c || AtEnd()) return false;
    ++m_pos;
    return true;
  }
  bool SkipSpace() {
    const std::size_t start = m_pos;
    while (!AtEnd() && IsSpace(Peek())) ++m_pos;
    return m_pos != start;
  }

  bool ParseName(std::string& name) {
    if (AtEnd() || !IsNameStart(Peek())) return Error("name expected");
    name.clear();
    while (!AtEnd() && IsNameChar(Peek())) name.push_back(static_cast<char>(m_text[m_pos++]));
    return true;
  }

  // After the '&': an entity or character reference up to its ';'.
  bool ParseReference(std::u32string& out) {
    if (Accept(U'#')) {
      const bool hex = Accept(U'x');
      char32_t value = 0;
      std::size_t digits = 0;
      for (;; ++digits) {
        const char32_t c = Peek();
        int digit = -1;
        if (c >= U'0' && c <= U'9') digit = static_cast<int>(c - U'0');
        else if (hex && c >= U'a' && c <= U'f') digit = static_cast<int>(c - U'a' + 10);
        else if (hex && c >= U'A' && c <= U'F') digit = static_cast<int>(c - U'A' + 10);
        if (digit < 0 || AtEnd()) break;
        value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
        if (value > 0x10FFFF) return Error("character reference out of range");
        ++m_pos;
      }
      if (digits == 0 || !Accept(U';')) return Error("malformed character reference");
      if (!IsXmlChar(value)) return Error("character reference to a non-Char");
      out.push_back(value);
      return true;
    }
    std::string name;
    if (!ParseName(name) || !Accept(U';')) return Error("malformed entity reference");
    if (name == "lt") out.push_back(U'<');
    else if (name == "gt") out.push_back(U'>');
    else if (name == "amp") out.push_back(U'&');
    else if (name == "quot") out.push_back(U'"');
    else if (name == "apos") out.push_back(U'\'');
    else return Error("undeclared entity &" + name + ";");
    return true;
  }

  bool ParseAttributeValue(std::u32string& value) {
    const char32_t quote = Peek();
    if (quote != U'"' && quote != U'\'') return Error("quoted attribute value expected");
    ++m_pos;
    for (;;) {
      if (AtEnd()) return Error("unterminated attribute value");
      const char32_t c = m_text[m_pos++];
      if (c == quote) return true;
      if (c == U'<') return Error("< in an attribute value");
      if (c == U'&') {
        if (!ParseReference(value)) return false;
      } else {
        value.push_back(IsSpace(c) ? U' ' : c);  // attribute-value normalisation
      }
    }
  }

  void AppendText(Element& element, std::u32string text) {
    if (text.empty()) return;
    if (!element.children.empty()) {
      if (auto* last = std::get_if<std::u32string>(&element.children.back())) {
        last->append(text);
        return;
      }
    }
    element.children.emplace_back(std::move(text));
  }

  bool ParseElement(Element& element) {
    if (!Accept(U'<')) return Error("< expected");
    if (!ParseName(element.name)) return false;
    for (;;) {
      const bool spaced = SkipSpace();
      if (Accept(U'/')) return Accept(U'>') ? true : Error("> expected after /");
      if (Accept(U'>')) break;
      if (!spaced) return Error("space expected before an attribute");
      std::string name;
      std::u32string value;
      if (!ParseName(name)) return false;
      SkipSpace();
      if (!Accept(U'=')) return Error("= expected");
      SkipSpace();
      if (!ParseAttributeValue(value)) return false;
      for (const auto& existing : element.attributes) {
        if (existing.first == name) return Error("duplicate attribute " + name);
      }
      element.attributes.emplace_back(std::move(name), std::move(value));
    }
    // Content up to the matching end tag.
    for (;;) {
      if (AtEnd()) return Error("unterminated element " + element.name);
      const char32_t c = Peek();
      if (c == U'<') {
        if (Peek(1) == U'/') {
          m_pos += 2;
          std::string name;
          if (!ParseName(name)) return false;
          if (name != element.name) return Error("end tag " + name + " does not match " + element.name);
          SkipSpace();
          return Accept(U'>') ? true : Error("> expected in end tag");
        }
        if (Peek(1) == U'!' || Peek(1) == U'?') return Error("markup declarations are not expected");
        Element child;
        if (!ParseElement(child)) return false;
        element.children.emplace_back(std::move(child));
      } else if (c == U'&') {
        ++m_pos;
        std::u32string text;
        if (!ParseReference(text)) return false;
        AppendText(element, std::move(text));
      } else {
        if (c == U']' && Peek(1) == U']' && Peek(2) == U'>') return Error("]]> in character data");
        ++m_pos;
        AppendText(element, std::u32string(1, c));
      }
    }
  }

  std::u32string m_text;
  std::size_t m_pos = 0;
  std::string m_error;
};

}  // namespace

ParseResult Parse(const std::u32string& document) { return Parser(document).Run(); }

std::u32string ToCodePoints(const std::wstring& text) {
  std::u32string out;
  for (std::size_t i = 0; i < text.size();) {
    const wide_text::CodePointStep step = wide_text::CodePointAt(text, i);
    out.push_back(step.codePoint);
    i += step.units;
  }
  return out;
}

std::wstring FromCodePoints(const std::u32string& text) {
  std::wstring out;
  for (char32_t c : text) wide_text::AppendCodePoint(out, c);
  return out;
}

}  // namespace strict_xml
