#include "movie_script.h"

#include <algorithm>
#include <cwctype>
#include <optional>
#include <stdexcept>

namespace standin {
namespace {

// Texts built by "x"*N stay below this many UTF-16 units (512 MiB of memory).
constexpr std::uint64_t kMaxTextUnits = 256ull * 1024 * 1024;
constexpr std::uint64_t kMaxBurst = 10'000'000;

struct Token {
    NullableText text;   // nullopt for the bare word null
    bool quoted = false;
};

// A reason to skip the line; becomes the script note "line N: <reason>".
struct LineError : std::runtime_error {
    explicit LineError(const std::string& what) : std::runtime_error(what) {}
};

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\v' || c == L'\f'; }

std::string Narrow(std::wstring_view s) {
    std::string out;
    for (wchar_t c : s) out += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    return out;
}

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

std::optional<std::uint64_t> ParseNumber(std::wstring_view s, std::uint64_t max) {
    if (s.empty() || s.size() > 12) return std::nullopt;
    std::uint64_t value = 0;
    for (wchar_t c : s) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - L'0');
    }
    if (value > max) return std::nullopt;
    return value;
}

class LineTokenizer {
public:
    explicit LineTokenizer(std::wstring_view line) : line_(line) {}

    // The next token, or nullopt at the end of the line or at a comment.
    std::optional<Token> Next() {
        while (pos_ < line_.size() && IsBlank(line_[pos_])) ++pos_;
        if (pos_ >= line_.size() || line_[pos_] == L'#') return std::nullopt;
        return line_[pos_] == L'"' ? Quoted() : Bare();
    }

private:
    Token Bare() {
        const size_t start = pos_;
        while (pos_ < line_.size() && !IsBlank(line_[pos_])) ++pos_;
        const std::wstring_view word = line_.substr(start, pos_ - start);
        Token token;
        if (word != L"null") token.text = std::wstring(word);
        return token;
    }

    Token Quoted() {
        ++pos_;  // opening quote
        std::wstring text;
        for (;;) {
            if (pos_ >= line_.size()) throw LineError("unterminated text");
            const wchar_t c = line_[pos_++];
            if (c == L'"') break;
            if (c != L'\\') {
                text += c;
                continue;
            }
            if (pos_ >= line_.size()) throw LineError("unterminated text");
            const wchar_t e = line_[pos_++];
            switch (e) {
            case L'"': text += L'"'; break;
            case L'\\': text += L'\\'; break;
            case L'n': text += L'\n'; break;
            case L'r': text += L'\r'; break;
            case L't': text += L'\t'; break;
            case L'0': text += L'\0'; break;
            case L'u': text += HexUnit(); break;
            default: throw LineError("unknown escape \\" + Narrow(std::wstring_view(&e, 1)));
            }
        }
        if (pos_ < line_.size() && line_[pos_] == L'*') {
            ++pos_;
            const size_t start = pos_;
            while (pos_ < line_.size() && line_[pos_] >= L'0' && line_[pos_] <= L'9') ++pos_;
            const auto times = ParseNumber(line_.substr(start, pos_ - start), kMaxTextUnits);
            if (!times) throw LineError("bad repeat count");
            if (!text.empty() && *times > kMaxTextUnits / text.size()) throw LineError("repeated text too long");
            std::wstring repeated;
            repeated.reserve(text.size() * static_cast<size_t>(*times));
            for (std::uint64_t i = 0; i < *times; ++i) repeated += text;
            text = std::move(repeated);
        }
        if (pos_ < line_.size() && !IsBlank(line_[pos_]) && line_[pos_] != L'#')
            throw LineError("text after closing quote");
        Token token;
        token.text = std::move(text);
        token.quoted = true;
        return token;
    }

    wchar_t HexUnit() {
        if (pos_ + 4 > line_.size()) throw LineError("bad \\u escape");
        unsigned value = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = HexValue(line_[pos_++]);
            if (digit < 0) throw LineError("bad \\u escape");
            value = value * 16 + static_cast<unsigned>(digit);
        }
        return static_cast<wchar_t>(value);
    }

    std::wstring_view line_;
    size_t pos_ = 0;
};

bool IsWord(const Token& token, std::wstring_view word) {
    return !token.quoted && token.text && *token.text == word;
}

std::wstring Describe(const Token& token) {
    if (!token.text) return L"null";
    return token.text->size() > 40 ? token.text->substr(0, 40) + L"..." : *token.text;
}

