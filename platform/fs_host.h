// The file layer's tests of a host path, one implementation per system; the parts of the
// layer shared by every system (fs.cpp) build on them.
#pragma once

#include <string>

namespace sevrik {

bool IsFileHost(const std::string& host);       // an existing plain file
bool IsDirectoryHost(const std::string& host);  // an existing folder

}  // namespace sevrik
