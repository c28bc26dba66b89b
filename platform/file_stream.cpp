// What both systems' file streams share: cutting what a LineReader reads into lines.
#include "platform/file_stream.h"

namespace sevrik {

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

}  // namespace sevrik
