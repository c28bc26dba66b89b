// The parts of the file layer that are the same on every system.
#include "platform/fs.h"

#include <string>

#include "platform/error.h"
#include "platform/fs_host.h"
#include "platform/text.h"

namespace sevrik {

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  const std::string p = AsciiLower(pattern), n = AsciiLower(name);
  if (p.size() >= 2 && p.ends_with(".*") && n == p.substr(0, p.size() - 2) &&
      p.find_first_of("*?") == p.size() - 1)
    return true;
  // Iterative match with backtracking on the last "*".
  size_t pi = 0, ni = 0, star = std::string::npos, mark = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
      ++pi;
      ++ni;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      mark = ni;
    } else if (star != std::string::npos) {
      pi = star + 1;
      ni = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

void EnterFolder(std::string_view path) {
  ChangeDrive(path);
  ChangeDirectory(path);
}

void WriteFileBytes(std::string_view path, std::string_view bytes) {
  OutputFile f(path, OutputFile::Mode::Output);
  f.Write(bytes);
  f.Close();
}

void AppendFileBytes(std::string_view path, std::string_view bytes) {
  OutputFile f(path, OutputFile::Mode::Append);
  f.Write(bytes);
  f.Close();
}

void AppendFileBytesSynced(std::string_view path, std::string_view bytes) {
  OutputFile f(path, OutputFile::Mode::Append);
  f.Write(bytes);
  f.Sync();
  f.Close();
}

bool FileExists(std::string_view path) {
  try {
    return IsFileHost(HostPath(path));
  } catch (const Error&) {
    return false;
  }
}

bool DirectoryExists(std::string_view path) {
  try {
    return IsDirectoryHost(HostPath(path));
  } catch (const Error&) {
    return false;
  }
}

std::string FindProgramFile(std::string_view path) {
  std::string host;
  try {
    host = HostPath(path);
  } catch (const Error&) {
    return {};
  }
  if (IsFileHost(host)) return host;
  if (AsciiLower(host).ends_with(".exe")) {
    // The name without ".exe" resolved again: its case may differ from the given one's.
    const std::string bare = HostPath(std::string(path.substr(0, path.size() - 4)));
    if (IsFileHost(bare)) return bare;
  }
  return {};
}

}  // namespace sevrik
