// INI access.
#pragma once

#include <string>
#include <string_view>

namespace sevrik {

// The value of a key in a section of an INI file, or the default when the file, the section
// or the key is missing; a value longer than 254 characters comes back cut to 254.
std::string ReadIniString(std::string_view file_name, std::string_view section, std::string_view key,
                          std::string_view default_value);

}  // namespace sevrik
