// The check of what the ODBC adapter sends against the SQL that the Access driver takes, for
// the runs of the tests on the ODBC adapter.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sevrik::test {

// What the Access driver would refuse in a statement: LIMIT, "||", IFNULL or COALESCE, CAST,
// quoted identifiers, boolean or date literals, ESCAPE, a parameter outside WHERE and SET.
// One text per fault; none for a statement the driver takes.
std::vector<std::string> AccessSqlFaults(const std::string& sql);

// The faults of a statement log (see OpenOdbcDatabase): each statement's, and each binding
// that is a 64-bit integer or a text whose column size is not its length, each transaction
// begun while a cursor was open. Each fault names its line.
std::vector<std::string> StatementLogFaults(const std::string& log);

// The faults of a test run's whole statement log (`log`, none when the file is missing): those
// of StatementLogFaults, and a log that is missing or holds no statement, where the check would
// otherwise pass without having seen anything.
std::vector<std::string> RunStatementLogFaults(const std::optional<std::string>& log);

// In a test program run with SEVRIK_TEST_ADAPTER=odbc: has the adapter log its statements
// (for this process and the programs it starts) and checks the log when the tests end.
void CheckOdbcStatementsAtExit();

}  // namespace sevrik::test
