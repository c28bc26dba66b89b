#include "core/flat/builders.h"
#include "core/lookups/document_types.h"

namespace sevrik {

CheckList CheckDocument(Session& session, std::string_view type, const std::string& car) {
  const DocumentType* known = FindDocumentType(type);
  if (!known || known->route == FlatRoute::None)
    throw Error(err::kInvalidArgument, "Dokumen " + std::string(type) +
                                           " tidak dapat diperiksa: jenis dokumen ini tidak dibentuk EDIFACT.");
  const std::string table = known->header_table;
  if (session.db.Execute("SELECT CAR FROM " + table + " Where CAR = ?", {Variant(car)})->Eof())
    throw Error(err::kNoCurrentRecord,
                "Dokumen " + std::string(type) + " dengan CAR = " + car + " tidak ditemukan (" + table + ").");
  CheckList check;
  if (known->route == FlatRoute::Queued) CheckFlatBC23(session, car, check);
  else CheckFlatBC25(session, car, check);
  return check;
}

}  // namespace sevrik
