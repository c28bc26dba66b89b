#include "platform/runlock.h"

#include "platform/fs.h"

namespace sevrik {

RunLock::RunLock(std::string_view path, const std::function<void()>& on_wait) { Acquire(path, true, on_wait); }

std::unique_ptr<RunLock> RunLock::TryLock(std::string_view path) {
  std::unique_ptr<RunLock> lock(new RunLock());
  if (!lock->Acquire(path, false, {})) return nullptr;
  return lock;
}

bool RunLock::Acquire(std::string_view path, bool wait, const std::function<void()>& on_wait) {
  const Handle h = Open(HostPath(path));
  try {
    if (!LockNow(h)) {
      if (!wait) {
        Close(h);
        return false;
      }
      if (on_wait) on_wait();
      LockWaiting(h);
    }
  } catch (...) {
    Close(h);
    throw;
  }
  handle_ = h;
  return true;
}

RunLock::~RunLock() {
  if (handle_ != kNone) Close(handle_);
}

}  // namespace sevrik
