#include "platform/args.h"
#include "platform/win32.h"

namespace sevrik {

// The C runtime's argv has already lost the quotes and the blanks the caller wrote; the
// system's own line keeps them.
std::string ProgramArgumentText(int, const char* const*) { return FromAnsi(ArgumentTextOf(::GetCommandLineA())); }

}  // namespace sevrik
