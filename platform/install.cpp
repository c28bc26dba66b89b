#include "platform/install.h"

#include "base/text.h"

namespace sevrik {
namespace {

bool AllOf(std::string_view s, size_t length, bool upper_too) {
  if (s.size() != length) return false;
  for (char c : s) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || (upper_too && c >= 'A' && c <= 'Z');
    if (!ok) return false;
  }
  return true;
}

}  // namespace

bool IsLeftoverTemporary(std::string_view name, std::string_view target_name) {
  if (name.empty() || name[0] != '.') return false;
  std::string stem = AsciiLower(target_name);
  if (stem.ends_with(".exe")) stem.resize(stem.size() - 4);
  const std::string lower = AsciiLower(name.substr(1));
  for (const std::string& program : {stem, stem + ".exe"}) {
    if (!lower.starts_with(program + ".")) continue;
    const std::string_view rest = name.substr(1 + program.size() + 1);
    if ((rest.starts_with("tmp-") && AllOf(rest.substr(4), 10, false)) || AllOf(rest, 6, true)) return true;
  }
  return false;
}

}  // namespace sevrik
