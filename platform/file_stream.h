// Files of any size read and written in bounded pieces, and the two safe ways of changing a
// file that holds data nobody may lose: a replacement that takes the old file's place only
// when it is whole, and an append of whole lines that leaves the file as it was when it fails.
// Paths have their Windows meaning, as in fs.h; every failure is an Error as there. They reach
// the disk through the current FileSystem, so that a test can make any step of them fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace sevrik {

// How much a stream reads or buffers at a time.
inline constexpr size_t kStreamChunk = 1 << 16;

// The whole file, opened as LineReader opens it; with Links::Refuse never through a symbolic
// link in its place. Errors as ReadFileBytes's (53, 76, 70, a folder 75), a link 75.
std::string ReadFileBytesRefusingLinks(std::string_view path);

// Reads a file line by line, at most a given number of bytes at a time, so that memory does
// not grow with the file or with one of its lines.
class LineReader {
 public:
  enum class Piece {
    End,   // nothing more
    Line,  // a whole line, or the last piece of a long one
    Part,  // the next call goes on with the same line
  };
  // Opening errors as ReadFileBytes's (53, 76, 70, a folder 75); with Links::Refuse a
  // symbolic link in the file's place is error 75 (see Links).
  explicit LineReader(std::string_view path, Links links = Links::Follow);
  // The rest of the file, from where the reader is.
  std::string Rest();
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // The next line without its LF (a CR before the LF stays), or its next `max_bytes` bytes.
  // A last line without LF is a line.
  Piece Next(std::string& out, size_t max_bytes);

 private:
  bool Fill();
  std::unique_ptr<ReadableFile> file_;
  std::string buffer_;
  size_t pos_ = 0;
  bool end_ = false;
};

// A new content for `path`, written to a new hidden temporary file in the same folder (created
// exclusively, never through a symlink) that takes the old file's place only on Commit. So the
// file is at every moment either the old one or the whole new one.
// The constructor fails (before anything is written) when the folder cannot take a new file,
// `path` is a folder (75) or, as on Windows, a file that carries no write permission (70).
class FileReplacement {
 public:
  explicit FileReplacement(std::string_view path);
  ~FileReplacement();  // removes the temporary file unless it was committed
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  void Write(std::string_view bytes);
  std::uint64_t size() const { return size_; }
  // Writes out, flushes to disk and renames the temporary over `path`.
  void Commit();
  // Removes `path` (when it exists) and the temporary: the new content is empty.
  void CommitAsRemoval();

 private:
  void Flush();
  std::unique_ptr<ReplacementFile> file_;  // null once committed
  std::string buffer_;
  std::uint64_t size_ = 0;
};

// Lines added at the end of a file (created if missing) as one change: when the file does not
// end with a line end, a CR LF goes first, so that nothing written joins a cut line; Commit
// flushes them to disk; when anything fails, or the object goes without Commit, the file is
// cut back to what it held before, so that no half line remains. On POSIX a symbolic link in
// the file's place is never written through (error 75, as Links::Refuse).
class LineAppender {
 public:
  explicit LineAppender(std::string_view path);
  ~LineAppender();
  LineAppender(const LineAppender&) = delete;
  LineAppender& operator=(const LineAppender&) = delete;

  void Write(std::string_view bytes);
  void Commit();

 private:
  void Flush();
  void CutBack() noexcept;
  std::unique_ptr<AppendingFile> file_;
  std::uint64_t original_size_ = 0;
  std::string buffer_;
  bool committed_ = false;
};

}  // namespace sevrik
