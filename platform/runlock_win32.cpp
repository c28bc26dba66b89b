// The run lock on Windows: a byte-range lock of the lock file, which the system releases
// when the process ends.
#include "platform/runlock.h"
#include "platform/win32.h"

namespace sevrik {
namespace {

HANDLE Native(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

bool Lock(HANDLE h, DWORD flags) {
  OVERLAPPED at{};
  return ::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | flags, 0, 1, 0, &at);
}

}  // namespace

RunLock::Handle RunLock::Open(const std::string& host_path) {
  const std::string host = ToAnsi(host_path);
  // Not inheritable (no security attributes).
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE h = ::CreateFileA(host.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ACCESS_DENIED)
    h = ::CreateFileA(host.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw LastWin32Error();
  return reinterpret_cast<std::intptr_t>(h);
}

bool RunLock::LockNow(Handle h) {
  if (Lock(Native(h), LOCKFILE_FAIL_IMMEDIATELY)) return true;
  const DWORD code = ::GetLastError();
  if (code != ERROR_LOCK_VIOLATION && code != ERROR_IO_PENDING) throw Win32Error(code);
  return false;
}

void RunLock::LockWaiting(Handle h) {
  if (!Lock(Native(h), 0)) throw LastWin32Error();
}

void RunLock::Close(Handle h) { ::CloseHandle(Native(h)); }

}  // namespace sevrik
