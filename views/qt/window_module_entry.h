// How the Linux program finds its window module: the shared library the Qt views are built
// into, and the function it exports.
#pragma once

#include "core/forms/window_module.h"

namespace sevrik {

// The module's file and its entry: WindowModule* SevrikWindowModule(int* argc, char** argv,
// const char* app_title, const char* qt_platform). The caller has checked that a display is
// reachable; `qt_platform` names the window platform to use when the environment names none.
inline constexpr const char* kWindowModuleFile = "libsevrik-qt.so";
inline constexpr const char* kWindowModuleEntry = "SevrikWindowModule";
using WindowModuleEntry = WindowModule* (*)(int* argc, char** argv, const char* app_title, const char* qt_platform);

}  // namespace sevrik
