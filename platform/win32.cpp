#include "platform/win32.h"

#include <vector>

namespace sevrik {
namespace {

std::wstring Widen(std::string_view text, UINT code_page) {
  if (text.empty()) return {};
  const int n = ::MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::string Narrow(const std::wstring& wide, UINT code_page) {
  if (wide.empty()) return {};
  // The UTF-8 page takes no default character; the narrow code page puts "?" for the rest.
  const char* fallback = code_page == CP_UTF8 ? nullptr : "?";
  const int n = ::WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      fallback, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, fallback, nullptr);
  return out;
}

}  // namespace

std::string ToAnsi(std::string_view utf8) { return Narrow(Widen(utf8, CP_UTF8), CP_ACP); }

std::string FromAnsi(std::string_view ansi) { return Narrow(Widen(ansi, CP_ACP), CP_UTF8); }

std::string SystemErrorText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
  if (buffer) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  if (text.empty()) return "system error " + std::to_string(code);
  return Narrow(text, CP_UTF8);
}

Error Win32Error(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND: return Error(err::kFileNotFound);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY: return Error(err::kPathNotFound);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: return Error(err::kPermissionDenied);
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_READY:
    case ERROR_BAD_UNIT: return Error(err::kDeviceUnavailable);
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE: return Error(err::kBadFileName);
    default:
      return Error(err::kPathFileAccess, StandardDescription(err::kPathFileAccess) + " (" + SystemErrorText(code) + ")");
  }
}

Error LastWin32Error() { return Win32Error(::GetLastError()); }

}  // namespace sevrik
