// What the fuzz targets share: a broken property ends the run as a crash, which libFuzzer
// records together with the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace sevrik::fuzz {

inline void Check(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

// Well-formed UTF-8 by the table of valid byte ranges (shortest forms only, no surrogates,
// nothing above U+10FFFF), written apart from the system's decoder so as to check it.
inline bool IsValidUtf8(std::string_view s) {
  const auto in = [](unsigned char b, unsigned lo, unsigned hi) { return b >= lo && b <= hi; };
  for (size_t i = 0; i < s.size();) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    const auto at = [&](size_t k) -> unsigned char {
      return i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0;
    };
    size_t n = 0;
    if (b0 <= 0x7F) n = 1;
    else if (in(b0, 0xC2, 0xDF) && in(at(1), 0x80, 0xBF)) n = 2;
    else if (b0 == 0xE0 && in(at(1), 0xA0, 0xBF) && in(at(2), 0x80, 0xBF)) n = 3;
    else if ((in(b0, 0xE1, 0xEC) || in(b0, 0xEE, 0xEF)) && in(at(1), 0x80, 0xBF) && in(at(2), 0x80, 0xBF)) n = 3;
    else if (b0 == 0xED && in(at(1), 0x80, 0x9F) && in(at(2), 0x80, 0xBF)) n = 3;
    else if (b0 == 0xF0 && in(at(1), 0x90, 0xBF) && in(at(2), 0x80, 0xBF) && in(at(3), 0x80, 0xBF)) n = 4;
    else if (in(b0, 0xF1, 0xF3) && in(at(1), 0x80, 0xBF) && in(at(2), 0x80, 0xBF) && in(at(3), 0x80, 0xBF)) n = 4;
    else if (b0 == 0xF4 && in(at(1), 0x80, 0x8F) && in(at(2), 0x80, 0xBF) && in(at(3), 0x80, 0xBF)) n = 4;
    else return false;
    i += n;
  }
  return true;
}

}  // namespace sevrik::fuzz
