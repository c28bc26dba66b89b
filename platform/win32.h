// The Windows headers for the Win32 files of the platform layer, and what those files share.
// Include this instead of <windows.h>: it keeps the headers small. No function of ours is
// named like a Win32 macro, so the headers may come in any order; the Win32 functions are
// called by their explicit names (DeleteFileA, MessageBoxA).
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>

#include "base/error.h"

namespace sevrik {

// Text between our UTF-8 and the narrow ("A") functions' code page: a character that the
// code page lacks becomes "?".
std::string ToAnsi(std::string_view utf8);
std::string FromAnsi(std::string_view ansi);

// The system's error code as our error: 53 file not found, 76 path not found, 70 access
// denied or in use by another program, 68 a drive that is not there or not ready, 52 a bad
// name; anything else 75 with the system's own text.
Error Win32Error(DWORD code);
// The same for GetLastError().
Error LastWin32Error();

// The system's own text for an error code, without the line end.
std::string SystemErrorText(DWORD code);

}  // namespace sevrik
