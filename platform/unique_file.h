// New files created beside another without ever reaching an existing entry (POSIX): the
// temporary files of a safe replacement.
#pragma once

#include <functional>
#include <string>

namespace sevrik {

struct NewFile {
  int fd = -1;       // open for writing
  std::string path;  // host path
};

// Creates and opens a file in the host folder `folder` named "." + stem + ".tmp-" + suffix,
// exclusively: when an entry of that name exists (a file, a folder, a symlink, which is never
// followed), the next suffix is tried, up to 100 of them; then error 75. `mode` gives the
// permission bits, less the umask. The dot keeps the file out of wildcard listings.
// Any other failure is the file system's error.
NewFile CreateUniqueFile(const std::string& folder, const std::string& stem, unsigned mode,
                         const std::function<std::string()>& next_suffix);

// Ten random lower-case letters and digits.
std::string RandomSuffix();

}  // namespace sevrik
