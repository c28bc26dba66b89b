// Files read and changed in pieces on Windows. Paths are our UTF-8 texts; they reach the
// narrow functions in the system's code page.
#include <algorithm>
#include <utility>

#include "base/error.h"
#include "platform/file_stream.h"
#include "platform/fs.h"
#include "platform/fs_host.h"
#include "platform/unique_file.h"
#include "platform/win32.h"

namespace sevrik {
namespace {

HANDLE H(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }
std::intptr_t Id(HANDLE h) { return h == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<std::intptr_t>(h); }

DWORD Attributes(const std::string& host) { return ::GetFileAttributesA(ToAnsi(host).c_str()); }

// A read-only file is neither written nor replaced, as the system's own programs do.
void CheckWritable(const std::string& host) {
  const DWORD a = Attributes(host);
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY)) throw Error(err::kPermissionDenied);
}

HANDLE OpenFile(const std::string& host, DWORD access, DWORD disposition) {
  if (IsDirectoryHost(host)) throw Error(err::kPathFileAccess);
  if (access != GENERIC_READ) CheckWritable(host);
  const HANDLE h = ::CreateFileA(ToAnsi(host).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw LastWin32Error();
  return h;
}

}  // namespace

LineReader::LineReader(std::string_view path, Links links) {
  const std::string host = HostPath(path);
  if (links == Links::Follow) {
    handle_ = Id(OpenFile(host, GENERIC_READ, OPEN_EXISTING));
    return;
  }
  if (IsDirectoryHost(host)) throw Error(err::kPathFileAccess);
  // The reparse point itself is opened, never what it names, and then refused.
  const HANDLE h = ::CreateFileA(ToAnsi(host).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw LastWin32Error();
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(h, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    ::CloseHandle(h);
    throw Error(err::kPathFileAccess, StandardDescription(err::kPathFileAccess) + " (" +
                                          host.substr(host.find_last_of("\\/") + 1) + " is a symbolic link)");
  }
  handle_ = Id(h);
}

LineReader::~LineReader() {
  if (handle_ != -1) ::CloseHandle(H(handle_));
}

size_t LineReader::ReadSome(std::intptr_t handle, char* at, size_t n) {
  DWORD got = 0;
  if (!::ReadFile(H(handle), at, static_cast<DWORD>(n), &got, nullptr)) throw LastWin32Error();
  return got;
}

FileReplacement::FileReplacement(std::string_view path) : path_(HostPath(path)) {
  if (IsDirectoryHost(path_)) throw Error(err::kPathFileAccess);
  CheckWritable(path_);
  const size_t sep = path_.find_last_of("\\/");
  const std::string stem = path_.substr(sep == std::string::npos ? 0 : sep + 1, 200);
  const std::string base = path_.substr(0, sep == std::string::npos ? 0 : sep + 1);
  // A new name that no entry has (CREATE_NEW), so that nothing planted is written through.
  for (int attempt = 0; attempt < 100 && handle_ == -1; ++attempt) {
    const std::string temp = base + "." + stem + ".tmp-" + RandomSuffix();
    const HANDLE h =
        ::CreateFileA(ToAnsi(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      handle_ = Id(h);
      temp_ = temp;
    } else if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS) {
      throw LastWin32Error();
    }
  }
  if (handle_ == -1) throw Error(err::kPathFileAccess);
}

FileReplacement::~FileReplacement() {
  if (handle_ != -1) ::CloseHandle(H(handle_));
  if (!temp_.empty()) ::DeleteFileA(ToAnsi(temp_).c_str());
}

void FileReplacement::Commit() {
  Flush();
  if (!::FlushFileBuffers(H(handle_))) throw LastWin32Error();
  if (!::CloseHandle(H(std::exchange(handle_, -1)))) throw LastWin32Error();
  if (!::MoveFileExA(ToAnsi(temp_).c_str(), ToAnsi(path_).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    throw LastWin32Error();
  temp_.clear();
}

void FileReplacement::CommitAsRemoval() {
  CheckWritable(path_);
  if (!::DeleteFileA(ToAnsi(path_).c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND) throw LastWin32Error();
}

LineAppender::LineAppender(std::string_view path) {
  const std::string host = HostPath(path);
  const HANDLE h = OpenFile(host, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
  handle_ = Id(h);
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(h, &size)) throw LastWin32Error();
  original_size_ = static_cast<std::uint64_t>(size.QuadPart);
  if (original_size_ > 0) {
    LARGE_INTEGER at;
    at.QuadPart = size.QuadPart - 1;
    char last = 0;
    DWORD got = 0;
    if (!::SetFilePointerEx(h, at, nullptr, FILE_BEGIN) || !::ReadFile(h, &last, 1, &got, nullptr))
      throw LastWin32Error();
    if (last != '\n') buffer_ = "\r\n";
  }
  LARGE_INTEGER zero{};
  if (!::SetFilePointerEx(h, zero, nullptr, FILE_END)) throw LastWin32Error();
}

LineAppender::~LineAppender() {
  if (!committed_) CutBack();
  if (handle_ != -1) ::CloseHandle(H(handle_));
}

void LineAppender::CutBack() noexcept {
  if (handle_ == -1) return;
  buffer_.clear();
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(original_size_);
  if (::SetFilePointerEx(H(handle_), at, nullptr, FILE_BEGIN) && ::SetEndOfFile(H(handle_)))
    ::FlushFileBuffers(H(handle_));
}

void LineAppender::Commit() {
  Flush();
  if (!::FlushFileBuffers(H(handle_))) {
    const Error e = LastWin32Error();
    CutBack();
    throw e;
  }
  committed_ = true;
}

}  // namespace sevrik
