#pragma once
// A small, strict XML 1.0 reader for checking the invoke requests the host builds: one
// root element, attributes, character data, the five predefined entities and character
// references. It rejects what a conforming parser rejects in such documents (raw < or &
// in text, unknown entities, mismatched tags, "]]>" in text, characters outside XML's
// Char production) and also, more strictly, comments, CDATA, processing instructions,
// doctypes and non-ASCII names, none of which the host writes. Line ends are normalised
// as a conforming parser does (CR LF and lone CR become LF), so a raw CR does not
// survive the trip.

#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace strict_xml {

struct Element;
using Node = std::variant<Element, std::u32string>;

struct Element {
  std::string name;
  std::vector<std::pair<std::string, std::u32string>> attributes;
  std::vector<Node> children;  // adjacent text is merged into one node
};

struct ParseResult {
  bool ok = false;
  std::string error;  // with the offset, when !ok
  Element root;
};

ParseResult Parse(const std::u32string& document);

// Code points of a wide string (UTF-16 on Windows, UTF-32 on Linux); a lone surrogate is
// kept as its own value, which the parser then rejects.
std::u32string ToCodePoints(const std::wstring& text);
std::wstring FromCodePoints(const std::u32string& text);

}  // namespace strict_xml
