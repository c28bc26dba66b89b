#include <dlfcn.h>

#include "platform/fs.h"
#include "platform/module.h"

namespace sevrik {

void* LoadModuleSymbol(const std::string& file_name, const char* symbol, std::string& why) {
  const std::string beside = HostPath(ProgramFolder() + "/" + file_name);
  void* handle = FileExistsPlain(beside) ? ::dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL) : nullptr;
  if (!handle) handle = ::dlopen(file_name.c_str(), RTLD_NOW | RTLD_LOCAL);
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
