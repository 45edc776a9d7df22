#include "e2e/json.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

#include "e2e/text.h"

namespace e2e {

JsonError::JsonError(const std::string& what, size_t offset)
    : std::runtime_error("JSON: " + what + " at offset " + std::to_string(offset)) {}

class JsonParser {
 public:
  explicit JsonParser(std::string_view text) : text_(text) {}

  Json document() {
    Json value = parseValue(0);
    skipSpace();
    if (pos_ != text_.size()) fail("text after the value");
    return value;
  }

 private:
  static constexpr int kMaxDepth = 64;

  [[noreturn]] void fail(const std::string& what) const { throw JsonError(what, pos_); }

  void skipSpace() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r')) {
      ++pos_;
    }
  }

  char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }

  void expectWord(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) fail("unknown word");
    pos_ += word.size();
  }

  Json parseValue(int depth) {
    if (depth > kMaxDepth) fail("nesting too deep");
    skipSpace();
    if (pos_ >= text_.size()) fail("missing value");
    switch (text_[pos_]) {
      case '{': return parseObject(depth);
      case '[': return parseArray(depth);
      case '"': return Json(Json::Value(parseString()));
      case 't': expectWord("true"); return Json(Json::Value(true));
      case 'f': expectWord("false"); return Json(Json::Value(false));
      case 'n': expectWord("null"); return Json();
      default: return parseNumber();
    }
  }

  Json parseObject(int depth) {
    ++pos_;  // '{'
    Json::Object members;
    skipSpace();
    if (peek() == '}') {
      ++pos_;
      return Json(Json::Value(std::move(members)));
    }
    for (;;) {
      skipSpace();
      if (peek() != '"') fail("expected a member name");
      std::string key = narrow(parseString());
      for (const auto& member : members) {
        if (member.first == key) fail("duplicate member \"" + key + "\"");
      }
      skipSpace();
      if (peek() != ':') fail("expected ':'");
      ++pos_;
      Json value = parseValue(depth + 1);
      members.emplace_back(std::move(key), std::move(value));
      skipSpace();
      if (peek() == ',') {
        ++pos_;
        continue;
      }
      if (peek() == '}') {
        ++pos_;
        return Json(Json::Value(std::move(members)));
      }
      fail("expected ',' or '}'");
    }
  }

  Json parseArray(int depth) {
    ++pos_;  // '['
    Json::Array items;
    skipSpace();
    if (peek() == ']') {
      ++pos_;
      return Json(Json::Value(std::move(items)));
    }
    for (;;) {
      items.push_back(parseValue(depth + 1));
      skipSpace();
      if (peek() == ',') {
        ++pos_;
        continue;
      }
      if (peek() == ']') {
        ++pos_;
        return Json(Json::Value(std::move(items)));
      }
      fail("expected ',' or ']'");
    }
  }

  unsigned hex4() {
    if (pos_ + 4 > text_.size()) fail("short \\u escape");
    unsigned value = 0;
    for (int i = 0; i < 4; ++i) {
      char c = text_[pos_++];
      value <<= 4;
      if (c >= '0' && c <= '9') value |= static_cast<unsigned>(c - '0');
      else if (c >= 'a' && c <= 'f') value |= static_cast<unsigned>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') value |= static_cast<unsigned>(c - 'A' + 10);
      else fail("bad hex digit in \\u escape");
    }
    return value;
  }

  // One UTF-8 sequence, checked: no overlong forms, no surrogates, nothing past U+10FFFF.
  char32_t utf8Sequence() {
    auto byte = [&](size_t i) { return static_cast<unsigned char>(text_[i]); };
    unsigned char lead = byte(pos_);
    int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || pos_ + static_cast<size_t>(length) > text_.size()) fail("invalid UTF-8");
    char32_t code = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
    for (int i = 1; i < length; ++i) {
      unsigned char next = byte(pos_ + static_cast<size_t>(i));
      if ((next & 0xC0) != 0x80) fail("invalid UTF-8");
      code = (code << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) fail("invalid UTF-8");
    pos_ += static_cast<size_t>(length);
    return code;
  }

  std::wstring parseString() {
    ++pos_;  // opening quote
    std::wstring out;
    for (;;) {
      if (pos_ >= text_.size()) fail("unterminated string");
      unsigned char c = static_cast<unsigned char>(text_[pos_]);
      if (c == '"') {
        ++pos_;
        return out;
      }
      if (c < 0x20) fail("control character in string");
      if (c == '\\') {
        ++pos_;
        if (pos_ >= text_.size()) fail("unterminated escape");
        char e = text_[pos_++];
        switch (e) {
          case '"': out += L'"'; break;
          case '\\': out += L'\\'; break;
          case '/': out += L'/'; break;
          case 'b': out += L'\b'; break;
          case 'f': out += L'\f'; break;
          case 'n': out += L'\n'; break;
          case 'r': out += L'\r'; break;
          case 't': out += L'\t'; break;
          case 'u': out += static_cast<wchar_t>(hex4()); break;
          default: --pos_; fail("unknown escape");
        }
        continue;
      }
      char32_t code = utf8Sequence();
      if (code >= 0x10000) {
        code -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (code >> 10));
        out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
      } else {
        out += static_cast<wchar_t>(code);
      }
    }
  }

  Json parseNumber() {
    size_t start = pos_;
    bool integral = true;
    if (peek() == '-') ++pos_;
    auto digit = [&] { return peek() >= '0' && peek() <= '9'; };
    if (peek() == '0') {
      ++pos_;
      if (digit()) fail("leading zero");
    } else if (digit()) {
      while (digit()) ++pos_;
    } else {
      fail("unexpected character");
    }
    if (peek() == '.') {
      integral = false;
      ++pos_;
      if (!digit()) fail("digit expected after '.'");
      while (digit()) ++pos_;
    }
    if (peek() == 'e' || peek() == 'E') {
      integral = false;
      ++pos_;
      if (peek() == '+' || peek() == '-') ++pos_;
      if (!digit()) fail("digit expected in exponent");
      while (digit()) ++pos_;
    }
    std::string literal(text_.substr(start, pos_ - start));
    if (integral) {
      errno = 0;
      long long value = std::strtoll(literal.c_str(), nullptr, 10);
      if (errno != ERANGE) return Json(Json::Value(static_cast<std::int64_t>(value)));
    }
    return Json(Json::Value(std::strtod(literal.c_str(), nullptr)));
  }

  std::string_view text_;
  size_t pos_ = 0;
};

