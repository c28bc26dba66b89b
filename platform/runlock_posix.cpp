// The run lock on POSIX: flock on the lock file, which the system releases when the last
// descriptor of it closes.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "base/error.h"
#include "platform/runlock.h"

namespace sevrik {

RunLock::Handle RunLock::Open(const std::string& host_path) {
  int fd = ::open(host_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0 && (errno == EROFS || errno == EACCES)) fd = ::open(host_path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) throw OsError(errno);
  return fd;
}

bool RunLock::LockNow(Handle h) {
  if (::flock(static_cast<int>(h), LOCK_EX | LOCK_NB) == 0) return true;
  if (errno != EWOULDBLOCK) throw OsError(errno);
  return false;
}

void RunLock::LockWaiting(Handle h) {
  while (::flock(static_cast<int>(h), LOCK_EX) != 0)
    if (errno != EINTR) throw OsError(errno);
}

void RunLock::Close(Handle h) { ::close(static_cast<int>(h)); }

}  // namespace sevrik
