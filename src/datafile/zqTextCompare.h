// Letter-case-insensitive comparison of 8-bit texts as the data-file module needs it (FileType names,
// column names, unit keys, missing-value markers): ASCII letters only, other bytes compare as they are.
#pragma once

#include <cstddef>
#include <string_view>

constexpr char zqAsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// a equals b ignoring ASCII letter case.
constexpr bool zqSameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (zqAsciiLower(a[i]) != zqAsciiLower(b[i])) return false;
  return true;
}
