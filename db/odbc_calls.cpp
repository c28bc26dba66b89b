#include "db/odbc_calls.h"

#include <cstdint>

#include "base/text.h"

namespace sevrik::odbc {

// UTF-8 to UTF-16; a broken sequence becomes U+FFFD.
WText Utf16(std::string_view s) {
  WText out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    uint32_t cp = 0xFFFD;
    size_t n = 1;
    if (b < 0x80) {
      cp = b;
    } else {
      const size_t len = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
      if (len && i + len <= s.size()) {
        uint32_t v = b & (0x7F >> len);
        bool ok = true;
        for (size_t k = 1; k < len; ++k) {
          const auto c = static_cast<unsigned char>(s[i + k]);
          if ((c & 0xC0) != 0x80) ok = false;
          v = (v << 6) | (c & 0x3F);
        }
        const uint32_t min = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
        if (ok && v >= min && v <= 0x10FFFF && (v < 0xD800 || v > 0xDFFF)) {
          cp = v;
          n = len;
        }
      }
    }
    if (cp >= 0x10000) {
      out += static_cast<SQLWCHAR>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<SQLWCHAR>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<SQLWCHAR>(cp);
    }
    i += n;
  }
  return out;
}

namespace {

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
void AppendUtf16(std::string& out, const SQLWCHAR* p, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    uint32_t c = p[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && p[i + 1] >= 0xDC00 && p[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (p[i + 1] - 0xDC00u);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
}

// Text of the narrow ODBC calls: UTF-8 when it is valid, else the Windows code page.
std::string NarrowText(const char* p) {
  const std::string s = p;
  for (size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) continue;
    const size_t len = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xC2 && b <= 0xDF ? 2 : 0;
    bool ok = len && i + len <= s.size();
    for (size_t k = 1; ok && k < len; ++k) ok = (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
    if (!ok) return FromCp1252(s);
    i += len - 1;
  }
  return s;
}

// The driver's records for a handle, joined.
Diagnostic Diagnose(SQLSMALLINT type, SQLHANDLE handle) {
  Diagnostic d;
  for (SQLSMALLINT i = 1;; ++i) {
    SQLCHAR state[6] = {0};
    SQLCHAR message[1024] = {0};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    const SQLRETURN rc = SQLGetDiagRec(type, handle, i, state, &native, message, sizeof message, &length);
    if (!Ok(rc)) break;
    if (d.state.empty()) {
      d.state = reinterpret_cast<const char*>(state);
      d.native = native;
    }
    if (!d.text.empty()) d.text += " ";
    d.text += NarrowText(reinterpret_cast<const char*>(message));
  }
  if (d.text.empty()) d.text = "Unspecified database error";
  return d;
}

Error DriverError(const Diagnostic& d) { return Error(err::kDatabase, d.text); }
Error DriverError(SQLSMALLINT type, SQLHANDLE handle) { return DriverError(Diagnose(type, handle)); }

// Whether a failure is another connection's lock: a time-out, the Access driver's lock
// errors, or a driver's text that says the database is locked or busy.
bool IsLocked(const Diagnostic& d) {
  if (d.state == "HYT00" || d.state == "HYT01") return true;
  switch (d.native) {
    case 3006: case 3008: case 3009: case 3045: case 3050: case 3186: case 3187: case 3188: case 3189:
    case 3202: case 3211: case 3212: case 3218: case 3260: case 3261: case 3262: case 3734: return true;
    default: break;
  }
  const std::string text = AsciiLower(d.text);
  return text.find("locked") != std::string::npos || text.find("busy") != std::string::npos;
}

}  // namespace sevrik::odbc
