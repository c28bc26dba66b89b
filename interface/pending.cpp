// TEMPORARY on branch h-cancel: the keyset update alone, without the pending file; main's
// version replaces this file when it is merged.
#include "interface/pending.h"

namespace sevrik {

void StoreDocumentStatus(const Session& session, const StatusUpdate& update) {
  auto rs = session.db.Open("select * from " + update.table + " where car = ?", {Variant(update.car)},
                            CursorType::Keyset);
  if (update.reference) rs->SetField("snrf", Variant(*update.reference));
  rs->SetField("Status", Variant(update.status));
  rs->Update();
}

}  // namespace sevrik
