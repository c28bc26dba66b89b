// The host's streamed files on POSIX: descriptors read in pieces, a replacement through an
// exclusively created temporary file renamed over the old one, and an append that can be cut
// back.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "base/error.h"
#include "platform/fs.h"
#include "platform/fs_host.h"
#include "platform/posix_files.h"
#include "platform/unique_file.h"

namespace sevrik {
namespace {

// OpenOrThrow without following a symbolic link in the file's own place: a link is error 75 that
// names it.
int OpenNotThroughLink(const std::string& host, int flags) {
  try {
    return OpenOrThrow(host, flags | O_NOFOLLOW);
  } catch (const Error&) {
    struct stat st;
    if (::lstat(host.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
      throw Error(err::kPathFileAccess, StandardDescription(err::kPathFileAccess) + " (" +
                                            host.substr(host.find_last_of('/') + 1) + " is a symbolic link)");
    throw;
  }
}

void SyncFolder(const std::string& folder) {
  // Some file systems refuse to sync a folder; the files themselves are on disk already.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

class PosixInput final : public ReadableFile {
 public:
  explicit PosixInput(int fd) : fd_(fd) {}
  ~PosixInput() override { ::close(fd_); }
  size_t Read(char* at, size_t n) override {
    ssize_t got;
    do got = ::read(fd_, at, n);
    while (got < 0 && errno == EINTR);
    if (got < 0) throw OsError(errno);
    return static_cast<size_t>(got);
  }

 private:
  int fd_;
};

class PosixReplacement final : public ReplacementFile {
 public:
  explicit PosixReplacement(std::string host) : host_(std::move(host)) {
    if (IsDirectoryHost(host_)) throw Error(err::kPathFileAccess);
    const size_t slash = host_.find_last_of('/');
    // Cut so that the temporary name stays within the longest name a folder takes.
    const std::string stem = host_.substr(slash == std::string::npos ? 0 : slash + 1, 200);
    // The new file keeps the permission bits of the file it replaces.
    struct stat old;
    const bool keep_mode = ::lstat(host_.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    NewFile temp = CreateUniqueFile(ParentFolderOf(host_), stem, keep_mode ? 0600 : 0666, RandomSuffix);
    fd_ = temp.fd;
    temp_ = temp.path;
    if (keep_mode && ::fchmod(fd_, old.st_mode & 0777) != 0) {
      const int e = errno;
      Discard();
      ThrowOs(e, host_);
    }
  }
  ~PosixReplacement() override { Discard(); }
  void Append(std::string_view bytes) override { WriteAll(fd_, bytes, host_); }
  void Commit() override {
    if (::fsync(fd_) != 0) ThrowOs(errno, host_);
    if (::close(std::exchange(fd_, -1)) != 0) ThrowOs(errno, host_);
    if (::rename(temp_.c_str(), host_.c_str()) != 0) ThrowOs(errno, host_);
    temp_.clear();
    // The rename lasts only once the folder is on disk.
    SyncFolder(ParentFolderOf(host_));
  }
  void CommitAsRemoval() override {
    if (::unlink(host_.c_str()) != 0 && errno != ENOENT) ThrowOs(errno, host_);
    SyncFolder(ParentFolderOf(host_));
  }

 private:
  void Discard() noexcept {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    if (!temp_.empty()) ::unlink(std::exchange(temp_, std::string()).c_str());
  }
  std::string host_;
  std::string temp_;
  int fd_ = -1;
};

class PosixAppending final : public AppendingFile {
 public:
  explicit PosixAppending(const std::string& host)
      // Appended in place: never through a symbolic link planted in the file's place.
      : fd_(OpenNotThroughLink(host, O_RDWR | O_CREAT)), host_(host) {
    struct stat st;
    if (::fstat(fd_, &st) != 0 || ::lseek(fd_, 0, SEEK_END) < 0) {
      const int e = errno;
      ::close(fd_);
      ThrowOs(e, host_);
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
  }
  ~PosixAppending() override { ::close(fd_); }
  std::uint64_t Size() override { return size_; }
  char LastByte() override {
    char last = 0;
    ssize_t n;
    do n = ::pread(fd_, &last, 1, static_cast<off_t>(size_ - 1));
    while (n < 0 && errno == EINTR);
    if (n < 0) ThrowOs(errno, host_);
    return last;
  }
  void Append(std::string_view bytes) override { WriteAll(fd_, bytes, ""); }
  void Sync() override {
    if (::fsync(fd_) != 0) throw OsError(errno);
  }
  void CutBack(std::uint64_t size) noexcept override {
    if (::ftruncate(fd_, static_cast<off_t>(size)) == 0) ::fsync(fd_);
  }

 private:
  int fd_;
  std::string host_;
  std::uint64_t size_ = 0;
};

}  // namespace

namespace host {

std::unique_ptr<ReadableFile> OpenInputFile(std::string_view path, Links links) {
  const std::string host = HostPath(path);
  return std::make_unique<PosixInput>(links == Links::Refuse ? OpenNotThroughLink(host, O_RDONLY)
                                                             : OpenOrThrow(host, O_RDONLY));
}

std::unique_ptr<ReplacementFile> OpenReplacement(std::string_view path) {
  return std::make_unique<PosixReplacement>(HostPath(path));
}

std::unique_ptr<AppendingFile> OpenAppending(std::string_view path) {
  return std::make_unique<PosixAppending>(HostPath(path));
}

}  // namespace host
}  // namespace sevrik
