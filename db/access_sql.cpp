#include "db/access_sql.h"

#include <charconv>
#include <system_error>

namespace sevrik {

std::string AccessLikePattern(std::string_view pattern) {
  std::string out;
  out.reserve(pattern.size());
  for (char c : pattern) {
    if (c == '[') out += "[[]";
    else out += c;
  }
  return out;
}

std::vector<bool> LikeParameters(std::string_view sql) {
  std::vector<bool> like;
  std::string last_word;  // the word before the current position, upper case
  for (size_t i = 0; i < sql.size(); ++i) {
    const char c = sql[i];
    if (c == '\'') {
      for (++i; i < sql.size() && sql[i] != '\''; ++i) {}
      last_word.clear();
    } else if (c == '?') {
      like.push_back(last_word == "LIKE");
      last_word.clear();
    } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_') {
      std::string word;
      for (; i < sql.size(); ++i) {
        const char w = sql[i];
        if (!((w >= 'A' && w <= 'Z') || (w >= 'a' && w <= 'z') || (w >= '0' && w <= '9') || w == '_')) break;
        word += w >= 'a' && w <= 'z' ? static_cast<char>(w - 'a' + 'A') : w;
      }
      --i;
      last_word = word;
    } else if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
      last_word.clear();
    }
  }
  return like;
}

double SingleValue(float value) {
  char buf[32];
  const auto written = std::to_chars(buf, buf + sizeof buf, value);
  double d = value;
  if (written.ec == std::errc()) std::from_chars(buf, written.ptr, d);
  return d;
}

size_t Utf16Length(std::string_view utf8) {
  size_t n = 0;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte
    n += c >= 0xF0 ? 2 : 1;            // four bytes: a surrogate pair
  }
  return n;
}

}  // namespace sevrik
