#include "updater/update.h"

#include "base/error.h"
#include "platform/fs.h"
#include "platform/install.h"

namespace sevrik::updater {

void Update(const std::string& own_folder, ProgramFormat format) {
  const std::string data = own_folder + "\\IPDATA";
  if (!DirectoryExists(data)) MakeDirectory(data);
  const std::string source = FindProgramFile(own_folder + "\\SEVRIK.exe");
  if (source.empty()) throw Error(err::kFileNotFound);
  std::string target = FindProgramFile(std::string(kTargetFolder) + "\\SEVRIK.exe");
  if (target.empty()) target = HostPath(kTargetFolder) + "/" + source.substr(source.find_last_of("\\/") + 1);
  InstallFileCopy(source, target, [format](std::string_view bytes) { CheckProgramImage(bytes, format); });
}

UpdateOutcome RunUpdate(const std::string& own_folder, ProgramFormat format) {
  try {
    Update(own_folder, format);
    return {"Update Completed", 0};
  } catch (const Error& e) {
    return {"Update Failed" + e.description(), 1};
  } catch (const std::exception& e) {
    // Memory exhausted by a huge delivered file, say: still a failure, said as one.
    return {"Update Failed" + std::string(e.what()), 1};
  }
}

}  // namespace sevrik::updater
