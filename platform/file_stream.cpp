// The file streams over the current FileSystem: cutting what a LineReader reads into lines,
// and the buffered writing of a replacement and of an append. What each system does for them
// lies in its FileSystem (file_stream_posix.cpp, file_stream_win32.cpp).
#include "platform/file_stream.h"

#include <utility>

#include "base/error.h"

namespace sevrik {

LineReader::LineReader(std::string_view path, Links links)
    : file_(CurrentFileSystem().OpenInputFile(path, links)) {}

LineReader::~LineReader() = default;

bool LineReader::Fill() {
  if (end_) return false;
  buffer_.erase(0, pos_);
  pos_ = 0;
  const size_t had = buffer_.size();
  buffer_.resize(had + kStreamChunk);
  size_t got = 0;
  try {
    got = file_->Read(buffer_.data() + had, kStreamChunk);
  } catch (...) {
    buffer_.resize(had);
    throw;
  }
  buffer_.resize(had + got);
  if (got == 0) end_ = true;
  return got > 0;
}

LineReader::Piece LineReader::Next(std::string& out, size_t max_bytes) {
  out.clear();
  for (;;) {
    const size_t lf = buffer_.find('\n', pos_);
    const size_t available = (lf == std::string::npos ? buffer_.size() : lf) - pos_;
    if (available > max_bytes) {
      out.assign(buffer_, pos_, max_bytes);
      pos_ += max_bytes;
      return Piece::Part;
    }
    if (lf != std::string::npos) {
      out.assign(buffer_, pos_, available);
      pos_ = lf + 1;
      return Piece::Line;
    }
    if (!Fill()) {
      if (pos_ == buffer_.size()) return Piece::End;
      out.assign(buffer_, pos_);
      pos_ = buffer_.size();
      return Piece::Line;
    }
  }
}

std::string LineReader::Rest() {
  std::string out = buffer_.substr(pos_);
  buffer_.clear();
  pos_ = 0;
  while (Fill()) {
    out += buffer_;
    buffer_.clear();
  }
  return out;
}

std::string ReadFileBytesRefusingLinks(std::string_view path) { return LineReader(path, Links::Refuse).Rest(); }

FileReplacement::FileReplacement(std::string_view path) : file_(CurrentFileSystem().OpenReplacement(path)) {}

FileReplacement::~FileReplacement() = default;

void FileReplacement::Flush() {
  if (!file_) throw Error(err::kBadFileName);
  file_->Append(buffer_);
  buffer_.clear();
}

void FileReplacement::Write(std::string_view bytes) {
  buffer_.append(bytes);
  size_ += bytes.size();
  if (buffer_.size() >= kStreamChunk) Flush();
}

void FileReplacement::Commit() {
  Flush();
  file_->Commit();
  file_.reset();
}

void FileReplacement::CommitAsRemoval() {
  if (!file_) throw Error(err::kBadFileName);
  buffer_.clear();
  file_->CommitAsRemoval();
  file_.reset();
}

LineAppender::LineAppender(std::string_view path) : file_(CurrentFileSystem().OpenAppending(path)) {
  original_size_ = file_->Size();
  // Nothing written joins a line that a killed run left cut.
  if (original_size_ > 0 && file_->LastByte() != '\n') buffer_ = "\r\n";
}

LineAppender::~LineAppender() {
  if (!committed_) CutBack();
}

void LineAppender::CutBack() noexcept {
  buffer_.clear();
  file_->CutBack(original_size_);
}

void LineAppender::Flush() {
  try {
    file_->Append(buffer_);
    buffer_.clear();
  } catch (...) {
    CutBack();
    throw;
  }
}

void LineAppender::Write(std::string_view bytes) {
  if (committed_) throw Error(err::kBadFileName);
  buffer_.append(bytes);
  if (buffer_.size() >= kStreamChunk) Flush();
}

void LineAppender::Commit() {
  Flush();
  try {
    file_->Sync();
  } catch (...) {
    CutBack();
    throw;
  }
  committed_ = true;
}

}  // namespace sevrik