Json Json::parse(std::string_view text) { return JsonParser(text).document(); }

namespace {
[[noreturn]] void wrongKind(const char* wanted) { throw JsonError(std::string("not ") + wanted); }
}  // namespace

bool Json::boolean() const {
  if (auto* value = std::get_if<bool>(&value_)) return *value;
  wrongKind("a boolean");
}

std::int64_t Json::integer() const {
  if (auto* value = std::get_if<std::int64_t>(&value_)) return *value;
  wrongKind("an integer");
}

double Json::number() const {
  if (auto* value = std::get_if<std::int64_t>(&value_)) return static_cast<double>(*value);
  if (auto* value = std::get_if<double>(&value_)) return *value;
  wrongKind("a number");
}

const std::wstring& Json::text() const {
  if (auto* value = std::get_if<std::wstring>(&value_)) return *value;
  wrongKind("a string");
}

std::string Json::utf8() const { return narrow(text()); }

const Json::Array& Json::items() const {
  if (auto* value = std::get_if<Array>(&value_)) return *value;
  wrongKind("an array");
}

const Json::Object& Json::members() const {
  if (auto* value = std::get_if<Object>(&value_)) return *value;
  wrongKind("an object");
}

const Json* Json::find(std::string_view key) const {
  for (const auto& [name, value] : members()) {
    if (name == key) return &value;
  }
  return nullptr;
}

const Json& Json::operator[](std::string_view key) const {
  if (const Json* value = find(key)) return *value;
  throw JsonError("no member \"" + std::string(key) + "\"");
}

const Json& Json::operator[](size_t index) const {
  const Array& array = items();
  if (index >= array.size()) throw JsonError("index " + std::to_string(index) + " out of range");
  return array[index];
}

bool Json::memberIs(std::string_view key, std::string_view value) const {
  if (kind() != Kind::Object) return false;
  const Json* member = find(key);
  return member && member->isString() && member->text() == widen(value);
}

}  // namespace e2e
