// Windows: CreateProcessA with the start-up record the interface has always used.
#include <windows.h>

#include "platform/process.h"
#include "platform/text.h"

namespace sevrik {

void RunAndWait(std::string_view command_line) {
  STARTUPINFOA startup{};
  startup.cb = 64;  // every other field zero: no window position, title or handles requested
  PROCESS_INFORMATION info{};
  std::string line = ToCp1252(command_line);
  ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                   &info);
  ::WaitForSingleObject(info.hProcess, INFINITE);  // an empty handle returns at once
  ::CloseHandle(info.hProcess);
  if (info.hThread) ::CloseHandle(info.hThread);
}

std::string FindProgram(std::string_view word) { return std::string(word); }

}  // namespace sevrik
