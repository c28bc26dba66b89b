#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "base/error.h"
#include "base/text.h"
#include "platform/fs.h"
#include "platform/fs_host.h"
#include "platform/posix_files.h"
#include "platform/unique_file.h"

namespace sevrik {
namespace {

bool IsSep(char c) { return c == '\\' || c == '/'; }

bool HasDrive(std::string_view p) {
  return p.size() >= 2 && p[1] == ':' && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
}

// The mapped host folder of a drive letter, or empty.
std::string DriveRoot(char letter) {
  const char upper = static_cast<char>(letter >= 'a' ? letter - 'a' + 'A' : letter);
  const std::string var = std::string("SEVRIK_DRIVE_") + upper;
  const char* v = std::getenv(var.c_str());
  return v && *v ? std::string(v) : std::string();
}

bool Exists(const std::string& host) {
  struct stat st;
  return ::lstat(host.c_str(), &st) == 0;
}

// The entry of `dir` that equals `name` without regard to ASCII case (lowest in byte order).
std::string FindCaseless(const std::string& dir, const std::string& name) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return {};
  std::string found;
  const std::string lower = AsciiLower(name);
  while (dirent* e = ::readdir(d)) {
    std::string n = e->d_name;
    if (n == "." || n == "..") continue;
    if (AsciiLower(n) == lower && (found.empty() || n < found)) found = n;
  }
  ::closedir(d);
  return found;
}

std::string Join(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

// Resolution into host path; `error_number` is raised for an unmapped drive.
std::string Resolve(std::string_view path, int error_number) {
  std::string base;
  std::string_view rest = path;
  if (HasDrive(path)) {
    base = DriveRoot(path[0]);
    if (base.empty()) throw Error(error_number);
    rest = path.substr(2);
    if (base.size() > 1 && base.back() == '/') base.pop_back();
  } else if (!path.empty() && IsSep(path[0])) {
    base = "/";
  }
  std::vector<std::string> parts;
  std::string cur;
  for (char c : rest) {
    if (IsSep(c)) {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  // "." and ".." taken as Windows takes them, by the text: ".." never climbs above the root
  // of a drive (nor of the file system); only a relative path keeps its leading "..".
  std::vector<std::string> kept;
  for (std::string& part : parts) {
    if (part == ".") continue;
    if (part == "..") {
      if (!kept.empty() && kept.back() != "..") kept.pop_back();
      else if (base.empty()) kept.push_back(part);
      continue;
    }
    kept.push_back(std::move(part));
  }
  std::string host = base;
  bool resolving = true;
  for (const std::string& part : kept) {
    std::string next = Join(host, part);
    if (resolving && part != "." && part != ".." && !Exists(next.empty() ? "." : next)) {
      const std::string other = FindCaseless(host, part);
      if (!other.empty()) next = Join(host, other);
      else resolving = false;
    }
    host = next;
  }
  if (host.empty()) host = ".";
  return host;
}

}  // namespace

void ThrowOs(int e, const std::string& host) {
  throw OsError(e, e == ENOENT && !IsDirectoryHost(ParentFolderOf(host)));
}

int OpenOrThrow(const std::string& host, int flags) {
  if (IsDirectoryHost(host)) throw Error(err::kPathFileAccess);
  const int fd = ::open(host.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) ThrowOs(errno, host);
  return fd;
}

void WriteAll(int fd, std::string_view bytes, const std::string& host) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowOs(errno, host);
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

std::string ReadAll(int fd, const std::string& host) {
  std::string bytes;
  char buf[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowOs(errno, host);
    if (n == 0) return bytes;
    bytes.append(buf, static_cast<size_t>(n));
  }
}

bool IsFileHost(const std::string& host) {
  struct stat st;
  return ::stat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ParentFolderOf(const std::string& host) {
  const size_t slash = host.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return host.substr(0, slash);
}

bool IsDirectoryHost(const std::string& host) {
  struct stat st;
  return ::stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string FolderSettingPath(std::string_view setting, std::string_view program_folder) {
  if (HasDrive(setting)) return std::string(setting);
  const auto canonical = [](const std::string& host) {
    char buf[PATH_MAX];
    return ::realpath(host.c_str(), buf) ? std::string(buf) : host;
  };
  const std::string program = canonical(std::string(program_folder));
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string root = DriveRoot(letter);
    if (root.empty()) continue;
    std::string base = canonical(root);
    if (base.size() > 1 && base.back() == '/') base.pop_back();
    const bool at_root = program == base;
    if (!at_root && !program.starts_with(base == "/" ? base : base + "/")) continue;
    const std::string drive = std::string(1, letter) + ":";
    if (!setting.empty() && IsSep(setting[0])) return drive + std::string(setting);
    std::string below = at_root ? "" : program.substr(base == "/" ? 1 : base.size() + 1);
    std::replace(below.begin(), below.end(), '/', '\\');
    return drive + "\\" + below + (below.empty() ? "" : "\\") + std::string(setting);
  }
  if (!setting.empty() && IsSep(setting[0])) return std::string(setting);
  // No mapped drive: the program folder is the root that ".." stops at.
  std::string out(program_folder);
  int depth = 0;
  std::string part;
  const auto take = [&] {
    if (part == "..") {
      if (depth > 0) {
        out.resize(out.find_last_of('/'));
        --depth;
      }
    } else if (!part.empty() && part != ".") {
      out += "/" + part;
      ++depth;
    }
    part.clear();
  };
  for (char c : setting) {
    if (IsSep(c)) take();
    else part += c;
  }
  take();
  return out;
}

size_t RemoveLeftoverReplacements(std::string_view path) {
  const std::string host = HostPath(path);
  const std::string folder = ParentFolderOf(host);
  const std::string name = host.substr(host.find_last_of('/') + 1);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  size_t removed = 0;
  while (const dirent* e = ::readdir(dir)) {
    if (!IsReplacementTemporary(e->d_name, name)) continue;
    const std::string entry = Join(folder, e->d_name);
    struct stat st;
    if (::lstat(entry.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(entry.c_str()) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

std::string ProgramFolder() {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  return ParentFolderOf(std::string(buf, static_cast<size_t>(n)));
}

namespace host {

std::string HostPath(std::string_view path) { return Resolve(path, err::kPathNotFound); }

void ChangeDrive(std::string_view setting) {
  const std::string_view head = setting.substr(0, std::min<size_t>(3, setting.size()));
  if (!HasDrive(head)) return;
  const std::string root = DriveRoot(head[0]);
  if (root.empty() || ::chdir(root.c_str()) != 0) throw Error(err::kDeviceUnavailable);
}

void ChangeDirectory(std::string_view path) {
  const std::string host = Resolve(path, err::kPathNotFound);
  if (::chdir(host.c_str()) != 0) throw Error(err::kPathNotFound);
}

std::string CurrentDirectory() {
  char buf[PATH_MAX];
  return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string(".");
}

std::vector<std::string> ListFiles(std::string_view pattern) {
  size_t cut = pattern.size();
  while (cut > 0 && !IsSep(pattern[cut - 1])) --cut;
  std::string_view folder = pattern.substr(0, cut);
  std::string_view mask = pattern.substr(cut);
  if (cut == 0 && HasDrive(pattern)) {
    folder = pattern.substr(0, 2);
    mask = pattern.substr(2);
  }
  std::string host;
  if (folder.empty()) host = ".";
  else host = Resolve(folder, err::kBadFileName);
  std::vector<std::string> names;
  DIR* d = ::opendir(host.c_str());
  if (!d) return names;
  while (dirent* e = ::readdir(d)) {
    const std::string n = e->d_name;
    if (n.empty() || n[0] == '.') continue;
    if (!WildcardMatch(mask, n)) continue;
    if (!IsFileHost(Join(host, n))) continue;
    names.push_back(n);
  }
  ::closedir(d);
  return names;
}

void RemoveFile(std::string_view path) {
  const std::string host = HostPath(path);
  if (IsDirectoryHost(host)) throw Error(err::kPathFileAccess);
  if (::unlink(host.c_str()) != 0) ThrowOs(errno, host);
}

void CopyFileTo(std::string_view source, std::string_view target) {
  const std::string bytes = ReadHead(*OpenInputFile(source, Links::Follow), std::string::npos);
  const std::unique_ptr<WritableFile> file = OpenOutputFile(target, false);
  file->Append(bytes);
  file->Close();
}

}  // namespace host

NewFile CreateUniqueFile(const std::string& folder, const std::string& stem, unsigned mode,
                         const std::function<std::string()>& next_suffix) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string path = Join(folder, "." + stem + ".tmp-" + next_suffix());
    // O_EXCL alone already refuses a symlink; O_NOFOLLOW says so once more.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          static_cast<mode_t>(mode));
    if (fd >= 0) return {fd, path};
    if (errno == EINTR) continue;
    if (errno != EEXIST) ThrowOs(errno, path);
  }
  throw Error(err::kPathFileAccess);
}

namespace host {

namespace {

// A descriptor open for writing; closed at the latest when destroyed.
class PosixFile final : public WritableFile {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  void Append(std::string_view bytes) override { WriteAll(fd_, bytes, ""); }
  void Sync() override {
    if (::fsync(fd_) != 0) ThrowOs(errno, "");
  }
  void Close() override {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
  }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<WritableFile> OpenOutputFile(std::string_view path, bool append) {
  const std::string host = HostPath(path);
  // A symlink planted in the file's place is refused, not written through.
  return std::make_unique<PosixFile>(
      OpenOrThrow(host, O_WRONLY | O_CREAT | O_NOFOLLOW | (append ? O_APPEND : O_TRUNC)));
}

}  // namespace host

}  // namespace sevrik
