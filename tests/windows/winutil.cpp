#include "tests/windows/winutil.h"

#include <algorithm>
#include <map>
#include <stdexcept>

#include "base/text.h"
#include "platform/fs.h"
#include "platform/win32.h"

namespace sevrik::test {

std::string EnvironmentBlock(const std::vector<std::string>& changes) {
  std::map<std::string, std::string> entries;  // by upper-case name
  char* block = ::GetEnvironmentStringsA();
  for (const char* p = block; *p; p += std::char_traits<char>::length(p) + 1) {
    const std::string entry = p;
    const size_t eq = entry.find('=', 1);  // "=C:=C:\..." entries start with "="
    if (eq != std::string::npos) entries[AsciiUpper(entry.substr(0, eq))] = entry;
  }
  ::FreeEnvironmentStringsA(block);
  for (const std::string& change : changes) {
    const size_t eq = change.find('=');
    const std::string name = AsciiUpper(change.substr(0, eq));
    if (eq + 1 == change.size()) entries.erase(name);
    else entries[name] = change;
  }
  std::string out;
  for (const auto& [name, entry] : entries) out += entry + '\0';
  out += '\0';
  return out;
}

std::string TestProgram(const std::string& name) { return ProgramFolder() + "\\" + name; }

void CopyProgram(const std::string& from, const std::string& to) {
  if (!::CopyFileA(from.c_str(), to.c_str(), FALSE))
    throw std::runtime_error("cannot copy " + from + " to " + to + ": " + SystemErrorText(::GetLastError()));
}

}  // namespace sevrik::test
