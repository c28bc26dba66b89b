// The file layer on Windows: the system's own drives, folders and case rules. Paths are our
// UTF-8 texts; they reach the narrow functions in the system's code page.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "base/error.h"
#include "base/text.h"
#include "platform/fs.h"
#include "platform/fs_host.h"
#include "platform/unique_file.h"
#include "platform/win32.h"
#include "platform/win32_files.h"

namespace sevrik {
namespace {

bool IsSep(char c) { return c == '\\' || c == '/'; }

bool HasDrive(std::string_view p) {
  return p.size() >= 2 && p[1] == ':' && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
}

bool DriveExists(char letter) {
  const char root[] = {letter, ':', '\\', '\0'};
  return ::GetDriveTypeA(root) != DRIVE_NO_ROOT_DIR;
}

// The path in the system's form ("\" separators), checked for its drive.
std::string Resolve(std::string_view path, int error_number) {
  if (HasDrive(path) && !DriveExists(path[0])) throw Error(error_number);
  std::string p(path);
  std::replace(p.begin(), p.end(), '/', '\\');
  return p;
}

}  // namespace

void WriteAll(HANDLE h, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
    DWORD written = 0;
    if (!::WriteFile(h, bytes.data(), chunk, &written, nullptr)) throw LastWin32Error();
    bytes.remove_prefix(written);
  }
}

DWORD HostAttributes(const std::string& host) { return ::GetFileAttributesA(ToAnsi(host).c_str()); }

void CheckWritable(const std::string& host) {
  const DWORD a = HostAttributes(host);
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY)) throw Error(err::kPermissionDenied);
}

