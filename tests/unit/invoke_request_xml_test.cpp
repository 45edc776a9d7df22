// The invoke request read back by a strict XML reader: for any argument it is well-formed,
// holds exactly one <string> element, and that element decodes to the argument (or, for
// units XML cannot carry, to U+FFFD in their place).

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <string>

#include "player/movie_protocol.h"
#include "settings/wide_text.h"
#include "strict_xml.h"

namespace {

using strict_xml::Element;

std::string HexUnits(const std::wstring& text) {
  std::string out;
  char unit[16];
  for (wchar_t c : text) {
    std::snprintf(unit, sizeof unit, "%04X ", static_cast<unsigned>(c));
    out += unit;
  }
  return out;
}

const Element* OnlyChildElement(const Element& parent, const char* name, std::string& why) {
  if (parent.children.size() != 1 || !std::holds_alternative<Element>(parent.children[0])) {
    why = parent.name + " must hold exactly one element and no text";
    return nullptr;
  }
  const Element& child = std::get<Element>(parent.children[0]);
  if (child.name != name || !child.attributes.empty()) {
    why = "expected <" + std::string(name) + "> without attributes inside <" + parent.name + ">";
    return nullptr;
  }
  return &child;
}

// The argument as a movie decoding the request would see it, or nullopt with the reason.
std::optional<std::wstring> DecodeInvokeRequest(const std::wstring& request, std::wstring_view expectedName,
                                                std::string& why) {
  const strict_xml::ParseResult parsed = strict_xml::Parse(strict_xml::ToCodePoints(request));
  if (!parsed.ok) {
    why = "not well-formed: " + parsed.error;
    return std::nullopt;
  }
  const Element& invoke = parsed.root;
  const decltype(invoke.attributes) expectedAttributes{
      {"name", strict_xml::ToCodePoints(std::wstring(expectedName))}, {"returntype", U"xml"}};
  if (invoke.name != "invoke" || invoke.attributes != expectedAttributes) {
    why = "root must be <invoke name=... returntype=\"xml\">";
    return std::nullopt;
  }
  const Element* arguments = OnlyChildElement(invoke, "arguments", why);
  if (arguments == nullptr) return std::nullopt;
  const Element* string = OnlyChildElement(*arguments, "string", why);
  if (string == nullptr) return std::nullopt;
  if (string->children.empty()) return std::wstring();
  if (string->children.size() != 1 || !std::holds_alternative<std::u32string>(string->children[0])) {
    why = "<string> must hold text only";
    return std::nullopt;
  }
  return strict_xml::FromCodePoints(std::get<std::u32string>(string->children[0]));
}

// The reader itself must catch the faults the property relies on it to catch.
TEST(StrictXmlReader, RejectsWhatAConformingParserRejects) {
  for (const std::wstring bad : {L"<a>&</a>", L"<a><</a>", L"<a>&nbsp;</a>", L"<a>&#1;</a>", L"<a>&#xD800;</a>",
                                 L"<a></b>", L"<a>]]></a>", L"<a/><a/>", L"<a b=\"<\"/>", L"<a b='1' b='2'/>",
                                 L"<a><!-- c --></a>", L"<a>\x01</a>", L"<a>&amp</a>", L"<a", L"<a b=\"1\"c=\"2\"/>"}) {
    EXPECT_FALSE(strict_xml::Parse(strict_xml::ToCodePoints(bad)).ok) << bad;
  }
}

TEST(StrictXmlReader, DecodesReferencesAndNormalisesLineEnds) {
  const strict_xml::ParseResult parsed =
      strict_xml::Parse(strict_xml::ToCodePoints(L"<a>&lt;&gt;&amp;&quot;&apos;&#13;&#x41;\r\n\r</a>"));
  ASSERT_TRUE(parsed.ok) << parsed.error;
  ASSERT_EQ(parsed.root.children.size(), 1u);
  EXPECT_EQ(std::get<std::u32string>(parsed.root.children[0]), U"<>&\"'\rA\n\n");
}

TEST(InvokeRequestXml, TextsThatOnceBrokeTheRequestRoundTrip) {
  for (const std::wstring text :
       {L"", L"a&b=c", L"OS=6.1.7601.2 &FlashPlayer=&Exe=2.0.13.130&DownloadSource=x<y>\"z'",
        L"x</string><string>evil</string></arguments></invoke>", L"]]>", L"&amp;", L"line\r\nbreak\r", L"\t \n"}) {
    std::string why;
    const std::wstring request = FormatInvokeRequest(kNotifyClientEnvironment, text);
    EXPECT_EQ(DecodeInvokeRequest(request, kNotifyClientEnvironment, why), text) << why << "\n" << request;
  }
}

// Random texts over an alphabet heavy in markup characters and entity fragments.
class RandomText {
 public:
  explicit RandomText(bool withUnrepresentable) : m_withUnrepresentable(withUnrepresentable) {}

