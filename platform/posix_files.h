// What the POSIX files of the file layer share (fs_posix.cpp, file_stream_posix.cpp,
// install_posix.cpp): a system call's failure as the Error users know, and whole reads and
// writes of a descriptor.
#pragma once

#include <string>
#include <string_view>

namespace sevrik {

// errno `e` of a call on the host path `host`: ENOENT in a folder that is missing is error 76,
// else the errno's own number (53, 70, 61, ...).
[[noreturn]] void ThrowOs(int e, const std::string& host);
// open(2) with O_CLOEXEC and mode 0666 (less the umask); a folder of that name is error 75.
int OpenOrThrow(const std::string& host, int flags);
// Writes all of `bytes`, or raises the error for `host`.
void WriteAll(int fd, std::string_view bytes, const std::string& host);
// The rest of the descriptor's file, or the error for `host`.
std::string ReadAll(int fd, const std::string& host);

}  // namespace sevrik