class LineParser {
public:
    LineParser(std::vector<Token> tokens, MovieScript& script) : tokens_(std::move(tokens)), script_(script) {}

    void Parse() {
        const Token& verb = Take("a step");
        if (IsWord(verb, L"at")) {
            At();
        } else if (IsWord(verb, L"burst")) {
            Burst();
        } else if (IsWord(verb, L"var")) {
            Var();
        } else if (IsWord(verb, L"fail")) {
            Fail();
        } else {
            throw LineError("unknown step '" + Narrow(Describe(verb)) + "'");
        }
        if (next_ < tokens_.size()) throw LineError("extra text after the step");
        // Only a whole, well-formed line changes the script.
        if (step_) script_.steps.push_back(std::move(*step_));
        if (variable_) script_.variables[variable_->first] = std::move(variable_->second);
        if (failing_) script_.failing.insert(*failing_);
    }

private:
    const Token& Take(const char* what) {
        if (next_ >= tokens_.size()) throw LineError(std::string("missing ") + what);
        return tokens_[next_++];
    }

    std::uint64_t Number(const char* what, std::uint64_t max) {
        const Token& token = Take(what);
        if (token.quoted || !token.text) throw LineError(std::string("bad ") + what);
        const auto value = ParseNumber(*token.text, max);
        if (!value) throw LineError(std::string("bad ") + what + " '" + Narrow(*token.text) + "'");
        return *value;
    }

    void FireArguments(ScriptStep& step) {
        step.command = Take("command").text;
        step.args = Take("argument").text;
    }

    void At() {
        ScriptStep step;
        step.at = static_cast<std::int64_t>(Number("time", 0x7FFFFFFF));
        const Token& action = Take("action (fs, stats or close)");
        if (IsWord(action, L"fs")) {
            step.kind = StepKind::Fire;
            FireArguments(step);
        } else if (IsWord(action, L"stats")) {
            step.kind = StepKind::Stats;
        } else if (IsWord(action, L"close")) {
            step.kind = StepKind::Close;
        } else {
            throw LineError("unknown action '" + Narrow(Describe(action)) + "'");
        }
        step_ = std::move(step);
    }

    void Burst() {
        ScriptStep step;
        step.at = static_cast<std::int64_t>(Number("time", 0x7FFFFFFF));
        step.count = static_cast<std::uint32_t>(Number("count", kMaxBurst));
        if (step.count == 0) throw LineError("bad count '0'");
        if (!IsWord(Take("fs"), L"fs")) throw LineError("a burst fires fs only");
        step.burst = true;
        FireArguments(step);
        step_ = std::move(step);
    }

    void Var() {
        const Token& name = Take("variable name");
        if (!name.text) throw LineError("a variable needs a name");
        NullableText value = Take("variable value").text;
        variable_.emplace(*name.text, std::move(value));
    }

    void Fail() {
        const Token& member = Take("member");
        for (const wchar_t* known : kFailableMembers) {
            if (member.text && _wcsicmp(member.text->c_str(), known) == 0) {
                failing_ = known;
                return;
            }
        }
        throw LineError("cannot make '" + Narrow(Describe(member)) + "' fail");
    }

    std::vector<Token> tokens_;
    size_t next_ = 0;
    MovieScript& script_;
    std::optional<ScriptStep> step_;
    std::optional<std::pair<std::wstring, NullableText>> variable_;
    std::optional<std::wstring> failing_;
};

}  // namespace

MovieScript ParseMovieScript(std::wstring_view text) {
    MovieScript script;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const size_t end = text.find(L'\n');
        const std::wstring_view line = text.substr(0, end);
        text = end == std::wstring_view::npos ? std::wstring_view() : text.substr(end + 1);
        try {
            LineTokenizer tokenizer(line);
            std::vector<Token> tokens;
            while (auto token = tokenizer.Next()) tokens.push_back(std::move(*token));
            if (tokens.empty()) continue;
            LineParser(std::move(tokens), script).Parse();
        } catch (const LineError& e) {
            std::wstring note = L"line " + std::to_wstring(lineNumber) + L": ";
            for (const char* p = e.what(); *p; ++p) note += static_cast<wchar_t>(static_cast<unsigned char>(*p));
            script.notes.push_back(std::move(note));
        }
    }
    std::stable_sort(script.steps.begin(), script.steps.end(),
                     [](const ScriptStep& a, const ScriptStep& b) { return a.at < b.at; });
    return script;
}

}  // namespace standin
