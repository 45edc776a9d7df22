// Invoke requests built from any name and argument: the request is well-formed XML of
// the one expected shape, and an XML parser gives back exactly the texts put in (units
// that XML cannot carry at all arrive as U+FFFD, as the escaping promises).
// Input: name 0xFF argument.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_input.h"
#include "player/movie_protocol.h"
#include "strict_xml.h"

namespace {

void Require(bool holds) {
  if (!holds) std::abort();
}

bool IsXmlChar(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

// What the movie should read back for a text: the text, with each unit XML cannot carry
// replaced by U+FFFD.
std::u32string Carried(const std::wstring& text) {
  std::u32string out = strict_xml::ToCodePoints(text);
  for (char32_t& c : out) {
    if (!IsXmlChar(c)) c = 0xFFFD;
  }
  return out;
}

const strict_xml::Element& OnlyChildElement(const strict_xml::Element& parent, const char* name) {
  Require(parent.children.size() == 1);
  const auto* child = std::get_if<strict_xml::Element>(&parent.children[0]);
  Require(child != nullptr && child->name == name && child->attributes.empty());
  return *child;
}

std::u32string TextOf(const strict_xml::Element& element) {
  if (element.children.empty()) return {};
  Require(element.children.size() == 1);
  const auto* text = std::get_if<std::u32string>(&element.children[0]);
  Require(text != nullptr);
  return *text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto fields = fuzz_input::Fields(data, size);
  const std::wstring name = fuzz_input::Text(fuzz_input::FieldOr(fields, 0));
  const std::wstring argument = fuzz_input::Text(fuzz_input::FieldOr(fields, 1));

  // Escaped character data decodes to the text.
  const strict_xml::ParseResult wrapped =
      strict_xml::Parse(strict_xml::ToCodePoints(L"<a>" + XmlEscape(argument) + L"</a>"));
  Require(wrapped.ok);
  Require(TextOf(wrapped.root) == Carried(argument));

  const std::wstring request = FormatInvokeRequest(name, argument);
  const strict_xml::ParseResult parsed = strict_xml::Parse(strict_xml::ToCodePoints(request));
  Require(parsed.ok);
  const strict_xml::Element& invoke = parsed.root;
  Require(invoke.name == "invoke");
  Require(invoke.attributes.size() == 2);
  Require(invoke.attributes[0].first == "name" && invoke.attributes[0].second == Carried(name));
  Require(invoke.attributes[1].first == "returntype" && invoke.attributes[1].second == U"xml");
  const strict_xml::Element& arguments = OnlyChildElement(invoke, "arguments");
  const strict_xml::Element& string = OnlyChildElement(arguments, "string");
  Require(TextOf(string) == Carried(argument));
  return 0;
}
