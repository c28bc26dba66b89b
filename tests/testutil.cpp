// The test helpers that both suites share, the Linux one and the one under Wine: files,
// scripted message boxes, programs run to their end, golden lines. Each system's own half
// (temporary folders, started programs) is testutil_posix.cpp or windows/testutil_win32.cpp;
// the SQLite workspaces are workspace_util.cpp (Linux only).
#include "tests/testutil.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace sevrik::test {
namespace fs = std::filesystem;

std::string ReadFile(const std::string& host_path) {
  std::ifstream in(host_path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + host_path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& host_path, const std::string& bytes) {
  fs::create_directories(fs::path(host_path).parent_path());
  std::ofstream out(host_path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool Exists(const std::string& host_path) { return fs::exists(host_path); }

MsgAnswer ScriptedDialogs::ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                      const std::string& title) {
  boxes.push_back({text, buttons, icon, title});
  if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
  if (answers.empty()) return MsgAnswer::No;
  const MsgAnswer a = answers.front();
  answers.erase(answers.begin());
  return a;
}

std::string RunningProgram::ErrorSoFar() const { return ReadFile(*io_ / "err"); }

RunResult RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& cwd,
                     const std::vector<std::string>& env, const std::string& input) {
  return RunningProgram(program, args, cwd, env, input).Wait();
}

bool WaitFor(const std::function<bool()>& condition, int timeout_ms) {
  for (int waited = 0; waited < timeout_ms; waited += 10) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condition();
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string BuiltProgram(const std::string& relative) { return std::string(SEVRIK_BIN_DIR) + "/" + relative; }

}  // namespace sevrik::test
