// A child program for the Windows process tests: appends to the file named by
// %SEVRIK_RECORD% its current folder, its whole command line as the system hands it over,
// and its arguments as the C runtime cuts them; first it sleeps %SEVRIK_RECORD_SLEEP_MS%
// milliseconds.
#include <cstdlib>
#include <fstream>

#include "platform/win32.h"

int main(int argc, char** argv) {
  if (const char* ms = std::getenv("SEVRIK_RECORD_SLEEP_MS")) ::Sleep(static_cast<DWORD>(std::atoi(ms)));
  const char* path = std::getenv("SEVRIK_RECORD");
  if (!path) return 2;
  std::ofstream out(path, std::ios::app | std::ios::binary);
  char cwd[MAX_PATH];
  out << "cwd=" << (::GetCurrentDirectoryA(MAX_PATH, cwd) ? cwd : "?") << "\n";
  out << "line=" << ::GetCommandLineA() << "\n";
  for (int i = 1; i < argc; ++i) out << "arg=" << argv[i] << "\n";
  out << "end\n";
  return 0;
}
