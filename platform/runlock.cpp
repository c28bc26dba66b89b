#include "platform/runlock.h"

#include "platform/file_system.h"

namespace sevrik {

RunLock::RunLock(std::string_view path, const std::function<void()>& on_wait) { Acquire(path, true, on_wait); }

std::unique_ptr<RunLock> RunLock::TryLock(std::string_view path) {
  std::unique_ptr<RunLock> lock(new RunLock());
  if (!lock->Acquire(path, false, {})) return nullptr;
  return lock;
}

bool RunLock::Acquire(std::string_view path, bool wait, const std::function<void()>& on_wait) {
  std::unique_ptr<LockFile> file = CurrentFileSystem().OpenLockFile(path);
  if (!file->LockNow()) {
    if (!wait) return false;
    if (on_wait) on_wait();
    file->LockWaiting();
  }
  file_ = std::move(file);
  return true;
}

RunLock::~RunLock() = default;

}  // namespace sevrik
