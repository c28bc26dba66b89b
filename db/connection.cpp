#include "db/connection.h"

#include "platform/text.h"

namespace sevrik {

std::map<std::string, std::string> ParseConnectionString(std::string_view text) {
  std::map<std::string, std::string> items;
  for (const std::string& item : Split(text, ";")) {
    const size_t eq = item.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = AsciiLower(Trim(std::string_view(item).substr(0, eq)));
    if (!key.empty() && !items.count(key)) items[key] = item.substr(eq + 1);
  }
  return items;
}

}  // namespace sevrik
