#include "json_line.h"

#include <gtest/gtest.h>

namespace standin {
namespace {

struct EscapeCase {
    std::wstring text;
    std::string json;
};

class JsonEscapeTest : public testing::TestWithParam<EscapeCase> {};

TEST_P(JsonEscapeTest, KeepsTheLineAsciiAndExact) {
    std::string out;
    AppendJsonString(out, std::wstring_view(GetParam().text));
    EXPECT_EQ(out, GetParam().json);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, JsonEscapeTest,
    testing::Values(EscapeCase{L"", "\"\""}, EscapeCase{L"plain text", "\"plain text\""},
                    EscapeCase{L"say \"hi\"\\", "\"say \\\"hi\\\"\\\\\""},
                    EscapeCase{L"\b\f\n\r\t", "\"\\b\\f\\n\\r\\t\""},
                    EscapeCase{L"\x01\x1f\x7f", "\"\\u0001\\u001f\x7f\""},
                    EscapeCase{std::wstring(L"a\0b", 3), "\"a\\u0000b\""},
                    EscapeCase{L"\u00e9\u4e2d\u6587", "\"\\u00e9\\u4e2d\\u6587\""},
                    // Each UTF-16 unit of a pair on its own.
                    EscapeCase{L"\xd83d\xde00", "\"\\ud83d\\ude00\""}));

TEST(JsonLineTest, SeparatesFieldsAndNestedValues) {
    JsonLine line("call");
    line.Key("name").Ascii("LoadMovie");
    line.Key("args").BeginArray().Int(0).Text(std::wstring(L"u")).Null().EndArray();
    line.Key("top").BeginObject().Key("a").BeginArray().EndArray().Key("b").Bool(false).EndObject();
    line.Key("n").UInt(18446744073709551615ull).Key("m").Int(-5);
    EXPECT_EQ(line.Body(),
              ",\"name\":\"LoadMovie\",\"args\":[0,\"u\",null],\"top\":{\"a\":[],\"b\":false},"
              "\"n\":18446744073709551615,\"m\":-5");
}

TEST(JsonLineTest, NullableTextIsNullOrString) {
    JsonLine line("x");
    line.Key("a").Text(std::optional<std::wstring>()).Key("b").Text(std::optional<std::wstring>(std::wstring()));
    EXPECT_EQ(line.Body(), ",\"a\":null,\"b\":\"\"");
}

}  // namespace
}  // namespace standin