  std::wstring Next() {
    std::wstring text;
    const int pieces = Pick(0, 24);
    for (int i = 0; i < pieces; ++i) AppendPiece(text);
    return text;
  }

 private:
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
  char32_t PickCodePoint(std::uint32_t low, std::uint32_t high) {
    return static_cast<char32_t>(std::uniform_int_distribution<std::uint32_t>(low, high)(m_random));
  }

  void AppendPiece(std::wstring& text) {
    static const wchar_t* const kFragments[] = {L"&amp;", L"&#13;", L"&lt", L"]]>", L"</string>", L"<string>",
                                                L"&#x26;", L"\"/>", L"<![CDATA[", L"<!--"};
    switch (Pick(0, m_withUnrepresentable ? 9 : 7)) {
      case 0: text.push_back(L"&<>\"'"[Pick(0, 4)]); break;
      case 1: text.push_back(L";#=/ !?-x"[Pick(0, 8)]); break;
      case 2: text.push_back(static_cast<wchar_t>(PickCodePoint(0x21, 0x7E))); break;
      case 3: text.push_back(L"\r\n\t"[Pick(0, 2)]); break;
      case 4: text.append(kFragments[Pick(0, 9)]); break;
      case 5:
        text.push_back(static_cast<wchar_t>(Pick(0, 1) ? PickCodePoint(0x80, 0xD7FF) : PickCodePoint(0xE000, 0xFFFD)));
        break;
      case 6: wide_text::AppendCodePoint(text, PickCodePoint(0x10000, 0x10FFFF)); break;
      case 7: text.push_back(L"\u4e0b\u8f7d\u00e9\u212a"[Pick(0, 3)]); break;
      case 8: {  // a control character XML cannot carry
        static const wchar_t kControls[] = L"\x01\x02\x08\x0b\x0c\x0e\x1e\x1f";
        const int which = Pick(0, 8);
        text.push_back(which == 8 ? L'\0' : kControls[which]);
        break;
      }
      default:  // a lone surrogate or a noncharacter
        text.push_back(static_cast<wchar_t>(Pick(0, 3) ? PickCodePoint(0xD800, 0xDFFF) : PickCodePoint(0xFFFE, 0xFFFF)));
        break;
    }
  }

  bool m_withUnrepresentable;
  std::mt19937 m_random{20240611};
};

constexpr int kCases = 5000;

TEST(InvokeRequestXml, AnyRepresentableTextRoundTripsExactly) {
  RandomText random(false);
  for (int i = 0; i < kCases; ++i) {
    const std::wstring text = random.Next();
    std::string why;
    const std::optional<std::wstring> decoded =
        DecodeInvokeRequest(FormatInvokeRequest(kNotifyClientEnvironment, text), kNotifyClientEnvironment, why);
    ASSERT_EQ(decoded, text) << "case " << i << ": " << why << "\nunits: " << HexUnits(text);
  }
}

TEST(InvokeRequestXml, AnyUnitsGiveAWellFormedRequestWithReplacementsOnly) {
  RandomText random(true);
  for (int i = 0; i < kCases; ++i) {
    const std::wstring text = random.Next();
    std::string why;
    const std::optional<std::wstring> decoded =
        DecodeInvokeRequest(FormatInvokeRequest(kNotifyFullScreenState, text), kNotifyFullScreenState, why);
    ASSERT_TRUE(decoded.has_value()) << "case " << i << ": " << why << "\nunits: " << HexUnits(text);

    // Position by position: the same character, or U+FFFD for one XML cannot carry.
    const std::u32string in = strict_xml::ToCodePoints(text);
    const std::u32string out = strict_xml::ToCodePoints(*decoded);
    ASSERT_EQ(out.size(), in.size()) << "case " << i << "\nunits: " << HexUnits(text);
    for (std::size_t k = 0; k < in.size(); ++k) {
      const char32_t c = in[k];
      const bool representable = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
                                 (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
      ASSERT_EQ(out[k], representable ? c : U'\uFFFD') << "case " << i << " position " << k;
    }
  }
}

}  // namespace
