#include "movie_script.h"

#include <gtest/gtest.h>

namespace standin {
namespace {

struct StepCase {
    const wchar_t* line;
    StepKind kind;
    std::int64_t at;
    std::uint32_t count;
    bool burst;
    NullableText command;
    NullableText args;
};

class ScriptStepTest : public testing::TestWithParam<StepCase> {};

TEST_P(ScriptStepTest, ParsesOneStep) {
    const StepCase& c = GetParam();
    const MovieScript script = ParseMovieScript(c.line);
    ASSERT_TRUE(script.notes.empty()) << std::string(script.notes[0].begin(), script.notes[0].end());
    ASSERT_EQ(script.steps.size(), 1u);
    const ScriptStep& step = script.steps[0];
    EXPECT_EQ(step.kind, c.kind);
    EXPECT_EQ(step.at, c.at);
    EXPECT_EQ(step.count, c.count);
    EXPECT_EQ(step.burst, c.burst);
    EXPECT_EQ(step.command, c.command);
    EXPECT_EQ(step.args, c.args);
}

const NullableText kNull;

INSTANTIATE_TEST_SUITE_P(
    Lines, ScriptStepTest,
    testing::Values(
        StepCase{L"at 100 fs SwfInitialzed \"\"", StepKind::Fire, 100, 1, false, L"SwfInitialzed", L""},
        StepCase{L"at 350 fs FullScreen null   # a null argument", StepKind::Fire, 350, 1, false, L"FullScreen",
                 kNull},
        // Quoted "null" is the text, not a null BSTR.
        StepCase{L"  at 0 fs \"null\" \"a # b\"", StepKind::Fire, 0, 1, false, L"null", L"a # b"},
        StepCase{L"at 5 fs x \"q\\\"\\\\\\n\\r\\t\\0\\u4E2d\"", StepKind::Fire, 5, 1, false, L"x",
                 std::wstring(L"q\"\\\n\r\t\0\u4e2d", 8)},
        StepCase{L"at 5 fs x \"ab\"*3", StepKind::Fire, 5, 1, false, L"x", L"ababab"},
        StepCase{L"at 5 fs x \"ab\"*0", StepKind::Fire, 5, 1, false, L"x", L""},
        StepCase{L"burst 500 10000 fs Unknown x\r", StepKind::Fire, 500, 10000, true, L"Unknown", L"x"},
        StepCase{L"at 600 stats", StepKind::Stats, 600, 1, false, kNull, kNull},
        StepCase{L"at 3000 close", StepKind::Close, 3000, 1, false, kNull, kNull}));

struct ErrorCase {
    const wchar_t* line;
    const wchar_t* note;
};

class ScriptErrorTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(ScriptErrorTest, SkipsTheLineWithANote) {
    // The bad line sits between two good ones, which must both survive.
    const MovieScript script =
        ParseMovieScript(std::wstring(L"at 1 stats\n") + GetParam().line + L"\nat 2 close\nvar a b\nfail Play");
    ASSERT_EQ(script.notes.size(), 1u);
    EXPECT_EQ(script.notes[0], GetParam().note);
    ASSERT_EQ(script.steps.size(), 2u);
    EXPECT_EQ(script.variables.size(), 1u);
    EXPECT_EQ(script.failing.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScriptErrorTest,
    testing::Values(ErrorCase{L"at x fs a b", L"line 2: bad time 'x'"},
                    ErrorCase{L"at -5 stats", L"line 2: bad time '-5'"},
                    ErrorCase{L"jump 5", L"line 2: unknown step 'jump'"},
                    ErrorCase{L"at 5 wave", L"line 2: unknown action 'wave'"},
                    ErrorCase{L"at 5 fs onlycommand", L"line 2: missing argument"},
                    ErrorCase{L"at 5 stats extra", L"line 2: extra text after the step"},
                    ErrorCase{L"var lonely", L"line 2: missing variable value"},
                    ErrorCase{L"at 5 fs \"open b", L"line 2: unterminated text"},
                    ErrorCase{L"at 5 fs \"a\\q\" b", L"line 2: unknown escape \\q"},
                    ErrorCase{L"at 5 fs \"\\u12\" b", L"line 2: bad \\u escape"},
                    ErrorCase{L"at 5 fs \"a\"x b", L"line 2: text after closing quote"},
                    ErrorCase{L"at 5 fs \"a\"*x b", L"line 2: bad repeat count"},
                    ErrorCase{L"burst 5 0 fs a b", L"line 2: bad count '0'"},
                    ErrorCase{L"burst 5 3 stats", L"line 2: a burst fires fs only"},
                    ErrorCase{L"fail LoadMovie", L"line 2: cannot make 'LoadMovie' fail"}));

TEST(MovieScriptTest, KeepsVariablesFailuresAndTimeOrder) {
    const MovieScript script = ParseMovieScript(
        L"# the booter movie\n"
        L"var $version \"WIN 32,0,0,465\"\n"
        L"var gone null\n"
        L"at 300 fs second x\n"
        L"at 100 fs first x\n"
        L"at 300 fs third x\n"
        L"fail callfunction\n"
        L"fail GetVariable\n");
    EXPECT_TRUE(script.notes.empty());
    ASSERT_EQ(script.steps.size(), 3u);
    EXPECT_EQ(script.steps[0].command, L"first");
    EXPECT_EQ(script.steps[1].command, L"second");  // equal times keep the file's order
    EXPECT_EQ(script.steps[2].command, L"third");
    EXPECT_EQ(script.variables.at(L"$version"), L"WIN 32,0,0,465");
    EXPECT_EQ(script.variables.at(L"gone"), kNull);
    EXPECT_EQ(script.failing, (std::set<std::wstring>{L"CallFunction", L"GetVariable"}));
}

TEST(MovieScriptTest, RepeatsATextToAMebibyte) {
    const MovieScript script = ParseMovieScript(L"at 1 fs Big \"x\"*1048576");
    ASSERT_EQ(script.steps.size(), 1u);
    ASSERT_TRUE(script.steps[0].args.has_value());
    EXPECT_EQ(script.steps[0].args->size(), 1048576u);
    EXPECT_EQ(script.steps[0].args->find_first_not_of(L'x'), std::wstring::npos);
}

}  // namespace
}  // namespace standin
