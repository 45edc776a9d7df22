#include "json_line.h"

namespace standin {
namespace {

void AppendEscapedUnit(std::string& out, unsigned unit) {
    switch (unit) {
    case '"': out += "\\\""; return;
    case '\\': out += "\\\\"; return;
    case '\b': out += "\\b"; return;
    case '\f': out += "\\f"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    default: break;
    }
    if (unit >= 0x20 && unit < 0x80) {
        out += static_cast<char>(unit);
        return;
    }
    static const char kHex[] = "0123456789abcdef";
    const char escaped[6] = {'\\', 'u', kHex[(unit >> 12) & 0xF], kHex[(unit >> 8) & 0xF],
                             kHex[(unit >> 4) & 0xF], kHex[unit & 0xF]};
    out.append(escaped, sizeof escaped);
}

}  // namespace

void AppendJsonString(std::string& out, std::wstring_view text) {
    out.reserve(out.size() + text.size() + 2);
    out += '"';
    for (wchar_t c : text) AppendEscapedUnit(out, static_cast<unsigned>(c) & 0xFFFF);
    out += '"';
}

void AppendJsonString(std::string& out, std::string_view ascii) {
    out += '"';
    for (char c : ascii) AppendEscapedUnit(out, static_cast<unsigned char>(c));
    out += '"';
}

void JsonLine::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (first_.empty()) {  // a top-level field always follows the leading fields
        body_ += ',';
        return;
    }
    if (!first_.back()) body_ += ',';
    first_.back() = false;
}

JsonLine& JsonLine::Key(std::string_view key) {
    BeforeValue();
    AppendJsonString(body_, key);
    body_ += ':';
    afterKey_ = true;
    return *this;
}

JsonLine& JsonLine::Text(std::wstring_view text) {
    BeforeValue();
    AppendJsonString(body_, text);
    return *this;
}

JsonLine& JsonLine::Text(const std::optional<std::wstring>& text) {
    return text ? Text(std::wstring_view(*text)) : Null();
}

JsonLine& JsonLine::Ascii(std::string_view text) {
    BeforeValue();
    AppendJsonString(body_, text);
    return *this;
}

JsonLine& JsonLine::Int(std::int64_t value) {
    BeforeValue();
    body_ += std::to_string(value);
    return *this;
}

JsonLine& JsonLine::UInt(std::uint64_t value) {
    BeforeValue();
    body_ += std::to_string(value);
    return *this;
}

JsonLine& JsonLine::Bool(bool value) {
    BeforeValue();
    body_ += value ? "true" : "false";
    return *this;
}

JsonLine& JsonLine::Null() {
    BeforeValue();
    body_ += "null";
    return *this;
}

void JsonLine::Open(char bracket) {
    BeforeValue();
    body_ += bracket;
    first_.push_back(true);
}

void JsonLine::Close(char bracket) {
    body_ += bracket;
    if (!first_.empty()) first_.pop_back();
}

JsonLine& JsonLine::BeginArray() { Open('['); return *this; }
JsonLine& JsonLine::EndArray() { Close(']'); return *this; }
JsonLine& JsonLine::BeginObject() { Open('{'); return *this; }
JsonLine& JsonLine::EndObject() { Close('}'); return *this; }

}  // namespace standin
