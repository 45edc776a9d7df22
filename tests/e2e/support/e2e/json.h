#pragma once
// A small, strict JSON reader for the stand-in's record: anything the grammar does not
// allow (trailing commas, bare control characters, bad escapes, broken UTF-8, duplicate
// keys, text after the value) is an error, so a malformed record line fails the test that
// reads it instead of passing unnoticed.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace e2e {

struct JsonError : std::runtime_error {
  explicit JsonError(const std::string& what) : std::runtime_error("JSON: " + what) {}
  JsonError(const std::string& what, size_t offset);
};

class Json {
 public:
  enum class Kind { Null, Boolean, Integer, Real, String, Array, Object };
  using Array = std::vector<Json>;
  using Object = std::vector<std::pair<std::string, Json>>;  // in document order

  static Json parse(std::string_view text);

  Json() = default;

  Kind kind() const { return static_cast<Kind>(value_.index()); }
  bool isNull() const { return kind() == Kind::Null; }
  bool isString() const { return kind() == Kind::String; }
  bool isNumber() const { return kind() == Kind::Integer || kind() == Kind::Real; }

  // Each accessor throws JsonError when the value is of another kind.
  bool boolean() const;
  std::int64_t integer() const;  // a number written without fraction or exponent
  double number() const;         // any number
  // Strings are kept as UTF-16, exactly as \uXXXX wrote them (NULs and lone surrogates too).
  const std::wstring& text() const;
  std::string utf8() const;
  const Array& items() const;
  const Object& members() const;

  // Object member lookup: find gives null when absent, operator[] throws.
  const Json* find(std::string_view key) const;
  bool has(std::string_view key) const { return find(key) != nullptr; }
  const Json& operator[](std::string_view key) const;
  const Json& operator[](size_t index) const;

  // Convenience for the record: a string member equal to an ASCII/UTF-8 word.
  bool memberIs(std::string_view key, std::string_view value) const;

 private:
  friend class JsonParser;
  using Value = std::variant<std::monostate, bool, std::int64_t, double, std::wstring, Array, Object>;
  explicit Json(Value value) : value_(std::move(value)) {}

  Value value_;
};

}  // namespace e2e
