// One run at a time: an operating-system lock on a file, held for as long as the object lives
// and released by the system when the process ends, so a crashed run never blocks the next.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace sevrik {

class RunLock {
 public:
  // Locks the file (created if missing). When another process holds it, `on_wait` is called
  // once and the call blocks until the lock is free. A file that cannot be opened or locked
  // is an Error.
  RunLock(std::string_view path, const std::function<void()>& on_wait);
  // The lock when it is free at once; null while another process holds it.
  static std::unique_ptr<RunLock> TryLock(std::string_view path);
  ~RunLock();
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;

 private:
  RunLock() = default;
  // Opens the lock file and locks it; false (and nothing held) when another process holds it
  // and `wait` is false.
  bool Acquire(std::string_view path, bool wait, const std::function<void()>& on_wait);

  std::unique_ptr<LockFile> file_;  // through the current FileSystem
};

}  // namespace sevrik
