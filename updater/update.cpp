#include "updater/update.h"

#include "platform/error.h"
#include "platform/fs.h"
#include "platform/install.h"

namespace sevrik::updater {

void Update(const std::string& own_folder) {
  const std::string data = own_folder + "\\IPDATA";
  if (!DirectoryExists(data)) MakeDirectory(data);
  const std::string source = FindProgramFile(own_folder + "\\SEVRIK.exe");
  if (source.empty()) throw Error(err::kFileNotFound);
  std::string target = FindProgramFile(std::string(kTargetFolder) + "\\SEVRIK.exe");
  if (target.empty()) target = HostPath(kTargetFolder) + "/" + source.substr(source.find_last_of("\\/") + 1);
  InstallFileCopy(source, target);
}

std::string RunUpdate(const std::string& own_folder) {
  try {
    Update(own_folder);
    return "Update Completed";
  } catch (const Error& e) {
    return "Update Failed" + e.description();
  }
}

}  // namespace sevrik::updater
