// The file system as one interface, so that a test can put another in its place for the
// process: the free functions of fs.h and install.h all go through CurrentFileSystem(),
// whose default is the host's (the POSIX or Win32 implementation). Paths are the system's
// own texts with their Windows meaning, and failures are Errors, as fs.h describes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/install.h"

namespace sevrik {

// A file open for writing, without buffering of its own (OutputFile buffers).
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  // Writes all of `bytes` at the file's position, or raises the error.
  virtual void Append(std::string_view bytes) = 0;
  // Returns once what was appended is on the disk.
  virtual void Sync() = 0;
  // Releases the file; the file is closed even when an error is raised. Called once.
  virtual void Close() = 0;
};

// How an open for reading treats a symbolic link (on Windows any reparse point) in the file's
// own place: followed, or refused. The files that the system keeps for itself beside the
// program (SEVRIK.PND, SEVRIK.JNL) are read with Refuse, so that a link planted in their place
// never feeds them another file: the open is error 75 "Path/File access error (<name> is a
// symbolic link)", and the link's target is never opened.
enum class Links { Follow, Refuse };

// A file open for reading.
class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // Reads at most `n` bytes into `at`; 0 at the end of the file.
  virtual size_t Read(char* at, size_t n) = 0;
};

// The new content of a file, written to a new hidden temporary file in the same folder
// (created exclusively, never through a symbolic link) that takes the file's place only on
// Commit. Destroyed without a commit, it removes the temporary file and leaves the old one.
class ReplacementFile {
 public:
  virtual ~ReplacementFile() = default;
  virtual void Append(std::string_view bytes) = 0;
  // Flushes the temporary file to the disk and renames it over the file. Called once.
  virtual void Commit() = 0;
  // Removes the file (when it exists) instead: the new content is empty. Called once.
  virtual void CommitAsRemoval() = 0;
};

// A file open for adding at its end, that can be cut back to an earlier size.
class AppendingFile {
 public:
  virtual ~AppendingFile() = default;
  // The size when it was opened, and its last byte then (only when the size is not 0).
  virtual std::uint64_t Size() = 0;
  virtual char LastByte() = 0;
  virtual void Append(std::string_view bytes) = 0;
  virtual void Sync() = 0;
  // Cuts the file back to `size` bytes and syncs it, as far as the system lets it.
  virtual void CutBack(std::uint64_t size) noexcept = 0;
};

// A file whose operating-system lock keeps a run to itself; the lock ends when it is destroyed
// or the process ends.
class LockFile {
 public:
  virtual ~LockFile() = default;
  // Locks at once: false while another process holds the lock.
  virtual bool LockNow() = 0;
  // Waits until the lock is this process's.
  virtual void LockWaiting() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual std::string HostPath(std::string_view path) = 0;
  virtual void ChangeDrive(std::string_view setting) = 0;
  virtual void ChangeDirectory(std::string_view path) = 0;
  virtual std::string CurrentDirectory() = 0;
  virtual std::vector<std::string> ListFiles(std::string_view pattern) = 0;
  virtual bool FileExists(std::string_view path) = 0;
  virtual bool DirectoryExists(std::string_view path) = 0;
  // Opening errors: 53, 76, 70, a folder 75; with Links::Refuse a link in its place 75.
  virtual std::unique_ptr<ReadableFile> OpenInputFile(std::string_view path, Links links) = 0;
  // Opens for writing: created or truncated, or with `append` created if missing and written
  // at its end. Never through a symbolic link in the file's own place (POSIX).
  virtual std::unique_ptr<WritableFile> OpenOutputFile(std::string_view path, bool append) = 0;
  virtual void RemoveFile(std::string_view path) = 0;
  virtual void CopyFileTo(std::string_view source, std::string_view target) = 0;
  // Fails before anything is written when the folder takes no new file, `path` is a folder
  // (75) or, as on Windows, a file without write permission (70).
  virtual std::unique_ptr<ReplacementFile> OpenReplacement(std::string_view path) = 0;
  // Created if missing; on POSIX never through a symbolic link in its place (75).
  virtual std::unique_ptr<AppendingFile> OpenAppending(std::string_view path) = 0;
  // The lock file, created if missing, never through a link, inherited by no child process;
  // one that exists in a folder the run may not write to is opened for reading.
  virtual std::unique_ptr<LockFile> OpenLockFile(std::string_view path) = 0;
  virtual void MakeDirectory(std::string_view path) = 0;
  virtual void InstallFileCopy(std::string_view source, std::string_view target, const ContentCheck& check) = 0;
};

// The host's file system; lives as long as the process.
FileSystem& HostFileSystem();

// The file system that the free functions use: the host's unless a ScopedFileSystem is alive.
FileSystem& CurrentFileSystem();

// Makes `fs` the current file system of the process until destroyed, then restores the one
// before. `fs` must outlive it. Meant for tests: install it while no other thread uses files.
class ScopedFileSystem {
 public:
  explicit ScopedFileSystem(FileSystem& fs);
  ~ScopedFileSystem();
  ScopedFileSystem(const ScopedFileSystem&) = delete;
  ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;

 private:
  FileSystem* previous_;
};

}  // namespace sevrik
