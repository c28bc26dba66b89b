#include "base/text.h"

#include <array>
#include <cstdint>

namespace sevrik {
namespace {

// Characters of bytes 0x80-0x9F; the five undefined bytes keep their C1 code point,
// as the Windows conversion does.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int ByteOf(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == c) return static_cast<int>(0x80 + i);
  return '?';
}

constexpr char32_t kBroken = 0xFFFD;

// Decodes one UTF-8 character at s[i] and advances i past it. A sequence that is not a
// well-formed character yields U+FFFD, once for the whole sequence: a lead byte with the
// continuation bytes that follow it (fewer than it announces when the text is cut short),
// an overlong form ("C0 AF" for "/"), a surrogate (ED A0 80) or a code point above U+10FFFF.
// A continuation byte without a lead, and the bytes F8 to FF, are one broken character each.
char32_t Decode(std::string_view s, size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i++]);
  if (b0 < 0x80) return b0;
  size_t extra;
  char32_t c, smallest;
  if ((b0 & 0xE0) == 0xC0) { extra = 1; c = b0 & 0x1F; smallest = 0x80; }
  else if ((b0 & 0xF0) == 0xE0) { extra = 2; c = b0 & 0x0F; smallest = 0x800; }
  else if ((b0 & 0xF8) == 0xF0) { extra = 3; c = b0 & 0x07; smallest = 0x10000; }
  else return kBroken;
  size_t seen = 0;
  for (; seen < extra && i < s.size(); ++seen, ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if ((b & 0xC0) != 0x80) break;
    c = (c << 6) | (b & 0x3F);
  }
  if (seen < extra) return kBroken;
  if (c < smallest || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return kBroken;
  return c;
}

void Encode(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80) {
      out += utf8[i++];
      continue;
    }
    out += static_cast<char>(ByteOf(Decode(utf8, i)));
  }
  return out;
}

std::string FromCp1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x80) out += ch;
    else Encode(b < 0xA0 ? kHigh[b - 0x80] : b, out);
  }
  return out;
}

size_t Cp1252Length(std::string_view utf8) {
  size_t n = 0;
  for (size_t i = 0; i < utf8.size(); ++n) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80) ++i;
    else Decode(utf8, i);
  }
  return n;
}

std::string_view Trim(std::string_view s) {
  const size_t b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::string EscapeField(std::string_view s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '%': out += "%25"; break;
      case '|': out += "%7C"; break;
      case '\r': out += "%0D"; break;
      case '\n': out += "%0A"; break;
      default: out += c;
    }
  }
  return out;
}

std::string UnescapeField(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size()) {
      const std::string_view code = s.substr(i + 1, 2);
      const char c = code == "25" ? '%' : code == "7C" ? '|' : code == "0D" ? '\r' : code == "0A" ? '\n' : 0;
      if (c) {
        out += c;
        i += 2;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

std::vector<std::string> Split(std::string_view s, std::string_view separator) {
  std::vector<std::string> pieces;
  size_t start = 0;
  for (size_t pos; (pos = s.find(separator, start)) != std::string_view::npos;
       start = pos + separator.size())
    pieces.emplace_back(s.substr(start, pos - start));
  pieces.emplace_back(s.substr(start));
  return pieces;
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
  std::string out;
  size_t start = 0;
  for (size_t pos; (pos = s.find(from, start)) != std::string_view::npos; start = pos + from.size()) {
    out.append(s.substr(start, pos - start));
    out.append(to);
  }
  out.append(s.substr(start));
  return out;
}

std::string AsciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string AsciiUpper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

}  // namespace sevrik
