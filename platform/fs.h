// The file system with its Windows meaning. Paths are the system's own texts ("C:\EDI",
// program folder + "\dbTPB.mdb"); these calls give them their meaning on the host:
// "\" and "/" both separate, "X:" lies under $SEVRIK_DRIVE_X, names resolve without regard
// to the case of ASCII letters, new files take the case given.
// Every failure is an Error with the number the system's users know.
// Each call goes through CurrentFileSystem() (file_system.h), which tests may replace.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sevrik {

// The host path of a Windows path text. An unmapped drive is error 76.
std::string HostPath(std::string_view path);

// The folder of the running program's executable, without a trailing separator.
std::string ProgramFolder();

// The path that a folder setting of the customs application (FOLDERNUVAR) names for a program
// in `program_folder`. On Windows the setting as it is. On POSIX a setting without a drive never
// reaches outside the mapped drives: where the program folder lies on a mapped drive X (below
// $SEVRIK_DRIVE_X; the first such letter from A), "\EDI" is "X:\EDI" and a relative setting
// lies below the program folder on X, ".." stopping at X's root as for any drive path. Where
// the program folder lies on no mapped drive, a relative setting lies below the program folder,
// ".." stopping there, and one that starts with a separator is the host's absolute path. A
// setting with a drive is left as it is.
std::string FolderSettingPath(std::string_view setting, std::string_view program_folder);

// Makes the drive of a folder setting current: its first three characters ("C:\") select
// the mapped folder; a setting without a drive letter does nothing. Unmapped: error 68.
void ChangeDrive(std::string_view setting);
// Makes a folder current. Missing folder or unmapped drive: error 76.
void ChangeDirectory(std::string_view path);
// Makes the drive and then the folder of `path` current, as the callers do around a run.
void EnterFolder(std::string_view path);
// The current folder, as a host path.
std::string CurrentDirectory();

// Names (without folder) of the plain files that match the last part of `pattern` with the
// wildcards "*" and "?", without regard to case, in the byte order of the lower-case names;
// no folders, no names starting with ".". A missing folder gives an empty list; a pattern on
// an unmapped drive is error 52.
std::vector<std::string> ListFiles(std::string_view pattern);

bool FileExists(std::string_view path);         // an existing plain file
bool DirectoryExists(std::string_view path);

// A program file named with ".exe": a file of that name, or of that name without ".exe",
// without regard to case. Returns the host path, or empty.
std::string FindProgramFile(std::string_view path);

std::string ReadFileBytes(std::string_view path);                            // 53, 76, 70, 75
std::string ReadFileHead(std::string_view path, size_t max_bytes);           // the first bytes only
void WriteFileBytes(std::string_view path, std::string_view bytes);          // create or truncate
void AppendFileBytes(std::string_view path, std::string_view bytes);         // create if missing
// The same, returning only once the bytes are on the disk.
void AppendFileBytesSynced(std::string_view path, std::string_view bytes);
// 53 when missing. A file counts as removed only when its name is gone: a name that stays
// after the call (Windows keeps a file that another program holds open with delete sharing
// until it is closed) is error 70.
void RemoveFile(std::string_view path);
void CopyFileTo(std::string_view source, std::string_view target);           // replaces target

// Replaces `path` by `bytes` through a temporary file in the same folder and a rename, so
// that the old file stays whole if the write fails.
void ReplaceFileBytes(std::string_view path, std::string_view bytes);

// Whether `entry` (a name in a folder) is a temporary file of a replacement of the file named
// `name` in that folder: "." + the name + ".tmp-" + 10 lower-case letters and digits, the name
// without regard to case.
bool IsReplacementTemporary(std::string_view entry, std::string_view name);
// Removes the temporary files that a killed replacement of `path` (ReplaceFileBytes,
// FileReplacement) left beside it: plain files whose names IsReplacementTemporary gives, and
// nothing else. The caller holds what keeps every other replacement of that file from running
// (the run lock), since a running replacement's temporary file has the same form. One that
// cannot be removed stays: it harms nothing but room. Returns how many were removed.
size_t RemoveLeftoverReplacements(std::string_view path);

class WritableFile;

// A file open for writing. Output mode creates or truncates, append mode adds at the end;
// on POSIX a symbolic link in the file's own place is never followed (error 75).
// Closing (or destruction) flushes what was written.
class OutputFile {
 public:
  enum class Mode { Output, Append };
  OutputFile(std::string_view path, Mode mode);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(std::string_view bytes);
  // Writes what is buffered and waits until the file's contents are on the disk.
  void Sync();
  void Close();
  bool is_open() const { return file_ != nullptr; }

 private:
  void Flush();
  std::unique_ptr<WritableFile> file_;
  std::string buffer_;
};

// Wildcard match of a file name, "*" and "?", without regard to ASCII case; a pattern ending
// in ".*" also matches the name without extension.
bool WildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace sevrik
