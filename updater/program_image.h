// Whether a file is a whole program of the system's executable format, before it replaces the
// program that the customs application starts: an empty or cut-short file, or a file of
// another kind, would leave an installation that cannot start or crashes.
#pragma once

#include <string>
#include <string_view>

#include "platform/install.h"

namespace sevrik::updater {

using sevrik::ProgramFormat;

// Empty when `bytes` is a whole program of `format`: its headers are there and every table and
// section that the headers name lies inside the file (offset + size <= file size), and it is a
// program, not a library: an ELF executable, or a position-independent one with a program
// interpreter; a PE image without the DLL flag, of the GUI or console subsystem. Otherwise
// the cause, in English, as the system's own error texts are ("the file is empty", "section 3
// ends past the end of the file").
std::string ProgramImageProblem(std::string_view bytes, ProgramFormat format);

// Throws error 75 whose description gives the cause when ProgramImageProblem finds one:
// "Path/File access error (the new program is not a whole program: <cause>)".
void CheckProgramImage(std::string_view bytes, ProgramFormat format);

}  // namespace sevrik::updater
