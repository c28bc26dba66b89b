// The run lock on Windows: a byte-range lock of the lock file, which the system releases
// when the process ends.
#include "platform/fs.h"
#include "platform/runlock.h"
#include "platform/win32.h"

namespace sevrik {
namespace {

bool Lock(HANDLE h, DWORD flags) {
  OVERLAPPED at{};
  return ::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | flags, 0, 1, 0, &at);
}

}  // namespace

RunLock::RunLock(std::string_view path, const std::function<void()>& on_wait) { Acquire(path, true, on_wait); }

std::unique_ptr<RunLock> RunLock::TryLock(std::string_view path) {
  std::unique_ptr<RunLock> lock(new RunLock());
  if (!lock->Acquire(path, false, {})) return nullptr;
  return lock;
}

bool RunLock::Acquire(std::string_view path, bool wait, const std::function<void()>& on_wait) {
  const std::string host = ToAnsi(HostPath(path));
  // Not inheritable (no security attributes): the translator that a run starts must not hold,
  // and so outlive with, the lock's handle.
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE h = ::CreateFileA(host.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  // A lock file that exists in a folder the run may not write to still locks.
  if (h == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ACCESS_DENIED)
    h = ::CreateFileA(host.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw LastWin32Error();
  if (!Lock(h, LOCKFILE_FAIL_IMMEDIATELY)) {
    const DWORD code = ::GetLastError();
    if (code != ERROR_LOCK_VIOLATION && code != ERROR_IO_PENDING) {
      ::CloseHandle(h);
      throw Win32Error(code);
    }
    if (!wait) {
      ::CloseHandle(h);
      return false;
    }
    try {
      if (on_wait) on_wait();
    } catch (...) {
      ::CloseHandle(h);
      throw;
    }
    if (!Lock(h, 0)) {
      const Error e = LastWin32Error();
      ::CloseHandle(h);
      throw e;
    }
  }
  fd_ = static_cast<int>(HandleToLong(h));
  return true;
}

RunLock::~RunLock() {
  if (fd_ >= 0) ::CloseHandle(LongToHandle(fd_));
}

}  // namespace sevrik
