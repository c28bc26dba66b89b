// The deletion of the communication logs ("logdel").
#pragma once

#include "core/lookups/session.h"

namespace sevrik {

// Asks "Anda yakin ingin menghapus semua log komunikasi?" (title "Perhatian", Yes/No). On Yes
// empties tblKomLog, then shows and deletes each program folder + "\LogKom\*.TXT" in listing
// order. The first file that cannot be deleted stops it, with its error naming the file: the
// files before it are gone, the rest stay. No "LogKom" folder: nothing to delete.
void DeleteCommLogs(const Session& session);

}  // namespace sevrik
