// The host's lock file on Windows: a byte-range lock, which the system releases when the
// handle closes or the process ends.
#include "platform/fs_host.h"
#include "platform/win32.h"

namespace sevrik {
namespace {

class Win32LockFile final : public LockFile {
 public:
  explicit Win32LockFile(HANDLE h) : h_(h) {}
  ~Win32LockFile() override { ::CloseHandle(h_); }
  bool LockNow() override {
    if (Lock(LOCKFILE_FAIL_IMMEDIATELY)) return true;
    const DWORD code = ::GetLastError();
    if (code != ERROR_LOCK_VIOLATION && code != ERROR_IO_PENDING) throw Win32Error(code);
    return false;
  }
  void LockWaiting() override {
    if (!Lock(0)) throw LastWin32Error();
  }

 private:
  bool Lock(DWORD flags) {
    OVERLAPPED at{};
    return ::LockFileEx(h_, LOCKFILE_EXCLUSIVE_LOCK | flags, 0, 1, 0, &at);
  }
  HANDLE h_;
};

}  // namespace

namespace host {

std::unique_ptr<LockFile> OpenLockFile(std::string_view path) {
  const std::string host = ToAnsi(HostPath(path));
  // Not inheritable (no security attributes).
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE h = ::CreateFileA(host.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ACCESS_DENIED)
    h = ::CreateFileA(host.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw LastWin32Error();
  return std::make_unique<Win32LockFile>(h);
}

}  // namespace host
}  // namespace sevrik
