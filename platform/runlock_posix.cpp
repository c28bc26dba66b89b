// The host's lock file on POSIX: flock, which the system releases when the last descriptor of
// the file closes.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "base/error.h"
#include "platform/fs_host.h"

namespace sevrik {
namespace {

class PosixLockFile final : public LockFile {
 public:
  explicit PosixLockFile(int fd) : fd_(fd) {}
  ~PosixLockFile() override { ::close(fd_); }
  bool LockNow() override {
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK) throw OsError(errno);
    return false;
  }
  void LockWaiting() override {
    while (::flock(fd_, LOCK_EX) != 0)
      if (errno != EINTR) throw OsError(errno);
  }

 private:
  int fd_;
};

}  // namespace

namespace host {

std::unique_ptr<LockFile> OpenLockFile(std::string_view path) {
  const std::string host = HostPath(path);
  int fd = ::open(host.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0 && (errno == EROFS || errno == EACCES)) fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) throw OsError(errno);
  return std::make_unique<PosixLockFile>(fd);
}

}  // namespace host
}  // namespace sevrik
