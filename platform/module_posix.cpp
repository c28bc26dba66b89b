#include <dlfcn.h>

#include "platform/fs.h"
#include "platform/module.h"

namespace sevrik {

void* LoadModuleSymbol(const std::string& file_name, const std::string& other_folder, const char* symbol,
                       std::string& why) {
  // Paths in full: a search by name would follow the search path of whoever calls dlopen,
  // which is not always the program (a sanitizer's runtime stands in between).
  std::string path = HostPath(ProgramFolder() + "/" + file_name);
  if (!FileExists(path) && !other_folder.empty()) path = other_folder + "/" + file_name;
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* e = ::dlerror();
    why = e ? e : "cannot load " + file_name;
    return nullptr;
  }
  void* address = ::dlsym(handle, symbol);
  if (!address) {
    const char* e = ::dlerror();
    why = e ? e : std::string("no ") + symbol + " in " + file_name;
  }
  return address;  // the module stays loaded for the program's life
}

}  // namespace sevrik
