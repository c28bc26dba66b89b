// Mounts for the few tests where the operating system's own behaviour is what is tested: a
// folder or file made read-only by a bind mount, a small disk that fills. Every other failure
// path goes through the fault-injecting file system (tests/fault_fs.h). Needs root: ok()
// tells whether the mount is in place, error() why not.
#pragma once

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace sevrik::test {

class Mount {
 public:
  // `source` (a folder or a file) bind-mounted read-only over `target`; the same path for a
  // read-only view of itself.
  static Mount ReadOnly(const std::string& source, const std::string& target) { return Mount(source, target, ""); }
  // A file system of its own (tmpfs) of `size` ("64k") over the folder `target`.
  static Mount SmallDisk(const std::string& target, const std::string& size) { return Mount("", target, size); }
  ~Mount() {
    if (ok_) ::umount2(target_.c_str(), MNT_DETACH);
  }
  Mount(const Mount&) = delete;
  Mount& operator=(const Mount&) = delete;
  bool ok() const { return ok_; }
  const std::string& error() const { return error_; }

 private:
  Mount(const std::string& source, const std::string& target, const std::string& size) : target_(target) {
    if (!size.empty()) {
      ok_ = ::mount("tmpfs", target.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
    } else if (::mount(source.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) == 0) {
      ok_ = ::mount(nullptr, target.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
      if (!ok_) {
        const int e = errno;
        ::umount2(target.c_str(), MNT_DETACH);
        errno = e;
      }
    }
    if (!ok_) error_ = std::strerror(errno);
  }

  std::string target_;
  bool ok_ = false;
  std::string error_;
};

}  // namespace sevrik::test
