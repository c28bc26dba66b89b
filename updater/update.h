// The steps of Ranuvel Plug-In: installs the new SEVRIK delivered beside it into the customs
// application's folder.
#pragma once

#include <string>

#include "updater/program_image.h"

namespace sevrik::updater {

inline constexpr const char* kTitle = "Ranuvel Plug-In";
inline constexpr const char* kTargetFolder = "C:\\BeaCukai\\TPB25";

// Ensures own folder + "\IPDATA" (one level), then replaces the program in kTargetFolder by
// own folder + "\SEVRIK.exe" through InstallFileCopy: the new program must be whole in
// `format` (CheckProgramImage) before anything is replaced, and the old program stays whole
// until the new one is complete. The source is found with or without ".exe"; the target keeps
// the name of the program already there (with or without ".exe", in any case), else takes the
// source's. Errors go to the caller.
void Update(const std::string& own_folder, ProgramFormat format);

// How a run ended: the closing message and the program's exit status.
struct UpdateOutcome {
  std::string message;  // "Update Completed", or "Update Failed" followed directly by the cause
  int status;           // 0 after "Update Completed", 1 after "Update Failed"
};

// Runs Update and gives its outcome.
UpdateOutcome RunUpdate(const std::string& own_folder, ProgramFormat format);

}  // namespace sevrik::updater
