// Installing a program file on Windows: the whole copy goes to a new file beside the target,
// reaches the disk, and only then takes the target's place.
#include <algorithm>
#include <cstdint>
#include <string>

#include "base/error.h"
#include "platform/fs.h"
#include "platform/fs_host.h"
#include "platform/install.h"
#include "platform/unique_file.h"
#include "platform/win32.h"
#include "platform/win32_files.h"

namespace sevrik {
namespace {

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

namespace {

std::string ReadWhole(HANDLE h) {
  std::string bytes;
  char buf[1 << 16];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(h, buf, sizeof buf, &got, nullptr)) throw LastWin32Error();
    if (got == 0) return bytes;
    bytes.append(buf, got);
  }
}

// The temporary file holds exactly `bytes`, as the disk gives them back.
void CompareCopy(HANDLE h, std::string_view bytes) {
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(h, &size)) throw LastWin32Error();
  if (static_cast<uint64_t>(size.QuadPart) != bytes.size())
    throw Error(err::kPathFileAccess, StandardDescription(err::kPathFileAccess) + " (the copy has " +
                                          std::to_string(size.QuadPart) + " of " + std::to_string(bytes.size()) +
                                          " bytes)");
  LARGE_INTEGER zero{};
  if (!::SetFilePointerEx(h, zero, nullptr, FILE_BEGIN)) throw LastWin32Error();
  char buf[1 << 16];
  for (size_t at = 0; at < bytes.size();) {
    DWORD got = 0;
    if (!::ReadFile(h, buf, static_cast<DWORD>(std::min(sizeof buf, bytes.size() - at)), &got, nullptr))
      throw LastWin32Error();
    if (got == 0 || bytes.substr(at, got) != std::string_view(buf, got))
      throw Error(err::kPathFileAccess,
                  StandardDescription(err::kPathFileAccess) + " (the copy differs from the new program)");
    at += got;
  }
}

// Removes the temporary files that a killed install left in `folder`. One that cannot be
// removed stays: it harms nothing but room.
void RemoveLeftovers(const std::string& folder, const std::string& target_name) {
  const std::string base = folder.ends_with('\\') ? folder : folder + "\\";
  WIN32_FIND_DATAA found;
  const HANDLE find = ::FindFirstFileA(ToAnsi(base + "*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = FromAnsi(found.cFileName);
    if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
        IsLeftoverTemporary(name, target_name))
      ::DeleteFileA(ToAnsi(base + name).c_str());
  } while (::FindNextFileA(find, &found));
  ::FindClose(find);
}

}  // namespace

void InstallFileCopy(std::string_view source, std::string_view target, const ContentCheck& check,
                     const StoredCopy& stored) {
  const std::string source_host = HostPath(source), target_host = HostPath(target);
  Copy c;
  if (IsDirectoryHost(source_host)) throw Error(err::kPathFileAccess);
  c.in = ::CreateFileA(ToAnsi(source_host).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (c.in == INVALID_HANDLE_VALUE) throw LastWin32Error();
  const std::string bytes = ReadWhole(c.in);
  if (check) check(bytes);

  const std::string folder = ParentFolderOf(target_host);
  if (!IsDirectoryHost(folder)) throw Error(err::kPathNotFound);
  const DWORD old = HostAttributes(target_host);
  if (old != INVALID_FILE_ATTRIBUTES) {
    if (old & FILE_ATTRIBUTE_DIRECTORY) throw Error(err::kPathFileAccess);
    // The rename would put the program in the link's place, and leave where it pointed as it was.
    if (old & FILE_ATTRIBUTE_REPARSE_POINT)
      throw Error(err::kPathFileAccess,
                  StandardDescription(err::kPathFileAccess) + " (the target is a symbolic link)");
    if (old & FILE_ATTRIBUTE_READONLY) throw Error(err::kPermissionDenied);
    // A program that is running keeps its file open without letting others write to it: the
    // replacement is refused here, before anything is copied.
    const HANDLE probe = ::CreateFileA(ToAnsi(target_host).c_str(), GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) throw LastWin32Error();
    ::CloseHandle(probe);
  }
  const size_t sep = target_host.find_last_of("\\/");
  RemoveLeftovers(folder, target_host.substr(sep + 1));

  // A hidden name (listings skip it), created new: a planted file of that name is never
  // written through.
  const std::string base = target_host.substr(0, sep + 1) + "." + target_host.substr(sep + 1) + ".tmp-";
  for (int attempt = 0; attempt < 100 && c.out == INVALID_HANDLE_VALUE; ++attempt) {
    const std::string temp = base + RandomSuffix();
    c.out = ::CreateFileA(ToAnsi(temp).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (c.out != INVALID_HANDLE_VALUE) c.temp = temp;
    else if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS) throw LastWin32Error();
  }
  if (c.out == INVALID_HANDLE_VALUE) throw Error(err::kPathFileAccess);

  const std::string kept = stored ? stored(bytes) : std::string();
  const std::string_view copy = stored ? std::string_view(kept) : std::string_view(bytes);
  for (size_t done = 0; done < copy.size();) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(copy.size() - done, 1u << 20));
    if (!::WriteFile(c.out, copy.data() + done, chunk, &written, nullptr)) throw LastWin32Error();
    done += written;
  }
  if (!::FlushFileBuffers(c.out)) throw LastWin32Error();
  CompareCopy(c.out, bytes);
  const HANDLE out = c.out;
  c.out = INVALID_HANDLE_VALUE;
  if (!::CloseHandle(out)) throw LastWin32Error();
  if (!::MoveFileExA(ToAnsi(c.temp).c_str(), ToAnsi(target_host).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    throw LastWin32Error();
  c.temp.clear();
}

}  // namespace host
ProgramFormat HostProgramFormat() { return ProgramFormat::Pe; }

}  // namespace sevrik
