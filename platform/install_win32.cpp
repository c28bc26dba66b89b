// Installing a program file on Windows: the whole copy goes to a new file beside the target,
// reaches the disk, and only then takes the target's place.
#include <string>

#include "platform/error.h"
#include "platform/fs.h"
#include "platform/fs_host.h"
#include "platform/install.h"
#include "platform/unique_file.h"
#include "platform/win32.h"

namespace sevrik {
namespace {

std::string ParentOf(const std::string& host) {
  const size_t sep = host.find_last_of("\\/");
  if (sep == std::string::npos) return ".";
  if (sep == 0 || (sep == 2 && host[1] == ':')) return host.substr(0, sep + 1);
  return host.substr(0, sep);
}

DWORD Attributes(const std::string& host) { return ::GetFileAttributesA(ToAnsi(host).c_str()); }

bool IsDirectory(const std::string& host) {
  const DWORD a = Attributes(host);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Closes the handles and removes the temporary file unless the copy was put in place.
class Copy {
 public:
  ~Copy() {
    if (in != INVALID_HANDLE_VALUE) ::CloseHandle(in);
    if (out != INVALID_HANDLE_VALUE) ::CloseHandle(out);
    if (!temp.empty()) ::DeleteFileA(ToAnsi(temp).c_str());
  }
  HANDLE in = INVALID_HANDLE_VALUE, out = INVALID_HANDLE_VALUE;
  std::string temp;
};

}  // namespace

namespace host {

void MakeDirectory(std::string_view path) {
  const std::string host = HostPath(path);
  if (::CreateDirectoryA(ToAnsi(host).c_str(), nullptr)) return;
  const DWORD code = ::GetLastError();
  if (code == ERROR_ALREADY_EXISTS) throw Error(err::kPathFileAccess);
  throw Win32Error(code);
}

void InstallFileCopy(std::string_view source, std::string_view target) {
  const std::string source_host = HostPath(source), target_host = HostPath(target);
  Copy c;
  if (IsDirectory(source_host)) throw Error(err::kPathFileAccess);
  c.in = ::CreateFileA(ToAnsi(source_host).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (c.in == INVALID_HANDLE_VALUE) throw LastWin32Error();
  LARGE_INTEGER source_size;
  if (!::GetFileSizeEx(c.in, &source_size)) throw LastWin32Error();

  const std::string folder = ParentOf(target_host);
  if (!IsDirectory(folder)) throw Error(err::kPathNotFound);
  const DWORD old = Attributes(target_host);
  if (old != INVALID_FILE_ATTRIBUTES) {
    if (old & FILE_ATTRIBUTE_DIRECTORY) throw Error(err::kPathFileAccess);
    if (old & FILE_ATTRIBUTE_READONLY) throw Error(err::kPermissionDenied);
    // A program that is running keeps its file open without letting others write to it: the
    // replacement is refused here, before anything is copied.
    const HANDLE probe = ::CreateFileA(ToAnsi(target_host).c_str(), GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) throw LastWin32Error();
    ::CloseHandle(probe);
  }

  // A hidden name (listings skip it), created new: a planted file of that name is never
  // written through.
  const size_t sep = target_host.find_last_of("\\/");
  const std::string base = target_host.substr(0, sep + 1) + "." + target_host.substr(sep + 1) + ".";
  for (int attempt = 0; attempt < 100 && c.out == INVALID_HANDLE_VALUE; ++attempt) {
    const std::string temp = base + RandomSuffix();
    c.out = ::CreateFileA(ToAnsi(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (c.out != INVALID_HANDLE_VALUE) c.temp = temp;
    else if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS) throw LastWin32Error();
  }
  if (c.out == INVALID_HANDLE_VALUE) throw Error(err::kPathFileAccess);

  char buf[1 << 16];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(c.in, buf, sizeof buf, &got, nullptr)) throw LastWin32Error();
    if (got == 0) break;
    for (DWORD done = 0; done < got;) {
      DWORD written = 0;
      if (!::WriteFile(c.out, buf + done, got - done, &written, nullptr)) throw LastWin32Error();
      done += written;
    }
  }
  if (!::FlushFileBuffers(c.out)) throw LastWin32Error();
  LARGE_INTEGER copy_size;
  if (!::GetFileSizeEx(c.out, &copy_size)) throw LastWin32Error();
  if (copy_size.QuadPart != source_size.QuadPart)
    throw Error(err::kPathFileAccess, "Path/File access error (the copy has " + std::to_string(copy_size.QuadPart) +
                                          " of " + std::to_string(source_size.QuadPart) + " bytes)");
  const HANDLE out = c.out;
  c.out = INVALID_HANDLE_VALUE;
  if (!::CloseHandle(out)) throw LastWin32Error();
  if (!::MoveFileExA(ToAnsi(c.temp).c_str(), ToAnsi(target_host).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    throw LastWin32Error();
  c.temp.clear();
}

}  // namespace host
}  // namespace sevrik
