#include "interface/mdlCreateFlat.h"

namespace sevrik {

CheckList CheckDocument(Session& session, std::string_view type, const std::string& car) {
  if (type != "BC23" && type != "BC25")
    throw Error(err::kInvalidArgument, "Dokumen " + std::string(type) +
                                           " tidak dapat diperiksa: jenis dokumen ini tidak dibentuk EDIFACT.");
  const std::string table = "TBL" + std::string(type) + "HDR";
  if (session.db.Execute("SELECT CAR FROM " + table + " Where CAR = ?", {Variant(car)})->Eof())
    throw Error(err::kNoCurrentRecord,
                "Dokumen " + std::string(type) + " dengan CAR = " + car + " tidak ditemukan (" + table + ").");
  CheckList check;
  if (type == "BC23") CheckFlatBC23(session, car, check);
  else CheckFlatBC25(session, car, check);
  return check;
}

}  // namespace sevrik
