// Small text helpers used across modules.
#pragma once
#include <string>
#include <string_view>

namespace gravik {

std::string UpperCase(std::string_view s);  // ASCII letters only
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);  // ASCII case-insensitive
bool EndsWithText(std::string_view s, std::string_view suffix);  // case-insensitive
std::string Trim(std::string_view s);
// printf-style formatting into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace gravik
