// The pieces of the ODBC adapter that every call uses: the driver's text in and out, its
// diagnostics, and the patient retry of a call that met another connection's lock.
#pragma once

#if defined(_WIN32)
#include <windows.h>  // the system's ODBC headers build on its types
#endif
#include <sql.h>
#include <sqlext.h>

#include <chrono>
#include <string>
#include <string_view>
#include <thread>

#include "base/error.h"

namespace sevrik::odbc {

using WText = std::basic_string<SQLWCHAR>;

// UTF-8 to UTF-16; a broken sequence becomes U+FFFD.
WText Utf16(std::string_view s);
// UTF-16 to UTF-8, appended; a lone surrogate becomes U+FFFD.
void AppendUtf16(std::string& out, const SQLWCHAR* p, size_t n);
// Text of the narrow ODBC calls: UTF-8 when it is valid, else the Windows code page.
std::string NarrowText(const char* p);

inline bool Ok(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

struct Diagnostic {
  std::string state;
  std::string text;
  SQLINTEGER native = 0;
};

// The driver's records for a handle, joined.
Diagnostic Diagnose(SQLSMALLINT type, SQLHANDLE handle);

Error DriverError(const Diagnostic& d);
Error DriverError(SQLSMALLINT type, SQLHANDLE handle);

// Whether a failure is another connection's lock: a time-out, the Access driver's lock
// errors, or a driver's text that says the database is locked or busy.
bool IsLocked(const Diagnostic& d);

// The driver's own time-out (query, login, connection) ran out: the call has waited the whole
// wait already.
inline bool TimedOut(const Diagnostic& d) { return d.state == "HYT00" || d.state == "HYT01"; }

// How long one try of a driver that waits for a lock itself (the SQLite ODBC driver's busy
// time-out) may wait: the tries of Patiently add up to the wait, at most one slice more.
inline constexpr int kBusySliceMs = 500;

// Runs `call` until it succeeds, fails otherwise than by a lock, or `wait_ms` have passed;
// `again` runs before each new try. A call that ended by the driver's own time-out (set to the
// whole wait) is not tried again. The last return code; `failure` holds its diagnostic.
template <typename Call, typename Again>
SQLRETURN Patiently(int wait_ms, SQLSMALLINT type, SQLHANDLE handle, Diagnostic& failure, Call call, Again again) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(wait_ms);
  for (;;) {
    const SQLRETURN rc = call();
    if (Ok(rc) || rc == SQL_NO_DATA) return rc;
    failure = Diagnose(type, handle);
    if (!IsLocked(failure) || TimedOut(failure) || Clock::now() >= deadline) return rc;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    again();
  }
}

}  // namespace sevrik::odbc
