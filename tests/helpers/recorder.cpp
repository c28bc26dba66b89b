// A child program for the process tests: appends its current folder and its arguments to the
// file named by $SEVRIK_RECORD, after sleeping $SEVRIK_RECORD_SLEEP_MS milliseconds.
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <thread>

int main(int argc, char** argv) {
  if (const char* ms = std::getenv("SEVRIK_RECORD_SLEEP_MS"))
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(ms)));
  const char* path = std::getenv("SEVRIK_RECORD");
  if (!path) return 2;
  std::ofstream out(path, std::ios::app | std::ios::binary);
  char cwd[PATH_MAX];
  out << "cwd=" << (getcwd(cwd, sizeof cwd) ? cwd : "?") << "\n";
  for (int i = 1; i < argc; ++i) out << "arg=" << argv[i] << "\n";
  out << "end\n";
  return 0;
}
