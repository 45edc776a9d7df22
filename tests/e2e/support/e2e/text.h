#pragma once
// UTF-8 <-> UTF-16 for the harness: the record is UTF-8, Windows speaks UTF-16.

#include <string>
#include <string_view>

namespace e2e {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

}  // namespace e2e
