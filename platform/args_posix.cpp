#include "platform/args.h"

namespace sevrik {

std::string ProgramArgumentText(int argc, const char* const* argv) { return ArgumentText(argc, argv); }

}  // namespace sevrik
