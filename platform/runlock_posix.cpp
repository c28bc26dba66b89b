#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/error.h"
#include "platform/fs.h"
#include "platform/runlock.h"

namespace sevrik {

RunLock::RunLock(std::string_view path, const std::function<void()>& on_wait) { Acquire(path, true, on_wait); }

std::unique_ptr<RunLock> RunLock::TryLock(std::string_view path) {
  std::unique_ptr<RunLock> lock(new RunLock());
  if (!lock->Acquire(path, false, {})) return nullptr;
  return lock;
}

bool RunLock::Acquire(std::string_view path, bool wait, const std::function<void()>& on_wait) {
  const std::string host = HostPath(path);
  // Close-on-exec: the translator that a run starts must not inherit, and so outlive with,
  // the lock.
  fd_ = ::open(host.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
  // A lock file that exists in a folder the run may not write to still locks.
  if (fd_ < 0 && (errno == EROFS || errno == EACCES)) fd_ = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd_ < 0) throw OsError(errno);
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return true;
  if (errno != EWOULDBLOCK) {
    const int e = errno;
    ::close(fd_);
    fd_ = -1;
    throw OsError(e);
  }
  if (!wait) {
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  try {
    if (on_wait) on_wait();
  } catch (...) {
    ::close(fd_);
    fd_ = -1;
    throw;
  }
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    const int e = errno;
    ::close(fd_);
    fd_ = -1;
    throw OsError(e);
  }
  return true;
}

RunLock::~RunLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace sevrik
