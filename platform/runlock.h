// One run at a time: an operating-system lock on a file, held for as long as the object lives
// and released by the system when the process ends, so a crashed run never blocks the next.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

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
  // A file descriptor, or a Windows handle.
  using Handle = std::intptr_t;
  static constexpr Handle kNone = -1;

  RunLock() = default;
  // Opens the lock file and locks it; false (and nothing held) when another process holds it
  // and `wait` is false.
  bool Acquire(std::string_view path, bool wait, const std::function<void()>& on_wait);

  // Per system. Opens the lock file, creating it, never through a link, and so that no child
  // process inherits it (the translator that a run starts must not outlive the run with the
  // lock); one that exists in a folder the run may not write to is opened for reading.
  static Handle Open(const std::string& host_path);
  // Locks at once: false while another process holds the lock.
  static bool LockNow(Handle h);
  // Waits until the lock is this process's.
  static void LockWaiting(Handle h);
  static void Close(Handle h);

  Handle handle_ = kNone;
};

}  // namespace sevrik
