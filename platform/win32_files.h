// What the Win32 files of the file layer share (fs_win32.cpp, file_stream_win32.cpp,
// install_win32.cpp): a path's attributes, the read-only check, opening with our errors, and
// whole writes.
#pragma once

#include <string>
#include <string_view>

#include "platform/win32.h"

namespace sevrik {

// The attributes of a host path, or INVALID_FILE_ATTRIBUTES.
DWORD HostAttributes(const std::string& host);
// A read-only file is not written, nor replaced: error 70. The system refuses it by itself;
// the check says so for a privileged user too (Wine run as root does not refuse).
void CheckWritable(const std::string& host);
// Opens a file with CreateFileA's `access`, `share`, `disposition` and `flags`; a folder of
// that name is 75, a read-only file opened for anything but reading 70.
HANDLE OpenOrThrow(const std::string& host, DWORD access, DWORD share, DWORD disposition,
                   DWORD flags = FILE_ATTRIBUTE_NORMAL);
// Writes all of `bytes` at the file's position, or raises the system's error.
void WriteAll(HANDLE h, std::string_view bytes);

}  // namespace sevrik
