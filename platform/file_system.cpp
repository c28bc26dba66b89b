#include "platform/file_system.h"

#include <algorithm>
#include <atomic>

#include "base/error.h"
#include "base/text.h"
#include "platform/fs_host.h"

namespace sevrik {
namespace {

class HostFiles final : public FileSystem {
 public:
  std::string HostPath(std::string_view path) override { return host::HostPath(path); }
  void ChangeDrive(std::string_view setting) override { host::ChangeDrive(setting); }
  void ChangeDirectory(std::string_view path) override { host::ChangeDirectory(path); }
  std::string CurrentDirectory() override { return host::CurrentDirectory(); }
  std::vector<std::string> ListFiles(std::string_view pattern) override {
    std::vector<std::string> names = host::ListFiles(pattern);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return AsciiLower(a) < AsciiLower(b); });
    return names;
  }
  bool FileExists(std::string_view path) override {
    try {
      return IsFileHost(host::HostPath(path));
    } catch (const Error&) {
      return false;
    }
  }
  bool DirectoryExists(std::string_view path) override {
    try {
      return IsDirectoryHost(host::HostPath(path));
    } catch (const Error&) {
      return false;
    }
  }
  std::unique_ptr<ReadableFile> OpenInputFile(std::string_view path, Links links) override {
    return host::OpenInputFile(path, links);
  }
  std::unique_ptr<WritableFile> OpenOutputFile(std::string_view path, bool append) override {
    return host::OpenOutputFile(path, append);
  }
  void RemoveFile(std::string_view path) override { host::RemoveFile(path); }
  void CopyFileTo(std::string_view source, std::string_view target) override { host::CopyFileTo(source, target); }
  std::unique_ptr<ReplacementFile> OpenReplacement(std::string_view path) override {
    return host::OpenReplacement(path);
  }
  std::unique_ptr<AppendingFile> OpenAppending(std::string_view path) override { return host::OpenAppending(path); }
  std::unique_ptr<LockFile> OpenLockFile(std::string_view path) override { return host::OpenLockFile(path); }
  void MakeDirectory(std::string_view path) override { host::MakeDirectory(path); }
  void InstallFileCopy(std::string_view source, std::string_view target, const ContentCheck& check) override {
    host::InstallFileCopy(source, target, check);
  }
};

std::atomic<FileSystem*> current{nullptr};

}  // namespace

FileSystem& HostFileSystem() {
  static HostFiles files;
  return files;
}

FileSystem& CurrentFileSystem() {
  FileSystem* fs = current.load(std::memory_order_acquire);
  return fs ? *fs : HostFileSystem();
}

ScopedFileSystem::ScopedFileSystem(FileSystem& fs) : previous_(current.exchange(&fs, std::memory_order_acq_rel)) {}

ScopedFileSystem::~ScopedFileSystem() { current.store(previous_, std::memory_order_release); }

}  // namespace sevrik