HANDLE OpenOrThrow(const std::string& host, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
  if (IsDirectoryHost(host)) throw Error(err::kPathFileAccess);
  if (access != GENERIC_READ) CheckWritable(host);
  const HANDLE h = ::CreateFileA(ToAnsi(host).c_str(), access, share, nullptr, disposition, flags, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw LastWin32Error();
  return h;
}

bool IsFileHost(const std::string& host) {
  const DWORD a = HostAttributes(host);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ParentFolderOf(const std::string& host) {
  const size_t sep = host.find_last_of("\\/");
  if (sep == std::string::npos) return ".";
  if (sep == 0 || (sep == 2 && HasDrive(host))) return host.substr(0, sep + 1);
  return host.substr(0, sep);
}

bool IsDirectoryHost(const std::string& host) {
  const DWORD a = HostAttributes(host);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FolderSettingPath(std::string_view setting, std::string_view) { return std::string(setting); }

size_t RemoveLeftoverReplacements(std::string_view path) {
  const std::string host = HostPath(path);
  const size_t sep = host.find_last_of("\\/");
  const std::string folder = host.substr(0, sep + 1), name = host.substr(sep + 1);
  WIN32_FIND_DATAA entry;
  const HANDLE find = ::FindFirstFileA(ToAnsi(folder + "*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return 0;
  size_t removed = 0;
  do {
    const std::string n = FromAnsi(entry.cFileName);
    if ((entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
        IsReplacementTemporary(n, name) && ::DeleteFileA(ToAnsi(folder + n).c_str()))
      ++removed;
  } while (::FindNextFileA(find, &entry));
  ::FindClose(find);
  return removed;
}

std::string ProgramFolder() {
  std::string buffer(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return ".";
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  const std::string path = FromAnsi(buffer);
  const size_t sep = path.find_last_of('\\');
  return sep == std::string::npos ? std::string(".") : path.substr(0, sep);
}

namespace host {

std::string HostPath(std::string_view path) { return Resolve(path, err::kPathNotFound); }

void ChangeDrive(std::string_view setting) {
  const std::string_view head = setting.substr(0, std::min<size_t>(3, setting.size()));
  if (!HasDrive(head)) return;
  // "X:" alone is the folder that is current on that drive.
  const char drive[] = {head[0], ':', '\0'};
  if (!DriveExists(head[0]) || !::SetCurrentDirectoryA(drive)) throw Error(err::kDeviceUnavailable);
}

void ChangeDirectory(std::string_view path) {
  const std::string host = Resolve(path, err::kPathNotFound);
  if (!::SetCurrentDirectoryA(ToAnsi(host).c_str())) throw Error(err::kPathNotFound);
}

std::string CurrentDirectory() {
  const DWORD n = ::GetCurrentDirectoryA(0, nullptr);
  std::string buffer(n, '\0');
  const DWORD got = ::GetCurrentDirectoryA(n, buffer.data());
  if (got == 0 || got >= n) return ".";
  buffer.resize(got);
  return FromAnsi(buffer);
}

std::vector<std::string> ListFiles(std::string_view pattern) {
  size_t cut = pattern.size();
  while (cut > 0 && !IsSep(pattern[cut - 1])) --cut;
  std::string folder(pattern.substr(0, cut));
  std::string_view mask = pattern.substr(cut);
  if (cut == 0 && HasDrive(pattern)) {
    folder = std::string(pattern.substr(0, 2));
    mask = pattern.substr(2);
  }
  if (!folder.empty()) folder = Resolve(folder, err::kBadFileName);
  // Every entry, matched here: the system's own matching also tries the short 8.3 names, so
  // that "*.TXT" would list "notes.TXT~" too.
  WIN32_FIND_DATAA entry;
  const HANDLE find = ::FindFirstFileA(ToAnsi(folder + "*").c_str(), &entry);
  std::vector<std::string> names;
  if (find == INVALID_HANDLE_VALUE) return names;  // no folder, or nothing in it
  do {
    const std::string n = FromAnsi(entry.cFileName);
    if (n.empty() || n[0] == '.' || (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    if (WildcardMatch(mask, n)) names.push_back(n);
  } while (::FindNextFileA(find, &entry));
  ::FindClose(find);
  return names;
}

void RemoveFile(std::string_view path) {
  const std::string host = HostPath(path);
  if (IsDirectoryHost(host)) throw Error(err::kPathFileAccess);
  CheckWritable(host);
  if (!::DeleteFileA(ToAnsi(host).c_str())) throw LastWin32Error();
  // A file that another program holds open with delete sharing keeps its name until closed;
  // the system then refuses to tell its attributes (access denied) rather than saying it is
  // gone.
  if (HostAttributes(host) == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = ::GetLastError();
    if (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND) throw Error(err::kPermissionDenied);
  }
}

void CopyFileTo(std::string_view source, std::string_view target) {
  const std::string from = HostPath(source), to = HostPath(target);
  if (IsDirectoryHost(from) || IsDirectoryHost(to)) throw Error(err::kPathFileAccess);
  CheckWritable(to);
  if (!::CopyFileA(ToAnsi(from).c_str(), ToAnsi(to).c_str(), FALSE)) throw LastWin32Error();
}

}  // namespace host

namespace host {

namespace {

// A file's handle open for writing; closed at the latest when destroyed.
class Win32File final : public WritableFile {
 public:
  explicit Win32File(HANDLE h) : h_(h) {}
  ~Win32File() override {
    if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
  }
  void Append(std::string_view bytes) override { WriteAll(h_, bytes); }
  void Sync() override {
    if (!::FlushFileBuffers(h_)) throw LastWin32Error();
  }
  void Close() override {
    if (h_ == INVALID_HANDLE_VALUE) return;
    if (!::CloseHandle(std::exchange(h_, INVALID_HANDLE_VALUE))) throw LastWin32Error();
  }

 private:
  HANDLE h_;
};

}  // namespace

std::unique_ptr<WritableFile> OpenOutputFile(std::string_view path, bool append) {
  const std::string host = HostPath(path);
  // Append mode writes every block at the end, whoever else appends.
  const HANDLE h = append ? OpenOrThrow(host, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS)
                          : OpenOrThrow(host, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
  return std::make_unique<Win32File>(h);
}

}  // namespace host

}  // namespace sevrik
