// Installing a program file: a folder made, a file replaced by a whole copy or not at all.
// Paths have their Windows meaning, as in fs.h.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace sevrik {

// The executable formats of programs, and this system's.
enum class ProgramFormat {
  Elf,  // Linux: ELF header, program headers, section headers
  Pe,   // Windows: "MZ" header, e_lfanew, "PE\0\0", file header, optional header, section table
};
ProgramFormat HostProgramFormat();

// Creates the folder, one level. A missing parent is error 76; an existing entry of that name
// is error 75.
void MakeDirectory(std::string_view path);

// Checks the whole content of the file to install; throws an Error that gives the cause.
using ContentCheck = std::function<void(std::string_view bytes)>;

// Replaces `target` by a copy of `source` that carries the source's permission bits (its run
// bit), so that the target is at every moment either the old file or the whole copy:
// 1. the source is read whole and given to `check` (when set) before anything is touched;
// 2. hidden temporary files that an earlier install into the folder left behind, when it was
//    killed (IsLeftoverTemporary), are removed;
// 3. the copy goes to a new temporary file in the target's folder (created exclusively, never
//    through a symlink), is flushed to disk, read back and compared with what was checked,
//    and only then renamed over the target.
// On any failure the temporary file is removed and the target is untouched.
// Errors: a missing source 53; a missing target folder 76; a target that carries no write
// permission (the read-only attribute), a folder that cannot be written, a target in use: 70;
// a folder where a file is expected, a target that is a symbolic link (or another reparse
// point), a copy that differs from the source: 75 with the cause in its description.
void InstallFileCopy(std::string_view source, std::string_view target, const ContentCheck& check = {});

// Whether `name` (a name in the target's folder) is a temporary file of an install of
// `target_name`: "." + the name + ".tmp-" + 10 lower-case letters and digits (this system's
// temporary files), or "." + the name + "." + 6 letters and digits (earlier installs), where the
// name is the target's with or without ".exe", without regard to case.
bool IsLeftoverTemporary(std::string_view name, std::string_view target_name);

}  // namespace sevrik
