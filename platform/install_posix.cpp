#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/error.h"
#include "platform/fs.h"
#include "platform/fs_host.h"
#include "platform/install.h"

namespace sevrik {
namespace {

std::string ParentOf(const std::string& host) {
  const size_t slash = host.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return host.substr(0, slash);
}

bool IsDirectory(const std::string& host) {
  struct stat st;
  return ::stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Closes the descriptors and removes the temporary file unless the copy was put in place.
class Copy {
 public:
  ~Copy() {
    if (in >= 0) ::close(in);
    if (out >= 0) ::close(out);
    if (!temp.empty()) ::unlink(temp.c_str());
  }
  int in = -1, out = -1;
  std::string temp;
};

[[noreturn]] void Fail(int e, const std::string& host) { throw OsError(e, e == ENOENT && !IsDirectory(ParentOf(host))); }

}  // namespace

namespace host {

void MakeDirectory(std::string_view path) {
  const std::string host = HostPath(path);
  if (::mkdir(host.c_str(), 0777) != 0) Fail(errno, host);
}

void InstallFileCopy(std::string_view source, std::string_view target) {
  const std::string source_host = HostPath(source), target_host = HostPath(target);
  Copy c;
  c.in = ::open(source_host.c_str(), O_RDONLY | O_CLOEXEC);
  if (c.in < 0) Fail(errno, source_host);
  struct stat src;
  if (::fstat(c.in, &src) != 0) Fail(errno, source_host);
  if (!S_ISREG(src.st_mode)) throw Error(err::kPathFileAccess);

  const std::string folder = ParentOf(target_host);
  if (!IsDirectory(folder)) throw Error(err::kPathNotFound);
  struct stat old;
  if (::lstat(target_host.c_str(), &old) == 0) {
    if (S_ISDIR(old.st_mode)) throw Error(err::kPathFileAccess);
    // The Windows meaning of a read-only file: it is not replaced.
    if (S_ISREG(old.st_mode) && (old.st_mode & 0222) == 0) throw Error(err::kPermissionDenied);
  }

  // A hidden name (listings skip it) that mkstemp creates exclusively: a planted file or
  // symlink of that name is never followed.
  std::string temp = folder + "/." + target_host.substr(folder.size() + 1) + ".XXXXXX";
  c.out = ::mkostemp(temp.data(), O_CLOEXEC);
  if (c.out < 0) Fail(errno, temp);
  c.temp = temp;

  char buf[1 << 16];
  for (;;) {
    const ssize_t n = ::read(c.in, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail(errno, source_host);
    if (n == 0) break;
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = ::write(c.out, buf + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w < 0) Fail(errno, temp);
      done += w;
    }
  }
  if (::fchmod(c.out, src.st_mode & 07777) != 0 || ::fsync(c.out) != 0) Fail(errno, temp);
  struct stat copy;
  if (::fstat(c.out, &copy) != 0) Fail(errno, temp);
  if (copy.st_size != src.st_size)
    throw Error(err::kPathFileAccess, "Path/File access error (the copy has " + std::to_string(copy.st_size) +
                                          " of " + std::to_string(src.st_size) + " bytes)");
  const int out = c.out;
  c.out = -1;
  if (::close(out) != 0) Fail(errno, temp);
  if (::rename(temp.c_str(), target_host.c_str()) != 0) Fail(errno, target_host);
  c.temp.clear();
  // The rename itself reaches the disk with the folder.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

}  // namespace host
}  // namespace sevrik
