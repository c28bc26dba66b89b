// sevrik-workspace: lays out a program folder and a package folder with a demo database.
//   sevrik-workspace --program DIR --package DIR [--setting TEXT] [--network NAME]
//                    [--bc23-status VALUE] [--empty] [--standin BIN_DIR [--p-edi] [--no-ranuvel]]
// --standin lays the stand-in translator package (built in BIN_DIR) into the package folder.
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

#include "tools/package/package.h"
#include "tools/workspace.h"

int main(int argc, char** argv) {
  sevrik::tools::WorkspaceOptions o;
  sevrik::tools::PackageOptions package;
  std::string standin;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto next = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::cerr << "sevrik-workspace: " << a << " needs a value\n";
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--program") o.program_folder = next();
    else if (a == "--package") o.package_folder = next();
    else if (a == "--setting") o.package_setting = next();
    else if (a == "--network") o.network_profile = next();
    else if (a == "--bc23-status") o.bc23_status = next();
    else if (a == "--empty") o.demo_data = false;
    else if (a == "--standin") standin = next();
    else if (a == "--p-edi") package.p_edi = true;
    else if (a == "--no-ranuvel") package.ranuvel = false;
    else {
      std::cerr << "usage: sevrik-workspace --program DIR --package DIR [--setting TEXT] [--network NAME]"
                   " [--bc23-status VALUE] [--empty] [--standin BIN_DIR [--p-edi] [--no-ranuvel]]\n";
      return 2;
    }
  }
  if (o.program_folder.empty() || o.package_folder.empty()) {
    std::cerr << "sevrik-workspace: --program and --package are required\n";
    return 2;
  }
  try {
    sevrik::tools::LayOutWorkspace(o);
    if (!standin.empty()) sevrik::tools::LayOutPackage(o.package_folder, standin, package);
  } catch (const std::exception& e) {
    std::cerr << "sevrik-workspace: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
