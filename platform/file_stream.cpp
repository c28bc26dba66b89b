// What both systems' file streams share: cutting what a LineReader reads into lines, and the
// buffered writing of a replacement and of an append.
#include "platform/file_stream.h"

#include "base/error.h"
#include "platform/fs_host.h"

namespace sevrik {

bool LineReader::Fill() {
  if (end_) return false;
  buffer_.erase(0, pos_);
  pos_ = 0;
  const size_t had = buffer_.size();
  buffer_.resize(had + kStreamChunk);
  size_t got = 0;
  try {
    got = ReadSome(handle_, buffer_.data() + had, kStreamChunk);
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

void FileReplacement::Flush() {
  if (handle_ == -1) throw Error(err::kBadFileName);
  WriteWhole(handle_, buffer_, path_);
  buffer_.clear();
}

void FileReplacement::Write(std::string_view bytes) {
  buffer_.append(bytes);
  size_ += bytes.size();
  if (buffer_.size() >= kStreamChunk) Flush();
}

void LineAppender::Flush() {
  try {
    WriteWhole(handle_, buffer_, "");
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

}  // namespace sevrik
