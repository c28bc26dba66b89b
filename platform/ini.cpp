#include "platform/ini.h"

#include "base/error.h"
#include "base/text.h"
#include "platform/fs.h"

namespace sevrik {
namespace {

std::string_view TrimBlanks(std::string_view s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

std::string Cut(std::string_view value, size_t buffer_size) {
  if (buffer_size == 0) return {};
  // The limit counts characters of the Windows-1252 text, one byte each.
  const std::string bytes = ToCp1252(value);
  if (bytes.size() < buffer_size) return std::string(value);
  return FromCp1252(std::string_view(bytes).substr(0, buffer_size - 1));
}

}  // namespace

std::string ProfileString(std::string_view ini_text, std::string_view section, std::string_view key,
                          std::string_view default_value, size_t buffer_size) {
  const std::string want_section = AsciiLower(TrimBlanks(section));
  const std::string want_key = AsciiLower(TrimBlanks(key));
  bool in_section = false, section_seen = false;
  size_t start = 0;
  while (start <= ini_text.size()) {
    size_t end = ini_text.find('\n', start);
    if (end == std::string_view::npos) end = ini_text.size();
    std::string_view line = ini_text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = TrimBlanks(line);
    if (line.empty() || line[0] == ';') {
      if (end == ini_text.size()) break;
      continue;
    }
    if (line[0] == '[') {
      const size_t close = line.find(']');
      const std::string name =
          AsciiLower(TrimBlanks(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1)));
      if (section_seen && in_section) break;  // the first matching section wins
      in_section = name == want_section;
      section_seen = section_seen || in_section;
    } else if (in_section) {
      const size_t eq = line.find('=');
      const std::string_view name = TrimBlanks(line.substr(0, eq));
      if (AsciiLower(name) == want_key) {
        std::string_view value = eq == std::string_view::npos ? std::string_view{} : TrimBlanks(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
          value = value.substr(1, value.size() - 2);
        return Cut(value, buffer_size);
      }
    }
    if (end == ini_text.size()) break;
  }
  return Cut(TrimBlanks(default_value), buffer_size);
}

std::string ReadProfileString(std::string_view section, std::string_view key, std::string_view default_value,
                              size_t buffer_size, std::string_view file_name) {
  std::string text;
  try {
    text = FromCp1252(ReadFileBytes(file_name));
  } catch (const Error&) {
    return ProfileString({}, section, key, default_value, buffer_size);
  }
  return ProfileString(text, section, key, default_value, buffer_size);
}

std::string ReadIniString(std::string_view file_name, std::string_view section, std::string_view key,
                          std::string_view default_value) {
  return ReadProfileString(section, key, default_value, 255, file_name);
}

}  // namespace sevrik
