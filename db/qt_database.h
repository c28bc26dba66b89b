// Qt SQL behind the Database seam. An SQLite 3 file is the embedded default; a Jet file is
// opened through ODBC where the machine has a driver for it.
#pragma once

#include <memory>
#include <string>

#include "db/database.h"

namespace sevrik {

// Opens the database named by the connection string's "Data Source" (a Windows path).
// A missing file, a file that is no database, or a driver failure is an Error. The program
// never creates its database. A locked database is waited for (several seconds).
// Needs a QCoreApplication for the driver plugins.
std::unique_ptr<Database> ConnectDatabase(const std::string& connection_string);

}  // namespace sevrik
