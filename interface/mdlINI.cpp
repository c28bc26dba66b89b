#include "interface/mdlINI.h"

#include "platform/ini.h"

namespace sevrik {

std::string ReadIniString(std::string_view file_name, std::string_view section, std::string_view key,
                          std::string_view default_value) {
  return ReadProfileString(section, key, default_value, 255, file_name);
}

}  // namespace sevrik
