#include "standin_config.h"

#include <gtest/gtest.h>

namespace standin {
namespace {

TEST(IniValueTest, FindsKeysWithoutCaseAndIgnoresComments) {
    const std::string ini =
        "\xEF\xBB\xBF# stand-in settings\r\n"
        "; script=commented\r\n"
        "  Record = Z:\\tmp\\record.jsonl  \r\n"
        "script=/tmp/movie.txt\n"
        "noequals\n";
    EXPECT_EQ(IniValue(ini, "record"), std::optional<std::string>("Z:\\tmp\\record.jsonl"));
    EXPECT_EQ(IniValue(ini, "SCRIPT"), std::optional<std::string>("/tmp/movie.txt"));
    EXPECT_EQ(IniValue(ini, "noequals"), std::nullopt);
    EXPECT_EQ(IniValue("", "record"), std::nullopt);
}

TEST(WindowsPathTest, MapsUnixPathsAndKeepsWindowsPaths) {
    EXPECT_EQ(ToWindowsPath(L"/tmp/zb/record.jsonl"), L"Z:\\tmp\\zb\\record.jsonl");
    EXPECT_EQ(ToWindowsPath(L"C:\\users\\record.jsonl"), L"C:\\users\\record.jsonl");
    EXPECT_EQ(ToWindowsPath(L"Z:\\tmp\\x"), L"Z:\\tmp\\x");
    EXPECT_EQ(ToWindowsPath(L""), L"");
}

}  // namespace
}  // namespace standin
