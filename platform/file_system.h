// The file system as one interface, so that a test can put another in its place for the
// process: the free functions of fs.h and install.h all go through CurrentFileSystem(),
// whose default is the host's (the POSIX or Win32 implementation). Paths are the system's
// own texts with their Windows meaning, and failures are Errors, as fs.h describes them.
#pragma once

#include <cstddef>
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
  // At most `max_bytes` from the start of the file (std::string::npos: all of it).
  virtual std::string ReadFileHead(std::string_view path, size_t max_bytes) = 0;
  // Opens for writing: created or truncated, or with `append` created if missing and written
  // at its end. Never through a symbolic link in the file's own place (POSIX).
  virtual std::unique_ptr<WritableFile> OpenOutputFile(std::string_view path, bool append) = 0;
  virtual void RemoveFile(std::string_view path) = 0;
  virtual void CopyFileTo(std::string_view source, std::string_view target) = 0;
  virtual void ReplaceFileBytes(std::string_view path, std::string_view bytes) = 0;
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
