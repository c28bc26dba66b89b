#include "base/error.h"

#include <cerrno>
#include <cstring>

namespace sevrik {

Error::Error(int number, std::string description)
    : std::runtime_error(description.empty() ? StandardDescription(number) : description),
      number_(number),
      description_(description.empty() ? StandardDescription(number) : std::move(description)) {}

std::string StandardDescription(int number) {
  switch (number) {
    case err::kInvalidArgument: return "Invalid procedure call or argument";
    case err::kOverflow: return "Overflow";
    case err::kSubscriptOutOfRange: return "Subscript out of range";
    case err::kTypeMismatch: return "Type mismatch";
    case err::kBadFileName: return "Bad file name or number";
    case err::kFileNotFound: return "File not found";
    case err::kDiskFull: return "Disk full";
    case err::kInputPastEnd: return "Input past end of file";
    case err::kDeviceUnavailable: return "Device unavailable";
    case err::kPermissionDenied: return "Permission denied";
    case err::kPathFileAccess: return "Path/File access error";
    case err::kPathNotFound: return "Path not found";
    case err::kInvalidUseOfNull: return "Invalid use of Null";
    case err::kActionNotSupported: return "Object doesn't support this action";
    case err::kNoCurrentRecord:
      return "Either BOF or EOF is True, or the current record has been deleted. "
             "Requested operation requires a current record.";
    case err::kItemNotFound:
      return "Item cannot be found in the collection corresponding to the requested name or ordinal.";
    case err::kObjectClosed: return "Operation is not allowed when the object is closed.";
    case err::kDatabase: return "Unspecified database error";
    default: return "Application-defined or object-defined error";
  }
}

Error OsError(int errno_value, bool parent_missing) {
  switch (errno_value) {
    case ENOENT: return Error(parent_missing ? err::kPathNotFound : err::kFileNotFound);
    case ENOTDIR: return Error(err::kPathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case ETXTBSY: return Error(err::kPermissionDenied);
    case ENODEV:
    case ENXIO: return Error(err::kDeviceUnavailable);
    case ENAMETOOLONG:
    case EINVAL: return Error(err::kBadFileName);
    default:
      return Error(err::kPathFileAccess,
                   StandardDescription(err::kPathFileAccess) + " (" + std::strerror(errno_value) + ")");
  }
}

std::string RunTimeErrorText(const Error& error) {
  return "Run-time error '" + std::to_string(error.number()) + "':\r\n\r\n" + error.description();
}

}  // namespace sevrik
