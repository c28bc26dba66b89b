// The parts of the file layer that are the same on every system.
#include "platform/fs.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <utility>

#include "base/error.h"
#include "base/text.h"
#include "platform/file_system.h"
#include "platform/fs_host.h"
#include "platform/install.h"
#include "platform/unique_file.h"

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

bool IsReplacementTemporary(std::string_view entry, std::string_view name) {
  const std::string lower = AsciiLower(entry), prefix = "." + AsciiLower(name) + ".tmp-";
  if (name.empty() || !lower.starts_with(prefix) || lower.size() != prefix.size() + 10) return false;
  for (size_t i = prefix.size(); i < entry.size(); ++i) {
    const char c = entry[i];
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

void EnterFolder(std::string_view path) {
  ChangeDrive(path);
  ChangeDirectory(path);
}

std::string HostPath(std::string_view path) { return CurrentFileSystem().HostPath(path); }
void ChangeDrive(std::string_view setting) { CurrentFileSystem().ChangeDrive(setting); }
void ChangeDirectory(std::string_view path) { CurrentFileSystem().ChangeDirectory(path); }
std::string CurrentDirectory() { return CurrentFileSystem().CurrentDirectory(); }
std::vector<std::string> ListFiles(std::string_view pattern) { return CurrentFileSystem().ListFiles(pattern); }
bool FileExists(std::string_view path) { return CurrentFileSystem().FileExists(path); }
bool DirectoryExists(std::string_view path) { return CurrentFileSystem().DirectoryExists(path); }

std::string ReadHead(ReadableFile& file, size_t max_bytes) {
  std::string data;
  char buf[65536];
  while (data.size() < max_bytes) {
    const size_t got = file.Read(buf, std::min(sizeof buf, max_bytes - data.size()));
    if (got == 0) break;
    data.append(buf, got);
  }
  return data;
}

std::string ReadFileBytes(std::string_view path) { return ReadFileHead(path, std::string::npos); }

std::string ReadFileHead(std::string_view path, size_t max_bytes) {
  return ReadHead(*CurrentFileSystem().OpenInputFile(path, Links::Follow), max_bytes);
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

void RemoveFile(std::string_view path) {
  FileSystem& fs = CurrentFileSystem();
  fs.RemoveFile(path);
  if (fs.FileExists(path)) throw Error(err::kPermissionDenied);
}

void CopyFileTo(std::string_view source, std::string_view target) { CurrentFileSystem().CopyFileTo(source, target); }

void ReplaceFileBytes(std::string_view path, std::string_view bytes) {
  const std::unique_ptr<ReplacementFile> file = CurrentFileSystem().OpenReplacement(path);
  file->Append(bytes);
  file->Commit();
}

void MakeDirectory(std::string_view path) { CurrentFileSystem().MakeDirectory(path); }

void InstallFileCopy(std::string_view source, std::string_view target, const ContentCheck& check) {
  CurrentFileSystem().InstallFileCopy(source, target, check);
}

OutputFile::OutputFile(std::string_view path, Mode mode)
    : file_(CurrentFileSystem().OpenOutputFile(path, mode == Mode::Append)) {}

OutputFile::~OutputFile() {
  try {
    Close();
  } catch (const Error&) {  // a destructor cannot report; Close() reports to callers that ask
  }
}

void OutputFile::Flush() {
  if (!file_ || buffer_.empty()) return;
  std::string pending;
  pending.swap(buffer_);
  file_->Append(pending);
}

void OutputFile::Sync() {
  if (!file_) throw Error(err::kBadFileName);
  Flush();
  file_->Sync();
}

void OutputFile::Write(std::string_view bytes) {
  if (!file_) throw Error(err::kBadFileName);
  buffer_.append(bytes);
  if (buffer_.size() >= 1 << 16) Flush();
}

void OutputFile::Close() {
  if (!file_) return;
  try {
    Flush();
  } catch (...) {
    try {
      std::exchange(file_, nullptr)->Close();
    } catch (const Error&) {  // the write's error is the one to report
    }
    throw;
  }
  std::exchange(file_, nullptr)->Close();
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

std::string RandomSuffix() {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  // The system's random source, and the time, so that processes started together differ.
  thread_local std::mt19937_64 random{(static_cast<uint64_t>(std::random_device{}()) << 32) ^
                                      static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
  std::string suffix;
  for (int i = 0; i < 10; ++i) suffix += kChars[random() % (sizeof kChars - 1)];
  return suffix;
}

}  // namespace sevrik
