// Lays the stand-in translator package into a package folder.
#pragma once

#include <string>

namespace sevrik::tools {

struct PackageOptions {
  bool ranuvel = true;  // "ranuvel.exe"
  bool p_edi = false;   // the older translator: "p_edi.exe" marker and "EXPORT.exe"
};

// Copies the stand-in programs from `bin_dir` (the build's tools/package folder) and writes the
// profiles and "entity0\log\status.txt".
void LayOutPackage(const std::string& package_folder, const std::string& bin_dir, const PackageOptions& options = {});

}  // namespace sevrik::tools
