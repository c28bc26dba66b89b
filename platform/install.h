// Installing a program file: a folder made, a file replaced by a whole copy or not at all.
// Paths have their Windows meaning, as in fs.h.
#pragma once

#include <string_view>

namespace sevrik {

// Creates the folder, one level. A missing parent is error 76; an existing entry of that name
// is error 75.
void MakeDirectory(std::string_view path);

// Replaces `target` by a copy of `source` that carries the source's permission bits (its run
// bit), so that the target is at every moment either the old file or the whole copy: the copy
// goes to a new temporary file in the target's folder (created exclusively, never through a
// symlink), is flushed to disk and checked against the source's size, and only then renamed
// over the target. On any failure the temporary file is removed and the target is untouched.
// Errors: a missing source 53; a missing target folder 76; a target that carries no write
// permission (the read-only attribute), a folder that cannot be written, a target in use: 70;
// a folder where a file is expected: 75.
void InstallFileCopy(std::string_view source, std::string_view target);

}  // namespace sevrik
