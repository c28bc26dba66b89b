// Writes an SQLite file for the demo and the tests: the schema, then rows with bound values.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "db/variant.h"

struct sqlite3;

namespace sevrik::tools {

// The project's schema file (db/schema.sql), built into the tools.
const std::string& SchemaSql();

class SqliteFile {
 public:
  // Opens (creating when `create`) the file at a host path. Failures throw std::runtime_error.
  SqliteFile(const std::string& host_path, bool create);
  ~SqliteFile();
  SqliteFile(const SqliteFile&) = delete;
  SqliteFile& operator=(const SqliteFile&) = delete;

  void Exec(const std::string& sql);
  using Row = std::vector<std::pair<std::string, Variant>>;
  void Insert(const std::string& table, const Row& row);
  // The first column of the first row as text ("" for null or no row).
  std::string QueryText(const std::string& sql, const std::vector<Variant>& params = {});

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace sevrik::tools
