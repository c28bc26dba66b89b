// A part of a program that is loaded only when it is needed (the windows, which bring the
// window system's libraries with them).
#pragma once

#include <string>

namespace sevrik {

// Loads the module `file_name` from the running program's folder, or else from
// `other_folder` (a host path; the build folder for a program run from elsewhere), and
// returns the address of `symbol`. On failure returns null and sets `why`.
void* LoadModuleSymbol(const std::string& file_name, const std::string& other_folder, const char* symbol,
                       std::string& why);

}  // namespace sevrik
