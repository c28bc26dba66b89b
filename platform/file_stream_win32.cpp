// The host's streamed files on Windows: handles read in pieces, a replacement through a new
// temporary file moved over the old one, and an append that can be cut back. Paths are our
// UTF-8 texts; they reach the narrow functions in the system's code page.
#include <algorithm>
#include <utility>

#include "base/error.h"
#include "platform/fs.h"
#include "platform/fs_host.h"
#include "platform/unique_file.h"
#include "platform/win32.h"
#include "platform/win32_files.h"

namespace sevrik {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The reparse point itself is opened, never what it names, and then refused.
HANDLE OpenNotThroughLink(const std::string& host) {
  const HANDLE h = OpenOrThrow(host, GENERIC_READ, kShareAll, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT);
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(h, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    ::CloseHandle(h);
    throw Error(err::kPathFileAccess, StandardDescription(err::kPathFileAccess) + " (" +
                                          host.substr(host.find_last_of("\\/") + 1) + " is a symbolic link)");
  }
  return h;
}

class Win32Input final : public ReadableFile {
 public:
  explicit Win32Input(HANDLE h) : h_(h) {}
  ~Win32Input() override { ::CloseHandle(h_); }
  size_t Read(char* at, size_t n) override {
    DWORD got = 0;
    if (!::ReadFile(h_, at, static_cast<DWORD>(std::min<size_t>(n, 1u << 30)), &got, nullptr))
      throw LastWin32Error();
    return got;
  }

 private:
  HANDLE h_;
};

class Win32Replacement final : public ReplacementFile {
 public:
  explicit Win32Replacement(std::string host) : host_(std::move(host)) {
    if (IsDirectoryHost(host_)) throw Error(err::kPathFileAccess);
    CheckWritable(host_);
    const size_t sep = host_.find_last_of("\\/");
    const std::string stem = host_.substr(sep == std::string::npos ? 0 : sep + 1, 200);
    const std::string base = host_.substr(0, sep == std::string::npos ? 0 : sep + 1);
    // A new name that no entry has (CREATE_NEW), so that nothing planted is written through.
    for (int attempt = 0; attempt < 100 && h_ == INVALID_HANDLE_VALUE; ++attempt) {
      const std::string temp = base + "." + stem + ".tmp-" + RandomSuffix();
      h_ = ::CreateFileA(ToAnsi(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (h_ != INVALID_HANDLE_VALUE) temp_ = temp;
      else if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS) throw LastWin32Error();
    }
    if (h_ == INVALID_HANDLE_VALUE) throw Error(err::kPathFileAccess);
  }
  ~Win32Replacement() override {
    if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
    if (!temp_.empty()) ::DeleteFileA(ToAnsi(temp_).c_str());
  }
  void Append(std::string_view bytes) override { WriteAll(h_, bytes); }
  void Commit() override {
    if (!::FlushFileBuffers(h_)) throw LastWin32Error();
    if (!::CloseHandle(std::exchange(h_, INVALID_HANDLE_VALUE))) throw LastWin32Error();
    if (!::MoveFileExA(ToAnsi(temp_).c_str(), ToAnsi(host_).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      throw LastWin32Error();
    temp_.clear();
  }
  void CommitAsRemoval() override {
    CheckWritable(host_);
    if (!::DeleteFileA(ToAnsi(host_).c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND) throw LastWin32Error();
  }

 private:
  std::string host_;
  std::string temp_;
  HANDLE h_ = INVALID_HANDLE_VALUE;
};

class Win32Appending final : public AppendingFile {
 public:
  explicit Win32Appending(const std::string& host)
      : h_(OpenOrThrow(host, GENERIC_READ | GENERIC_WRITE, kShareAll, OPEN_ALWAYS)) {
    LARGE_INTEGER size;
    LARGE_INTEGER zero{};
    if (!::GetFileSizeEx(h_, &size) || !::SetFilePointerEx(h_, zero, nullptr, FILE_END)) {
      const Error e = LastWin32Error();
      ::CloseHandle(h_);
      throw e;
    }
    size_ = static_cast<std::uint64_t>(size.QuadPart);
  }
  ~Win32Appending() override { ::CloseHandle(h_); }
  std::uint64_t Size() override { return size_; }
  char LastByte() override {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(size_ - 1);
    LARGE_INTEGER zero{};
    char last = 0;
    DWORD got = 0;
    if (!::SetFilePointerEx(h_, at, nullptr, FILE_BEGIN) || !::ReadFile(h_, &last, 1, &got, nullptr) ||
        !::SetFilePointerEx(h_, zero, nullptr, FILE_END))
      throw LastWin32Error();
    return last;
  }
  void Append(std::string_view bytes) override { WriteAll(h_, bytes); }
  void Sync() override {
    if (!::FlushFileBuffers(h_)) throw LastWin32Error();
  }
  void CutBack(std::uint64_t size) noexcept override {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(size);
    if (::SetFilePointerEx(h_, at, nullptr, FILE_BEGIN) && ::SetEndOfFile(h_)) ::FlushFileBuffers(h_);
  }

 private:
  HANDLE h_;
  std::uint64_t size_ = 0;
};

}  // namespace

namespace host {

std::unique_ptr<ReadableFile> OpenInputFile(std::string_view path, Links links) {
  const std::string host = HostPath(path);
  return std::make_unique<Win32Input>(links == Links::Refuse ? OpenNotThroughLink(host)
                                                             : OpenOrThrow(host, GENERIC_READ, kShareAll, OPEN_EXISTING));
}

std::unique_ptr<ReplacementFile> OpenReplacement(std::string_view path) {
  return std::make_unique<Win32Replacement>(HostPath(path));
}

std::unique_ptr<AppendingFile> OpenAppending(std::string_view path) {
  return std::make_unique<Win32Appending>(HostPath(path));
}

}  // namespace host
}  // namespace sevrik
