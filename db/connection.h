// The connection string the customs application's database expects, built and read.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace sevrik {

// Items of "Key=Value;Key=Value", keys in lower case, values as written.
std::map<std::string, std::string> ParseConnectionString(std::string_view text);

}  // namespace sevrik
