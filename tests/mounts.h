// A bind mount for the failure paths of real folders: a read-only folder or file, or a file
// that is in use (a mount point cannot be removed or replaced). Needs root; ok() tells.
#pragma once

#include <sys/mount.h>

#include <string>

namespace sevrik::test {

class BindMount {
 public:
  BindMount(const std::string& path, bool read_only) : path_(path) {
    ok_ = ::mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) == 0;
    if (ok_ && read_only && ::mount(nullptr, path.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
      ::umount(path.c_str());
      ok_ = false;
    }
  }
  ~BindMount() {
    if (ok_) ::umount(path_.c_str());
  }
  BindMount(const BindMount&) = delete;
  BindMount& operator=(const BindMount&) = delete;
  bool ok() const { return ok_; }

 private:
  std::string path_;
  bool ok_ = false;
};

// A small file system of its own (tmpfs) over a folder, to fill a disk. Needs root; ok() tells.
class SmallDisk {
 public:
  SmallDisk(const std::string& path, const std::string& size) : path_(path) {
    ok_ = ::mount("tmpfs", path.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
  }
  ~SmallDisk() {
    if (ok_) ::umount(path_.c_str());
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;
  bool ok() const { return ok_; }

 private:
  std::string path_;
  bool ok_ = false;
};

}  // namespace sevrik::test
