// The steps of Ranuvel Plug-In: installs the new SEVRIK delivered beside it into the customs
// application's folder.
#pragma once

#include <string>

namespace sevrik::updater {

inline constexpr const char* kTitle = "Ranuvel Plug-In";
inline constexpr const char* kTargetFolder = "C:\\BeaCukai\\TPB25";

// Ensures own folder + "\IPDATA" (one level), then replaces the program in kTargetFolder by
// own folder + "\SEVRIK.exe" through InstallFileCopy: the old program stays whole until the
// new one is complete. The source is found with or without ".exe"; the target keeps the name
// of the program already there (with or without ".exe", in any case), else takes the
// source's. Errors go to the caller.
void Update(const std::string& own_folder);

// Runs Update and gives the closing message: "Update Completed", or "Update Failed" followed
// directly by the error's description.
std::string RunUpdate(const std::string& own_folder);

}  // namespace sevrik::updater
