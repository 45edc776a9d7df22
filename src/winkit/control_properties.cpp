#include "winkit/control_properties.h"

#include <charconv>

namespace winkit {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

template <typename Int>
std::optional<Int> to_int(std::string_view s) {
    s = trim(s);
    Int v{};
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc{} || end != s.data() + s.size()) return std::nullopt;
    return v;
}

void append_code_point(std::wstring& out, char32_t cp) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
            return;
        }
    }
    out.push_back(static_cast<wchar_t>(cp));
}

}  // namespace

std::wstring widen_utf8(std::string_view s) {
    std::wstring out;
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + extra >= s.size() + (extra == 0 ? 1 : 0)) {
            append_code_point(out, 0xFFFD);
            ++i;
            continue;
        }
        char32_t cp = extra == 0 ? b : (b & (0x3F >> extra));
        bool good = true;
        for (int k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c >> 6) != 2) {
                good = false;
                break;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        // Overlong forms, surrogates and values beyond U+10FFFF are no characters: each
        // would come out as a unit (or a broken pair) that no text may hold.
        constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (good && (cp < kLeast[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) good = false;
        if (!good) {
            append_code_point(out, 0xFFFD);
            ++i;
            continue;
        }
        append_code_point(out, cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

std::map<uint32_t, ControlProperties> parse_control_properties(std::string_view text) {
    std::map<uint32_t, ControlProperties> result;
    ControlProperties* current = nullptr;
    while (!text.empty()) {
        const size_t nl = text.find('\n');
        std::string_view line = trim(text.substr(0, nl));
        text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;

        if (line.front() == '[') {
            current = nullptr;
            if (line.back() != ']') continue;
            if (auto id = to_int<uint32_t>(line.substr(1, line.size() - 2))) current = &result[*id];
            continue;
        }
        const size_t eq = line.find('=');
        if (!current || eq == std::string_view::npos) continue;
        const std::string_view name = trim(line.substr(0, eq));
        const std::string_view value = trim(line.substr(eq + 1));
        if (name.empty()) continue;
        if (name == "extent") {
            const size_t comma = value.find(',');
            if (comma == std::string_view::npos) continue;
            auto cx = to_int<int32_t>(value.substr(0, comma));
            auto cy = to_int<int32_t>(value.substr(comma + 1));
            if (cx && cy) current->extent = std::make_pair(*cx, *cy);
            continue;
        }
        current->values.emplace_back(widen_utf8(name), widen_utf8(value));
    }
    return result;
}

}  // namespace winkit
