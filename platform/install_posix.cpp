#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/error.h"
#include "platform/fs.h"
#include "platform/fs_host.h"
#include "platform/install.h"
#include "platform/posix_files.h"
#include "platform/unique_file.h"

namespace sevrik {
namespace {

// Closes the descriptors and removes the temporary file unless the copy was put in place.
class Copy {
 public:
  ~Copy() {
    if (in >= 0) ::close(in);
    if (out >= 0) ::close(out);
    if (!temp.empty()) ::unlink(temp.c_str());
  }
  int in = -1, out = -1;
  std::string temp;
};

}  // namespace

namespace host {

void MakeDirectory(std::string_view path) {
  const std::string host = HostPath(path);
  if (::mkdir(host.c_str(), 0777) != 0) ThrowOs(errno, host);
}

namespace {

// The temporary file holds exactly `bytes`, as the disk gives them back through a descriptor
// of its own.
void CompareCopy(std::string_view bytes, const std::string& host) {
  const int fd = ::open(host.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) ThrowOs(errno, host);
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat copy;
  if (::fstat(fd, &copy) != 0) ThrowOs(errno, host);
  if (static_cast<uint64_t>(copy.st_size) != bytes.size())
    throw Error(err::kPathFileAccess, StandardDescription(err::kPathFileAccess) + " (the copy has " +
                                          std::to_string(copy.st_size) + " of " + std::to_string(bytes.size()) +
                                          " bytes)");
  char buf[1 << 16];
  for (size_t at = 0; at < bytes.size();) {
    const ssize_t n = ::pread(fd, buf, std::min(sizeof buf, bytes.size() - at), static_cast<off_t>(at));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowOs(errno, host);
    if (n == 0 || bytes.substr(at, static_cast<size_t>(n)) != std::string_view(buf, static_cast<size_t>(n)))
      throw Error(err::kPathFileAccess,
                  StandardDescription(err::kPathFileAccess) + " (the copy differs from the new program)");
    at += static_cast<size_t>(n);
  }
}

// Removes the temporary files that a killed install left in `folder`. One that cannot be
// removed stays: it harms nothing but room.
void RemoveLeftovers(const std::string& folder, const std::string& target_name) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* e = ::readdir(dir)) {
    if (!IsLeftoverTemporary(e->d_name, target_name)) continue;
    const std::string path = folder + "/" + e->d_name;
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
  }
  ::closedir(dir);
}

}  // namespace

void InstallFileCopy(std::string_view source, std::string_view target, const ContentCheck& check,
                     const StoredCopy& stored) {
  const std::string source_host = HostPath(source), target_host = HostPath(target);
  Copy c;
  c.in = ::open(source_host.c_str(), O_RDONLY | O_CLOEXEC);
  if (c.in < 0) ThrowOs(errno, source_host);
  struct stat src;
  if (::fstat(c.in, &src) != 0) ThrowOs(errno, source_host);
  if (!S_ISREG(src.st_mode)) throw Error(err::kPathFileAccess);
  const std::string bytes = ReadAll(c.in, source_host);
  if (check) check(bytes);

  const std::string folder = ParentFolderOf(target_host);
  if (!IsDirectoryHost(folder)) throw Error(err::kPathNotFound);
  const std::string name = target_host.substr(folder.size() + 1);
  struct stat old;
  if (::lstat(target_host.c_str(), &old) == 0) {
    if (S_ISDIR(old.st_mode)) throw Error(err::kPathFileAccess);
    // The rename would put the program in the link's place, and leave where it pointed as it was.
    if (S_ISLNK(old.st_mode))
      throw Error(err::kPathFileAccess,
                  StandardDescription(err::kPathFileAccess) + " (the target is a symbolic link)");
    // The Windows meaning of a read-only file: it is not replaced.
    if (S_ISREG(old.st_mode) && (old.st_mode & 0222) == 0) throw Error(err::kPermissionDenied);
  }
  RemoveLeftovers(folder, name);

  // A hidden name (listings skip it) that is created exclusively: a planted file or symlink
  // of that name is never followed.
  NewFile temp = CreateUniqueFile(folder, name, 0600, RandomSuffix);
  c.out = temp.fd;
  c.temp = temp.path;
  const std::string kept = stored ? stored(bytes) : std::string();
  WriteAll(c.out, stored ? std::string_view(kept) : std::string_view(bytes), c.temp);
  if (::fchmod(c.out, src.st_mode & 07777) != 0 || ::fsync(c.out) != 0) ThrowOs(errno, c.temp);
  const int out = c.out;
  c.out = -1;
  if (::close(out) != 0) ThrowOs(errno, c.temp);
  CompareCopy(bytes, c.temp);
  if (::rename(c.temp.c_str(), target_host.c_str()) != 0) ThrowOs(errno, target_host);
  c.temp.clear();
  // The rename itself reaches the disk with the folder.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

}  // namespace host
ProgramFormat HostProgramFormat() { return ProgramFormat::Elf; }

}  // namespace sevrik
