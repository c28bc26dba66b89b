#include "interface/mdlCreateFlat.h"

#include "platform/error.h"

namespace sevrik {

// Temporary until the builders land.
void CreateFlatBC23(Session&, const std::string&) {
  throw Error(err::kActionNotSupported, "Aksi \"QUE BC23\" belum tersedia pada versi ini.");
}

}  // namespace sevrik
