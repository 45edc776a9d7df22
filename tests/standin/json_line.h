// One line of the record as it is built: the fields after "ev", with JSON escaping that
// keeps every line ASCII (each non-ASCII UTF-16 unit becomes \uXXXX, lower-case hex).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

void AppendJsonString(std::string& out, std::wstring_view text);
void AppendJsonString(std::string& out, std::string_view ascii);

class JsonLine {
public:
    explicit JsonLine(std::string_view ev) : ev_(ev) {}

    JsonLine& Key(std::string_view key);
    JsonLine& Text(std::wstring_view text);
    JsonLine& Text(const std::wstring& text) { return Text(std::wstring_view(text)); }
    JsonLine& Text(const wchar_t* text) { return Text(std::wstring_view(text)); }
    JsonLine& Text(const std::optional<std::wstring>& text);  // nullopt is JSON null
    JsonLine& Ascii(std::string_view text);
    JsonLine& Int(std::int64_t value);
    JsonLine& UInt(std::uint64_t value);
    JsonLine& Bool(bool value);
    JsonLine& Null();
    JsonLine& BeginArray();
    JsonLine& EndArray();
    JsonLine& BeginObject();
    JsonLine& EndObject();

    const std::string& Ev() const { return ev_; }
    // The fields, each preceded by a comma, ready to follow the line's leading fields.
    const std::string& Body() const { return body_; }

private:
    void BeforeValue();
    void Open(char bracket);
    void Close(char bracket);

    std::string ev_;
    std::string body_;
    std::vector<bool> first_;  // per open array/object: nothing written into it yet
    bool afterKey_ = false;
};

}  // namespace standin
