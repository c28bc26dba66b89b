#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "base/error.h"
#include "platform/file_stream.h"
#include "platform/fs.h"
#include "platform/fs_host.h"
#include "platform/unique_file.h"

namespace sevrik {
namespace {

[[noreturn]] void Fail(int e, const std::string& host) {
  throw OsError(e, e == ENOENT && !IsDirectoryHost(ParentFolderOf(host)));
}

int Fd(std::intptr_t h) { return static_cast<int>(h); }

int OpenFile(const std::string& host, int flags) {
  if (IsDirectoryHost(host)) throw Error(err::kPathFileAccess);
  const int fd = ::open(host.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) Fail(errno, host);
  return fd;
}

// OpenFile without following a symbolic link in the file's own place: a link is error 75 that
// names it.
int OpenNotThroughLink(const std::string& host, int flags) {
  try {
    return OpenFile(host, flags | O_NOFOLLOW);
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

}  // namespace

LineReader::LineReader(std::string_view path, Links links) {
  const std::string host = HostPath(path);
  handle_ = links == Links::Refuse ? OpenNotThroughLink(host, O_RDONLY) : OpenFile(host, O_RDONLY);
}

LineReader::~LineReader() {
  if (handle_ >= 0) ::close(Fd(handle_));
}

size_t LineReader::ReadSome(std::intptr_t handle, char* at, size_t n) {
  ssize_t got;
  do got = ::read(Fd(handle), at, n);
  while (got < 0 && errno == EINTR);
  if (got < 0) throw OsError(errno);
  return static_cast<size_t>(got);
}

FileReplacement::FileReplacement(std::string_view path) : path_(HostPath(path)) {
  if (IsDirectoryHost(path_)) throw Error(err::kPathFileAccess);
  const size_t slash = path_.find_last_of('/');
  const std::string stem = path_.substr(slash == std::string::npos ? 0 : slash + 1, 200);
  struct stat old;
  const bool keep_mode = ::lstat(path_.c_str(), &old) == 0 && S_ISREG(old.st_mode);
  NewFile temp = CreateUniqueFile(ParentFolderOf(path_), stem, keep_mode ? 0600 : 0666, RandomSuffix);
  handle_ = temp.fd;
  temp_ = temp.path;
  if (keep_mode && ::fchmod(temp.fd, old.st_mode & 0777) != 0) {
    const int e = errno;
    ::close(temp.fd);
    ::unlink(temp_.c_str());
    handle_ = -1;
    Fail(e, path_);
  }
}

FileReplacement::~FileReplacement() {
  if (handle_ >= 0) ::close(Fd(handle_));
  if (!temp_.empty()) ::unlink(temp_.c_str());
}

void FileReplacement::Commit() {
  Flush();
  if (::fsync(Fd(handle_)) != 0) Fail(errno, path_);
  if (::close(Fd(std::exchange(handle_, -1))) != 0) Fail(errno, path_);
  if (::rename(temp_.c_str(), path_.c_str()) != 0) Fail(errno, path_);
  temp_.clear();
  SyncFolder(ParentFolderOf(path_));
}

void FileReplacement::CommitAsRemoval() {
  if (::unlink(path_.c_str()) != 0 && errno != ENOENT) Fail(errno, path_);
  SyncFolder(ParentFolderOf(path_));
}

LineAppender::LineAppender(std::string_view path) {
  const std::string host = HostPath(path);
  // Appended in place: never through a symbolic link planted in the file's place.
  const int fd = OpenNotThroughLink(host, O_RDWR | O_CREAT);
  handle_ = fd;
  struct stat st;
  if (::fstat(fd, &st) != 0) Fail(errno, host);
  original_size_ = static_cast<std::uint64_t>(st.st_size);
  if (original_size_ > 0) {
    char last = 0;
    ssize_t n;
    do n = ::pread(fd, &last, 1, static_cast<off_t>(original_size_ - 1));
    while (n < 0 && errno == EINTR);
    if (n < 0) Fail(errno, host);
    if (last != '\n') buffer_ = "\r\n";
  }
  if (::lseek(fd, 0, SEEK_END) < 0) Fail(errno, host);
}

LineAppender::~LineAppender() {
  if (!committed_) CutBack();
  if (handle_ >= 0) ::close(Fd(handle_));
}

void LineAppender::CutBack() noexcept {
  if (handle_ < 0) return;
  buffer_.clear();
  if (::ftruncate(Fd(handle_), static_cast<off_t>(original_size_)) == 0) ::fsync(Fd(handle_));
}

void LineAppender::Commit() {
  Flush();
  if (::fsync(Fd(handle_)) != 0) {
    const int e = errno;
    CutBack();
    throw OsError(e);
  }
  committed_ = true;
}

}  // namespace sevrik
