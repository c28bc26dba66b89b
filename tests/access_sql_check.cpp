#include "tests/access_sql_check.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "db/odbc_database.h"

namespace sevrik::test {
namespace {

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool LooksLikeDate(const std::string& literal) {
  if (literal.size() < 10) return false;
  for (size_t i = 0; i < 10; ++i)
    if (i == 4 || i == 7 ? literal[i] != '-' : !std::isdigit(static_cast<unsigned char>(literal[i]))) return false;
  return true;
}

}  // namespace

std::vector<std::string> AccessSqlFaults(const std::string& sql) {
  std::vector<std::string> faults;
  std::vector<std::string> clause{""};  // the clause at each depth of parentheses
  std::string previous;                 // the word before, upper case
  for (size_t i = 0; i < sql.size(); ++i) {
    const char c = sql[i];
    if (c == '\'') {
      const size_t end = sql.find('\'', i + 1);
      const std::string literal = sql.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
      if (previous == "DATE" || previous == "TIMESTAMP" || previous == "TIME" || LooksLikeDate(literal))
        faults.push_back("a date literal '" + literal + "'");
      if (end == std::string::npos) break;
      i = end;
      previous.clear();
    } else if (c == '"' || c == '`') {
      faults.push_back("a quoted identifier");
      const size_t end = sql.find(c, i + 1);
      if (end == std::string::npos) break;
      i = end;
    } else if (c == '#') {
      faults.push_back("a date literal between #");
    } else if (c == '|' && i + 1 < sql.size() && sql[i + 1] == '|') {
      faults.push_back("the || operator");
      ++i;
    } else if (c == '(') {
      clause.push_back(clause.back());
      previous.clear();
    } else if (c == ')') {
      if (clause.size() > 1) clause.pop_back();
      previous.clear();
    } else if (c == '?') {
      if (clause.back() != "WHERE" && clause.back() != "SET")
        faults.push_back("a parameter in " + (clause.back().empty() ? std::string("no clause") : clause.back()));
      previous.clear();
    } else if (IsWordChar(c)) {
      size_t end = i;
      while (end < sql.size() && IsWordChar(sql[end])) ++end;
      const std::string word = Upper(sql.substr(i, end - i));
      i = end - 1;
      for (const char* banned : {"LIMIT", "IFNULL", "COALESCE", "CAST", "TRUE", "FALSE", "ESCAPE"})
        if (word == banned) faults.push_back("the word " + word);
      for (const char* keyword : {"SELECT", "FROM", "WHERE", "SET", "ORDER", "GROUP", "HAVING", "VALUES", "INTO",
                                  "ON", "JOIN", "UPDATE", "DELETE", "INSERT"})
        if (word == keyword) clause.back() = word;
      previous = word;
    } else if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
      previous.clear();
    }
  }
  return faults;
}

std::vector<std::string> StatementLogFaults(const std::string& log) {
  std::vector<std::string> faults;
  std::istringstream in(log);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
    if (f.size() == 2 && f[0] == "PREPARE") {
      for (const std::string& fault : AccessSqlFaults(f[1])) faults.push_back(fault + ": " + line);
    } else if (f.size() == 5 && f[0] == "BIND") {
      const std::string& kind = f[2];
      if (kind != "text" && kind != "integer" && kind != "double" && kind != "timestamp" && kind != "null")
        faults.push_back("a parameter the driver cannot take: " + line);
      if (kind == "text" && std::stoul(f[3]) != std::max<unsigned long>(std::stoul(f[4]), 1))
        faults.push_back("a text parameter bound without its length: " + line);
    } else if (f.size() == 2 && f[0] == "TRANSACTION") {
      if (f[1] != "0") faults.push_back("a transaction begun beside an open cursor: " + line);
    } else if (!line.empty()) {
      faults.push_back("an unreadable log line: " + line);
    }
  }
  return faults;
}

std::vector<std::string> RunStatementLogFaults(const std::optional<std::string>& log) {
  if (!log) return {"the statement log is missing: no statement reached the driver through the adapter"};
  if (log->rfind("PREPARE\t", 0) != 0 && log->find("\nPREPARE\t") == std::string::npos)
    return {"the statement log holds no statement: nothing was checked"};
  return StatementLogFaults(*log);
}

namespace {

class StatementCheck : public ::testing::Environment {
 public:
  StatementCheck(std::string path, bool keep) : path_(std::move(path)), keep_(keep) {}
  void TearDown() override {
    std::optional<std::string> log;
    if (std::ifstream in(path_, std::ios::binary); in) {
      std::ostringstream s;
      s << in.rdbuf();
      log = s.str();
    }
    if (!keep_) std::filesystem::remove(path_);
    for (const std::string& fault : RunStatementLogFaults(log))
      ADD_FAILURE() << "sent through ODBC, refused by the Access driver: " << fault;
  }

 private:
  std::string path_;
  bool keep_;
};

}  // namespace

void CheckOdbcStatementsAtExit() {
  const char* adapter = std::getenv("SEVRIK_TEST_ADAPTER");
  if (!adapter || std::string(adapter) != "odbc") return;
  // A log named by the caller is kept for reading; else one of this run's own.
  const char* given = std::getenv("SEVRIK_ODBC_STATEMENT_LOG");
  const bool keep = given && *given;
  const std::string path =
      keep ? std::string(given)
           : (std::filesystem::temp_directory_path() / ("sevrik-odbc-statements-" + std::to_string(::getpid()) + ".log"))
                 .string();
  ::setenv("SEVRIK_ODBC_STATEMENT_LOG", path.c_str(), 1);  // for the programs the tests start
  SetOdbcStatementLog(StatementLogFile(path));
  ::testing::AddGlobalTestEnvironment(new StatementCheck(path, keep));
}

}  // namespace sevrik::test
