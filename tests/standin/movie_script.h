// The movie script that plays when LoadMovie is called: one step a line, '#' starts a
// comment. docs/stand-in.md describes the format.
#pragma once

#include "text.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

enum class StepKind { Fire, Stats, Close };

struct ScriptStep {
    StepKind kind = StepKind::Fire;
    std::int64_t at = 0;       // milliseconds after LoadMovie
    std::uint32_t count = 1;   // FSCommands fired in one go
    bool burst = false;        // a burst is recorded as one summary line
    NullableText command;
    NullableText args;
};

struct MovieScript {
    std::vector<ScriptStep> steps;                    // by time; equal times keep file order
    std::map<std::wstring, NullableText> variables;   // what GetVariable answers
    std::set<std::wstring> failing;                   // members whose calls fail
    std::vector<std::wstring> notes;                  // "line N: …" for each skipped line
};

// The members a script may make fail.
inline constexpr const wchar_t* kFailableMembers[] = {L"CallFunction", L"GetVariable", L"Play"};

MovieScript ParseMovieScript(std::wstring_view text);

}  // namespace standin
