// What the Windows tests share beyond tests/testutil.h.
#pragma once

#include <string>
#include <vector>

namespace sevrik::test {

// The environment of this process with the entries "NAME=value" put in (replacing one of the
// same name, without regard to case; "NAME=" removes it), as the block CreateProcessA takes.
std::string EnvironmentBlock(const std::vector<std::string>& changes);

// A path beside the test programs (the build's tests/windows folder), in Windows form.
std::string TestProgram(const std::string& name);

// Copies a file (for the programs that a test lays out under another name).
void CopyProgram(const std::string& from, const std::string& to);

}  // namespace sevrik::test
