// The program's name and version, the connection string it opens the application's database
// with, and what a run that waits for another one tells the user.
#pragma once

#include <string>
#include <string_view>

namespace sevrik {

inline constexpr int kVersionMajor = 2, kVersionMinor = 0, kVersionRevision = 0;
inline constexpr const char* kAppTitle = "SEVRIK";
inline constexpr const char* kDatabasePassword = "TarovLinesKepas";

// "SEVRIK Ver. 2.0.0", CR LF, "Harus dijalankan dari aplikasi TPB".
inline std::string VersionNotice() {
  return "SEVRIK Ver. " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
         std::to_string(kVersionRevision) + "\r\nHarus dijalankan dari aplikasi TPB";
}

// "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<folder>\dbTPB.mdb;Jet oledb:Database password=..."
inline std::string BuildConnectionString(std::string_view program_folder) {
  return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + std::string(program_folder) +
         "\\dbTPB.mdb;Jet oledb:Database password=" + kDatabasePassword;
}

// What a run that waits for another one tells the user, once.
inline constexpr const char* kWaitingNotice = "Menunggu proses SEVRIK lain selesai...";

}  // namespace sevrik
