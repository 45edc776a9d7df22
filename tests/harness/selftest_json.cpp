// The record parser must take every line the stand-in writes and refuse anything else, or
// a broken record would pass unnoticed.

#include <gtest/gtest.h>

#include <string>

#include "e2e/json.h"

namespace {

using e2e::Json;

TEST(RecordJson, ReadsARecordLineWithEveryKindOfValue) {
  Json line = Json::parse(
      R"({"t":812,"seq":3,"pid":52,"ev":"call","name":"LoadMovie","args":[0,"http://m.example/b.swf?111018"],)"
      R"("self":[-4,0,956,600],"ok":true,"none":null,"ratio":-1.5e2,"nested":{"a":[[],{}]}})");
  EXPECT_EQ(line["t"].integer(), 812);
  EXPECT_TRUE(line.memberIs("ev", "call"));
  EXPECT_EQ(line["args"][0].integer(), 0);
  EXPECT_EQ(line["args"][1].text(), L"http://m.example/b.swf?111018");
  EXPECT_EQ(line["self"][0].integer(), -4);
  EXPECT_TRUE(line["ok"].boolean());
  EXPECT_TRUE(line["none"].isNull());
  EXPECT_DOUBLE_EQ(line["ratio"].number(), -150.0);
  EXPECT_TRUE(line["nested"]["a"][0].items().empty());
  EXPECT_TRUE(line["nested"]["a"][1].members().empty());
  // Members keep the order of the line.
  EXPECT_EQ(line.members().front().first, "t");
  EXPECT_EQ(line.members().back().first, "nested");
}

struct TextCase {
  const char* json;
  std::wstring text;
};

class RecordJsonText : public ::testing::TestWithParam<TextCase> {};

TEST_P(RecordJsonText, DecodesToTheExactUtf16Text) {
  EXPECT_EQ(Json::parse(GetParam().json).text(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, RecordJsonText,
    ::testing::Values(TextCase{R"("")", L""},
                      TextCase{R"("a\"b\\c\/d")", L"a\"b\\c/d"},
                      TextCase{R"("\b\f\n\r\t")", L"\b\f\n\r\t"},
                      // The stand-in writes non-ASCII as \uXXXX; both cases of hex digits.
                      TextCase{R"("\u6CA1\u6709 Flash \uff01")", L"\u6ca1\u6709 Flash \uff01"},
                      // An embedded NUL stays in the text.
                      TextCase{R"("a\u0000b")", std::wstring(L"a\0b", 3)},
                      // A surrogate pair, and raw UTF-8 of one and of three bytes.
                      TextCase{R"("\ud83d\ude00")", L"\U0001F600"},
                      TextCase{"\"\xC3\xA9\xE6\xB2\xA1\"", L"\u00e9\u6ca1"},
                      TextCase{"\"\xF0\x9F\x98\x80\"", L"\U0001F600"},
                      // A lone surrogate from a broken BSTR is kept as it was.
                      TextCase{R"("\udc00x")", std::wstring(1, static_cast<wchar_t>(0xDC00)) + L"x"}));

class RecordJsonRefuses : public ::testing::TestWithParam<const char*> {};

TEST_P(RecordJsonRefuses, MalformedInput) { EXPECT_THROW(Json::parse(GetParam()), e2e::JsonError); }

INSTANTIATE_TEST_SUITE_P(Grammar, RecordJsonRefuses,
                         ::testing::Values("", "   ", "{", "}", "[1,]", "{\"a\":1,}", "{\"a\" 1}", "{a:1}",
                                           "{\"a\":1}{", "{\"a\":1} x", "[1 2]", "tru", "nul", "True", "'x'",
                                           "01", "-", "1.", ".5", "1e", "+1", "0x10", "NaN",
                                           "\"unterminated", "\"bad \\x escape\"", "\"short \\u12\"",
                                           "\"\\u12G4\"", "\"tab\there\"", "\"line\nbreak\""));

INSTANTIATE_TEST_SUITE_P(Utf8, RecordJsonRefuses,
                         ::testing::Values("\"\x80\"",              // continuation byte first
                                           "\"\xC3\"",              // cut short
                                           "\"\xC0\xAF\"",          // overlong '/'
                                           "\"\xED\xA0\x80\"",      // an encoded surrogate
                                           "\"\xF4\x90\x80\x80\"",  // past U+10FFFF
                                           "\"\xFF\""));

TEST(RecordJson, RefusesDuplicateMembersAndDeepNesting) {
  EXPECT_THROW(Json::parse(R"({"ev":"key","ev":"call"})"), e2e::JsonError);
  EXPECT_THROW(Json::parse(std::string(100, '[') + std::string(100, ']')), e2e::JsonError);
  EXPECT_NO_THROW(Json::parse(std::string(30, '[') + std::string(30, ']')));
}

TEST(RecordJson, NumbersKeepTheirKind) {
  EXPECT_EQ(Json::parse("-0").kind(), Json::Kind::Integer);
  EXPECT_EQ(Json::parse("4294967295").integer(), 4294967295LL);
  EXPECT_EQ(Json::parse("2.5").kind(), Json::Kind::Real);
  EXPECT_THROW(Json::parse("2.5").integer(), e2e::JsonError);
  // Too large for 64 bits: still a number, but not an integer.
  EXPECT_EQ(Json::parse("123456789012345678901234567890").kind(), Json::Kind::Real);
}

TEST(RecordJson, AccessOfTheWrongKindOrAMissingMemberThrows) {
  Json line = Json::parse(R"({"ev":"key","vk":39,"list":[1]})");
  EXPECT_THROW(line["vk"].text(), e2e::JsonError);
  EXPECT_THROW(line["ev"].integer(), e2e::JsonError);
  EXPECT_THROW(line["missing"], e2e::JsonError);
  EXPECT_THROW(line["list"][1], e2e::JsonError);
  EXPECT_EQ(line.find("missing"), nullptr);
  EXPECT_FALSE(line.memberIs("vk", "39"));
  EXPECT_FALSE(Json::parse("[1]").memberIs("ev", "key"));
}

}  // namespace
