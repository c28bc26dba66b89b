// The Windows profile reader: the value of a key in a section of an INI text.
#pragma once

#include <string>
#include <string_view>

namespace sevrik {

// Looks `key` up in `section` of the INI text (UTF-8): section and key names match without
// regard to case; blanks around names and values are dropped; a value in matching double or
// single quotes loses them; lines whose first non-blank character is ";" are comments; the
// first matching section and key win. Returns the default when section or key is missing.
// The result is cut to `buffer_size` - 1 characters, as the profile reader fills its buffer.
std::string ProfileString(std::string_view ini_text, std::string_view section, std::string_view key,
                          std::string_view default_value, size_t buffer_size);

// The same for a file (Windows-1252 text); a missing or unreadable file gives the default.
std::string ReadProfileString(std::string_view section, std::string_view key, std::string_view default_value,
                              size_t buffer_size, std::string_view file_name);

// The value of a key in a section of an INI file, or the default when the file, the section
// or the key is missing; a value longer than 254 characters comes back cut to 254.
std::string ReadIniString(std::string_view file_name, std::string_view section, std::string_view key,
                          std::string_view default_value);

}  // namespace sevrik
