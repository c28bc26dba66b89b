// Lays out a program folder and a package folder as an installation has them, and fills
// the program's database: the schema, and the demo documents when asked.
#pragma once

#include <string>
#include <string_view>

#include "tools/sqlite_file.h"

namespace sevrik::tools {

// The own EDI number as the customs application stores it: the inverse of DecodeEdiNumber
// for a text without blanks at its ends.
std::string EncodeEdiNumber(std::string_view number);

struct WorkspaceOptions {
  std::string program_folder;   // host path; gets dbTPB.mdb, TPB.ini, LogKom/
  std::string package_folder;   // host path; gets ipdata/, entity0/flat/, entity0/log/
  std::string package_setting;  // stored as FOLDERNUVAR; empty: the package folder itself
  std::string network_profile = "NET1";
  std::string bc23_status = "4";  // [Status] BC23 of TPB.ini; empty: no TPB.ini
  bool demo_data = true;
};

// Creates the folders (and their parents), a new dbTPB.mdb with the schema and the settings
// row, and TPB.ini. An existing dbTPB.mdb is replaced.
void LayOutWorkspace(const WorkspaceOptions& options);

// The demo documents: two BC 2.3, two BC 2.5 and one BC 4.0 with their items, tariffs,
// facilities, charges, containers, packages and reference documents; partners; the own EDI
// number (stored scrambled); the status names.
void FillDemoData(SqliteFile& db);

// Keys of the demo documents.
inline constexpr const char* kDemoBC23Car = "05010000020220261201000001";
inline constexpr const char* kDemoBC23Car2 = "05010000020220261203000002";
inline constexpr const char* kDemoBC25Car = "05010000020220261202000003";
inline constexpr const char* kDemoBC25Car2 = "05010000020220261204000004";
inline constexpr const char* kDemoOwnEdiNumber = "TPBSVK0000123456";

// Copies a program file into a folder, keeping its name unless `name` is given; the copy is
// executable.
void InstallProgram(const std::string& source, const std::string& folder, const std::string& name = {});

}  // namespace sevrik::tools
