// A file system that fails on demand: a disk that fills, a file that cannot be removed, a
// file whose name stays after its removal, a folder that cannot be written. It wraps the
// host's and is the process's current file system for as long as it lives, so that the
// failure paths of the runs are tested in the process, without root and without mounts.
// Places are named by host path, as HostPath gives them (the tests' temporary folders); a
// path is matched after its resolution, whatever its case or separators in the call.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace sevrik::test {

// Thrown where a kill -9 would have ended the process. Neither an Error nor a std::exception,
// so that nothing of the run traps it; what the files hold then is what the killed process left.
struct Killed {};

class FaultFileSystem final : public FileSystem {
 public:
  FaultFileSystem();
  ~FaultFileSystem() override;
  FaultFileSystem(const FaultFileSystem&) = delete;
  FaultFileSystem& operator=(const FaultFileSystem&) = delete;

  // The folder and all below it lie on a disk that is full after `bytes` more bytes: then
  // every write there is error 61 "Disk full". The write that crosses the line writes what
  // fits first, as a real disk does; a replacement or an installation that does not fit
  // changes nothing (the host's keep the old file whole and remove their temporary file).
  void FillDiskAfter(const std::string& host_folder, size_t bytes);
  // Removing the file, or putting another file in its place, is error 70, as for a file that
  // another program holds open.
  void FailRemoval(const std::string& host_path);
  // Removing the file reports success and leaves it, name and content, as Windows does for a
  // file that another program holds open with delete sharing.
  void KeepAfterRemoval(const std::string& host_path);
  // Every write, creation or removal of an entry below the folder is error 70.
  void MakeReadOnly(const std::string& host_folder);
  // An installation's temporary copy keeps what `damage` makes of the bytes written to it (a
  // short or corrupt write that the disk reports as done); the host's install does the rest.
  void DamageInstalledCopy(std::function<std::string(std::string_view written)> damage);
  // How many times a file was synced to the disk (WritableFile::Sync) while this file system
  // was current; `on_sync`, when set, is called after each with the file's host path.
  size_t syncs() const { return syncs_; }
  // Kills the process (throws Killed) at step `step` (from 0) of the file `host_path`: each
  // append (to an output or an appending file) is two steps (half of its bytes written; all of
  // them), each sync one (done), each replacement three (its temporary file left half written;
  // left whole; renamed over the file). From then on nothing more is written, removed or
  // replaced: the process is dead.
  void KillAt(const std::string& host_path, size_t step);
  // The steps of that file so far, and whether the kill came.
  size_t steps() const { return steps_; }
  bool killed() const { return dead_; }
  // Whether this step of `host` is the one to die at (counts it).
  bool DiesAt(const std::string& host);
  bool dead() const { return dead_; }
  std::function<void(const std::string& host)> on_sync;
  void Synced(const std::string& host);

  std::string HostPath(std::string_view path) override;
  void ChangeDrive(std::string_view setting) override;
  void ChangeDirectory(std::string_view path) override;
  std::string CurrentDirectory() override;
  std::vector<std::string> ListFiles(std::string_view pattern) override;
  bool FileExists(std::string_view path) override;
  bool DirectoryExists(std::string_view path) override;
  std::unique_ptr<ReadableFile> OpenInputFile(std::string_view path, Links links) override;
  std::unique_ptr<WritableFile> OpenOutputFile(std::string_view path, bool append) override;
  void RemoveFile(std::string_view path) override;
  void CopyFileTo(std::string_view source, std::string_view target) override;
  std::unique_ptr<ReplacementFile> OpenReplacement(std::string_view path) override;
  std::unique_ptr<AppendingFile> OpenAppending(std::string_view path) override;
  std::unique_ptr<LockFile> OpenLockFile(std::string_view path) override;
  void MakeDirectory(std::string_view path) override;
  void InstallFileCopy(std::string_view source, std::string_view target, const ContentCheck& check) override;

  // The part of `wanted` bytes that fits on the disk of `host`, taken from its room.
  size_t Take(const std::string& host, size_t wanted);
  // The commit of the wrapped replacement `file` of `host` with `bytes`, as the disk and the
  // kill steps let it; and its commit as the removal of `path`.
  void Replace(const std::string& host, std::string_view bytes, ReplacementFile& file);
  void RemoveReplaced(std::string_view path, const std::string& host, ReplacementFile& file);

 private:
  std::string Resolved(std::string_view path);  // the host path, or "" when it has none
  void CheckWritable(const std::string& host) const;
  void CheckReplaceable(const std::string& host) const;
  void CheckRoom(const std::string& host, size_t bytes);

  FileSystem& base_;
  std::string disk_;  // the folder of the full disk, or ""
  size_t room_ = 0;
  std::set<std::string> fail_removal_, keep_after_removal_;
  std::vector<std::string> read_only_;
  std::function<std::string(std::string_view)> damage_;
  size_t syncs_ = 0;
  std::string kill_host_;
  size_t kill_step_ = 0, steps_ = 0;
  bool dead_ = false;
  std::unique_ptr<ScopedFileSystem> installed_;
};

}  // namespace sevrik::test
