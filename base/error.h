// The one error type of the system: a run-time error with a number and a description,
// numbered the way the customs application's users know them.
#pragma once

#include <stdexcept>
#include <string>

namespace sevrik {

namespace err {
inline constexpr int kInvalidArgument = 5;
inline constexpr int kOverflow = 6;
inline constexpr int kSubscriptOutOfRange = 9;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kBadFileName = 52;
inline constexpr int kFileNotFound = 53;
inline constexpr int kDiskFull = 61;
inline constexpr int kInputPastEnd = 62;
inline constexpr int kDeviceUnavailable = 68;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kPathFileAccess = 75;
inline constexpr int kPathNotFound = 76;
inline constexpr int kInvalidUseOfNull = 94;
inline constexpr int kActionNotSupported = 445;
inline constexpr int kNoCurrentRecord = 3021;
inline constexpr int kItemNotFound = 3265;
inline constexpr int kObjectClosed = 3704;
// Every error reported by a database driver carries this number and the driver's own text.
inline constexpr int kDatabase = -2147467259;
}  // namespace err

class Error : public std::runtime_error {
 public:
  // An empty description takes the standard text of the number.
  explicit Error(int number, std::string description = {});

  int number() const { return number_; }
  const std::string& description() const { return description_; }

 private:
  int number_;
  std::string description_;
};

// The standard description of an error number ("Subscript out of range" for 9).
std::string StandardDescription(int number);

// Turns an operating-system error (errno) met on `path` into the system's error.
// `parent_missing` tells a missing file (53) from a missing folder (76).
Error OsError(int errno_value, bool parent_missing = false);

// The text a program shows when an error that nothing trapped ends it:
// "Run-time error 'N':", an empty line, the description.
std::string RunTimeErrorText(const Error& error);

}  // namespace sevrik
